#!/usr/bin/env bash
# Runs a Windows build's tests under Wine with one wineserver kept alive for the run: win32 in a
# 32-bit prefix under the 32-bit loader, win64 under wine64. Expects DISPLAY (the caller runs it
# under xvfb-run). Arguments after the build folder go to ctest (for example -R korvo).
# Exit 3 without running anything when this machine cannot run the build's programs (the reason
# is printed on a line starting "not run:").
set -u
build=$(cd "$1" && pwd)
. "$(dirname "$0")/wine-env.sh"
zb_wine_env "$build"
if [ "$ZB_WINEARCH" = win32 ]; then
  why=$(zb_wine32_missing)
  [ -n "$why" ] && { echo "not run: $why"; exit 3; }
fi
export WINEPREFIX=$build/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# The diskette is a tmpfs: what this run mounts it unmounts when it ends, however it ends, so
# mounts do not pile up and the tree can be removed.
floppy=$build/floppy
mountpoint -q "$floppy" 2>/dev/null && mounted_before=1 || mounted_before=
cleanup() {
  "$ZB_WINESERVER" -k >/dev/null 2>&1
  if [ -z "$mounted_before" ] && mountpoint -q "$floppy" 2>/dev/null; then
    umount "$floppy" 2>/dev/null || umount -l "$floppy" 2>/dev/null || echo "run-win-tests: could not unmount $floppy"
  fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM
bash "$(dirname "$0")/wine-prefix.sh" "$build" || exit 1
"$ZB_WINESERVER" -p >/dev/null 2>&1 </dev/null
cd "$build" && ctest --output-on-failure --timeout 600 "${@:2}"
