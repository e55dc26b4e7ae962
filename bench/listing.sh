#!/usr/bin/env bash
# Large-listing benchmark (not a test): a 50 MB contents listing of ordinary lines (about half a
# million files under four folders, as the split engine writes them) opened by the main program's
# project loading code without its windows (listing_load_bench), and the contents text read as
# the viewer gets it. Prints the peak resident KiB. The loader should cost what it keeps (four
# folder sources), not what the listing holds.
# usage: bench/listing.sh [work folder]
set -eu
bench_name=listing-bench bench_runs=1
. "$(dirname "$0")/lib.sh"
driver=${ZEMBRA_BUILD_ROOT:-build}/host/bin/listing_load_bench
[ -x "$driver" ] || { echo "no $driver: build the host target first" >&2; exit 1; }

# The files exist (a few files, hard-linked under every name), so every line is a source to probe.
echo "preparing 50 MB listing of 500,000 files in $work ..." >&2
python3 - "$work" <<'PY'
import os, sys
work = sys.argv[1]
src = f"{work}/src"
os.makedirs(src)
made = 0
def link(name):  # a file system allows some 65,000 links to one file
    global made
    if made % 60000 == 0:
        with open(f"{work}/one{made}.dat", "wb") as f:
            f.write(b"x" * 1234)
        base.append(f"{work}/one{made}.dat")
    os.link(base[-1], name)
    made += 1
base = []
def win(p): return "Z:" + p.replace("/", "\\")
lines = []
per = 125000
for d in range(4):
    folder = f"{src}/Collection of scanned documents {d}"
    os.makedirs(folder)
    lines.append(f"{win(folder)} - 0")
    for i in range(per):
        name = f"{folder}/page scan {i:06d}.tif"
        link(name)
        lines.append(f"{win(name)} - 1234")
out = [f"$ =====Files in Big_1.EXE======="]
out += lines
out += ["$  ", f"$ {len(lines)} files ", "$  "]
with open(f"{work}/Big.spj", "wb") as f:
    f.write("\r\n".join(out).encode())
with open(f"{work}/Big_1.EXE", "wb") as f:
    f.write(b"MZ")
PY
echo "listing: $(stat -c %s "$work/Big.spj") bytes" >&2
run "load" "$driver" "$work/Big.spj"
cat "$work/run.log" >&2
run "contents" "$driver" "$work/Big.spj" contents
cat "$work/run.log" >&2
