# CW Setup and code practice with a keying line set: Faster and Slower say the new speed,
# and the practice window's readout says the speed rather than its caption.
scene_setup() {
  socat pty,raw,echo=0,link="$tmp/cw0" pty,raw,echo=0,link="$tmp/cw1" >/dev/null 2>&1 &
  pids+=($!)
  for _ in $(seq 50); do [ -e "$tmp/cw0" ] && break; sleep 0.1; done
  [ -e "$tmp/cw0" ] || return 1
  mkdir -p "$HOME/.config"
  printf '[Settings]\nSerialPort2=%s\n' "$(readlink -f "$tmp/cw0")" >"$HOME/.config/Velko_Software.ini"
  # F1..F9, the port, the speed, F10, F11, word space, keying line 1 (RTS), printer port,
  # show text, repeat pause.
  printf '"CQ TEST"\r\n"TU"\r\n""\r\n""\r\n""\r\n""\r\n""\r\n""\r\n""\r\n"2"\r\n"27"\r\n""\r\n""\r\n"0"\r\n1\r\n"378"\r\n0\r\n"3"\r\n' \
    >"$work/cw.txt"
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

zev_orca_mark
xdotool key ctrl+c
expect "CW Setup opens" "CW Setup" 10
sleep 1
reach "^Faster push button" 20 Tab
expect "the Faster button" "^Faster push button" 1
zev_orca_mark
xdotool key space
expect "Faster says the new speed" "28 WPM" 5
zev_orca_mark
xdotool key Tab
expect "the Slower button" "^Slower push button" 5
zev_orca_mark
xdotool key space
expect "Slower says the new speed" "27 WPM" 5

# The practice window, from the button beside Done.
reach "^Send Code Practice push button" 30 Tab
expect "the code practice button" "^Send Code Practice push button" 1
zev_orca_mark
xdotool key Return
expect "code practice opens" "On the Air Code Practice" 10
sleep 1
zev_orca_mark
xdotool key alt+f
expect "the readout says the speed" "28 WPM" 5
# The readout is last in the tab order: Shift+Tab from the text reaches it.
zev_orca_mark
xdotool key shift+Tab
expect "the readout with the focus says the speed" "28 WPM" 5
if zev_orca_said | grep -q "Speed in words per minute"; then
  echo "FAILED: the readout said its caption"; failed=1
fi

