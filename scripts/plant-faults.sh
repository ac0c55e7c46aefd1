#!/bin/bash
# plant-faults.sh [COMMIT] [FAULT...]
# Plants a few faults, one at a time, in a copy of COMMIT (HEAD when not given), builds the
# test programs that ought to catch each and runs them; prints "caught" or "MISSED" per
# fault. The real tree is never changed: the copy is made with git archive under
# $PLANT_FAULTS_DIR (/tmp/plant-faults-$USER when unset), and its build trees stay there so
# that a second run rebuilds little. Name faults (digest, colour, entry, stopped, count) to
# run only those. A failure counts as a catch only when the same tests, built the same way,
# pass without the fault. Exits 1 when a fault was missed or could not be planted.
#
# Builds use ccache as the project's brief asks, with the copy as its base folder, so that
# objects built from the same sources elsewhere are found again.
set -uo pipefail

repo=$(git rev-parse --show-toplevel)
commit=HEAD
if [ $# -gt 0 ] && git -C "$repo" rev-parse --verify --quiet "$1^{commit}" >/dev/null; then
    commit=$1
    shift
fi
work=${PLANT_FAULTS_DIR:-/tmp/plant-faults-${USER:-$(id -un)}}
src=$work/src
log=$work/log
mkdir -p "$work" "$log"

export CMAKE_CXX_COMPILER_LAUNCHER=ccache CMAKE_C_COMPILER_LAUNCHER=ccache CCACHE_BASEDIR="$src" \
    CCACHE_DIR=${CCACHE_DIR:-/work/.ccache} CCACHE_NOHASHDIR=1

# A fresh copy of the commit's files; the build trees beside them are kept.
mkdir -p "$src"
find "$src" -mindepth 1 -maxdepth 1 ! -name build -exec rm -rf {} +
# Extracted with today's times (-m): with the commit's own, an older commit's files look older
# than the objects the last run built, and its tests would run stale programs.
git -C "$repo" archive "$commit" | tar -x -m -C "$src" || exit 2
echo "plant-faults: $(git -C "$repo" rev-parse --short "$commit") in $src"

# name | file | sed expression | tree | build targets | ctest regex
faults=(
    "digest|quilkit/digest/Sha256Digest.cpp|s/Sha256BlocksShaExtensions(state, data, blocks);/Sha256BlocksShaExtensions(state, data, blocks - (blocks > 1));/|native|digest_tests_native|^digest_tests_native\$"
    "colour|quilkit/log/LogRtf.cpp|s/return \"\\\\\\\\b\\\\\\\\cf2 \";/return \"\\\\\\\\b\\\\\\\\cf1 \";/|win64|quilkit_log_tests|^quilkit_log_tests\$"
    "entry|quilkit/checksums/EntryTarget.cpp|s/part.substr(0, part.find_first_of(u\".:\"))/part.substr(0, part.find_first_of(u\".\"))/|native|quilkit_parser_tests|^quilkit_parser_tests\$"
    "stopped|quilkit/run/ToolRun.cpp|s/m_feed.NotePathsNotDone(uint64_t(tally.notDone));/m_feed.NotePathsNotDone(uint64_t(tally.notDone) + 1);/|win64|quilkit_core_tests|^quilkit_core_tests\$"
    "count|quilkit/log/RunCounts.cpp|s/FormatText(count == 1 ? singular : plural,/FormatText(count <= 1 ? singular : plural,/|native|quilkit_parser_tests|^quilkit_parser_tests\$"
)

# The files keep the commit's times, older than the objects an earlier run built with its
# fault planted in them: those files are made newer, so that their clean form is built.
for fault in "${faults[@]}"; do
    IFS='|' read -r _ file _ <<<"$fault"
    touch "$src/$file"
done

configured=""
configure() {  # tree
    case " $configured " in *" $1 "*) return 0 ;; esac
    (cd "$src" && cmake --preset "$1" >"$log/configure-$1.txt" 2>&1) || return 1
    configured="$configured $1"
}

run_tests() {  # tree regex
    if [ "$1" = native ]; then
        (cd "$src" && ctest --preset native -R "$2")
    else
        (cd "$src" && scripts/wine-env.sh "build/$1" ctest --preset "$1" -R "$2")
    fi
}

selected=()
for fault in "${faults[@]}"; do
    if [ $# -eq 0 ] || [[ " $* " == *" ${fault%%|*} "* ]]; then selected+=("$fault"); fi
done

# A failure counts as a catch only where the same tests pass without the fault.
declare -A baseline
for fault in "${selected[@]}"; do
    IFS='|' read -r name file expression tree targets regex <<<"$fault"
    key="$tree|$targets|$regex"
    [ -n "${baseline[$key]:-}" ] && continue
    # shellcheck disable=SC2086  # the targets are a list
    if configure "$tree" && (cd "$src" && cmake --build --preset "$tree" -j2 --target $targets) \
        >"$log/build-clean-$name.txt" 2>&1 && run_tests "$tree" "$regex" >"$log/test-clean-$name.txt" 2>&1; then
        baseline[$key]=passes
    else
        baseline[$key]=fails
        echo "$tree $regex: fails without a fault (see $log/*-clean-$name.txt)"
    fi
done

failed=0
for fault in "${selected[@]}"; do
    IFS='|' read -r name file expression tree targets regex <<<"$fault"
    if [ "${baseline[$tree|$targets|$regex]}" != passes ]; then
        echo "$name: UNKNOWN (its tests fail without the fault)"
        failed=1
        continue
    fi
    cp "$src/$file" "$work/pristine"
    sed -i "$expression" "$src/$file"
    if cmp -s "$src/$file" "$work/pristine"; then
        echo "$name: NOT PLANTED ($file no longer has the line the fault changes)"
        failed=1
        continue
    fi
    result=MISSED
    # shellcheck disable=SC2086  # the targets are a list
    if ! configure "$tree" || ! (cd "$src" && cmake --build --preset "$tree" -j2 --target $targets) \
        >"$log/build-$name.txt" 2>&1; then
        result="NOT BUILT (see $log/build-$name.txt)"
    elif ! run_tests "$tree" "$regex" >"$log/test-$name.txt" 2>&1; then
        result=caught
    fi
    cp "$work/pristine" "$src/$file"
    if [ "$result" = caught ]; then
        # The tests that failed, as gtest's summary names them.
        by=$(sed -n 's/^\[  FAILED  \] \([^ ,]*\)\(, where .*\)\{0,1\}$/\1/p' "$log/test-$name.txt" | sort -u | paste -sd ' ')
        result="caught${by:+ by $by}"
    fi
    echo "$name: $result ($file; $tree: $targets)"
    [[ "$result" == caught* ]] || failed=1
done
exit $failed
