#!/bin/bash
# run-main.sh [ARGS...]
# The main job of `make run`: builds the win64 tree and starts VexQuilkit's hash checker
# (mode 3) on samples/hashcheck, or VexQuilkit with ARGS instead. With a display the user
# works its windows. Without one (CI) it runs in the private Xvfb of wine-env.sh, inside
# Wine's virtual desktop so that windows have frames, where a small driver confirms the
# options dialog with its defaults, prints the log, waits for a screenshot of the log
# window (build/win64/run-main.png), closes the log and passes on the exit code.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
cmake --preset win64 >/dev/null
cmake --build --preset win64 >/dev/null

# Wine sees the Unix file system as drive Z:.
windows_path() { printf 'Z:%s' "$1" | tr '/' '\\'; }

if [ $# -gt 0 ]; then
    args=("$@")
else
    args=(/M3 "$(windows_path "$root/samples/hashcheck")")
fi

if [ -n "${DISPLAY:-}" ]; then
    exec scripts/wine-env.sh build/win64 wine build/win64/bin/VexQuilkit.exe "${args[@]}"
fi

markers=$(mktemp -d)
trap 'rm -rf "$markers"' EXIT
export VEX_RUN_MARKERS
VEX_RUN_MARKERS=$(windows_path "$markers")
export RUN_MAIN_MARKERS="$markers" RUN_MAIN_SHOT="$root/build/win64/run-main.png"
scripts/wine-env.sh build/win64 bash -c '
    source scripts/wine-desktop.sh
    desktop_fonts
    desktop_run build/win64/tests/quilkit/RunMainDriver.exe "$@" &
    driver=$!
    for _ in $(seq 1 600); do
        [ -s "$RUN_MAIN_MARKERS/ready" ] && break
        kill -0 "$driver" 2>/dev/null || break
        sleep 0.1
    done
    if [ -s "$RUN_MAIN_MARKERS/ready" ]; then
        read -r x y width height <"$RUN_MAIN_MARKERS/ready"
        desktop_shot "$RUN_MAIN_SHOT" "$x" "$y" "$width" "$height" && echo "run-main: screenshot in $RUN_MAIN_SHOT" >&2
        touch "$RUN_MAIN_MARKERS/shot"
    fi
    wait "$driver" || true
    exit "$(cat "$RUN_MAIN_MARKERS/exit" 2>/dev/null || echo 1)"
' run-main "${args[@]}"
