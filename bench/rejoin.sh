#!/usr/bin/env bash
# Rejoin benchmark (not a test): a 1 GiB file split into 100 MB segments, and 20,000 small
# files, rejoined by the reader and timed against cat of the segments and tar xf in the same run
# (best of three each).
# usage: bench/rejoin.sh [work folder]   (needs about 4 GB free there; default /var/tmp)
set -eu
cd "$(dirname "$0")/.."
top=$PWD
B=${ZEMBRA_BUILD_ROOT:-build-rejoiner}/host
work=${1:-/var/tmp}/zb-rejoin-bench.$$
cmake -S . -B "$B" >/dev/null
cmake --build "$B" --target rejoin_bench split_bench -j2 >/dev/null
rejoin=$top/$B/bin/rejoin_bench
split=$top/$B/bin/split_bench
mkdir -p "$work/sets" "$work/out"
trap 'rm -rf "$work"' EXIT

# run <label> <command...>: wall seconds and peak resident KiB, the best of three runs (the
# machine is shared; the contenders take turns). The output folder is emptied and everything
# flushed before each run, outside the timing, so each starts alike.
run() {
  local label=$1; shift
  local best= bestkib=
  for _ in 1 2 3; do
    rm -rf "$work/out" && mkdir -p "$work/out" && sync
    /usr/bin/time -f "%e %M" -o "$work/time.txt" "$@" && sync
    read -r secs kib <"$work/time.txt"
    if [ -z "$best" ] || awk -v a="$secs" -v b="$best" 'BEGIN { exit !(a < b) }'; then best=$secs bestkib=$kib; fi
  done
  printf '  %-28s %8.2f s  %8d KiB peak\n' "$label" "$best" "$bestkib" >&2
  eval "t_$label=$best m_$label=$bestkib"
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b <= 0) b = 0.01; printf "%.2f", a / b }'; }

echo "preparing the sets in $work ..." >&2
head -c 1073741824 /dev/urandom >"$work/big.bin"
python3 - "$work/small" <<'PY'
import os, sys
root = sys.argv[1]
for d in range(1, 201):
    os.makedirs(f"{root}/d{d}")
    for f in range(1, 101):
        with open(f"{root}/d{d}/f{f}.dat", "wb") as out:
            out.write(os.urandom((d * 131 + f * 977) % 8000 + 100))
PY
"$split" "$work/sets" B 100000000 "$work/big.bin"
"$split" "$work/sets" S 100000000 "$work/small"
tar cf "$work/small.tar" -C "$work" small
rm -rf "$work/small" "$work/big.bin"
cat "$work"/sets/* "$work/small.tar" >/dev/null  # warm the cache alike for every contender
big_segments=("$work/sets/B_1.EXE")
for ((i = 2; i < 1000; i++)); do
  [ -e "$work/sets/B_$i.SEG" ] || break
  big_segments+=("$work/sets/B_$i.SEG")
done

echo "1 GiB file, 100 MB segments:" >&2
run cat sh -c 'out=$1; shift; cat "$@" >"$out"' sh "$work/out/big.bin" "${big_segments[@]}"
run rejoin_big "$rejoin" "$work/sets/B_1.EXE" "$work/out"
echo "20,000 small files:" >&2
run tar_x tar xf "$work/small.tar" -C "$work/out"
run rejoin_small "$rejoin" "$work/sets/S_1.EXE" "$work/out"

echo
echo "rejoin / cat of segments (1 GiB): $(ratio "$t_rejoin_big" "$t_cat")x   (target <= 1.0)"
echo "rejoin / tar xf (20,000 files):   $(ratio "$t_rejoin_small" "$t_tar_x")x   (target <= 1.3)"
echo "rejoin peak memory: ${m_rejoin_big} KiB (1 GiB file), ${m_rejoin_small} KiB (20,000 files)"
