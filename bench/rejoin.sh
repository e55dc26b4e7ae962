#!/usr/bin/env bash
# Rejoin benchmark (not a test): a 1 GiB file split into 100 MB segments, and 20,000 small
# files, rejoined by zembra-cli and timed against cat of the segments and tar xf in the same run
# (best of three each).
# usage: bench/rejoin.sh [work folder]   (needs about 4 GB free there; default /var/tmp)
set -eu
bench_name=rejoin-bench bench_runs=3
. "$(dirname "$0")/lib.sh"

make_inputs
mkdir -p "$work/sets"
"$cli" split --yes --size 100M --name B --dest "$work/sets" "$work/big.bin" >/dev/null
"$cli" split --yes --size 100M --name S --dest "$work/sets" "$work/small" >/dev/null
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
run rejoin_big "$cli" rejoin --overwrite all "$work/sets/B_1.EXE" "$work/out"
echo "20,000 small files:" >&2
run tar_x tar xf "$work/small.tar" -C "$work/out"
run rejoin_small "$cli" rejoin --overwrite all "$work/sets/S_1.EXE" "$work/out"

echo
echo "rejoin / cat of segments (1 GiB): $(ratio "$t_rejoin_big" "$t_cat")x   (target <= 1.0)"
echo "rejoin / tar xf (20,000 files):   $(ratio "$t_rejoin_small" "$t_tar_x")x   (target <= 1.0)"
echo "rejoin peak memory: ${m_rejoin_big} KiB (1 GiB file), ${m_rejoin_small} KiB (20,000 files)"
