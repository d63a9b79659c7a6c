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
import x_windows  # noqa: E402
from zorit_harness import (BIN, FAILURES, SCENARIO, Home, check, ini, is_progress_box, keys,  # noqa: E402
                           start_and_window, xdo)

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
        new = {w for w in xdo("search", "--onlyvisible", "--pid", str(proc.pid), "--name", ".").split()
               if w not in shown and not is_progress_box(w)}
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
    check(dde(home, "EXPORT DO") == "00", "EXPORT DO without a window is refused")
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
    return x_windows.geometry(win)


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


def debug_log(home):
    try:
        return home.read("Debug.Txt").decode("utf-8", "replace")
    except FileNotFoundError:
        return ""


def scenario_refused_commands():
    """"01" only for what was carried out: finished windows give way, a
    command waits for a paused program test, and Space at its pauses goes
    on."""
    home = Home()
    home.write("w/T.D10", "!M_TYP:ABC 12;\r\n")
    proc, win = start(home, "first_row")
    check(dde(home, "EXPORT DO") == "00", "EXPORT DO without an export window answers 00")
    check("DDE-Befehl nicht ausgefuehrt: EXPORT DO" in debug_log(home), "the refusal is logged")
    keys(win, "ctrl+F7")
    check(window_named(proc, "G-Test") is not None, "the simulation shows")
    time.sleep(1.0)
    check(dde(home, "EXPORT MA-FILE " + home.path("w", "T.D10")) == "01", "EXPORT MA-FILE answered")
    check(window_named(proc, "Export", wait=5) is not None, "the export window shows")
    check(window_named(proc, "G-Test", wait=1) is None, "the finished simulation gave way")
    check(dde(home, "EXPORT DO") == "01", "EXPORT DO answered")
    time.sleep(1.0)
    check(os.path.exists(home.path("Temp", "Wandel.Sma")), "the export wrote its file")
    # The finished export window gives way to a simulation.
    check(dde(home, "SIMULATION") == "01", "SIMULATION answered")
    check(window_named(proc, "G-Test", wait=5) is not None, "the simulation shows")
    check(window_named(proc, "Export", wait=1) is None, "the finished export gave way")
    check(dde(home, "EXPORT MA-FILE") == "01", "the finished simulation gives way again")
    export = window_named(proc, "Export", wait=5)
    if export:
        # "Abbrechen" follows "Start" and closes the idle window.
        keys(export, "Tab", "space")
    time.sleep(0.5)
    check(window_named(proc, "Export", wait=1) is None, "the export window is closed")
    keys(win, "ctrl+F8")
    ptest = window_named(proc, "P-Test")
    check(ptest is not None, "the program test shows")
    if ptest:
        keys(ptest, "space")
        time.sleep(1.0)
        # The paused walk holds remote commands: SIMULATION waits for its end.
        path = home.path("run", "dde-ZORIT-DDESERVER1")
        simulation = subprocess.Popen(["socat", "-t", "60", "-", "UNIX-CONNECT:" + path], stdin=subprocess.PIPE,
                                      stdout=subprocess.PIPE)
        simulation.stdin.write(b"SIMULATION\0")
        simulation.stdin.flush()
        time.sleep(1.0)
        check(simulation.poll() is None and window_named(proc, "G-Test", wait=1) is None, "SIMULATION waits")
        shot(ptest, "ptest_pause.png")
        # Space at each pause goes on (the second message pauses once more).
        keys(ptest, "space")
        time.sleep(0.5)
        keys(ptest, "space")
        answer = simulation.communicate(timeout=70)[0].hex()
        check(answer == "01", "SIMULATION carried out once the program test has ended: " + answer)
        check(window_named(proc, "G-Test", wait=5) is not None, "the simulation shows")
        check(window_named(proc, "P-Test", wait=1) is None, "the finished program test gave way")
    finish(home, proc)


def scenario_close_during_simulation():
    """CLOSE while a remote simulation of long_run (slowed down to half a
    minute) runs stops the walk and closes at once."""
    home = Home()
    home.env["VPSIMMOD_ROW_DELAY_US"] = "1000"
    proc, win = start(home, "long_run")
    path = home.path("run", "dde-ZORIT-DDESERVER1")
    simulation = subprocess.Popen(["socat", "-t", "120", "-", "UNIX-CONNECT:" + path], stdin=subprocess.PIPE,
                                  stdout=subprocess.PIPE)
    simulation.stdin.write(b"SIMULATION\0")
    simulation.stdin.flush()
    check(window_named(proc, "G-Test") is not None, "the simulation shows")
    time.sleep(1.0)
    started = time.time()
    dde(home, "CLOSE", timeout=30)
    try:
        proc.wait(timeout=20)
    except subprocess.TimeoutExpired:
        proc.kill()
    took = time.time() - started
    check(took < 3.0, "CLOSE ends the program within a second or so, not after the run: %.1f s" % took)
    simulation.kill()
    home.cleanup()


def scenario_pipe_target():
    """A pipe or an endless file as the machine file: the command answers
    and the program goes on."""
    home = Home()
    os.makedirs(home.path("w"), exist_ok=True)
    os.mkfifo(home.path("w", "P.D10"))
    proc, win = start(home, "nested")
    # An endless file must not take the shared machine's memory.
    subprocess.run(["prlimit", "--pid", str(proc.pid), "--data=1000000000"], check=False)
    for target in (home.path("w", "P.D10"), "/dev/zero"):
        answers = []
        for command in ("EXPORT MA-FILE " + target, "SIZEMAX"):
            try:
                answers.append(dde(home, command, timeout=10))
            except subprocess.TimeoutExpired:
                answers.append("timeout")
        check(answers == ["01", "01"], "EXPORT MA-FILE %s answered and the program goes on: %s" % (target, answers))
        if answers != ["01", "01"]:
            # A program that stopped answering is not asked to close.
            proc.kill()
            proc.wait(timeout=20)
            break
    finish(home, proc)


def scenario_stacking():
    """Under a window manager: the message window shows beside the
    always-on-top simulation, and the program test window leaves the main
    window's menu and tool bars free."""
    home = Home()
    proc, win = start(home, "stitches")
    keys(win, "ctrl+F7")
    gtest = window_named(proc, "G-Test")
    check(gtest is not None, "the simulation shows")
    if gtest:
        time.sleep(1.0)
        click_at(gtest, FEHLER_BUTTON[0], FEHLER_BUTTON[1])
        messages = window_named(proc, "Fehler und Meldungen", wait=5)
        check(messages is not None, "the message window shows")
        if messages:
            time.sleep(0.5)
            g, m = geometry(gtest), geometry(messages)
            apart = (m["X"] >= g["X"] + g["WIDTH"] or m["X"] + m["WIDTH"] <= g["X"] or
                     m["Y"] >= g["Y"] + g["HEIGHT"] or m["Y"] + m["HEIGHT"] <= g["Y"])
            order = x_windows.stacking()
            above = int(messages) in order and int(gtest) in order and order.index(int(messages)) > order.index(int(gtest))
            check(apart or above, "the message window is not covered by the simulation: %s %s" % (g, m))
            shot("root", "stacking.png")
        keys(gtest, "alt+F4")
        time.sleep(1.0)
    keys(win, "ctrl+F8")
    ptest = window_named(proc, "P-Test")
    check(ptest is not None, "the program test shows")
    if ptest:
        time.sleep(0.5)
        p, main = geometry(ptest), geometry(win)
        # The frame's top: the client's less the title bar.
        check(x_windows.frame(ptest)["Y"] >= main["Y"] + 40, "the program test leaves the menu and tool bar free: %s %s" % (p, main))
        shot("root", "stacking_ptest.png")
    finish(home, proc)


def shots_default_palette():
    """The simulation at its opening size with the default palette: the
    stitches, then with the densities and the grid on."""
    home = Home()
    proc, gtest = opened(home, "stitches", "ctrl+F7", "G-Test")
    if gtest:
        time.sleep(1.0)
        shot(gtest, "gtest_default.png")
        keys(gtest, "8")
        time.sleep(1.0)
        shot(gtest, "gtest_default_zoom.png")
        for button in (DENSITY_BUTTON, GRID_BUTTON, CARRIER_BUTTON):
            click_at(gtest, button[0], button[1])
        time.sleep(0.5)
        shot(gtest, "gtest_default_density.png")
def scenario_long_run():
    """long_run's 30,000 strokes: remote, the count reaches the design
    program; at the keyboard, slowed down, the rows show while the run goes,
    E stops it at once and S runs it to its end."""
    home = Home()
    proc, win = start(home, "long_run")
    derodi = Partner(home, "Derodi")
    check(dde(home, "FERNSTEUERUNG") == "01", "FERNSTEUERUNG answered")
    check(dde(home, "SIMULATION") == "01", "SIMULATION answered")
    end = time.time() + 60
    while time.time() < end and not any(l.startswith("P_DllInfoEnde") for l in log_lines(home)):
        time.sleep(0.2)
    time.sleep(0.5)
    check("CMD CARRIAGEAMOUNT 30000" in derodi.lines(), "Derodi hears 30,000 strokes")
    finish(home, proc)

    home = Home()
    home.write("P.pal", PALETTE)
    home.write("Zorit.INI", "[Files]\r\nPalette=P.pal\r\n")
    home.env["VPSIMMOD_ROW_DELAY_US"] = "200"
    proc, gtest = opened(home, "long_run", "ctrl+F7", "G-Test")
    if gtest:
        # The rows come at the machine's pace: on a loaded one the first may
        # take a while.
        end = time.time() + 20
        stitches = []
        while len(stitches) <= 50 and time.time() < end:
            time.sleep(0.5)
            stitches = colour_lines(shot(gtest, "long_run.png"), "2060DF")
        check(len(stitches) > 50, "rows are drawn while the run goes: %d pixel lines of stitches" % len(stitches))
        keys(gtest, "e")
        time.sleep(0.5)
        rows = lambda: sum(l.startswith("P_DllZeileFertig") for l in log_lines(home))
        first = open(shot(gtest, "long_run_stopped.png"), "rb").read()
        done = rows()
        time.sleep(1.0)
        check(open(shot(gtest, "long_run_stopped2.png"), "rb").read() == first, "E stopped the run: the picture stands still")
        check(rows() == done and 0 < done < 30000, "E stopped the walk at once: %d strokes" % done)
        # S goes on fast to the end.
        keys(gtest, "s")
        end = time.time() + 60
        while time.time() < end and not any(l.startswith("P_DllInfoEnde") for l in log_lines(home)):
            time.sleep(0.2)
        check(rows() > done, "S went on to the end")
    finish(home, proc)


def scenario_screenshots():
    shots_program_test()
    shots_export()
    shots_simulation()
    shots_default_palette()


# Where ToolButtonFehler sits in the simulation window (its fifth button,
# behind a separator).
FEHLER_BUTTON = (140, 18)


# ... and the grid, carrier and density buttons.
GRID_BUTTON, CARRIER_BUTTON, DENSITY_BUTTON = (80, 18), (103, 18), (211, 18)


SCENARIOS = {
    "screenshots": scenario_screenshots,
    "remote_simulation": scenario_remote_simulation,
    "remote_export": scenario_remote_export,
    "as_probe": scenario_as_probe,
    "export_while_asked": scenario_export_while_asked,
    "refused_commands": scenario_refused_commands,
    "close_during_simulation": scenario_close_during_simulation,
    "pipe_target": scenario_pipe_target,
    "stacking": scenario_stacking,
    "long_run": scenario_long_run,
}

if __name__ == "__main__":
    SCENARIOS[SCENARIO]()
    print("%d passed, %d failed" % (0 if FAILURES else 1, 1 if FAILURES else 0))
    sys.exit(1 if FAILURES else 0)
