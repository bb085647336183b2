# CW Setup and code practice with a keying line set: Faster and Slower say the new speed,
# and the practice window's readout says the speed rather than its caption.
scene_setup() {
  rts_keying_line || return 1
}
[ "${SCENE_PASS:-}" = setup ] && return 0

zev_orca_mark
chord ctrl c
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
chord alt f
expect "the readout says the speed" "28 WPM" 5
# The readout is last in the tab order: Shift+Tab from the text reaches it.
zev_orca_mark
chord shift Tab
expect "the readout with the focus says the speed" "28 WPM" 5
if zev_orca_said | grep -q "Speed in words per minute"; then
  echo "FAILED: the readout said its caption"; failed=1
fi

