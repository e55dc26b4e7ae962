#!/usr/bin/env bash
# A private CUPS server for the printing tests: its own configuration, spool and socket under
# the given folder, one CUPS-PDF printer "ZembraPDF" as the server's default (which Wine then
# makes its default printer). "start" runs it in the background; "stop" ends it.
# CUPS-PDF writes its files into the printing user's ~/PDF (its configuration is system-wide).
set -eu
cmd=$1 dir=$2
if [ "$cmd" = stop ]; then
  [ -f "$dir/cupsd.pid" ] && kill "$(cat "$dir/cupsd.pid")" 2>/dev/null || true
  rm -f "$dir/cupsd.pid"
  exit 0
fi
command -v cupsd >/dev/null && [ -x /usr/lib/cups/backend/cups-pdf ] \
  || { echo "cups and printer-driver-cups-pdf are needed (scripts/setup.sh)"; exit 1; }
[ -f "$dir/cupsd.pid" ] && kill "$(cat "$dir/cupsd.pid")" 2>/dev/null || true
rm -rf "$dir"
mkdir -p "$dir"/{spool,cache,state,log}
cat >"$dir/cupsd.conf" <<CONF
Listen $dir/cups.sock
LogLevel info
WebInterface No
Browsing Off
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Location /admin>
  Order allow,deny
  Allow all
</Location>
CONF
cat >"$dir/cups-files.conf" <<CONF
ServerRoot $dir
RequestRoot $dir/spool
CacheDir $dir/cache
StateDir $dir/state
AccessLog $dir/log/access_log
ErrorLog $dir/log/error_log
PageLog $dir/log/page_log
User lp
Group lp
CONF
cupsd -f -c "$dir/cupsd.conf" -s "$dir/cups-files.conf" >"$dir/log/cupsd.out" 2>&1 </dev/null &
echo $! >"$dir/cupsd.pid"
export CUPS_SERVER=$dir/cups.sock
for _ in $(seq 50); do lpstat -r >/dev/null 2>&1 && break; sleep 0.2; done
ppd=$(ls /usr/share/ppd/cups-pdf/CUPS-PDF_noopt.ppd /usr/share/ppd/cups-pdf/*.ppd 2>/dev/null | head -1)
lpadmin -p ZembraPDF -v cups-pdf:/ -P "$ppd" -E 2>/dev/null
lpadmin -d ZembraPDF
# Files made before this run are not ours to read.
touch "$dir/started"
lpstat -d
