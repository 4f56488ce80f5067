"""Reference positions from PyEphem (Debian python3-ephem, libastro's VSOP87 planets).

PyEphem's heliocentric hlon/hlat/sun_distance are geometric (not light-time corrected) and refer
to the mean ecliptic and equinox of date; the engine's series refer to the true equinox, so the
nutation in longitude is added here.  Its ra/dec (computed for a date, no observer) are the
geocentric apparent place, true equator and equinox of date, which is what the engine's
right ascension and declination aim at.  PyEphem takes Universal Time and applies its own Delta T.
"""

import os

import numpy as np

import ephem

from model import D

DUBLIN_JD = 2415020.0

BODIES = {
    "mercury": ephem.Mercury, "venus": ephem.Venus, "mars": ephem.Mars,
    "jupiter": ephem.Jupiter, "saturn": ephem.Saturn,
}

# IAU 1980 nutation in longitude, the terms above 0.005" (units 0.0001", T in centuries):
# multipliers of D, M, M', F, Omega; coefficient; its rate per century.
_NUT = [
    (0, 0, 0, 0, 1, -171996, -174.2), (-2, 0, 0, 2, 2, -13187, -1.6), (0, 0, 0, 2, 2, -2274, -0.2),
    (0, 0, 0, 0, 2, 2062, 0.2), (0, 1, 0, 0, 0, 1426, -3.4), (0, 0, 1, 0, 0, 712, 0.1),
    (-2, 1, 0, 2, 2, -517, 1.2), (0, 0, 0, 2, 1, -386, -0.4), (0, 0, 1, 2, 2, -301, 0),
    (-2, -1, 0, 2, 2, 217, -0.5), (-2, 0, 1, 0, 0, -158, 0), (-2, 0, 0, 2, 1, 129, 0.1),
    (0, 0, -1, 2, 2, 123, 0), (2, 0, 0, 0, 0, 63, 0), (0, 0, 1, 0, 1, 63, 0.1),
    (2, 0, -1, 2, 2, -59, 0), (0, 0, -1, 0, 1, -58, -0.1), (0, 0, 1, 2, 1, -51, 0),
    (-2, 0, 2, 0, 0, 48, 0), (0, 0, -2, 2, 1, 46, 0), (2, 0, 0, 2, 2, -38, 0),
]


def nutation_longitude(jd):
    """Nutation in longitude, radians."""
    t = (np.asarray(jd) - 2451545.0) / 36525.0
    args = [
        297.85036 + 445267.111480 * t,
        357.52772 + 35999.050340 * t,
        134.96298 + 477198.867398 * t,
        93.27191 + 483202.017538 * t,
        125.04452 - 1934.136261 * t,
    ]
    dpsi = 0.0
    for i0, i1, i2, i3, i4, c, ct in _NUT:
        arg = (i0 * args[0] + i1 * args[1] + i2 * args[2] + i3 * args[3] + i4 * args[4]) * D
        dpsi = dpsi + (c + ct * t) * np.sin(arg)
    return dpsi * 1e-4 / 3600.0 * D


def sample(jd):
    """Reference arrays for every planet at the given UT Julian dates.

    Returns {name: dict(l, b, r, ra, dec)}; l is on the true equinox of date, unwrapped.
    """
    jd = np.asarray(jd, dtype=float)
    out = {}
    dpsi = nutation_longitude(jd)
    for name, cls in BODIES.items():
        body = cls()
        n = len(jd)
        l, b, r, ra, dec = (np.empty(n) for _ in range(5))
        for i, j in enumerate(jd):
            body.compute(ephem.Date(j - DUBLIN_JD))
            l[i] = body.hlon
            b[i] = body.hlat
            r[i] = body.sun_distance
            ra[i] = body.ra
            dec[i] = body.dec
        out[name] = dict(l=np.unwrap(l) + dpsi, b=b, r=r, ra=ra, dec=dec)
    return out


def cached(jd, tag):
    """sample() with a cache file in $PLANETFIT_CACHE (default /tmp/planetfit-cache)."""
    folder = os.environ.get("PLANETFIT_CACHE", "/tmp/planetfit-cache")
    os.makedirs(folder, exist_ok=True)
    path = os.path.join(folder, "%s-%d-%s.npz" % (tag, len(jd), ephem.__version__))
    if os.path.exists(path):
        z = np.load(path)
        if np.array_equal(z["jd"], jd):
            return {name: {k: z[name + "_" + k] for k in ("l", "b", "r", "ra", "dec")}
                    for name in BODIES}
    ref = sample(jd)
    flat = {"jd": jd}
    for name, d in ref.items():
        for k, v in d.items():
            flat[name + "_" + k] = v
    np.savez(path, **flat)
    return ref
