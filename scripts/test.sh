#!/usr/bin/env bash
# Builds everything and runs every test: native (host), then the Windows and GUI tests of the
# win32 build (32-bit prefix, the platform the suite is for) and of the win64 build, each under
# Wine in Xvfb. Exits non-zero when any test fails or when no test ran. A lane this machine cannot
# run (a kernel without 32-bit support) is reported as not run, with the reason, never as passed.
set -u
cd "$(dirname "$0")/.."
bash scripts/setup.sh || exit 1
bash scripts/build.sh || exit 1
log=build/test-logs; mkdir -p "$log"
rm -f "$log"/*.txt
echo "== native tests"
(cd build/host && nice ctest --output-on-failure --timeout 600) 2>&1 | tee "$log/host.txt"
lanes=(host)
for target in win32 win64; do
  echo "== Windows tests of the $target build under Wine (Xvfb)"
  xvfb-run -a -s "-screen 0 1280x1024x24" bash scripts/run-win-tests.sh "build/$target" 2>&1 | tee "$log/$target.txt"
  lanes+=("$target")
done
passed=0; failed=0; not_run=0
echo
for lane in "${lanes[@]}"; do
  f=$log/$lane.txt
  line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$f" | tail -n1)
  reason=$(grep -m1 '^not run: ' "$f")
  if [ -n "$line" ]; then
    total=$(sed -E 's/.*out of ([0-9]+).*/\1/' <<<"$line")
    bad=$(sed -E 's/.* ([0-9]+) tests? failed.*/\1/' <<<"$line")
    echo "$lane: $((total - bad)) passed, $bad failed"
    passed=$((passed + total - bad)); failed=$((failed + bad))
  elif [ -n "$reason" ]; then
    # Never counted as passed: the summary says what did not run and why.
    echo "$lane: not run (${reason#not run: })"
    not_run=$((not_run + 1))
  else
    echo "$lane: no test result (see $f)"; failed=$((failed + 1))
  fi
done
echo
echo "all: $passed passed, $failed failed"
[ "$not_run" -eq 0 ] || echo "lanes not run: $not_run"
[ "$failed" -eq 0 ] && [ "$passed" -gt 0 ]
