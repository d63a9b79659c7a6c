#!/usr/bin/env python3
"""The checker windows of the real program, driven by the design program's
commands.

Usage: check_windows_e2e.py BIN_DIR TOOLS_DIR SCENARIO
Programs are compiled from tests/data/check by LOADORDALINFILES; the design
program and the export target are dde_probe partners; the library logs its
calls. Run under x_server.py (check_windows_x11.sh).
"""
import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from zorit_harness import BIN, FAILURES, SCENARIO, Home, check, ini, keys, start_and_window, xdo  # noqa: E402

TOOLS_BIN = os.path.join(os.path.dirname(BIN), "tests", "tools")
PROBE = os.path.join(TOOLS_BIN, "kernel_probe")
DDE_PROBE = os.path.join(TOOLS_BIN, "dde_probe")
DATA = os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), "data", "check")


def dde(home, command, timeout=120):
    """Sends one string and gives the answer byte in hex ("01")."""
    path = home.path("run", "dde-ZORIT-DDESERVER1")
    r = subprocess.run(["socat", "-t", str(timeout), "-", "UNIX-CONNECT:" + path],
                       input=command.encode("cp1252") + b"\0", capture_output=True, timeout=timeout + 10)
    return r.stdout.hex()


class Partner:
    """A family program that prints what it is sent."""

    def __init__(self, home, name):
        self.proc = subprocess.Popen([DDE_PROBE, "serve", name], env=home.env, cwd=home.dir,
                                     stdout=subprocess.PIPE, text=True)
        self.proc.stdout.readline()  # READY

    def lines(self):
        self.proc.terminate()
        out, _ = self.proc.communicate(timeout=10)
        return [l for l in out.splitlines() if l.startswith("CMD ")]


def start(home, program):
    os.makedirs(home.path("w"), exist_ok=True)
    home.write("w/%s.SMA" % program, b"")
    with open(os.path.join(DATA, program + ".Skx"), "rb") as f:
        home.write("w/%s.Skx" % program, f.read())
    home.env["VPSIMMOD_LOG"] = home.path("w", "sim.log")
    proc, win = start_and_window(home)
    check(dde(home, "LOADORDALINFILES " + home.path("w", program + ".SMA")) == "01", "program loaded")
    return proc, win


def log_lines(home):
    try:
        return home.read("w", "sim.log").decode("utf-8", "replace").splitlines()
    except FileNotFoundError:
        return []


def block_byte(line, offset):
    """Byte at offset of the block a log line shows, in hex."""
    hexed = line.split()[1]
    return hexed[2 * offset:2 * offset + 2]


def finish(home, proc):
    dde(home, "CLOSE")
    try:
        proc.wait(timeout=20)
    except subprocess.TimeoutExpired:
        proc.kill()
    home.cleanup()


def scenario_remote_simulation():
    home = Home()
    proc, win = start(home, "nested")
    derodi = Partner(home, "Derodi")
    check(dde(home, "FERNSTEUERUNG") == "01", "FERNSTEUERUNG answered")
    check(dde(home, "SIMULATION") == "01", "SIMULATION answered")
    time.sleep(0.5)
    check("CMD CARRIAGEAMOUNT 12" in derodi.lines(), "Derodi hears the stroke count")
    check(xdo("search", "--onlyvisible", "--name", "^G-Test$") == "", "the simulation window is gone")
    log = log_lines(home)
    inits = [l for l in log if l.startswith("P_DllInit ")]
    check(inits and block_byte(inits[0], 21) == "01", "the library runs in simulation mode")
    check(log and log[-1].startswith("P_DllSpeicherFrei -"), "the library is freed last: " + (log[-1][:60] if log else ""))
    finish(home, proc)


def remote_export_start():
    """nested under remote control with the machine file T.D10 and a start
    entry that adds each argument it gets as a line of w/args."""
    home = Home()
    home.write("w/T.D10", "!M_TYP:ABC 12;\r\n")
    home.write("w/rec.sh", "#!/bin/sh\nfor a in \"$@\"; do echo \"$a\"; done >> %s\n" % home.path("w", "args"))
    os.chmod(home.path("w", "rec.sh"), 0o755)
    home.write("Zorit.INI", "[Files]\r\nSkrelStart=%s\r\n" % home.path("w", "rec.sh"))
    proc, win = start(home, "nested")
    derodi = Partner(home, "Derodi")
    check(dde(home, "FERNSTEUERUNG") == "01", "FERNSTEUERUNG answered")
    return home, proc, derodi


def scenario_remote_export():
    home, proc, derodi = remote_export_start()
    check(dde(home, "EXPORT EXTENTED 0100") == "01", "EXPORT EXTENTED answered")
    check(dde(home, "EXPORT MA-FILE " + home.path("w", "T.D10")) == "01", "EXPORT MA-FILE answered")
    check(dde(home, "EXPORT DO") == "01", "EXPORT DO answered")
    question = None
    end = time.time() + 20
    while time.time() < end and not question:
        found = xdo("search", "--onlyvisible", "--name", "^Bestätigung$")
        question = found.splitlines()[0] if found else None
        time.sleep(0.2)
    check(question is not None, "the question comes")
    if question:
        # Kept to look at: it names Pelsavo.
        time.sleep(0.3)
        shot(question, "question.png")
        xdo("windowfocus", "--sync", question)
        xdo("key", "Return")
    time.sleep(1.5)
    check("CMD EXPORT FERTIG" in derodi.lines(), "Derodi hears the end of the export")
    inits = [l for l in log_lines(home) if l.startswith("P_DllInit ")]
    check(inits and block_byte(inits[0], 24) == "00", "carrier types not adapted")
    args = home.read("w", "args").decode() if os.path.exists(home.path("w", "args")) else ""
    check(args == "/L" + home.path("Temp", "Wandel.Sma") + "\n", "the target gets the conversion file: " + args)
    check(xdo("search", "--onlyvisible", "--name", "^Export$") == "", "the export window is gone")
    settings = ini(home)
    for key in ("FfTypTrans=0", "GgChange=1", "NListeWs=0", "SListeWs=0", "MaTyp=" + home.path("w", "T.D10")):
        check(key in settings, key)
    # Bad data: a box names the command, and the options stay.
    settings = ini(home)
    shown = set(xdo("search", "--onlyvisible", "--pid", str(proc.pid), "--name", ".").split())
    path = home.path("run", "dde-ZORIT-DDESERVER1")
    sender = subprocess.Popen(["socat", "-t", "60", "-", "UNIX-CONNECT:" + path], stdin=subprocess.PIPE,
                              stdout=subprocess.PIPE)
    sender.stdin.write(b"EXPORT EXTENTED 101\0")
    sender.stdin.flush()
    box = None
    end = time.time() + 10
    while time.time() < end and not box:
        new = set(xdo("search", "--onlyvisible", "--pid", str(proc.pid), "--name", ".").split()) - shown
        box = sorted(new)[0] if new else None
        time.sleep(0.2)
    check(box is not None, "a box tells of the bad data")
    if box:
        time.sleep(0.5)
        shot(box, "extented_101.png")
        keys(box, "Return")
    sender.communicate(timeout=70)
    check(ini(home) == settings, "the options are not written")
    before = log_lines(home)
    check(dde(home, "EXPORT DO") == "01", "EXPORT DO without a window answered")
    check(log_lines(home) == before, "nothing reaches the library")
    finish(home, proc)


def scenario_as_probe():
    home = Home()
    proc, win = start(home, "nested")
    check(dde(home, "EXPORT EXTENTED 0000") == "01", "EXPORT EXTENTED answered")
    check(dde(home, "EXPORT MA-FILE") == "01", "EXPORT MA-FILE answered")
    check(dde(home, "EXPORT DO") == "01", "EXPORT DO answered")
    time.sleep(1.0)
    probe_home = home.path("probe")
    os.makedirs(probe_home, exist_ok=True)
    subprocess.run([PROBE, "--home", probe_home, "check", os.path.join(DATA, "nested.Skx"), "--mode", "export"],
                   capture_output=True, timeout=120)
    ours = home.read("Temp", "Wandel.Sma")
    with open(os.path.join(probe_home, "Temp", "Wandel.Sma"), "rb") as f:
        theirs = f.read()
    check(ours == theirs, "Wandel.Sma as the probe writes it")
    check(ours.rstrip().endswith(b"ENDE 12"), "twelve strokes")
    check(xdo("search", "--onlyvisible", "--name", "^Bestätigung$") == "", "no question")
    export = xdo("search", "--onlyvisible", "--name", "^Export$")
    check(export != "", "the export window stays")
    if export:
        # Kept to look at: the start button reads "Beenden".
        shot(export.splitlines()[0], "export_done.png")
    finish(home, proc)


def scenario_export_while_asked():
    """The design program hears the end before the question and sends its
    next export at once: it waits for the answer, then runs in full."""
    home, proc, derodi = remote_export_start()
    check(dde(home, "EXPORT MA-FILE " + home.path("w", "T.D10")) == "01", "EXPORT MA-FILE answered")
    check(dde(home, "EXPORT DO") == "01", "EXPORT DO answered")
    path = home.path("run", "dde-ZORIT-DDESERVER1")
    senders = []
    for command in ("EXPORT MA-FILE " + home.path("w", "T.D10"), "EXPORT DO"):
        time.sleep(0.5)
        sender = subprocess.Popen(["socat", "-t", "60", "-", "UNIX-CONNECT:" + path], stdin=subprocess.PIPE,
                                  stdout=subprocess.PIPE)
        sender.stdin.write(command.encode("cp1252") + b"\0")
        sender.stdin.flush()
        senders.append(sender)
    answered = 0
    end = time.time() + 30
    while time.time() < end and answered < 2:
        found = xdo("search", "--onlyvisible", "--name", "^Bestätigung$").split()
        check(len(found) <= 1, "one question at a time")
        if found:
            time.sleep(0.3)
            keys(found[0], "Return")
            answered += 1
            time.sleep(1.0)
        time.sleep(0.2)
    check(answered == 2, "both exports ask")
    check([s.communicate(timeout=70)[0].hex() for s in senders] == ["01", "01"], "both commands answered")
    args = home.read("w", "args").decode() if os.path.exists(home.path("w", "args")) else ""
    check(args == ("/L" + home.path("Temp", "Wandel.Sma") + "\n") * 2, "the target starts twice: " + args)
    check(derodi.lines().count("CMD EXPORT FERTIG") == 2, "Derodi hears both ends")
    finish(home, proc)


# Palette entry i is (i, 3i mod 256, 255 - i).
PALETTE = bytes(b for i in range(256) for b in (i, 3 * i % 256, 255 - i, 0))


def shots_dir():
    """Where the screenshots are kept: $SHOTS, else beside the run."""
    d = os.environ.get("SHOTS") or os.path.join(os.getcwd(), "check_windows_shots")
    os.makedirs(d, exist_ok=True)
    return d


def shot(win, name):
    path = os.path.join(shots_dir(), name)
    subprocess.run(["import", "-window", win, path], check=False)
    return path


def colour_lines(png, colour):
    """The pixel lines (y) of the picture that hold the colour ("2060DF")."""
    out = subprocess.run(["convert", png, "-depth", "8", "txt:-"], capture_output=True, text=True).stdout
    lines = set()
    for line in out.splitlines():
        if "#" + colour.upper() in line.upper():
            lines.add(int(line.split(":")[0].split(",")[1]))
    return sorted(lines)


def window_named(proc, title, wait=15.0):
    end = time.time() + wait
    while time.time() < end:
        found = xdo("search", "--all", "--onlyvisible", "--pid", str(proc.pid), "--name", "^%s$" % title)
        if found:
            return found.splitlines()[0]
        time.sleep(0.1)
    return None


def geometry(win):
    g = {}
    for line in xdo("getwindowgeometry", "--shell", win).splitlines():
        k, _, v = line.partition("=")
        g[k] = int(v) if v.lstrip("-").isdigit() else v
    return g


def click_at(win, x, y):
    """A left click at (x, y) of the window; negative values count from its right or bottom."""
    g = geometry(win)
    x = x if x >= 0 else g["WIDTH"] + x
    y = y if y >= 0 else g["HEIGHT"] + y
    xdo("mousemove", "--window", win, str(x), str(y))
    time.sleep(0.2)
    xdo("click", "1")
    time.sleep(0.3)


def opened(home, program, key, title):
    """Zorit with the program loaded and the window the key opens."""
    proc, win = start(home, program)
    keys(win, key)
    found = window_named(proc, title)
    check(found is not None, "the window %s shows" % title)
    return proc, found


def shots_program_test():
    """The program test paused on first_row's first message, then at its end."""
    home = Home()
    proc, ptest = opened(home, "first_row", "ctrl+F8", "P-Test")
    if ptest:
        keys(ptest, "space")
        time.sleep(1.5)
        shot(ptest, "ptest.png")
        # "Weiter" runs to the end; "Beenden" puts the window away.
        click_at(ptest, 60, -23)
        time.sleep(1.0)
        shot(ptest, "ptest_done.png")
        click_at(ptest, 60, -23)
        time.sleep(0.5)
        check(window_named(proc, "P-Test", wait=1) is None, "the program test window is gone")
    finish(home, proc)


def shots_export():
    """The export window and its settings dialog."""
    home = Home()
    home.write("w/T.D10", "!M_TYP:ABC 12;\r\n")
    home.write("Zorit.INI", "[Export]\r\nMaTyp=%s\r\n" % home.path("w", "T.D10"))
    proc, export = opened(home, "nested", "ctrl+F10", "Export")
    if export:
        time.sleep(0.5)
        shot(export, "export.png")
        check(dde(home, "EXPORT EXTENTED 1010") == "01", "EXPORT EXTENTED answered")
        click_at(export, -45, -22)
        settings = window_named(proc, "Exporteinstellungen", wait=5)
        check(settings is not None, "the settings dialog shows")
        if settings:
            time.sleep(0.5)
            shot(settings, "settings.png")
            keys(settings, "Escape")
    finish(home, proc)


def shots_simulation():
    """The simulation after a fast run of stitches, at zoom step 8, and its messages."""
    home = Home()
    home.write("P.pal", PALETTE)
    home.write("Zorit.INI", "[Files]\r\nPalette=P.pal\r\n")
    proc, gtest = opened(home, "stitches", "ctrl+F7", "G-Test")
    if gtest:
        time.sleep(1.0)
        keys(gtest, "8")
        time.sleep(1.0)
        png = shot(gtest, "gtest.png")
        # 4 rows of 9-px cells at the bottom: stitches in rows 1 and 3.
        ground = colour_lines(png, "0000FF")
        stitches = colour_lines(png, "2060DF")
        check(len(ground) == 36 and ground[-1] - ground[0] == 35, "four rows of 9 px: %s" % ground[:1])
        bottom = ground[-1] if ground else 0
        rows = sorted({(bottom - y) // 9 + 1 for y in stitches})
        check(rows == [1, 3], "stitches in carrier 1's colour in rows 1 and 3: %s" % rows)
        click_at(gtest, FEHLER_BUTTON[0], FEHLER_BUTTON[1])
        messages = window_named(proc, "Fehler und Meldungen", wait=5)
        check(messages is not None, "the message window shows")
        if messages:
            time.sleep(0.5)
            shot(messages, "gtesttext.png")
    knits = [l for l in log_lines(home) if l.startswith("P_DllAddSelektion ")]
    check(len(knits) == 2 and all("+2=4d4d" in l for l in knits), "both strokes knit ('M') on the room")
    finish(home, proc)


def scenario_screenshots():
    shots_program_test()
    shots_export()
    shots_simulation()


# Where ToolButtonFehler sits in the simulation window (its fifth button,
# behind a separator).
FEHLER_BUTTON = (140, 18)


SCENARIOS = {
    "screenshots": scenario_screenshots,
    "remote_simulation": scenario_remote_simulation,
    "remote_export": scenario_remote_export,
    "as_probe": scenario_as_probe,
    "export_while_asked": scenario_export_while_asked,
}

if __name__ == "__main__":
    SCENARIOS[SCENARIO]()
    print("%d passed, %d failed" % (0 if FAILURES else 1, 1 if FAILURES else 0))
    sys.exit(1 if FAILURES else 0)
