#!/usr/bin/env bash
# Makes the build's private Wine prefix once, with drive A: as a 1.44 MB diskette: a tmpfs of
# 1,474,560 bytes where mount is permitted (else a plain folder), flagged removable. A win32
# build gets a 32-bit prefix (WINEARCH=win32), a win64 build a 64-bit one.
set -u
# Usage: wine-prefix.sh BUILD_DIR [PREFIX_NAME]   (default name: wineprefix, the tests' one)
build=$(cd "$1" && pwd)
. "$(dirname "$0")/wine-env.sh"
zb_wine_env "$build"
export WINEPREFIX=$build/${2:-wineprefix} WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
floppy=$build/floppy
mkdir -p "$WINEPREFIX" "$floppy"
# The registry reaches the disk when the prefix's server ends: wait for it after making one.
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  "$ZB_WINE" wineboot -i >/dev/null 2>&1 </dev/null
  "$ZB_WINESERVER" -w >/dev/null 2>&1
fi
# A prefix made for the other kind (an older tree ran every build under wine64) cannot serve
# this loader: make it again.
if [ "$ZB_WINEARCH" = win32 ] && ! grep -q '^#arch=win32' "$WINEPREFIX/system.reg" 2>/dev/null; then
  "$ZB_WINESERVER" -k >/dev/null 2>&1
  rm -rf "$WINEPREFIX"; mkdir -p "$WINEPREFIX"
  "$ZB_WINE" wineboot -i >/dev/null 2>&1 </dev/null
  "$ZB_WINESERVER" -w >/dev/null 2>&1
fi
[ -f "$WINEPREFIX/system.reg" ] || { echo "wine-prefix: $ZB_WINE could not make $WINEPREFIX"; exit 1; }
if ! mountpoint -q "$floppy"; then
  mount -t tmpfs -o size=1474560 tmpfs "$floppy" 2>/dev/null || true
fi
ln -sfn "$floppy" "$WINEPREFIX/dosdevices/a:"
if ! grep -q '"a:"="floppy"' "$WINEPREFIX/system.reg" 2>/dev/null; then
  "$ZB_WINE" reg add 'HKLM\Software\Wine\Drives' /v a: /d floppy /f >/dev/null 2>&1 </dev/null
  # The mount manager reads the drive types when the server starts: restart it.
  "$ZB_WINESERVER" -k >/dev/null 2>&1; "$ZB_WINESERVER" -w >/dev/null 2>&1
fi
# Wine draws the caption's minimise, maximise and close glyphs with Marlett, which this Wine
# does not find in its own font folder: without a copy in the prefix they show as "0 1 r".
marlett=/usr/share/wine/fonts/marlett.ttf
if [ -f "$marlett" ] && [ ! -f "$WINEPREFIX/drive_c/windows/Fonts/marlett.ttf" ]; then
  mkdir -p "$WINEPREFIX/drive_c/windows/Fonts" && cp "$marlett" "$WINEPREFIX/drive_c/windows/Fonts/"
fi
# A crashing test must end at once, not wait behind a crash dialog until its time-out.
if [ ! -f "$WINEPREFIX/.zembra-nocrashdialog" ]; then
  "$ZB_WINE" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1 </dev/null
  "$ZB_WINE" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Auto /d 1 /f >/dev/null 2>&1 </dev/null
  touch "$WINEPREFIX/.zembra-nocrashdialog"
fi
# Under Xvfb there is no window manager: unmanaged windows show and hide at once, where managed
# ones wait for a manager that never answers. A prefix for a person's desktop keeps them managed.
if [ -z "${ZEMBRA_WINE_MANAGED:-}" ] && [ ! -f "$WINEPREFIX/.zembra-unmanaged" ]; then
  "$ZB_WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 </dev/null
  "$ZB_WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1 </dev/null
  touch "$WINEPREFIX/.zembra-unmanaged"
fi
exit 0
