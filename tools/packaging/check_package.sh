#!/usr/bin/env bash
# Checks a celes Debian package: its control fields, that it holds what a desktop install needs,
# that the AppStream, desktop and manual files are valid, and that the program it installs runs
# from a fresh root and finds its data there.
#   tools/packaging/check_package.sh build-release/celes_*.deb
set -euo pipefail
deb=$1
fail() {
    echo "check_package: $*" >&2
    exit 1
}

info=$(dpkg-deb -I "$deb")
for field in "Package: celes" "Section: science"; do
    grep -q "^ $field" <<<"$info" || fail "control lacks '$field'"
done
depends=$(dpkg-deb -f "$deb" Depends)
for dep in libqt6gui6 libqt6widgets6 libjpeg62-turbo fonts-ipafont-gothic fonts-dejavu-core; do
    grep -q "$dep" <<<"$depends" || fail "Depends lacks $dep: $depends"
done

contents=$(dpkg-deb -c "$deb" | awk '{print $6}')
for f in ./usr/bin/celes ./usr/share/celes/celes.dat ./usr/share/celes/celesline.dat \
    ./usr/share/celes/celesconste.dat ./usr/share/celes/Milkey.p92 ./usr/share/celes/celesalias.txt \
    ./usr/share/applications/org.trx.celes.desktop \
    ./usr/share/icons/hicolor/scalable/apps/org.trx.celes.svg \
    ./usr/share/metainfo/org.trx.celes.metainfo.xml ./usr/share/man/man1/celes.1.gz \
    ./usr/share/doc/celes/copyright; do
    grep -qx "$f" <<<"$contents" || fail "the package lacks $f"
done

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
appstreamcli validate --no-net "$root/usr/share/metainfo/org.trx.celes.metainfo.xml"
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$root/usr/share/applications/org.trx.celes.desktop"
fi
warnings=$(zcat "$root/usr/share/man/man1/celes.1.gz" | groff -man -Tutf8 -ww -z 2>&1)
[ -z "$warnings" ] || fail "celes.1: $warnings"

# Debian's own checks: lintian exits non-zero on any error-level finding (warnings are printed).
lintian --fail-on error "$deb" || fail "lintian reports errors"
prefix=$(dpkg-deb -c "$deb" | awk '{print $6}' | grep -E '^\./usr/local/' | head -n 1 || true)
[ -z "$prefix" ] || fail "the package installs under /usr/local ($prefix)"

# The program as installed: from <root>/usr/bin it finds <root>/usr/share/celes.
"$root/usr/bin/celes" --version | grep -q "^celes " || fail "celes --version"
QT_QPA_PLATFORM=offscreen "$root/usr/bin/celes" render --size 320x240 --local "2024-01-15 21:00" --names \
    -o "$root/chart.png"
[ "$(head -c 8 "$root/chart.png" | od -An -tx1 | tr -d ' ')" = 89504e470d0a1a0a ] || fail "render gave no PNG"
echo "check_package: $deb is whole"
