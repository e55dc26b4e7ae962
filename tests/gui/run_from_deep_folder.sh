#!/usr/bin/env bash
# Runs a Windows test program from a copy of it in a folder whose Windows path (Z:\...) is longer
# than MAX_PATH, so that the program's own folder can only be had whole by asking for more room.
# Wine's process start refuses such a path, so its loader is given the host path, as a person's
# shell would. Usage: run_from_deep_folder.sh PROGRAM [FILE...]: the files go beside the copy (what
# the program looks for in its own folder). ZEMBRA_BINARY_DIR names the build.
set -u
exe=$1; shift
build=${ZEMBRA_BINARY_DIR:?ZEMBRA_BINARY_DIR names the build folder}
top=$build/deep_folder
rm -rf "$top"
dir=$top
# "Z:" and the host path with backslashes: the same length as the host path plus two.
while [ $((${#dir} + 2)) -le 300 ]; do dir="$dir/a folder deep enough for the test"; done
mkdir -p "$dir" && cp "$exe" "$@" "$dir/" || { echo "could not make the copy in $dir"; exit 1; }
echo "running from a folder of $((${#dir} + 2)) characters"
# A working folder Wine can open (it cannot start in one this deep).
cd "$build" || exit 1
bash "$(dirname "$0")/../../scripts/wine-run.sh" "$dir/$(basename "$exe")"
rc=$?
rm -rf "$top"
exit $rc
