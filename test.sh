#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
"$here/scripts/install-deps.sh" --tests
cmake -S "$here" -B "$here/build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$here/build" -j2
# Independent Cabrillo and ADIF readers the export tests check our files with.
npm ci --prefix "$here/tests/peers" --no-audit --no-fund --loglevel=error
cd "$here/build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2 --timeout 300
