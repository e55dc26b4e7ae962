#!/usr/bin/env bash
# Recovery volumes end to end: ours checked and repaired by par2cmdline, par2cmdline's used by
# our repair and rejoin, damage beyond the volumes refused with nothing written as repaired.
# Usage: cli_recovery.sh ZEMBRA_CLI
set -u
cli=$1
ZB_SCRATCH=zbrec . "$(dirname "$0")/lib.sh"
stand_in_sources
split_set() {  # split_set NAME [OPTIONS...]: a fresh set of several segments in $work/NAME
  local name=$1; shift
  rm -rf "$work/$name"
  "$cli" split --size 60K --name "$name" "${R[@]}" "$@" --dest "$work/$name" "$src" >"$work/split.out" 2>&1 </dev/null
}
damage() {  # damage NAME: the second segment gone, bytes flipped in the fourth
  rm "$work/$1/${1}_2.SEG"
  printf 'ABCD' | dd of="$work/$1/${1}_4.SEG" bs=1 seek=3000 conv=notrunc 2>/dev/null
}
largest_segment() { stat -c %s "$work/$1/${1}_"* | sort -n | tail -1; }

# Without the option the set is as it always was; with it, volumes none larger than a segment.
split_set plain
check "no volumes without the option" sh -c "! ls '$work/plain' | grep -q par2"
split_set ours --recovery 2
check "split says what it wrote" grep -q "any 2 segments can be rebuilt" "$work/split.out"
check "index and volumes written" sh -c "ls '$work/ours' | grep -q '^ours.par2$' && ls '$work/ours' | grep -q '^ours.vol.*+.*par2$'"
check "no volume larger than a segment" sh -c "[ \$(stat -c %s '$work/ours/'*.par2 | sort -n | tail -1) -le $(largest_segment ours) ]"
check "same segments as without volumes" sh -c "cd '$work/plain' && for f in plain_*; do cmp -s \"\$f\" '$work/ours/ours'\"\${f#plain}\" || exit 1; done"
check "par2 verifies ours" sh -c "cd '$work/ours' && par2 verify -q ours.par2 >/dev/null"
check "our verify: whole" run 0 "$cli" verify "$work/ours/ours_1.EXE"
check "verify mentions the volumes" grep -q "recovery volumes agree" "$work/stdout"

# (a) par2cmdline repairs a set we made.
cp -r "$work/ours" "$work/theirs_fix"
damage_in() { rm "$1/${2}_2.SEG"; printf 'ABCD' | dd of="$1/${2}_4.SEG" bs=1 seek=3000 conv=notrunc 2>/dev/null; }
damage_in "$work/theirs_fix" ours
check "par2 repairs our set" sh -c "cd '$work/theirs_fix' && par2 repair -q ours.par2 >/dev/null 2>&1"
check "par2's repair rejoins byte for byte" run 0 "$cli" rejoin "$work/theirs_fix/ours_1.EXE" "$work/back_a"
check "identical (a)" diff -r "$src" "$work/back_a/src"

# (b) our repair, and verify telling before it.
damage ours
check "verify: damaged" run 1 "$cli" verify "$work/ours/ours_1.EXE"
check "verify says repairable" grep -q "ours_2.SEG is missing, ours_4.SEG is damaged.*repairable" "$work/err"
check "repair" run 0 "$cli" repair "$work/ours/ours_1.EXE"
check "repair names what it rebuilt" sh -c "grep -q 'rebuilt .*ours_2.SEG' '$work/stdout' && grep -q 'rebuilt .*ours_4.SEG' '$work/stdout'"
check "segments match par2 again" sh -c "cd '$work/ours' && par2 verify -q ours.par2 >/dev/null"
check "sha256 agrees" sh -c "cd '$work/ours' && sha256sum --quiet -c ours.sha256"
check "rejoin after repair" run 0 "$cli" rejoin "$work/ours/ours_1.EXE" "$work/back_b"
check "identical (b)" diff -r "$src" "$work/back_b/src"

# Rejoin repairs first; from a folder it cannot write it rebuilds in a temporary folder, which
# goes when the rejoin ends, and leaves the set's folder as it was. Root writes anyway: as
# root the rejoin runs as nobody.
split_set ro --recovery 2
damage ro
chmod 755 "$work"; chmod -R a+rX "$work/ro" "$work/src"; chmod 555 "$work/ro"
mkdir -m 777 "$work/back_ro"
as=(); [ "$(id -u)" -eq 0 ] && command -v runuser >/dev/null && as=(runuser -u nobody --)
# The checkout may lie in a folder only root can enter: nobody runs a copy from the scratch folder.
runcli=$cli
if [ ${#as[@]} -gt 0 ]; then cp "$cli" "$work/zembra-cli-copy" && chmod 755 "$work/zembra-cli-copy" && runcli=$work/zembra-cli-copy; fi
before=$(ls "$work/ro" | sort | tr '\n' ' ')
check "rejoin repairs first" run 0 "${as[@]}" "$runcli" rejoin "$work/ro/ro_1.EXE" "$work/back_ro"
check "rejoin says what it rebuilt" grep -q "rebuilt ro_2.SEG, ro_4.SEG from the recovery volumes" "$work/err"
check "identical (rejoin)" diff -r "$src" "$work/back_ro/src"
if [ "$(id -u)" -ne 0 ] || [ ${#as[@]} -gt 0 ]; then
  check "read-only folder untouched" [ "$before" = "$(ls "$work/ro" | sort | tr '\n' ' ')" ]
  check "rebuilt in a temporary folder" grep -q "recovery volumes in .*zembra-repair-" "$work/err"
  tmp=$(sed -n 's/.*recovery volumes in \(.*zembra-repair-[^/]*\)\/.*/\1/p' "$work/err")
  check "temporary folder removed" sh -c "[ -n '$tmp' ] && [ ! -e '$tmp' ]"
fi
chmod 755 "$work/ro"

# (c) volumes par2cmdline made over a set's segments, used by our repair.
split_set made
(cd "$work/made" && par2 create -q -r30 -n2 made.par2 made_* >/dev/null 2>&1)
damage made
check "repair with par2's volumes" run 0 "$cli" repair "$work/made/made_1.EXE"
check "rejoin after it" run 0 "$cli" rejoin "$work/made/made_1.EXE" "$work/back_c"
check "identical (c)" diff -r "$src" "$work/back_c/src"

# Beyond what the volumes cover: refused, and nothing written under a segment's name.
split_set far --recovery 1
damage far
check "verify: not repairable" run 1 "$cli" verify "$work/far/far_1.EXE"
check "verify says so" grep -q "NOT repairable" "$work/err"
check "repair refuses" run 1 "$cli" repair "$work/far/far_1.EXE"
check "nothing rebuilt" sh -c "[ ! -e '$work/far/far_2.SEG' ] && ! ls '$work/far' | grep -q zembra-repair"
check "rejoin refuses" run 1 "$cli" rejoin "$work/far/far_1.EXE" "$work/back_far"

check "bad --recovery refused" run 2 "$cli" split --recovery 0 --dest "$work/x" "$src"
summary cli_recovery
