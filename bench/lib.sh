# Shared by the benchmark scripts (sourced, not run): the zembra-cli under test, a scratch
# folder, the inputs, and the measuring (wall seconds, peak resident KiB, ratios).
# The caller sets bench_name (scratch folder name) and bench_runs (runs per contender, best kept).

cd "$(dirname "${BASH_SOURCE[0]}")/.."
dist=${ZEMBRA_DIST_ROOT:-dist}
[[ $dist == /* ]] || dist=$PWD/$dist
cli=$dist/host/zembra-cli
if [ ! -x "$cli" ]; then
  echo "no $cli: build it first (bash scripts/build.sh)" >&2
  exit 1
fi
work=${1:-/var/tmp}/zb-$bench_name.$$
mkdir -p "$work/out"
trap 'rm -rf "$work"' EXIT

# run <label> <command...>: wall seconds and peak resident KiB, the best of bench_runs runs (the
# machine is shared; contenders take turns). The output folder is emptied and everything flushed
# before each run and after it, outside the timing, so each starts alike. Sets t_<label> and
# m_<label>.
run() {
  local label=$1; shift
  local best= bestkib= secs kib
  for ((i = 0; i < ${bench_runs:-1}; i++)); do
    rm -rf "$work/out" && mkdir -p "$work/out" && sync
    /usr/bin/time -f "%e %M" -o "$work/time.txt" "$@" >"$work/run.log" && sync
    read -r secs kib <"$work/time.txt"
    if [ -z "$best" ] || awk -v a="$secs" -v b="$best" 'BEGIN { exit !(a < b) }'; then best=$secs bestkib=$kib; fi
  done
  printf '  %-28s %8.2f s  %8d KiB peak\n' "$label" "$best" "$bestkib" >&2
  eval "t_$label=$best m_$label=$bestkib"
}

# ratio <a> <b>: a / b to two places (a zero b counts as 0.01 s).
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b <= 0) b = 0.01; printf "%.2f", a / b }'; }

# make_small_files <folder>: 200 folders of 100 files of 100 to 8,099 bytes each.
make_small_files() {
  python3 - "$1" <<'PY'
import os, sys
root = sys.argv[1]
for d in range(1, 201):
    os.makedirs(f"{root}/d{d}")
    for f in range(1, 101):
        with open(f"{root}/d{d}/f{f}.dat", "wb") as out:
            out.write(os.urandom((d * 131 + f * 977) % 8000 + 100))
PY
}

# make_inputs: $work/big.bin (1 GiB of random bytes) and $work/small (20,000 small files).
make_inputs() {
  echo "preparing 1 GiB file and 20,000 small files in $work ..." >&2
  head -c 1073741824 /dev/urandom >"$work/big.bin"
  make_small_files "$work/small"
}
