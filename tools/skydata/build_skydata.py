#!/usr/bin/python3
"""Builds celes' sky data from open catalogues shipped by Debian and npm packages.

Writes, into the output folder (data/ by default):
  celes.dat        stars of the Bright Star Catalogue, Messier objects, bright NGC/IC objects and
                   the 89 constellation name labels, as one record stream
  celesline.dat    constellation lines (Stellarium's western sky culture)
  celesconste.dat  constellation figures (H.A. Rey's figures from Stellarium)
  Milkey.p92       the Milky Way outline (d3-celestial)
  celesalias.txt   English common names of the objects that are listed under a Japanese name or
                   their designation, so that find by name accepts them too
  README.md        sources, licences, epoch and counts

Positions are J2000 in every source; stars are moved by their proper motion and everything is
precessed to the mean equinox of the chosen epoch (2030.0 by default) so the fixed sky agrees
with the Sun, Moon and planets, which the program computes for the equinox of date.

Every output is a pure function of the source files and the options: reruns are byte-identical.
"""

import argparse
import json
import math
import os
import re
import sqlite3
import struct
import subprocess
import sys
import tarfile
import tempfile
import unicodedata
import xml.etree.ElementTree as ET

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import skyformats as sf  # noqa: E402

D3_VERSION = "0.7.35"
XPLANET_BSC = "/usr/share/xplanet/stars/BSC"
STEL = "/usr/share/stellarium"
KSTARS = "/usr/share/kstars"
MAX_NGC_MAG = 10.0

# Mark codes for NGC/IC objects: negative type codes, one per kind of object, picked from the
# program's mark table so that each kind reads like its usual chart symbol.
NGC_MARKS = {
    3: -2,   # open cluster: nine dots on a square ring, a dotted circle
    4: -6,   # globular cluster: circle with a cross
    5: -11,  # bright nebula: star-burst
    6: -3,   # planetary nebula: circle with a centre dot
    7: -4,   # supernova remnant: star-burst (its own code, same shape as nebulae)
    8: -1,   # galaxy: flattened ellipse
}
NGC_KIND_NAMES = {3: "open cluster", 4: "globular cluster", 5: "bright nebula",
                  6: "planetary nebula", 7: "supernova remnant", 8: "galaxy"}

MESSIER_TYPES = {
    "gc": sf.TYPE_GLOBULAR, "oc": sf.TYPE_OPEN_CLUSTER, "pos": sf.TYPE_OPEN_CLUSTER,
    "pn": sf.TYPE_PLANETARY, "en": sf.TYPE_DIFFUSE, "rn": sf.TYPE_DIFFUSE,
    "bn": sf.TYPE_DIFFUSE, "dn": sf.TYPE_DIFFUSE, "snr": sf.TYPE_SNR,
    "sfr": sf.TYPE_NEBULA_CLUSTER,
}
GALAXY_TYPES = {"s", "e", "i", "s0", "sd", "g", "gg", "l"}


def log(*args):
    print(*args, file=sys.stderr)


# ---------------------------------------------------------------------------------------------
# Astrometry


def julian_epoch_jd(epoch):
    return 2451545.0 + (epoch - 2000.0) * 365.25


def precession_matrix(epoch):
    """IAU 1976 precession from the mean equinox of J2000 to that of a Julian epoch."""
    t = (julian_epoch_jd(epoch) - 2451545.0) / 36525.0
    arcsec = math.pi / (180.0 * 3600.0)
    zeta = (2306.2181 * t + 0.30188 * t * t + 0.017998 * t ** 3) * arcsec
    z = (2306.2181 * t + 1.09468 * t * t + 0.018203 * t ** 3) * arcsec
    theta = (2004.3109 * t - 0.42665 * t * t - 0.041833 * t ** 3) * arcsec
    cz, sz = math.cos(z), math.sin(z)
    ct, st = math.cos(theta), math.sin(theta)
    cc, sc = math.cos(zeta), math.sin(zeta)
    return ((cz * ct * cc - sz * sc, -cz * ct * sc - sz * cc, -cz * st),
            (sz * ct * cc + cz * sc, -sz * ct * sc + cz * cc, -sz * st),
            (st * cc, -st * sc, ct))


def unit(ra, dec):
    cd = math.cos(dec)
    return (cd * math.cos(ra), cd * math.sin(ra), math.sin(dec))


def angles(v):
    x, y, z = v
    ra = math.atan2(y, x)
    if ra < 0.0:
        ra += 2.0 * math.pi
    if ra >= 2.0 * math.pi:
        ra = 0.0
    return ra, math.atan2(z, math.hypot(x, y))


def separation(a, b):
    """Angle between two (ra, dec) pairs in radians."""
    va, vb = unit(*a), unit(*b)
    cross = (va[1] * vb[2] - va[2] * vb[1], va[2] * vb[0] - va[0] * vb[2],
             va[0] * vb[1] - va[1] * vb[0])
    return math.atan2(math.sqrt(sum(c * c for c in cross)), sum(p * q for p, q in zip(va, vb)))


class Transform:
    """J2000 position (and proper motion) to the mean place at the target epoch."""

    def __init__(self, epoch):
        self.epoch = epoch
        self.years = epoch - 2000.0
        self.matrix = precession_matrix(epoch)

    def apply(self, ra, dec, pm_ra=0.0, pm_dec=0.0):
        """ra, dec in radians (J2000); proper motions in mas/yr, pm_ra including cos(dec)."""
        p = unit(ra, dec)
        if pm_ra or pm_dec:
            k = self.years * math.pi / (180.0 * 3600.0 * 1000.0)
            sa, ca = math.sin(ra), math.cos(ra)
            sd = math.sin(dec)
            e_ra = (-sa, ca, 0.0)
            e_dec = (-sd * ca, -sd * sa, math.cos(dec))
            p = tuple(p[i] + k * (pm_ra * e_ra[i] + pm_dec * e_dec[i]) for i in range(3))
            n = math.sqrt(sum(c * c for c in p))
            p = tuple(c / n for c in p)
        m = self.matrix
        q = tuple(m[i][0] * p[0] + m[i][1] * p[1] + m[i][2] * p[2] for i in range(3))
        return angles(q)


# ---------------------------------------------------------------------------------------------
# Text


def cp932(text):
    """The text in CP932, or None when a character has no CP932 form."""
    try:
        return text.encode("cp932")
    except UnicodeEncodeError:
        return None


def first_cp932(*candidates):
    for c in candidates:
        if c:
            b = cp932(c.strip())
            if b:
                if len(b) >= 5 and b[-2:-1] == b" ":
                    # A blank just before the last byte would be cut off if the record were
                    # ever written back ("... I"): use an ideographic space instead.
                    b = b[:-2] + "\u3000".encode("cp932") + b[-1:]
                return b
    return b""


def read_ts_translations(qm_path, lconvert):
    """English -> translated text from a Qt .qm file (through lconvert's .ts output)."""
    with tempfile.TemporaryDirectory() as tmp:
        ts = os.path.join(tmp, "out.ts")
        subprocess.run([lconvert, "-i", qm_path, "-o", ts], check=True)
        root = ET.parse(ts).getroot()
    out = {}
    for msg in root.iter("message"):
        src = msg.findtext("source")
        tr = msg.find("translation")
        if not src or tr is None or not (tr.text or "").strip():
            continue
        if tr.get("type") in ("unfinished", "obsolete", "vanished"):
            continue
        if msg.findtext("comment"):
            # Disambiguated entries belong to other sky cultures' homonyms.
            out.setdefault(("c", src), tr.text.strip())
            continue
        out.setdefault(src, tr.text.strip())
    return {k: v for k, v in out.items() if isinstance(k, str)}


def japanese(text):
    """True when a translated name actually carries Japanese script."""
    return any(ord(ch) > 0x2FFF for ch in text)


# ---------------------------------------------------------------------------------------------
# Source readers


def read_bsc(path):
    stars = []
    pat = re.compile(r'\s*(\S+)\s+(\S+)\s+(\S+)\s+"(.{10})"\s+(\d+)\s+(\d+)(?:\s+(\d+))?\s*$')
    with open(path, encoding="ascii") as f:
        for line in f:
            if line.startswith("#") or not line.strip():
                continue
            m = pat.match(line)
            if not m:
                if line.strip().isdigit():
                    continue  # xplanet's star count line
                raise ValueError(f"unreadable BSC line: {line!r}")
            dec, ra_h, vmag, text, hr, hd = m.group(1, 2, 3, 4, 5, 6)
            stars.append({"dec": math.radians(float(dec)), "ra": math.radians(float(ra_h) * 15.0),
                          "mag": float(vmag), "text": text, "hr": int(hr), "hd": int(hd)})
    return stars


def read_cross_id(path):
    by_hr, by_hd = {}, {}
    with open(path, encoding="ascii") as f:
        for line in f:
            if line.startswith("#"):
                continue
            cols = line.rstrip("\n").split("\t")
            if not cols[0].strip():
                continue
            hip = int(cols[0])
            comp = cols[1].strip()
            hd = int(cols[3]) if len(cols) > 3 and cols[3].strip() else 0
            hr = int(cols[4]) if len(cols) > 4 and cols[4].strip() else 0
            # The first row (or the row without a component letter) is the primary star.
            if hr and (hr not in by_hr or not comp):
                by_hr.setdefault(hr, hip)
            if hd and (hd not in by_hd or not comp):
                by_hd.setdefault(hd, hip)
    return by_hr, by_hd


def read_hip_pm(path):
    pm = {}
    with open(path, encoding="ascii") as f:
        for line in f:
            if line.startswith("#") or not line.strip():
                continue
            hip, pra, pde = line.split()[:3]
            pm[int(hip)] = (float(pra), float(pde))
    return pm


def read_stellarium_spectra(folder):
    """HIP -> spectral type from Stellarium's star catalogue levels 0 to 2."""
    with open(os.path.join(folder, "stars_hip_sp_0v0_4.cat"), encoding="latin-1") as f:
        types = f.read().split("\n")
    out = {}
    for fn in ("stars_0_0v0_8.cat", "stars_1_0v0_8.cat", "stars_2_0v0_8.cat"):
        with open(os.path.join(folder, fn), "rb") as f:
            b = f.read()
        magic, typ, _, _, level = struct.unpack_from("<Iiiii", b, 0)
        if magic != 0x835F040A or typ != 0:
            raise ValueError(f"{fn}: not a Hipparcos star file")
        zones = 20 * 4 ** level
        count = sum(struct.unpack_from(f"<{zones}I", b, 32))
        p = 32 + 4 * zones
        for k in range(count):
            hc, sp_index = struct.unpack_from("<I", b, p + 28 * k)[0], \
                struct.unpack_from("<H", b, p + 28 * k + 14)[0]
            hip = hc & 0xFFFFFF
            if hip and hip not in out and 0 < sp_index < len(types):
                out[hip] = types[sp_index].strip()
    return out


def read_kstars_stars(paths):
    """HD -> (spectral type, pmRA, pmDec) from KStars' binary star files."""
    out = {}
    for path in paths:
        with open(path, "rb") as f:
            b = f.read()
        p = 124
        if b[p:p + 2] != b"SK":
            raise ValueError(f"{path}: unexpected byte order mark")
        p += 3
        (nfields,) = struct.unpack_from("<H", b, p)
        p += 2 + 16 * nfields
        (ntrixels,) = struct.unpack_from("<I", b, p)
        p += 4
        for t in range(ntrixels):
            _, off, n = struct.unpack_from("<III", b, p + 12 * t)
            for k in range(n):
                ra, dec, dra, ddec, plx, hd, mag, bv, sp, fl, un = struct.unpack_from(
                    "<iiiiiihh2sBB", b, off + 32 * k)
                if hd and hd not in out:
                    out[hd] = (sp.decode("latin-1").strip("\0 "), dra / 10.0, ddec / 10.0)
    return out


def read_fab_names(path):
    """HIP -> first English name of a Stellarium star_names.fab."""
    out = {}
    pat = re.compile(r'\s*(\d+)\|_\("(.*?)"\)')
    with open(path, encoding="utf-8") as f:
        for line in f:
            m = pat.match(line)
            if m:
                out.setdefault(int(m.group(1)), m.group(2))
    return out


def read_constellationship(path):
    """Abbreviation -> list of (hip, hip) segments, in file order.

    Lines starting with "." are sub-figures named after their constellation (".Chae"); their
    segments are merged into it, skipping repeats and the one-star marks (a star paired with
    itself)."""
    out = {}
    with open(path, encoding="utf-8") as f:
        for line in f:
            cols = line.split()
            if not cols or cols[0].startswith("#"):
                continue
            sub = cols[0].startswith(".")
            abbr = cols[0][1:4] if sub else cols[0]
            n = int(cols[1])
            hips = [int(x) for x in cols[2:2 + 2 * n]]
            if len(hips) != 2 * n:
                raise ValueError(f"{path}: short line for {cols[0]}")
            segs = out.setdefault(abbr, [])
            for i in range(n):
                seg = (hips[2 * i], hips[2 * i + 1])
                if sub and seg[0] == seg[1]:
                    continue
                if seg not in segs and seg[::-1] not in segs:
                    segs.append(seg)
    return out


def read_kstars_bounds(path, full_to_abbr):
    polys = []
    current = None
    with open(path, encoding="utf-8") as f:
        for line in f:
            if line.startswith(":"):
                name = line[1:].strip()
                if name.startswith("Serpens"):
                    abbr = "Ser"
                else:
                    abbr = full_to_abbr[name]
                current = (abbr, [])
                polys.append(current)
            elif line.strip() and current is not None:
                ra_h, dec = line.split()[:2]
                current[1].append((math.radians(float(ra_h) * 15.0), math.radians(float(dec))))
    return polys


class ConstellationFinder:
    """Which constellation a J2000 position lies in, from the IAU boundaries as KStars ships them.

    A point is inside a boundary polygon when the polygon winds once around it, seen on the
    sphere from the point itself; the polygons are densified to about a degree per edge.
    """

    def __init__(self, polys):
        self.polys = []
        for abbr, pts in polys:
            vecs = [unit(*p) for p in pts]
            c = [sum(v[t] for v in vecs) for t in range(3)]
            cn = math.sqrt(sum(x * x for x in c))
            c = tuple(x / cn for x in c)
            cos_r = min(sum(v[t] * c[t] for t in range(3)) for v in vecs)
            if cos_r <= 0.0:
                raise ValueError(f"boundary of {abbr} spans more than a hemisphere")
            self.polys.append((abbr, vecs, c, cos_r))

    @staticmethod
    def _winding(p, vecs):
        ra, dec = angles(p)
        e = (-math.sin(ra), math.cos(ra), 0.0)
        n = (-math.sin(dec) * math.cos(ra), -math.sin(dec) * math.sin(ra), math.cos(dec))
        total = 0.0
        prev = None
        e0, e1 = e[0], e[1]
        n0, n1, n2 = n
        for x, y, z in vecs + vecs[:1]:
            a = math.atan2(x * e0 + y * e1, x * n0 + y * n1 + z * n2)
            if prev is not None:
                d = a - prev
                if d > math.pi:
                    d -= 2 * math.pi
                elif d < -math.pi:
                    d += 2 * math.pi
                total += d
            prev = a
        return total

    def find(self, ra, dec):
        p = unit(ra, dec)
        for abbr, vecs, c, cos_r in self.polys:
            # Only polygons whose bounding cap holds the point; this also keeps the winding test
            # from answering for the point's antipode.
            if sum(p[t] * c[t] for t in range(3)) < cos_r - 1e-9:
                continue
            if abs(self._winding(p, vecs)) > math.pi:
                return abbr
        return None


# ---------------------------------------------------------------------------------------------
# Builders


def clean_spectral(sp):
    """A class text whose first letter is the star's colour class."""
    sp = sp.strip()
    m = re.match(r"k([A-Z][\d.]*)h([A-Z][\d.]*)m([A-Z][\d.]*)(.*)", sp)
    if m:  # Am star "kA2hA5mA7V": the hydrogen type is the temperature class
        sp = m.group(2) + m.group(4) + " " + "k" + m.group(1) + "m" + m.group(3)
    sp = re.sub(r"^(esd|sd|d|g|c)(?=[OBAFGKM])", "", sp)
    return sp


def good_spectral(sp):
    return bool(sp) and sp[0] in "OBAFGKMWCSNRDLTY"


def star_designation(text):
    """Designation bytes from the BSC text: Flamsteed number in bytes 0..2, the Greek-letter
    code in 3..5 (blanks without one), the component digit in 6."""
    flam = text[0:3]
    bayer = text[3:6]
    comp = text[6]
    if bayer == "Psi":
        bayer = "PSi"  # the spelling the program's letter table expects
    if bayer.strip() and bayer not in sf.GREEK_CODES:
        raise ValueError(f"unknown Greek-letter code {bayer!r}")
    desig = (flam + (bayer if bayer.strip() else "   ")).encode("ascii")
    if comp.strip():
        desig += comp.encode("ascii")
    return desig


class Sources:
    """The source data shared by the builders: the d3-celestial folder and name tables."""

    def __init__(self, args):
        self.d3 = args.d3_dir
        self.sky_ts = {}       # Stellarium sky-culture names, English -> Japanese
        self.main_ts = {}      # Stellarium program texts (object names), English -> Japanese
        self.d3dso = {}        # d3-celestial object names by designation ("NGC 1976")
        self.openngc_names = {}  # OpenNGC long names of Messier objects by "M42"
        self.aliases = []      # (find key, [English names]) for celesalias.txt, in record order


def constellation_of(finder, ra, dec):
    """The constellation field for a J2000 position: its abbreviation, so that objects follow
    the constellation filter and the popups of their constellation."""
    return (finder.find(ra, dec) or " ").encode("ascii")


def build_stars(src, tf, finder, extra_hips, stats):
    bsc = read_bsc(XPLANET_BSC)
    by_hr, by_hd = read_cross_id(os.path.join(STEL, "stars/default/cross-id.dat"))
    hip_pm = read_hip_pm(os.path.join(STEL, "stars/default/hip_pm.dat"))
    spectra = read_stellarium_spectra(os.path.join(STEL, "stars/default"))
    kst = read_kstars_stars([os.path.join(KSTARS, "namedstars.dat"),
                             os.path.join(KSTARS, "unnamedstars.dat")])
    en_names = read_fab_names(os.path.join(STEL, "skycultures/western/star_names.fab"))
    ja_ts = src.sky_ts
    with open(os.path.join(src.d3, "data/starnames.json"), encoding="utf-8") as f:
        d3names = json.load(f)

    stars = []
    hip_of = {}
    used_hips = set()
    n_cons_bsc = n_cons_found = n_cons_disagree = 0
    n_pm_kstars = n_pm_none = n_sp_kstars = n_sp_none = n_ja = n_en = 0
    for s in bsc:
        hip = by_hr.get(s["hr"]) or by_hd.get(s["hd"])
        if hip in used_hips:
            hip = None  # a second BSC component sharing one Hipparcos entry
        if hip:
            used_hips.add(hip)
        text = s["text"]
        cons = text[7:10].strip()
        found = finder.find(s["ra"], s["dec"])
        if cons:
            n_cons_bsc += 1
            if found and found != cons:
                n_cons_disagree += 1
        else:
            cons = found
            if cons:
                n_cons_found += 1
        if hip and hip in hip_pm:
            pm = hip_pm[hip]
        elif s["hd"] in kst:
            pm = kst[s["hd"]][1:]
            n_pm_kstars += 1
        else:
            pm = (0.0, 0.0)
            n_pm_none += 1
        sp = clean_spectral(spectra.get(hip, "")) if hip else ""
        if not good_spectral(sp):
            ks = kst.get(s["hd"], ("",))[0]
            if good_spectral(ks):
                sp = ks
                n_sp_kstars += 1
            elif sp == "":
                n_sp_none += 1
        en = en_names.get(hip) if hip else None
        ja = None
        if en and en in ja_ts and japanese(ja_ts[en]):
            ja = ja_ts[en]
        if not ja and hip and str(hip) in d3names:
            cand = d3names[str(hip)].get("ja", "")
            if cand and japanese(cand):
                ja = cand
        name = first_cp932(ja, en)
        if ja and name == cp932(ja.strip()):
            n_ja += 1
            if en and s["hr"]:
                src.aliases.append((f"HR {s['hr']}", [en]))
        elif name:
            n_en += 1
        ra, dec = tf.apply(s["ra"], s["dec"], *pm)
        rec = sf.Record(number=s["hr"], designation=star_designation(text),
                        constellation=(cons or " ").encode("ascii"), ra=ra, dec=dec,
                        magnitude=s["mag"], name=name,
                        class_text=sp.encode("ascii", "replace")[:20], type=sf.TYPE_STAR)
        stars.append((s["mag"], s["hr"], rec))
        if hip:
            hip_of[hip] = rec

    # Stars that a constellation figure needs but the BSC does not hold (fainter than 6.5).
    d3stars = None
    for hip in sorted(extra_hips - set(hip_of)):
        if d3stars is None:
            with open(os.path.join(src.d3, "data/stars.14.json"), encoding="utf-8") as f:
                d3stars = {ft["id"]: ft for ft in json.load(f)["features"]}
        ft = d3stars[hip]
        lon, lat = ft["geometry"]["coordinates"]
        ra0, dec0 = math.radians(lon % 360.0), math.radians(lat)
        ra, dec = tf.apply(ra0, dec0, *hip_pm.get(hip, (0.0, 0.0)))
        sp = clean_spectral(spectra.get(hip, ""))
        mag = float(ft["properties"]["mag"])
        rec = sf.Record(number=0, designation=b" " * 6,
                        constellation=constellation_of(finder, ra0, dec0),
                        ra=ra, dec=dec, magnitude=mag, name=b"",
                        class_text=sp.encode("ascii", "replace")[:20], type=sf.TYPE_STAR)
        stars.append((mag, 10000 + hip, rec))
        hip_of[hip] = rec
        stats["extra stars"] = stats.get("extra stars", []) + [f"HIP {hip} (V {mag})"]

    # Brightest first: the chart draws the list from the end, so bright stars land on top.
    stars.sort(key=lambda t: (t[0], t[1]))
    stats.update({
        "stars": len(stars), "stars from BSC": len(bsc),
        "stars with a Hipparcos number": len(used_hips),
        "constellation from BSC text": n_cons_bsc,
        "constellation from boundaries": n_cons_found,
        "BSC constellation disagreeing with boundaries": n_cons_disagree,
        "proper motion from KStars (no HIP)": n_pm_kstars, "no proper motion": n_pm_none,
        "spectral type from KStars": n_sp_kstars, "no spectral type": n_sp_none,
        "Japanese star names": n_ja, "English star names": n_en,
    })
    return [t[2] for t in stars], hip_of


def dso_japanese(src, english_names, desig_keys):
    for key in desig_keys:
        ent = src.d3dso.get(key)
        if ent and ent.get("ja") and japanese(ent["ja"]) and cp932(ent["ja"]):
            return ent["ja"]
    for en in english_names:
        tr = src.sky_ts.get(en) or src.main_ts.get(en)
        if tr and japanese(tr) and cp932(tr):
            return tr
    return None


def unique(names):
    seen = set()
    return [n for n in names if not (n in seen or seen.add(n))]


def ascii_name(text):
    """An English name in plain ASCII (accents dropped), so the alias file is valid Shift-JIS."""
    plain = unicodedata.normalize("NFKD", text).encode("ascii", "ignore").decode("ascii")
    plain = re.sub(r"\s+", " ", plain.replace("\t", " ")).strip()
    return plain if re.search(r"[A-Za-z]", plain) else ""


def add_alias(src, key, english_names):
    names = unique([n for n in (ascii_name(e) for e in english_names) if n])
    if names:
        src.aliases.append((key, names))


def pack_aliases(aliases):
    """celesalias.txt: one object a line, its find key (the deep-sky designation, "HR n" for a
    star) and its English names, separated by tabs; LF line ends, ASCII only."""
    lines = ["\t".join([key] + names) for key, names in aliases]
    return ("\n".join(lines) + "\n").encode("ascii")


def split_long_name(long_name):
    names = [n.strip() for n in (long_name or "").split(",")]
    # Cross-identifications ("NGC 1976", "PGC 2758", "Sh2-279", "ESO 97-13") are no common names.
    return [n for n in names if n and not re.match(r"^[A-Z][A-Za-z]{0,4}\d?[\s-]*[\d+-]", n)]


def build_messier(src, tf, finder, stats):
    with open(os.path.join(src.d3, "data/messier.json"), encoding="utf-8") as f:
        feats = json.load(f)["features"]
    recs = []
    ngc_numbers = set()
    n_ja = 0
    for ft in feats:
        p = ft["properties"]
        mid = ft["id"]
        num = int(mid[1:])
        typ = MESSIER_TYPES.get(p["type"]) or (sf.TYPE_GALAXY if p["type"] in GALAXY_TYPES
                                                else None)
        if typ is None:
            raise ValueError(f"{mid}: unknown type {p['type']}")
        desig = p.get("desig", "")
        m = re.match(r"(NGC|IC)\s*(\d+)", desig)
        if m:
            ngc_numbers.add((m.group(1), int(m.group(2))))
        # d3-celestial names a few objects by their Messier number ("M 45") and writes pairs as
        # "NGC 5194/5": the first member carries the pair's name.
        keys = [k for k in (desig, desig.split("/")[0], f"M {num}") if k]
        en = [src.d3dso.get(k, {}).get("name") for k in keys]
        en += split_long_name(src.openngc_names.get(mid)) + split_long_name(p.get("alt"))
        en = unique([n for n in en if n])
        ja = dso_japanese(src, en, keys)
        if ja:
            n_ja += 1
        # A Japanese list shows a Japanese name or none: the designation alone says enough.
        name = first_cp932(ja)
        add_alias(src, mid, en)
        lon, lat = ft["geometry"]["coordinates"]
        ra0, dec0 = math.radians(lon % 360.0), math.radians(lat)
        ra, dec = tf.apply(ra0, dec0)
        # The designation already is the whole catalogue name, so the number stays 0: the
        # chart label is the designation, with a number only when one is stored.
        recs.append((num, sf.Record(number=0, designation=b"   " + mid.encode("ascii"),
                                    constellation=constellation_of(finder, ra0, dec0),
                                    ra=ra, dec=dec,
                                    magnitude=float(p["mag"]), name=name, type=typ)))
    recs.sort(key=lambda t: t[0])
    stats["Messier objects"] = len(recs)
    stats["Messier with a Japanese name"] = n_ja
    return [r for _, r in recs], ngc_numbers


def build_ngc(src, tf, finder, messier_ngc, stats):
    db = sqlite3.connect(f"file:{os.path.join(KSTARS, 'OpenNGC.kscat')}?mode=ro", uri=True)
    rows = db.execute("SELECT name, long_name, type, ra, dec, magnitude FROM cat "
                      "WHERE magnitude <= ? ORDER BY name", (MAX_NGC_MAG,)).fetchall()
    db.close()
    out = []
    kinds = {}
    n_ja = 0
    for name, long_name, typ, ra, dec, mag in rows:
        m = re.match(r"^(NGC|IC) (\d+)([A-Z]?)$", name)
        if not m or typ not in NGC_MARKS:
            continue  # Messier objects (named "M n"), stars, asterisms, doubles, unknowns
        cat, num, suffix = m.group(1), int(m.group(2)), m.group(3)
        if (cat, num) in messier_ngc:
            continue
        # Six characters fit after byte 3: NGC numbers are written "N7000", IC ones "IC434".
        desig = ("N" if cat == "NGC" else "IC") + str(num) + suffix
        if len(desig) > 6:
            raise ValueError(f"{name}: designation too long")
        en = split_long_name(long_name)
        d3en = src.d3dso.get(f"{cat} {num}{suffix}", {}).get("name")
        en = unique(([d3en] if d3en else []) + en)
        ja = dso_japanese(src, en, [f"{cat} {num}{suffix}"])
        if ja:
            n_ja += 1
        add_alias(src, desig, en)
        rra, rdec = tf.apply(math.radians(ra), math.radians(dec))
        rec = sf.Record(number=0, designation=b"   " + desig.encode("ascii"),
                        constellation=constellation_of(finder, math.radians(ra), math.radians(dec)),
                        ra=rra, dec=rdec, magnitude=float(mag), name=first_cp932(ja),
                        type=NGC_MARKS[typ])
        out.append(((0 if cat == "NGC" else 1, num, suffix), rec))
        kinds[NGC_KIND_NAMES[typ]] = kinds.get(NGC_KIND_NAMES[typ], 0) + 1
    out.sort(key=lambda t: t[0])
    stats["NGC/IC objects"] = len(out)
    stats["NGC/IC by kind"] = kinds
    stats["NGC/IC with a Japanese name"] = n_ja
    return [r for _, r in out]


def build_labels(src, tf, stats):
    with open(os.path.join(src.d3, "data/constellations.json"), encoding="utf-8") as f:
        feats = json.load(f)["features"]
    recs = []
    order = []
    for ft in feats:
        abbr = ft["id"]
        ja = ft["properties"]["ja"]
        if ja.endswith("座"):
            ja = ja[:-1]  # the program appends the suffix itself
        lon, lat = ft["geometry"]["coordinates"]
        ra, dec = tf.apply(math.radians(lon % 360.0), math.radians(lat))
        name = cp932(ja)
        if not name:
            raise ValueError(f"{abbr}: name not representable in CP932")
        recs.append(sf.Record(number=0, designation=b"", constellation=abbr.encode("ascii"),
                              ra=ra, dec=dec, magnitude=0.0, name=name, type=sf.TYPE_LABEL))
        if abbr not in order:
            order.append(abbr)
    stats["constellation labels"] = len(recs)
    return recs, order


def chain_segments(segments):
    """Joins segments into as few strokes as possible (each a list of HIP numbers)."""
    remaining = list(segments)
    adj = {}
    for i, (a, b) in enumerate(remaining):
        adj.setdefault(a, []).append(i)
        adj.setdefault(b, []).append(i)
    used = [False] * len(remaining)

    def free_degree(v):
        return sum(1 for i in adj[v] if not used[i])

    strokes = []
    while not all(used):
        # Start from an end of the figure (odd free degree) if there is one, in file order.
        start = None
        for i, (a, b) in enumerate(remaining):
            if used[i]:
                continue
            for v in (a, b):
                if free_degree(v) % 2 == 1:
                    start = v
                    break
            if start is not None:
                break
        if start is None:
            start = next(remaining[i][0] for i in range(len(remaining)) if not used[i])
        stroke = [start]
        v = start
        while True:
            nxt = next((i for i in adj[v] if not used[i]), None)
            if nxt is None:
                break
            used[nxt] = True
            a, b = remaining[nxt]
            v = b if a == v else a
            stroke.append(v)
        strokes.append(stroke)
    return strokes


def build_polylines(figures, order, hip_of, what, stats):
    slots = []
    total = 0
    for abbr in order:
        segs = figures.get(abbr)
        if not segs:
            log(f"{what}: no figure for {abbr}")
            continue
        points = []
        for stroke in chain_segments(segs):
            for k, hip in enumerate(stroke):
                rec = hip_of[hip]
                points.append((sf.PEN_END if k == len(stroke) - 1 else sf.PEN_ON,
                               rec.ra, rec.dec))
        slots.append((abbr, points))
        total += len(points)
    missing = sorted(set(figures) - set(order))
    if missing:
        raise ValueError(f"{what}: figures for unknown constellations {missing}")
    stats[f"{what} slots"] = len(slots)
    stats[f"{what} points"] = total
    stats[f"{what} largest slot"] = max(len(p) for _, p in slots)
    return slots


def simplify_ring(vecs, tol):
    """Douglas-Peucker on unit vectors; tol is the chord distance from the great circle."""
    n = len(vecs)
    if n <= 3:
        return list(range(n))
    keep = [False] * n
    keep[0] = keep[-1] = True
    stack = [(0, n - 1)]
    while stack:
        i, j = stack.pop()
        a, b = vecs[i], vecs[j]
        c = (a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0])
        cn = math.sqrt(sum(x * x for x in c))
        best, bi = -1.0, -1
        if cn > 1e-12:
            c0, c1, c2 = c[0] / cn, c[1] / cn, c[2] / cn
            for k in range(i + 1, j):
                x, y, z = vecs[k]
                d = abs(x * c0 + y * c1 + z * c2)
                if d > best:
                    best, bi = d, k
        else:
            for k in range(i + 1, j):
                d = math.dist(vecs[k], a)
                if d > best:
                    best, bi = d, k
        if bi >= 0 and best > tol:
            keep[bi] = True
            stack.append((i, bi))
            stack.append((bi, j))
    return [k for k in range(n) if keep[k]]


def ring_extent(vecs):
    c = [sum(v[t] for v in vecs) for t in range(3)]
    cn = math.sqrt(sum(x * x for x in c)) or 1.0
    c = [x / cn for x in c]
    return max(math.acos(max(-1.0, min(1.0, sum(v[t] * c[t] for t in range(3))))) for v in vecs)


def build_milky_way(src, tf, stats, budget=sf.OUTLINE_MAX):
    """The outer (faintest) contour of the band and the contour of its brighter core, the two
    levels that together show the band and its dark rift, simplified to fit one outline."""
    with open(os.path.join(src.d3, "data/mw.json"), encoding="utf-8") as f:
        feats = {ft["id"]: ft for ft in json.load(f)["features"]}
    rings = []
    for level, min_extent in (("ol1", 3.0), ("ol2", 6.0)):
        for poly in feats[level]["geometry"]["coordinates"]:
            for ring in poly:
                vecs = [unit(math.radians(lon % 360.0), math.radians(lat)) for lon, lat in ring]
                if vecs[0] != vecs[-1]:
                    vecs.append(vecs[0])
                if math.degrees(ring_extent(vecs)) >= min_extent:
                    rings.append((level, vecs))
    lo, hi = 1e-5, 0.2
    best = None
    for _ in range(24):
        tol = math.sqrt(lo * hi)
        kept = [[v[k] for k in simplify_ring(v, tol)] for _, v in rings]
        kept = [k for k in kept if len(k) >= 4]
        if sum(len(k) for k in kept) <= budget:
            best, hi = (tol, kept), tol
        else:
            lo = tol
    tol, kept = best
    points = []
    for ring in kept:
        for k, v in enumerate(ring):
            ra, dec = tf.apply(*angles(v))
            points.append((sf.PEN_END if k == len(ring) - 1 else sf.PEN_ON, ra, dec))
    stats["Milky Way rings"] = len(kept)
    stats["Milky Way points"] = len(points)
    stats["Milky Way tolerance (deg)"] = round(math.degrees(2 * math.asin(tol / 2)), 3)
    return points


# ---------------------------------------------------------------------------------------------


def package_version(pkg):
    try:
        return subprocess.run(["dpkg-query", "-W", "-f=${Version}", pkg], check=True,
                              capture_output=True, text=True).stdout.strip()
    except (OSError, subprocess.CalledProcessError):
        return "unknown"


def fetch_d3(tmp):
    subprocess.run(["npm", "pack", "--silent", f"d3-celestial@{D3_VERSION}"], cwd=tmp, check=True,
                   stdout=subprocess.DEVNULL)
    tgz = os.path.join(tmp, f"d3-celestial-{D3_VERSION}.tgz")
    with tarfile.open(tgz) as t:
        wanted = ("package/package.json", "package/LICENSE")
        members = [m for m in t.getmembers() if m.isfile() and ".." not in m.name
                   and (m.name.startswith("package/data/") or m.name in wanted)]
        t.extractall(tmp, members=members)
    return os.path.join(tmp, "package")


def find_lconvert(given):
    for c in ([given] if given else []) + ["/usr/lib/qt6/bin/lconvert", "/usr/lib/qt5/bin/lconvert",
                                           "lconvert"]:
        if os.path.isabs(c) and os.access(c, os.X_OK):
            return c
        if not os.path.isabs(c):
            for d in os.environ.get("PATH", "").split(os.pathsep):
                if os.access(os.path.join(d, c), os.X_OK):
                    return os.path.join(d, c)
    sys.exit("lconvert not found (Debian package qt6-l10n-tools)")


def write_file(path, data):
    with open(path, "wb") as f:
        f.write(data)


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--out", default=os.path.join(os.path.dirname(__file__), "../../data"))
    ap.add_argument("--epoch", type=float, default=2030.0,
                    help="mean equinox and proper-motion epoch, Julian years (default 2030.0)")
    ap.add_argument("--d3-dir", help="unpacked d3-celestial package (default: npm pack it)")
    ap.add_argument("--lconvert", help="path of Qt's lconvert")
    args = ap.parse_args()
    args.lconvert = find_lconvert(args.lconvert)
    with tempfile.TemporaryDirectory() as tmp:
        if not args.d3_dir:
            args.d3_dir = fetch_d3(tmp)
        build(args)


def build(args):
    src = Sources(args)
    tf = Transform(args.epoch)
    src.sky_ts = read_ts_translations(
        os.path.join(STEL, "translations/stellarium-skycultures/ja.qm"), args.lconvert)
    src.main_ts = read_ts_translations(os.path.join(STEL, "translations/stellarium/ja.qm"),
                                       args.lconvert)
    with open(os.path.join(src.d3, "data/dsonames.json"), encoding="utf-8") as f:
        src.d3dso = json.load(f)
    db = sqlite3.connect(f"file:{os.path.join(KSTARS, 'OpenNGC.kscat')}?mode=ro", uri=True)
    src.openngc_names = {name.replace(" ", ""): long_name for name, long_name in db.execute(
        "SELECT name, long_name FROM cat WHERE name LIKE 'M %' ORDER BY name")}
    db.close()
    with open(os.path.join(src.d3, "package.json"), encoding="utf-8") as f:
        d3_version = json.load(f)["version"]
    if d3_version != D3_VERSION:
        log(f"warning: d3-celestial {d3_version}, expected {D3_VERSION}")

    full_to_abbr = {}
    with open(os.path.join(STEL, "skycultures/western/constellation_names.eng.fab"),
              encoding="utf-8") as f:
        for line in f:
            m = re.match(r'(\w+)\s+"([^"]+)"', line)
            if m:
                full_to_abbr[m.group(2)] = m.group(1)
    full_to_abbr.setdefault("Bootes", full_to_abbr.get("Boötes", "Boo"))
    finder = ConstellationFinder(read_kstars_bounds(os.path.join(KSTARS, "cbounds.dat"),
                                                    full_to_abbr))

    lines = read_constellationship(os.path.join(STEL, "skycultures/western/constellationship.fab"))
    rey = read_constellationship(
        os.path.join(STEL, "skycultures/western_rey/constellationship.fab"))
    needed = {h for figs in (lines, rey) for segs in figs.values() for s in segs for h in s}

    stats = {"epoch": args.epoch}
    stars, hip_of = build_stars(src, tf, finder, needed, stats)
    messier, messier_ngc = build_messier(src, tf, finder, stats)
    ngc = build_ngc(src, tf, finder, messier_ngc, stats)
    labels, order = build_labels(src, tf, stats)
    records = stars + messier + ngc + labels
    stats["records"] = len(records)

    line_slots = build_polylines(lines, order, hip_of, "lines", stats)
    figure_slots = build_polylines(rey, order, hip_of, "figures", stats)
    milky = build_milky_way(src, tf, stats)

    out = os.path.abspath(args.out)
    os.makedirs(out, exist_ok=True)
    write_file(os.path.join(out, "celes.dat"), sf.pack_catalogue(records))
    write_file(os.path.join(out, "celesline.dat"), sf.pack_polylines(line_slots))
    write_file(os.path.join(out, "celesconste.dat"), sf.pack_polylines(figure_slots))
    write_file(os.path.join(out, "Milkey.p92"), sf.pack_outline(milky))
    write_file(os.path.join(out, "celesalias.txt"), pack_aliases(src.aliases))
    stats["English aliases"] = len(src.aliases)
    versions = {p: package_version(p) for p in ("xplanet", "stellarium-data", "kstars-data")}
    versions["d3-celestial"] = d3_version
    with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "README.template.md"),
              encoding="utf-8") as f:
        template = f.read()
    readme = template.format(epoch=f"{args.epoch:.1f}", **{k.replace("-", "_"): v
                                                           for k, v in versions.items()},
                             counts=format_stats(stats))
    with open(os.path.join(out, "README.md"), "w", encoding="utf-8") as f:
        f.write(readme.rstrip("\n") + "\n")
    print(format_stats(stats))


def format_stats(stats):
    lines = []
    for k, v in stats.items():
        if isinstance(v, dict):
            v = ", ".join(f"{kk} {vv}" for kk, vv in sorted(v.items()))
        elif isinstance(v, list):
            v = ", ".join(v)
        lines.append(f"- {k}: {v}")
    return "\n".join(lines)


if __name__ == "__main__":
    main()
