# Up and Down in the contact list with a CW keying line set: the highlighted contact moves
# and is said; the CW speed stays as it was.
scene_setup() {
  rts_keying_line || return 1
  printf '%s\r\n' \
    '"VE3ABC","599","1","599","ON","2009/07/01","18:04:27","CW","20",10,"14.025","Canada"' \
    '"W1AW","599","2","599","12","2009/07/01","18:06:01","CW","20",2,"14.026","USA"' \
    '"VA3ZEV","599","3","599","ON","2009/07/01","18:09:44","CW","40",20,"7.025","Canada"' \
    >"$work/log.txt"
}
[ "${SCENE_PASS:-}" = setup ] && return 0

# Tab from the call box to the list; arriving highlights the newest contact.
for _ in $(seq 15); do
  zev_orca_mark
  xdotool key Tab
  for t in 1 2 3 4; do
    sleep 0.15
    zev_orca_said | grep -q "Recent Contacts" && break 2
  done
done
expect "the contact list" "Recent Contacts" 1
sleep 1
zev_orca_mark
list_mark=$ZEV_ORCA_MARK
xdotool key Down
expect "Down says the older contact" "^Record 2" 10
expect "its call" "^W1AW" 5
expect "its exchange, said as such" "^exchange 12" 5
zev_orca_mark
xdotool key Down
expect "Down again says the oldest contact" "^Record 1" 10
expect "its call" "^VE3ABC" 5
zev_orca_mark
xdotool key Up
expect "Up says the newer contact again" "^Record 2" 10
sleep 1
ZEV_ORCA_MARK=$list_mark
if zev_orca_said | grep -q "WPM"; then echo "FAILED: the arrows changed the CW speed"; failed=1; else echo "ok: no speed change heard"; fi
