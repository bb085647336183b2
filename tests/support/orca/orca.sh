#!/usr/bin/env bash
# Orca (Debian 12 package orca 43.1) as a headless "what would it say" probe.
# Source it once Xvfb, a D-Bus session bus and the AT-SPI bus launcher run: Orca joins the
# same DISPLAY and D-Bus session (DBUS_SESSION_BUS_ADDRESS), so the same AT-SPI bus as the
# program under test.
#   zev_orca_start         start Orca, wait until it listens to AT-SPI events
#   zev_orca_said          utterances so far (after the last mark), one per line
#   zev_orca_mark          later zev_orca_said calls print only what comes after this
#   zev_orca_wait RE [S]   wait up to S seconds (5) for an utterance (after the mark) matching RE
#   zev_orca_stop          stop the Orca this file started (by PID)
# Orca settings can be overridden with JSON in ZEV_ORCA_SETTINGS before zev_orca_start,
# e.g. ZEV_ORCA_SETTINGS='{"enableKeyEcho": false}' to drop the echo of typed keys.
# Orca is slow while a window is built (it may drop events): wait for it before acting.
ORCA_KIT=${ORCA_KIT:-$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)}

zev_orca_start() {
  [ -n "${DISPLAY:-}" ] && [ -n "${DBUS_SESSION_BUS_ADDRESS:-}" ] ||
    { echo "zev_orca_start: start Xvfb, a D-Bus session bus and the AT-SPI bus first" >&2; return 1; }
  ZEV_ORCA_DIR=$(mktemp -d "${TMPDIR:-/tmp}/orca.XXXX")
  mkdir -p "$ZEV_ORCA_DIR/home" "$ZEV_ORCA_DIR/prefs" "$ZEV_ORCA_DIR/run"
  chmod 700 "$ZEV_ORCA_DIR/run"
  ZEV_ORCA_LOG=$ZEV_ORCA_DIR/debug.out ZEV_ORCA_MARK=0
  # Own HOME/XDG dirs; GSettings in memory so Orca's "toolkit-accessibility" write goes nowhere.
  HOME=$ZEV_ORCA_DIR/home XDG_CONFIG_HOME=$ZEV_ORCA_DIR/home/.config \
  XDG_DATA_HOME=$ZEV_ORCA_DIR/home/.local/share XDG_CACHE_HOME=$ZEV_ORCA_DIR/home/.cache \
  XDG_RUNTIME_DIR=$ZEV_ORCA_DIR/run GSETTINGS_BACKEND=memory NO_AT_BRIDGE=1 \
    /usr/bin/python3 "$ORCA_KIT/orca-run.py" "$ZEV_ORCA_LOG" "$ZEV_ORCA_DIR/prefs" \
    >"$ZEV_ORCA_DIR/orca.out" 2>&1 &
  ZEV_ORCA_PID=$!
  # Ready once the registry loop starts (its listeners are registered just before).
  local _
  for _ in $(seq 200); do
    kill -0 "$ZEV_ORCA_PID" 2>/dev/null || { echo "orca died, see $ZEV_ORCA_DIR" >&2; return 1; }
    grep -q "ORCA: Starting ATSPI registry" "$ZEV_ORCA_LOG" 2>/dev/null && { sleep 1; return 0; }
    sleep 0.1
  done
  echo "orca not ready after 20 s, see $ZEV_ORCA_LOG" >&2; return 1
}

zev_orca_said() { /usr/bin/python3 "$ORCA_KIT/orca-said.py" "$ZEV_ORCA_LOG" "${ZEV_ORCA_MARK:-0}"; }

zev_orca_mark() { ZEV_ORCA_MARK=$(wc -l <"$ZEV_ORCA_LOG"); }

zev_orca_wait() {
  local re=$1 t=${2:-5} _
  for _ in $(seq $((t*10))); do
    zev_orca_said | grep -qE -- "$re" && return 0
    sleep 0.1
  done
  return 1
}

zev_orca_stop() {
  [ -n "${ZEV_ORCA_PID:-}" ] || return 0
  kill "$ZEV_ORCA_PID" 2>/dev/null
  for _ in $(seq 30); do kill -0 "$ZEV_ORCA_PID" 2>/dev/null || break; sleep 0.1; done
  kill -9 "$ZEV_ORCA_PID" 2>/dev/null
  wait "$ZEV_ORCA_PID" 2>/dev/null
  ZEV_ORCA_PID=
  return 0
}
