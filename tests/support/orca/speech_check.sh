#!/usr/bin/env bash
# speech_check.sh ZEVLOG SCENE: runs the logger on a private virtual display with Orca and
# checks what Orca says while an operator starts it, opens the log and then plays SCENE (a
# file in scenes/). Prints every utterance; exits 0 when the checks pass, 1 when one fails,
# 77 when a tool it needs is missing. With ZEV_SPEECH_KEEP=DIR its files (Orca's debug log,
# the program's output) are copied to DIR before they are removed.
# A scene is sourced twice: first before the program starts, where it may define
# scene_setup (run with HOME and the working folder $work ready, e.g. to write settings or
# start a peer), then its body runs with the call box focused; it calls expect.
set -u
zevlog=$1
scene=$2
for tool in Xvfb xdotool dbus-daemon /usr/libexec/at-spi-bus-launcher /usr/bin/orca /usr/bin/python3; do
  command -v "$tool" >/dev/null 2>&1 || { echo "missing: $tool"; exit 77; }
done
/usr/bin/python3 -c "import pyatspi" 2>/dev/null || { echo "missing: python3-pyatspi"; exit 77; }

tmp=$(mktemp -d "${TMPDIR:-/tmp}/zevspeech.XXXX")
pids=()
# Ends what this script started, by process id: the AT-SPI bus launcher's own bus and
# registry first, so that each parent collects its children.
stop_tree() {
  local child
  for child in $(ps -o pid= --ppid "$1" 2>/dev/null); do stop_tree "$child"; done
  kill "$1" 2>/dev/null
}
cleanup() {
  [ -n "${ZEV_SPEECH_KEEP:-}" ] && cp -r "$tmp" "$ZEV_SPEECH_KEEP" 2>/dev/null
  zev_orca_stop 2>/dev/null
  local p
  for p in "${pids[@]}"; do stop_tree "$p"; done
  for p in "${pids[@]}"; do wait "$p" 2>/dev/null; done
  rm -rf "$tmp"
}
trap cleanup EXIT

mkdir -p "$tmp/home" "$tmp/run" "$tmp/work"
work=$tmp/work
chmod 700 "$tmp/run"
export HOME=$tmp/home XDG_RUNTIME_DIR=$tmp/run TMPDIR=$tmp

# A free display number, chosen by the server itself.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$tmp/display" >"$tmp/xvfb.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -s "$tmp/display" ] && break; sleep 0.1; done
[ -s "$tmp/display" ] || { echo "Xvfb did not start"; exit 1; }
export DISPLAY=:$(head -n1 "$tmp/display")

dbus-daemon --session --nofork --nopidfile --print-address=3 3>"$tmp/bus" >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -s "$tmp/bus" ] && break; sleep 0.1; done
export DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$tmp/bus")
/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
pids+=($!)
sleep 1

ORCA_KIT=$(cd "$(dirname "$0")" && pwd)
. "$ORCA_KIT/orca.sh"
ZEV_ORCA_SETTINGS='{"enableKeyEcho": false}' zev_orca_start || exit 1

. "$ORCA_KIT/scene_kit.sh"
scene_setup() { :; }
SCENE_PASS=setup . "$scene"
scene_setup || { echo "FAILED: the scene's setup"; exit 1; }

( cd "$tmp/work" && QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 exec "$zevlog" >"$tmp/zevlog.log" 2>&1 ) &
pids+=($!)

failed=0
expect() {  # expect WHAT REGEX SECONDS
  if zev_orca_wait "$2" "$3"; then echo "ok: $1"; else echo "FAILED: $1 (no utterance matching $2)"; failed=1; fi
}
expect "station window at start" "Please Enter your Call Sign" 20
xdotool type --delay 100 VE3XYZ; xdotool key Return
expect "the log question" "Open existing log" 10
xdotool key Return
expect "the call box" "^Call text" 10
xdotool mousemove 1 1

. "$scene"
echo "--- everything Orca said:"
ZEV_ORCA_MARK=0 zev_orca_said
if [ "$failed" != 0 ]; then
  echo "--- the program's own output:"
  tail -n 40 "$tmp/zevlog.log"
fi
exit $failed
