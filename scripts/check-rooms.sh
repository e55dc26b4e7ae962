#!/usr/bin/env bash
# Fails when a folder includes a header from a folder above it. The main program's rooms run
# app > wizard > view > dialogs > model; the engines and the other programs sit beside or below
# them and never reach into the main program's windows.
set -u
cd "${1:-$(dirname "$0")/..}"
# folder: the folders it must not include
rules="
wizard:app
view:app wizard
dialogs:app wizard view
model:app wizard view dialogs
platform:app wizard view dialogs model
winui:app wizard view dialogs model
engine:app wizard view dialogs model
checksum:app wizard view dialogs model cli
recovery:app wizard view dialogs model rejoiner mailer cli
rejoiner:app wizard view
mailer:app wizard view
cli:app wizard view
shellext:app wizard view
"
bad=0
while IFS=: read -r folder above; do
  [ -n "$folder" ] && [ -d "$folder" ] || continue
  for room in $above; do
    hits=$(grep -rnE "^[[:space:]]*#[[:space:]]*include[[:space:]]*[\"<]$room/" "$folder" \
           --include='*.h' --include='*.cpp' --include='*.rc' || true)
    if [ -n "$hits" ]; then
      echo "$folder/ must not include $room/:"
      echo "$hits"
      bad=1
    fi
  done
done <<<"$rules"
[ $bad -eq 0 ] && echo "rooms: every include points down"
exit $bad
