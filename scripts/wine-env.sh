#!/bin/bash
# wine-env.sh BUILD_DIR COMMAND [ARGS...]
# Runs COMMAND with a Wine test bed: a display (a private Xvfb when DISPLAY is unset),
# a WINEPREFIX inside BUILD_DIR (created on first use), a wineserver that stays up for
# the whole command, and quiet Wine. Works as root, without standard input.
# Nested calls reuse the bed of the outer one.
set -euo pipefail

build_dir=$(cd "$1" && pwd)
shift

if [ -n "${VEX_WINE_BED:-}" ]; then
    exec "$@"
fi

export WINEPREFIX="$build_dir/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export VEX_WINE_BED=1

# Some kernels run no 32-bit programs at all. Debian's wine script still picks its
# 32-bit loader when installed, so route every Wine command to the 64-bit one there;
# wine-exec.sh then skips the 32-bit test programs instead of failing them.
if [ -x /usr/lib/wine/wine ] && ! /usr/lib/wine/wine --version >/dev/null 2>&1 && [ -x /usr/lib/wine/wine64 ]; then
    shim="$build_dir/wine64-only"
    mkdir -p "$shim"
    for name in wine wine-stable; do
        printf '#!/bin/sh\nexec /usr/lib/wine/wine64 "$@"\n' >"$shim/$name"
        chmod +x "$shim/$name"
    done
    export PATH="$shim:$PATH"
    export VEX_WINE_NO_32BIT=1
    echo "wine-env: this machine cannot run 32-bit programs; 32-bit tests will be skipped" >&2
fi

xvfb_pid=""
cleanup() {
    wineserver -k >/dev/null 2>&1 || true
    if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; fi
    rm -f "${display_file:-}"
}
trap cleanup EXIT

if [ -z "${DISPLAY:-}" ]; then
    # -displayfd lets Xvfb pick a free display itself, so we never take over another's.
    display_file=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$display_file" </dev/null >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 1 100); do
        [ -s "$display_file" ] && break
        sleep 0.1
    done
    if [ ! -s "$display_file" ]; then
        echo "wine-env: Xvfb did not start" >&2
        exit 1
    fi
    export DISPLAY=":$(head -n1 "$display_file")"
fi

mkdir -p "$WINEPREFIX"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "wine-env: creating the Wine prefix $WINEPREFIX" >&2
    wineboot -i </dev/null >/dev/null 2>&1 || true
    # Without a window manager on the display, Wine waits 2 s for one whenever it hides a
    # managed window (a closing dialog, an ending program): leave window management to Wine.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1 || true
    wineserver -w
fi
wineserver -p </dev/null >/dev/null 2>&1
# Start Wine's own services now, with their output detached: a service started by the
# first test would inherit that test's pipes and keep ctest waiting after it exits.
wine wineboot </dev/null >/dev/null 2>&1 || true

set +e
"$@" </dev/null
status=$?
set -e
exit $status
