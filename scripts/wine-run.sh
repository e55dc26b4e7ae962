#!/usr/bin/env bash
# Runs one Windows program under wine64 in the build's private prefix. Output goes through a
# file: Wine's background services keep an inherited pipe open, which would hang a reader.
set -u
exe=$1; shift
build=${ZEMBRA_BINARY_DIR:-$(cd "$(dirname "$exe")/.." && pwd)}
export WINEPREFIX=${WINEPREFIX:-$build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}
out=$(mktemp)
/usr/lib/wine/wine64 "$exe" "$@" >"$out" 2>&1 </dev/null
rc=$?
cat "$out"
rm -f "$out"
exit $rc
