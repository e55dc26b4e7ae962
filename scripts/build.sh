#!/usr/bin/env bash
# Builds the three targets into build/<target> and installs each into dist/<target>.
# win32 comes first: the host build embeds its rejoiner as the built-in image.
set -eu
cd "$(dirname "$0")/.."
top=$PWD
jobs=$(nproc)
build() {
  local target=$1; shift
  cmake -S . -B "build/$target" -DCMAKE_INSTALL_PREFIX="$top/dist/$target" "$@" >"build/$target.configure.log" 2>&1 \
    || { cat "build/$target.configure.log"; return 1; }
  cmake --build "build/$target" -j"$jobs" 2>&1 | grep -E 'error|warning|Error' || true
  [ "${PIPESTATUS[0]}" -eq 0 ] || { echo "build of $target failed"; return 1; }
  cmake --install "build/$target" >/dev/null
}
mkdir -p build dist
only=${1:-all}
if [ "$only" = all ] || [ "$only" = win32 ]; then
  build win32 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-win32.cmake
fi
if [ "$only" = all ] || [ "$only" = win64 ]; then
  build win64 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-win64.cmake
fi
if [ "$only" = all ] || [ "$only" = host ]; then
  build host -DZEMBRA_REJOINER_IMAGE="$top/dist/win32/remblo.exe"
fi
