#!/bin/sh
# Builds the sky data twice into scratch folders and checks that the runs agree byte for byte
# and that the result passes the verifier. Registered as a test only where the source packages
# are installed. D3_DIR may name an unpacked d3-celestial to avoid fetching it from npm.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
d3=${D3_DIR:-}
if [ -z "$d3" ]; then
    (cd "$tmp" && npm pack --silent d3-celestial@0.7.35 >/dev/null && tar xzf d3-celestial-0.7.35.tgz)
    d3="$tmp/package"
fi
for run in a b; do
    /usr/bin/python3 "$here/build_skydata.py" --d3-dir "$d3" --out "$tmp/$run" >/dev/null
done
for f in celes.dat celesline.dat celesconste.dat Milkey.p92 celesalias.txt README.md; do
    cmp "$tmp/a/$f" "$tmp/b/$f"
done
/usr/bin/python3 "$here/verify_skydata.py" "$tmp/a"
