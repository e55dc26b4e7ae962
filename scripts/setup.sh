#!/usr/bin/env bash
# Installs, from Debian packages and only when missing, what the builds and tests need.
# Idempotent; silent when everything is present.
set -eu
pkgs=(cmake make g++ file
      g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
      wine wine64 xvfb xauth x11-utils imagemagick
      googletest libgtest-dev python3 python3-aiosmtpd clang time ccache
      cups printer-driver-cups-pdf poppler-utils)
# makensis builds the setup programs (its amd64-unicode stub makes the 64-bit one).
pkgs+=(nsis)
# par2 (Debian's par2cmdline) checks that our recovery volumes interoperate, both ways.
pkgs+=(par2)
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "setup: ${#missing[@]} packages to install: ${missing[*]}"
SUDO=; [ "$(id -u)" -ne 0 ] && SUDO=sudo
export DEBIAN_FRONTEND=noninteractive
echo "setup: reading the package lists"
$SUDO apt-get update -qq >/dev/null
echo "setup: installing (this takes a few minutes)"
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
echo "setup: done"
