#!/usr/bin/env bash
# Fails when a C++ source differs from what clang-format makes of it (.clang-format).
# Lists the files that differ; `clang-format -i FILE` fixes one.
set -euo pipefail

cd "$(dirname "$0")/.."
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    mapfile -t files < <(git ls-files -- '*.cpp' '*.h')
else
    mapfile -t files < <(find platform storage calculator tools tests bench \
                             -name '*.cpp' -o -name '*.h' | sort)
fi
status=0
for file in "${files[@]}"; do
    if ! clang-format --dry-run -Werror "$file" >/dev/null 2>&1; then
        echo "not formatted: $file"
        status=1
    fi
done
exit "$status"
