#!/usr/bin/env bash
# Runs one Windows program under Wine in the build's private prefix: the 32-bit loader for a
# win32 build, wine64 for win64. Output goes through a file: Wine's background services keep an
# inherited pipe open, which would hang a reader.
set -u
exe=$1; shift
build=${ZEMBRA_BINARY_DIR:-$(cd "$(dirname "$exe")/.." && pwd)}
. "$(dirname "$0")/wine-env.sh"
zb_wine_env "$build"
export WINEPREFIX=${WINEPREFIX:-$build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}
out=$(mktemp)
"$ZB_WINE" "$exe" "$@" >"$out" 2>&1 </dev/null
rc=$?
cat "$out"
rm -f "$out"
exit $rc
