#!/usr/bin/env python3
"""The languages as a user meets them: the program with its phrase database,
English on a first start, German once chosen.

Usage: languages_e2e.py BIN_DIR TOOLS_DIR SCENARIO
With ZORIT_SHOTS set to a folder, the screenshots are kept there to be looked
at. Run under x_server.py (DISPLAY set).
"""
import os
import shutil
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from zorit_harness import (BIN, FAILURES, SCENARIO, Home, check, keys, other_window,  # noqa: E402
                           start_and_window, xdo)

SHOTS = os.environ.get("ZORIT_SHOTS")


def shipped_home(language=None):
    """A fresh folder with the program's phrase database; the language stored
    in the registry when one is given."""
    home = Home()
    shutil.copy2(os.path.join(BIN, "DbLang.Txt"), home.dir)
    if language:
        home.write(os.path.join("config", "Vasp", "Registry.ini"), "[System]\r\nLanguage=%s\r\n" % language)
    return home


def shot(home, name):
    """A picture of the whole screen, kept when ZORIT_SHOTS names a folder."""
    out = home.path(name + ".png")
    subprocess.run(["import", "-window", "root", out], check=False, stderr=subprocess.DEVNULL)
    if SHOTS and os.path.exists(out):
        os.makedirs(SHOTS, exist_ok=True)
        shutil.copy2(out, os.path.join(SHOTS, name + ".png"))


def visible(pid, title, wait=5.0):
    end = time.time() + wait
    while True:
        found = xdo("search", "--onlyvisible", "--pid", str(pid), "--name", "^%s$" % title).splitlines()
        if found or time.time() >= end:
            break
        time.sleep(0.1)
    # Mapped is not yet ready for keys: the window lays itself out first.
    time.sleep(0.5)
    return found[0] if found else None


def end(proc):
    """The file dialog is left open (without a window manager it does not get
    the keyboard back): the program is stopped."""
    proc.kill()
    proc.wait(timeout=20)


def learnt(home):
    """The phrases the program appended: texts it showed without an entry."""
    shipped = open(os.path.join(BIN, "DbLang.Txt"), "rb").read()
    now = home.read("DbLang.Txt")
    return [l[2:].decode("cp1252") for l in now[len(shipped):].split(b"\r\n") if l.startswith(b"$:")]


def scenario_english():
    home = shipped_home()
    os.makedirs(home.path("Temp"))
    # A script that ends before its header does: the compiler's first error.
    home.write(os.path.join("Temp", "Script.Skx"), "HALLO\r\n")
    proc, win = start_and_window(home)
    keys(win, "alt+f")
    time.sleep(0.5)
    shot(home, "english_file_menu")
    keys(win, "Escape", "Escape")

    keys(win, "shift+F7")
    racking = visible(proc.pid, "Racking")
    check(racking is not None, "Shift+F7 shows the window Racking")
    shot(home, "english_racking")
    if racking:
        keys(racking, "Escape")

    keys(win, "F9")
    box = other_window(proc.pid, win, 10, title="Warning")
    check(box is not None, "the compiler's report comes in a box titled Warning")
    shot(home, "english_compiler_error")
    if box:
        keys(box, "Escape")

    keys(win, "alt+f", "o")
    dialog = visible(proc.pid, "Open")
    check(dialog is not None, "File, Open shows the dialog Open")
    shot(home, "english_open_dialog")
    end(proc)
    check(learnt(home) == [], "every text shown has its entry: %r" % learnt(home))
    home.cleanup()


def scenario_german():
    home = shipped_home("Deutsch")
    proc, win = start_and_window(home)
    keys(win, "shift+F7")
    check(visible(proc.pid, "Versatz") is not None, "Shift+F7 shows the window Versatz")
    keys(win, "alt+d", "f")
    dialog = visible(proc.pid, "Öffnen")
    check(dialog is not None, "Datei, Öffnen shows the dialog Öffnen")
    shot(home, "german_open_dialog")
    end(proc)
    home.cleanup()


SCENARIOS = {"english": scenario_english, "german": scenario_german}

if __name__ == "__main__":
    SCENARIOS[SCENARIO]()
    print("%d passed, %d failed" % (0 if FAILURES else 1, 1 if FAILURES else 0))
    sys.exit(1 if FAILURES else 0)
