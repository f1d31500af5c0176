#!/usr/bin/env bash
# Photographs Gearsheet on a virtual screen: one PNG per tab and one of the expanded error dialog.
#
#   tools/screenshot.sh [FOLDER]      PNGs into FOLDER (default build/screenshots)
#   SCALE=2 tools/screenshot.sh       the same at 200 % (Qt's QT_SCALE_FACTOR)
#   BUILD_DIR=build/x tools/screenshot.sh   another build (default build/default)
#
# The harness gearsheet_screenshots starts the program's own window. It runs from a temporary
# folder under the program's name, beside a copy of the shipped settings file, so it starts as the
# program does, and the settings file beside the built program is neither read nor changed.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build/default}
case $build in /*) ;; *) build=$root/$build ;; esac
out=${1:-$root/build/screenshots}
scale=${SCALE:-1}

if [ ! -x "$build/bin/gearsheet_screenshots" ]; then
    echo "No $build/bin/gearsheet_screenshots: build it first (make build)." >&2
    exit 1
fi
command -v xvfb-run >/dev/null || { echo "xvfb-run is missing (tools/install-deps.sh)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$build/bin/gearsheet_screenshots" "$work/Gearsheet"
cp -P "$build"/bin/libqfstore.so* "$build"/bin/libgearsheet_chart.so "$work/"
cp "$root/calculator/data/Gearsheet.INI" "$work/"

mkdir -p "$out"
out=$(cd "$out" && pwd)
QT_SCALE_FACTOR="$scale" xvfb-run -a -s "-screen 0 1920x1440x24" "$work/Gearsheet" "$out"
ls -1 "$out"/*.png
