# wine-desktop.sh: sourced inside a bed of wine-env.sh by run-main.sh and
# make-screenshots.sh. Programs run in Wine's virtual desktop, where Wine draws the frames
# of their windows itself, and pictures are taken of parts of that desktop.
VEX_DESKTOP_NAME=vex
VEX_DESKTOP_SIZE=1280x1024

# Wine draws caption buttons with its Marlett font and dialogs in Tahoma, but Debian's
# Wine does not load the fonts folder it ships: the prefix gets copies.
desktop_fonts() {
    local fonts="$WINEPREFIX/drive_c/windows/Fonts" font
    mkdir -p "$fonts"
    for font in /usr/share/wine/fonts/*; do
        [ -e "$fonts/${font##*/}" ] || cp "$font" "$fonts/"
    done
}

# desktop_run PROGRAM [ARGS...]: runs PROGRAM in the desktop; returns once the desktop has
# closed after the program's end. The program's exit code does not come through.
desktop_run() {
    wine explorer "/desktop=$VEX_DESKTOP_NAME,$VEX_DESKTOP_SIZE" "$@"
}

# desktop_shot FILE X Y WIDTH HEIGHT: writes that rectangle of the desktop, in the
# desktop's coordinates, to the PNG file FILE.
desktop_shot() {
    local file=$1 x=$2 y=$3 width=$4 height=$5 origin left top
    # The desktop's place on the X screen, from its last "+X+Y" (absolute) in xwininfo.
    origin=$(xwininfo -root -tree | grep -F "\"$VEX_DESKTOP_NAME - Wine desktop\"" | head -n1 |
        sed -n 's/.*+\(-\{0,1\}[0-9]*\)+\(-\{0,1\}[0-9]*\)[[:space:]]*$/\1 \2/p')
    read -r left top <<<"${origin:-0 0}"
    import -window root -crop "${width}x${height}+$((left + x))+$((top + y))" +repage "$file"
}
