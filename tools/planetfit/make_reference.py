#!/usr/bin/python3
"""Write the planet reference vectors the engine's tests check against.

Usage: /usr/bin/python3 tools/planetfit/make_reference.py [--out tests/fixtures/astro/planets_reference.csv]

400 instants (fixed seed, whole seconds of UT) spread over 1950-2050; for each planet the
reference's geocentric apparent right ascension and declination (true equator and equinox of
date) and heliocentric longitude (true equinox of date), latitude and distance.  It also prints
the errors the engine's formulas with the current tables (tables.py) have on these instants.
"""

import argparse
import os
import sys

import numpy as np

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import ephem  # noqa: E402

import model  # noqa: E402
import reference  # noqa: E402
import tables  # noqa: E402
from model import D  # noqa: E402

COUNT = 400
SEED = 20000101


def instants():
    rng = np.random.default_rng(SEED)
    start = ephem.Date((1950, 1, 1)) + reference.DUBLIN_JD
    stop = ephem.Date((2051, 1, 1)) + reference.DUBLIN_JD
    jds = np.sort(rng.uniform(start, stop, COUNT))
    out = []
    for jd in jds:
        secs = int(round((jd - reference.DUBLIN_JD) * 86400.0))
        y, mo, d, h, mi, s = ephem.Date(secs / 86400.0).tuple()
        s = int(round(s))
        if s == 60:  # keep whole seconds inside the minute
            s = 59
        out.append((y, mo, d, h, mi, s))
    return out


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    root = os.path.normpath(os.path.join(here, "..", ".."))
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--out", default=os.path.join(root, "tests", "fixtures", "astro", "planets_reference.csv"))
    args = ap.parse_args()

    cal = instants()
    jd = np.array([float(ephem.Date(c)) + reference.DUBLIN_JD for c in cal])
    ref = reference.sample(jd)

    lines = [
        "# Reference planet positions for the astronomy engine's tests, written by",
        "# tools/planetfit/make_reference.py from PyEphem %s (libastro, VSOP87)." % ephem.__version__,
        "# Time is UT. Per planet: geocentric apparent RA and Dec (true equator and equinox of date,",
        "# degrees), heliocentric longitude (true equinox of date) and latitude (degrees), distance (AU).",
    ]
    header = ["year", "month", "day", "hour", "minute", "second"]
    for name in model.PLANETS:
        header += [name + "_" + k for k in ("ra", "dec", "hlon", "hlat", "r")]
    lines.append(",".join(header))
    for i, c in enumerate(cal):
        row = ["%d" % v for v in c]
        for name in model.PLANETS:
            r = ref[name]
            row += ["%.7f" % ((r["ra"][i] / D) % 360.0), "%.7f" % (r["dec"][i] / D),
                    "%.7f" % ((r["l"][i] / D) % 360.0), "%.7f" % (r["b"][i] / D), "%.8f" % r["r"][i]]
        lines.append(",".join(row))
    with open(args.out, "w") as fh:
        fh.write("\n".join(lines) + "\n")

    print("errors of the engine's formulas on these instants (arcmin):")
    for name in model.PLANETS:
        ra, dec = model.planet_equatorial(name, jd, tables.TABLES)
        err = model.angle_between(ra, dec, ref[name]["ra"], ref[name]["dec"]) / D * 60
        l, b, r = model.planet_lbr(name, jd, tables.TABLES)
        dl = np.abs(model.wrap(l - ref[name]["l"])) / D * 60
        db = np.abs(b - ref[name]["b"]) / D * 60
        dr = np.abs(r / ref[name]["r"] - 1)
        print("  %-8s geocentric rms %.3f max %.3f; heliocentric l max %.2f, b max %.2f, r max %.1e relative"
              % (name, np.sqrt(np.mean(err ** 2)), err.max(), dl.max(), db.max(), dr.max()))


if __name__ == "__main__":
    main()
