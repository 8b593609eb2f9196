#!/usr/bin/env bash
# Installs what Tessaly needs to build and test on Debian: compilers, mingw-w64, Wine, Xvfb, libraries.
# Idempotent and quiet: packages already present are not fetched again.
set -euo pipefail

packages=(
  build-essential cmake pkg-config git
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  libcairo2-dev libfontconfig-dev fonts-dejavu-core
  clang libclang-rt-14-dev
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
  wine wine64 xvfb xauth fonts-wine xdotool imagemagick ccache
  # Two screens joined by Xinerama side by side, nested inside Xvfb (Xvfb's own +xinerama stacks
  # its screens at one origin).
  xserver-xephyr
  msitools wixl
  # The help file's compiler (Free Pascal's chmcmd and chmls), and code signing.
  fp-utils osslsigncode openssl
  # 32-bit Windows programs under Wine (i386 multiarch): the x86 add-in's tests and installer.
  wine32:i386
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  dpkg --print-foreign-architectures | grep -qx i386 || "${sudo_cmd[@]}" dpkg --add-architecture i386
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
