#!/usr/bin/env python3
"""Where the keys go in the real program, end to end.

Usage: keys_e2e.py BIN_DIR TOOLS_DIR SCENARIO
Run under x_server.py (any window manager, or none): after a compile, a save, a dialog or a key
at a P-Test pause the keys are with the window the person worked in, and
the main menu's Alt letters open it from the pattern window and its tool
windows.
"""
import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import window_manager as wm  # noqa: E402
from zorit_harness import (BIN, FAILURES, SCENARIO, TOOLS, Home, run, above, check, keys,  # noqa: E402
                           progress_boxes, quit_program, start_and_window, xdo)

PROBE = os.path.join(os.path.dirname(BIN), "tests", "tools", "kernel_probe")
RAMCOPY = os.path.join(TOOLS, "ramcopy.py")
LIST_LETTERS = "ZNWSVFPA"

HEAD = "MODULSET TEST;\r\nBEGIN\r\n$ZR_TYP=311;\r\n$NR1=1,101;\r\n$S_1=Z1,1,D1;[]=MAIN;\r\nEND;\r\nMODUL MAIN;\r\nBEGIN\r\n"
# TZ=50 in its knitting scheme: a key that reached the scheme's TZ cell
# would show in the lists.
BODY = "S1=>,FF1;\r\nTZ=50;\r\nWA=D10;\r\nS1=<,FF1;END;\r\n"
# Messages at the first two strokes: two at Z0001, "Maschine Stop!" at Z0002.
TWO_PAUSES = ("MODULSET TEST;\r\nBEGIN\r\n$ZR_TYP=311;\r\n$NR1=1,101;\r\n$XMAX=100;\r\n$YMAX=20;\r\n"
              "$S_1=Z1,1,D1;[]=MAIN;\r\nEND;\r\nMODUL MAIN;\r\nBEGIN\r\nS1=>,POS;\r\nS1=<,POS;\r\nTZ=0;END;\r\n")


def dde(home, command):
    """Sends one string over the program's DDE socket; the answer in hex."""
    socket = home.path("run", "dde-ZORIT-DDESERVER1")
    end = time.time() + 10
    while time.time() < end and not os.path.exists(socket):
        time.sleep(0.1)
    r = subprocess.run(["socat", "-t", "60", "-", "UNIX-CONNECT:" + socket], input=command.encode("cp1252") + b"\0",
                       capture_output=True, timeout=90)
    return r.stdout.hex()


def list_lines(text):
    return [line for line in text.splitlines() if line[:1] in LIST_LETTERS and line[1:2] == " "]


def titled(pid, title, wait=10.0):
    end = time.time() + wait
    while True:
        for win in xdo("search", "--onlyvisible", "--pid", str(pid), "--name", "^%s$" % title).splitlines():
            if xdo("getwindowname", win) == title:
                return win
        if time.time() >= end:
            return None
        time.sleep(0.1)


def gone(pid, title, wait=10.0):
    end = time.time() + wait
    while time.time() < end and titled(pid, title, 0):
        time.sleep(0.1)
    return titled(pid, title, 0) is None


def jobs_done(pid, wait=20.0):
    """The progress boxes of a job have gone."""
    end = time.time() + wait
    while time.time() < end and progress_boxes(pid):
        time.sleep(0.1)
    return not progress_boxes(pid)


def active_name():
    return "%s %r" % (xdo("getactivewindow"), xdo("getwindowname", xdo("getactivewindow")))


def active_soon(win, wait=5.0):
    end = time.time() + wait
    while time.time() < end and xdo("getactivewindow") != win:
        time.sleep(0.1)
    return xdo("getactivewindow") == win


def typed(*seq):
    """Keys as a person types them, to whatever window has the focus."""
    for k in seq:
        xdo("key", "--clearmodifiers", k)
        time.sleep(0.15)


def shot(name):
    if os.environ.get("SHOTS"):
        subprocess.run(["import", "-window", "root", os.path.join(os.environ["SHOTS"], name)])


def return_on_warning(proc, what):
    """The compile's warning comes; Return closes it."""
    box = titled(proc.pid, "Warnung", 20)
    check(box is not None, "%s warning shows" % what)
    if box:
        keys(box, "Return")
        check(gone(proc.pid, "Warnung"), "Return closes %s warning" % what)


def scenario_compile():
    """F9 in the editor with two lists open: after the warning the editor
    has the keys with its cursor on the error, and typed text goes into the
    script; after a clean compile too, no list in front of it; F9 in a list
    leaves that list active. The lists hold what the script made."""
    home = Home()
    os.makedirs(home.path("Temp"), exist_ok=True)
    home.write("Temp/Script.Skx", HEAD + "UNSINN;\r\n" + BODY)
    proc, win = start_and_window(home)
    # A first compile sets the script's machine model: a change of model
    # closes the program's windows.
    keys(win, "F9")
    return_on_warning(proc, "the first compile's")
    check(jobs_done(proc.pid), "the first compile ends")
    keys(win, "shift+F3")
    scheme = titled(proc.pid, "Strickschema")
    keys(win, "shift+F2")
    needles = titled(proc.pid, "Nadeleinteilung")
    keys(win, *wm.reach(("ctrl+F9",)))
    editor = titled(proc.pid, "Skrel Editor")
    check(scheme and needles and editor, "Strickschema, Nadeleinteilung and the editor show")
    if scheme and needles and editor:
        keys(editor, "F9")
        return_on_warning(proc, "F9's")
        check(jobs_done(proc.pid), "no progress box is left")
        check(active_soon(editor), "after the warning the editor has the keys (active %s)" % active_name())
        check(above(editor, scheme, needles), "no list stands over the editor")
        shot("keys_after_warning.png")
        # The cursor stands behind UNSINN; on its line: the line becomes a
        # comment, with a 7 the scheme's TZ cell would have taken.
        typed("Home", "braceleft", "7", "End", "braceright")
        keys(editor, "F9")
        check(jobs_done(proc.pid), "the clean compile ends")
        check(titled(proc.pid, "Warnung", 1) is None, "the commented script compiles")
        check(active_soon(editor), "after a clean compile the editor has the keys")
        check(above(editor, scheme, needles), "no list comes over the editor")
        typed("End", "Return", "braceleft", "8", "braceright")
        xdo("windowactivate", "--sync", scheme)
        time.sleep(0.5)
        script = home.read("Temp", "Script.Skx")
        check(b"{7UNSINN;}" in script and b"{8}" in script, "the typed text is in the script: %r" % script)
        keys(scheme, "F9")
        check(jobs_done(proc.pid), "the compile from the list ends")
        time.sleep(0.5)
        check(active_soon(scheme), "F9 in the scheme leaves it active (active %s)" % active_name())
    check(quit_program(proc, win) == 0, "exit status 0")
    # The lists as the script makes them: no typed key changed a list.
    home.write("S.Skx", home.read("Temp", "Script.Skx"))
    expected = list_lines(run(PROBE, "--home", home.path("probe"), "compile", home.path("S.Skx"), "--dump")[1])
    got = list_lines(run("python3", RAMCOPY, "dump", home.path("Temp", "Saveram.Tmp"))[1])
    check(expected and got == expected, "the lists hold what the script made")
    home.cleanup()


def menu_opens(pid, win):
    """Alt+D to the window with the focus opens a pop-up of the program
    (the Datei menu); Esc closes it again."""
    before = set(xdo("search", "--onlyvisible", "--pid", str(pid)).splitlines())
    xdo("windowfocus", "--sync", win)
    time.sleep(0.2)
    xdo("key", "--clearmodifiers", "alt+d")
    end = time.time() + 3
    new = set()
    while time.time() < end and not new:
        new = set(xdo("search", "--onlyvisible", "--pid", str(pid)).splitlines()) - before
        time.sleep(0.1)
    if new:
        shot("keys_alt_d.png")
        xdo("key", "Escape")
        end = time.time() + 5
        while time.time() < end and new & set(xdo("search", "--onlyvisible", "--pid", str(pid)).splitlines()):
            time.sleep(0.1)
    return bool(new)


def scenario_pattern():
    """A click into Patrone leaves Werkzeuge and Farben shown above it;
    Alt+D from Patrone, Werkzeuge and Farben opens the Datei menu; Ctrl+S
    in Patrone saves and leaves Patrone active."""
    home = Home()
    os.makedirs(home.path("w"), exist_ok=True)
    home.write("S.Skx", HEAD + BODY)
    run(PROBE, "tiff-write", home.path("S.TIF"), "--size", "40x30", "--bands")
    program = home.path("w", "PROGRAMM1.3XH")
    code, out = run(PROBE, "--home", home.path("probe"), "compile", home.path("S.Skx"), "--pattern",
                    home.path("S.TIF"), "--save", program)
    check(code == 0, "kernel_probe made the program: " + out)
    proc, win = start_and_window(home)
    check(dde(home, "LOADPATTERN " + program) == "01", "the program loads")
    keys(win, "alt+p", "p")
    patrone = titled(proc.pid, "Patrone")
    tools = titled(proc.pid, "Werkzeuge")
    colours = titled(proc.pid, "Farben")
    check(patrone and tools and colours, "Patrone, Werkzeuge and Farben show")
    if patrone and tools and colours:
        wm.pattern_tools_above(check, patrone, {"Werkzeuge": tools, "Farben": colours})
    for name, w in (("Patrone", patrone), ("Werkzeuge", tools), ("Farben", colours)):
        if w:
            check(menu_opens(proc.pid, w), "Alt+D in %s opens the Datei menu" % name)
    if patrone:
        before = os.stat(program).st_mtime_ns
        xdo("windowactivate", "--sync", patrone)
        check(active_soon(patrone), "Patrone is active")
        typed("ctrl+s")
        end = time.time() + 20
        while time.time() < end and os.stat(program).st_mtime_ns == before:
            time.sleep(0.1)
        check(os.stat(program).st_mtime_ns != before, "Ctrl+S in Patrone saves the program")
        check(jobs_done(proc.pid), "the save's box goes")
        time.sleep(0.5)
        check(active_soon(patrone), "after Ctrl+S Patrone has the keys (active %s)" % active_name())
    check(quit_program(proc, win) == 0, "exit status 0")
    home.cleanup()


def scenario_export_settings():
    """Ctrl+F10, "Erweitert...", then Return or Esc: the export window has
    the keys again with the focus on "Erweitert...", so Space opens the
    settings once more."""
    home = Home()
    proc, win = start_and_window(home)
    keys(win, *wm.reach(("ctrl+F10",)))
    export = titled(proc.pid, "Export")
    check(export is not None, "Ctrl+F10 shows the export window")
    if export:
        xdo("windowactivate", "--sync", export)
        check(active_soon(export), "the export window is active")
        # From "Start" on: "Abbrechen", the machine button, "Erweitert...".
        typed("Tab", "Tab", "Tab", "space")
        for key in ("Return", "Escape"):
            box = titled(proc.pid, "Exporteinstellungen")
            check(box is not None, "the settings show (before %s)" % key)
            if not box:
                break
            check(active_soon(box), "the settings have the keys")
            typed(key)
            check(gone(proc.pid, "Exporteinstellungen"), "%s closes the settings" % key)
            check(active_soon(export), "after %s the export window has the keys (active %s)"
                  % (key, active_name()))
            typed("space")
        check(titled(proc.pid, "Exporteinstellungen", 3) is not None, "Space on Erweitert... opens them again")
        keys(titled(proc.pid, "Exporteinstellungen") or export, "Escape")
        check(gone(proc.pid, "Exporteinstellungen"), "Esc closes them")
    check(quit_program(proc, win) == 0, "exit status 0")
    home.cleanup()


def press_slowly(key):
    """A key held as a person holds it: the program runs on meanwhile."""
    xdo("keydown", key)
    time.sleep(0.4)
    xdo("keyup", key)


def scenario_ptest_pause():
    """A program with messages at its first two strokes: one Space at the
    first pause goes on to the second ("Maschine Stop!"), a second ends the
    walk, and only a third, on "Beenden", hides the window."""
    home = Home()
    os.makedirs(home.path("Temp"), exist_ok=True)
    home.write("Temp/Script.Skx", TWO_PAUSES)
    proc, win = start_and_window(home)
    keys(win, "F9")
    check(jobs_done(proc.pid), "the compile ends")
    keys(win, *wm.reach(("ctrl+F8",)))
    ptest = titled(proc.pid, "P-Test")
    check(ptest is not None, "Ctrl+F8 shows P-Test")
    if ptest:
        xdo("windowactivate", "--sync", ptest)
        keys(ptest, "Return")
        # The walk has no outward sign of its pause: it pauses within its
        # first two strokes, long before this.
        time.sleep(1.0)
        press_slowly("space")
        time.sleep(1.0)
        shot("keys_ptest_second_pause.png")
        typed("space")
        time.sleep(1.0)
        check(titled(proc.pid, "P-Test", 0) is not None, "two Spaces leave the walk at its end, the window up")
        typed("space")
        check(gone(proc.pid, "P-Test", 5), "Space on Beenden hides the window")
    check(quit_program(proc, win) == 0, "exit status 0")
    home.cleanup()


SCENARIOS = {"compile": scenario_compile, "pattern": scenario_pattern, "export_settings": scenario_export_settings,
             "ptest_pause": scenario_ptest_pause}

if __name__ == "__main__":
    SCENARIOS[SCENARIO]()
    print("%d passed, %d failed" % (0 if FAILURES else 1, 1 if FAILURES else 0))
    sys.exit(1 if FAILURES else 0)
