#!/bin/sh
# Screenshots of the main window for the README, made under a private X server (Xvfb): the window
# with its bars in three display modes at 480x640 and at 1280x800, one in night (red) mode, and the
# option pages. Each shot starts the program with its own settings file, so nothing of the user's
# own settings is read or changed.
#
#   tools/screenshots.sh [path/to/celes] [output folder]     (defaults: build/celes, docs/)
#
# Needs: xvfb (Xvfb), imagemagick (import, convert).
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
celes=${1:-$here/build/celes}
out=${2:-$here/docs}
display=:${CELES_SHOT_DISPLAY:-57}
mkdir -p "$out"
work=$(mktemp -d)
trap 'kill $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT

Xvfb "$display" -screen 0 1600x1000x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
sleep 1

# shot NAME WIDTH HEIGHT MODE [extra INI lines] [-- celes options]
shot() {
    name=$1 width=$2 height=$3 mode=$4
    shift 4
    cfg=$work/$name
    mkdir -p "$cfg/TRX/celes" "$work/run-$name"
    chmod 700 "$work/run-$name"
    {
        printf '[CELES]\nCELES_DATA="%s"\n' "$here/data/celes.dat"
        printf '[OPTION3]\nFULL_SCREEN=0\n'
        printf '[WINDOW]\nX=0\nY=0\nWIDTH=%s\nHEIGHT=%s\n' "$width" "$height"
        printf '[SETTING]\nSEIZA=1\n'
        printf '[SEIZA]\nLINE=1\n'
        while [ $# -gt 0 ] && [ "$1" != "--" ]; do printf '%s\n' "$1"; shift; done
    } >"$cfg/TRX/celes/settings.ini"
    [ $# -gt 0 ] && shift
    XDG_CONFIG_HOME=$cfg XDG_RUNTIME_DIR=$work/run-$name DISPLAY=$display TZ=UTC \
        "$celes" --mode "$mode" "$@" >/dev/null 2>&1 &
    pid=$!
    sleep 4
    DISPLAY=$display import -window root -crop "${width}x${height}+0+0" +repage "$out/$name.png"
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    echo "$out/$name.png"
}

shot window-planisphere-480x640 480 640 planisphere
shot window-direction-480x640 480 640 direction
shot window-zenith-480x640 480 640 zenith
shot window-planisphere-1280x800 1280 800 planisphere
shot window-direction-1280x800 1280 800 direction
shot window-zoom-1280x800 1280 800 zoom
shot window-night-480x640 480 640 direction '[COLOR]' 'ALLRED=1' '[SHOW]' 'MILKEY=1'
shot options-dialog 480 640 planisphere -- --command 32775
