#!/bin/sh
# Start to the first chart on screen, as a whole process under Xvfb: the time from starting
# celes-window until it reports its first painted chart (--report-first-chart), against a Qt
# window of the same size that paints nothing, started the same way in the same run.
#   tools/startup/startup_time.sh [BUILD_DIR] [RUNS] [WIDTHxHEIGHT]
# Prints the median of each and their ratio. Needs Xvfb and a C++ compiler with Qt 6 Widgets.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../../build}
runs=${2:-9}
size=${3:-1280x800}
width=${size%x*}
height=${size#*x}
display=${CELES_STARTUP_DISPLAY:-:97}
work=$(mktemp -d)
trap 'kill "$xvfb" 2>/dev/null || true; rm -rf "$work"' EXIT INT TERM

# The screen has room for the window and its bars at the asked chart size.
Xvfb "$display" -screen 0 "$((width + 64))x$((height + 200))x24" -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
sleep 1
export DISPLAY="$display"

c++ -O2 -fPIC -o "$work/empty_window" "$here/empty_window.cpp" $(pkg-config --cflags --libs Qt6Widgets)
c++ -O2 -o "$work/time_to_line" "$here/time_to_line.cpp"

# Settings of their own: a normal window of the asked size, the chart drawn pixel for pixel.
# A runtime folder of its own too: the single-instance lock of a window running elsewhere
# would turn each start into a second instance.
export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_RUNTIME_DIR="$work/run"
mkdir -p "$XDG_CONFIG_HOME/TRX/celes" "$XDG_DATA_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
cat >"$XDG_CONFIG_HOME/TRX/celes/settings.ini" <<INI
[CELES]
CELES_DATA="$here/../../data/celes.dat"
[OPTION3]
FULL_SCREEN=0
[WINDOW]
X=0
Y=0
WIDTH=$width
HEIGHT=$((height + 120))
MAXIMIZED=0
CHART_SCALE=10
INI

# Milliseconds from the start of "$@" until it prints its first-chart line; the process is ended.
first_chart_ms() {
    "$work/time_to_line" "first chart" "$@" 2>/dev/null || {
        echo "failed: $*" >&2
        exit 1
    }
}

median() { sort -n | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'; }

: >"$work/celes"
: >"$work/empty"
i=0
while [ "$i" -lt "$runs" ]; do
    first_chart_ms "$build/celes-window" --report-first-chart >>"$work/celes"
    first_chart_ms "$work/empty_window" "$width" "$height" >>"$work/empty"
    i=$((i + 1))
done
celes=$(median <"$work/celes")
empty=$(median <"$work/empty")
echo "celes-window first chart: ${celes} ms (median of $runs, ${size})"
echo "empty window first paint: ${empty} ms"
awk -v a="$celes" -v b="$empty" 'BEGIN { printf "ratio: %.2f\n", (b > 0 ? a / b : 0) }'
