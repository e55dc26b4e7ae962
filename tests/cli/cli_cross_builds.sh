#!/usr/bin/env bash
# Sets cross the builds: what the win32 zembra-cli and zembra.exe write, the win64 and host
# zembra-cli rejoin; what those write, the win32 zembra-cli and first segment rejoin. Sets the two
# Windows builds write of one tree differ only in the rejoiner image at the head.
# Runs in the win32 lane; the win64 programs run under wine64 in a 64-bit prefix of their own.
# Usage: cli_cross_builds.sh HOST_CLI WIN32_CLI WIN32_REMBLO FIRST_SEGMENT_DRIVER WIN64_DIST [GUI_SET]
#   GUI_SET: a folder with set/ (a set the win32 zembra.exe built) and tree/ (its sources)
set -u
host_cli=$1 cli32=$2 remblo32=$3 driver=$4 dist64=$5 gui_set=${6:-}
cli64=$dist64/zembra-cli.exe remblo64=$dist64/remblo.exe
here=$(cd "$(dirname "$0")" && pwd)
wine_run=$here/../../scripts/wine-run.sh
. "$here/../../scripts/wine-env.sh"
ZB_SCRATCH=zbbuilds . "$here/lib.sh"
win() { printf 'Z:%s' "${1//\//\\}"; }
runs() {  # runs LOG COMMAND...: succeeds when the command does, keeping its output in LOG
  local log=$1; shift
  "$@" >"$log" 2>&1 </dev/null || { echo "  failed: $*"; cat "$log"; return 1; }
}
for f in "$host_cli" "$cli64" "$remblo64"; do
  [ -f "$f" ] || { echo "missing $f (scripts/build.sh builds every target)"; exit 1; }
done

# The 64-bit prefix, made once beside the build's 32-bit one, with a server kept for this run.
prefix64=${ZEMBRA_BINARY_DIR:?}/wineprefix-win64
run64() {  # run64 EXE ARGS...: a win64 program, output through a file (see wine-run.sh)
  local out; out=$(mktemp)
  WINEPREFIX=$prefix64 WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" \
    "$ZB_WINE64" "$@" >"$out" 2>&1 </dev/null
  local rc=$?
  cat "$out"; rm -f "$out"
  return $rc
}
if [ ! -f "$prefix64/system.reg" ]; then
  mkdir -p "$prefix64"
  WINEPREFIX=$prefix64 WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" \
    "$ZB_WINE64" wineboot -i >/dev/null 2>&1 </dev/null
fi
WINEPREFIX=$prefix64 "$ZB_WINESERVER" -p >/dev/null 2>&1 </dev/null
trap 'WINEPREFIX=$prefix64 "$ZB_WINESERVER" -k >/dev/null 2>&1; rm -rf "$work"' EXIT

src=$work/src
make_tree "$src"
len32=$(stat -c %s "$remblo32") len64=$(stat -c %s "$remblo64")
data=120000  # data bytes a segment holds beside the image: the sets span several segments

# win32 -> win64 and host.
check "win32 cli splits" runs "$work/log1" "$wine_run" "$cli32" split --size $((len32 + data)) --dest "$(win "$work/s32")" "$(win "$src")"
check "win32 set spans several segments" test -f "$work/s32/Kestrin_2.SEG"
check "win32 set carries the win32 rejoiner" cmp -s -n "$len32" "$remblo32" "$work/s32/Kestrin_1.EXE"
check "win64 cli rejoins the win32 set" runs "$work/log2" run64 "$cli64" rejoin "$(win "$work/s32/Kestrin_1.EXE")" "$(win "$work/b1")"
check "tree after win64 cli" diff -r "$src" "$work/b1/src"
check "host cli rejoins the win32 set" runs "$work/log3" "$host_cli" rejoin "$work/s32/Kestrin_1.EXE" "$work/b2"
check "tree after host cli" diff -r "$src" "$work/b2/src"
if [ -n "$gui_set" ]; then
  first=$(ls "$gui_set"/set/*_1.EXE 2>/dev/null | head -1)
  check "the win32 zembra.exe left its set" test -n "$first"
  if [ -n "$first" ]; then
    check "its set carries the win32 rejoiner" cmp -s -n "$len32" "$remblo32" "$first"
    check "win64 cli rejoins the zembra.exe set" runs "$work/log4" run64 "$cli64" rejoin "$(win "$first")" "$(win "$work/b3")"
    check "tree after win64 cli" diff -r "$gui_set/tree" "$work/b3"
    check "host cli rejoins the zembra.exe set" runs "$work/log5" "$host_cli" rejoin "$first" "$work/b4"
    check "tree after host cli" diff -r "$gui_set/tree" "$work/b4"
  fi
fi

# win64 and host -> win32.
check "win64 cli splits" runs "$work/log6" run64 "$cli64" split --size $((len64 + data)) --dest "$(win "$work/s64")" "$(win "$src")"
check "win64 set carries the win64 rejoiner" cmp -s -n "$len64" "$remblo64" "$work/s64/Kestrin_1.EXE"
check "win32 cli rejoins the win64 set" runs "$work/log7" "$wine_run" "$cli32" rejoin "$(win "$work/s64/Kestrin_1.EXE")" "$(win "$work/b5")"
check "tree after win32 cli" diff -r "$src" "$work/b5/src"
check "host cli splits with the win32 rejoiner" runs "$work/log8" "$host_cli" split --size $((len32 + data)) --rejoiner "$remblo32" --dest "$work/sh" "$src"
check "win32 cli rejoins the host set" runs "$work/log9" "$wine_run" "$cli32" rejoin "$(win "$work/sh/Kestrin_1.EXE")" "$(win "$work/b6")"
check "tree after win32 cli" diff -r "$src" "$work/b6/src"
mkdir -p "$work/b7"
check "the host set's first segment runs in the 32-bit prefix" runs "$work/log10" "$wine_run" "$driver" "$(win "$work/sh/Kestrin_1.EXE")" "$(win "$work/b7")"
check "tree after the first segment" diff -r "$src" "$work/b7/src"

# The two Windows builds write the same one-segment set of a tree but for the image at its head
# and the trailer's last field, which gives the image's length.
le32() { printf "$(printf '\\x%02x\\x%02x\\x%02x\\x%02x' $(($1 & 255)) $(($1 >> 8 & 255)) $(($1 >> 16 & 255)) $(($1 >> 24 & 255)))"; }
same_past_image() {
  local a=$work/o32/Kestrin_1.EXE b=$work/o64/Kestrin_1.EXE
  local na=$(( $(stat -c %s "$a") - len32 )) nb=$(( $(stat -c %s "$b") - len64 ))
  [ "$na" -eq "$nb" ] || { echo "  $na and $nb bytes past the images"; return 1; }
  cmp <(tail -c +$((len32 + 1)) "$a" | head -c $((na - 4))) <(tail -c +$((len64 + 1)) "$b" | head -c $((nb - 4))) || return 1
  cmp <(tail -c 4 "$a") <(le32 "$len32") && cmp <(tail -c 4 "$b") <(le32 "$len64") || { echo "  trailer lengths differ from the images'"; return 1; }
  cmp "$work/o32/Kestrin.spj" "$work/o64/Kestrin.spj"
}
check "win32 cli writes one segment" runs "$work/log11" "$wine_run" "$cli32" split --size 4M --dest "$(win "$work/o32")" "$(win "$src")"
check "win64 cli writes one segment" runs "$work/log12" run64 "$cli64" split --size 4M --dest "$(win "$work/o64")" "$(win "$src")"
check "win32 and win64 sets differ only in the rejoiner image" same_past_image

summary "cross-build checks"
