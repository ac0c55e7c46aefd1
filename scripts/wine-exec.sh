#!/bin/bash
# wine-exec.sh BUILD_DIR PROGRAM.exe [ARGS...]
# The cross-compiling emulator of the Windows trees: runs one program under Wine in the
# test bed of scripts/wine-env.sh and returns its exit code; 77 (skipped) for a 32-bit
# program on a machine that cannot run 32-bit code.
# With VEX_WINE_DPI set (120, 144, 192...) the program runs at that display scale, in a
# prefix of its own for that DPI (BUILD_DIR/wineprefix-dpiN), made once as a copy of the
# test bed's prefix with HKCU\Control Panel\Desktop\LogPixels set; it has its own
# wineserver, which ends by itself a few seconds after its last program.
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

run_program() {
    if [ -n "${VEX_WINE_NO_32BIT:-}" ] && [ -f "$1" ] && is_32bit_program "$1"; then
        echo "skipped: this machine cannot run 32-bit programs ($1)"
        exit 77
    fi
    # Wine starts its desktop (explorer.exe /desktop) with the first program that needs one,
    # on that program's standard error, and keeps it while any program uses it: on ctest's
    # pipe it kept ctest waiting for a test long after the test ended, while other tests ran.
    # The error output goes through a file instead.
    local errors status=0
    errors=$(mktemp)
    wine "$@" 2>"$errors" || status=$?
    cat "$errors" >&2
    rm -f "$errors"
    exit $status
}
# Copies the bed's prefix under a lock, as tests of one DPI may start together: its files
# as hard links (a prefix holds over a gigabyte that no test changes in place), its
# registry as real copies.
use_dpi_prefix() {
    local dpi=$1 prefix="$build_dir/wineprefix-dpi$1"
    (
        flock 9
        if [ ! -f "$prefix/system.reg" ]; then
            rm -rf "$prefix" "$prefix.new"
            cp -al "$WINEPREFIX" "$prefix.new"
            for reg in "$prefix.new"/*.reg; do
                rm "$reg"
                cp -p "$WINEPREFIX/$(basename "$reg")" "$reg"
            done
            WINEPREFIX="$prefix.new" wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD \
                /d "$dpi" /f </dev/null >/dev/null 2>&1
            WINEPREFIX="$prefix.new" wineserver -w
            mv "$prefix.new" "$prefix"
        fi
    ) 9>"$build_dir/wineprefix-dpi.lock"
    export WINEPREFIX="$prefix"
    # Wine's services start with their output detached, as in wine-env.sh.
    wine wineboot </dev/null >/dev/null 2>&1 || true
}

run() {
    if [ -n "${VEX_WINE_DPI:-}" ]; then use_dpi_prefix "$VEX_WINE_DPI"; fi
    run_program "$@"
}
export build_dir
export -f is_32bit_program run run_program use_dpi_prefix
exec "$here/wine-env.sh" "$build_dir" bash -c 'run "$@"' run "$@"
