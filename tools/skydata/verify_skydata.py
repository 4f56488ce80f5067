#!/usr/bin/python3
"""Checks the sky data files the way the program will read them and prints a summary.

Exit status 0 when every check passes. Usage: verify_skydata.py [data folder]
"""

import collections
import math
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import skyformats as sf  # noqa: E402

ENDPOINT_TOLERANCE_DEG = 0.01


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__),
                                                               "../../data")
    problems = []

    def check(cond, msg):
        if not cond:
            problems.append(msg)

    with open(os.path.join(folder, "celes.dat"), "rb") as f:
        _, count, records = sf.unpack_catalogue(f.read())
    kept = [r for r in records
            if not (r.magnitude == 0.0 and r.ra == 0.0) and r.type < 10000]
    check(len(kept) == count, f"{count - len(kept)} records would be rejected")
    check(count <= 20000 - 10, "too many records for the program's per-record tables")

    by_type = collections.Counter(r.type for r in records)
    stars = [r for r in records if r.type == sf.TYPE_STAR]
    messier = [r for r in records if 2 <= r.type <= 8]
    ngc = [r for r in records if r.type < 0]
    labels = [r for r in records if r.type == sf.TYPE_LABEL]
    abbrs = {r.constellation for r in labels}
    check(len(labels) == 89 and len(abbrs) == 88, "89 labels for 88 constellations expected")
    check(len(messier) == 110, f"{len(messier)} Messier objects")
    check(8500 <= len(stars) <= 9700, f"{len(stars)} stars")
    check(len(ngc) > 100, f"only {len(ngc)} NGC/IC objects")
    check(set(by_type) <= {1, 2, 3, 4, 5, 6, 7, 8, 256, -1, -2, -3, -4, -6, -11},
          f"unexpected type codes {sorted(by_type)}")

    for r in records:
        what = f"record {r.designation!r}/{r.name!r}"
        for field in (r.name, r.designation.rstrip(b"\0"), r.class_text.rstrip(b"\0")):
            try:
                field.decode("cp932")
            except UnicodeDecodeError:
                problems.append(f"{what}: text not CP932")
        check(0.0 <= r.ra < 2 * math.pi and -math.pi / 2 <= r.dec <= math.pi / 2,
              f"{what}: position out of range")
        check(r.designation[-1:] == b"\0", f"{what}: designation not terminated")
        check(r.class_text[-1:] == b"\0", f"{what}: class text not terminated")
        check(not (len(r.name) >= 5 and r.name[-2:-1] == b" ") and not r.name.endswith(b" "),
              f"{what}: name ends in spaces")
        if r.type == sf.TYPE_STAR:
            code = r.designation[3:6]
            check(code == b"   " or code.decode("ascii", "replace") in sf.GREEK_CODES,
                  f"{what}: Greek-letter code {code!r}")
        if r.type != sf.TYPE_LABEL:
            check(r.constellation in abbrs, f"{what}: constellation {r.constellation!r}")
        if r.type not in (sf.TYPE_STAR, sf.TYPE_LABEL):
            text = r.designation[3:].split(b"\0")[0]
            check(text and b" " not in text, f"{what}: deep-sky designation {text!r}")
            check(r.number == 0, f"{what}: number {r.number}")
            # A deep-sky name is Japanese or absent: English names belong in celesalias.txt.
            check(not r.name or any(b >= 0x80 for b in r.name), f"{what}: name not Japanese")

    def find(pred):
        return next((r for r in records if pred(r)), None)

    betel = find(lambda r: r.type == 1 and r.designation[3:6] == b"Alp"
                 and r.constellation == b"Ori\0")
    check(betel is not None and betel.name.decode("cp932") == "ベテルギウス"
          and betel.class_text.startswith(b"M"), "Betelgeuse")
    m42 = find(lambda r: r.designation[3:].split(b"\0")[0] == b"M42")
    check(m42 is not None and m42.type in (5, 7), "M42")

    # English names for find by name: keys that name a catalogue object, ASCII names.
    keys = {r.designation[3:].split(b"\0")[0].decode("ascii") for r in messier + ngc}
    keys |= {f"HR {r.number}" for r in stars if r.number > 0}
    aliases = {}
    with open(os.path.join(folder, "celesalias.txt"), "rb") as f:
        for n, line in enumerate(f.read().split(b"\n")[:-1], 1):
            fields = line.decode("ascii", "replace").split("\t")
            check(line.isascii() and len(fields) >= 2 and all(fields),
                  f"celesalias.txt line {n}: {line!r}")
            check(fields[0] in keys, f"celesalias.txt line {n}: no object {fields[0]!r}")
            aliases[fields[0]] = fields[1:]
    check("Cooling Tower" in aliases.get("M29", []), "celesalias.txt: M29 Cooling Tower")
    check("Betelgeuse" in aliases.get(f"HR {betel.number if betel else 0}", []),
          "celesalias.txt: Betelgeuse")

    # Every line point must be a catalogue star.
    grid = collections.defaultdict(list)
    for r in stars:
        grid[(int(math.degrees(r.dec) * 2), int(math.degrees(r.ra) * 2))].append(r)

    def near_star(ra, dec):
        best = 180.0
        for dd in (-1, 0, 1):
            kd = int(math.degrees(dec) * 2) + dd
            span = 1 + int(1 / max(0.02, math.cos(dec)))
            for dr in range(-span, span + 1):
                for s in grid.get((kd, (int(math.degrees(ra) * 2) + dr) % 720), ()):
                    c = (math.sin(dec) * math.sin(s.dec)
                         + math.cos(dec) * math.cos(s.dec) * math.cos(ra - s.ra))
                    best = min(best, math.degrees(math.acos(max(-1.0, min(1.0, c)))))
        return best

    summary = {}
    for fn in ("celesline.dat", "celesconste.dat"):
        with open(os.path.join(folder, fn), "rb") as f:
            slots = sf.unpack_polylines(f.read())
        check(slots[0][0] == "And", f"{fn}: first slot {slots[0][0]}")
        check(len(slots) == 88 and {s[0] for s in slots} == {a[:3].decode() for a in abbrs},
              f"{fn}: {len(slots)} slots")
        worst = 0.0
        for abbr, pts in slots:
            check(2 <= len(pts) <= sf.POLY_SLOT_MAX, f"{fn} {abbr}: {len(pts)} points")
            check(pts[-1][0] == sf.PEN_END, f"{fn} {abbr}: last point does not end a stroke")
            for _, ra, dec in pts:
                worst = max(worst, near_star(ra, dec))
        check(worst < ENDPOINT_TOLERANCE_DEG, f"{fn}: a point lies {worst:.4f} deg from any star")
        summary[fn] = (len(slots), sum(len(p) for _, p in slots), max(len(p) for _, p in slots))

    with open(os.path.join(folder, "Milkey.p92"), "rb") as f:
        milky = sf.unpack_outline(f.read())
    check(len(milky) > 100 and milky[-1][0] == sf.PEN_END, "Milky Way outline")

    print(f"celes.dat: {count} records, {len(kept)} accepted")
    print(f"  stars {len(stars)}, Messier {len(messier)}, NGC/IC {len(ngc)}, labels {len(labels)}")
    print(f"  types {dict(sorted(by_type.items()))}")
    if betel:
        cls = betel.class_text.rstrip(b"\0").decode()
        print(f"  Betelgeuse: name {betel.name.decode('cp932')}, class {cls}, "
              f"designation {betel.designation!r}, "
              f"constellation {betel.constellation[:3].decode()}, mag {betel.magnitude}")
    if m42:
        print(f"  M42: type {m42.type}, designation {m42.designation!r}, name "
              f"{m42.name.decode('cp932')}")
    for fn, (n, total, biggest) in summary.items():
        print(f"{fn}: {n} slots, {total} points, largest slot {biggest}")
    print(f"Milkey.p92: {len(milky)} points")
    print(f"celesalias.txt: {len(aliases)} objects")
    for p in problems:
        print("PROBLEM:", p)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
