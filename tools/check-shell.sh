#!/usr/bin/env bash
# Runs shellcheck over the repository's shell scripts: every *.sh and every file whose first
# line starts a shell (.ci/run among them), following the files they source. Fails on any finding.
set -euo pipefail

cd "$(dirname "$0")/.."
scripts=()
while IFS= read -r file; do
    if [[ $file == *.sh ]] || head -n1 "$file" | grep -Eq '^#!.*/(env )?(ba|da)?sh\b'; then
        scripts+=("$file")
    fi
done < <(git ls-files)
echo "shellcheck: ${#scripts[@]} scripts"
shellcheck --external-sources "${scripts[@]}"
