# Shared by the zembra-cli end-to-end scripts: a scratch folder, counted checks, a test tree.
# Sourced after `set -u`; leaves $work set and removed on exit.
work=$(mktemp -d "/tmp/${ZB_SCRATCH:-zbcli}.XXXXXX")
trap 'rm -rf "$work"' EXIT
passed=0 failed=0
check() {  # check NAME COMMAND...: the command must succeed
  local name=$1; shift
  if "$@"; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAILED: $name"; fi
}
run() {  # run EXPECTED_STATUS COMMAND...: stdout in $work/stdout, stderr in $work/err
  local want=$1; shift
  "$@" >"$work/stdout" 2>"$work/err" </dev/null
  local got=$?
  [ "$got" -eq "$want" ] || { echo "  exit $got, wanted $want: $*"; cat "$work/err"; return 1; }
}
stand_in_sources() {  # a stand-in rejoiner image in R (the host split needs one) and a tree in $src
  head -c 4000 /dev/urandom >"$work/rejoiner.bin"
  R=(--rejoiner "$work/rejoiner.bin")
  src=$work/src
  make_tree "$src"
}
summary() {  # summary TITLE: the closing count; fails when any check did
  echo "$1: $passed passed, $failed failed"
  [ "$failed" -eq 0 ]
}
make_tree() {  # make_tree DIR: nested folders, an empty folder, empty and multi-block files
  mkdir -p "$1/docs/deep" "$1/empty dir"
  head -c 250000 /dev/urandom >"$1/big.bin"
  printf 'hello\r\n' >"$1/docs/a.txt"
  : >"$1/docs/zero"
  head -c 70000 /dev/urandom >"$1/docs/deep/mid.bin"
  printf 'x' >"$1/docs/deep/one"
}
