#!/bin/bash
# wine-exec.sh BUILD_DIR PROGRAM.exe [ARGS...]
# The cross-compiling emulator of the Windows trees: runs one program under Wine in the
# test bed of scripts/wine-env.sh and returns its exit code.
set -euo pipefail
build_dir=$1
shift
here=$(dirname "$0")
exec "$here/wine-env.sh" "$build_dir" wine "$@"
