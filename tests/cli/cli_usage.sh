#!/usr/bin/env bash
# zembra-cli as users of tar, split and rsync expect it: help per command, --opt=value, -q and
# -v, --files-from, sizes with suffixes, a size cut to the set, the progress line within the
# terminal, errors with their causes, and "ask" without a terminal.
# Usage: cli_usage.sh ZEMBRA_CLI
set -u
cli=$1
ZB_SCRATCH=zbusage . "$(dirname "$0")/lib.sh"
stand_in_sources

# Help: each command has its own, on stdout, with status 0, whatever else is on the line.
for c in split rejoin list verify; do
  check "$c --help" run 0 "$cli" "$c" --help
  check "$c usage shown" grep -q "^usage: zembra-cli $c" "$work/stdout"
  check "$c -h" run 0 "$cli" "$c" -h --no-such-option
done
check "help split" run 0 "$cli" help split
check "split help: K is 1000" grep -q "K = 1000 bytes" "$work/stdout"
check "split help: smallest size" grep -qE "smallest SIZE this build accepts is [0-9]+ bytes" "$work/stdout"
check "overview" run 0 "$cli" --help
check "what a set keeps" grep -q "does not keep times, permissions, owners or links" "$work/stdout"
check "usage error points to the help" run 2 "$cli" split --bogus
check "usage error says how" grep -q "Try 'zembra-cli split --help'" "$work/err"

# --opt=value, sizes with suffixes and decimals: every segment within 0.07M = 70,000 bytes.
check "inline values" run 0 "$cli" split --size=0.07M --name=eq "${R[@]}" --dest="$work/eq" "$src"
check "segments within the size" [ -z "$(find "$work/eq" -name 'eq_*' -size +70000c)" ]
check "several of them" [ "$(ls "$work/eq" | grep -c '^eq_')" -ge 4 ]

# A size far beyond the set is cut to what the set needs: no refusal for room it never uses.
check "huge size on a small set" run 0 "$cli" split --size 4000G --name one "${R[@]}" --dest "$work/one" "$src/docs"
check "one segment" [ "$(ls "$work/one" | grep -c '^one_')" -eq 1 ]

# -q: nothing but errors. -v: one line per entry written or restored.
check "quiet split" run 0 "$cli" -q split --size 60K --name q "${R[@]}" --dest "$work/q" "$src"
check "quiet says nothing" [ ! -s "$work/stdout" ] && [ ! -s "$work/err" ]
check "verbose split" run 0 "$cli" split -v --size 60K --name v "${R[@]}" --dest "$work/v" "$src"
check "one line per entry" [ "$(grep -c "^$src" "$work/stdout")" -eq 9 ]
check "host paths" grep -qx "$src/docs/deep/mid.bin" "$work/stdout"
check "verbose rejoin" run 0 "$cli" rejoin -v "$work/v/v_1.EXE" "$work/vback"
check "one line per file or folder" [ "$(grep -c "^$work/vback/src" "$work/stdout")" -eq 9 ]
check "empty folder told" grep -qx "$work/vback/src/empty dir" "$work/stdout"
check "quiet rejoin" run 0 "$cli" rejoin -q --overwrite all "$work/v/v_1.EXE" "$work/vback"
check "quiet rejoin says nothing" [ ! -s "$work/stdout" ] && [ ! -s "$work/err" ]

# --files-from: a list file, and standard input; names with spaces.
printf '%s\n\n%s\r\n' "$src/big.bin" "$src/empty dir" >"$work/list.txt"
check "files from a list" run 0 "$cli" split --files-from "$work/list.txt" --name l "${R[@]}" --dest "$work/l"
check "list rejoined" run 0 "$cli" rejoin "$work/l/l_1.EXE" "$work/lback"
check "both sources" cmp "$src/big.bin" "$work/lback/big.bin"
check "folder too" test -d "$work/lback/empty dir"
check "files from stdin" sh -c "printf '%s\n' '$src/docs' | '$cli' split --files-from - --name s --rejoiner '$work/rejoiner.bin' --dest '$work/s' >/dev/null"
check "stdin list read" run 0 "$cli" list "$work/s/s_1.EXE"
check "stdin list holds docs" grep -q ' docs\\deep\\one$' "$work/stdout"
check "unreadable list" run 1 "$cli" split --files-from "$work/nope.txt" "${R[@]}" --dest "$work/x"
check "unreadable list named" grep -q "nope.txt: No such file or directory" "$work/err"
check "a folder as the list" run 1 "$cli" split --files-from "$src" "${R[@]}" --dest "$work/x"
check "folder list told as such" grep -q "cannot read the list $src: Is a directory" "$work/err"
printf '%s\0%s\n' "$src/big.bin" "$src/docs/a.txt" >"$work/zero.txt"
check "a line with a zero byte" run 1 "$cli" split --files-from "$work/zero.txt" "${R[@]}" --dest "$work/z"
check "the line is named" grep -qF "line 1 of the list $work/zero.txt holds a zero byte: $src/big.bin\\0$src/docs/a.txt" "$work/err"
check "nothing written for it" test ! -e "$work/z"
# A line longer than any path is refused, not held whole (a list may be a file of one endless line).
{ echo "$src/big.bin"; head -c 40000 /dev/zero | tr '\0' 'p'; echo; } >"$work/long.txt"
check "a line longer than a path" run 1 "$cli" split --files-from "$work/long.txt" "${R[@]}" --dest "$work/z"
check "the long line is named" grep -qF "line 2 of the list $work/long.txt is longer than any path (32767 characters)" "$work/err"

# Errors with their real causes, and sets that are not there or not first segments.
: >"$work/plainfile"
check "destination is a file" run 1 "$cli" split "${R[@]}" --dest "$work/plainfile" "$src"
check "not a folder" grep -q "plainfile is not a folder" "$work/err"
check "later segment refused" run 1 "$cli" list "$work/v/v_2.SEG"
check "not the first segment" grep -q "v_2.SEG is not the first segment of a split set (the first is v_1.EXE)" "$work/err"
check "some other file refused" run 1 "$cli" rejoin "$src/big.bin" "$work/x"
check "not a set" grep -q "big.bin is not the first segment of a split set" "$work/err"
check "missing first segment" run 1 "$cli" list "$work/none_1.EXE"
check "missing named with cause" grep -q "none_1.EXE: No such file or directory" "$work/err"

# On a terminal 60 columns wide the progress line never wraps, and shows sizes, segment, file.
if command -v script >/dev/null && command -v stty >/dev/null; then
  head -c 3000000 /dev/urandom >"$src/docs/deep/large.bin"
  script -qec "stty cols 60; '$cli' split --size 500K --name t --rejoiner '$work/rejoiner.bin' --dest '$work/t' '$src'" \
    /dev/null >"$work/tty.log" 2>&1
  check "split on a terminal" test -f "$work/t/t_1.EXE"
  tr '\r' '\n' <"$work/tty.log" | grep '%' >"$work/lines"
  check "progress drawn" [ -s "$work/lines" ]
  check "progress within 59 columns" [ "$(awk '{ if (length($0) > m) m = length($0) } END { print m + 0 }' "$work/lines")" -le 59 ]
  check "human units and segment" grep -qE '^100% [0-9.]+ MB/[0-9.]+ MB +t_[0-9]+\.SEG' "$work/lines"
  # A question starts a line of its own, not the end of the progress line.
  "$cli" rejoin "$work/t/t_1.EXE" "$work/tback" >/dev/null 2>&1 </dev/null
  (sleep 1; printf 'o\n') | script -qec "'$cli' rejoin '$work/t/t_1.EXE' '$work/tback'" /dev/null >"$work/tty2.log" 2>&1
  check "question on its own line" grep -qa "^Overwrite? \[y\]es" <(tr '\r' '\n' <"$work/tty2.log")
  rm -f "$src/docs/deep/large.bin"
fi

summary "cli usage"
