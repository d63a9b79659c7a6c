#!/usr/bin/env python3
"""The script editor in the real program, end to end.

Usage: script_editor_e2e.py BIN_DIR TOOLS_DIR SCENARIO
Run under x_server.py: Ctrl+F9 opens the editor on the working copy in the
temporary folder, focus changes and the 3-second tick write it, its place
is kept in Zorit.INI.
"""
import os
import re
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from zorit_harness import (FAILURES, SCENARIO, Home, check, ini, keys, quit_program,  # noqa: E402
                           start_and_window, xdo)


def editor_window(pid, main, wait=10.0):
    """The editor's window (the search may list the main window too)."""
    end = time.time() + wait
    while time.time() < end:
        for win in xdo("search", "--onlyvisible", "--pid", str(pid), "--name", "^Skrel Editor$").splitlines():
            if win != main and xdo("getwindowname", win) == "Skrel Editor":
                return win
        time.sleep(0.1)
    return None


def mtime(path):
    try:
        return os.stat(path).st_mtime_ns
    except FileNotFoundError:
        return None


def position(win):
    values = dict(line.split("=", 1) for line in xdo("getwindowgeometry", "--shell", win).splitlines() if "=" in line)
    return int(values.get("X", -1)), int(values.get("Y", -1))


def scenario_first_use():
    """No working copy yet: the editor shows, typing and leaving it writes the
    file; hidden with Esc it still saves every 3 seconds."""
    home = Home()
    proc, win = start_and_window(home)
    script = home.path("Temp", "Script.Skx")
    check(not os.path.exists(script), "no working copy at the start")
    keys(win, "ctrl+F9")
    editor = editor_window(proc.pid, win)
    check(editor is not None, "Ctrl+F9 shows the window Skrel Editor")
    if editor:
        keys(editor, "X")
        xdo("windowfocus", "--sync", win)
        time.sleep(0.5)
        check(os.path.exists(script) and home.read("Temp", "Script.Skx") == b"X\r\n",
              "leaving the editor writes 58 0d 0a: %r" % (os.path.exists(script) and home.read("Temp", "Script.Skx")))
        keys(editor, "Escape")
        time.sleep(0.5)
        check(editor_window(proc.pid, win, wait=0.5) is None, "Esc hides the editor")
        seen = set()
        end = time.time() + 7.5
        while time.time() < end:
            seen.add(mtime(script))
            time.sleep(0.25)
        check(len(seen - {None}) >= 2, "the hidden editor's tick moves the mtime: %d values" % len(seen))
    check(quit_program(proc, win) == 0, "exit status 0")
    home.cleanup()


def scenario_placement():
    """The editor's place goes to [Windows] at the end and comes back."""
    home = Home()
    proc, win = start_and_window(home)
    keys(win, "ctrl+F9")
    editor = editor_window(proc.pid, win)
    check(editor is not None, "Ctrl+F9 shows the editor")
    if editor:
        xdo("windowmove", "--sync", editor, "300", "250")
        time.sleep(0.5)
        before = position(editor)
    check(quit_program(proc, win) == 0, "exit status 0")
    line = re.search(r"^SkrelEditor=(.*)$", ini(home), re.M)
    value = line.group(1).rstrip("\r") if line else ""
    check(value.startswith("X ") and len(value) == 29, "SkrelEditor=X plus 27 characters: %r" % value)

    proc, win = start_and_window(home)
    keys(win, "ctrl+F9")
    editor = editor_window(proc.pid, win)
    check(editor is not None, "Ctrl+F9 shows the editor again")
    if editor:
        check(position(editor) == before, "the editor stands where it was: %r, %r" % (position(editor), before))
    check(quit_program(proc, win) == 0, "exit status 0 again")
    home.cleanup()


SCENARIOS = {"first_use": scenario_first_use, "placement": scenario_placement}

if __name__ == "__main__":
    SCENARIOS[SCENARIO]()
    print("%d passed, %d failed" % (0 if FAILURES else 1, 1 if FAILURES else 0))
    sys.exit(1 if FAILURES else 0)
