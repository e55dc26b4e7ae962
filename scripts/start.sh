#!/usr/bin/env bash
# Builds everything, then starts the main program (dist/win64/zembra.exe) under wine64 in the
# build's private prefix; until the main program exists it starts the progress demo instead.
# With no display it runs under Xvfb, waits for the window, saves a screenshot, prints its
# path and ends the program.   Usage: bash scripts/start.sh [--no-build]
set -u
cd "$(dirname "$0")/.."
top=$PWD
B=${ZEMBRA_BUILD_ROOT:-build}
D=${ZEMBRA_DIST_ROOT:-dist}
case "$B" in /*) ;; *) B=$top/$B ;; esac
case "$D" in /*) ;; *) D=$top/$D ;; esac
wine=/usr/lib/wine/wine64

# Inner part of the headless run, inside xvfb-run: start, wait for a window, shoot, end.
if [ "${1:-}" = "--headless" ]; then
  exe=$2 shot=$3 log=$4
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

if [ -f "$D/win64/zembra.exe" ]; then
  exe=$D/win64/zembra.exe
  echo "start: running $exe (the main program)"
else
  exe=$D/win64/progress-demo.exe
  [ -f "$exe" ] || { echo "start: neither zembra.exe nor progress-demo.exe is in $D/win64"; exit 1; }
  echo "start: zembra.exe is not built yet, so this runs $exe,"
  echo "       which shows the progress window (Cancel or Escape ends it)"
fi

mkdir -p "$B/win64"
# The prefix's diskette is a tmpfs: unmount it at the end when this run mounted it.
floppy=$B/win64/floppy
mountpoint -q "$floppy" 2>/dev/null && mounted_before=1 || mounted_before=
release_floppy() {
  if [ -z "$mounted_before" ] && mountpoint -q "$floppy" 2>/dev/null; then
    /usr/lib/wine/wineserver -k >/dev/null 2>&1
    umount "$floppy" 2>/dev/null || umount -l "$floppy" 2>/dev/null || echo "start: could not unmount $floppy"
  fi
}
trap release_floppy EXIT
trap 'exit 130' INT TERM
echo "start: preparing the Wine prefix (the first time takes a minute)"
# A prefix of its own: the tests' prefix is tuned for Xvfb (unmanaged, undecorated windows).
ZEMBRA_WINE_MANAGED=1 bash scripts/wine-prefix.sh "$B/win64" start-prefix
export WINEPREFIX=$B/win64/start-prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

if [ -n "${DISPLAY:-}" ]; then
  log=$B/start.log
  "$wine" "$exe" >"$log" 2>&1 </dev/null
  exit $?
fi
echo "start: no display: running under Xvfb"
# A Wine session begun without a display (setting up the prefix) would lend its 1024x768
# desktop to the program: let it end first.
/usr/lib/wine/wineserver -w
xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" --headless "$exe" "$B/screenshot.png" "$B/start.log"
