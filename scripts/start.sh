#!/usr/bin/env bash
# Builds everything, then starts the main program under Wine in a prefix of its own: the win32
# build (dist/win32/zembra.exe, the deliverable) in a 32-bit prefix, or the win64 build where
# this machine cannot run 32-bit programs. A PDF printer of its own (CUPS-PDF) is the default
# printer, so File > Print writes a PDF into build/PDF.
# With a display the program stays running when this script ends; with none it runs under Xvfb,
# waits for the window, saves a screenshot, prints its path, ends the program and says how to
# run it interactively.   Usage: bash scripts/start.sh [--no-build]
set -u
cd "$(dirname "$0")/.."
top=$PWD
B=${ZEMBRA_BUILD_ROOT:-build}
D=${ZEMBRA_DIST_ROOT:-dist}
case "$B" in /*) ;; *) B=$top/$B ;; esac
case "$D" in /*) ;; *) D=$top/$D ;; esac
. scripts/wine-env.sh

# Inner part of the headless run, inside xvfb-run: start, wait for a window, shoot, end.
if [ "${1:-}" = "--headless" ]; then
  wine=$2 exe=$3 shot=$4 log=$5
  # Xvfb has no window manager to draw captions and borders, nor to answer a managed window's
  # map and unmap: let Wine draw and place its windows itself.
  "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1 </dev/null
  "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 </dev/null
  "$wine" "$exe" >"$log" 2>&1 </dev/null &
  pid=$!
  shown=
  for _ in $(seq 1 240); do
    kill -0 "$pid" 2>/dev/null || break
    # A visible top-level window whose title is the program's.
    for id in $(xwininfo -root -tree 2>/dev/null | grep -E '"[^"]*(Zembra|Progress|Building)[^"]*"' | awk '{print $1}'); do
      if xwininfo -id "$id" 2>/dev/null | grep -q 'Map State: IsViewable'; then shown=$id; break; fi
    done
    [ -n "$shown" ] && break
    sleep 0.25
  done
  if [ -z "$shown" ]; then
    echo "start: no window appeared (program output: $log)"
    kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null
    exit 1
  fi
  sleep 2  # let it paint a few steps
  import -window root "$shot"
  rc=$?
  kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null
  [ $rc -eq 0 ] && echo "start: screenshot saved to $shot" || echo "start: screenshot failed"
  exit $rc
fi

if [ "${1:-}" != "--no-build" ]; then
  echo "start: checking the packages the build needs"
  bash scripts/setup.sh || exit 1
  echo "start: building win32, host and win64 (the first build takes several minutes)"
  bash scripts/build.sh || exit 1
fi

target=win32
why=$(zb_wine32_missing)
if [ -n "$why" ]; then
  echo "start: the win32 build cannot run here ($why): running the win64 build"
  target=win64
fi
if [ -f "$D/$target/zembra.exe" ]; then
  exe=$D/$target/zembra.exe
  echo "start: running $exe (the main program)"
else
  exe=$D/$target/progress-demo.exe
  [ -f "$exe" ] || { echo "start: neither zembra.exe nor progress-demo.exe is in $D/$target"; exit 1; }
  echo "start: zembra.exe is not built yet, so this runs $exe,"
  echo "       which shows the progress window (Cancel or Escape ends it)"
fi

build=$B/$target
mkdir -p "$build"
zb_wine_env "$build"
echo "start: preparing the Wine prefix (the first time takes a minute)"
# A prefix of its own: the tests' prefix is tuned for Xvfb (unmanaged, undecorated windows).
ZEMBRA_WINE_MANAGED=1 bash scripts/wine-prefix.sh "$build" start-prefix
export WINEPREFIX=$build/start-prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

# The printer: a CUPS server of this script's own with a CUPS-PDF queue as its default.
printer=$B/start-cups pdfs=$B/PDF
if bash tests/win/project_cups.sh start "$printer" "$pdfs" >"$B/start-cups.log" 2>&1; then
  export CUPS_SERVER=$printer/cups.sock
  echo "start: File > Print prints to the PDF printer ZembraPDF; the PDFs go to $pdfs"
else
  echo "start: no PDF printer ($(tail -n 1 "$B/start-cups.log")); the program runs without one"
  printer=
fi

if [ -n "${DISPLAY:-}" ]; then
  log=$B/start.log
  # A desktop's window manager draws and places the windows (a headless run turned that off).
  "$ZB_WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d Y /f >/dev/null 2>&1 </dev/null
  "$ZB_WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d Y /f >/dev/null 2>&1 </dev/null
  # Its own session, so closing this terminal or the script's end does not end the program.
  setsid "$ZB_WINE" "$exe" >"$log" 2>&1 </dev/null &
  echo "start: $(basename "$exe") is running on $DISPLAY (Wine's output: $log);"
  echo "       closing its window ends it. The printer server stays up for it;"
  [ -n "$printer" ] && echo "       bash tests/win/project_cups.sh stop $printer ends the printer server."
  exit 0
fi

echo "start: no display: running under Xvfb"
# The prefix's diskette is a tmpfs: unmount it at the end when this run mounted it.
floppy=$build/floppy
mountpoint -q "$floppy" 2>/dev/null && mounted_before=1 || mounted_before=
release() {
  "$ZB_WINESERVER" -k >/dev/null 2>&1
  [ -n "$printer" ] && bash tests/win/project_cups.sh stop "$printer"
  if [ -z "$mounted_before" ] && mountpoint -q "$floppy" 2>/dev/null; then
    umount "$floppy" 2>/dev/null || umount -l "$floppy" 2>/dev/null || echo "start: could not unmount $floppy"
  fi
}
trap release EXIT
trap 'exit 130' INT TERM
# A Wine session begun without a display (setting up the prefix) would lend its 1024x768
# desktop to the program: let it end first.
"$ZB_WINESERVER" -w
xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" --headless "$ZB_WINE" "$exe" "$B/screenshot.png" "$B/start.log"
rc=$?
cat <<EOF
start: this machine has no display, so the program was shown on a virtual one and ended.
       To use it interactively, run "bash scripts/start.sh --no-build" where a display is set
       (a Linux desktop's terminal, or "ssh -X" from one): the program then stays running.
EOF
exit $rc
