#!/usr/bin/env bash
# Compares the ABI of the built libqfstore.so.N with its baseline storage/abi/libqfstore.so.N.abi
# (an abidw dump). A removed or changed function, variable or type fails; added ones are printed
# and pass. An incompatible change needs a new SONAME (kLibraryFileName in
# storage/include/qfstore/client.h) and a baseline of its own, written with --update. A baseline,
# once committed, only ever grows: a rewrite that drops or changes anything of its first version
# fails too.
#
#   tools/check-abi.sh             check the build (CI runs it after make test)
#   tools/check-abi.sh --update    write the baseline from the build, when the check passes or
#                                  the SONAME has no baseline yet
# BUILD_DIR=build/x for another build (the default preset's, with debug information, is the one).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build/default}
update=no
[ "${1:-}" = --update ] && update=yes

library=$(readlink -f "$build/bin/libqfstore.so")
[ -f "$library" ] || { echo "check-abi: no library in $build/bin; build first" >&2; exit 1; }
soname=$(objdump -p "$library" | awk '$1 == "SONAME" { print $2 }')
baseline_name=storage/abi/$soname.abi
baseline=$root/$baseline_name

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
abidw --no-corpus-path --no-comp-dir-path --no-show-locs --exported-interfaces-only \
    --out-file "$work/build.abi" "$library"

# Compares two dumps; prints abidiff's report and fails unless the second only adds.
compare() {
    local status=0
    abidiff --no-show-locs "$1" "$2" >"$work/report" || status=$?
    if [ $((status & 3)) -ne 0 ]; then
        cat "$work/report" >&2
        echo "check-abi: abidiff could not compare $1 with $2 (status $status)" >&2
        return 2
    fi
    [ $status -eq 0 ] && return 0
    cat "$work/report"
    # abidiff flags only removed symbols as incompatible; a changed function or type is as bad.
    if [ $((status & 8)) -ne 0 ] || grep -Eq '[1-9][0-9]* (Removed|Changed)' "$work/report"; then
        return 1
    fi
    return 0
}

if [ ! -f "$baseline" ]; then
    if [ $update = yes ]; then
        mkdir -p "$(dirname "$baseline")"
        cp "$work/build.abi" "$baseline"
        echo "check-abi: wrote the first baseline of $soname: $baseline_name"
        exit 0
    fi
    echo "check-abi: no ABI baseline for $soname ($baseline_name); a new SONAME starts one with" \
        "tools/check-abi.sh --update" >&2
    exit 1
fi

status=0
compare "$baseline" "$work/build.abi" || status=$?
if [ $status -ne 0 ]; then
    [ $status -eq 1 ] && echo "check-abi: incompatible ABI change against $baseline_name." \
        "Keep the old functions and types, or give the library a new SONAME" \
        "(kLibraryFileName) and a new baseline." >&2
    exit 1
fi

# The committed baseline may only have grown since it was first committed.
first=$(git -C "$root" log --diff-filter=A --format=%H -- "$baseline_name" 2>/dev/null | tail -n1)
if [ -n "$first" ]; then
    git -C "$root" show "$first:$baseline_name" >"$work/first.abi"
    status=0
    compare "$work/first.abi" "$baseline" >/dev/null || status=$?
    if [ $status -ne 0 ]; then
        echo "check-abi: $baseline_name was rewritten with an incompatible change since" \
            "${first:0:7}; that needs a new SONAME" >&2
        exit 1
    fi
fi

if [ $update = yes ]; then
    cp "$work/build.abi" "$baseline"
    echo "check-abi: $baseline_name updated"
elif cmp -s "$work/build.abi" "$baseline"; then
    echo "check-abi: $soname matches its baseline"
else
    echo "check-abi: $soname is compatible with its baseline (additions above, if any, pass)"
fi
