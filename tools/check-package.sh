#!/usr/bin/env bash
# Installs the Debian package into a fresh Debian 12 root (debootstrap, minimal) with apt, which
# brings the dependencies the package names and nothing else, then starts the programs there:
# the window offscreen on its virtual probe (a screenshot taken), and the logger for a few
# seconds. Needs root and debootstrap.
#   tools/check-package.sh PACKAGE.deb [ROOT folder, default /tmp/varnex-debroot]
set -euo pipefail
deb=$(realpath "$1")
root=${2:-/tmp/varnex-debroot}
if [ ! -x "$root/usr/bin/apt-get" ]; then
  debootstrap --variant=minbase bookworm "$root" http://deb.debian.org/debian >/dev/null
fi
mounted=()
cleanup() { for m in "${mounted[@]}"; do umount -l "$m" 2>/dev/null || true; done; }
trap cleanup EXIT
for m in proc dev dev/pts; do
  mkdir -p "$root/$m"
  if [ "$m" = proc ]; then mount -t proc proc "$root/proc"; else mount --bind "/$m" "$root/$m"; fi
  mounted=("$root/$m" "${mounted[@]}")
done
cp "$deb" "$root/tmp/varnex.deb"
chroot "$root" sh -c 'DEBIAN_FRONTEND=noninteractive apt-get update -qq &&
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends /tmp/varnex.deb >/dev/null'
echo "installed: $(chroot "$root" dpkg-query -W -f='${Package} ${Version}' varnex)"
chroot "$root" sh -c 'cd /tmp && rm -f shot.png k.csv &&
  QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=/tmp varnex --simulate PX-5100 --quit-after 8 \
    --screenshot /tmp/shot.png >/dev/null 2>&1; test -s /tmp/shot.png && echo "varnex: started, picture taken" &&
  varnex-logger --simulate E310 --out /tmp/k.csv --duration 3s 2>/dev/null &&
  echo "varnex-logger: $(($(wc -l < /tmp/k.csv) - 14)) rows"'
cp "$root/tmp/shot.png" "${3:-/tmp/varnex-package-shot.png}"
