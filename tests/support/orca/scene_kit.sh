# Helpers for the scenes, sourced by speech_check.sh before a scene (both passes).

# A window manager, as operators have one: windows closing give the keyboard back.
start_window_manager() {
  command -v openbox >/dev/null || return 1
  openbox --sm-disable >"$tmp/wm.log" 2>&1 &
  pids+=($!)
  sleep 1
}

# cw_settings PORT LINE: the CW messages CQ TEST and TU, 27 WPM, on serial port number PORT
# and keying line LINE (1 RTS, 5 WinKey).
cw_settings() {
  # F1..F9, the port, the speed, F10, F11, word space, keying line, printer port, show
  # text, repeat pause.
  printf '"CQ TEST"\r\n"TU"\r\n""\r\n""\r\n""\r\n""\r\n""\r\n""\r\n""\r\n"%s"\r\n"27"\r\n""\r\n""\r\n"0"\r\n%s\r\n"378"\r\n0\r\n"3"\r\n' \
    "$1" "$2" >"$work/cw.txt"
}

# An RTS keying line on serial port number 2, which is one end of a pseudo-terminal pair.
rts_keying_line() {
  socat pty,raw,echo=0,link="$tmp/cw0" pty,raw,echo=0,link="$tmp/cw1" >/dev/null 2>&1 &
  pids+=($!)
  local _
  for _ in $(seq 50); do [ -e "$tmp/cw0" ] && break; sleep 0.1; done
  [ -e "$tmp/cw0" ] || return 1
  mkdir -p "$HOME/.config"
  printf '[Settings]\nSerialPort2=%s\n' "$(readlink -f "$tmp/cw0")" >"$HOME/.config/Velko_Software.ini"
  cw_settings 2 1
}

# Presses key `$3` until Orca names `$1`, at most `$2` times.
reach() {
  local _ t
  for _ in $(seq "$2"); do
    zev_orca_mark
    xdotool key "$3"
    for t in 1 2 3 4; do
      sleep 0.15
      zev_orca_said | grep -qE -- "$1" && return 0
    done
  done
  return 1
}

# The screen centre of the program's first accessible object whose name matches.
where() {
  /usr/bin/python3 - "$1" <<'PY'
import re, sys, pyatspi
rx = re.compile(sys.argv[1])
def walk(o, depth=0):
    if o is None or depth > 40:
        return None
    try:
        if rx.search(o.name or ''):
            e = o.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
            if e.width > 0:
                return (e.x + e.width // 2, e.y + e.height // 2)
        for i in range(o.childCount):
            r = walk(o.getChildAtIndex(i), depth + 1)
            if r:
                return r
    except Exception:
        return None
    return None
d = pyatspi.Registry.getDesktop(0)
for i in range(d.childCount):
    a = d.getChildAtIndex(i)
    if a is not None and 'zevlog' in (a.name or ''):
        r = walk(a)
        if r:
            print(r[0], r[1]); sys.exit(0)
sys.exit(1)
PY
}
# Fails when an utterance after the mark matches.
expect_not() {  # expect_not WHAT REGEX SECONDS
  sleep "$3"
  if zev_orca_said | grep -qE -- "$2"; then echo "FAILED: $1 (heard $2)"; failed=1; else echo "ok: $1"; fi
}


# chord MODIFIER KEY: presses KEY while MODIFIER is held, at a hand's pace. The toolkit
# hands every key to the screen reader and waits up to 100 ms for its answer; a chord sent
# in one burst to a busy screen reader can reach the program out of order.
chord() {
  xdotool keydown "$1"
  sleep 0.3
  xdotool key "$2"
  sleep 0.3
  xdotool keyup "$1"
}
