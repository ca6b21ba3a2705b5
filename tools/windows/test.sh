#!/usr/bin/env bash
# make windows-test: the Windows build's suites under Wine (ctest runs each through
# wine-run.sh), then a smoke run of the programs as the installer lays them out, with nothing of
# the build on their path: the window on its virtual probe takes a picture of itself, and the
# logger logs its virtual probe for five seconds.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$root/build-windows}" && pwd)
export VARNEX_WINDOWS_CACHE=${VARNEX_WINDOWS_CACHE:-$HOME/.cache/varnex-windows}
run=$root/tools/windows/wine-run.sh

echo "== The suites under Wine"
(cd "$build" && ctest --output-on-failure -j2)

echo "== The installed programs under Wine"
smoke=$build/smoke
rm -rf "$smoke"
cmake --install "$build" --prefix "$smoke/Varnex" >/dev/null
fail() {
  echo "windows-test: $*" >&2
  exit 1
}
# Only what the installer installs: no Qt or MinGW folder on the DLL path, no plugin path.
deployed() { VARNEX_WINE_DEPLOYED=1 "$run" "$@"; }

deployed "$smoke/Varnex/varnex-probesim.exe" --list-models >"$smoke/models.txt" ||
  fail "varnex-probesim --list-models failed"
grep -q '^PX-5100' "$smoke/models.txt" || fail "PX-5100 is not among the virtual probes"

picture=$smoke/varnex.png
deployed "$smoke/Varnex/varnex.exe" -platform offscreen --simulate PX-5100 \
  --settings-folder "$smoke/settings" --quit-after 8 --screenshot "$picture" ||
  fail "varnex --simulate PX-5100 failed"
[ -f "$picture" ] || fail "no picture of the window"
read -r width height colours < <(identify -format '%w %h %k\n' "$picture")
echo "picture: ${width}x${height}, $colours colours"
[ "$width" -ge 600 ] && [ "$height" -ge 400 ] || fail "the window is too small: ${width}x${height}"
[ "$colours" -ge 32 ] || fail "the window looks empty ($colours colours)"

log=$smoke/logger.csv
deployed "$smoke/Varnex/varnex-logger.exe" --simulate PX-5100 --duration 5s --out "$log" \
  >"$smoke/logger.out" 2>"$smoke/logger.err" || {
  cat "$smoke/logger.err" >&2
  fail "varnex-logger --simulate PX-5100 failed"
}
[ -f "$log" ] || fail "the logger wrote no log"
rows=$(grep -c '^[0-9]' "$log" || true)
echo "logger: $rows rows in 5 s"
[ "$rows" -ge 20 ] || fail "the logger's log has only $rows rows"
# The Windows serial port itself (WinSerialComm) at both ends of a line: varnex-probesim.exe
# serves on COM6 and varnex-logger.exe reads COM5, the two ports of a null-modem pair that Wine
# maps to socat's two joined pseudo-terminals.
pair=$smoke/pair
mkdir -p "$pair"
socat "pty,raw,echo=0,link=$pair/host" "pty,raw,echo=0,link=$pair/probe" &
socat_pid=$!
sim_pid=
finish() {
  [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null
  # Wine runs the program in a process of its own, which the kill above does not reach.
  wineserver -k 2>/dev/null
  kill "$socat_pid" 2>/dev/null
  rm -f "$WINEPREFIX/dosdevices/com5" "$WINEPREFIX/dosdevices/com6"
}
trap finish EXIT
for _ in $(seq 50); do [ -e "$pair/probe" ] && break; sleep 0.1; done
export WINEPREFIX=${WINEPREFIX:-$VARNEX_WINDOWS_CACHE/wine}
ln -sfn "$(readlink -f "$pair/host")" "$WINEPREFIX/dosdevices/com5"
ln -sfn "$(readlink -f "$pair/probe")" "$WINEPREFIX/dosdevices/com6"
deployed "$smoke/Varnex/varnex-probesim.exe" --model PX-5100 --port COM6 >"$smoke/probesim.out" \
  2>&1 &
sim_pid=$!
com=$smoke/com-port.csv
deployed "$smoke/Varnex/varnex-logger.exe" --port COM5 --duration 5s --out "$com" \
  >/dev/null 2>"$smoke/com-port.err" || {
  cat "$smoke/com-port.err" "$smoke/probesim.out" >&2
  fail "varnex-logger --port COM5 failed against varnex-probesim --port COM6"
}
rows=$(grep -c '^[0-9]' "$com" || true)
echo "COM5 to COM6: $rows rows in 5 s"
[ "$rows" -ge 20 ] || fail "the log of COM5 has only $rows rows"

echo "== The installer under Wine"
# In a Wine prefix of its own, as on a machine that never had Varnex: installed silently, the
# program started from the Start menu's folder, then uninstalled.
installer=$(ls "$build"/Varnex-*-windows-x64.exe)
(
  export WINEPREFIX=$smoke/installed-wine
  rm -rf "$WINEPREFIX"
  VARNEX_WINE_DEPLOYED=1 "$run" "$installer" /S || fail "the installer failed"
  wineserver -w
  folder="$WINEPREFIX/drive_c/Program Files/Varnex"
  menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Varnex"
  for f in varnex.exe varnex-logger.exe varnex-report.exe varnex-probesim.exe Qt6Core.dll \
    platforms/qwindows.dll styles/qwindowsvistastyle.dll libstdc++-6.dll Uninstall.exe; do
    [ -f "$folder/$f" ] || fail "the installer did not install $f"
  done
  for l in "Varnex.lnk" "Varnex on a virtual probe.lnk" "Uninstall.lnk"; do
    [ -f "$menu/$l" ] || fail "no Start-menu entry $l"
  done
  VARNEX_WINE_DEPLOYED=1 "$run" "$folder/varnex.exe" -platform offscreen --simulate PX-9100 \
    --quit-after 5 --screenshot "$smoke/installed.png" || fail "the installed varnex.exe failed"
  [ -f "$smoke/installed.png" ] || fail "the installed varnex.exe took no picture"
  VARNEX_WINE_DEPLOYED=1 "$run" "$folder/Uninstall.exe" /S || fail "the uninstaller failed"
  wineserver -w
  [ ! -e "$folder/varnex.exe" ] && [ ! -e "$menu" ] || fail "the uninstaller left the program"
  wineserver -k || true
)
echo "installer: $(du -k "$installer" | cut -f1) kB, installed, started and uninstalled"
echo "windows-test: passed"
