#!/usr/bin/env bash
# make windows: cross-builds Varnex for 64-bit Windows on this Debian machine.
#   1. installs the MinGW-w64 compilers, Wine and NSIS (tools/install-deps.sh windows);
#   2. builds Qt for Windows once into the cache folder (tools/windows/build-qt.sh), reused later;
#   3. configures and builds Varnex with the MinGW toolchain file into build-windows/.
# The cache folder is $VARNEX_WINDOWS_CACHE, ~/.cache/varnex-windows by default.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
cache=${VARNEX_WINDOWS_CACHE:-$HOME/.cache/varnex-windows}
build=${1:-$root/build-windows}
export VARNEX_WINDOWS_CACHE=$cache

bash "$root/tools/install-deps.sh" windows
bash "$root/tools/windows/build-qt.sh" "$cache"

export VARNEX_WINDOWS_QT=$cache/qt-6.4.2-mingw
start=$(date +%s)
cmake -S "$root" -B "$build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$root/tools/windows/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_PREFIX_PATH="$VARNEX_WINDOWS_QT" \
  -DQT_HOST_PATH=/usr \
  -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DCMAKE_CROSSCOMPILING_EMULATOR="$root/tools/windows/wine-run.sh" >/dev/null
cmake --build "$build"
echo "Varnex for Windows: built in $(( $(date +%s) - start )) s in $build"
