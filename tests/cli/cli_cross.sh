#!/usr/bin/env bash
# Cross-checks between the host zembra-cli and the Windows build under Wine: a set made on
# Linux rejoins with the Windows zembra-cli and by running its first segment; a set made by the
# Windows zembra-cli rejoins on Linux.
# Usage: cli_cross.sh HOST_CLI WIN_CLI REMBLO_EXE FIRST_SEGMENT_DRIVER
set -u
host_cli=$1 win_cli=$2 remblo=$3 driver=$4
here=$(cd "$(dirname "$0")" && pwd)
wine_run=$here/../../scripts/wine-run.sh
# Under /tmp both sides see the same files: Wine shows the host root as Z:.
ZB_SCRATCH=zbcross . "$here/lib.sh"
win() { printf 'Z:%s' "${1//\//\\}"; }
runs() {  # runs LOG COMMAND...: succeeds when the command does, keeping its output in LOG
  local log=$1; shift
  "$@" >"$log" 2>&1 </dev/null || { echo "  failed: $*"; cat "$log"; return 1; }
}

src=$work/src
make_tree "$src"
# Segments just large enough for the image and a little data, so the set spans several.
size=$(( $(stat -c %s "$remblo") + 120000 ))

# Linux -> Windows.
check "host split with the Windows rejoiner" runs "$work/log1" "$host_cli" split --size "$size" --rejoiner "$remblo" --dest "$work/sets1" "$src"
check "several segments" test -f "$work/sets1/Kestrin_2.SEG"
check "first segment starts with the rejoiner" cmp -s -n "$(stat -c %s "$remblo")" "$remblo" "$work/sets1/Kestrin_1.EXE"
check "Windows cli rejoins the host set" runs "$work/log2" "$wine_run" "$win_cli" rejoin "$(win "$work/sets1/Kestrin_1.EXE")" "$(win "$work/back1")"
check "tree after Windows cli" diff -r "$src" "$work/back1/src"
mkdir -p "$work/back2"
check "the first segment runs and rejoins" runs "$work/log3" "$wine_run" "$driver" "$(win "$work/sets1/Kestrin_1.EXE")" "$(win "$work/back2")"
check "tree after the first segment" diff -r "$src" "$work/back2/src"

# Windows -> Linux, with the rejoiner the Windows cli carries.
check "Windows cli splits" runs "$work/log4" "$wine_run" "$win_cli" split --size "$size" --dest "$(win "$work/sets2")" "$(win "$src")"
check "its rejoiner is the build's" cmp -s -n "$(stat -c %s "$remblo")" "$remblo" "$work/sets2/Kestrin_1.EXE"
# Both list the same entries; the order is each file system's own.
entries() { grep -v '^\$' "$1" | sort; }
check "same entries listed either side" diff <(entries "$work/sets1/Kestrin.spj") <(entries "$work/sets2/Kestrin.spj")
check "host cli rejoins the Windows set" runs "$work/log5" "$host_cli" rejoin "$work/sets2/Kestrin_1.EXE" "$work/back3"
check "tree after host cli" diff -r "$src" "$work/back3/src"

summary "cli cross-checks"
