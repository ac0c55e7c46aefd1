#!/bin/bash
# check-format.sh SOURCE_DIR [--fix]
# Checks (or, with --fix, applies) the C++ style of .clang-format on every source file.
set -euo pipefail
cd "$1"
mapfile -d '' files < <(git ls-files -z --cached --others --exclude-standard -- '*.cpp' '*.h' 2>/dev/null ||
    find quilkit skyperch shellext tests bench -name '*.cpp' -o -name '*.h' -print0)
existing=()
for f in "${files[@]}"; do [ -f "$f" ] && existing+=("$f"); done
if [ "${2:-}" = "--fix" ]; then
    clang-format -i "${existing[@]}"
    echo "formatted ${#existing[@]} files"
else
    clang-format --dry-run --Werror "${existing[@]}"
    echo "${#existing[@]} files follow .clang-format"
fi
