#!/usr/bin/env bash
# Photographs Gearsheet on a virtual screen: one PNG per tab, one of the expanded error dialog, one
# of the Circuit Database page with a circuit and its sprocket finder, and that circuit's pit card,
# then the Session Log with sessions at that circuit, a comparison, the best-lap chart and a
# session's sheet (PDFs exported by the program, rendered to PNG with pdftoppm at 100 or 200 dpi
# by SCALE).
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
for tool in xvfb-run pdftoppm; do
    command -v $tool >/dev/null || { echo "$tool is missing (tools/install-deps.sh)" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$build/bin/gearsheet_screenshots" "$work/Gearsheet"
cp -P "$build"/bin/libqfstore.so* "$build"/bin/libgearsheet_chart.so "$work/"
cp "$root/calculator/data/Gearsheet.INI" "$work/"

mkdir -p "$out"
out=$(cd "$out" && pwd)
QT_SCALE_FACTOR="$scale" xvfb-run -a -s "-screen 0 1920x1440x24" "$work/Gearsheet" "$out"
dpi=$(awk -v s="$scale" 'BEGIN { print int(s * 100 + 0.5) }')
for pdf in "$out"/*.pdf; do
    pdftoppm -png -singlefile -r "$dpi" "$pdf" "${pdf%.pdf}"
done
ls -1 "$out"/*.png
