#!/bin/bash
# run-main.sh [ARGS...]
# The main job of `make run`. Until VexQuilkit's hash checker exists, it prints the
# digests of the sample folder's files, computed by our digest code.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset native >/dev/null
cmake --build --preset native --target sample_digests >/dev/null
echo "The hash checker is not built yet: these are the sample files' digests from our digest code."
if [ $# -gt 0 ]; then
    build/native/tests/native/sample_digests "$@"
else
    find samples/hashcheck -type f | sort | xargs -d '\n' build/native/tests/native/sample_digests
fi
