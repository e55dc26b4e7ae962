#!/usr/bin/env bash
# A private CUPS server with one CUPS-PDF printer "ZembraPDF" as its default (which Wine then
# makes its default printer), for the printing tests and for scripts/start.sh.
#   project_cups.sh start HANDLE [OUT]   start it in the background; HANDLE becomes a link to the
#                                        run's folder (socket HANDLE/cups.sock); PDFs go to OUT,
#                                        by default HANDLE/pdf, a folder of this run's own
#   project_cups.sh stop HANDLE          end it and remove the run's folder and configuration
# CUPS runs its filters as the lp user, who may not enter the folders above a checkout (a clone
# in a mode-700 folder): the run's spool, state and socket live in a folder of its own under /tmp
# that lp can reach, made here and removed on stop. CUPS-PDF reads its settings only from
# /etc/cups; a printer URI cups-pdf:/NAME makes it read cups-pdf-NAME.conf there, so each run
# gets a configuration file of its own, naming its own output folder.
set -eu
cmd=$1 handle=$2 out=${3:-}
conf_of() { echo "/etc/cups/cups-pdf-$1.conf"; }

stop() {
  local run
  run=$handle
  [ -L "$handle" ] && run=$(readlink "$handle")
  [ -d "$run" ] || { rm -f "$handle"; return 0; }
  if [ -f "$run/cupsd.pid" ]; then
    local pid; pid=$(cat "$run/cupsd.pid")
    kill "$pid" 2>/dev/null || true
    for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  fi
  if [ -f "$run/instance" ]; then rm -f "$(conf_of "$(cat "$run/instance")")"; fi
  # The run's folder (never what a link made by hand may point at), or the folder an older
  # fixture kept under the build tree.
  case "$run" in /tmp/zembra-print.*|"$handle") rm -rf "$run" ;; esac
  rm -f "$handle"
}

if [ "$cmd" = stop ]; then
  stop
  exit 0
fi
command -v cupsd >/dev/null && [ -x /usr/lib/cups/backend/cups-pdf ] \
  || { echo "cups and printer-driver-cups-pdf are needed (scripts/setup.sh)"; exit 1; }
[ -w /etc/cups ] || { echo "the printer's settings go to /etc/cups, which $(id -un) cannot write (run as root)"; exit 1; }
stop
mkdir -p "$(dirname "$handle")"
run=$(mktemp -d /tmp/zembra-print.XXXXXX)
chmod 755 "$run"  # lp runs the filters and must enter it
instance=zembra-${run##*.}
echo "$instance" >"$run/instance"
ln -sfn "$run" "$handle"
out=${out:-$run/pdf}
mkdir -p "$run"/{spool,cache,state,log,cups-pdf} "$out"
cat >"$(conf_of "$instance")" <<CONF
# Made by the Zembra suite's printer script for one run; removed when that run stops.
Out $out
AnonDirName $out
Spool $run/cups-pdf
Log $run/log
LogType 3
CONF
cat >"$run/cupsd.conf" <<CONF
Listen $run/cups.sock
LogLevel info
WebInterface No
Browsing Off
DefaultAuthType None
ErrorPolicy abort-job
<Location />
  Order allow,deny
  Allow all
</Location>
<Location /admin>
  Order allow,deny
  Allow all
</Location>
CONF
cat >"$run/cups-files.conf" <<CONF
ServerRoot $run
RequestRoot $run/spool
CacheDir $run/cache
StateDir $run/state
AccessLog $run/log/access_log
ErrorLog $run/log/error_log
PageLog $run/log/page_log
User lp
Group lp
CONF
cupsd -f -c "$run/cupsd.conf" -s "$run/cups-files.conf" >"$run/log/cupsd.out" 2>&1 </dev/null &
echo $! >"$run/cupsd.pid"
export CUPS_SERVER=$run/cups.sock
for _ in $(seq 100); do lpstat -r >/dev/null 2>&1 && break; sleep 0.2; done
lpstat -r >/dev/null 2>&1 || { echo "the printer server did not start:"; tail -n 20 "$run/log/error_log" "$run/log/cupsd.out" 2>/dev/null; exit 1; }
ppd=$(ls /usr/share/ppd/cups-pdf/CUPS-PDF_noopt.ppd /usr/share/ppd/cups-pdf/*.ppd 2>/dev/null | head -1)
lpadmin -p ZembraPDF -v "cups-pdf:/$instance" -P "$ppd" -E 2>/dev/null
lpadmin -d ZembraPDF
lpstat -d
echo "PDFs printed to ZembraPDF go to $out"
