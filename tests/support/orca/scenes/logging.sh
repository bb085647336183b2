# Logging a contact says what was logged; typing a call says nothing empty; the tune window's
# UHF band buttons say centimetres; a province total under a resting pointer is not read
# again when a window opens and closes over it.
[ "${SCENE_PASS:-}" = setup ] && return 0

chord alt l
expect "time on" 'notification Logged On at ' 10
zev_orca_mark
xdotool type --delay 300 VE
expect_not "nothing empty while typing" '^notification\.?$' 2
# Nor at the start, when the window showed its lines; the pointer rested on the screen's
# centre, over the multiplier grid, as the window opened under it: no province total.
ZEV_ORCA_MARK=0 expect_not "nothing empty at the start" '^notification\.?$' 0
ZEV_ORCA_MARK=0 expect_not "no total under the resting pointer at the start" 'Total =' 0
xdotool type --delay 150 3ABC; xdotool key space; sleep 0.5; xdotool key space; xdotool type ON; sleep 0.5
zev_orca_mark
xdotool key Return
expect "what was logged" '^notification VE3ABC logged, score [0-9]' 10

# The pointer moved onto Ontario's 20 m cell: its total is read.
cell=$(where '^ON, 20 metres')
zev_orca_mark
xdotool mousemove $cell
expect "total under the pointer" 'Ontario Total = 1' 10
# A call typed and cleared empties the line under the total.
xdotool type --delay 150 K1; sleep 0.5; xdotool key Escape; sleep 1

# The tune window opens over the resting pointer and closes; its band buttons on the way.
zev_orca_mark
chord ctrl g
expect "tune window" 'Change Frequency and Mode' 10
for _ in $(seq 17); do xdotool key Tab; sleep 0.25; done
expect "70 cm button" '^70 cm push button' 10
expect "23 cm button" '^23 cm push button' 10
zev_orca_mark
xdotool key Escape
expect_not "total not read again" 'Total =' 3
