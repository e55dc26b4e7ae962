#!/usr/bin/env bash
# Integrity beside a set: NAME.sha256 as sha256sum -c reads it, verify walking the whole set,
# and rejoin refusing a damaged segment rather than writing wrong bytes.
# Usage: cli_checksums.sh ZEMBRA_CLI
set -u
cli=$1
ZB_SCRATCH=zbsums . "$(dirname "$0")/lib.sh"
stand_in_sources
split_set() {  # split_set NAME: a fresh set of several segments in $work/NAME
  rm -rf "$work/$1"
  "$cli" split --size 60K --name "$1" "${R[@]}" --dest "$work/$1" "$src" >/dev/null 2>&1 </dev/null
}

split_set good
check "checksum file beside the set" test -f "$work/good/good.sha256"
check "one line per segment" [ "$(wc -l <"$work/good/good.sha256")" -eq "$(ls "$work/good" | grep -c '^good_')" ]
check "sha256sum -c agrees" sh -c "cd '$work/good' && sha256sum --quiet -c good.sha256"
check "verify a whole set" run 0 "$cli" verify "$work/good/good_1.EXE"
check "verify says so" grep -q "the set is whole: [0-9]* segments, 9 entries; every segment matches good.sha256" "$work/stdout"
check "rejoin checks and writes" run 0 "$cli" rejoin "$work/good/good_1.EXE" "$work/back"
check "identical" diff -r "$src" "$work/back/src"

# A truncated middle segment, then one with four bytes changed: verify names it, rejoin stops
# before using it, and no file of the right size with the wrong bytes is left.
split_set cut
truncate -s -100 "$work/cut/cut_3.SEG"
check "verify: truncated middle" run 1 "$cli" verify "$work/cut/cut_1.EXE"
check "truncated segment named" grep -q "cut_3.SEG" "$work/err"
check "reason given" grep -q "does not match its SHA-256 checksum in cut.sha256" "$work/err"
split_set alt
printf 'ABCD' | dd of="$work/alt/alt_2.SEG" bs=1 seek=5000 conv=notrunc 2>/dev/null
check "verify: four bytes changed" run 1 "$cli" verify "$work/alt/alt_1.EXE"
check "altered segment named" grep -q "alt_2.SEG" "$work/err"
check "rejoin refuses it" run 1 "$cli" rejoin "$work/alt/alt_1.EXE" "$work/altback"
check "rejoin names it" grep -q "alt_2.SEG" "$work/err"
check "and the file it stopped inside" grep -q "^zembra-cli: $work/altback/.* was not restored$" "$work/err"
check "no wrong file of the right size" sh -c "! cmp -s '$src/big.bin' '$work/altback/src/big.bin' && \
  [ \"\$(stat -c %s '$work/altback/src/big.bin' 2>/dev/null || echo 0)\" != \"\$(stat -c %s '$src/big.bin')\" ]"

# Without the checksum file verify still walks the set: whole, or a segment missing.
split_set bare
rm "$work/bare/bare.sha256"
check "verify without checksums" run 0 "$cli" verify "$work/bare/bare_1.EXE"
check "says hashes were not checked" grep -q "no checksum file beside it" "$work/stdout"
mv "$work/bare/bare_4.SEG" "$work/bare_4.SEG"
check "verify: missing segment" run 1 "$cli" verify "$work/bare/bare_1.EXE"
check "missing segment named" grep -q "segment bare_4.SEG is missing" "$work/err"
mv "$work/bare_4.SEG" "$work/bare/bare_4.SEG"
# The last segment's flag ends the stream: a segment after it is reported.
last=$(ls "$work/bare" | grep -c '^bare_')
cp "$work/bare/bare_2.SEG" "$work/bare/bare_$((last + 1)).SEG"
check "verify: segment after the last" run 1 "$cli" verify "$work/bare/bare_1.EXE"
check "stray segment named" grep -q "bare_$((last + 1)).SEG follows it" "$work/err"

# --no-checksums writes none and removes the stale file of an earlier set of that name.
check "no checksums" run 0 "$cli" split --yes --no-checksums --size 60K --name good "${R[@]}" --dest "$work/good" "$src/docs"
check "stale checksum file gone" test ! -e "$work/good/good.sha256"

summary "cli checksums"
