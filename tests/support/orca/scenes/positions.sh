# The other positions of a shared log, heard from the keyboard: each says where it is, and
# a position that changes band is heard again without leaving the list.
if [ "${SCENE_PASS:-}" = setup ]; then
  scene_setup() {
    command -v mosquitto_pub >/dev/null || return 1
    local broker
    broker=$(command -v mosquitto || echo /usr/sbin/mosquitto)
    port=$(/usr/bin/python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
    printf 'listener %s 127.0.0.1\nallow_anonymous true\nlog_dest none\n%s' "$port" \
      "$([ "$(id -u)" = 0 ] && echo 'user root')" >"$tmp/mosquitto.conf"
    "$broker" -c "$tmp/mosquitto.conf" >/dev/null 2>&1 &
    pids+=($!)
    local _
    for _ in $(seq 100); do
      mosquitto_pub -h 127.0.0.1 -p "$port" -t zevlog/probe -m x 2>/dev/null && break
      sleep 0.1
    done
    # The multiplier position is on 40 m CW; this computer is the run position.
    position MULT 40 CW 7025.0 || return 1
    mkdir -p "$HOME/.config"
    printf '[Settings]\nNetworkOn=1\nNetworkBrokerHost=127.0.0.1\nNetworkBrokerPort=%s\nNetworkPosition=RUN\n' \
      "$port" >"$HOME/.config/Velko_Software.ini"
  }
  # position NAME BAND MODE FREQUENCY: what that position says of itself, kept by the broker.
  position() {
    mosquitto_pub -h 127.0.0.1 -p "$port" -r -q 1 -t "zevlog/ZEV/state/$1" \
      -m "{\"station\":\"$1\",\"band\":\"$2\",\"mode\":\"$3\",\"freq\":\"$4\",\"op\":\"VE3MUL\",\"last\":\"\"}"
  }
  return 0
fi

reach '^Other positions|MULT on' 25 Tab || { echo "FAILED: Tab never reached the list of other positions"; failed=1; }
expect "the position in the list" 'MULT on 40 CW, 7025\.0' 5
zev_orca_mark
position MULT 20 CW 14025.0
expect "the position heard again when it changes band" 'MULT on 20 CW, 14025\.0' 10
