#!/bin/bash
# run-tests.sh TREE...
# Runs every test of every build tree and ends with the line "N passed, N failed".
set -uo pipefail
cd "$(dirname "$0")/.."

passed=0
failed=0
skipped=0
for tree in "$@"; do
    echo "=== tests of the $tree tree"
    log="build/$tree/ctest-summary.log"
    if [ "$tree" = native ] || [ "$tree" = fuzz ]; then
        ctest --preset "$tree" -j2 2>&1 | tee "$log"
    else
        # One test bed (display, prefix, wineserver) for the whole run of the tree.
        scripts/wine-env.sh "build/$tree" ctest --preset "$tree" -j2 --timeout 600 2>&1 | tee "$log"
    fi
    summary=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n1)
    if [ -z "$summary" ]; then
        echo "no ctest summary for the $tree tree"
        failed=$((failed + 1))
        continue
    fi
    total=$(echo "$summary" | sed -E 's/.* out of ([0-9]+).*/\1/')
    bad=$(echo "$summary" | sed -E 's/.* ([0-9]+) tests? failed.*/\1/')
    skip=$(grep -c -E '\(Skipped\)$' "$log" || true)
    passed=$((passed + total - bad - skip))
    skipped=$((skipped + skip))
    failed=$((failed + bad))
done
[ "$skipped" -gt 0 ] && echo "$skipped skipped: this machine cannot run them (see above)"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
