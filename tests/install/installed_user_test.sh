#!/bin/sh
# The installed layout as a normal user: install the build into a fresh prefix, make its data folder
# read-only, then as a user register a tap, add a slew through the simulated mount, edit a description
# and save a chart; start again and find all four. The data folder must come out byte for byte as it
# went in. Where this runs as root, permissions do not stop writes: the before/after comparison of the
# data folder then carries the proof alone.
#
# usage: installed_user_test.sh BUILD_DIR HELPER
set -eu
build=$1
helper=$2
work=$(mktemp -d "${TMPDIR:-/tmp}/celes-installed.XXXXXX")
sim_pid=
cleanup() {
    [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null || true
    chmod -R u+w "$work" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "installed_user_test: $*" >&2
    exit 1
}

prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null || fail "cmake --install into $prefix failed"
data=$prefix/share/celes
[ -f "$data/celes.dat" ] || fail "$data/celes.dat was not installed"

# What the data folder holds: every entry with its mode, and every file's hash.
listing() {
    (cd "$data" && find . -printf '%M %s %p\n' | LC_ALL=C sort && find . -type f -exec sha256sum {} + | LC_ALL=C sort)
}
listing >"$work/before"
chmod -R a-w "$data"
if [ "$(id -u)" = 0 ]; then
    echo "installed_user_test: running as root, the data folder is checked by its listing and hashes"
fi

# A user of their own: home, settings and no display.
export HOME="$work/home"
unset XDG_DATA_HOME XDG_CONFIG_HOME XDG_PICTURES_DIR
export QT_QPA_PLATFORM=offscreen
mkdir -p "$HOME/Pictures"
user=$HOME/.local/share/celes
celes=$prefix/bin/celes

# 1. A tap and an edited description, through the window's commands and dialogs.
CELES_INSTALLED_PREFIX=$prefix "$helper" --gtest_filter=InstalledUser.Write --gtest_brief=1 ||
    fail "registering a tap or editing a description failed"

# 2. A slew through the simulated mount goes into the user's slew log.
"$celes" mount-sim --quiet --slew-seconds 0 >"$work/sim.out" 2>"$work/sim.err" &
sim_pid=$!
i=0
while [ ! -s "$work/sim.out" ] && [ $i -lt 100 ]; do sleep 0.1; i=$((i + 1)); done
port=$(head -n 1 "$work/sim.out")
[ -n "$port" ] || fail "celes mount-sim did not say where it listens: $(cat "$work/sim.err")"
"$celes" mount --port "$port" slew 05:35:17 +89:00:00 >"$work/mount.out" 2>&1 ||
    fail "celes mount slew failed: $(cat "$work/mount.out")"
kill "$sim_pid"
wait "$sim_pid" 2>/dev/null || true
sim_pid=

# 3. A chart saved into the user's pictures, drawn with their taps.
chart=$HOME/Pictures/chart.jpg
"$celes" render --taps --size 320x240 -o "$chart" 2>"$work/render.err" || fail "celes render failed: $(cat "$work/render.err")"

# 4. Start again: everything is found, in the user's folder.
for f in CelesUser.tap 望遠鏡導入履歴.txt Ori.p91; do
    [ -f "$user/$f" ] || fail "$user/$f is missing"
done
CELES_INSTALLED_PREFIX=$prefix CELES_SAVED_CHART=$chart "$helper" --gtest_filter=InstalledUser.Restart --gtest_brief=1 ||
    fail "after the restart something was not found"

# The owner's write bits back, as the install left them: then nothing may differ.
chmod -R u+w "$data"
listing >"$work/after"
diff "$work/before" "$work/after" >&2 || fail "the data folder $data changed"
echo "installed_user_test: taps, slew log, description and chart kept in $user; $data untouched"
