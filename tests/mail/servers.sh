#!/bin/sh
# Starts or stops the mail servers the Windows end-to-end tests talk to (a ctest fixture):
#   servers.sh start DIR   the aiosmtpd sink (DIR/sink.port, messages in DIR/inbox) and a
#                          peer that refuses RCPT TO (DIR/rcpt550.port)
#   servers.sh stop DIR
# Each server ends by itself after ten minutes, should the stop step never run.
set -u
here=$(cd "$(dirname "$0")" && pwd)
dir=$2
case $1 in
start)
  "$0" stop "$dir"
  rm -rf "$dir" && mkdir -p "$dir/inbox"
  setsid /usr/bin/python3 "$here/smtp_sink.py" "$dir/inbox" "$dir/sink.port" 600 \
    >"$dir/sink.out" 2>&1 </dev/null &
  echo $! >"$dir/sink.pid"
  setsid /usr/bin/python3 "$here/scripted_server.py" rcpt550 "$dir/rcpt550.log" "$dir/rcpt550.port" 600 \
    >"$dir/rcpt550.out" 2>&1 </dev/null &
  echo $! >"$dir/rcpt550.pid"
  i=0
  while [ ! -s "$dir/sink.port" ] || [ ! -s "$dir/rcpt550.port" ]; do
    i=$((i + 1))
    [ $i -gt 200 ] && { echo "mail servers did not start"; cat "$dir"/*.out; exit 1; }
    sleep 0.1
  done
  echo "sink on port $(cat "$dir/sink.port"), rcpt550 on port $(cat "$dir/rcpt550.port")"
  ;;
stop)
  for f in "$dir"/sink.pid "$dir"/rcpt550.pid; do
    [ -f "$f" ] && kill "$(cat "$f")" 2>/dev/null
    rm -f "$f"
  done
  exit 0
  ;;
esac
