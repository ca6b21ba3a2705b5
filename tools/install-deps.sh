#!/usr/bin/env bash
# Installs every Debian package that building, testing and running Varnex needs.
# Only packages that are missing are installed; a machine that has them all is left alone.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config clang-format
  qt6-base-dev qt6-base-dev-tools qt6-serialport-dev libqt6serialport6
  libgl-dev libglx-dev libvulkan-dev libxkbcommon-dev
  fonts-dejavu-core xvfb xauth
  librsvg2-bin desktop-file-utils appstream dpkg-dev poppler-utils socat
)

# The fuzz targets (make fuzz) also need clang and its sanitizer and libFuzzer runtime.
if [ "${1:-}" = fuzz ]; then
  packages+=(clang libclang-rt-14-dev)
fi
# The Windows build (make windows): the MinGW-w64 cross compilers, Wine to run its tests (and
# its 32-bit half, wine32, for the installer, which NSIS makes a 32-bit program), NSIS for the
# installer, icoutils for the icon, zip for the zip, and what fetching and unpacking Debian's
# Qt sources takes.
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
if [ "${1:-}" = windows ]; then
  packages+=(g++-mingw-w64-x86-64-posix mingw-w64-tools wine wine64 wine32:i386 nsis icoutils
             zip xz-utils ca-certificates perl imagemagick)
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
  fi
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
