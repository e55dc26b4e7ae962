#!/usr/bin/env bash
# Builds the three targets into build/<target> and installs each into dist/<target>.
# win32 comes first: the host build embeds its rejoiner as the built-in image. The Windows builds'
# tests cross-check sets with the host and the other Windows build's programs, which need only
# be there when the tests run.
set -eu
cd "$(dirname "$0")/.."
top=$PWD
jobs=$(nproc)
# A developer working beside others may build elsewhere: ZEMBRA_BUILD_ROOT=build-mine.
B=${ZEMBRA_BUILD_ROOT:-build}
D=${ZEMBRA_DIST_ROOT:-dist}
# ccache keeps compiled objects between builds and between checkouts of the tree (paths are
# hashed relative to the checkout), which matters on a two-core machine.
launcher=()
if command -v ccache >/dev/null; then
  export CCACHE_BASEDIR=$top CCACHE_NOHASHDIR=1
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
build() {
  local target=$1; shift
  local cache=$B/$target/CMakeCache.txt
  # A tree copied or moved with its build folders keeps CMake's cache of the old place, which
  # CMake refuses: start that target's configuration afresh.
  if [ -f "$cache" ] && ! grep -qxF "CMAKE_CACHEFILE_DIR:INTERNAL=$(cd "$B/$target" && pwd -P)" "$cache" \
      && ! grep -qxF "CMAKE_CACHEFILE_DIR:INTERNAL=$(cd "$B/$target" && pwd)" "$cache"; then
    echo "build: $B/$target was configured in another folder; configuring it again"
    rm -rf "$cache" "$B/$target/CMakeFiles"
  fi
  echo "build: $target"
  cmake -S . -B "$B/$target" -DCMAKE_INSTALL_PREFIX="$top/$D/$target" "${launcher[@]}" "$@" >"$B/$target.configure.log" 2>&1 \
    || { cat "$B/$target.configure.log"; return 1; }
  cmake --build "$B/$target" -j"$jobs" 2>&1 | grep -E 'error|warning|Error' || true
  [ "${PIPESTATUS[0]}" -eq 0 ] || { echo "build of $target failed"; return 1; }
  cmake --install "$B/$target" >/dev/null
}
mkdir -p "$B" "$D"
only=${1:-all}
if [ "$only" = all ] || [ "$only" = win32 ]; then
  build win32 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-win32.cmake -DZEMBRA_HOST_CLI="$top/$D/host/zembra-cli" \
    -DZEMBRA_WIN64_DIST="$top/$D/win64"
fi
if [ "$only" = all ] || [ "$only" = host ]; then
  build host -DZEMBRA_REJOINER_IMAGE="$top/$D/win32/remblo.exe"
fi
if [ "$only" = all ] || [ "$only" = win64 ]; then
  build win64 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-win64.cmake -DZEMBRA_HOST_CLI="$top/$D/host/zembra-cli"
fi
