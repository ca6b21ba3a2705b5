#!/usr/bin/env bash
# Runs a cross-built Windows program under Wine, in the Windows build's own Wine prefix, with the
# cross-built Qt and the MinGW runtime on its DLL path. ctest runs every test through it.
#   wine-run.sh PROGRAM.exe [ARGUMENTS...]
# Wine hands no QT_ variables to Windows programs (QT_QPA_PLATFORM among them): give a
# program its platform on the command line (-platform offscreen). Qt finds its plugins beside
# its own libraries.
set -euo pipefail
cache=${VARNEX_WINDOWS_CACHE:-$HOME/.cache/varnex-windows}
export WINEPREFIX=${WINEPREFIX:-$cache/wine}
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko installers: nothing here needs .NET or a browser engine.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
# VARNEX_WINE_DEPLOYED=1: a program as installed, which must find everything beside itself.
if [ "${VARNEX_WINE_DEPLOYED:-}" != 1 ]; then
  qt=${VARNEX_WINDOWS_QT:-$cache/qt-6.4.2-mingw}
  runtime=(/usr/lib/gcc/x86_64-w64-mingw32/*-posix /usr/x86_64-w64-mingw32/lib)
  path="$qt/bin"
  for d in "${runtime[@]}"; do path="$path;$d"; done
  export WINEPATH="$path${WINEPATH:+;$WINEPATH}"
else
  unset WINEPATH
fi
# The prefix is made once, and the server and the session's own processes (services, devices)
# are started here, detached from this program's output: started by the first program, they
# would hold ctest's pipe open until the last test ends. (Nor may they hold the lock, which
# keeps two programs started at once from making the prefix twice.)
mkdir -p "$WINEPREFIX"
(
  flock 9
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    env -u WINEPATH wineboot -i </dev/null >/dev/null 2>&1 9>&- || true
    wineserver -w 9>&-
  fi
  if wineserver -p10 </dev/null >/dev/null 2>&1 9>&-; then
    wine cmd /c rem </dev/null >/dev/null 2>&1 9>&- || true
  fi
) 9>"$WINEPREFIX/.varnex-start.lock"
# A test's report does not come through a pipe from Wine: it goes to a file, shown afterwards.
program=$(basename "$1")
if [[ $program == tst_*.exe ]] && [[ " $* " != *" -o "* ]]; then
  report=$(mktemp)
  status=0
  wine "$@" -o "$report,txt" || status=$?
  cat "$report"
  rm -f "$report"
  exit $status
fi
exec wine "$@"
