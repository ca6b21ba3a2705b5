#!/usr/bin/env bash
# Cross-builds the Qt modules Varnex uses for Windows (Core, Gui, Widgets, Test, with the windows
# and offscreen platform plugins) from Debian's qtbase 6.4.2 sources, using Debian's own Qt 6.4.2
# tools (moc, rcc, uic) as the host Qt. The result is installed into $1/qt-6.4.2-mingw; a later
# run finds it there and does nothing.
set -euo pipefail

cache=${1:?usage: build-qt.sh CACHE_FOLDER}
here=$(cd "$(dirname "$0")" && pwd)
prefix=$cache/qt-6.4.2-mingw
build=$cache/build-qtbase

if [ -f "$prefix/.complete" ]; then
  echo "Qt for Windows: reusing $prefix"
  exit 0
fi

bash "$here/fetch-qt-sources.sh" "$cache"

echo "Qt for Windows: configuring qtbase in $build"
start=$(date +%s)
cmake -S "$cache/src/qt6-base" -B "$build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$here/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_INSTALL_PREFIX="$prefix" \
  -DQT_HOST_PATH=/usr \
  -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DBUILD_SHARED_LIBS=ON \
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
  -DQT_BUILD_TOOLS_WHEN_CROSSCOMPILING=OFF \
  -DFEATURE_gui=ON -DFEATURE_widgets=ON -DFEATURE_testlib=ON \
  -DFEATURE_network=OFF -DFEATURE_sql=OFF -DFEATURE_dbus=OFF -DFEATURE_xml=OFF \
  -DFEATURE_concurrent=OFF -DFEATURE_printsupport=OFF -DFEATURE_opengl=OFF \
  -DFEATURE_vulkan=OFF -DFEATURE_dynamicgl=OFF -DFEATURE_direct2d=OFF -DFEATURE_directwrite3=OFF -DFEATURE_tabletevent=OFF \
  -DFEATURE_icu=OFF -DFEATURE_glib=OFF -DFEATURE_zstd=OFF -DFEATURE_sql_sqlite=OFF \
  -DFEATURE_system_zlib=OFF -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF \
  -DFEATURE_system_freetype=OFF -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_pcre2=OFF \
  -DFEATURE_system_doubleconversion=OFF -DFEATURE_system_libb2=OFF \
  -DFEATURE_androiddeployqt=OFF -DFEATURE_macdeployqt=OFF -DFEATURE_windeployqt=OFF \
  >"$cache/qtbase-configure.log" 2>&1 || { tail -40 "$cache/qtbase-configure.log"; exit 1; }

echo "Qt for Windows: building qtbase (about half an hour on two cores)"
cmake --build "$build" --parallel "$(nproc)"
cmake --install "$build" >/dev/null
touch "$prefix/.complete"
echo "Qt for Windows: built in $(( ($(date +%s) - start) / 60 )) min into $prefix"
