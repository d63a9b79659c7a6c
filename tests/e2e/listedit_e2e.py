#!/usr/bin/env python3
"""List windows under an X server, driven from outside as a user would.

Usage: listedit_e2e.py TOOLS_BUILD_DIR TOOLS_SOURCE_DIR SCENARIO
Each scenario seeds a program snapshot with ramcopy.py, opens the test list
window in listedit_harness, drives it with xdotool and checks the cell dump,
the program dump, the settings file and the screen's colours. Run under
xvfb-run with a 1024x768 screen (DISPLAY set).
"""
import os
import re
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time

BUILD, TOOLS, SCENARIO = sys.argv[1], sys.argv[2], sys.argv[3]
FAILURES = []


def check(cond, what):
    if not cond:
        FAILURES.append(what)
        print("FAIL:", what)


def s_line(fields):
    """A 108-byte S line from {offset: bytes}."""
    line = bytearray(108)
    for off, data in fields.items():
        line[off:off + len(data)] = data
    return line.hex()


class Harness:
    def __init__(self, home, lines=None, log=False, ini=None):
        self.home = home
        os.makedirs(os.path.join(home, "prog"), exist_ok=True)
        if ini is not None:
            with open(self.path("Zorit.INI"), "w") as f:
                f.write("[Windows]\r\nT_Liste=%s\r\n" % ini)
        seed = os.path.join(home, "seed.tmp")
        spec = '{"lists": {"S": %s}}' % (lines if isinstance(lines, int) else
                                         "[" + ",".join('"%s"' % l for l in (lines or [])) + "]")
        subprocess.run([sys.executable, os.path.join(TOOLS, "ramcopy.py"), "write", seed,
                        "--json", "/dev/stdin"], input=spec.encode(), check=True,
                       stdout=subprocess.DEVNULL)
        args = [os.path.join(BUILD, "listedit_harness"), "--home", self.path(), "--ram", seed,
                "--cells", os.path.join(home, "cells.txt"), "--dump", os.path.join(home, "dump.txt")]
        if log:
            args.append("--log")
        env = dict(os.environ)
        env.pop("QT_QPA_PLATFORM", None)
        self.out = open(os.path.join(home, "out.txt"), "w")
        self.proc = subprocess.Popen(args + ["T"], env=env, stdout=self.out,
                                     stderr=subprocess.DEVNULL)
        self.window = None
        for _ in range(50):
            time.sleep(0.1)
            found = subprocess.run(["xdotool", "search", "--name", "^Testliste$"],
                                   capture_output=True, text=True).stdout.split()
            if found:
                self.window = found[0]
                break
        time.sleep(0.5)

    def path(self, *parts):
        return os.path.join(self.home, "prog", *parts)

    def keys(self, *keys):
        for k in keys:
            subprocess.run(["xdotool", "key", "--window", self.window, k], check=True)
            time.sleep(0.08)

    def type(self, text):
        self.keys(*[{" ": "space", "+": "plus"}.get(c, c) for c in text])

    def snapshot(self):
        self.proc.send_signal(signal.SIGUSR1)
        time.sleep(0.4)
        return self.cells(), self.s_lines()

    def cells(self):
        text = open(os.path.join(self.home, "cells.txt")).read()
        window = re.search(r"^WINDOW (\S+) offset=(\d+) rows=(\d+) lines=(\d+) append=(\d) "
                           r"cursor=(\d+),(\d+)", text, re.M)
        cells = {}
        for m in re.finditer(r'^CELL (\d+) (\d+) (\d+) (\d+) (\S+) (\w+) (\w+) (-?\d+) (-?\d+) '
                             r'(\d+) (\d+) "(.*)"$', text, re.M):
            cells[(int(m[1]), int(m[2]))] = dict(
                field=int(m[3]), flags=m[5], bg=m[6], fg=m[7], x=int(m[8]), y=int(m[9]),
                w=int(m[10]), h=int(m[11]), text=m[12])
        return dict(offset=int(window[2]), rows=int(window[3]), lines=int(window[4]),
                    cursor=(int(window[6]), int(window[7])), cells=cells)

    def s_lines(self):
        lines = {}
        for l in open(os.path.join(self.home, "dump.txt")).read().splitlines():
            if l.startswith("S "):
                _, n, hexbytes = l.split()
                lines[int(n)] = bytes.fromhex(hexbytes)
        return lines

    def log(self):
        self.out.flush()
        return [l.strip() for l in open(os.path.join(self.home, "out.txt")) if l.startswith("STORE")]

    def colour(self, cell):
        shot = os.path.join(self.home, "s.png")
        subprocess.run(["import", "-window", "root", shot], check=True)
        crop = "%dx%d+%d+%d" % (cell["w"] - 4, cell["h"] - 4, cell["x"] + 2, cell["y"] + 2)
        hist = subprocess.run(["convert", shot, "-crop", crop, "-format", "%c", "histogram:info:"],
                              capture_output=True, text=True).stdout
        counts = [(int(m[1]), m[2].lower()) for m in re.finditer(r"(\d+):.*?#([0-9A-Fa-f]{6})", hist)]
        return max(counts)[1] if counts else ""

    def end(self, how="term"):
        if how == "term":
            self.proc.send_signal(signal.SIGTERM)
        try:
            rc = self.proc.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            rc = -1
        self.out.close()
        return rc


def ini_value(h):
    text = open(h.path("Zorit.INI"), encoding="utf-8").read()
    m = re.search(r"^T_Liste=(.*?)\r?$", text, re.M)
    return m[1] if m else None


def scenario_placement(home):
    h = Harness(home, 100)
    subprocess.run(["xdotool", "windowmove", h.window, "200", "150"], check=True)
    subprocess.run(["xdotool", "windowsize", h.window, "%d" % 600, "300"], check=True)
    time.sleep(0.3)
    main = subprocess.run(["xdotool", "search", "--name", "^FormMain$"],
                          capture_output=True, text=True).stdout.split()[0]
    subprocess.run(["xdotool", "windowfocus", main], check=True)
    time.sleep(0.3)
    check(h.end() == 0, "harness ends cleanly")
    check(ini_value(h) == "00200 00150 00300 00011 00", "stored placement: %r" % ini_value(h))

    h = Harness(os.path.join(home, "b"), 100, ini="09999 00100 00400 00011 00")
    geo = subprocess.run(["xdotool", "getwindowgeometry", h.window], capture_output=True,
                         text=True).stdout
    check("Position: 924," in geo, "x 924: " + geo)
    check("x400" in geo, "height 400: " + geo)
    h.end()

    h = Harness(os.path.join(home, "c"), 100, ini="abc")
    geo = subprocess.run(["xdotool", "getwindowgeometry", h.window], capture_output=True,
                         text=True).stdout
    check("x250" in geo, "height 250: " + geo)
    main = subprocess.run(["xdotool", "search", "--name", "^FormMain$"],
                          capture_output=True, text=True).stdout.split()[0]
    subprocess.run(["xdotool", "windowfocus", main], check=True)
    time.sleep(0.3)
    h.end()
    check(re.fullmatch(r"\d{5} \d{5} 00250 00011 \d\d", ini_value(h) or ""),
          "valid placement after quitting: %r" % ini_value(h))


def scenario_empty(home):
    h = Harness(home, [])
    cells, lines = h.snapshot()
    check(cells["rows"] == 1 and cells["cells"][(1, 2)]["text"] == "0001", "one row 0001: %r" % ((cells["rows"], cells["cells"][(1, 2)]),))
    h.keys("Down")
    cells, lines = h.snapshot()
    check(cells["offset"] == 2 and cells["cells"][(1, 2)]["text"] == "0002", "Down: offset 2, 0002")
    check(not lines, "no S line: %r" % lines)
    # Enlarging adds rows (hidden here: one line only), shrinking never drops them.
    before = len(cells["cells"])
    subprocess.run(["xdotool", "windowsize", h.window, "600", "400"], check=True)
    time.sleep(0.3)
    cells, _ = h.snapshot()
    check(len(cells["cells"]) >= before, "cell count never drops")
    h.end()


def scenario_editing(home):
    first = s_line({0: struct.pack("<H", 120)})
    h = Harness(home, [first, "00" * 108], log=True)
    h.keys("Right")
    cells, _ = h.snapshot()
    zahl = cells["cells"][(1, 3)]
    check(zahl["bg"] == "000080" and zahl["fg"] == "ffffff", "entered: %s on %s" % (zahl["fg"], zahl["bg"]))
    check(h.colour(zahl) == "000080", "screen: entered cell navy")
    h.type("7")
    cells, _ = h.snapshot()
    check(cells["cells"][(1, 3)]["bg"] == "ffffff", "typing: white")
    check(h.colour(cells["cells"][(1, 2)]) == "c0c0c0", "other cells grey")
    h.type("8")
    h.keys("Right")
    cells, lines = h.snapshot()
    check(h.log() == ["STORE 2 1 78 - 1"], "store 78: %r" % h.log())
    check(lines[1][0:2].hex() == "4e00" and cells["cells"][(1, 3)]["text"] == "078", "bytes 4e00, 078")
    h.keys("Left")
    h.type("300")
    h.keys("Right")
    _, lines = h.snapshot()
    check(h.log() == ["STORE 2 1 78 - 1"] * 2, "fallback store: %r" % h.log())
    check(lines[1][0:2].hex() == "4e00", "bytes unchanged")
    h.keys("Left", "Down", *["Right"] * 9, *["Left"] * 9, "Up")
    _, after = h.snapshot()
    check(len(h.log()) == 2 and after == lines, "passing over stores nothing")
    # RL and XN.
    h.keys("Right")
    h.type("5")
    h.keys("Right")
    cells, lines = h.snapshot()
    check(lines[1][2] == 0x52 and struct.unpack_from("<H", lines[1], 4)[0] == 5 and
          cells["cells"][(1, 4)]["text"] == "R05", "R05")
    h.keys("Left", "space", "Right")
    cells, lines = h.snapshot()
    check(lines[1][2] == 0x4c and cells["cells"][(1, 4)]["text"] == "L05", "L05")
    count = len(h.log())
    h.keys("Left")
    h.type("29")
    h.keys("Right")
    cells, _ = h.snapshot()
    check(len(h.log()) == count and cells["cells"][(1, 4)]["text"] == "L05", "29 refused")
    h.keys("Left", "Delete", "Right")
    cells, lines = h.snapshot()
    check(lines[1][2] == 0 and lines[1][4:6] == b"\0\0" and cells["cells"][(1, 4)]["text"] == "",
          "Delete clears RL")
    h.type("n")
    h.keys("Right")
    cells, lines = h.snapshot()
    check(cells["cells"][(1, 5)]["text"] == "N" and lines[1][6] == 0x4e, "XN letter N")
    # Wahl steps with the space bar.
    bytes10 = []
    for _ in range(4):
        h.type(" ")
        bytes10.append(h.snapshot()[1][1][10])
    check(bytes10 == [1, 2, 3, 1], "Wahl bytes %r" % bytes10)
    # Farbe, Kommentar.
    h.keys("Right", "Right")
    h.type("aa")
    h.type("v+")
    h.keys("Right", "Right", "Insert")
    time.sleep(0.5)
    dialog = subprocess.run(["xdotool", "search", "--name", "Texteingabe"],
                            capture_output=True, text=True).stdout.split()
    if dialog:
        for k in ["a", "b", "c", "space", "space", "space", "alt+o"]:
            subprocess.run(["xdotool", "key", "--window", dialog[0], k])
            time.sleep(0.08)
    time.sleep(0.3)
    _, lines = h.snapshot()
    check(struct.unpack_from("<I", lines[1], 12)[0] == 0x21, "Farbe 21000000")
    check(lines[1][26:30].hex() == "03616263", "comment: %s" % lines[1][26:30].hex())
    h.end()


def scenario_paging(home):
    h = Harness(home, 30)
    subprocess.run(["xdotool", "windowsize", h.window, "600", "150"], check=True)
    time.sleep(0.3)
    _, before = h.snapshot()
    before_dump = open(os.path.join(home, "dump.txt"), "rb").read()
    cells, _ = h.snapshot()
    check(cells["rows"] == 5, "5 rows: %d" % cells["rows"])
    h.type("12")
    h.keys("Return")
    cells, _ = h.snapshot()
    check(cells["offset"] == 8 and cells["cursor"] == (5, 2), "Enter: %r" % ((cells["offset"], cells["cursor"]),))
    h.keys(*["Next"] * 8)
    cells, lines = h.snapshot()
    check(cells["offset"] == 27 and len(lines) == 30, "Page Down stops at 27: %d" % cells["offset"])
    h.keys("Home")
    check(h.snapshot()[0]["offset"] == 1, "Home: offset 1")
    h.keys("Escape")
    check(h.end(how="wait") == 0, "Esc ends the harness")
    check(open(os.path.join(home, "dump.txt"), "rb").read() == before_dump, "program unchanged")


def main():
    home = tempfile.mkdtemp(prefix="zorit-lists-e2e-")
    try:
        globals()["scenario_" + SCENARIO](home)
    finally:
        shutil.rmtree(home, ignore_errors=True)
    if FAILURES:
        sys.exit(1)
    print("OK", SCENARIO)


main()
