#!/usr/bin/env python3
"""List windows under an X server, driven from outside as a user would.

Usage: listedit_e2e.py TOOLS_BUILD_DIR TOOLS_SOURCE_DIR SCENARIO
Each scenario seeds a program snapshot with ramcopy.py, opens the test list
window in listedit_harness, drives it with xdotool and checks the cell dump,
the program dump, the settings file and the screen's colours. Run under
x_server.py with a 1024x768 screen (DISPLAY set).
"""
import json
import os
import re
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import x_windows  # noqa: E402

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
    def __init__(self, home, lines=None, log=False, ini=None, form="T", given=None, title="Testliste"):
        """The harness on one form; given: the ramcopy.py description (else an
        S list of lines, a count or hex lines)."""
        self.home = home
        os.makedirs(os.path.join(home, "prog"), exist_ok=True)
        if ini is not None:
            with open(self.path("Zorit.INI"), "w") as f:
                f.write("[Windows]\r\nT_Liste=%s\r\n" % ini)
        seed = os.path.join(home, "seed.tmp")
        if given is None:
            given = {"lists": {"S": lines if isinstance(lines, int) else list(lines or [])}}
        subprocess.run([sys.executable, os.path.join(TOOLS, "ramcopy.py"), "write", seed,
                        "--json", "/dev/stdin"], input=json.dumps(given).encode(), check=True,
                       stdout=subprocess.DEVNULL)
        args = [os.path.join(BUILD, "listedit_harness"), "--home", self.path(), "--ram", seed,
                "--cells", os.path.join(home, "cells.txt"), "--dump", os.path.join(home, "dump.txt")]
        if log:
            args.append("--log")
        env = dict(os.environ)
        env.pop("QT_QPA_PLATFORM", None)
        self.out = open(os.path.join(home, "out.txt"), "w")
        self.proc = subprocess.Popen(args + list(form), env=env, stdout=self.out,
                                     stderr=subprocess.DEVNULL)
        self.window = None
        for _ in range(50):
            time.sleep(0.1)
            found = subprocess.run(["xdotool", "search", "--name", "^%s$" % title],
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

    def close_with(self, key):
        """A key that closes the window: the window may be gone before the
        key's release reaches it, so xdotool may find no window for that;
        end() tells whether the harness ended as it should."""
        subprocess.run(["xdotool", "key", "--window", self.window, key], stderr=subprocess.DEVNULL)

    def type(self, text):
        self.keys(*[{" ": "space", "+": "plus"}.get(c, c) for c in text])

    def snapshot(self):
        self.proc.send_signal(signal.SIGUSR1)
        time.sleep(0.4)
        return self.cells(), self.s_lines()

    def cells(self, form=None):
        text = open(os.path.join(self.home, "cells.txt")).read()
        if form:
            text = text[text.index("WINDOW %s " % form):]
            nxt = text.find("WINDOW ", 1)
            text = text if nxt < 0 else text[:nxt]
        window = re.search(r"^WINDOW (\S+) offset=(\d+) rows=(\d+) lines=(\d+) append=(\d) "
                           r"cursor=(\d+),(\d+) range=(\d+),(\d+),(\d+)", text, re.M)
        cells = {}
        for m in re.finditer(r'^CELL (\d+) (\d+) (\d+) (\d+) (\S+) (\w+) (\w+) (-?\d+) (-?\d+) '
                             r'(\d+) (\d+) "(.*)"$', text, re.M):
            cells[(int(m[1]), int(m[2]))] = dict(
                field=int(m[3]), longtag=int(m[4]), flags=m[5], bg=m[6], fg=m[7], x=int(m[8]),
                y=int(m[9]), w=int(m[10]), h=int(m[11]), text=m[12])
        return dict(offset=int(window[2]), rows=int(window[3]), lines=int(window[4]),
                    cursor=(int(window[6]), int(window[7])),
                    range=(int(window[8]), int(window[9]), int(window[10])), cells=cells)

    def field_cell(self, cells, row, field):
        """The cell of an edit field in a row."""
        return next(c for (r, _), c in sorted(cells["cells"].items()) if r == row and c["field"] == field)

    def s_lines(self, letter="S"):
        lines = {}
        for l in open(os.path.join(self.home, "dump.txt")).read().splitlines():
            if l.startswith(letter + " "):
                _, n, hexbytes = l.split()
                lines[int(n)] = bytes.fromhex(hexbytes)
        return lines

    def lines(self, letter):
        """The list's lines after a fresh dump."""
        self.snapshot()
        return self.s_lines(letter)

    def log(self, kind="STORE"):
        self.out.flush()
        return [l.strip() for l in open(os.path.join(self.home, "out.txt")) if l.startswith(kind)]

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


def ini_value(h, key="T_Liste"):
    text = open(h.path("Zorit.INI"), encoding="utf-8").read()
    m = re.search(r"^%s=(.*?)\r?$" % key, text, re.M)
    return m[1] if m else None


def geometry(win):
    """A window as the window manager shows it: its frame's outer corner
    (left, top) and its client's size (width, height) and corner (cx, cy)."""
    client, frame = x_windows.geometry(win), x_windows.frame(win)
    return dict(left=frame["X"], top=frame["Y"], width=client["WIDTH"], height=client["HEIGHT"], cx=client["X"],
                cy=client["Y"], frame=x_windows.frame_extents(win)[2])


def activate(win):
    subprocess.run(["xdotool", "windowactivate", "--sync", win], capture_output=True)
    time.sleep(0.2)


def scenario_placement(home):
    h = Harness(home, 100)
    subprocess.run(["xdotool", "windowmove", h.window, "200", "150"], check=True)
    subprocess.run(["xdotool", "windowsize", h.window, "%d" % 600, "300"], check=True)
    time.sleep(0.3)
    g = geometry(h.window)
    check(g["frame"] > 0, "the window manager draws a title bar: %r" % g)
    main = subprocess.run(["xdotool", "search", "--name", "^FormMain$"],
                          capture_output=True, text=True).stdout.split()[0]
    activate(main)
    check(h.end() == 0, "harness ends cleanly")
    stored = "%05d %05d %05d 00011 00" % (g["left"], g["top"], g["height"])
    check(g["height"] == 300 and ini_value(h) == stored, "stored placement: %r, on the screen %r" % (ini_value(h), g))

    h = Harness(os.path.join(home, "b"), 100, ini="09999 00100 00400 00011 00")
    g = geometry(h.window)
    check((g["left"], g["top"], g["height"]) == (924, 100, 400), "left 924, top 100, height 400: %r" % g)
    h.end()

    h = Harness(os.path.join(home, "c"), 100, ini="abc")
    g = geometry(h.window)
    check(g["height"] == 250, "height 250: %r" % g)
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
    h.close_with("Escape")
    check(h.end(how="wait") == 0, "Esc ends the harness")
    check(open(os.path.join(home, "dump.txt"), "rb").read() == before_dump, "program unchanged")


# ---- the list editors -------------------------------------------------------

def record(size, fields):
    """A line of size bytes from {offset: bytes}."""
    line = bytearray(size)
    for off, data in fields.items():
        line[off:off + len(data)] = data
    return line.hex()


def a_line(number, fields=None):
    """A take-down line with its unset values (101, 10000 needles)."""
    base = {0: struct.pack("<H", number), 2: bytes([101, 101, 101]), 6: bytes([101, 101]),
            8: struct.pack("<H", 10000), 12: struct.pack("<H", 10000)}
    base.update(fields or {})
    return record(98, base)


def real_keys(h, *keys):
    """Keys through the X server to the focused window (modifiers held too)."""
    subprocess.run(["xdotool", "windowactivate", "--sync", h.window], capture_output=True)
    subprocess.run(["xdotool", "windowfocus", "--sync", h.window], capture_output=True)
    for k in keys:
        verb, _, key = k.partition(" ") if k.startswith(("keydown ", "keyup ")) else ("key", "", k)
        subprocess.run(["xdotool", verb, key], check=True)
        time.sleep(0.12)


def edit_menu(item):
    """An item of the stand-in main window's Edit menu, by its accelerator."""
    main = subprocess.run(["xdotool", "search", "--name", "^FormMain$"], capture_output=True,
                          text=True).stdout.split()[0]
    subprocess.run(["xdotool", "windowactivate", "--sync", main], capture_output=True)
    for k in ("alt+b", item):
        subprocess.run(["xdotool", "key", k])
        time.sleep(0.3)


def last_bind(h):
    binds = h.log("BIND")
    return dict(kv.split("=") for kv in binds[-1].split()[1:]) if binds else {}


def bind_is(h, **want):
    got = last_bind(h)
    return all(got.get(k) == str(v) for k, v in want.items()), got


def v_lines(n):
    return [record(94, {0: b"\x01", 2: bytes([i]), 13: bytes([2]) + b"L%d" % (i % 10)})
            for i in range(1, n + 1)]


def scenario_marking(home):
    h = Harness(home, log=True, form="V", given={"lists": {"V": v_lines(10)}}, title="Versatz")
    ok, got = bind_is(h, paste=0, all=1, undo=0, cut=0)
    check(ok, "fresh window: nothing to paste, select all: %r" % got)
    real_keys(h, "Down", "Down", "Down", "Down", "keydown shift")
    check(h.snapshot()[0]["range"] == (5, 5, 1), "Shift: range 5,5,1")
    ok, got = bind_is(h, cut=1, copy=1, delete=1, clear=1, undo=0)
    check(ok, "a range binds cut, copy, delete, clear: %r" % got)
    real_keys(h, "Down")
    check(h.snapshot()[0]["range"][:2] == (5, 6), "Down: 5,6")
    real_keys(h, "Down")
    cells, _ = h.snapshot()
    check(cells["range"][:2] == (5, 7) and cells["cursor"][0] == 7, "Down: 5,7 on line 7")
    marked = cells["cells"][(6, 3)]
    check(marked["bg"] == "a0a0ff" and h.colour(marked) == "a0a0ff", "marked cells a0a0ff")
    real_keys(h, "Up", "keyup shift")
    cells, _ = h.snapshot()
    check(cells["range"][:2] == (5, 5) and cells["cursor"][0] == 6, "Up: 5,5 on line 6 %r" % (cells["range"],))
    # Clearing through the menu, then two Shift presses on line 6.
    edit_menu("f")
    check(h.snapshot()[0]["range"][0] == 0, "clear selection")
    ok, got = bind_is(h, cut=0, copy=0, delete=0, clear=0)
    check(ok, "no range: the ranged pairs unbound %r" % got)
    real_keys(h, "shift")
    check(h.snapshot()[0]["range"][:2] == (6, 6), "one Shift press marks line 6")
    real_keys(h, "shift")
    check(h.snapshot()[0]["range"][0] == 0, "a second press clears it")

    # Copy 3..4, paste at 10.
    real_keys(h, "Up", "Up", "Up", "shift+Down", "ctrl+c")
    clips = h.log("CLIP")
    lines = h.s_lines("V")
    want = "0002" + lines[3].hex() + lines[4].hex()
    check(clips and clips[-1] == "CLIP V " + want and len(want) == 380, "CLIP V 190 bytes: %r" % clips[-1:])
    ok, got = bind_is(h, paste=1)
    check(ok, "paste bound after copying %r" % got)
    real_keys(h, *["Down"] * 6, "ctrl+v")
    lines = h.lines("V")
    check(lines[10] == lines[3] and lines[11] == lines[4], "lines 10, 11 are 3, 4")
    check(h.snapshot()[0]["range"][:2] == (3, 4), "the range stays")
    real_keys(h, "Escape")
    time.sleep(0.3)
    ok, got = bind_is(h, undo=0, cut=0, copy=0, paste=0, delete=0, all=0, clear=0)
    check(ok, "Esc releases every pair %r" % got)
    h.end(how="wait")


def f_seed():
    return [record(100, {0: struct.pack("<H", n), 4: struct.pack("<H", 10 * i),
                         12: struct.pack("<I", 0 if n else 1 << i)} |
                   ({16: b"\x04drei"} if i == 6 else {}))
            for i, n in enumerate([1, 0, 0, 2, 0, 3], start=1)]


def scenario_findex(home):
    seed = f_seed()
    h = Harness(os.path.join(home, "a"), form="F", given={"lists": {"F": seed}}, title="Festigkeit")
    real_keys(h, "Down", "Down", "Down", "shift+Down")
    edit_menu("l")
    lines = h.lines("F")
    init2 = bytes.fromhex(record(100, {0: struct.pack("<H", 2)}))
    check(len(lines) == 5 and lines[4] == init2 and lines[5].hex() == seed[5], "delete 4..5")
    h.end()
    h = Harness(os.path.join(home, "b"), form="F", given={"lists": {"F": seed}}, title="Festigkeit")
    real_keys(h, "Down", "shift+Down")
    edit_menu("l")
    lines = h.lines("F")
    check(len(lines) == 4 and lines[2].hex() == seed[3], "delete 2..3 keeps sub-list 2")
    h.end()
    h = Harness(os.path.join(home, "c"), form="F", given={"lists": {"F": seed}}, title="Festigkeit")
    real_keys(h, "keydown shift", "Down", "Down", "keyup shift", "ctrl+c", "Up", "Up", "Down", "Down", "Down", "ctrl+v")
    lines = h.lines("F")
    renumbered = bytearray.fromhex(seed[0])
    renumbered[0:2] = struct.pack("<H", 2)
    check(len(lines) == 7 and lines[4] == renumbered and lines[5].hex() == seed[1] and
          lines[6].hex() == seed[2] and lines[7].hex() == seed[5], "paste 1..3 on line 4")
    h.end()


def scenario_racking(home):
    h = Harness(os.path.join(home, "a"), form="V", given={"lists": {"V": []}}, title="Versatz")
    real_keys(h, "Right", "5", "Right")
    cells, _ = h.snapshot()
    check(h.s_lines("V").get(1, b"")[:3].hex() == "010005", "R05 stores 010005")
    check(h.field_cell(cells, 1, 2)["text"] == "R05", "cell R05")
    real_keys(h, "Insert")
    time.sleep(0.4)
    subprocess.run(["xdotool", "key", "space"])
    time.sleep(0.2)
    subprocess.run(["xdotool", "key", "Return"])
    time.sleep(0.4)
    cells, _ = h.snapshot()
    check(h.s_lines("V")[1][5] == 1 and h.field_cell(cells, 1, 3)["text"] == "U1", "U1: byte 5 = 1")
    real_keys(h, "Left", "Delete", "Right")
    cells, _ = h.snapshot()
    check(h.s_lines("V")[1][0] == 0, "Delete: byte 0 = 0 %r %r" % (cells["cursor"], h.s_lines("V")[1][:6].hex()))
    others = [h.field_cell(cells, 1, f) for f in range(3, 11)]
    check(all(c["text"] == "" and "r" in c["flags"] for c in others), "other cells empty and locked %r" %
          [(c["text"], c["flags"]) for c in others])
    h.end()
    for limit, typed, stored in ((20, "21", False), (20, "20", True), (30, "29", False)):
        sub = os.path.join(home, "%d%s" % (limit, typed))
        h = Harness(sub, form="V", title="Versatz",
                    given={"lists": {"V": [record(94, {0: b"\x01", 2: b"\x03"})]},
                          "header_bytes": {"8": limit, "9": 0}})
        real_keys(h, "Right", *typed, "Right")
        got = h.lines("V")[1][1:3].hex()
        check(got == ("00%02x" % int(typed) if stored else "0003"), "limit %d, R%s: %s" % (limit, typed, got))
        h.end()


def scenario_takedown(home):
    h = Harness(os.path.join(home, "a"), form="A", title="Warenabzug",
                given={"lists": {"A": [a_line(1), a_line(2, {3: b"\x9c"}), a_line(3, {3: b"\x7f"})]}})
    real_keys(h, *["Right"] * 7, "5", "0", "Right")
    p = h.lines("A")[1]
    check(p[2:4].hex() == "6565" and p[8:10].hex() == "3200", "needles 50: %s %s" % (p[2:4].hex(), p[8:10].hex()))
    real_keys(h, *["Left"] * 7, "3", "0", "Right")
    p = h.lines("A")[1]
    check(p[2] == 0x1e and p[8:10].hex() == "1027" and p[12:14].hex() == "1027" and
          p[10] == p[11] == p[14] == p[15] == 0, "lower take-down 30 resets the groups")
    cells, _ = h.snapshot()
    check(h.field_cell(cells, 2, 3)["text"] == "-100", "Puls -100")
    real_keys(h, "Down", "Down", "Right", "space")
    check(h.lines("A")[3][3] == 0x65, "a blank in Schnellauf stores 65")
    h.end()


def scenario_carriers(home):
    h = Harness(os.path.join(home, "a"), form="P", title="FF-Position",
                given={"lists": {"P": [record(100, {0: b"\x01\x00", 2: b"\x02\x01", 8: b"\x07",
                                                   12: b"\x05\x00\x05\x00", 16: b"\x02ab"}),
                                      record(100, {0: b"\x02\x00", 2: b"\x01"})]}})
    real_keys(h, "Right", "3", "Right", "Left", "0", "Right")
    p = h.lines("P")[1]
    check(p[3:6] == b"\0\0\0" and p[8:12] == b"\0\0\0\0" and p[12:16].hex() == "00800080" and p[16] == 0,
          "rail 0 clears the carrier: %s" % p[:17].hex())
    real_keys(h, "Left", "Down", "Down", "3", "Return")
    lines = h.lines("P")
    check(len(lines) == 3 and lines[3][0:2] == b"\x03\x00", "3 appends sub-list 3")
    h.end()
    h = Harness(os.path.join(home, "b"), form="P", title="FF-Position",
                given={"lists": {"P": [record(100, {0: b"\x01\x00"}), record(100, {0: b"\x02\x00"})]}})
    real_keys(h, "Down", "Down", "9", "Return")
    cells, lines = h.snapshot()
    check(len(h.s_lines("P")) == 2 and cells["offset"] + cells["cursor"][0] - 1 == 3, "9 appends nothing")
    h.end()


def scenario_density(home):
    h = Harness(os.path.join(home, "a"), form="F", title="Festigkeit",
                given={"lists": {"F": [record(100, {0: b"\x01\x00"})]}, "header_bytes": {"6": 140, "7": 0}})
    real_keys(h, "Right", "1", "5", "0")
    cells, _ = h.snapshot()
    check(h.field_cell(cells, 1, 2)["text"].strip("|") == "D150", "D150 shows")
    real_keys(h, "Right")
    check(h.lines("F")[1][2:6] == b"\0\0\0\0", "D150 refused")
    real_keys(h, "Left", "1", "4", "0", "Right")
    p = h.lines("F")[1]
    check(p[2] == 0 and p[4:6].hex() == "8c00", "D140 stored")
    h.end()
    h = Harness(os.path.join(home, "b"), form="WF", title="Festigkeit",
                given={"lists": {"F": [record(100, {0: b"\x01\x00", 2: b"\x02", 4: struct.pack("<H", 500)})],
                                "W": 3}, "setup_byte0": 1})
    real_keys(h, "Right")
    h.snapshot()
    fcells = h.cells("F_Liste")
    check(h.field_cell(fcells, 1, 4)["text"] == "" and len(h.s_lines("W")) == 3, "W 500: empty, W keeps 3 lines")
    h.end()


def scenario_link(home):
    w_lines = [record(98, {0: struct.pack("<h", v)}) for v in (1, 2, -5)]
    f_lines = [record(100, {0: b"\x01\x00", 2: b"\x02", 4: b"\x03\x00"}), record(100, {4: b"\x07\x00"})]
    h = Harness(home, form="WF", title="Festigkeit",
                given={"lists": {"F": f_lines, "W": w_lines}, "setup_byte0": 1})
    real_keys(h, "Right")
    h.snapshot()
    f = h.cells("F_Liste")
    check(h.field_cell(f, 1, 4)["text"] == "-005", "W value shows signed")
    w = h.cells("W_Liste")
    check(w["offset"] + w["cursor"][0] - 1 == 3, "W shows line 3")
    level1 = h.field_cell(w, w["cursor"][0], 2)
    check(level1["bg"] == "ffff00" and h.colour(level1) == "ffff00", "level-1 cell ffff00")
    real_keys(h, "Down")
    h.snapshot()
    w = h.cells("W_Liste")
    cursor = h.field_cell(w, w["cursor"][0], w["cursor"][1])
    check(cursor["bg"] == "00ffff", "D line: W cursor cell 00ffff (%s)" % cursor["bg"])
    h.end()


def scenario_division(home):
    h = Harness(os.path.join(home, "n"), form="N", title="Nadeleinteilung",
                given={"lists": {"N": [record(92, {2: b"\x05\x00"})]}})
    real_keys(h, "Right", "Right", "Right", "2", "0", "0", "1", "d", "Right")
    p = h.lines("N")[1]
    check(p[6] == 0 and p[8:10] == b"\0\0", "D 2001 refused")
    real_keys(h, "Left", "2", "0", "0", "1", "w", "Right")
    p = h.lines("N")[1]
    check(p[6] == 1 and p[8:10].hex() == "d107", "W 2001 stored")
    h.end()
    s_first = record(108, {2: b"\x04\x00", 10: b"\x01\x00\x09\x00\x02\x00\x08\x00"})
    s_unused = record(108, {4: b"\x03\x00", 26: b"\x04leer"})
    h = Harness(os.path.join(home, "s"), form="S", title="Schemaablauf", given={"lists": {"S": [s_first, s_unused]}})
    real_keys(h, "Right", "5", "s", "Right")
    cells, _ = h.snapshot()
    p = h.s_lines("S")[1]
    check(p[0] == 1 and p[2:4] == b"\x05\x00" and p[10:18] == bytes(8), "S 5 clears the needle division")
    check("r" in h.field_cell(cells, 1, 5)["flags"] and "r" in h.field_cell(cells, 1, 6)["flags"], "N/W cells locked")
    real_keys(h, "Down", *["Right"] * 12, "Up")
    check(h.lines("S")[2].hex() == s_unused, "the unused line keeps its bytes")
    h.end()


def scenario_titles(home):
    h = Harness(home, form="VAWPFNS", title="Schemaablauf",
                given={"lists": {k: 2 for k in "VAWPFNS"}})
    for title in ("Versatz", "Warenabzug", "Wahlschalter", "FF-Position", "Festigkeit", "Nadeleinteilung",
                  "Schemaablauf"):
        found = subprocess.run(["xdotool", "search", "--name", "^%s$" % title], capture_output=True,
                               text=True).stdout.split()
        check(found, "window " + title)
    h.end()


# ---- the knitting scheme, needle room, yarn carriers and set-up sheet ---------

def z_line(fields=None):
    """A new knitting scheme line: no racking."""
    base = {14: b"\x7f", 18: b"\x7f"}
    base.update(fields or {})
    return record(640, base)


def seed_m(lines, header=None, setup=None):
    """Model 312 (two systems), gauge 8, D limit 130, racking limit 20."""
    given = {"model": "312", "gauge": 8, "lists": {"Z": lines}, "setup": setup or "zero", "setup_byte0": 1,
             "header_bytes": {"6": 130, "7": 0, "8": 20, "9": 0, "10": 0, "11": 0, "26": 2}}
    given["header_bytes"].update(header or {})
    return given


def dump_bytes(h, prefix):
    h.snapshot()
    for l in open(os.path.join(h.home, "dump.txt")).read().splitlines():
        if l.startswith(prefix + " "):
            return bytes.fromhex(l.split()[-1])
    return b""


def scenario_scheme(home):
    h = Harness(os.path.join(home, "a"), form=["Z"], title="Strickschema",
                given=seed_m([z_line({116: b"\x07\x00"}), z_line({28: b"\x09\x00"})]))
    real_keys(h, "Right", "space", "Right")
    cells, _ = h.snapshot()
    z = h.s_lines("Z")
    check(h.field_cell(cells, 1, 2)["text"] == "RR", "RR in field 2")
    check(z[1][196:204].hex() == "0000000001000000", "RR stored: %s" % z[1][196:204].hex())
    check(h.field_cell(cells, 1, 10)["text"] == "P0007", "carrier P number")
    # Main racking: 5 is L5; 21 is past the limit 20.
    real_keys(h, "Home", *["Right"] * 3, "5", "Right")
    check(dump_bytes(h, "Z 1")[12:16].hex() == "0000fb00", "L5 stored")
    real_keys(h, *["Left"] * 2, "2", "1", "Right")
    check(dump_bytes(h, "Z 1")[12:16].hex() == "0000fb00", "L21 refused")
    h.end()


def scenario_needleroom(home):
    h = Harness(os.path.join(home, "a"), form=["NR"], title="Nadelraum", given=seed_m([]))
    real_keys(h, "Right", "1", "0", "0", "Right", "2", "0", "0", "Return")
    r = dump_bytes(h, "R")
    check(r[44:46].hex() == "6400" and r[172:174].hex() == "c800", "start and end: %s %s" %
          (r[44:46].hex(), r[172:174].hex()))
    h.end()


def scenario_carriers_ff(home):
    setup = bytearray(2580)
    setup[0] = 1
    for k in range(8):
        for r in range(1, 9):
            for b in range(8):
                struct.pack_into("<h", setup, 1436 + 128 * k + 16 * r + 2 * b, -32768)
                struct.pack_into("<h", setup, 412 + 128 * k + 16 * r + 2 * b, -32768)
    h = Harness(os.path.join(home, "a"), form=["FF"], title="Fadenführer", given=seed_m([], setup=setup.hex()))
    cells, _ = h.snapshot()
    check(h.field_cell(cells, 1, 1)["text"] == "8", "carrier 8 on top")
    real_keys(h, "3", "Return", "5", "Right", "Right", "5", "0", "Left", "space")
    r = dump_bytes(h, "R")
    check(r[2478] == 5 and r[1484:1486].hex() == "3200" and r[332] == 1,
          "exchange, offset, type: %d %s %d" % (r[2478], r[1484:1486].hex(), r[332]))
    h.end()


def scenario_sheet(home):
    setup = bytearray(2580)
    setup[0], setup[4], setup[5] = 1, 11, 22
    for off, value in ((12, 100), (14, 200), (28, 300), (30, 400)):
        struct.pack_into("<H", setup, off, value)
    h = Harness(os.path.join(home, "a"), form=["RB"], title="Rüstblatt", given=seed_m([], setup=setup.hex()))
    real_keys(h, "Down", "Down", "Down", "2", "Return")
    cells, _ = h.snapshot()
    check(h.field_cell(cells, 1, 5)["text"] == "22" and h.field_cell(cells, 1, 10)["text"] == "0200" and
          h.field_cell(cells, 1, 9)["text"] == "0400", "level 2 values")
    real_keys(h, "3", "7", "Return")
    r = dump_bytes(h, "R")
    check(r[0] == 2 and r[5] == 37 and r[4] == 11, "WA of level 2: %d %d %d" % (r[0], r[5], r[4]))
    h.end()
    # Model 364 (first of the first coupling group): E10 derives the machine data.
    h = Harness(os.path.join(home, "b"), form=["RB"], title="Rüstblatt",
                given=seed_m([], header={"10": 1, "11": 0, "26": 4}) | {"model": "364"})
    real_keys(h, "Down", "space")
    k = dump_bytes(h, "K")
    r = dump_bytes(h, "R")
    check(k[4] == 10 and struct.unpack_from("<HH", k, 6) == (80, 25) and struct.unpack_from("<H", r, 2490)[0] == 47,
          "E10: %s %s" % (k.hex(), r[2490:2492].hex()))
    real_keys(h, *["Down"] * 12, "space", "space")
    check(struct.unpack_from("<H", dump_bytes(h, "R"), 2490)[0] == 49, "coupling 49")
    h.end()


def active_window():
    return subprocess.run(["xdotool", "getactivewindow"], capture_output=True, text=True).stdout.strip()


def wait_for(cond, wait=5.0):
    end = time.time() + wait
    while not cond() and time.time() < end:
        time.sleep(0.05)
    return cond()


def dialog(title):
    found = []
    wait_for(lambda: found.extend(subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^%s$" % title],
                                                 capture_output=True, text=True).stdout.split()) or found)
    return found[0] if found else None


def scenario_dialog_focus(home):
    """The keys after a dialog go to the list window that opened it."""
    h = Harness(os.path.join(home, "v"), form="V", given={"lists": {"V": v_lines(3)}}, title="Versatz")
    real_keys(h, *["Left"] * 1, "Insert")
    check(dialog("Texteingabe"), "Insert on the comment opens Texteingabe")
    for k in ("Q", "z", "7", "alt+o"):
        subprocess.run(["xdotool", "key", k])
        time.sleep(0.1)
    check(wait_for(lambda: active_window() == h.window), "Versatz is active after Texteingabe: %s, not %s" %
          (active_window(), h.window))
    # No click back into the list: the keys go where the dialog left them.
    for k in ("Down", *["Left"] * 8, "9", "l", "Right"):
        subprocess.run(["xdotool", "key", k])
        time.sleep(0.1)
    lines = h.lines("V")
    check(lines[1][13:19] == b"\x05L1Qz7", "comment L1Qz7: %r" % lines[1][13:19])
    cells = h.cells("V_Liste")
    check(h.field_cell(cells, 2, 2)["text"] == "L09", "L9 typed on line 2: %r" % h.field_cell(cells, 2, 2)["text"])
    h.end()

    h = Harness(os.path.join(home, "p"), form="P", title="FF-Position",
                given={"lists": {"P": [record(100, {0: b"\x01\x00", 2: b"\x02\x01"})]}})
    real_keys(h, *["Right"] * 4, "Insert")
    choice = dialog("Auswahl")
    check(choice, "Insert on field 5 opens Auswahl")
    # A choice of one-character codes, in a window wide enough for its title.
    check(choice and geometry(choice)["width"] >= 150, "Auswahl is wide enough for its title: %r" %
          (choice and geometry(choice)))
    for k in ("Down", "Return"):
        subprocess.run(["xdotool", "key", k])
        time.sleep(0.1)
    check(wait_for(lambda: active_window() == h.window), "FF-Position is active after Auswahl")
    subprocess.run(["xdotool", "key", "Right"])
    time.sleep(0.2)
    h.snapshot()
    check(h.cells("P_Liste")["cursor"] == (1, 6), "Right after Auswahl moves the cursor: %r" % (h.cells("P_Liste")["cursor"],))
    h.end()

    # Return confirms the text input: a cell holds one line.
    h = Harness(os.path.join(home, "rb"), form=["RB"], title="Rüstblatt", given=seed_m([]))
    real_keys(h, "Down", "Down", "Insert")
    check(dialog("Texteingabe"), "Insert on Kommentar opens Texteingabe")
    subprocess.run(["xdotool", "type", "--delay", "30", "Pullover Probe"])
    subprocess.run(["xdotool", "key", "Return"])
    check(wait_for(lambda: not dialog_now("Texteingabe")), "Return closes Texteingabe")
    check(wait_for(lambda: active_window() == h.window), "Rüstblatt is active after Texteingabe")
    r = dump_bytes(h, "R")
    check(r[2499:2514] == b"\x0ePullover Probe", "comment stored: %r" % r[2499:2514])
    h.end()


def scenario_double_click(home):
    """A double click opens a cell's input dialog as Insert does, also on a
    window that was not the active one."""
    h = Harness(home, form=["RB", "P"], title="FF-Position",
                given=seed_m([]) | {"lists": {"P": [record(100, {0: b"\x01\x00", 2: b"\x02\x01"})]}})
    sheet = dialog("Rüstblatt")
    # Both open at the same place: the carriers' window goes beside the sheet.
    subprocess.run(["xdotool", "windowmove", h.window, "300", "300"])
    time.sleep(0.3)
    h.snapshot()
    for form, window, field, title in (("Ruestblatt", sheet, 2, "Auswahl"), ("Ruestblatt", sheet, 3, "Texteingabe"),
                                       ("P_Liste", h.window, 5, "Auswahl"), ("Ruestblatt", sheet, 11, "Auswahl")):
        # The other window is the active one when the double click comes.
        activate(h.window if window == sheet else sheet)
        cell = h.field_cell(h.cells(form), 1, field)
        subprocess.run(["xdotool", "mousemove", str(cell["x"] + cell["w"] // 2), str(cell["y"] + cell["h"] // 2)])
        time.sleep(0.2)
        subprocess.run(["xdotool", "click", "--repeat", "2", "--delay", "120", "1"])
        opened = dialog(title)
        check(opened, "a double click on field %d of %s opens %s" % (field, form, title))
        if opened:
            subprocess.run(["xdotool", "key", "Escape"])
            wait_for(lambda: not dialog_now(title))
        h.snapshot()
        check(h.cells(form)["cursor"][1] == field, "%s: the cursor on field %d" % (form, field))
    h.end()


def dialog_now(title):
    return subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^%s$" % title],
                          capture_output=True, text=True).stdout.split()


LIST_WINDOWS = [("V", "Versatz", "V_Liste"), ("A", "Warenabzug", "A_Liste"), ("W", "Wahlschalter", "W_Liste"),
                ("P", "FF-Position", "P_Liste"), ("F", "Festigkeit", "F_Liste"),
                ("N", "Nadeleinteilung", "N_Liste"), ("S", "Schemaablauf", "S_Liste"),
                ("Z", "Strickschema", "Z_Liste"), ("NR", "Nadelraum", "Nr_Liste"),
                ("FF", "Fadenführer", "Ff_Liste"), ("RB", "Rüstblatt", "Ruestblatt")]


def open_all(home, lines, ini=None):
    """Every list window over lists of that many lines; its windows by form."""
    given = seed_m([z_line()] * lines)
    given["lists"].update({k: lines for k in "VAWPFNS"})
    os.makedirs(os.path.join(home, "prog"), exist_ok=True)
    if ini:
        with open(os.path.join(home, "prog", "Zorit.INI"), "w") as f:
            f.write("[Windows]\r\n" + "".join("%s=%s\r\n" % kv for kv in ini.items()))
    h = Harness(home, form=[f for f, _, _ in LIST_WINDOWS], given=given, title="Rüstblatt")
    windows = {}
    for form, title, _ in LIST_WINDOWS:
        found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^%s$" % title],
                               capture_output=True, text=True).stdout.split()
        check(found, "window " + title)
        windows[form] = found[0] if found else None
    return h, windows


def shows_its_lines(h, form, key, win, want_rows):
    """The window's rows lie whole within its client area, and as many as wanted."""
    g = geometry(win)
    cells = h.cells(key)
    shown = [c for c in cells["cells"].values() if "h" not in c["flags"]]
    inside = all(g["cy"] <= c["y"] and c["y"] + c["h"] <= g["cy"] + g["height"] for c in shown)
    check(shown and inside and cells["rows"] >= want_rows,
          "%s: %d rows of %d lines whole in a client of %d px" % (form, cells["rows"], cells["lines"], g["height"]))
    return g, cells


def scenario_sizes(home):
    # An empty program: every window shows at least its one line.
    h, windows = open_all(os.path.join(home, "empty"), 0)
    h.snapshot()
    for form, title, key in LIST_WINDOWS:
        if windows[form]:
            shows_its_lines(h, title, key, windows[form], 1)
    h.end()
    # Three lines: the list windows show all three at once, and grow no further
    # (a knitting scheme line is a block too high for three in 250 px).
    h, windows = open_all(os.path.join(home, "three"), 3)
    h.snapshot()
    for form, title, key in LIST_WINDOWS[:7]:
        if windows[form]:
            shows_its_lines(h, title, key, windows[form], 3)
            subprocess.run(["xdotool", "windowsize", windows[form], "900", "600"])
    time.sleep(0.5)
    h.snapshot()
    for form, title, key in LIST_WINDOWS[:7]:
        if windows[form]:
            g, cells = shows_its_lines(h, title, key, windows[form], 3)
            check(g["height"] < 200, "%s grows no further than its lines: %d px" % (title, g["height"]))
    h.end()
    # Thirty lines: 250 px at first; a placement comes back as it was left.
    h, windows = open_all(os.path.join(home, "thirty"), 30)
    placed = {}
    for i, (form, title, key) in enumerate(LIST_WINDOWS[:8]):
        win = windows[form]
        if not win:
            continue
        check(geometry(win)["height"] == 250, "%s opens 250 px high: %r" % (title, geometry(win)))
        activate(win)
        subprocess.run(["xdotool", "windowmove", win, str(40 + 30 * i), str(60 + 50 * i)])
        subprocess.run(["xdotool", "windowsize", win, "600", str(150 + 10 * i)])
        time.sleep(0.3)
        placed[key] = geometry(win)
    activate(subprocess.run(["xdotool", "search", "--name", "^FormMain$"], capture_output=True,
                            text=True).stdout.split()[0])
    h.end()
    stored = {key: ini_value(h, key) for key in placed}
    for key, g in placed.items():
        want = "%05d %05d %05d" % (max(1, g["left"]), g["top"], g["height"])
        check((stored[key] or "").startswith(want), "%s stored %r for %r" % (key, stored[key], g))
    h, windows = open_all(os.path.join(home, "again"), 30, ini={k: v for k, v in stored.items() if v})
    for form, title, key in LIST_WINDOWS[:8]:
        if windows[form] and key in placed:
            g, want = geometry(windows[form]), placed[key]
            check((g["left"], g["top"], g["height"]) == (want["left"], want["top"], want["height"]),
                  "%s back at %r, left at %r" % (title, g, want))
    h.end()


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
