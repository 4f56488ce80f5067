"""The engine's Sun and planet formulas, vectorised with numpy.

This mirrors src/astro (time arguments, obliquity, Sun series, the five planet routines and the
heliocentric-to-geocentric step) closely enough that residuals measured here are the residuals of
the C++ code; the test in tests/astro/planets_test.cpp checks the C++ against the same reference.
Tables are lists of (amplitude, phase, rate) rows in degrees (distance tables: plain amplitude).
"""

import math

import numpy as np

D = 0.017453292519943295  # radians per degree, the engine's constant

# ---------------------------------------------------------------- time arguments (from JD UT)

JD_1975_JAN0 = 2442412.5
JD_2000_NOON = 2451545.0


def years_since_1975(jd):
    """Julian years from 1975 January 0.0 UT, shifted by the engine's uniform-time term."""
    t = (np.asarray(jd) - JD_1975_JAN0) * 0.0027378507871321013
    return t + (1.43 + 0.0317 * t) * 1e-6


def centuries_since_j2000(jd):
    return (np.asarray(jd) - JD_2000_NOON) * 2.7378507871321012e-05


def obliquity(jd):
    """Mean obliquity from the UT date alone (time of day ignored)."""
    days = np.floor(np.asarray(jd) - 2451544.5)
    t = days / 36525.0
    return ((23.439166666666665 - 0.013004166666666666 * t) - 1.638888888888889e-07 * t * t
            + 5.027777777777778e-07 * t * t * t) * D


def sum_sine(t, table):
    acc = 0.0
    for a, p, w in table:
        acc = acc + a * D * np.sin(t * (w * D) + p * D)
    return acc


def sum_cosine(t, table, plain=False):
    acc = 0.0
    for a, p, w in table:
        amp = a if plain else a * D
        acc = acc + amp * np.cos(t * (w * D) + p * D)
    return acc


# ---------------------------------------------------------------- Sun

SUN_LON = [
    (0.02, 353.06, 719.981), (-0.0048, 248.64, -19.341), (0.002, 285, 329.64),
    (0.0018, 334.2, -4452.67), (0.0018, 293.7, -0.2), (0.0015, 242.4, 450.37),
    (0.0013, 211.1, 225.18), (0.0008, 208, 659.29), (0.0007, 53.5, 90.38),
    (0.0007, 12.1, -30.35), (0.0006, 239.1, 337.18), (0.0005, 10.1, -1.5),
    (0.0005, 99.1, -22.81), (0.0004, 264.8, 315.56), (0.0004, 233.8, 299.3),
    (-0.0004, 198.1, 720.02), (0.0003, 349.6, 1079.97), (0.0003, 241.2, -44.43),
]
SUN_DIST = [(-0.000091, 353.1, 719.98), (0.000013, 205.8, 4452.67), (0.000007, 62, 450.4),
            (0.000007, 105, 329.6)]


def sun_position(jd):
    """Apparent longitude, geometric longitude, distance (true equinox of date)."""
    t = years_since_1975(jd)
    m = t * 6.2830282275469065 + 6.222639835427903
    lam = (1.9159 * D - 0.00005 * D * t) * np.sin(m) + t * (360.00769 * D) + 4.870123440936393
    lam = lam + sum_sine(t, SUN_LON)
    geo = lam + 9.948376736367677e-05
    m2 = t * 6.2830282275469065 + 6.222622382135382
    x = (0.0000002 * t - 0.007261) * np.cos(m2) + 0.00003
    x = x + sum_cosine(t, SUN_DIST, plain=True)
    return lam, geo, 10.0 ** x


# ---------------------------------------------------------------- planets

ABERRATION_K = {
    "mercury": 0.0035, "venus": 0.0048, "mars": 0.0071, "jupiter": 0.0129, "saturn": 0.0174,
}

PLANETS = ["mercury", "venus", "mars", "jupiter", "saturn"]

# Venus and Mars share one form: m1, m0, e0, e1, q1, q0, j1, j0, c, u1, u0, s, g1, g0, h
INNER_FORM = {
    "venus": dict(m1=585.178, m0=178.954, e0=0.7775, e1=-0.00005, q1=1170.37, q0=107.44,
                  j1=585.19212, j0=310.1735, c=0.0503, u1=585.183, u0=233.72, s=0.05922,
                  g1=0.00000021, g0=-0.002947, h=-0.140658),
    "mars": dict(m1=191.399, m0=273.768, e0=10.6886, e1=0.0001, q1=382.819, q0=40.01,
                 j1=191.41696, j0=249.3542, c=0.0149, u1=191.409, u0=200, s=0.03227,
                 g1=-0.00000039, g0=-0.040421, h=0.183844),
}


def mercury_lbr(jd, tables, extra={}):
    tc = centuries_since_j2000(jd)
    l = ((23.4405 * D + 0.0023 * D * tc) * np.cos(149472.5153 * D * tc + 84.7947 * D)
         + (2.9818 * D + 0.0006 * D * tc) * np.cos(298945.031 * D * tc + 259.589 * D)
         + (149474.0714 * D * tc + 252.2502 * D))
    l = l + sum_cosine(tc, tables["mercury_lon"]) + extra.get("mercury_lon", 0.0)
    b = (((1.4396 * D + 0.0005 * D * tc) * np.cos(0.37 * D * tc + 119.12 * D)
          + (1.3643 * D + 0.0005 * D * tc) * np.cos(298945.4 * D * tc + 288.71 * D))
         + (6.7057 * D + 0.0017 * D * tc) * np.cos(149472.886 * D * tc + 113.919 * D))
    b = b + sum_cosine(tc, tables["mercury_lat"]) + extra.get("mercury_lat", 0.0)
    r = ((0.078341 + 0.000008 * tc) * np.cos(149472.515 * D * tc + 354.795 * D)
         + (0.007955 + 0.000002 * tc) * np.cos(298945.03 * D * tc + 169.59 * D)
         + (0.395283 + 0.000002 * tc))
    r = r + sum_cosine(tc, tables["mercury_dist"], plain=True) + extra.get("mercury_dist", 0.0)
    return l, b, r


def inner_principal_E(name, t):
    f = INNER_FORM[name]
    m = f["m1"] * D * t + f["m0"] * D
    return m, (f["e0"] * D + f["e1"] * D * t) * np.sin(m)


def inner_l_from_E(name, t, e):
    f = INNER_FORM[name]
    q = f["q1"] * D * t + 2 * e + f["q0"] * D
    return ((((f["j1"] * D * t + f["j0"] * D) - f["c"] * D * np.sin(q))
             - 0.0048 * D * np.sin(248.6 * D - 19.34 * D * t))
            - 0.0004 * D * np.sin(198 * D + 720 * D * t) + e)


def inner_lbr(name, jd, tables, extra={}):
    f = INNER_FORM[name]
    t = years_since_1975(jd)
    m, e = inner_principal_E(name, t)
    e = e + sum_sine(t, tables[name]) + extra.get(name, 0.0)
    l = inner_l_from_E(name, t, e)
    b = np.arcsin(f["s"] * np.sin(f["u1"] * D * t + e + f["u0"] * D))
    x = (f["g1"] * t + f["g0"]) * np.cos(m) + f["h"]
    x = x + sum_cosine(t, tables[name + "_dist"], plain=True) + extra.get(name + "_dist", 0.0)
    return l, b, 10.0 ** x


OUTER_FORM = {
    "jupiter": dict(a=(5.528, 0.1666, 0.007, 0.0003), w=0.0075, w0=5.91, p=13.6526,
                    f=5.190688, e=0.048254),
    "saturn": dict(a=(6.4215, 0.2248, 0.0109, 0.0006), w=0.0272, w0=135.53, p=91.856,
                   f=9.508863, e=0.056061),
}


def outer_principal_M(name, t):
    if name == "jupiter":
        return ((0.035 * D + 0.0028 * D * t) * np.sin(30.349 * D * t + 245.94 * D)
                + (30.34907 * D * t + 341.5208 * D) + 0.0004 * D
                - (0.0019 * D + 0.00002 * D * t) * np.sin(0.38 * D * t + 192.78 * D))
    return ((0.0934 * D + 0.00075 * D * t) * np.sin(12.221 * D * t + 250.29 * D)
            + (12.22117 * D * t + 12.3042 * D) + 0.0008 * D
            + (0.0057 * D + 0.00005 * D * t) * np.sin(265.8 * D - 11.81 * D * t)
            + (0.0049 * D + 0.00004 * D * t) * np.sin(0.38 * D * t + 162.7 * D)
            + (0.0019 * D + 0.00002 * D * t) * np.sin(24.44 * D * t + 262 * D))


def outer_nu(name, m):
    a = OUTER_FORM[name]["a"]
    return (m + a[0] * D * np.sin(m) + a[1] * D * np.sin(2 * m) + a[2] * D * np.sin(3 * m)
            + a[3] * D * np.sin(4 * m))


def outer_l_from_nu(name, t, nu):
    f = OUTER_FORM[name]
    return f["w"] * D * np.sin(2 * nu + f["w0"] * D) + 0.01396 * D * t + nu + f["p"] * D


def outer_b_rest(name, t, nu):
    """The latitude without Saturn's principal term (Jupiter: all of it)."""
    if name == "jupiter":
        return (np.arcsin(0.022889 * np.sin(nu + 272.975 * D))
                + (0.0128 * D + 0.0001 * D * t) * np.sin(nu + 35.52 * D)
                + (0.0003 * D * np.sin(196 * D - 24 * D * t)
                   + 0.001 * D * np.sin(291.9 * D - 29.94 * D * t)))
    return ((0.0286 * D + 0.00023 * D * t) * np.sin(nu + 77.06 * D)
            + 0.0024 * D * np.sin(3.9 * D - 11.81 * D * t)
            + (0.0005 * D * np.sin(135 * D - 30.3 * D * t) + 0.0008 * D * np.sin(269 * D - 5.9 * D * t)))


def outer_x_principal(name, t):
    if name == "jupiter":
        return (0.000132 + 0.0000011 * t) * np.cos(245.93 * D - 30.349 * D * t)
    return ((0.000354 + 0.0000028 * t) * np.cos(12.22 * D * t + 70.28 * D) + 0.000183
            + (0.000021 + 0.0000002 * t) * np.cos(265.8 * D - 11.81 * D * t))


def outer_lbr(name, jd, tables, extra={}):
    f = OUTER_FORM[name]
    t = years_since_1975(jd)
    m = outer_principal_M(name, t) + sum_sine(t, tables[name]) + extra.get(name, 0.0)
    nu = outer_nu(name, m)
    l = outer_l_from_nu(name, t, nu)
    b = outer_b_rest(name, t, nu)
    if name == "saturn":
        ks, phs = tables["saturn_lat_principal"]
        b = np.arcsin(ks * np.sin(nu + phs * D) + extra.get("saturn_lat_principal", 0.0)) + b
    x = (outer_x_principal(name, t) + sum_cosine(t, tables[name + "_dist"], plain=True)
         + extra.get(name + "_dist", 0.0))
    r = f["f"] * 10.0 ** x / (1 + f["e"] * np.cos(nu))
    return l, b, r


def planet_lbr(name, jd, tables, extra={}):
    """Heliocentric l, b, r; `extra` adds arrays to named table sums (used by the fitting)."""
    if name == "mercury":
        return mercury_lbr(jd, tables, extra)
    if name in INNER_FORM:
        return inner_lbr(name, jd, tables, extra)
    return outer_lbr(name, jd, tables, extra)


def helio_to_geo(L, R, l, b, k, r):
    x = r * np.cos(b) * np.cos(l) + R * np.cos(L)
    y = r * np.cos(b) * np.sin(l) + R * np.sin(L)
    z = r * np.sin(b)
    dist = np.sqrt(z * z + y * y + x * x)
    lam = np.arctan2(y, x)
    beta = np.arcsin(z / dist)
    lam = (-9.948376736367677e-05 * np.cos(lam - L) / R - k * np.cos(lam - l) / r) + lam
    return lam, beta


def ecliptic_to_equatorial(eps, lam, beta):
    dec = np.arcsin(np.sin(eps) * np.sin(lam) * np.cos(beta) + np.cos(eps) * np.sin(beta))
    ra = np.arctan2(np.cos(eps) * np.sin(lam) * np.cos(beta) - np.sin(eps) * np.sin(beta),
                    np.cos(lam) * np.cos(beta))
    return ra, dec


def planet_equatorial(name, jd, tables, extra={}):
    _, geo, rsun = sun_position(jd)
    l, b, r = planet_lbr(name, jd, tables, extra)
    lam, beta = helio_to_geo(geo, rsun, l, b, ABERRATION_K[name] * D, r)
    return ecliptic_to_equatorial(obliquity(jd), lam, beta)


def angle_between(ra1, dec1, ra2, dec2):
    """Angle between two directions, radians (haversine form, stable for small angles)."""
    s = (np.sin((dec2 - dec1) / 2) ** 2
         + np.cos(dec1) * np.cos(dec2) * np.sin((ra2 - ra1) / 2) ** 2)
    return 2 * np.arcsin(np.sqrt(np.minimum(s, 1.0)))


def wrap(x):
    return (x + math.pi) % (2 * math.pi) - math.pi
