#!/usr/bin/env bash
# Installs what is missing, builds the logger and starts it in its working folder.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
"$here/scripts/install-deps.sh"
cmake -S "$here" -B "$here/build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$here/build" -j2 --target zevlog
workdir="${ZEV_WORKDIR:-$HOME/ZEVLog}"
mkdir -p "$workdir"
cd "$workdir"
exec "$here/build/zevlog"
