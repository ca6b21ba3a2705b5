#!/usr/bin/env bash
# Pictures of the main window on the virtual probe, for the README. Each run starts the program
# offscreen with a fresh settings folder, lets it identify the probe and read for a while, and
# saves the window as a PNG.
#
#   tools/make-screenshots.sh [build folder] [output folder]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build}
out=${2:-$here/docs}
mkdir -p "$out"

shoot() { # model picture seconds [more options]
    local work
    work=$(mktemp -d)
    # A window closed with a log running asks whether to save it; nobody answers here, so the
    # run ends a little after its picture is taken.
    XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_RUNTIME_DIR="$work" \
        QT_QPA_PLATFORM=offscreen timeout -s KILL $(($3 + 10)) \
        "$build/varnex" --simulate "$1" --settings-folder "$work" --quit-after "$3" \
        --screenshot "$out/$2" "${@:4}" 2>/dev/null >/dev/null || true
    rm -rf "$work"
    test -s "$out/$2" && echo "$out/$2"
}

shoot "PX-5100" varnex-sigma.png 16
shoot "PX-9100" varnex-zeta.png 16
shoot "E310" varnex-kappa.png 16
shoot "PX-5100" varnex-logging.png 20 --record
