#!/usr/bin/python3
"""Reference table for planning a night (celes night), from PyEphem.

Writes tests/fixtures/astro/night_ref.txt: for places at latitudes from -60 to +70 degrees and
dates through a year, every event of the night as seconds after local noon of the date (the
first of its kind up to local noon of the next day), '-' where there is none:
  sunset sunrise                    upper limb, horizon -0:34, no refraction model (pressure 0)
  civil/nautical/astronomical dusk and dawn: centre at -6, -12, -18 degrees
  moonset moonrise                  upper limb, horizon -0:34, topocentric
  moon illuminated fraction at local midnight ending the date
  for Mercury, Venus, Mars, Jupiter, Saturn: rise transit set (centre, horizon -0:34)

Needs Debian's python3-ephem. Deterministic. Run from the repository root:
  /usr/bin/python3 tools/astro_ref/make_night_reference.py
"""
import math
import os
import random

import ephem

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tests", "fixtures", "astro",
                   "night_ref.txt")

LATITUDES = [-60, -45, -30, -15, 0, 15, 30, 45, 60, 65, 70]


def first(fn, body, start, end):
    try:
        t = fn(body, start=start)
    except (ephem.AlwaysUpError, ephem.NeverUpError):
        return None
    return t if t < end else None


def events(lon_deg, lat_deg, tz, y, m, d):
    obs = ephem.Observer()
    obs.lon = str(lon_deg)
    obs.lat = str(lat_deg)
    obs.elevation = 0
    obs.pressure = 0
    noon = ephem.Date(ephem.Date((y, m, d, 12, 0, 0)) - tz * ephem.hour)
    end = ephem.Date(noon + 1)
    row = []

    def secs(t):
        return "-" if t is None else "%.1f" % ((t - noon) * 86400.0)

    sun = ephem.Sun()
    obs.horizon = "-0:34"
    row.append(secs(first(obs.next_setting, sun, noon, end)))
    row.append(secs(first(obs.next_rising, sun, noon, end)))
    for h in ("-6", "-12", "-18"):
        obs.horizon = h
        row.append(secs(first(lambda b, start: obs.next_setting(b, start=start, use_center=True), sun, noon, end)))
        row.append(secs(first(lambda b, start: obs.next_rising(b, start=start, use_center=True), sun, noon, end)))
    moon = ephem.Moon()
    obs.horizon = "-0:34"
    row.append(secs(first(obs.next_setting, moon, noon, end)))
    row.append(secs(first(obs.next_rising, moon, noon, end)))
    obs.date = ephem.Date(noon + 0.5)
    moon.compute(obs)
    row.append("%.4f" % moon.moon_phase)
    for body in (ephem.Mercury(), ephem.Venus(), ephem.Mars(), ephem.Jupiter(), ephem.Saturn()):
        obs.horizon = "-0:34"
        row.append(secs(first(lambda b, start: obs.next_rising(b, start=start, use_center=True), body, noon, end)))
        row.append(secs(first(obs.next_transit, body, noon, end)))
        row.append(secs(first(lambda b, start: obs.next_setting(b, start=start, use_center=True), body, noon, end)))
    return row


def main():
    rng = random.Random(22)
    with open(OUT, "w") as f:
        f.write("# PyEphem %s; seconds after local noon, '-' none\n" % ephem.__version__)
        f.write("# lon_deg lat_deg tz year month day | sunset sunrise civil_dusk civil_dawn nautical_dusk"
                " nautical_dawn astronomical_dusk astronomical_dawn moonset moonrise moon_illumination"
                " | rise transit set of mercury venus mars jupiter saturn\n")
        for lat in LATITUDES:
            lon = rng.randint(-179, 179)
            tz = int(round(lon / 15.0))
            for k in range(0, 365, 7):
                day = ephem.Date(ephem.Date((2025, 1, 1)) + k + rng.randint(0, 6))
                y, m, d = day.tuple()[:3]
                f.write("%d %d %d %d %d %d  %s\n" % (lon, lat, tz, y, m, d, " ".join(events(lon, lat, tz, y, m, d))))


if __name__ == "__main__":
    main()
