#!/usr/bin/env bash
# Builds everything and runs every test: native (host), then Windows and GUI tests under
# wine64 in Xvfb. Exits non-zero when any test fails or when no test ran.
set -u
cd "$(dirname "$0")/.."
bash scripts/setup.sh || exit 1
bash scripts/build.sh || exit 1
log=build/test-logs; mkdir -p "$log"
echo "== native tests"
(cd build/host && ctest --output-on-failure --timeout 600) 2>&1 | tee "$log/host.txt"
echo "== Windows tests under wine64 (Xvfb)"
xvfb-run -a -s "-screen 0 1280x1024x24" bash scripts/run-win-tests.sh build/win64 2>&1 | tee "$log/win64.txt"
passed=0; failed=0
for f in "$log/host.txt" "$log/win64.txt"; do
  line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$f" | tail -n1)
  if [ -n "$line" ]; then
    total=$(sed -E 's/.*out of ([0-9]+).*/\1/' <<<"$line")
    bad=$(sed -E 's/.* ([0-9]+) tests? failed.*/\1/' <<<"$line")
    passed=$((passed + total - bad)); failed=$((failed + bad))
  else
    echo "no test result in $f"; failed=$((failed + 1))
  fi
done
echo
echo "all: $passed passed, $failed failed"
[ "$failed" -eq 0 ] && [ "$passed" -gt 0 ]
