#!/usr/bin/env bash
# The rewrite of a big INI file (10.8 MB) under stress, with the figures it gives:
# - 16 writers, each setting 3 keys at once through the qfstore client: how many failed;
# - an in-place rewrite (the file has a second hard link) killed at each of its system calls from
#   its first touch of the file on (strace's fault injection), and inside its writes (after each
#   thirty-second of the bytes it writes): after the next open by the library (a qfstore read)
#   the file is the old or the new text byte for byte, or torn.
# Takes some minutes.
#
#   tools/rewrite-stress.sh        BUILD_DIR=build/x for another build (default build/default)
set -uo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
bin=${BUILD_DIR:-$root/build/default}/bin
for program in qfstore rewrite_child; do
    [ -x "$bin/$program" ] || { echo "no $bin/$program: build first" >&2; exit 1; }
done
command -v strace >/dev/null || { echo "strace is missing (tools/install-deps.sh)" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1

python3 - <<'PY'
lines, i, size = ["[A]", "a=1", "[T]"], 0, 0
while size < 10_800_000:
    line = "k%d=value number %d of the big section" % (i, i)
    lines.append(line)
    size += len(line) + 1
    i += 1
open("old.ini", "w").write("\n".join(lines) + "\n")
PY

cp old.ini contended.ini
start=$(date +%s.%N)
for w in $(seq 16); do
    (for k in 1 2 3; do "$bin/qfstore" ini contended.ini set T "w${w}_$k" "v$k" 2>/dev/null || echo failed; done) &
done >writers.log
wait
seconds=$(echo "$(date +%s.%N) - $start" | bc)
stored=0
for w in $(seq 16); do
    for k in 1 2 3; do grep -qx "w${w}_$k=v$k" contended.ini && stored=$((stored + 1)); done
done
echo "16 writers x 3 keys: $(grep -c failed writers.log) of 48 failed, $stored stored, ${seconds%???????} s"

cp old.ini new.ini && "$bin/rewrite_child" new.ini A a longer
writer=("$bin/rewrite_child" f.ini A a longer)
reset() { rm -f f.ini twin.ini .f.ini.*; cp old.ini f.ini; ln f.ini twin.ini; }
judge() {
    "$bin/qfstore" ini f.ini get T k4683 >/dev/null
    if cmp -s f.ini old.ini; then echo old; elif cmp -s f.ini new.ini; then echo new; else echo torn; fi
}
report() { echo "$1: old $(grep -c old "$2"), new $(grep -c new "$2"), torn $(grep -c torn "$2")"; }

reset
strace -qq -o calls.log "${writer[@]}"
mapfile -t points < <(awk '{ name = substr($0, 1, index($0, "(") - 1); n[name]++
    if (index($0, "\"f.ini\"")) touched = 1
    if (touched && name != "exit_group") print "inject=" name ":signal=KILL:when=" n[name] }' calls.log)
for point in "${points[@]}"; do
    reset
    (strace -qq -o /dev/null -e "$point" "${writer[@]}") 2>/dev/null
    judge
done >syscalls.log
report "killed at each of ${#points[@]} system calls" syscalls.log

total=$((56 + 2 * $(stat -c %s old.ini)))
for i in $(seq 0 31); do
    reset
    (QF_KILL_AFTER_BYTES=$((1 + i * total / 32)) "${writer[@]}") 2>/dev/null
    judge
done >writes.log
report "killed at 32 points inside its writes" writes.log
