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
build=$(cd "$build" && pwd)
out=$(cd "$out" && pwd)

shoot() { # model picture seconds [more options]
    local work
    work=$(mktemp -d)
    # Settings of a picture's own: the file of a first run, edited (CONFIG_EDIT, a sed script).
    if [ -n "${CONFIG_EDIT:-}" ]; then
        XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_RUNTIME_DIR="$work" \
            QT_QPA_PLATFORM=offscreen "$build/varnex" --settings-folder "$work" --port /dev/null \
            --quit-after 0.5 >/dev/null 2>&1 || true
        sed -i "$CONFIG_EDIT" "$work/Varnex.cfg"
    fi
    # Per-user settings of a picture's own (LIMITS, lines of the "Limits" section).
    if [ -n "${LIMITS:-}" ]; then
        mkdir -p "$work/config/Varnex"
        printf '[Limits]\n%b\n' "$LIMITS" >"$work/config/Varnex/Varnex.conf"
    fi
    # A window closed with a log running asks whether to save it; nobody answers here, so the
    # run ends a little after its picture is taken.
    XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_RUNTIME_DIR="$work" \
        QT_SCALE_FACTOR="${SCALE:-1}" QT_QPA_PLATFORM=offscreen timeout -s KILL $(($3 + 10)) \
        "$build/varnex" --simulate "$1" --settings-folder "$work" --quit-after "$3" \
        --screenshot "$out/$2" "${@:4}" 2>/dev/null >/dev/null || true
    rm -rf "$work"
    test -s "$out/$2" && echo "$out/$2"
}

shoot "PX-5100" varnex-sigma.png 16
shoot "PX-9100" varnex-zeta.png 16
shoot "E310" varnex-kappa.png 16
# The same on a high-density screen (two device pixels a logical pixel).
SCALE=2 shoot "PX-5100" varnex-sigma@2x.png 16
SCALE=2 shoot "PX-9100" varnex-zeta@2x.png 16
SCALE=2 shoot "E310" varnex-kappa@2x.png 16
shoot "PX-5100" varnex-logging.png 20 --record
CONFIG_EDIT='s/^ExposureFrame,False/ExposureFrame,True/; s/^Exposure,6 Minute/Exposure,10 Second/' \
    shoot "PX-5100" varnex-exposure.png 30 --record

# The exposure against ICNIRP 2020 for the public at 900 MHz, the warning level on the average set low enough for
# the virtual probe's field to reach it.
LIMITS='Standard=icnirp2020-public\nFrequency=900 MHz\nWarning=10\nWarningBasis=averaged' \
    shoot "PX-5100" varnex-limit.png 16

# A stored view zoomed in: a log of 1000 rows opened, and a drag across 30 % to 55 % of the plot.
cmake --build "$build" --target pose-stored-view >/dev/null
work=$(mktemp -d)
awk 'BEGIN {
    printf "Header\r\nGraphScale,Log 0.1-1000\r\nUnits,V/m\r\nEndHeader\r\n"
    printf "Time ,Field V/m,X V/m,Y V/m,Z V/m\r\n"
    for (i = 0; i < 1000; i++) {
        s = 12 * 3600 + i; t = 5 + 3 * sin(i / 50)
        printf "%02d:%02d:%02d,%g,%g,%g,%g\r\n", s / 3600, s % 3600 / 60, s % 60, t * 1.7, t, t * 0.8, t * 1.2
    }
}' >"$work/survey.csv"
(cd "$work" && XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work" QT_QPA_PLATFORM=offscreen \
    "$build/pose-stored-view" survey.csv 0.3 0.55 "$out/varnex-stored-zoomed.png" 2>/dev/null)
(cd "$work" && XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work" QT_QPA_PLATFORM=offscreen \
    "$build/pose-stored-view" --export survey.csv "$out/varnex-export.png" 2>/dev/null)
rm -rf "$work"
test -s "$out/varnex-stored-zoomed.png" && echo "$out/varnex-stored-zoomed.png"
test -s "$out/varnex-export.png" && echo "$out/varnex-export.png"

# The options dialog, on its colours.
QT_QPA_PLATFORM=offscreen "$build/pose-stored-view" --options 2 "$out/varnex-options.png" 2>/dev/null &&
    echo "$out/varnex-options.png"

# Page 1 of a survey report of 20 s logged on the virtual probe, against ICNIRP 2020 at 900 MHz.
work=$(mktemp -d)
"$build/varnex-logger" --simulate PX-5100 --out "$work/r.csv" --duration 20s >/dev/null 2>&1
"$build/varnex-report" "$work/r.csv" -o "$work/r.pdf" --limit icnirp2020-public --frequency 900MHz >/dev/null
pdftoppm -r 60 -f 1 -l 1 -png -singlefile "$work/r.pdf" "$out/varnex-report"
rm -rf "$work"
test -s "$out/varnex-report.png" && echo "$out/varnex-report.png"
