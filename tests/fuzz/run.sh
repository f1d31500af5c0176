#!/usr/bin/env bash
# Builds the fuzz target of the INI reader/writer and the string store with clang (libFuzzer, ASan,
# UBSan) into build/fuzz and runs it for the given number of seconds (default 60). The corpus lives in a temporary folder;
# an input that fails is kept in build/fuzz.
set -euo pipefail
cd "$(dirname "$0")/../.."

seconds="${1:-60}"
out=build/fuzz
mkdir -p "$out"
# The library's version comes from the newest release in CHANGELOG.md, as in the CMake build.
version=$(sed -n 's/^## \[\([0-9][0-9.]*\)\].*/\1/p' CHANGELOG.md | head -1)
clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    -I. -Istorage/include -Istorage -Istorage/core -DQFSTORE_VERSION="\"$version\"" \
    tests/fuzz/profile_fuzz.cpp platform/*.cpp storage/core/*.cpp storage/ini/*.cpp \
    storage/stores/*.cpp -lsqlite3 -ldl -o "$out/profile_fuzz"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir "$work/corpus" "$work/files"
printf '[S]\nk=v\n' >"$work/corpus/plain"
printf '\xEF\xBB\xBF; c\r\n[A] x\r\n k = "q" \r\n=e\r\n[]\r\nx' >"$work/corpus/mixed"
printf 'k0=1\n[a]\n[A]\nk=1\nK=2\n[b' >"$work/corpus/duplicates"
printf '\x49S]\t [Evil  "q" \r\n[x]\nk=v<\\={};/>' >"$work/corpus/pieces"
printf '\xFF\xFE[\x00S\x00]\x00\r\x00\n\x00k\x00=\x00v\x00\n\x00' >"$work/corpus/utf16le"
printf '\xFE\xFF\x00[\xDB\xFF\xDF\xFF\x00]\x00\n\xD8\x3D\xDE\x00\x00=\xDC\x00' >"$work/corpus/utf16be"

# Files go to memory when it is there: every write flushes to disk.
[ -d /dev/shm ] && [ -w /dev/shm ] && files="$(mktemp -d /dev/shm/profile-fuzz-XXXXXX)" || files="$work/files"
trap 'rm -rf "$work" "$files"' EXIT
PROFILE_FUZZ_DIR="$files" "$out/profile_fuzz" -max_total_time="$seconds" -max_len=4096 \
    -print_final_stats=1 -artifact_prefix="$out/" "$work/corpus"
