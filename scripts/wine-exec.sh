#!/bin/bash
# wine-exec.sh BUILD_DIR PROGRAM.exe [ARGS...]
# The cross-compiling emulator of the Windows trees: runs one program under Wine in the
# test bed of scripts/wine-env.sh and returns its exit code; 77 (skipped) for a 32-bit
# program on a machine that cannot run 32-bit code.
set -euo pipefail
build_dir=$1
shift
here=$(dirname "$0")

# The machine field of the PE header: 014c for i386.
is_32bit_program() {
    local pe machine
    pe=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
    machine=$(od -An -tx2 -j$((pe + 4)) -N2 "$1" | tr -d ' ')
    [ "$machine" = "014c" ]
}

run() {
    if [ -n "${VEX_WINE_NO_32BIT:-}" ] && is_32bit_program "$1"; then
        echo "skipped: this machine cannot run 32-bit programs ($1)"
        exit 77
    fi
    exec wine "$@"
}
export -f is_32bit_program run
exec "$here/wine-env.sh" "$build_dir" bash -c 'run "$@"' run "$@"
