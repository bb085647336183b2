# Walking the spectrum map's spots from the keyboard keeps its place when a new spot for the
# call being heard arrives: Right goes on to the next call, not back to the first.
if [ "${SCENE_PASS:-}" = setup ]; then
  scene_setup() {
    # Under a window manager, as an operator has it: the main window gets the keyboard back
    # when DX Spotting Setup closes.
    start_window_manager || return 1
    # A DX cluster on loopback: a log-in prompt, three spots on 20 m, and the middle call
    # spotted again when the scene asks for it.
    /usr/bin/python3 - "$tmp" <<'PY' >"$tmp/cluster.log" 2>&1 &
import os, socket, sys, time
tmp = sys.argv[1]
s = socket.socket()
s.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
s.bind(('127.0.0.1', 0))
s.listen(1)
with open(os.path.join(tmp, 'cluster.port.new'), 'w') as f:
    f.write(str(s.getsockname()[1]))
os.rename(os.path.join(tmp, 'cluster.port.new'), os.path.join(tmp, 'cluster.port'))
def spot(freq, call):
    line = ('DX de W1AW:').ljust(15) + freq.rjust(9) + '  ' + call.ljust(13) + 'CW'.ljust(31)
    return (line + time.strftime('%H%MZ', time.gmtime()) + '\r\n').encode()
c, _ = s.accept()
c.sendall(b'login: ')
c.settimeout(30)
got = b''
while b'\n' not in got and b'\r' not in got:
    more = c.recv(100)
    if not more:
        sys.exit(1)
    got += more
c.sendall(b'Hello\r\n' + spot('14010.0', 'K1AAA') + spot('14020.0', 'K2BBB') + spot('14030.0', 'K3CCC'))
open(os.path.join(tmp, 'spots_sent'), 'w').close()
again = os.path.join(tmp, 'spot_again')
while not os.path.exists(again):
    time.sleep(0.1)
c.sendall(spot('14020.0', 'K2BBB'))
c.settimeout(None)
try:
    while c.recv(100):
        pass
except OSError:
    pass
PY
    pids+=($!)
    for _ in $(seq 100); do [ -s "$tmp/cluster.port" ] && break; sleep 0.1; done
    [ -s "$tmp/cluster.port" ] || return 1
    # The saved link: Telnet to that cluster, the band map on the main window.
    printf '"9600"\r\n"N"\r\n"8"\r\n"1"\r\n1\r\n"N"\r\n"Telnet"\r\n0\r\n3\r\n0\r\n#FALSE#\r\n"03"\r\n"%s"\r\n"127.0.0.1"\r\n' \
      "$(cat "$tmp/cluster.port")" >"$work/PackSpot.txt"
  }
  return 0
fi

# DX Spotting Setup opens the saved link; Done puts it away.
zev_orca_mark
chord ctrl d
expect "DX Spotting Setup" 'DX Spotting Setup' 10
for _ in $(seq 100); do [ -e "$tmp/spots_sent" ] && break; sleep 0.1; done
sleep 1
chord alt d
expect "back in the call box" '^Call text' 10
# The spectrum map opens on the first spot; Right walks on.
zev_orca_mark
chord ctrl b
expect "the spectrum map on the first spot" 'K1AAA.*1 of 3' 10
zev_orca_mark
xdotool key Right
expect "the second spot" 'K2BBB.*2 of 3' 10
# K2BBB is spotted again while it is being heard.
touch "$tmp/spot_again"
sleep 2
zev_orca_mark
xdotool key Right
expect "on to the third spot" 'K3CCC.*3 of 3' 10
