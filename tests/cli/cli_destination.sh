#!/usr/bin/env bash
# What a rejoin does to the destination beyond the set's own files: a hard-linked file there is
# replaced by name (its other name keeps its data), a file the set ends inside never replaces
# the old one, and a folder swapped for a link to another place while files are written into it
# sends nothing there. Sets are made by the host zembra-cli; they are rejoined by the Windows
# zembra-cli under Wine when one is given, else by the host one.
# Usage: cli_destination.sh HOST_CLI [WIN_CLI]
set -u
host_cli=$1 win_cli=${2:-}
here=$(cd "$(dirname "$0")" && pwd)
ZB_SCRATCH=zbdest . "$here/lib.sh"
win() { printf 'Z:%s' "${1//\//\\}"; }
rejoin() {  # rejoin FIRST DEST [OPTIONS...]
  local first=$1 dest=$2; shift 2
  if [ -n "$win_cli" ]; then
    "$here/../../scripts/wine-run.sh" "$win_cli" rejoin "$@" "$(win "$first")" "$(win "$dest")"
  else
    "$host_cli" rejoin "$@" "$first" "$dest"
  fi
}
stand_in_sources

check "split" run 0 "$host_cli" -q split "${R[@]}" --size 150000 --dest "$work/set" "$src"

# A hard link in the destination.
mkdir -p "$work/outside" "$work/back/src/docs"
echo precious >"$work/outside/precious.txt"
ln "$work/outside/precious.txt" "$work/back/src/docs/a.txt"
check "rejoin over a hard link" run 0 rejoin "$work/set/Kestrin_1.EXE" "$work/back" --overwrite all
check "the other name keeps its data" test "$(cat "$work/outside/precious.txt")" = precious
check "the name has the set's file" cmp -s "$src/docs/a.txt" "$work/back/src/docs/a.txt"
check "the whole tree came back" diff -r "$src" "$work/back/src"

# A set cut inside a file: the old file of that name stays whole, and nothing half made is left.
check "split of one file" run 0 "$host_cli" -q split "${R[@]}" --size 150000 --dest "$work/one" "$src/big.bin"
mkdir -p "$work/cut" "$work/back2" && cp "$work/one/Kestrin_1.EXE" "$work/cut/"
echo old >"$work/back2/big.bin"
check "a cut set fails" run 1 rejoin "$work/cut/Kestrin_1.EXE" "$work/back2" --overwrite all
check "the file it ends inside is named" grep -q 'big.bin was not restored' "$work/err" "$work/stdout"
check "the old file stays" test "$(cat "$work/back2/big.bin")" = old
check "no unfinished file is left" test "$(ls -A "$work/back2")" = big.bin

# A folder swapped for a link, again and again, while 3,000 files are written into it.
mkdir -p "$work/many/d"
for i in $(seq 1 3000); do echo "$i"; done | (cd "$work/many/d" && xargs touch)
check "split of many files" run 0 "$host_cli" -q split "${R[@]}" --dest "$work/manyset" "$work/many"
mkdir -p "$work/target" "$work/elsewhere"
python3 - "$work/target/many/d" "$work/elsewhere" "$work/stop" <<'EOF' &
import os, sys, time
d, outside, stop = sys.argv[1:4]
while not os.path.exists(stop):
    try:
        if os.path.isdir(d) and not os.path.islink(d):
            os.rename(d, d + ".real")
            os.symlink(outside, d)
            time.sleep(0.001)
            os.unlink(d)
            os.rename(d + ".real", d)
        time.sleep(0.001)
    except OSError:
        pass
EOF
swapper=$!
rejoin "$work/manyset/Kestrin_1.EXE" "$work/target" -q >"$work/race.log" 2>&1
touch "$work/stop"
wait "$swapper"
landed=$(find "$work/elsewhere" -mindepth 1 | wc -l)
check "nothing landed through the link ($landed did)" test "$landed" -eq 0
check "the files went into the folder" test "$(find "$work/target/many" -type f | wc -l)" -gt 0

# On Windows hidden items inside a source are left out unless --hidden, and named when they are
# (Wine shows dot files as hidden).
if [ -n "$win_cli" ]; then
  wine_cli() { "$here/../../scripts/wine-run.sh" "$win_cli" "$@"; }
  mkdir -p "$work/dots/.git" && echo secret >"$work/dots/.env" && echo ref >"$work/dots/.git/HEAD" && echo x >"$work/dots/x"
  check "hidden items left out" run 0 wine_cli split --name h --dest "$(win "$work/hset")" "$(win "$work/dots")"
  check "and named" grep -q '2 hidden items inside the selected folders were left out' "$work/stdout"
  check "by name" grep -q 'dots\\.env' "$work/stdout"
  check "--hidden takes them" run 0 wine_cli split --hidden --name h2 --dest "$(win "$work/hset")" "$(win "$work/dots")"
  check "all came back" run 0 "$host_cli" rejoin "$work/hset/h2_1.EXE" "$work/hback"
  check "hidden items in the set" diff -r "$work/dots" "$work/hback/dots"
fi

summary "destination"
