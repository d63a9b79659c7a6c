#!/usr/bin/env python3
"""The design program replaces the program while a window's own dialog waits.

Usage: remote_dialog_e2e.py BIN_DIR TOOLS_DIR SCENARIO
SCENARIO: list_return, list_escape (the choice of "Warenabzug"), pattern_return,
pattern_escape ("Einfügen aus" of "Patrone"). A program made with
kernel_probe is loaded with LOADPATTERN; the window's dialog is opened with
keys; LOADPATTERN of the same program arrives while it waits (the list
windows and the pattern window go with the old program); then Return or
Esc. The program lives on, the RAM copy it writes at CLOSE holds the lists
as the probe loads them (nothing of the answer went into them), and CLOSE
ends it with status 0. Run under x_server.py.
"""
import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from zorit_harness import FAILURES, SCENARIO, Home, check, keys, run, start_and_window, xdo  # noqa: E402
from keys_e2e import titled  # noqa: E402
from programfiles_e2e import PROBE, close, dde, dump, list_lines, make_program  # noqa: E402


def open_list_choice(proc, win):
    """Warenabzug (Shift+F6), then Insert on each field from the first on
    until one opens "Auswahl": its dialog."""
    keys(win, "shift+F6")
    lst = titled(proc.pid, "Warenabzug", 10)
    check(lst is not None, "Warenabzug shows")
    if not lst:
        return None
    for _ in range(6):
        keys(lst, "Insert")
        dialog = titled(proc.pid, "Auswahl", 1.5)
        if dialog:
            return dialog
        keys(lst, "Right")
    return None


def open_pattern_insert(proc, win):
    """Patrone (Alt+P P), then "Bearbeiten > Einfügen aus": the motif file
    dialog."""
    keys(win, "alt+p", "p")
    patrone = titled(proc.pid, "Patrone", 10)
    check(patrone is not None, "Patrone shows")
    if not patrone:
        return None
    keys(patrone, "alt+b", "u")
    end = time.time() + 10
    while time.time() < end:
        for w in xdo("search", "--onlyvisible", "--pid", str(proc.pid), "--name", ".").splitlines():
            if w not in (win, patrone) and xdo("getwindowname", w) not in ("Patrone", "Werkzeuge", "Farben", "ZORIT"):
                return w
        time.sleep(0.1)
    return None


def scenario(opener, key):
    home = Home()
    program = make_program(home, "w/A", "PROGRAMM1.3XH")
    expected = list_lines(run(PROBE, "--home", home.path("probe"), "load", program, "--dump")[1])
    proc, win = start_and_window(home)
    check(dde(home, "LOADPATTERN " + program) == "01", "LOADPATTERN answered")
    dialog = opener(proc, win)
    check(dialog is not None, "the dialog opens")
    if dialog:
        shown = xdo("getwindowname", dialog)
        check(dde(home, "LOADPATTERN " + program) == "01", "LOADPATTERN answered while %r waits" % shown)
        # The dialog of a window that went goes with it; a shared one waits
        # for its answer.
        if dialog in xdo("search", "--onlyvisible", "--pid", str(proc.pid), "--name", ".").splitlines():
            keys(dialog, key)
        else:
            xdo("key", key)
        end = time.time() + 3
        while time.time() < end and proc.poll() is None:
            time.sleep(0.1)
        check(proc.poll() is None, "the program lives after %s (status %s)" % (key, proc.poll()))
    if proc.poll() is None:
        check(close(home, proc) == 0, "CLOSE ends it with status 0")
        check(list_lines(dump(home.path("Temp", "Saveram.Tmp"))) == expected,
              "the lists are the new program's as loaded")
    home.cleanup()


SCENARIOS = {
    "list_return": lambda: scenario(open_list_choice, "Return"),
    "list_escape": lambda: scenario(open_list_choice, "Escape"),
    "pattern_return": lambda: scenario(open_pattern_insert, "Return"),
    "pattern_escape": lambda: scenario(open_pattern_insert, "Escape"),
}

if __name__ == "__main__":
    SCENARIOS[SCENARIO]()
    print("%d passed, %d failed" % (0 if FAILURES else 1, 1 if FAILURES else 0))
    sys.exit(1 if FAILURES else 0)
