#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
"$here/scripts/install-deps.sh"
cmake -S "$here" -B "$here/build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$here/build" -j2
cd "$here/build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2 --timeout 300
