#!/usr/bin/env bash
# Installs, from Debian packages and only when missing, what the builds and tests need.
# Idempotent; silent when everything is present.
set -eu
pkgs=(cmake make g++ file
      g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
      wine wine64 xvfb xauth x11-utils imagemagick
      googletest libgtest-dev python3 python3-aiosmtpd clang time ccache
      cups printer-driver-cups-pdf poppler-utils)
# The 32-bit loader runs the win32 build (the deliverable) in a 32-bit prefix, with the i386
# libraries the 64-bit side has: CUPS (without it the 32-bit Wine sees no printer) and the X
# extensions. Without Wine's fonts (Marlett) every caption shows "0 1 r" for its minimise,
# maximise and close glyphs.
pkgs+=(wine32:i386 libcups2:i386 libxrender1:i386 libxrandr2:i386 libxi6:i386 libxcursor1:i386
       libxinerama1:i386 libxfixes3:i386 libxcomposite1:i386 fonts-wine)
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
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  echo "setup: adding the i386 architecture (for wine32)"
  $SUDO dpkg --add-architecture i386
fi
echo "setup: reading the package lists"
$SUDO apt-get update -qq >/dev/null
echo "setup: installing (this takes a few minutes)"
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
echo "setup: done"
