#!/usr/bin/env bash
# One session of ordinary use of Gearsheet, as a rider works, under a real window manager (openbox)
# on a virtual 1920x1200 screen, through the keyboard and the mouse alone (xdotool), then a restart:
#   - three circuits on the Circuit Database page (names, sprockets, suspension cells, "Add");
#   - the sprocket finder for one of them: an observation, a suggested pair, "Use this pair", "Add";
#   - that circuit's sprockets copied to the Details page and compared on the Gear Planner with a
#     proposed pair;
#   - its pit card exported as PDF through the save dialog;
#   - two sessions at that circuit on the Session Log ("New Session", fields, "Save"), "Compare";
#   - Alt+F4, a restart: the settings file's records, the session files and the exported card are
#     exactly as put; the restarted program shows the last circuit and, chosen again on the Session
#     Log, the first circuit's two sessions (read through its own pit card and CSV export).
# Clicks are at window coordinates of the 1800x1050 window the script makes, at 100 %.
#
#   rider_session_test.sh BIN_FOLDER SHIPPED_SETTINGS
# SHOTS=FOLDER keeps a screenshot of each step there. On a failure the screenshot of the screen is
# kept and its path printed. Exit status 77 (skipped) when Xvfb, openbox, xdotool or import is
# missing.
set -euo pipefail

bin=$1
shipped=$2
# shellcheck source=tests/calculator/window/virtual_screen.sh
source "$(dirname "$0")/virtual_screen.sh"
need_programs Xvfb openbox xdotool import pdftotext
shots=${SHOTS:-}
# Keeps the screen as it is, outside the temporary folder.
keep_screen() {
    local picture
    picture=$(mktemp --suffix=.png "${TMPDIR:-/tmp}/rider_session_failure.XXXXXX")
    import -window root "$picture" 2>/dev/null && echo "  screenshot: $picture"
}
fail() {
    echo "FAILED: $*"
    keep_screen || true
    [ -s "$work/program.log" ] && sed 's/^/  program: /' "$work/program.log"
    exit 1
}
# A picture of the screen named after the step, when SHOTS names a folder.
shot() {
    [ -z "$shots" ] && return 0
    mkdir -p "$shots"
    import -window root "$shots/$1.png"
}

start_screen
copy_program "$bin"
mkdir "$work/home"
cp "$bin/libgearsheet_chart.so" "$app/"
cp "$shipped" "$app/Gearsheet.INI"
export QT_QPA_PLATFORM=xcb HOME="$work/home" LC_ALL=C.UTF-8
unset QT_SCALE_FACTOR
today=$(date +%F)

# Starts the program, waits for its window (`window`) and makes it 1800x1050.
start() {
    "$app/Gearsheet" >>"$work/program.log" 2>&1 &
    program=$!
    window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Arvel Gearsheet$' | head -1) ||
        true
    [ -n "$window" ] || fail "the main window did not appear"
    xdotool windowactivate --sync "$window"
    xdotool windowsize --sync "$window" 1800 1050
    sleep 0.5
}
close_window() {
    xdotool windowactivate --sync "$window" key --clearmodifiers alt+F4
    await bash -c "! kill -0 $program" || fail "the program did not end after Alt+F4"
    wait "$program" || fail "the program ended with status $?"
}

# A click at X, Y inside the window.
click() {
    xdotool mousemove --window "$window" "$1" "$2" click 1
    sleep 0.2
}
# Clicks a text box at X, Y, replaces its text with TEXT and leaves it with Tab.
fill() {
    click "$1" "$2"
    xdotool key --clearmodifiers ctrl+a
    xdotool type --delay 10 "$3"
    xdotool key --clearmodifiers Tab
    sleep 0.1
}
# Types TEXT into the suspension cell at ROW (1 … 10) and COLUMN (0 front, 1 rear).
cell() {
    click $((194 + 150 * $2)) $((161 + 22 * $1))
    xdotool type --delay 10 "$3"
    xdotool key --clearmodifiers Return
}
# Ctrl+Tab to the next page.
page() {
    xdotool key --clearmodifiers ctrl+Tab
    sleep 0.8
}
# Answers the save dialog TITLE with PATH.
save_as() {
    local dialog
    dialog=$(timeout 10 xdotool search --sync --onlyvisible --name "^$1\$" | head -1) || true
    [ -n "$dialog" ] || fail "no dialog \"$1\""
    xdotool windowactivate --sync "$dialog" key --clearmodifiers ctrl+a
    xdotool type --delay 10 "$2"
    xdotool key --clearmodifiers Return
    await test -s "$2" || fail "nothing was written to $2"
    await bash -c "! xdotool search --onlyvisible --name '^$1\$'" || fail "\"$1\" stayed open"
    xdotool windowactivate --sync "$window"
}
# The lines of SECTION in FILE.
section() { sed -n "/^\[$1\]/,/^\[/{/^\[/d;p}" "$2"; }
# Fails unless WHAT (a text) is EXPECTED, showing the difference.
same() {
    [ "$2" = "$3" ] && return 0
    diff <(printf '%s\n' "$3") <(printf '%s\n' "$2") | sed 's/^/  /' || true
    fail "$1 differs (< expected, > found)"
}

# The Circuit Database page: "Clear", a name, sprockets and cells, "Add".
add_circuit() {
    click 61 411
    fill 256 100 "$1"
    fill 144 133 "$2"
    fill 296 133 "$3"
}
start
page
page
add_circuit "Donington Park" 15 44
# Static sag front and rear, then the front loaded sag: Tab goes on to the next row.
click 194 183
xdotool type --delay 10 32
xdotool key --clearmodifiers Tab
xdotool type --delay 10 28
xdotool key --clearmodifiers Tab
xdotool type --delay 10 1.50
xdotool key --clearmodifiers Return
# The finder: 160 mph in 6th at the end of the straight on 15/44; its first pair is 15/45.
fill 573 105 160
sleep 0.5
click 466 345
click 481 554
click 294 411
shot 01-circuit-finder
add_circuit "Brands Hatch" 16 46
cell 1 0 30
cell 1 1 27
cell 5 0 "8 clicks"
cell 6 1 "12 out"
click 294 411
add_circuit "Snetterton 300" 15 43
cell 3 0 845
cell 3 1 320
cell 10 1 "new chain"
click 294 411
# Back to Donington Park with the Up key in the list, its sprockets to the Details page.
click 256 100
xdotool key --clearmodifiers Up
sleep 0.3
xdotool key --clearmodifiers Up
sleep 0.5
click 378 133
shot 02-circuit-chosen
click 1719 554
save_as "Export Pit Card" "$work/home/Donington card.pdf"

# The Gear Planner: 16/47 proposed against the Details page's 15/45.
page
fill 386 129 16
fill 386 158 47
shot 03-planner

# The Session Log (Ctrl+Tab from the tyre list): its first circuit, Donington Park, starts with a
# new session.
page
fill 353 499 "Practice 1"
xdotool key --clearmodifiers d
fill 353 555 14
fill 353 583 21
fill 281 689 2.1
fill 411 689 1.6
fill 353 745 8
fill 353 772 1:42.385
fill 339 801 160
xdotool key --clearmodifiers 6
click 1141 915
xdotool type --delay 10 "Front pushing in turn 1"
click 72 1004
click 1442 99
fill 353 499 "Practice 2"
fill 353 745 10
fill 353 772 101.9
fill 339 801 162
click 72 1004
click 1531 99
sleep 0.5
shot 04-session-compare
close_window

# What the session wrote.
circuits="Donington Park=32|1.50|||||||||28||||||||||15|45
Brands Hatch=30||||8 clicks||||||27|||||12 out|||||16|46
Snetterton 300=||845||||||||||320|||||||new chain|15|43"
gearing="Donington Park=speed|160|mph|6|0|15|44|15500|79.2|Slick 180/640R17"
planner="Front=16
Rear=47"
suspension="Static Sag:|Loaded Sag:|Ride Height:|Prelead:|Compression:|Rebound:|Other1:|Other2:"
suspension+="|Other3:|Other4:|32|1.50|||||||||28|||||||||"
sessions="1=Donington Park|$today|Practice 1|dry|14|21||Slick 180/640R17|bar|2.1|1.6|||8|102.385"
sessions+="|160|mph|6||15|45|$suspension|Front pushing in turn 1
2=Donington Park|$today|Practice 2|dry|14|21||Slick 180/640R17|bar|2.1|1.6|||10|101.900|162"
sessions+="|mph|||15|45|$suspension|"
check_files() {
    same "[CIRCUITS] $1" "$(section CIRCUITS "$app/Gearsheet.INI")" "$circuits"
    same "[CIRCUIT_GEARING] $1" "$(section CIRCUIT_GEARING "$app/Gearsheet.INI")" "$gearing"
    same "[PLANNER] $1" "$(section PLANNER "$app/Gearsheet.INI")" "$planner"
    same "the session index $1" "$(cat "$app/Gearsheet.sessions.INI")" \
        "$(printf '[SESSION_FILES]\nDonington Park=1.INI')"
    same "the sessions $1" "$(section SESSIONS "$app/Gearsheet.sessions/1.INI")" "$sessions"
}
check_files "after the session"
# The first lines of a pit card's text, runs of blanks as two.
card_top() { pdftotext -layout "$1" - | sed -e 's/ \{2,\}/  /g' -e '/^ *$/d' | head -"$2"; }
same "the pit card" "$(card_top "$work/home/Donington card.pdf" 4 | sed '1s/  .*//')" \
    "Donington Park
Sprockets: 15 front, 45 rear  FRONT  REAR
Final drive: 3  Static Sag:  32  28
Tyre: Slick 180/640R17  Loaded Sag:  1.50"

# The restart shows the last circuit and, on the Session Log chosen again, Donington Park's two
# sessions.
start
page
page
shot 05-restart-circuit
click 1719 554
save_as "Export Pit Card" "$work/home/after restart.pdf"
same "the circuit shown after the restart" \
    "$(card_top "$work/home/after restart.pdf" 2 | sed '1s/  .*//')" \
    "Snetterton 300
Sprockets: 15 front, 43 rear  FRONT  REAR"
page
page
# The Session Log turns to the circuit the Circuit Database page shows; the rider picks Donington
# Park, the first in its list.
click 200 99
xdotool key --clearmodifiers Home Return
sleep 0.3
shot 06-restart-sessions
click 1621 99
save_as "Export Sessions" "$work/home/after restart.csv"
same "the sessions shown after the restart" \
    "$(cut -d, -f1-3 "$work/home/after restart.csv" | sed $'1s/^\uFEFF//' | tr -d '\r')" \
    "$(printf 'Circuit,Date,Session\nDonington Park,%s,Practice 1\nDonington Park,%s,Practice 2' \
        "$today" "$today")"
close_window
check_files "after the restart"
echo "passed"
