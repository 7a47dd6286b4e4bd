#!/usr/bin/env bash
# modemsim on its own: answers on the pseudo-terminal, keeps serving after the
# peer closed and reopened it, logs every command, ends cleanly on SIGTERM.
set -euo pipefail
sim=$1
profiles=$2
work=$(mktemp -d)
pid=""
cleanup() { [ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT

"$sim" --link "$work/tty" --log "$work/log" "$profiles/vendor31-usr.modem" >"$work/out" &
pid=$!
for _ in $(seq 50); do [ -L "$work/tty" ] && break; sleep 0.1; done
[ -L "$work/tty" ] || { echo "no link"; exit 1; }
for _ in $(seq 50); do [ -s "$work/out" ] && break; sleep 0.1; done
[ "$(head -1 "$work/out")" = "$(readlink "$work/tty")" ] || { echo "first line is not the device"; exit 1; }

ask() {  # command -> answer bytes, shown with od
  exec 3<>"$work/tty"
  # On the open descriptor: a second open of the terminal would be a second peer, and
  # inotify may merge its open with ours, so its close would look like the last one.
  stty raw -echo <&3
  printf '%s\r' "$1" >&3
  timeout 2 cat <&3 >"$work/answer" || true
  exec 3<&-
}
for round in 1 2; do
  ask AT
  [ "$(cat "$work/answer")" = $'AT\r\r\nOK\r' ] || { echo "round $round: AT answered"; od -c "$work/answer"; exit 1; }
  ask ATI3
  grep -q "USRobotics Sportster" "$work/answer" || { echo "round $round: ATI3 answered"; od -c "$work/answer"; exit 1; }
done
kill -TERM "$pid"
wait "$pid"
pid=""
[ ! -e "$work/tty" ] || { echo "link left behind"; exit 1; }
[ "$(grep -v '^#' "$work/log" | tr '\n' ' ')" = "AT ATI3 AT ATI3 " ] || { echo "log:"; cat "$work/log"; exit 1; }
[ "$(grep -c '^# close' "$work/log")" -ge 3 ] || { echo "closes not seen:"; cat "$work/log"; exit 1; }
tail -1 "$work/log" | grep -qx "# end"

# --once: the first close of the terminal ends the modem.
"$sim" --once --link "$work/tty" "$profiles/echo-ok.modem" >"$work/out" &
pid=$!
for _ in $(seq 50); do [ -L "$work/tty" ] && break; sleep 0.1; done
ask AT
[ "$(cat "$work/answer")" = $'AT\r\r\nOK\r' ] || { echo "--once: AT answered"; od -c "$work/answer"; exit 1; }
for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$pid" 2>/dev/null; then echo "--once did not end"; exit 1; fi
wait "$pid"
pid=""

# --die-after: the second command gets nothing, not even its echo, and the modem is gone.
"$sim" --die-after 2 --link "$work/tty" --log "$work/dielog" "$profiles/echo-ok.modem" >"$work/out" &
pid=$!
for _ in $(seq 50); do [ -L "$work/tty" ] && break; sleep 0.1; done
ask AT
[ "$(cat "$work/answer")" = $'AT\r\r\nOK\r' ] || { echo "--die-after: first AT answered"; od -c "$work/answer"; exit 1; }
ask AT
[ ! -s "$work/answer" ] || { echo "--die-after: second AT answered"; od -c "$work/answer"; exit 1; }
for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
set +e
wait "$pid"
rc=$?
set -e
pid=""
[ "$rc" -eq 3 ] || { echo "--die-after: exit status $rc"; exit 1; }
grep -qx "# died" "$work/dielog" || { echo "--die-after: log:"; cat "$work/dielog"; exit 1; }
echo "modemsim ok"
