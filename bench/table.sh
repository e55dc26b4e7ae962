#!/usr/bin/env bash
# The performance table in one command (a benchmark, not a test): 20,000 small files and one
# 256 MiB file, 50 MB segments, split and rejoined by zembra-cli against tar, split -b and cat,
# and the win64 zembra-cli.exe under wine64 against the native one. Contenders take turns and
# each ratio is the median of the runs, printed with its goal and the load of the machine.
# Checksums are off in the rows with goals (the coreutils do not make them); one row shows what
# the default (checksums on) costs.
# usage: bench/table.sh [work folder]   (about 1 GB free there; default /var/tmp)
#   BENCH_RUNS=n (default 3) runs per contender; BENCH_WINE=0 leaves out the Windows row.
#   BENCH_WINEPREFIX: the Wine prefix to use (made on first use; default /var/tmp/zb-bench-wine).
set -eu
bench_name=table-bench
. "$(dirname "$0")/lib.sh"
runs=${BENCH_RUNS:-3}
exe=$dist/win64/zembra-cli.exe
wine=/usr/lib/wine/wine64
load_before=$(cut -d' ' -f1-3 /proc/loadavg)

echo "preparing 256 MiB file and 20,000 small files in $work ..." >&2
head -c 268435456 /dev/urandom >"$work/big.bin"
make_small_files "$work/small"
cd "$work"
mkdir -p sets
"$cli" split --yes --no-checksums --size 50M --name B --dest sets big.bin >/dev/null
"$cli" split --yes --no-checksums --size 50M --name S --dest sets small >/dev/null
tar cf small.tar small
big_segments=(sets/B_1.EXE sets/B_[2-9].SEG)
cat big.bin sets/* small.tar >/dev/null  # warm the cache alike for every contender

# The contenders: each writes into out/, which is emptied before every run.
c_tar_cf() { tar cf out/small.tar small; }
c_split_small() { "$cli" split --yes --no-checksums --size 50M --name S --dest out small; }
c_tar_xf() { tar xf small.tar -C out; }
c_rejoin_small() { "$cli" rejoin --overwrite all sets/S_1.EXE out; }
c_split_b() { split -b 50000000 big.bin out/part_; }
c_split_big() { "$cli" split --yes --no-checksums --size 50M --name B --dest out big.bin; }
c_split_big_sums() { "$cli" split --yes --size 50M --name B --dest out big.bin; }
c_cat() { cat "${big_segments[@]}" >out/big.bin; }
c_rejoin_big() { "$cli" rejoin --overwrite all sets/B_1.EXE out; }
c_wine_split_big() { "$wine" "$exe" split --yes --no-checksums --size 50M --name B --dest out big.bin; }
# Recovery volumes for 10% of the segments, against par2cmdline's -r10 over the same segments.
c_split_big_rec() { "$cli" split --yes --no-checksums --recovery 10% --size 50M --name B --dest out big.bin; }
c_par2_r10() { par2 create -q -q -r10 -B sets out/B.par2 "${big_segments[@]}"; }
# What any program pays to start under Wine, work apart: the same program printing its version.
c_wine_start() { "$wine" "$exe" --version; }

# race <contender>...: runs each in turn, runs times over; the median seconds of each go to
# s_<contender>.
race() {
  local c r start end
  for c in "$@"; do : >"times_$c"; done
  for ((r = 0; r < runs; r++)); do
    for c in "$@"; do
      rm -rf out && mkdir out && sync
      start=$(date +%s%N)
      "c_$c" >run.log 2>&1 </dev/null || { echo "$c failed:" >&2; cat run.log >&2; exit 1; }
      end=$(date +%s%N)
      sync
      echo $(((end - start) / 1000000)) >>"times_$c"
    done
  done
  for c in "$@"; do
    eval "s_$c=$(sort -n "times_$c" | awk '{ v[NR] = $1 } END { printf "%.3f", v[int((NR + 1) / 2)] / 1000 }')"
  done
}

# row <what> <a> <b> <goal>: the ratio a / b and its goal.
row() {
  local a b r
  eval "a=\$s_$2 b=\$s_$3"
  r=$(ratio "$a" "$b")
  printf '%-46s %6.2fs %6.2fs %6sx   %s\n' "$1" "$a" "$b" "$r" "$4"
}

race tar_cf split_small
race tar_xf rejoin_small
race split_b split_big split_big_sums
race cat rejoin_big
par2_row=
if command -v par2 >/dev/null; then
  race split_big split_big_rec par2_r10
  # What the volumes cost: the split with them less the same split without.
  s_rec_work=$(awk -v a="$s_split_big_rec" -v b="$s_split_big" 'BEGIN { printf "%.3f", a - b }')
  par2_row=1
fi
wine_row=
if [ "${BENCH_WINE:-1}" != 0 ] && [ -f "$exe" ] && [ -x "$wine" ]; then
  export WINEPREFIX=${BENCH_WINEPREFIX:-/var/tmp/zb-bench-wine} WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  mkdir -p "$WINEPREFIX"
  # wineboot may report failure on a first start that still made the prefix.
  [ -f "$WINEPREFIX/system.reg" ] || "$wine" wineboot -i >/dev/null 2>&1 </dev/null || true
  # One persistent wineserver, as a user's session has: start-up is not what is compared.
  /usr/lib/wine/wineserver -p >/dev/null 2>&1 </dev/null || true  # one may be running already
  trap '/usr/lib/wine/wineserver -k >/dev/null 2>&1; rm -rf "$work"' EXIT
  "$wine" "$exe" --help >/dev/null 2>&1 </dev/null || true
  race split_big wine_split_big wine_start
  s_wine_work=$(awk -v a="$s_wine_split_big" -v b="$s_wine_start" 'BEGIN { printf "%.3f", a - b }')
  wine_row=1
fi

echo
echo "runs: median of $runs, taking turns; load average $load_before before, $(cut -d' ' -f1-3 /proc/loadavg) after ($(nproc) cores)"
printf '%-46s %7s %7s %7s   %s\n' "workload" "zembra" "other" "ratio" "goal"
row "split 20,000 small files vs tar cf" split_small tar_cf "<= 1.0"
row "rejoin 20,000 small files vs tar xf" rejoin_small tar_xf "<= 1.0"
row "split 256 MiB vs split -b" split_big split_b "<= 1.0"
row "rejoin 256 MiB vs cat of the segments" rejoin_big cat "<= 1.0"
[ -n "$wine_row" ] && row "win64 under wine64 vs native, split 256 MiB" wine_split_big split_big "<= 1.5"
[ -n "$wine_row" ] && row "  the same less Wine's start-up (--version)" wine_work split_big "(explains)"
row "split 256 MiB with checksums (default) vs split -b" split_big_sums split_b "(no goal)"
[ -n "$par2_row" ] && row "recovery for 10% of 256 MiB vs par2 create -r10" rec_work par2_r10 "<= 1.0"
