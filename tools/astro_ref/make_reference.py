#!/usr/bin/python3
"""Reference vectors for the Sun, the Moon and the rise/transit/set list, from PyEphem.

Writes into tests/fixtures/astro/:
  sun_moon_ref.txt  300 instants (UT) from 1950 to 2050: apparent geocentric right ascension and
                    declination (true equator and equinox of date) of the Sun and the Moon, the
                    Sun's distance and the Moon's equatorial horizontal parallax.
  rise_set_ref.txt  60 local dates from 1990 to 2030 at four places: the times (local, minutes
                    after midnight) at which the centres of the Sun and the Moon rise, transit,
                    set and pass the lower meridian, without refraction (pressure 0, horizon 0);
                    -1 where the event does not happen that day.

Needs Debian's python3-ephem (apt-get install python3-ephem). Deterministic: re-running gives
the same files.  Run from the repository root:  /usr/bin/python3 tools/astro_ref/make_reference.py
"""
import math
import os
import random

import ephem

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tests", "fixtures", "astro")
EARTH_RADIUS_KM = 6378.14
AU_KM = 149597870.7


def deg(x):
    return math.degrees(float(x))


def sun_moon(path):
    rng = random.Random(1975)
    start = ephem.Date("1950/1/1")
    end = ephem.Date("2050/12/31")
    with open(path, "w") as f:
        f.write("# PyEphem %s, apparent geocentric, true equator and equinox of date\n" % ephem.__version__)
        f.write("# year month day hour minute second (UT) | sun_ra_deg sun_dec_deg sun_r_au"
                " | moon_ra_deg moon_dec_deg moon_hp_deg\n")
        for _ in range(300):
            d = ephem.Date(start + rng.random() * (end - start))
            y, mo, da, h, mi, s = d.tuple()
            s = int(s)
            d = ephem.Date((y, mo, da, h, mi, s))
            sun = ephem.Sun()
            sun.compute(d, epoch=d)
            moon = ephem.Moon()
            moon.compute(d, epoch=d)
            hp = math.degrees(math.asin(EARTH_RADIUS_KM / (moon.earth_distance * AU_KM)))
            f.write("%d %d %d %d %d %d  %.6f %.6f %.7f  %.6f %.6f %.6f\n" % (
                y, mo, da, h, mi, s, deg(sun.g_ra), deg(sun.g_dec), sun.earth_distance,
                deg(moon.g_ra), deg(moon.g_dec), hp))


PLACES = [  # name, lon, lat, time difference (hours), as D:M like the program's options
    ("tokyo", "139:22", "35:34", 9),
    ("newyork", "-74:00", "40:43", -5),
    ("sydney", "151:12", "-33:52", 10),
    ("tromso", "18:57", "69:39", 1),
]


def dm(text):
    sign = -1 if text.startswith("-") else 1
    d, m = text.lstrip("-").split(":")
    return sign * (int(d) + int(m) / 60.0)


def minutes_of(event, midnight_ut, tz):
    """Local minutes after midnight of an event (ephem.Date) if it falls on that local day."""
    if event is None:
        return -1
    m = (event - midnight_ut) * 1440.0
    return round(m, 1) if 0 <= m < 1440 else -1


def first_event(fn, body, start):
    try:
        return fn(body, start=start, use_center=True)
    except (ephem.AlwaysUpError, ephem.NeverUpError):
        return None


def rise_set(path):
    rng = random.Random(2005)
    with open(path, "w") as f:
        f.write("# PyEphem %s, centres of the bodies, no refraction (pressure 0, horizon 0)\n" % ephem.__version__)
        f.write("# place lon lat tz year month day | local minutes after midnight of:"
                " sun rise transit set lower-transit, moon rise transit set lower-transit (-1: none that day)\n")
        for name, lon, lat, tz in PLACES:
            for _ in range(15):
                y = rng.randint(1990, 2030)
                mo = rng.randint(1, 12)
                da = rng.randint(1, 28)
                obs = ephem.Observer()
                obs.lon = str(dm(lon))
                obs.lat = str(dm(lat))
                obs.pressure = 0
                obs.horizon = "0"
                obs.elevation = 0
                midnight_ut = ephem.Date(ephem.Date((y, mo, da, 0, 0, 0)) - tz / 24.0)
                obs.date = midnight_ut
                row = []
                for body in (ephem.Sun(), ephem.Moon()):
                    row.append(minutes_of(first_event(obs.next_rising, body, midnight_ut), midnight_ut, tz))
                    row.append(minutes_of(obs.next_transit(body, start=midnight_ut), midnight_ut, tz))
                    row.append(minutes_of(first_event(obs.next_setting, body, midnight_ut), midnight_ut, tz))
                    row.append(minutes_of(obs.next_antitransit(body, start=midnight_ut), midnight_ut, tz))
                f.write("%s %s %s %d %d %d %d  %s\n" % (name, lon, lat, tz, y, mo, da,
                                                       " ".join("%g" % v for v in row)))


if __name__ == "__main__":
    os.makedirs(OUT, exist_ok=True)
    sun_moon(os.path.join(OUT, "sun_moon_ref.txt"))
    rise_set(os.path.join(OUT, "rise_set_ref.txt"))
