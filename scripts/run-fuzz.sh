#!/bin/bash
# run-fuzz.sh FUZZER SEED_DIR WORK_DIR [LIBFUZZER_OPTION...]
# Runs a libFuzzer target on a copy of its seed corpus inside WORK_DIR (new inputs and
# crash artifacts stay there, never in the source tree) and prints how far it got.
set -uo pipefail
fuzzer=$1 seeds=$2 work=$3
shift 3

mkdir -p "$work/corpus" "$work/artifacts"
cp "$seeds"/* "$work/corpus/"
log="$work/fuzz.log"
"$fuzzer" "$work/corpus" -artifact_prefix="$work/artifacts/" -print_final_stats=1 "$@" >"$log" 2>&1
status=$?

name=$(basename "$fuzzer")
done_line=$(grep -E '^Done [0-9]+ runs in [0-9]+ second' "$log" | tail -n1)
if [ "$status" -ne 0 ] || [ -z "$done_line" ]; then
    tail -n 60 "$log"
    echo "$name: FAILED (exit $status); inputs kept in $work/artifacts"
    exit 1
fi
echo "$name: $done_line, corpus $(ls "$work/corpus" | wc -l) inputs"
