#!/bin/sh
# Whole-program timing of a headless 1920x1080 JPEG chart: `celes render` measured side by side with
# `kstars --dump` (Debian's kstars) in one hyperfine run when KStars is installed, celes alone
# otherwise. The figure that counts is the ratio of the two medians of the same run; absolute times
# depend on the machine and its load. Also prints the peak memory of an 8192x8192 render.
#
#   bench/render_vs_kstars.sh [path/to/celes] [runs]
#
# Needs hyperfine; GNU time (/usr/bin/time) for the peak memory.
set -eu

CELES=${1:-build/celes}
RUNS=${2:-30}
command -v hyperfine >/dev/null || { echo "hyperfine is not installed" >&2; exit 1; }
[ -x "$CELES" ] || { echo "no celes program at $CELES" >&2; exit 1; }
CELES=$(cd "$(dirname "$CELES")" && pwd)/$(basename "$CELES")

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
# KStars keeps its deep-sky database under the home folder and stops with a message box when that
# folder does not exist; a home of its own keeps the user's settings out of the measurement.
mkdir -p "$WORK/home/.local/share/kstars" "$WORK/runtime"
chmod 700 "$WORK/runtime"
export HOME="$WORK/home" XDG_RUNTIME_DIR="$WORK/runtime" QT_QPA_PLATFORM=offscreen

set -- "$CELES render --size 1920x1080 -o $WORK/celes.jpg"
if command -v kstars >/dev/null; then
    set -- "kstars --dump $WORK/kstars.jpg --width 1920 --height 1080" "$@"
    # The first start builds KStars' database; it is not part of the measurement.
    kstars --dump "$WORK/kstars.jpg" --width 1920 --height 1080 >/dev/null 2>&1 || true
fi
hyperfine -N --warmup 3 --runs "$RUNS" --export-json "$WORK/times.json" "$@"

python3 - "$WORK/times.json" <<'EOF'
import json, sys
results = json.load(open(sys.argv[1]))["results"]
for r in results:
    print(f"median {r['median'] * 1000:8.1f} ms  {r['command'].split()[0].rsplit('/', 1)[-1]}")
if len(results) == 2:
    print(f"celes is {results[0]['median'] / results[1]['median']:.1f}x faster than kstars --dump (medians)")
EOF

if [ -x /usr/bin/time ]; then
    /usr/bin/time -f "8192x8192 render: peak %M KB, %e s" "$CELES" render --size 8192x8192 -o "$WORK/big.jpg"
fi
