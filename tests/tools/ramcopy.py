#!/usr/bin/env python3
"""Program snapshots ("Saveram.Tmp") from outside the program.

    ramcopy.py write OUT [--json FILE] [options]   write a snapshot
    ramcopy.py dump FILE                           print its program dump

A snapshot is described in JSON, command-line options taking precedence:

    {"model": "843", "gauge": 7, "name": "TEST1", "size": "123x45",
     "lists": {"Z": 3, "N": ["0100ff", ...]},   count of random lines, or
                                               the lines in hex (zero-padded)
     "setup": "random" | "zero" | "<hex>",  "setup_byte0": 3,
     "planes": {"0": "random", "1": "zero", "2": ["<hex row 0>", ...]},
     "attributes": {"0": 1},   "header_bytes": {"10": 1},   "seed": 1}

Options: --model M --gauge G --name N --size WxH --lists Z3,N2,W1 --setup
random|zero|HEX --setup-byte0 B --planes 0,1 (random cells) --seed N
--header-byte OFFSET=VALUE (repeatable).

Layout (little-endian): the 28-byte program header; the lists Z N W S V F P A,
each a u16 count and its lines; the 2580-byte set-up record; planes 0, 2, 1,
each a present byte and, when present, an attribute byte and rows 0..height
of width cells. The dump is the probes' program dump: "K <header>",
"R <set-up record>", "<letter> <line> <bytes>", "B<plane> <row> <cells>" for
rows 1..height of the present planes 0, 1, 2. A file the program would refuse
(cut short, width above 2000, a list above 20000 lines) gives "ERROR <why>"
and exit status 1; bad usage exit status 2.
"""

import argparse
import json
import random
import struct
import sys

LISTS = [("Z", 640), ("N", 92), ("W", 98), ("S", 108),
         ("V", 94), ("F", 100), ("P", 100), ("A", 98)]
HEADER_SIZE = 28
SETUP_SIZE = 2580
PLANE_ORDER = (0, 2, 1)
MAX_WIDTH = 2000
MAX_LINES = 20000


class Refused(Exception):
    pass


def short_string(text, cap):
    raw = text.encode("cp1252")[:cap]
    return bytes([len(raw)]) + raw + bytes(cap - len(raw))


def gauge_fields(header, gauge):
    """Bytes 6 and 8 as the program derives them from the gauge."""
    for low, high, limit in ((1, 4, 250), (5, 5, 140), (6, 8, 130), (9, 14, 80)):
        if low <= gauge <= high:
            struct.pack_into("<H", header, 6, limit)
    struct.pack_into("<H", header, 8, (gauge * 2 + gauge // 2) & 0xFFFF)


def parse_size(text):
    if isinstance(text, (list, tuple)):
        return int(text[0]), int(text[1])
    width, height = str(text).lower().split("x")
    return int(width), int(height)


def padded(hex_text, size, what):
    raw = bytes.fromhex(hex_text)
    if len(raw) > size:
        raise ValueError(f"{what}: {len(raw)} bytes, at most {size}")
    return raw + bytes(size - len(raw))


def build_header(desc, width, height):
    header = bytearray(HEADER_SIZE)
    header[0:4] = short_string(str(desc.get("model", "843")), 3)
    gauge = int(desc.get("gauge", 8))
    header[4] = gauge
    gauge_fields(header, gauge)
    header[12:21] = short_string(str(desc.get("name", "")), 8)
    struct.pack_into("<HH", header, 22, width, height)
    for offset, value in desc.get("header_bytes", {}).items():
        header[int(offset)] = int(value)
    return bytes(header)


def build_lists(desc, rng):
    out = bytearray()
    given = desc.get("lists", {})
    for letter, size in LISTS:
        entry = given.get(letter, 0)
        if isinstance(entry, list):
            lines = [padded(h, size, f"list {letter}") for h in entry]
        else:
            lines = [rng.randbytes(size) for _ in range(int(entry))]
        out += struct.pack("<H", len(lines)) + b"".join(lines)
    return bytes(out)


def build_setup(desc, rng):
    entry = desc.get("setup", "zero")
    if entry == "random":
        setup = bytearray(rng.randbytes(SETUP_SIZE))
    elif entry == "zero":
        setup = bytearray(SETUP_SIZE)
    else:
        setup = bytearray(padded(entry, SETUP_SIZE, "set-up record"))
    if "setup_byte0" in desc:
        setup[0] = int(desc["setup_byte0"])
    return bytes(setup)


def build_plane(desc, plane, width, height, rng):
    entry = desc.get("planes", {}).get(str(plane))
    if entry is None:
        return b"\x00"
    attribute = int(desc.get("attributes", {}).get(str(plane), 1))
    if entry == "random":
        cells = rng.randbytes((height + 1) * width)
    elif entry == "zero":
        cells = bytes((height + 1) * width)
    else:
        if len(entry) != height + 1:
            raise ValueError(f"plane {plane}: {len(entry)} rows, the size needs {height + 1}")
        cells = b"".join(padded(h, width, f"plane {plane}") for h in entry)
    return bytes([1, attribute]) + cells


def snapshot(desc):
    rng = random.Random(int(desc.get("seed", 1)))
    width, height = parse_size(desc.get("size", "0x0"))
    parts = [build_header(desc, width, height), build_lists(desc, rng), build_setup(desc, rng)]
    parts += [build_plane(desc, p, width, height, rng) for p in PLANE_ORDER]
    return b"".join(parts)


class Cursor:
    def __init__(self, data):
        self.data = data
        self.pos = 0

    def take(self, n, where):
        if len(self.data) - self.pos < n:
            raise Refused(f"file ends {where}")
        part = self.data[self.pos:self.pos + n]
        self.pos += n
        return part


def dump(data):
    """The program dump of the snapshot, as the program reads it."""
    cur = Cursor(data)
    header = cur.take(HEADER_SIZE, "in the header")
    width, height = struct.unpack_from("<HH", header, 22)
    if width > MAX_WIDTH:
        raise Refused(f"width {width} above {MAX_WIDTH}")
    lines = []
    for letter, size in LISTS:
        (count,) = struct.unpack("<H", cur.take(2, f"before the count of list {letter}"))
        if count > MAX_LINES:
            raise Refused(f"list {letter}: {count} lines above {MAX_LINES}")
        for i in range(1, count + 1):
            lines.append(f"{letter} {i} {cur.take(size, f'in list {letter}').hex()}")
    setup = cur.take(SETUP_SIZE, "in the set-up record")
    rows = {}
    for plane in PLANE_ORDER:
        if cur.take(1, f"before plane {plane}")[0] == 0:
            continue
        cells = cur.take(1 + (height + 1) * width, f"in plane {plane}")[1:]
        rows[plane] = [cells[r * width:(r + 1) * width] for r in range(height + 1)]
    out = [f"K {header.hex()}", f"R {setup.hex()}"] + lines
    for plane in sorted(rows):
        out += [f"B{plane} {r} {rows[plane][r].hex()}" for r in range(1, height + 1)]
    return "".join(line + "\n" for line in out)


def description(args):
    desc = {}
    if args.json:
        with open(args.json, encoding="utf-8") as f:
            desc = json.load(f)
    for key in ("model", "gauge", "name", "size", "setup", "seed"):
        if getattr(args, key) is not None:
            desc[key] = getattr(args, key)
    if args.setup_byte0 is not None:
        desc["setup_byte0"] = args.setup_byte0
    if args.lists:
        desc["lists"] = {item[0].upper(): int(item[1:]) for item in args.lists.split(",") if item}
    if args.planes is not None:
        desc["planes"] = {p: "random" for p in args.planes.split(",") if p}
    for item in args.header_byte or []:
        offset, value = item.split("=")
        desc.setdefault("header_bytes", {})[offset] = int(value, 0)
    return desc


def main(argv):
    parser = argparse.ArgumentParser(description="Write and dump program snapshots.")
    sub = parser.add_subparsers(dest="command", required=True)
    w = sub.add_parser("write")
    w.add_argument("out")
    w.add_argument("--json")
    w.add_argument("--model")
    w.add_argument("--gauge", type=int)
    w.add_argument("--name")
    w.add_argument("--size")
    w.add_argument("--lists")
    w.add_argument("--setup")
    w.add_argument("--setup-byte0", type=int)
    w.add_argument("--planes")
    w.add_argument("--seed", type=int)
    w.add_argument("--header-byte", action="append")
    d = sub.add_parser("dump")
    d.add_argument("file")
    args = parser.parse_args(argv)

    if args.command == "write":
        try:
            data = snapshot(description(args))
        except (ValueError, KeyError, OSError, json.JSONDecodeError) as e:
            print(f"ERROR {e}")
            return 1
        with open(args.out, "wb") as f:
            f.write(data)
        print(f"OK {len(data)}")
        return 0
    try:
        with open(args.file, "rb") as f:
            sys.stdout.write(dump(f.read()))
    except (Refused, OSError) as e:
        print(f"ERROR {e}")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
