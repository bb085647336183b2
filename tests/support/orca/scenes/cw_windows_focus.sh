# Under a window manager, with the WinKey keying line: WinKey Setup's Done returns to CW
# Setup, CW Setup's Done returns to the call box while the CW strings wait minimized, and
# Escape puts the CW strings away without touching the call box.
scene_setup() {
  command -v openbox >/dev/null || return 1
  openbox --sm-disable >"$tmp/wm.log" 2>&1 &
  pids+=($!)
  # F1..F9, the port, the speed, F10, F11, word space, keying line 5 (WinKey), printer
  # port, show text, repeat pause.
  printf '"CQ TEST"\r\n"TU"\r\n""\r\n""\r\n""\r\n""\r\n""\r\n""\r\n""\r\n"0"\r\n"27"\r\n""\r\n""\r\n"0"\r\n5\r\n"378"\r\n0\r\n"3"\r\n' \
    >"$work/cw.txt"
  sleep 1
}
[ "${SCENE_PASS:-}" = setup ] && return 0

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

xdotool type --delay 100 K1ABC
zev_orca_mark
xdotool key ctrl+c
expect "CW Setup opens" "CW Setup" 10
sleep 1
reach "^Configure Winkey push button" 30 Tab
expect "the WinKey button" "^Configure Winkey push button" 1
zev_orca_mark
xdotool key space
expect "WinKey Setup opens" "WinKey Setup" 10
sleep 1
zev_orca_mark
xdotool key alt+d
expect "WinKey's Done returns to CW Setup" "^Configure Winkey push button" 10

reach "^Done push button" 30 Tab
expect "CW Setup's Done button" "^Done push button" 1
zev_orca_mark
xdotool key space
expect "CW Setup's Done returns to the call box" "^Call text" 10
sleep 1
if zev_orca_said | grep -q "CW Strings"; then echo "FAILED: the CW strings took the keyboard"; failed=1; fi

zev_orca_mark
xdotool key ctrl+w
expect "Ctrl+W shows the CW strings" "^CW Strings" 10
sleep 1
zev_orca_mark
xdotool key Escape
expect "Escape puts them away" "^Call text" 10
expect "the call typed is still there" "^K1AB" 5
