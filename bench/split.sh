#!/usr/bin/env bash
# Split benchmark (not a test): zembra-cli splits one 1 GiB file into 100 MB segments, and
# 20,000 small files, timed against split -b, cp and tar cf in the same run, with its peak memory.
# usage: bench/split.sh [work folder]   (needs about 3.5 GB free there; default /var/tmp)
set -eu
bench_name=split-bench bench_runs=1
. "$(dirname "$0")/lib.sh"

make_inputs
cat "$work/big.bin" >/dev/null  # warm the cache alike for every contender
split=("$cli" split --yes --size 100M --dest "$work/out")

echo "1 GiB file, 100 MB segments:" >&2
run split_b split -b 100000000 "$work/big.bin" "$work/out/part_"
run cp cp "$work/big.bin" "$work/out/big.bin"
run engine_big "${split[@]}" --name B "$work/big.bin"
echo "20,000 small files:" >&2
run tar tar cf "$work/out/small.tar" -C "$work" small
run engine_small "${split[@]}" --name S "$work/small"
echo "2,000 small files (memory check):" >&2
run engine_few "${split[@]}" --name S "$work"/small/d{1..20}

echo
echo "engine / split -b (1 GiB):   $(ratio "$t_engine_big" "$t_split_b")x   (target <= 1.0)"
echo "engine / cp (1 GiB):         $(ratio "$t_engine_big" "$t_cp")x   (target <= 1.1)"
echo "engine / tar cf (20,000):    $(ratio "$t_engine_small" "$t_tar")x   (target <= 1.0)"
echo "engine peak memory: ${m_engine_big} KiB (1 GiB file), ${m_engine_small} KiB (20,000 files), ${m_engine_few} KiB (2,000 files)"
