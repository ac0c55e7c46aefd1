#!/bin/bash
# make-screenshots.sh
# The pictures of README.md, in docs/images/. The real programs run under Wine in its
# virtual desktop, so that their windows have frames; docs/shots/ShotsDriver.exe starts
# them, sets up each picture and names the part of the desktop to take, and this script
# takes it from the X server (ImageMagick's import) and stores it with a palette.
# Skyperch is built from its own sources as a 64-bit program here: the machine may run no
# 32-bit code, and its window is the same. A second desktop at 150 % (LogPixels 144, in a
# prefix of its own) gives the log and Skyperch again, as *-150.png; a third, under a
# Japanese locale, the hash checker and its log as README.ja.md shows them, as *-ja.png.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
pictures=(main-dialog context-menu cleaner time-changer hash-checker log skyperch log-failed cleaner-preview log-150 skyperch-150
          hash-checker-ja log-ja)

cmake --preset win64 >/dev/null
cmake --build --preset win64 --target ShotsDriver
skyperch_tree=build/shots/skyperch64
cmake -S . -B "$skyperch_tree" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw64.cmake" \
    -DVEX_TREE=win32 -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$skyperch_tree" --target Skyperch

# Wine sees the Unix file system as drive Z:.
windows_path() { printf 'Z:%s' "$1" | tr '/' '\\'; }

markers=$(mktemp -d)
trap 'rm -rf "$markers"' EXIT
export SHOTS_ROOT="$root" SHOTS_MARKERS="$markers"
export SHOTS_DRIVER="$root/build/win64/docs/shots/ShotsDriver.exe"
export SHOTS_ARGS="$(windows_path "$markers") C:\\samples\\hashcheck $(windows_path "$root/$skyperch_tree/skyperch/Skyperch.exe")"
mkdir -p build/shots docs/images
# Always a private X server, so that nothing else on the screen gets into a picture; Wine
# works from the marker folder, never from inside the repository.
cd "$markers"
# take_pictures BUILD_DIR LOGPIXELS [SUFFIX [LOCALE]]
take_pictures() {
    mkdir -p "$root/$1"
    SHOTS_DPI=$2 SHOTS_SUFFIX=${3:-} env -u DISPLAY ${4:+LC_ALL=$4} \
        "$root/scripts/wine-env.sh" "$root/$1" bash -c '
    source "$SHOTS_ROOT/scripts/wine-desktop.sh"
    desktop_fonts
    wine reg add "HKCU\\Control Panel\\Desktop" /v LogPixels /t REG_DWORD /d "$SHOTS_DPI" /f >/dev/null 2>&1
    # The samples as a user would have them, at a short path of drive C:.
    samples="$WINEPREFIX/drive_c/samples"
    rm -rf "$samples"
    mkdir -p "$samples"
    cp -R "$SHOTS_ROOT/samples/hashcheck" "$samples/"
    # The programs start with the settings of a new user.
    wine reg delete "HKCU\\Software\\VexQuillkit" /f >/dev/null 2>&1 || true

    desktop_run "$SHOTS_DRIVER" $SHOTS_ARGS $SHOTS_SUFFIX &
    desktop=$!
    while :; do
        for rect in "$SHOTS_MARKERS"/*.rect; do
            [ -e "$rect" ] || continue
            name=$(basename "$rect" .rect)
            read -r x y width height <"$rect"
            desktop_shot "$SHOTS_MARKERS/$name.png" "$x" "$y" "$width" "$height"
            convert "$SHOTS_MARKERS/$name.png" +dither -colors 256 -strip PNG8:"$SHOTS_ROOT/docs/images/$name.png"
            echo "screenshots: docs/images/$name.png (${width}x$height)" >&2
            mv "$rect" "$SHOTS_MARKERS/$name.taken"
            touch "$SHOTS_MARKERS/$name.done"
        done
        kill -0 "$desktop" 2>/dev/null || break
        sleep 0.1
    done
    wait "$desktop"
'
}
take_pictures build/shots 96
take_pictures build/shots-150 144 -150
# Wine takes the user's language from the locale it starts in.
take_pictures build/shots-ja 96 -ja ja_JP.UTF-8
missing=0
for name in "${pictures[@]}"; do
    if [ ! -e "$markers/$name.taken" ]; then
        echo "screenshots: no picture $name" >&2
        missing=1
    fi
done
exit $missing
