#!/usr/bin/env bash
# The performance table in one command (a benchmark, not a test): 20,000 small files and one
# 256 MiB file, 50 MB segments, split and rejoined by zembra-cli against tar, split -b and cat;
# the checksums (NAME.sha256, the default) against the same runs without them; the win64
# zembra-cli.exe under wine64 against the native one; the split engine under wine64 with the
# progress window of Begin Split against none; and korvo.exe under wine64 mailing an 8 MB set of
# three segments to a local SMTP server against Python's smtplib sending the same three messages. Contenders take turns and each ratio is the median of the runs, printed with
# its goal and the load of the machine.
# usage: bench/table.sh [work folder]   (about 1.5 GB free there; default /var/tmp)
#   BENCH_RUNS=n (default 3) runs per contender; BENCH_WINE=0 leaves out the Windows rows,
#   BENCH_MAIL=0 the windowed rows (they need Xvfb, python3-aiosmtpd and the win64 build's
#   drivers korvo_send_driver.exe and split_window_driver.exe, in ZEMBRA_BUILD_ROOT, default build).
#   BENCH_WINEPREFIX: the Wine prefix to use (made on first use; default /var/tmp/zb-bench-wine).
#   BENCH_SMALL_TMPFS=0 runs the small-file rows in the work folder rather than on /dev/shm.
set -eu
bench_name=table-bench
. "$(dirname "$0")/lib.sh"
top=$PWD  # lib.sh starts in the source tree
runs=${BENCH_RUNS:-3}
exe=$dist/win64/zembra-cli.exe
wine=/usr/lib/wine/wine64
load_before=$(cut -d' ' -f1-3 /proc/loadavg)
# The small-file rows run on a tmpfs where there is one (/dev/shm; BENCH_SMALL_TMPFS=0 keeps
# them on the disk with the rest). On a disk the system's write-back of the 20,000 files an
# earlier run left decides a run's time far more than either program (tar xf took 1.1 s to 22 s
# from one run to the next on a quiet machine); on a tmpfs both pay for their own work alone.
small_work=$work small_place=disk
if [ "${BENCH_SMALL_TMPFS:-1}" != 0 ] && [ -d /dev/shm ] && [ -w /dev/shm ]; then
  small_work=$(mktemp -d /dev/shm/zb-table-small.XXXXXX)
  small_place=tmpfs
  trap 'rm -rf "$work" "$small_work"' EXIT
fi

echo "preparing 256 MiB file in $work and 20,000 small files in $small_work ..." >&2
head -c 268435456 /dev/urandom >"$work/big.bin"
make_small_files "$small_work/small"
cd "$small_work"
mkdir -p sets out
"$cli" split --yes --no-checksums --size 50M --name S --dest sets small >/dev/null
tar cf small.tar small
cd "$work"
mkdir -p sets
"$cli" split --yes --no-checksums --size 50M --name B --dest sets big.bin >/dev/null
"$cli" split --yes --size 50M --name C --dest sets big.bin >/dev/null  # the same set with C.sha256
big_segments=(sets/B_1.EXE sets/B_[2-9].SEG)
cat big.bin sets/* "$small_work/small.tar" >/dev/null  # warm the cache alike for every contender

# mail_files: the mail row's set, 8 MB in three segments of 3,000,000 bytes, at mail_prefix (its
# Windows path, as korvo is given it).
mail_files() {
  head -c 8000000 /dev/urandom >mail.bin
  mkdir -p mailset
  "$cli" split --yes --no-checksums --size 3000000 --name M --dest mailset mail.bin >/dev/null
  [ -f mailset/M_3.SEG ] && [ ! -f mailset/M_4.SEG ] || { echo "the mail set is not three segments" >&2; exit 1; }
  mail_prefix="Z:$(echo "$work/mailset/M" | tr / '\\')"
}

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
c_rejoin_big_sums() { "$cli" rejoin --overwrite all sets/C_1.EXE out; }
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
      # soft=1: a failure leaves the caller's row out instead of ending the table.
      "c_$c" >run.log 2>&1 </dev/null || { echo "$c failed:" >&2; cat run.log >&2; [ -n "${soft:-}" ] && return 1; exit 1; }
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

cd "$small_work"
race tar_cf split_small
race tar_xf rejoin_small
cd "$work"
race split_b split_big split_big_sums
race cat rejoin_big rejoin_big_sums
par2_row=
if command -v par2 >/dev/null; then
  race split_big split_big_rec par2_r10
  # What the volumes cost: the split with them less the same split without.
  s_rec_work=$(awk -v a="$s_split_big_rec" -v b="$s_split_big" 'BEGIN { printf "%.3f", a - b }')
  par2_row=1
fi
wine_row=
mail_row=
window_row=
if [ "${BENCH_WINE:-1}" != 0 ] && [ -f "$exe" ] && [ -x "$wine" ]; then
  export WINEPREFIX=${BENCH_WINEPREFIX:-/var/tmp/zb-bench-wine} WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  mkdir -p "$WINEPREFIX"
  drivers=$top/${ZEMBRA_BUILD_ROOT:-build}/win64/bin
  windows=
  [ "${BENCH_MAIL:-1}" != 0 ] && command -v Xvfb >/dev/null && [ -f "$drivers/korvo_send_driver.exe" ] && windows=1
  xvfb_pid= sink_pid=
  trap '/usr/lib/wine/wineserver -k >/dev/null 2>&1; kill $xvfb_pid $sink_pid 2>/dev/null; rm -rf "$work" "$small_work"' EXIT
  # The windowed rows run on a screen of their own, there before the first Wine program: Wine's
  # desktop process starts with the first program and stays with the server, and one started
  # without a screen leaves every later window unmade ("class does not exist").
  if [ -n "$windows" ]; then
    display=
    for n in $(seq 90 140); do
      [ -e "/tmp/.X$n-lock" ] || { display=$n; break; }
    done
    Xvfb ":$display" -screen 0 1280x1024x24 >/dev/null 2>&1 &
    xvfb_pid=$!
    # The lock file comes before the server answers; xdpyinfo tells when it does.
    for _ in $(seq 100); do xdpyinfo -display ":$display" >/dev/null 2>&1 && break; sleep 0.1; done
    export DISPLAY=":$display"
  fi
  # wineboot may report failure on a first start that still made the prefix.
  [ -f "$WINEPREFIX/system.reg" ] || "$wine" wineboot -i >/dev/null 2>&1 </dev/null || true
  # A Wine desktop window: with no window manager on the screen, Wine waits up to two seconds
  # for one each time a top-level window hides, which no user's session has.
  "$wine" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1 </dev/null || true
  "$wine" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1280x1024 /f >/dev/null 2>&1 </dev/null || true
  # One persistent wineserver, as a user's session has: start-up is not what is compared. A
  # server already running (an earlier run's, or one the lines above started) is ended first,
  # so that this one is persistent and its desktop has the settings and the screen.
  /usr/lib/wine/wineserver -k >/dev/null 2>&1 </dev/null || true
  /usr/lib/wine/wineserver -w >/dev/null 2>&1 </dev/null || true
  /usr/lib/wine/wineserver -p >/dev/null 2>&1 </dev/null || true
  "$wine" "$exe" --help >/dev/null 2>&1 </dev/null || true
  race split_big wine_split_big wine_start
  s_wine_work=$(awk -v a="$s_wine_split_big" -v b="$s_wine_start" 'BEGIN { printf "%.3f", a - b }')
  wine_row=1

  # The windowed rows, driven by the win64 build's drivers.
  if [ -n "$windows" ]; then
    # Begin Split's window: the split engine in one process with its progress window (visited
    # per interval, as the main program's build) and with none (as zembra-cli), and the window
    # visited at every 64 KiB block as it was, to show what the pacing saves.
    if [ -f "$drivers/split_window_driver.exe" ]; then
      win_big="Z:$(echo "$work/big.bin" | tr / '\\')" win_out="Z:$(echo "$work/out" | tr / '\\')"
      : >times_window_paced; : >times_window_block; : >times_window_none
      for ((r = 0; r < runs; r++)); do
        rm -rf out && mkdir out && sync
        # A failed run leaves the row out rather than the table.
        "$wine" "$drivers/split_window_driver.exe" "$win_big" "$win_out" 50000000 >run.log 2>&1 </dev/null \
          || { echo "split_window_driver failed:" >&2; cat run.log >&2; break; }
        read -r p b n < <(tr -d '\r' <run.log | tail -n 1)
        echo "$p" >>times_window_paced; echo "$b" >>times_window_block; echo "$n" >>times_window_none
      done
      for c in window_paced window_block window_none; do
        eval "s_$c=$(sort -n "times_$c" | awk '{ v[NR] = $1 } END { printf "%.3f", v[int((NR + 1) / 2)] }')"
      done
      [ "$(wc -l <times_window_paced)" -eq "$runs" ] && window_row=1
    fi

    # The mail row: one SMTP sink on 127.0.0.1 for both. The driver's own Wine start is part
    # of korvo's time, as a user's click is.
    # Debian's Python, which has python3-aiosmtpd, whatever python3 a PATH finds first.
    py=/usr/bin/python3
    [ -x "$py" ] || py=python3
    if "$py" -c 'import aiosmtpd' 2>/dev/null; then
      mail_files
      "$py" "$top/tests/mail/smtp_sink.py" "$work/inbox" "$work/sink.port" 3600 >/dev/null 2>&1 &
      sink_pid=$!
      for _ in $(seq 100); do [ -s "$work/sink.port" ] && break; sleep 0.1; done
      port=$(cat "$work/sink.port")
      c_mail_korvo() { "$wine" "$drivers/korvo_send_driver.exe" "$dist/win64/korvo.exe" "127.0.0.1:$port" "$mail_prefix" 3; }
      c_mail_smtplib() { "$py" "$top/bench/mail_smtplib.py" "$port" mailset/M_1.EXE mailset/M_2.SEG mailset/M_3.SEG; }
      soft=1 race mail_smtplib mail_korvo && mail_row=1
    fi
  fi
fi

echo
echo "runs: median of $runs, taking turns; load average $load_before before, $(cut -d' ' -f1-3 /proc/loadavg) after ($(nproc) cores)"
printf '%-46s %7s %7s %7s   %s\n' "workload" "zembra" "other" "ratio" "goal"
row "split 20,000 small files vs tar cf ($small_place)" split_small tar_cf "<= 1.0"
row "rejoin 20,000 small files vs tar xf ($small_place)" rejoin_small tar_xf "<= 1.0"
row "split 256 MiB vs split -b" split_big split_b "<= 1.0"
row "rejoin 256 MiB vs cat of the segments" rejoin_big cat "<= 1.0"
[ -n "$wine_row" ] && row "win64 under wine64 vs native, split 256 MiB" wine_split_big split_big "<= 1.5"
[ -n "$wine_row" ] && row "  the same less Wine's start-up (--version)" wine_work split_big "(explains)"
row "split 256 MiB with checksums vs without" split_big_sums split_big "<= 1.2"
row "rejoin 256 MiB checked vs a set without sums" rejoin_big_sums rejoin_big "<= 1.2"
[ -n "$mail_row" ] && row "korvo (wine64) mails 8 MB in 3 vs smtplib" mail_korvo mail_smtplib "<= 3.0"
[ -n "$window_row" ] && row "split 256 MiB with Begin Split's window vs none" window_paced window_none "<= 1.2"
[ -n "$window_row" ] && row "  the same, window visited per 64 KiB block" window_block window_none "(explains)"
row "split 256 MiB with checksums (default) vs split -b" split_big_sums split_b "(explains)"
[ -n "$par2_row" ] && row "recovery for 10% of 256 MiB vs par2 create -r10" rec_work par2_r10 "<= 1.0"
