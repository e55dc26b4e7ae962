#!/usr/bin/env bash
# Runs the win64 build's tests under wine64 with one wineserver kept alive for the run.
# Expects DISPLAY (the caller runs it under xvfb-run). Arguments after the build folder go to
# ctest (for example -R korvo to run some tests only).
set -u
build=$(cd "$1" && pwd)
export WINEPREFIX=$build/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
bash "$(dirname "$0")/wine-prefix.sh" "$build"
/usr/lib/wine/wineserver -p >/dev/null 2>&1 </dev/null
cd "$build" && ctest --output-on-failure --timeout 600 "${@:2}"
rc=$?
/usr/lib/wine/wineserver -k >/dev/null 2>&1
exit $rc
