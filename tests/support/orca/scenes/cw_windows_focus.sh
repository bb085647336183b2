# Under a window manager, with the WinKey keying line: WinKey Setup's Done returns to CW
# Setup, CW Setup's Done returns to the call box while the CW strings wait minimized, and
# Escape puts the CW strings away without touching the call box.
scene_setup() {
  start_window_manager || return 1
  cw_settings 0 5
}
[ "${SCENE_PASS:-}" = setup ] && return 0

xdotool type --delay 100 K1ABC
zev_orca_mark
chord ctrl c
expect "CW Setup opens" "CW Setup" 10
sleep 1
reach "^Configure Winkey push button" 30 Tab
expect "the WinKey button" "^Configure Winkey push button" 1
zev_orca_mark
xdotool key space
expect "WinKey Setup opens" "WinKey Setup" 10
sleep 1
zev_orca_mark
chord alt d
expect "WinKey's Done returns to CW Setup" "^Configure Winkey push button" 10

reach "^Done push button" 30 Tab
expect "CW Setup's Done button" "^Done push button" 1
zev_orca_mark
xdotool key space
expect "CW Setup's Done returns to the call box" "^Call text" 10
sleep 1
if zev_orca_said | grep -q "CW Strings"; then echo "FAILED: the CW strings took the keyboard"; failed=1; fi

zev_orca_mark
chord ctrl w
expect "Ctrl+W shows the CW strings" "^CW Strings" 10
sleep 1
zev_orca_mark
xdotool key Escape
expect "Escape puts them away" "^Call text" 10
expect "the call typed is still there" "^K1AB" 5
