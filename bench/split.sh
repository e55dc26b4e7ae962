#!/usr/bin/env bash
# Split-engine benchmark (not a test): one 1 GiB file into 100 MB segments, and 20,000 small
# files, timed against split -b, cp and tar cf in the same run, with the engine's peak memory.
# usage: bench/split.sh [work folder]   (needs about 3.5 GB free there; default /var/tmp)
set -eu
cd "$(dirname "$0")/.."
top=$PWD
B=${ZEMBRA_BUILD_ROOT:-build-engine}/host
work=${1:-/var/tmp}/zb-split-bench.$$
cmake -S . -B "$B" >/dev/null
cmake --build "$B" --target split_bench -j2 >/dev/null
tool=$top/$B/bin/split_bench
mkdir -p "$work/out"
trap 'rm -rf "$work"' EXIT

# run <label> <command...>: wall seconds and peak resident KiB of the command. Outputs are
# flushed to disk between contenders (not inside the timing), so each starts alike.
run() {
  local label=$1; shift
  rm -rf "$work/out" && mkdir -p "$work/out" && sync
  /usr/bin/time -f "%e %M" -o "$work/time.txt" "$@" && sync
  read -r secs kib <"$work/time.txt"
  printf '  %-28s %8.2f s  %8d KiB peak\n' "$label" "$secs" "$kib" >&2
  eval "t_$label=$secs m_$label=$kib"
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b <= 0) b = 0.01; printf "%.2f", a / b }'; }

echo "preparing 1 GiB file and 20,000 small files in $work ..." >&2
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
cat "$work/big.bin" >/dev/null  # warm the cache alike for every contender

echo "1 GiB file, 100 MB segments:" >&2
run split_b split -b 100000000 "$work/big.bin" "$work/out/part_"
run cp cp "$work/big.bin" "$work/out/big.bin"
run engine_big "$tool" "$work/out" B 100000000 "$work/big.bin"
echo "20,000 small files:" >&2
run tar tar cf "$work/out/small.tar" -C "$work" small
run engine_small "$tool" "$work/out" S 100000000 "$work/small"
echo "2,000 small files (memory check):" >&2
run engine_few "$tool" "$work/out" S 100000000 "$work/small/d1" "$work/small/d2" "$work/small/d3" \
  "$work/small/d4" "$work/small/d5" "$work/small/d6" "$work/small/d7" "$work/small/d8" "$work/small/d9" \
  "$work/small/d10" "$work/small/d11" "$work/small/d12" "$work/small/d13" "$work/small/d14" \
  "$work/small/d15" "$work/small/d16" "$work/small/d17" "$work/small/d18" "$work/small/d19" "$work/small/d20"

echo
echo "engine / split -b (1 GiB):   $(ratio "$t_engine_big" "$t_split_b")x   (target <= 1.0)"
echo "engine / cp (1 GiB):         $(ratio "$t_engine_big" "$t_cp")x   (target <= 1.1)"
echo "engine / tar cf (20,000):    $(ratio "$t_engine_small" "$t_tar")x   (target <= 1.3)"
echo "engine peak memory: ${m_engine_big} KiB (1 GiB file), ${m_engine_small} KiB (20,000 files), ${m_engine_few} KiB (2,000 files)"
