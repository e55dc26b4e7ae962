#!/bin/sh
# Starts or stops the mail servers the Windows tests talk to (a ctest fixture):
#   servers.sh start DIR   the aiosmtpd sink (DIR/sink.port, messages in DIR/inbox) and one
#                          scripted peer per misbehaviour (DIR/<scenario>.port, .log)
#   servers.sh stop DIR
# Each server ends by itself after an hour, should the stop step never run: long enough for a
# whole lane on a loaded machine (ten minutes was not).
set -u
here=$(cd "$(dirname "$0")" && pwd)
dir=$2
scenarios="rcpt550 silent dropdata greeting2 multiline datarefused"
case $1 in
start)
  "$0" stop "$dir"
  rm -rf "$dir" && mkdir -p "$dir/inbox"
  setsid /usr/bin/python3 "$here/smtp_sink.py" "$dir/inbox" "$dir/sink.port" 3600 \
    >"$dir/sink.out" 2>&1 </dev/null &
  echo $! >"$dir/sink.pid"
  for s in $scenarios; do
    setsid /usr/bin/python3 "$here/scripted_server.py" "$s" "$dir/$s.log" "$dir/$s.port" 3600 \
      >"$dir/$s.out" 2>&1 </dev/null &
    echo $! >"$dir/$s.pid"
  done
  i=0
  for s in sink $scenarios; do
    while [ ! -s "$dir/$s.port" ]; do
      i=$((i + 1))
      [ $i -gt 300 ] && { echo "mail server $s did not start"; cat "$dir"/*.out; exit 1; }
      sleep 0.1
    done
    echo "$s on port $(cat "$dir/$s.port")"
  done
  ;;
stop)
  for f in "$dir"/*.pid; do
    [ -f "$f" ] && kill "$(cat "$f")" 2>/dev/null
    rm -f "$f"
  done
  exit 0
  ;;
esac
