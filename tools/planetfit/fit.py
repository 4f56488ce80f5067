#!/usr/bin/python3
"""Fit the missing rows of the planets' perturbation tables.

Usage: /usr/bin/python3 tools/planetfit/fit.py [--planets venus,mars] [--out src/astro/planet_tables.cpp]

Stage 1 follows the planets' own motion: the reference's heliocentric longitude, latitude and
distance (true equinox of date) are turned into the quantity each table adds to (Mercury's l and b,
the equation of centre E of Venus and Mars, the mean anomaly M of Jupiter and Saturn, the distance
logarithm x), the principal terms and the given rows are subtracted, and rows are added one at a
time: the candidate rate (small integer combinations of mean motions, harmonics of the anomaly,
the nutation arguments) that best matches what is left, then a joint least-squares solution of all
amplitudes and phases.

Stage 2 keeps those rates and solves the amplitudes and phases again, jointly for all of a
planet's tables, against the geocentric apparent place itself (linearised through the engine's
own heliocentric-to-geocentric step).  This lets the tables absorb part of what the fixed forms
leave (the Sun series, the planetary aberration formula), which matters most for Venus and Mercury
near inferior conjunction, where the Earth's position error is magnified.

Rows are rounded like the given ones (0.0001 degree, 0.01 degree phase, 0.001 degree/year rate;
distance amplitudes to 1e-6) before the final residuals are measured.
"""

import argparse
import importlib.util
import math
import os
import shutil
import subprocess
import sys

import numpy as np

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import model  # noqa: E402
import reference  # noqa: E402
from cpp_tables import TABLES, write_cpp  # noqa: E402
from model import D  # noqa: E402

# ---------------------------------------------------------------- given material

GIVEN = {
    # The first rate was printed as 44817.55: a dropped digit of 3 x 149472.52 (the anomaly rate),
    # like the latitude and distance rows beside it.
    "mercury_lon": [(0.5258, 74.38, 448417.55), (0.1796, 137.84, 298945.77), (0.1061, 249.2, 597890.1)],
    "mercury_lat": [(0.3123, 103.51, 448417.92), (0.0753, 278.3, 597890.4), (0.0367, 55.7, 149472.1)],
    "mercury_dist": [(0.001214, 344.38, 448417.55), (0.000218, 159.2, 597890.1), (0.000042, 334, 747363),
                     (0.000006, 149, 896835)],
    "venus": [(0.0033, 357.9, 1170.35), (0.0031, 242.3, 450.37), (0.002, 273.5, 675.55)],
    "venus_dist": [(-0.000015, 357.9, 1170.35), (0.00001, 62.3, 450.37), (0.000008, 93, 675.6)],
    "mars": [(0.6225, 187.54, 382.797), (0.0503, 101.31, 574.196), (0.0146, 62.31, 0.198)],
    "mars_dist": [(-0.002825, 187.54, 382.797), (-0.000249, 101.31, 574.196), (-0.000024, 15.1, 765.59)],
    "jupiter": [(0.3323, 162.78, 0.385), (0.0541, 38.46, -36.256), (0.0447, 293.42, 29.941)],
    "jupiter_dist": [(0.00023, 38.47, -30.349), (0.000168, 293.36, -29.941), (0.000074, 200.5, -24.03)],
    "saturn": [(0.8081, 342.74, 0.385), (0.19, 3.57, -11.813), (0.1173, 224.52, -5.907)],
    "saturn_dist": [(0.000701, 3.43, -11.813), (0.000378, 110.54, -18.128), (0.000244, 219.13, -5.907)],
}


# Mean longitudes of date (degrees per Julian year) and mean anomalies.
LONGITUDE_RATE = {"mercury": 1494.740722, "venus": 585.192130, "earth": 360.007698, "mars": 191.416964,
                  "jupiter": 30.363027, "saturn": 12.235110, "uranus": 4.298640}
ANOMALY_RATE = {"mercury": 1494.725153, "venus": 585.178, "earth": 359.991, "mars": 191.399,
                "jupiter": 30.349, "saturn": 12.221}
NUTATION_RATES = [19.341, 38.682, 720.015]


def candidate_rates(planet):
    """Rates in degrees per year, non-negative, deduplicated."""
    rates = {0.0}
    for k in range(1, 9):
        rates.add(k * ANOMALY_RATE[planet])
    for k in range(1, 5):
        for extra in (ANOMALY_RATE["earth"], -ANOMALY_RATE["earth"]):
            rates.add(abs(k * ANOMALY_RATE[planet] + extra))
    rates.update(NUTATION_RATES)
    # Slow rates and side bands of the anomaly harmonics stand in for the secular drift of the
    # elements (terms like T cos kM) over the two fitted centuries.
    for delta in (0.4, 0.8, 1.2, 1.6):
        rates.add(delta)
        for k in range(1, 5):
            rates.add(k * ANOMALY_RATE[planet] + delta)
            rates.add(abs(k * ANOMALY_RATE[planet] - delta))
    others = [q for q in LONGITUDE_RATE if q != planet]
    np_ = LONGITUDE_RATE[planet]
    for q in others:
        for i in range(-6, 7):
            for j in range(-8, 9):
                if i == 0 and j == 0:
                    continue
                rates.add(abs(i * np_ + j * LONGITUDE_RATE[q]))
    if planet in ("jupiter", "saturn", "mars"):
        nj, ns, nu = LONGITUDE_RATE["jupiter"], LONGITUDE_RATE["saturn"], LONGITUDE_RATE["uranus"]
        for i in range(-6, 7):
            for j in range(-6, 7):
                for k in range(-4, 5):
                    rates.add(abs(i * nj + j * ns + k * nu))
    out = sorted(r for r in rates if r < 20000)
    dedup = []
    for r in out:
        if not dedup or r - dedup[-1] > 0.0005:
            dedup.append(r)
    return np.array(dedup)


def round_rate(rate, unit):
    return round(rate, 2) if unit == "cy" else round(rate, 3)


# ---------------------------------------------------------------- rows <-> coefficients

def basis(t, rate_deg):
    w = rate_deg * D
    return np.cos(t * w), np.sin(t * w)


def rows_from_coeffs(key, rates, coeffs):
    """coeffs: (p, q) pairs meaning p cos(wT) + q sin(wT), in radians (plain for distances)."""
    _, form, plain, _, _ = TABLES[key]
    rows = []
    for rate, (p, q) in zip(rates, coeffs):
        amp = math.hypot(p, q)
        if form == "cos":  # A cos(wT + f) = A cos f cos wT - A sin f sin wT
            phase = math.atan2(-q, p)
        else:  # A sin(wT + f) = A sin f cos wT + A cos f sin wT
            phase = math.atan2(p, q)
        if not plain:
            amp /= D
        phase = (phase / D) % 360.0
        if plain:
            amp = round(amp, 6)
        else:
            amp = round(amp, 4)
        phase = round(phase, 2) % 360.0
        rows.append((amp, phase, rate))
    return rows


def table_value(t, rows, form, plain):
    if form == "cos":
        return model.sum_cosine(t, rows, plain=plain)
    return model.sum_sine(t, rows)


# ---------------------------------------------------------------- greedy selection

def greedy(t, y, size, planet, unit, fixed_rates=()):
    """Choose `size` rates for residual y(t); returns rates, (p, q) coefficients and the residual.

    Each step takes the candidate whose sine/cosine pair, made orthogonal to the rows already
    chosen, removes the most of what is left (orthogonal matching pursuit), then solves all
    amplitudes again.
    """
    cands = candidate_rates(planet)
    if unit == "cy":
        cands = cands * 100.0
    taken = {round_rate(abs(r), unit) for r in fixed_rates}
    cands = np.array(sorted({round_rate(c, unit) for c in cands} - taken))
    step = max(1, len(t) // 12000)  # a coarser sample is enough to rank candidates
    ts, ys = t[::step], y[::step]
    chosen = []
    q = np.zeros((len(ts), 0))
    resid_s = ys.copy()
    for _ in range(size):
        best, best_gain = None, -1.0
        for chunk in np.array_split(cands, max(1, len(cands) // 150)):
            ph = np.outer(ts, chunk * D)
            c, s = np.cos(ph), np.sin(ph)
            bc, bs = resid_s @ c, resid_s @ s
            qc, qs = q.T @ c, q.T @ s
            gcc = np.einsum("ij,ij->j", c, c) - np.einsum("ij,ij->j", qc, qc)
            gss = np.einsum("ij,ij->j", s, s) - np.einsum("ij,ij->j", qs, qs)
            gcs = np.einsum("ij,ij->j", c, s) - np.einsum("ij,ij->j", qc, qs)
            det = gcc * gss - gcs * gcs
            ok = det > 1e-9 * (gcc * gss + 1e-300)
            gain = np.where(ok, (gss * bc * bc - 2 * gcs * bc * bs + gcc * bs * bs) / np.where(ok, det, 1.0),
                            -1.0)
            for rate, g in zip(chunk, gain):
                if g > best_gain and rate not in chosen:
                    best, best_gain = rate, g
        chosen.append(best)
        cc, ss = basis(ts, best)
        for v in (cc, ss):
            v = v - q @ (q.T @ v)
            v = v - q @ (q.T @ v)
            q = np.column_stack([q, v / np.linalg.norm(v)])
        resid_s = ys - q @ (q.T @ ys)
    cols = []
    for r in chosen:
        cc, ss = basis(t, r)
        cols += [cc, ss]
    a = np.column_stack(cols)
    sol, *_ = np.linalg.lstsq(a, y, rcond=None)
    return chosen, sol.reshape(-1, 2), y - a @ sol


# ---------------------------------------------------------------- stage 1 targets

def stage1(planet, jd, ref, tables, log):
    r = ref[planet]
    if planet == "mercury":
        tc = model.centuries_since_j2000(jd)
        empty = dict(tables, mercury_lon=GIVEN["mercury_lon"], mercury_lat=GIVEN["mercury_lat"])
        l0, b0, _ = model.mercury_lbr(jd, empty)
        for key, target, base in (("mercury_lon", r["l"], l0), ("mercury_lat", r["b"], b0)):
            y = model.wrap(target - base)
            n = TABLES[key][3] - len(GIVEN[key])
            rates, coeffs, resid = greedy(tc, y, n, planet, "cy", [g[2] for g in GIVEN[key]])
            tables[key] = GIVEN[key] + rows_from_coeffs(key, rates, coeffs)
            log("  %s: stage 1 rms %.2f\" max %.2f\"" % (key, rms(resid) / D * 3600,
                                                      np.abs(resid).max() / D * 3600))
        return
    t = model.years_since_1975(jd)
    if planet in model.INNER_FORM:
        f = model.INNER_FORM[planet]
        m, e_pr = model.inner_principal_E(planet, t)
        e = e_pr + model.sum_sine(t, GIVEN[planet])
        for _ in range(8):  # Newton on l(E) = l_ref
            q = f["q1"] * D * t + 2 * e + f["q0"] * D
            fval = model.wrap(model.inner_l_from_E(planet, t, e) - r["l"])
            e = e - fval / (1 - 2 * f["c"] * D * np.cos(q))
        y = model.wrap(e - e_pr - model.sum_sine(t, GIVEN[planet]))
        key = planet
        rates, coeffs, resid = greedy(t, y, TABLES[key][3] - 3, planet, "yr", [g[2] for g in GIVEN[key]])
        tables[key] = GIVEN[key] + rows_from_coeffs(key, rates, coeffs)
        log("  %s E: stage 1 rms %.2f\" max %.2f\"" % (planet, rms(resid) / D * 3600,
                                                    np.abs(resid).max() / D * 3600))
        x_target = np.log10(r["r"])
        x0 = (f["g1"] * t + f["g0"]) * np.cos(m) + f["h"] + model.sum_cosine(t, GIVEN[planet + "_dist"], True)
    else:
        f = model.OUTER_FORM[planet]
        nu = r["l"] - 0.01396 * D * t - f["p"] * D
        base = nu.copy()
        for _ in range(10):
            nu = base - f["w"] * D * np.sin(2 * nu + f["w0"] * D)
        m = nu - f["a"][0] * D * np.sin(nu)
        for _ in range(10):
            fval = model.outer_nu(planet, m) - nu
            a = f["a"]
            dfd = 1 + D * (a[0] * np.cos(m) + 2 * a[1] * np.cos(2 * m) + 3 * a[2] * np.cos(3 * m)
                           + 4 * a[3] * np.cos(4 * m))
            m = m - fval / dfd
        m_pr = model.outer_principal_M(planet, t) + model.sum_sine(t, GIVEN[planet])
        y = model.wrap(m - m_pr)
        key = planet
        rates, coeffs, resid = greedy(t, y, TABLES[key][3] - 3, planet, "yr", [g[2] for g in GIVEN[key]])
        tables[key] = GIVEN[key] + rows_from_coeffs(key, rates, coeffs)
        log("  %s M: stage 1 rms %.2f\" max %.2f\"" % (planet, rms(resid) / D * 3600,
                                                    np.abs(resid).max() / D * 3600))
        mm = model.outer_principal_M(planet, t) + model.sum_sine(t, tables[planet])
        nu = model.outer_nu(planet, mm)
        if planet == "saturn":
            target = np.sin(r["b"] - model.outer_b_rest(planet, t, nu))
            a = np.column_stack([np.sin(nu), np.cos(nu)])
            (kc, ks), *_ = np.linalg.lstsq(a, target, rcond=None)
            tables["saturn_lat_principal"] = (round(math.hypot(kc, ks), 6),
                                              round((math.atan2(ks, kc) / D) % 360.0, 3))
            log("  saturn principal latitude term: k %.6f phase %.3f" % tables["saturn_lat_principal"])
        x_target = np.log10(r["r"] * (1 + f["e"] * np.cos(nu)) / f["f"])
        x0 = model.outer_x_principal(planet, t) + model.sum_cosine(t, GIVEN[planet + "_dist"], True)
    key = planet + "_dist"
    y = x_target - x0
    rates, coeffs, resid = greedy(t, y, TABLES[key][3] - len(GIVEN[key]), planet, "yr",
                                  [g[2] for g in GIVEN[key]])
    tables[key] = GIVEN[key] + rows_from_coeffs(key, rates, coeffs)
    log("  %s x: stage 1 rms %.2e max %.2e" % (planet, rms(resid), np.abs(resid).max()))


def rms(x):
    return float(np.sqrt(np.mean(np.square(x))))


# ---------------------------------------------------------------- stage 2

def free_keys(planet):
    return [k for k, v in TABLES.items() if v[0] == planet and TABLES[k][3] > len(GIVEN[k])]


def geo_error(planet, jd, ref, tables, extra={}):
    ra, dec = model.planet_equatorial(planet, jd, tables, extra)
    r = ref[planet]
    return np.concatenate([model.wrap(ra - r["ra"]) * np.cos(r["dec"]), dec - r["dec"]])


def stage2(planet, jd, ref, tables, iterations=6, weight_power=1.0):
    """Joint geocentric least squares of all free coefficients, rates kept."""
    keys = free_keys(planet)
    t_years = model.years_since_1975(jd)
    t_cent = model.centuries_since_j2000(jd)
    w = np.ones(2 * len(jd))
    for it in range(iterations):
        e0 = geo_error(planet, jd, ref, tables)
        cols = []
        for key in keys:
            _, form, plain, _, unit = TABLES[key]
            t = t_cent if unit == "cy" else t_years
            h = 1e-7  # a step in radians, or in the distance unit
            jac = (geo_error(planet, jd, ref, tables, {key: h}) - e0) / h
            for row in tables[key][len(GIVEN[key]):]:
                c, s = basis(t, row[2])
                cols += [jac * np.tile(c, 2), jac * np.tile(s, 2)]
        if planet == "saturn":
            h = 1e-7
            jac = (geo_error(planet, jd, ref, tables, {"saturn_lat_principal": h}) - e0) / h
            mm = model.outer_principal_M(planet, t_years) + model.sum_sine(t_years, tables["saturn"])
            nu = model.outer_nu(planet, mm)
            cols += [jac * np.tile(np.sin(nu), 2), jac * np.tile(np.cos(nu), 2)]
        a = np.column_stack(cols)
        # Current coefficients as the linearisation point.
        x0 = []
        for key in keys:
            _, form, plain, _, _ = TABLES[key]
            for amp, ph, _ in tables[key][len(GIVEN[key]):]:
                amp_r = amp if plain else amp * D
                if form == "cos":
                    x0 += [amp_r * math.cos(ph * D), -amp_r * math.sin(ph * D)]
                else:
                    x0 += [amp_r * math.sin(ph * D), amp_r * math.cos(ph * D)]
        if planet == "saturn":
            ks, phs = tables["saturn_lat_principal"]
            x0 += [ks * math.cos(phs * D), ks * math.sin(phs * D)]
        x0 = np.array(x0)
        if weight_power > 0 and it > 0:
            n = len(jd)
            mag = np.sqrt(e0[:n] ** 2 + e0[n:] ** 2)
            ww = (mag / mag.mean()) ** weight_power
            w = np.sqrt(np.concatenate([ww, ww]))
        sol, *_ = np.linalg.lstsq(a * w[:, None], -e0 * w, rcond=None)
        x1 = x0 + sol
        i = 0
        for key in keys:
            n_free = len(tables[key]) - len(GIVEN[key])
            rates = [row[2] for row in tables[key][len(GIVEN[key]):]]
            coeffs = x1[i:i + 2 * n_free].reshape(-1, 2)
            tables[key] = GIVEN[key] + rows_from_coeffs(key, rates, coeffs)
            i += 2 * n_free
        if planet == "saturn":
            kc, ks = x1[i], x1[i + 1]
            tables["saturn_lat_principal"] = (round(math.hypot(kc, ks), 6),
                                              round((math.atan2(ks, kc) / D) % 360.0, 3))


def sort_rows(tables):
    for key in TABLES:
        if key in tables:
            g = len(GIVEN[key])
            tables[key] = tables[key][:g] + sorted(tables[key][g:], key=lambda r: -abs(r[0]))


# ---------------------------------------------------------------- measuring

def measure(planet, jd, ref, tables):
    ra, dec = model.planet_equatorial(planet, jd, tables)
    r = ref[planet]
    err = model.angle_between(ra, dec, r["ra"], r["dec"]) / D * 60.0
    return rms(err), float(err.max())


# ---------------------------------------------------------------- output

def write_py(path, tables):
    with open(path, "w") as fh:
        fh.write("# Generated by fit.py: the fitted tables in degrees, for make_reference.py and checks.\n")
        fh.write("TABLES = {\n")
        for key in TABLES:
            fh.write("    %r: [\n" % key)
            for row in tables[key]:
                fh.write("        %r,\n" % (tuple(row),))
            fh.write("    ],\n")
        fh.write("    'saturn_lat_principal': %r,\n" % (tuple(tables["saturn_lat_principal"]),))
        fh.write("}\n")


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    root = os.path.normpath(os.path.join(here, "..", ".."))
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--out", default=os.path.join(root, "src", "astro", "planet_tables.cpp"))
    ap.add_argument("--py", default=os.path.join(here, "tables.py"))
    ap.add_argument("--step", type=float, default=1.37, help="sampling step in days")
    ap.add_argument("--planets", default=",".join(model.PLANETS))
    ap.add_argument("--stage2-only", action="store_true", help="keep the rates of --py, redo stage 2")
    ap.add_argument("--iterations", type=int, default=6, help="stage 2 passes")
    ap.add_argument("--weight", type=float, default=1.0,
                    help="stage 2 reweighting power (0: plain least squares)")
    args = ap.parse_args()

    # 1900-03-01 to 2100-02-28: the engine's day count is continuous there.
    jd = np.arange(2415079.5, 2488127.5, args.step)
    ref = reference.cached(jd, "fit")
    jd_t = np.arange(2433282.5, 2469807.5, 0.9)  # 1950-2050 check
    ref_t = reference.cached(jd_t, "check")

    tables = {"saturn_lat_principal": (0.0434, 339.0)}
    tables.update({k: list(v) for k, v in GIVEN.items()})
    # Tables not fitted yet are filled with zero rows while other planets are worked on.
    for key, (_, _, _, size, _) in TABLES.items():
        while len(tables[key]) < size:
            tables[key].append((0.0, 0.0, 0.0))
    if os.path.exists(args.py):  # start from the last fit (planets not fitted now keep it)
        module_spec = importlib.util.spec_from_file_location("previous_tables", args.py)
        previous = importlib.util.module_from_spec(module_spec)
        module_spec.loader.exec_module(previous)
        for key, v in previous.TABLES.items():
            tables[key] = list(v)

    log = print
    for planet in args.planets.split(","):
        log(planet)
        bare = dict(tables)
        for key in TABLES:
            if TABLES[key][0] == planet:
                bare[key] = GIVEN[key] + [(0.0, 0.0, 0.0)] * (TABLES[key][3] - len(GIVEN[key]))
        before = measure(planet, jd_t, ref_t, bare)
        if not args.stage2_only:
            stage1(planet, jd, ref, tables, log)
        s1 = measure(planet, jd_t, ref_t, tables)
        stage2(planet, jd, ref, tables, iterations=args.iterations, weight_power=args.weight)
        sort_rows(tables)
        s2 = measure(planet, jd_t, ref_t, tables)
        log("  1950-2050 angular error (arcmin): principal+given rows rms %.3f max %.3f; stage 1 rms %.3f "
            "max %.3f; stage 2 rms %.3f max %.3f" % (before + s1 + s2))
    write_py(args.py, tables)
    write_cpp(args.out, tables)


if __name__ == "__main__":
    main()
