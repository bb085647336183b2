# Messages on the message line and the entry boxes' names, heard while typing a contact.
[ "${SCENE_PASS:-}" = setup ] && return 0

# A message on the message line, heard without the focus leaving the call box.
zev_orca_mark
xdotool type --delay 200 K
expect "message line" 'notification Click Log "Time On"!' 10
# Space on to the report box, which leaving the call box fills and selects: still named.
zev_orca_mark
xdotool type --delay 200 1ABC; sleep 0.5; xdotool key space
expect "report box named on Space" '^RS\(T\) Rc text' 10
# A bad province on Enter, heard while the focus moves back to the exchange box.
zev_orca_mark
xdotool key space; xdotool type --delay 150 XX; xdotool key space space; sleep 0.5; xdotool key Return
expect "bad province" 'notification Invald Province!' 10
# Alt+L stops and starts the operating clock (Enter above started it) without moving the focus.
zev_orca_mark
chord alt l
expect "time off" 'notification Logged Off at ' 10
zev_orca_mark
chord alt l
expect "time on" 'notification Logged On at ' 10

