#!/usr/bin/env bash
# Deep-set benchmark (not a test): a set of 40,000 folders each inside the one before (440 KB)
# and 80,000 (880 KB), walked by zembra-cli verify. Twice the depth should cost about twice the
# time; the walk once cost the square (40,000 levels: a minute). list is left out: it prints
# each entry's whole path, so its output alone grows with the square of the depth.
# usage: bench/deep.sh [work folder]
set -eu
bench_name=deep-bench bench_runs=1
. "$(dirname "$0")/lib.sh"

craft() {  # craft FILE LEVELS: one segment, LEVELS nested folders, a 3-byte file at the bottom
  python3 - "$1" "$2" <<'PY'
import struct, sys
out, n = sys.argv[1], int(sys.argv[2])
image = b'MZ' + b'\0' * 98
stream = bytearray([1])  # the segment flag: last
for i in range(n):
    stream += struct.pack('<IBI', 0, 0x10, i) + b'd\0'
stream += struct.pack('<IBI', 3, 0x20, n) + b'f\0abc'
open(out, 'wb').write(image + bytes(stream) + struct.pack('<I', len(image)))
PY
}
for levels in 40000 80000; do
  craft "$work/d${levels}_1.EXE" "$levels"
  echo "$levels levels ($(stat -c %s "$work/d${levels}_1.EXE") bytes):" >&2
  run "verify" "$cli" verify "$work/d${levels}_1.EXE"
done
