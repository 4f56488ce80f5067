#!/bin/sh
# Screenshots of the observer's own things for the README, made under a private X server (Xvfb): the
# place dialog "観測場所", the tap dialog "ﾀｯﾌﾟ情報" filled in, and the chart with that tap registered
# and labelled. Each run starts the program with its own settings file and a copy of the data folder,
# so nothing of the user's own settings, taps or descriptions is read or changed.
#
#   tools/userdata-screenshots.sh [path/to/celes] [output folder]     (defaults: build/celes, docs/)
#
# Needs: xvfb (Xvfb), xdotool, imagemagick (import).
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
celes=${1:-$here/build/celes}
out=${2:-$here/docs}
display=:${CELES_SHOT_DISPLAY:-58}
mkdir -p "$out"
work=$(mktemp -d)
pid=
trap 'kill $pid $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT

Xvfb "$display" -screen 0 1600x1000x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
sleep 1

mkdir -p "$work/data" "$work/cfg/TRX/celes" "$work/run"
chmod 700 "$work/run"
cp "$here/data/"*.dat "$here/data/"*.p9? "$work/data/"
{
    printf '[CELES]\nCELES_DATA="%s"\n' "$work/data/celes.dat"
    printf '[OPTION3]\nFULL_SCREEN=0\nUSR_TAP_TEXT=1\n'
    printf '[WINDOW]\nX=0\nY=0\nWIDTH=480\nHEIGHT=640\n'
    printf '[SETTING]\nSEIZA=1\nMOVING=0\nPOPUP2=1\n'
    printf '[SEIZA]\nLINE=1\n'
    printf '[TAPREG]\nENABLE=1\n'
} >"$work/cfg/TRX/celes/settings.ini"

# start [celes options]: the program at 480x640 on the shared settings.
start() {
    XDG_CONFIG_HOME=$work/cfg XDG_RUNTIME_DIR=$work/run DISPLAY=$display TZ=UTC \
        "$celes" --mode direction "$@" >/dev/null 2>&1 &
    pid=$!
    sleep 4
}
stop() {
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    pid=
}
grab() {
    DISPLAY=$display import -window root -crop 480x640+0+0 +repage "$out/$1.png"
    echo "$out/$1.png"
}
keys() { DISPLAY=$display xdotool "$@"; }

# The place dialog over the chart, its list filled.
start --command 32774
grab place-dialog
stop

# "タップを登録" from the menu a held press opens: a text tap with a phrase, then the chart with its
# mark and label.
start
keys mousemove 330 330 mousedown 1
sleep 0.8
keys mouseup 1
sleep 0.5
keys key Down Down Return
sleep 2
dialog=$(keys search --name "ﾀｯﾌﾟ情報" | head -n 1)
# No window manager here: the controls are reached by clicking them, as a hand would.
at() { keys mousemove --window "$dialog" "$1" "$2" click 1; sleep 0.3; }
at 140 38
keys type --delay 30 "M13 "
at 130 94
keys key Down Down Down Return
at 130 122
keys key Down Return
at 245 122
sleep 1
grab tap-dialog
at 68 192
sleep 2
grab taps-window
stop
