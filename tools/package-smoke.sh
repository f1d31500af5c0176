#!/usr/bin/env bash
# Builds the three Debian packages (libqfstore1, gearsheet, libqfstore-dev), installs them and
# uses them as a user would: an unprivileged user with a fresh home, and then root with a scratch
# HOME, each start gearsheet on a virtual screen (Xvfb + openbox), close it through the window
# manager and find ~/.config/gearsheet/Gearsheet.INI made from the shipped file, with the window
# position added and no dialog shown, while the packaged files stay byte for byte as shipped
# (dpkg --verify). Then it checks the library's place, symbols file and version, runs qfstore from
# the PATH, builds the library's example client against libqfstore-dev (CMake and pkg-config), and
# checks the API reference, the menu entry, the AppStream metainfo, the man pages and the bash
# completion. Everything is removed again.
#
#   tools/package-smoke.sh          as root (CI); BUILD_DIR=build/x for another build
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build/default}
user="gearsheet-smoke"
[ "$(id -u)" -eq 0 ] || { echo "package-smoke.sh installs packages and adds a user: run it as root" >&2; exit 1; }
packages=(libqfstore1 gearsheet libqfstore-dev)
for p in "${packages[@]}"; do
    if dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed"; then
        echo "$p is installed already; remove it first, this test removes what it installs" >&2
        exit 1
    fi
done

work=$(mktemp -d)
chmod 755 "$work"
pids=()
installed=no
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
    [ $installed = yes ] &&
        apt-get -o DPkg::Lock::Timeout=120 remove -y -qq --purge "${packages[@]}" >/dev/null
    id "$user" >/dev/null 2>&1 && userdel "$user"
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "package-smoke: $*" >&2; exit 1; }
step() { echo "package-smoke: $*"; }

step "building the packages"
rm -f "$build"/*.deb
(cd "$build" && cpack -G DEB >/dev/null)
installed=yes
apt-get -o DPkg::Lock::Timeout=120 install -y -qq --no-install-recommends \
    "$build"/libqfstore1_*.deb "$build"/gearsheet_*.deb "$build"/libqfstore-dev_*.deb >/dev/null

home=$work/home
id "$user" >/dev/null 2>&1 && userdel "$user"
useradd --no-create-home --home-dir "$home" --shell /bin/bash "$user"
install -d -o "$user" -g "$user" -m 700 "$home"
# setpriv and env exec the command in their own process: started in the background with
# "${as_user[@]}", the command's id is $!, the one to stop.
as_user=(setpriv --reuid="$user" --regid="$user" --init-groups
         env -i HOME="$home" PATH=/usr/bin:/bin LC_ALL=C.UTF-8)
as_user() { "${as_user[@]}" ${DISPLAY:+DISPLAY=$DISPLAY} "$@"; }

step "the program folder belongs to root and the user may not write there"
[ "$(stat -c %U /usr/lib/gearsheet)" = root ] || fail "/usr/lib/gearsheet is not root's"
as_user test -w /usr/lib/gearsheet && fail "the test user may write /usr/lib/gearsheet"
[ "$(readlink -f /usr/bin/gearsheet)" = /usr/lib/gearsheet/Gearsheet ] || fail "gearsheet link"

step "gearsheet on a virtual screen"
exec 3>"$work/display"
"${as_user[@]}" Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -ac >"$work/xvfb.log" 2>&1 &
pids+=($!)
exec 3>&-
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
DISPLAY=:$(head -n1 "$work/display")
[ "$DISPLAY" != : ] || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
export DISPLAY
# Openbox runs the startup command once it manages windows; a window mapped earlier may stay
# unmanaged and unmapped.
"${as_user[@]}" DISPLAY="$DISPLAY" openbox --sm-disable --startup "touch $home/openbox-ready" \
    >"$work/openbox.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -e "$home/openbox-ready" ] && break; sleep 0.1; done
[ -e "$home/openbox-ready" ] || fail "openbox did not start: $(cat "$work/openbox.log")"

# Starts gearsheet through the command given ("${as_user[@]}" or "${as_root[@]}"), closes it with
# Alt+F4 through the window manager and waits for it to end; no window but the main one may show.
run_gearsheet() {
    "$@" DISPLAY="$DISPLAY" gearsheet >"$work/gearsheet.log" 2>&1 &
    local gearsheet=$!
    pids+=("$gearsheet")
    local window
    window=$(as_user timeout 20 xdotool search --sync --onlyvisible --name '^Arvel Gearsheet$' |
        head -n1) || fail "no main window; windows: $(as_user xwininfo -root -tree 2>&1)
$(cat "$work/gearsheet.log")"
    sleep 0.5  # a dialog raised while starting would be up by now
    local shown
    shown=$(as_user xdotool search --onlyvisible --name . getwindowname %@ | sort -u)
    [ "$shown" = "Arvel Gearsheet" ] || fail "windows other than the main window: $shown"
    as_user xdotool windowactivate --sync "$window" key --clearmodifiers alt+F4 ||
        fail "could not press Alt+F4 on the main window"
    for _ in $(seq 100); do kill -0 "$gearsheet" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$gearsheet" 2>/dev/null && fail "gearsheet did not close through the window manager"
    wait "$gearsheet" || fail "gearsheet ended with status $?: $(cat "$work/gearsheet.log")"
}

shipped=/usr/lib/gearsheet/Gearsheet.INI
# The settings of the owner given, in the home given: the shipped file with the window position
# added, nothing logged; and the packaged files still exactly as shipped.
check_settings() {
    local owner=$1 folder=$2/.config/gearsheet
    local settings=$folder/Gearsheet.INI
    [ -f "$settings" ] || fail "no $settings"
    [ "$(stat -c %U "$settings")" = "$owner" ] || fail "$settings is not $owner's"
    cmp -s -n "$(stat -c %s "$shipped")" "$shipped" "$settings" ||
        fail "$settings does not start with the shipped file"
    local key value
    for key in Top Left; do
        value=$(qfstore ini "$settings" get WINDOW_POS "$key") || fail "no WINDOW_POS $key"
        [[ $value =~ ^-?[0-9]+$ ]] || fail "WINDOW_POS $key is '$value'"
    done
    [ ! -e "$folder/error.log" ] || fail "an error was logged: $(cat "$folder/error.log")"
    cmp -s "$shipped" "$root/calculator/data/Gearsheet.INI" || fail "the shipped file changed"
    dpkg --verify "${packages[@]}" || fail "dpkg --verify found packaged files changed"
}

step "an ordinary user: settings in ~/.config/gearsheet"
run_gearsheet "${as_user[@]}"
check_settings "$user" "$home"

step "root with a scratch HOME: settings there too, nothing written under /usr"
root_home=$work/root-home
mkdir -m 700 "$root_home"
as_root=(env -i HOME="$root_home" PATH=/usr/bin:/bin LC_ALL=C.UTF-8)
run_gearsheet "${as_root[@]}"
check_settings root "$root_home"
[ -z "$(find /usr/lib/gearsheet -newer "$root_home" -print -quit)" ] ||
    fail "root's run wrote under /usr/lib/gearsheet: $(find /usr/lib/gearsheet -newer "$root_home")"

step "the library: multiarch folder, symbols file, one version everywhere, qfstore on the PATH"
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
library=/usr/lib/$multiarch/libqfstore.so.1
[ "$(dpkg -S "$library" | cut -d: -f1)" = libqfstore1 ] || fail "$library is not libqfstore1's"
[ "$(dpkg -S /usr/lib/"$multiarch"/libqfstore.so | cut -d: -f1)" = libqfstore-dev ] ||
    fail "the link libqfstore.so is not libqfstore-dev's"
if compgen -G "/usr/lib/gearsheet/libqfstore*" >/dev/null; then
    fail "a second libqfstore in /usr/lib/gearsheet"
fi
symbols=$(dpkg-query --control-path libqfstore1 symbols)
cmp -s "$symbols" "$root/packaging/libqfstore1.symbols" || fail "the shipped symbols file differs"
for p in gearsheet libqfstore-dev; do
    dpkg-query -W -f='${Depends}' "$p" | grep -q 'libqfstore1 (= ' || fail "$p does not depend on libqfstore1"
done
version=$(sed -n 's/^## \[\([0-9.]*\)\].*/\1/p' "$root/CHANGELOG.md" | head -n1)
for p in "${packages[@]}"; do
    [ "$(dpkg-query -W -f='${Version}' "$p")" = "$version" ] || fail "$p is not version $version"
done
[ "$(as_user qfstore --version)" = "Qfstore - $version" ] ||
    fail "qfstore --version says '$(as_user qfstore --version)', the changelog $version"

step "the example client against libqfstore-dev"
src=$work/example
cp -r "$root/storage/examples" "$src"
chown -R "$user:$user" "$src"
as_user cmake -S "$src" -B "$src/build" -G Ninja >/dev/null
as_user cmake --build "$src/build" >/dev/null
as_user "$src/build/qfstore_example" >/dev/null || fail "the CMake-built example failed"
# shellcheck disable=SC2046
as_user g++ -std=c++20 "$src/example.cpp" -o "$src/by-pkg-config" $(pkg-config --cflags --libs qfstore)
as_user "$src/by-pkg-config" >/dev/null || fail "the pkg-config-built example failed"

step "the API reference"
grep -q "Thread" /usr/share/doc/libqfstore-dev/html/index.html || fail "no API reference index page"
[ -f /usr/share/doc/libqfstore-dev/html/classqfstore_1_1QfINIFileHandler.html ] ||
    fail "no page of QfINIFileHandler in the API reference"

step "menu entry, metainfo, man pages, completion"
desktop-file-validate /usr/share/applications/gearsheet.desktop
appstreamcli validate --no-net /usr/share/metainfo/gearsheet.metainfo.xml >/dev/null ||
    appstreamcli validate --no-net /usr/share/metainfo/gearsheet.metainfo.xml
for page in gearsheet qfstore; do
    man -l "/usr/share/man/man1/$page.1.gz" 2>/dev/null | grep -q "^NAME" || fail "man page $page"
done
completion=$(bash -c 'source /usr/share/bash-completion/completions/qfstore
    COMP_WORDS=(qfstore ini f.ini g); COMP_CWORD=3; _qfstore; echo "${COMPREPLY[*]}"')
[ "$completion" = get ] || fail "completion of 'qfstore ini f.ini g' gave '$completion'"

step "passed"
