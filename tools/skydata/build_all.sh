#!/bin/sh
# Rebuilds data/ (celes.dat, celesline.dat, celesconste.dat, Milkey.p92, celesalias.txt, README.md)
# from the open catalogues in the Debian packages xplanet, stellarium-data and kstars-data and the
# npm package d3-celestial, then checks the result. Extra options go to the builder, e.g. --epoch 2040.0.
# Needs: python3, qt6-l10n-tools (lconvert), npm (or --d3-dir with an unpacked d3-celestial).
set -eu
here=$(cd "$(dirname "$0")" && pwd)
out="$here/../../data"
/usr/bin/python3 "$here/build_skydata.py" --out "$out" "$@"
/usr/bin/python3 "$here/verify_skydata.py" "$out"
