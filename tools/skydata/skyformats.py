"""Byte layouts of the sky data files celes reads, shared by the builder and its verifier.

celes.dat is a record stream: a 32-bit format word, a 32-bit record count and the records, each
one a version-1001 StarRecord. The two constellation files share one polyline layout (a
2700-byte header of 150 slots followed by the point arrays) and Milkey.p92 is a long outline of
at most 1000 points. Everything is little-endian; angles are radians; text is CP932.
"""

import struct

FORMAT_WORD = 1000
RECORD_VERSION = 1001

TYPE_STAR = 1
TYPE_GLOBULAR = 2
TYPE_OPEN_CLUSTER = 3
TYPE_PLANETARY = 4
TYPE_DIFFUSE = 5
TYPE_SNR = 6
TYPE_NEBULA_CLUSTER = 7
TYPE_GALAXY = 8
TYPE_LABEL = 256

POLY_SLOTS = 150
POLY_HEADER = 2700
POLY_SLOT_MAX = 400
PEN_END = 2
PEN_ON = 0

OUTLINE_MAX = 1000
OUTLINE_SIZE = 4 + OUTLINE_MAX * 4 + OUTLINE_MAX * 8 * 2

# Greek-letter codes the program recognises in designation bytes 3..5.
GREEK_CODES = ["Alp", "Bet", "Gam", "Del", "Eps", "Zet", "Eta", "The", "Iot", "Kap", "Lam", "Mu ",
               "Nu ", "Xi ", "Omi", "Pi ", "Rho", "Sig", "Tau", "Ups", "Phi", "Chi", "PSi", "Ome"]

_FIXED = struct.Struct("<idddh4s10sB")


class Record:
    __slots__ = ("number", "designation", "constellation", "ra", "dec", "magnitude", "name",
                 "class_text", "type")

    def __init__(self, *, number=0, designation=b"", constellation=b"", ra=0.0, dec=0.0,
                 magnitude=0.0, name=b"", class_text=b"", type=TYPE_STAR):
        self.number = number
        self.designation = designation
        self.constellation = constellation
        self.ra = ra
        self.dec = dec
        self.magnitude = magnitude
        self.name = name
        self.class_text = class_text
        self.type = type


def _fixed_text(value, size, what):
    if len(value) > size:
        raise ValueError(f"{what} {value!r} longer than {size} bytes")
    return value.ljust(size, b"\0")


def pack_record(r):
    if len(r.name) > 255:
        raise ValueError(f"name {r.name!r} longer than 255 bytes")
    if len(r.class_text) > 20:
        raise ValueError(f"class text {r.class_text!r} longer than 20 bytes")
    head = _FIXED.pack(RECORD_VERSION, r.dec, r.magnitude, r.ra, r.number,
                       _fixed_text(r.constellation, 4, "constellation"),
                       _fixed_text(r.designation, 10, "designation"), len(r.name))
    return head + r.name + struct.pack("<h", r.type) + _fixed_text(r.class_text, 21, "class text")


def pack_catalogue(records):
    out = [struct.pack("<ii", FORMAT_WORD, len(records))]
    out.extend(pack_record(r) for r in records)
    return b"".join(out)


def unpack_catalogue(data):
    """Reads a record stream the way the program does; returns (format word, count, records).

    Records of versions other than 1000 and 1001 stop the read with a ValueError, since they
    would desynchronise every record after them.
    """
    fmt, count = struct.unpack_from("<ii", data, 0)
    pos = 8
    records = []
    for _ in range(count):
        (version,) = struct.unpack_from("<i", data, pos)
        if version not in (1000, 1001):
            raise ValueError(f"record at {pos} has version {version}")
        _, dec, mag, ra, number, cons, desig, length = _FIXED.unpack_from(data, pos)
        pos += _FIXED.size
        if version == 1000:
            pos -= 1
            name = data[pos:pos + 60].split(b"\0")[0]
            pos += 60
        else:
            name = data[pos:pos + length]
            pos += length
        (typ,) = struct.unpack_from("<h", data, pos)
        cls = data[pos + 2:pos + 23]
        pos += 23
        if pos > len(data):
            raise ValueError("record stream ends inside a record")
        records.append(Record(number=number, designation=desig, constellation=cons, ra=ra,
                              dec=dec, magnitude=mag, name=name, class_text=cls, type=typ))
    if pos != len(data):
        raise ValueError(f"{len(data) - pos} bytes after the last record")
    return fmt, count, records


def pack_polylines(slots):
    """slots: list of (abbreviation, [(pen, ra, dec), ...]) in slot order, at most 150."""
    if len(slots) > POLY_SLOTS:
        raise ValueError("too many polyline slots")
    names = bytearray(POLY_SLOTS * 4)
    counts = [0] * POLY_SLOTS
    offsets = [[0] * POLY_SLOTS for _ in range(3)]
    body = bytearray()
    for i, (abbr, points) in enumerate(slots):
        if len(points) > POLY_SLOT_MAX:
            raise ValueError(f"slot {abbr} has {len(points)} points")
        names[i * 4:i * 4 + 3] = abbr.encode("ascii")
        counts[i] = len(points)
        base = POLY_HEADER + len(body)
        offsets[0][i] = base
        body += struct.pack(f"<{len(points)}i", *(p[0] for p in points))
        offsets[1][i] = POLY_HEADER + len(body)
        body += struct.pack(f"<{len(points)}d", *(p[1] for p in points))
        offsets[2][i] = POLY_HEADER + len(body)
        body += struct.pack(f"<{len(points)}d", *(p[2] for p in points))
    header = bytes(names) + struct.pack(f"<{POLY_SLOTS}h", *counts)
    for arr in offsets:
        header += struct.pack(f"<{POLY_SLOTS}i", *arr)
    assert len(header) == POLY_HEADER
    return header + bytes(body)


def unpack_polylines(data):
    if data[:3] != b"And":
        raise ValueError("polyline file does not start with And")
    slots = []
    counts = struct.unpack_from(f"<{POLY_SLOTS}h", data, 600)
    offs = [struct.unpack_from(f"<{POLY_SLOTS}i", data, 900 + 600 * k) for k in range(3)]
    for i in range(POLY_SLOTS):
        abbr = data[i * 4:i * 4 + 4]
        if abbr == b"\0\0\0\0":
            continue
        n = counts[i]
        pens = struct.unpack_from(f"<{n}i", data, offs[0][i])
        ras = struct.unpack_from(f"<{n}d", data, offs[1][i])
        decs = struct.unpack_from(f"<{n}d", data, offs[2][i])
        slots.append((abbr[:3].decode("ascii"), list(zip(pens, ras, decs))))
    return slots


def pack_outline(points):
    if len(points) > OUTLINE_MAX:
        raise ValueError(f"outline has {len(points)} points")
    pad = OUTLINE_MAX - len(points)
    return (struct.pack("<i", len(points))
            + struct.pack(f"<{OUTLINE_MAX}i", *([p[0] for p in points] + [0] * pad))
            + struct.pack(f"<{OUTLINE_MAX}d", *([p[1] for p in points] + [0.0] * pad))
            + struct.pack(f"<{OUTLINE_MAX}d", *([p[2] for p in points] + [0.0] * pad)))


def unpack_outline(data):
    if len(data) != OUTLINE_SIZE:
        raise ValueError(f"outline file is {len(data)} bytes, not {OUTLINE_SIZE}")
    (n,) = struct.unpack_from("<i", data, 0)
    if not 0 <= n <= OUTLINE_MAX:
        raise ValueError(f"outline point count {n}")
    pens = struct.unpack_from(f"<{n}i", data, 4)
    ras = struct.unpack_from(f"<{n}d", data, 4 + 4 * OUTLINE_MAX)
    decs = struct.unpack_from(f"<{n}d", data, 4 + 12 * OUTLINE_MAX)
    return list(zip(pens, ras, decs))
