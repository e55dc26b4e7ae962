# Sourced by the Wine scripts: which loader and prefix kind a build folder's programs need.
#   zb_wine_env BUILD_DIR   sets ZB_WINE (loader), ZB_WINEARCH (win32|win64) and exports WINEARCH.
# The win32 build runs under the 32-bit loader in a 32-bit prefix, as on a 32-bit Windows; the
# win64 build under wine64. Always explicit loader paths: installing wine32 changes which loader
# /usr/bin/wine picks.
ZB_WINE32=/usr/lib/wine/wine
ZB_WINE64=/usr/lib/wine/wine64
ZB_WINESERVER=/usr/lib/wine/wineserver

zb_wine_env() {
  local build=$1 arch=
  [ -f "$build/wine-arch" ] && read -r arch <"$build/wine-arch"
  case "$arch" in win32|win64) ;; *) case "$(basename "$build")" in win32) arch=win32 ;; *) arch=win64 ;; esac ;; esac
  ZB_WINEARCH=$arch
  if [ "$arch" = win32 ]; then ZB_WINE=$ZB_WINE32; else ZB_WINE=$ZB_WINE64; fi
  export WINEARCH=$arch
}

# zb_wine32_missing: prints why 32-bit Windows programs cannot run here, or nothing when they can.
zb_wine32_missing() {
  if [ ! -x "$ZB_WINE32" ]; then
    echo "the 32-bit Wine loader ($ZB_WINE32, package wine32:i386) is not installed"
    return
  fi
  # The loader is itself an i386 program: a kernel without IA32 emulation refuses to start it.
  local out
  if ! out=$("$ZB_WINE32" --version 2>&1 </dev/null); then
    case "$out" in
      *"Exec format error"*|*"cannot execute"*) echo "this kernel does not run 32-bit programs (IA32 emulation is off)" ;;
      *) echo "the 32-bit Wine loader does not start: ${out:0:200}" ;;
    esac
  fi
}
