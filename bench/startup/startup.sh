#!/usr/bin/env bash
# Times Gearsheet from start to its first painted window with a settings file of 1,000 tyres and
# 1,000 circuits, against an empty Qt window, and prints both figures and their ratio; likewise
# the peak memory (maximum resident set) at the first paint. A window showing one label is timed
# beside them: the floor for any window with text, printed with Gearsheet's ratios to it. The
# program's start-up is timed by gearsheet_startup_bench, which starts the program's own window and
# runs here under the program's name, beside that settings file.
#
#   bench/startup/startup.sh [RUNS]       (default 20 runs of each, interleaved)
#   BUILD_DIR=build/x bench/startup/startup.sh
#   QT_QPA_PLATFORM=offscreen bench/startup/startup.sh   on Qt's offscreen platform
# By default both run on X, as a user's would: on $DISPLAY when there is one, else on a virtual
# screen of their own (xvfb-run), else offscreen.
# Exit status 1 when the time ratio exceeds LIMIT (default 1.25) or the memory ratio MEMORY_LIMIT
# (default 1.2).
set -euo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
build=${BUILD_DIR:-$root/build/default}
case $build in /*) ;; *) build=$root/$build ;; esac
runs=${1:-20}
limit=${LIMIT:-1.25}
memory_limit=${MEMORY_LIMIT:-1.2}
if [ "${QT_QPA_PLATFORM:-xcb}" = xcb ] && [ -z "${DISPLAY:-}" ]; then
    if command -v xvfb-run >/dev/null; then
        exec env QT_QPA_PLATFORM=xcb xvfb-run -a "$0" "$@"
    fi
    echo "No X display and no xvfb-run: measuring offscreen." >&2
    export QT_QPA_PLATFORM=offscreen
fi
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-xcb}

for f in gearsheet_startup_bench empty_window_bench; do
    [ -x "$build/bin/$f" ] || { echo "No $build/bin/$f: build it first." >&2; exit 2; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$build/bin/gearsheet_startup_bench" "$work/Gearsheet"
cp "$build/bin/empty_window_bench" "$work/"
cp -P "$build"/bin/libqfstore.so* "$work/"

# The shipped gear data, then 1,000 tyres and 1,000 circuits of 22 fields each.
{
    sed -n '/^\[GEARS\]/,/^InitialReduction/p' "$root/calculator/data/Gearsheet.INI"
    echo "[TYRES]"
    for i in $(seq 1 1000); do echo "Tyre $i=$((70 + i % 15)).$((i % 10))"; done
    echo "[CIRCUITS]"
    for i in $(seq 1 1000); do
        echo "Circuit $i=30|28|$i|5|12|14|||||25|22|$i|6|10|12|||||$((14 + i % 3))|$((40 + i % 8))"
    done
} > "$work/Gearsheet.INI"

# The settings file has been at rest for a few seconds, as a user's file is between two starts
# (the INI reader trusts its cache only for files older than that).
sleep 3

# Milliseconds from launching the program to its first painted window and its peak memory in kB
# then, as it reports them, on one line; the launch time goes in as its argument.
run_ms() {
    "$1" "$(date +%s%N)" "${@:2}" 2>/dev/null |
        sed -n -e 's/^first paint after \([0-9.]*\) ms$/\1/p' -e 's/^peak memory \([0-9]*\) kB$/\1/p' |
        paste -sd ' '
}

# One warm-up run each, so that both start from the same file cache.
run_ms "$work/Gearsheet" >/dev/null
run_ms "$work/empty_window_bench" >/dev/null
run_ms "$work/empty_window_bench" --label >/dev/null
gearsheet=()
empty=()
label=()
gearsheet_kb=()
empty_kb=()
label_kb=()
for _ in $(seq 1 "$runs"); do
    read -r ms kb <<<"$(run_ms "$work/Gearsheet")"
    gearsheet+=("$ms")
    gearsheet_kb+=("$kb")
    read -r ms kb <<<"$(run_ms "$work/empty_window_bench")"
    empty+=("$ms")
    empty_kb+=("$kb")
    read -r ms kb <<<"$(run_ms "$work/empty_window_bench" --label)"
    label+=("$ms")
    label_kb+=("$kb")
done

median() { printf '%s\n' "$@" | sort -g | awk '{a[NR]=$1} END {printf "%.1f", (NR%2 ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2)}'; }
if [ ${#gearsheet[@]} -ne "$runs" ] || [ ${#empty[@]} -ne "$runs" ] || [ ${#label[@]} -ne "$runs" ] ||
    printf '%s\n' "${gearsheet[@]}" "${empty[@]}" "${label[@]}" "${gearsheet_kb[@]}" "${empty_kb[@]}" "${label_kb[@]}" |
    grep -qv '^[0-9.][0-9.]*$'; then
    echo "A run reported no time." >&2
    exit 2
fi
g=$(median "${gearsheet[@]}")
e=$(median "${empty[@]}")
gm=$(median "${gearsheet_kb[@]}")
em=$(median "${empty_kb[@]}")
l=$(median "${label[@]}")
lm=$(median "${label_kb[@]}")
quotient() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", a / b}'; }
megabytes() { awk -v k="$1" 'BEGIN {printf "%.1f", k / 1024}'; }
ratio=$(quotient "$g" "$e")
memory_ratio=$(quotient "$gm" "$em")
echo "platform:              $QT_QPA_PLATFORM, $runs runs each, medians"
echo "                       first paint     peak memory"
printf 'empty Qt window:       %8s ms  %10s MB\n' "$e" "$(megabytes "$em")"
printf 'one-label window:      %8s ms  %10s MB   (%s and %s x the empty window)\n' "$l" \
    "$(megabytes "$lm")" "$(quotient "$l" "$e")" "$(quotient "$lm" "$em")"
printf 'Gearsheet (1000+1000): %8s ms  %10s MB\n' "$g" "$(megabytes "$gm")"
echo "ratio:                 $ratio (limit $limit)   $memory_ratio (limit $memory_limit)"
echo "ratio to the label:    $(quotient "$g" "$l")                $(quotient "$gm" "$lm")"
awk -v r="$ratio" -v l="$limit" -v m="$memory_ratio" -v ml="$memory_limit" \
    'BEGIN {exit !(r <= l && m <= ml)}'
