# Sourced by the tests that run Gearsheet under a real window manager: a temporary folder that is
# removed on exit with every program started in the background, a wait with a time limit, and a
# virtual 1920x1200 screen (Xvfb) with openbox. The sourcing script defines `fail MESSAGE`.
#
#   need_programs PROGRAM...   exits with 77 (skipped) unless every PROGRAM is installed
#   start_screen               starts the screen and the window manager, exports DISPLAY
#   copy_program BIN_FOLDER    copies the program and its storage library into $app
# shellcheck shell=bash

need_programs() {
    for program in "$@"; do
        if ! command -v "$program" >/dev/null; then
            echo "SKIPPED: $program is missing (tools/install-deps.sh installs it)"
            exit 77
        fi
    done
}

work=$(mktemp -d)
app="$work/app"
background=()
cleanup() {
    for pid in "${background[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# Runs `$@` until it succeeds, for at most 20 seconds.
await() {
    for _ in $(seq 200); do
        "$@" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    return 1
}

# A display of its own (Xvfb picks a free number and reports it once it is ready), and openbox
# with its default settings.
start_screen() {
    Xvfb -displayfd 3 -screen 0 1920x1200x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
    background+=($!)
    await test -s "$work/display" || fail "Xvfb did not start"
    DISPLAY=":$(head -1 "$work/display")"
    export DISPLAY
    XDG_CONFIG_HOME="$work/config" openbox --sm-disable --startup "touch $work/wm-ready" \
        >/dev/null 2>&1 &
    background+=($!)
    await test -e "$work/wm-ready" || fail "openbox did not start"
}

copy_program() {
    mkdir "$app"
    cp "$1/Gearsheet" "$app/"
    cp -P "$1"/libqfstore.so* "$app/"
}
