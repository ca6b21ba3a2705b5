#!/usr/bin/env bash
# Fetches Debian's source package of the Qt the Windows build cross-compiles (qtbase, the same
# 6.4.2 the Linux build links) into $1/src. (Qt SerialPort's sources cannot be fetched from
# here; the Windows build reads its ports through the Win32 API, platform/WinSerialComm.)
# apt-get source needs a deb-src entry: it is given one through a private apt
# configuration under $1/apt, so that the machine's own package lists stay as they are.
set -euo pipefail

cache=${1:?usage: fetch-qt-sources.sh CACHE_FOLDER}
src=$cache/src
apt=$cache/apt
packages=(qt6-base)

if [ -f "$src/.fetched" ]; then
  exit 0
fi

mkdir -p "$apt/sources.list.d" "$apt/lists/partial" "$src"
cat >"$apt/sources.list.d/bookworm-src.sources" <<SOURCES
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
: >"$apt/sources.list"

opts=(
  -o "Dir::Etc::SourceList=$apt/sources.list"
  -o "Dir::Etc::SourceParts=$apt/sources.list.d"
  -o "Dir::State::Lists=$apt/lists"
  -o "Debug::NoLocking=1"
  # The files land in the cache folder, which apt's own download user may not reach.
  -o "APT::Sandbox::User=root"
)

echo "Fetching the Qt sources (${packages[*]}) into $src"
apt-get "${opts[@]}" update -qq
(cd "$src" && apt-get "${opts[@]}" source -qq --download-only "${packages[@]}")

# Unpack without dpkg-source's patches: Debian's patches serve its Linux build only.
for p in "${packages[@]}"; do
  orig=$(ls "$src"/"${p}"_*.orig.tar.* | head -n 1)
  dir=$src/$p
  rm -rf "$dir" && mkdir -p "$dir"
  tar -xf "$orig" -C "$dir" --strip-components=1
done
touch "$src/.fetched"
