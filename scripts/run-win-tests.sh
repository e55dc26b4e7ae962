#!/usr/bin/env bash
# Runs the win64 build's tests under wine64 with one wineserver kept alive for the run.
# Expects DISPLAY (the caller runs it under xvfb-run). Arguments after the build folder go to
# ctest (for example -R korvo to run some tests only).
set -u
build=$(cd "$1" && pwd)
export WINEPREFIX=$build/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# The diskette is a tmpfs: what this run mounts it unmounts when it ends, however it ends, so
# mounts do not pile up and the tree can be removed.
floppy=$build/floppy
mountpoint -q "$floppy" 2>/dev/null && mounted_before=1 || mounted_before=
cleanup() {
  /usr/lib/wine/wineserver -k >/dev/null 2>&1
  if [ -z "$mounted_before" ] && mountpoint -q "$floppy" 2>/dev/null; then
    umount "$floppy" 2>/dev/null || umount -l "$floppy" 2>/dev/null || echo "run-win-tests: could not unmount $floppy"
  fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM
bash "$(dirname "$0")/wine-prefix.sh" "$build"
/usr/lib/wine/wineserver -p >/dev/null 2>&1 </dev/null
cd "$build" && ctest --output-on-failure --timeout 600 "${@:2}"
