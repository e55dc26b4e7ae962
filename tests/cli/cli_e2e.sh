#!/usr/bin/env bash
# zembra-cli end to end on the host: round trips, listing, exit codes and refusals.
# Usage: cli_e2e.sh ZEMBRA_CLI
set -u
cli=$1
. "$(dirname "$0")/lib.sh"
stand_in_sources

# Round trip across several segments, byte for byte, folders (empty ones too) included.
check "split" run 0 "$cli" split --size 60K --name my_set "${R[@]}" --dest "$work/out" "$src"
segments=$(ls "$work/out" | grep -c '^my_set_[0-9]*\.\(EXE\|SEG\)$')
check "several segments" [ "$segments" -ge 5 ]
check "listing beside the set" test -f "$work/out/my_set.spj"
check "rejoin" run 0 "$cli" rejoin "$work/out/my_set_1.EXE" "$work/back"
check "identical tree" diff -r "$src" "$work/back/src"
check "empty folder kept" test -d "$work/back/src/empty dir"

# The listing holds Windows-form paths with CR LF line ends.
first_entry=$(sed -n 2p "$work/out/my_set.spj")
check "listing paths are Windows paths" [ "$first_entry" = "$(printf 'Z:%s - 0\r' "${src//\//\\}")" ]

# list: one line per entry, segment first, relative path last.
check "list" run 0 "$cli" list "$work/out/my_set_1.EXE"
check "list names every entry" [ "$(wc -l <"$work/stdout")" -eq 9 ]
check "list shows the deep file" grep -qE '^ +[0-9]+ +file +70000 +src\\docs\\deep\\mid\.bin$' "$work/stdout"

# Overwrite answers: none keeps what is there, all replaces it.
printf 'changed' >"$work/back/src/docs/a.txt"
check "overwrite none" run 0 "$cli" rejoin --overwrite none "$work/out/my_set_1.EXE" "$work/back"
check "kept" [ "$(cat "$work/back/src/docs/a.txt")" = changed ]
# Without a terminal "ask" keeps the file, and the run says it did not write everything.
check "no terminal means no" run 1 "$cli" rejoin "$work/out/my_set_1.EXE" "$work/back"
check "still kept" [ "$(cat "$work/back/src/docs/a.txt")" = changed ]
check "kept files told" grep -q "existing files were kept and not restored" "$work/err"
check "overwrite all" run 0 "$cli" rejoin --overwrite all "$work/out/my_set_1.EXE" "$work/back"
check "replaced" diff -r "$src" "$work/back/src"

# Splitting again into the same folder: without --yes and without a terminal the answer is No.
check "existing set kept without --yes" run 1 "$cli" split --size 60K --name my_set "${R[@]}" --dest "$work/out" "$src"
check "says why" grep -q "Overwrite existing Split Set!" "$work/err"
check "existing set replaced with --yes" run 0 "$cli" split --yes --size 60K --name my_set "${R[@]}" --dest "$work/out" "$src/docs"
check "old later segments gone" [ "$(ls "$work/out" | grep -c '^my_set_')" -lt "$segments" ]

# A missing middle segment: the rejoin stops early and says so.
check "split b" run 0 "$cli" split --size 60K --name b "${R[@]}" --dest "$work/outb" "$src"
mv "$work/outb/b_3.SEG" "$work/b_3.SEG"
check "missing segment fails" run 1 "$cli" rejoin "$work/outb/b_1.EXE" "$work/backb"
check "missing segment named" grep -q "segment b_3.SEG is missing" "$work/err"
mv "$work/b_3.SEG" "$work/outb/b_3.SEG"

# Usage errors exit 2; bad input exits 1 with the reason on stderr.
check "no arguments" run 2 "$cli"
check "unknown command" run 2 "$cli" explode
check "bad size" run 2 "$cli" split --size 3X --dest "$work/x" "$src"
check "missing source" run 1 "$cli" split "${R[@]}" --dest "$work/out" "$work/nothing-here"
check "missing source named" grep -q "nothing-here: No such file or directory" "$work/err"
check "destination missing" run 1 "$cli" split "${R[@]}" --size 60K --dest "$work/no/such/dir" "$src"
check "destination message" grep -q "cannot create $work/no/such/dir: No such file or directory" "$work/err"
if [ "$(id -u)" -ne 0 ]; then
  mkdir -p "$work/ro" && chmod 555 "$work/ro"
  check "read-only destination" run 1 "$cli" split "${R[@]}" --size 60K --dest "$work/ro" "$src"
  check "read-only cause" grep -q "cannot write in $work/ro: Permission denied" "$work/err"
fi
# A listing that cannot be written (a folder stands in its place): the set is whole and kept,
# and the run says why instead of ending as a success.
mkdir -p "$work/nolist/L.spj"
check "listing not writable" run 1 "$cli" split --size 60K --name L "${R[@]}" --dest "$work/nolist" "$src"
check "listing failure told" grep -q "Could not write the contents listing .*L.spj" "$work/err"
check "no listing claimed" grep -q "no whole contents listing at" "$work/stdout"
check "set kept" run 0 "$cli" rejoin "$work/nolist/L_1.EXE" "$work/nolistback"
check "set whole" diff -r "$src" "$work/nolistback/src"
check "segment too small" run 1 "$cli" split "${R[@]}" --size 1000 --dest "$work/out" "$src"
check "missing first segment" run 1 "$cli" list "$work/nothing_1.EXE"
check "rejoiner unreadable" run 1 "$cli" split --rejoiner "$work/none.exe" --dest "$work/out" "$src"
check "help" run 0 "$cli" --help
check "version" run 0 "$cli" --version

# A malicious set: an entry that climbs out of the destination is refused, nothing is written
# outside DEST, and the run fails with the reason.
python3 - "$work/evil_1.EXE" <<'PY'
import struct, sys
image = b"MZ" + b"\0" * 62
def entry(size, attrs, parent, name, data=b""):
    return struct.pack("<iBI", size, attrs, parent) + name + b"\0" + data
stream = entry(0, 0x10, 0, b"ok") + entry(3, 0x20, 1, b"fine.txt", b"abc") \
       + entry(4, 0x20, 0, b"..\\escaped.txt", b"evil")
body = image + b"\x01" + stream
open(sys.argv[1], "wb").write(body + struct.pack("<I", len(image)))
PY
mkdir -p "$work/dest"
check "malicious set refused" run 1 "$cli" rejoin "$work/evil_1.EXE" "$work/dest"
check "refusal names the entry" grep -q 'escaped.txt' "$work/err"
check "nothing outside DEST" test ! -e "$work/escaped.txt"
check "entries before it stay" test -f "$work/dest/ok/fine.txt"
check "listing a malicious set fails too" run 1 "$cli" list "$work/evil_1.EXE"

# A truncated set: the first segment cut short.
head -c 1000 "$work/out/my_set_1.EXE" >"$work/cut_1.EXE"
check "truncated set" run 1 "$cli" rejoin "$work/cut_1.EXE" "$work/cutback"

# Items left out of a set are named, the set is still written, and the status is 1.
mkdir -p "$work/odd" && echo fine >"$work/odd/ok" && mkfifo "$work/odd/pipe" && ln -s . "$work/odd/loop"
check "left-out items fail" run 1 "$cli" split --size 60K --name odd "${R[@]}" --dest "$work/outodd" "$work/odd"
check "left-out items named" grep -q 'pipe (not a regular file or folder)' "$work/err"
check "set with the rest written" run 0 "$cli" list "$work/outodd/odd_1.EXE"
check "a pipe alone makes no set" run 1 "$cli" split --name pipe "${R[@]}" --dest "$work/outpipe" "$work/odd/pipe"
check "nothing to split told" grep -q 'Nothing could be put into the Split Set' "$work/err"
check "no set of nothing left" test -z "$(ls -A "$work/outpipe")"
# A link in the destination is never followed; what it blocks is named and the status is 1.
mkdir -p "$work/backodd/odd" && echo keep >"$work/victim" && ln -s "$work/victim" "$work/backodd/odd/ok"
check "link in the way fails" run 1 "$cli" rejoin --overwrite all "$work/outodd/odd_1.EXE" "$work/backodd"
check "link target untouched" [ "$(cat "$work/victim")" = keep ]
check "link in the way named" grep -q 'ok (a link, folder or device of that name is in the way)' "$work/err"
# Linux names go into the set in Windows-1252 and come back as they were.
mkdir -p "$work/latin" && echo x >"$work/latin/café €.txt"
check "latin names split" run 0 "$cli" split --size 60K --name lat "${R[@]}" --dest "$work/outlat" "$work/latin"
check "stored in the code page" grep -q "$(printf 'caf\xe9 \x80.txt')" "$work/outlat/lat_1.EXE"
check "latin names rejoin" run 0 "$cli" rejoin "$work/outlat/lat_1.EXE" "$work/backlat"
check "name as it was" [ -f "$work/backlat/latin/café €.txt" ]
check "list shows names as the terminal spells them" run 0 "$cli" list "$work/outlat/lat_1.EXE"
check "listed in UTF-8" grep -q 'latin\\café €.txt$' "$work/stdout"
check "verify -v in UTF-8" run 0 "$cli" -v verify "$work/outlat/lat_1.EXE"
check "verified name in UTF-8" grep -qx 'latin\\café €.txt' "$work/stdout"

# Dot files go into a set made on Linux, as tar and cp take them.
mkdir -p "$work/dots/.git" && echo secret >"$work/dots/.env" && echo ref >"$work/dots/.git/HEAD" && echo x >"$work/dots/x"
check "dot files split" run 0 "$cli" split --name dots "${R[@]}" --dest "$work/outdots" "$work/dots"
check "dot files rejoin" run 0 "$cli" rejoin "$work/outdots/dots_1.EXE" "$work/backdots"
check "dot files came back" diff -r "$work/dots" "$work/backdots/dots"

summary "cli end to end"
