#!/usr/bin/env bash
# Gearsheet under a real window manager (openbox) on a virtual screen (Xvfb), driven by xdotool:
# what the offscreen platform cannot show.
#   - Five starts and closes leave WINDOW_POS as it was: the window comes back where it was closed.
#   - A stored position whose title bar would be above the screen opens at the default position.
#   - Ctrl+Tab and Ctrl+Shift+Tab typed on the keyboard run the tab handler: with a circumference
#     of 0, reaching "Speed Calculation" shows the zero warning; Ctrl+Tab works also from a closed
#     drop-down list.
#   - An error dialog at start-up does not move the window: three starts keep WINDOW_POS.
#   - Circuit Database, shown first, makes the window grow to hold its gearing group.
#   - The Gear Planner fits the screen at 100 % and 200 %: the window stays on the screen and can
#     be made smaller; the expanded error dialog stays on the screen.
#
#   window_manager_test.sh BIN_FOLDER SHIPPED_SETTINGS
# Exit status 77 (skipped) when Xvfb, openbox or xdotool is missing.
set -euo pipefail

bin=$1
shipped=$2
# shellcheck source=tests/calculator/window/virtual_screen.sh
source "$(dirname "$0")/virtual_screen.sh"
need_programs Xvfb openbox xdotool xwininfo
fail() {
    echo "FAILED: $*"
    [ -s "$work/program.log" ] && sed 's/^/  program: /' "$work/program.log"
    exit 1
}
start_screen
copy_program "$bin"
export QT_QPA_PLATFORM=xcb

# Starts the program and waits for its window; sets `window`. With an argument, first answers
# the start-up error dialog with Return.
start() {
    "$app/Gearsheet" >>"$work/program.log" 2>&1 &
    program=$!
    if [ $# -gt 0 ]; then
        dialog=$(timeout 20 xdotool search --sync --onlyvisible --name "$1" | head -1) || true
        [ -n "$dialog" ] || fail "no start-up dialog $1"
        xdotool windowactivate --sync "$dialog" key --clearmodifiers Return
    fi
    window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Arvel Gearsheet$' | head -1) ||
        true
    [ -n "$window" ] || fail "the main window did not appear"
    xdotool windowactivate --sync "$window"
}

# Closes the window as the user does (Alt+F4, openbox's close key) and waits for the program.
close_window() {
    xdotool windowactivate --sync "$window" key --clearmodifiers alt+F4
    await bash -c "! kill -0 $program" || fail "the program did not end after Alt+F4"
    wait "$program" || fail "the program ended with status $?"
}

position() { sed -n '/^\[WINDOW_POS\]/,/^\[/{/^\(Top\|Left\)=/p}' "$app/Gearsheet.INI" | tr '\n' ' '; }

# Five starts and closes: whole inches, so that the position is whole pixels at any resolution.
cp "$shipped" "$app/Gearsheet.INI"
printf '[WINDOW_POS]\nTop=1440\nLeft=2880\n' >>"$app/Gearsheet.INI"
for run in 1 2 3 4 5; do
    start
    close_window
    [ "$(position)" = "Top=1440 Left=2880 " ] || fail "after run $run WINDOW_POS is $(position)"
done

# The default position, then a stored one whose title bar is above the screen.
cp "$shipped" "$app/Gearsheet.INI"
start
close_window
default=$(position)
cp "$shipped" "$app/Gearsheet.INI"
printf '[WINDOW_POS]\nTop=-3000\nLeft=1440\n' >>"$app/Gearsheet.INI"
start
close_window
[ "$(position)" = "$default" ] ||
    fail "the window above the screen was left at $(position), not at $default"

# A record too short for the page is reported at start-up, before the window shows; the window
# still opens where it was closed.
cp "$shipped" "$app/Gearsheet.INI"
printf '[CIRCUITS]\nShort=1|2|3\n[WINDOW_POS]\nTop=3000\nLeft=1440\n' >>"$app/Gearsheet.INI"
for run in 1 2 3; do
    start '^Gearsheet - Error Warning$'
    close_window
    [ "$(position)" = "Top=3000 Left=1440 " ] ||
        fail "after a start-up error, run $run, WINDOW_POS is $(position)"
done

# The window's inside on the screen as X, Y, WIDTH, HEIGHT (xwininfo: xdotool counts the frame of
# a reparented window twice).
geometry() {
    local info
    info=$(xwininfo -id "$1")
    X=$(sed -n 's/.*Absolute upper-left X: *//p' <<<"$info")
    Y=$(sed -n 's/.*Absolute upper-left Y: *//p' <<<"$info")
    WIDTH=$(sed -n 's/^ *Width: *//p' <<<"$info")
    HEIGHT=$(sed -n 's/^ *Height: *//p' <<<"$info")
}
# Whether the window lies on the 1920x1200 screen, its title bar above it too.
on_screen() {
    geometry "$1"
    [ "$X" -ge 0 ] && [ "$Y" -gt 0 ] && [ $((X + WIDTH)) -le 1920 ] && [ $((Y + HEIGHT)) -le 1200 ]
}
# Ctrl+Tab three times: "Details" to "Gear Planner".
to_planner() {
    xdotool key --clearmodifiers ctrl+Tab ctrl+Tab ctrl+Tab
    sleep 1
}

# 100 %: "Circuit Database" shown first, whose gearing group is made then, makes the window grow
# to hold it (rather than squeeze the group into scroll bars).
cp "$shipped" "$app/Gearsheet.INI"
start
geometry "$window"
first_width=$WIDTH
first_height=$HEIGHT
xdotool key --clearmodifiers ctrl+Tab ctrl+Tab
sleep 1
geometry "$window"
if [ "$WIDTH" -le "$first_width" ] || [ "$HEIGHT" -le "$first_height" ]; then
    fail "Circuit Database left the window at ${WIDTH}x$HEIGHT (${first_width}x$first_height before)"
fi
close_window

# 100 %: the window at x = 1200; the planner does not push it off the screen.
cp "$shipped" "$app/Gearsheet.INI"
printf '[WINDOW_POS]\nTop=1500\nLeft=18000\n' >>"$app/Gearsheet.INI"
start
to_planner
on_screen "$window" || fail "at 100 % the planner put the window at $X,$Y ${WIDTH}x$HEIGHT"
close_window

# 200 %: the planner fits and the window can be made smaller; then a tyre whose circumference is
# no number makes the speed page report error 13, and the expanded dialog stays on the screen.
sed -n '/^\[GEARS\]/,/^InitialReduction/p' "$shipped" >"$app/Gearsheet.INI"
printf '[TYRES]\nWet=wide\n[WINDOW_POS]\nTop=7500\nLeft=1500\n' >>"$app/Gearsheet.INI"
export QT_SCALE_FACTOR=2
start
to_planner
on_screen "$window" || fail "at 200 % the planner put the window at $X,$Y ${WIDTH}x$HEIGHT"
xdotool windowsize --sync "$window" 1500 900 || true
sleep 1
geometry "$window"
if [ "$WIDTH" -gt 1500 ] || [ "$HEIGHT" -gt 900 ]; then
    fail "at 200 % the window cannot be made smaller than ${WIDTH}x$HEIGHT"
fi
xdotool key --clearmodifiers ctrl+Tab ctrl+Tab
dialog=$(timeout 10 xdotool search --sync --onlyvisible --name '^Gearsheet - Error Warning$' |
    head -1) || fail "no error dialog for the circumference \"wide\""
xdotool windowactivate --sync "$dialog" key --clearmodifiers Tab space
sleep 1
on_screen "$dialog" || fail "the expanded error dialog is at $X,$Y ${WIDTH}x$HEIGHT"
xdotool key --clearmodifiers Return
unset QT_SCALE_FACTOR
close_window

# No tyres, so the circumference is 0: the "Speed Calculation" page refuses it with a message.
sed -n '/^\[GEARS\]/,/^InitialReduction/p' "$shipped" >"$app/Gearsheet.INI"
await_warning() {
    timeout 10 xdotool search --sync --onlyvisible --name '^Gearsheet$' >/dev/null ||
        fail "$1 did not run the tab handler (no zero warning)"
    xdotool key --clearmodifiers Return  # the warning goes, "Details" comes back in front
    await bash -c "! xdotool search --onlyvisible --name '^Gearsheet\$'" ||
        fail "the zero warning did not close"
}
start
xdotool key --clearmodifiers ctrl+Tab
await_warning "Ctrl+Tab"
# Backwards through "Session Log", "Gear Planner" and "Circuit Database" to "Speed Calculation".
xdotool key --clearmodifiers ctrl+shift+Tab ctrl+shift+Tab ctrl+shift+Tab ctrl+shift+Tab
await_warning "Ctrl+Shift+Tab"
close_window

# A closed drop-down list keeps Ctrl+Tab to itself. From the Session Log's circuit list (Tab from
# the tab strip puts the focus there) Ctrl+Tab still goes on to "Details", then "Speed Calculation".
start
xdotool key --clearmodifiers ctrl+shift+Tab
sleep 1
xdotool key --clearmodifiers Tab
sleep 0.5
xdotool key --clearmodifiers ctrl+Tab
sleep 0.5
xdotool key --clearmodifiers ctrl+Tab
await_warning "Ctrl+Tab from the Session Log's circuit list"
close_window
echo "passed"
