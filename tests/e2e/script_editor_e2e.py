#!/usr/bin/env python3
"""The script editor in the real program, end to end.

Usage: script_editor_e2e.py BIN_DIR TOOLS_DIR SCENARIO
Run under x_server.py: Ctrl+F9 opens the editor on the working copy in the
temporary folder, focus changes and the 3-second tick write it, its place
is kept in Zorit.INI.
"""
import os
import re
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import x_windows  # noqa: E402
from zorit_harness import (FAILURES, SCENARIO, Home, check, ini, keys, progress_boxes,  # noqa: E402
                           quit_program, return_on_message, start_and_window, xdo)


def titled_window(pid, main, title, wait=10.0):
    """The program's visible window of that title (the search may list the
    main window too)."""
    end = time.time() + wait
    while time.time() < end:
        for win in xdo("search", "--onlyvisible", "--pid", str(pid), "--name", "^%s$" % title).splitlines():
            if win != main and xdo("getwindowname", win) == title:
                return win
        time.sleep(0.1)
    return None


def editor_window(pid, main, wait=10.0):
    return titled_window(pid, main, "Skrel Editor", wait)


def mtime(path):
    try:
        return os.stat(path).st_mtime_ns
    except FileNotFoundError:
        return None


def geometry(win):
    return x_windows.geometry(win)


def position(win):
    values = geometry(win)
    return int(values.get("X", -1)), int(values.get("Y", -1))


def shown_editor(home):
    """The program started in home and its editor opened with Ctrl+F9."""
    proc, win = start_and_window(home)
    keys(win, "ctrl+F9")
    editor = editor_window(proc.pid, win)
    check(editor is not None, "Ctrl+F9 shows the editor")
    return proc, win, editor


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
    proc, win, editor = shown_editor(home)
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


def ink_rows(home, win, name):
    """The pixel lines (y) of the window's screenshot that hold black; the
    picture is kept in $SHOTS when set."""
    path = os.path.join(os.environ.get("SHOTS") or home.dir, name)
    subprocess.run(["import", "-window", win, path], check=False)
    out = subprocess.run(["convert", path, "-depth", "8", "txt:-"], capture_output=True, text=True).stdout
    return sorted({int(line.split(":")[0].split(",")[1]) for line in out.splitlines() if "#000000" in line})


def scenario_long_script():
    """A script of 100,000 lines: Ctrl+End brings its last line on screen."""
    home = Home()
    os.makedirs(home.path("Temp"), exist_ok=True)
    lines = ["{ Anfang }"] + [""] * 99998 + ["ENDE" * 12]
    home.write("Temp/Script.Skx", "\r\n".join(lines) + "\r\n")
    proc, win, editor = shown_editor(home)
    if editor:
        keys(editor, "ctrl+Home")
        time.sleep(0.3)
        top = ink_rows(home, editor, "long_script_top.png")
        keys(editor, "ctrl+End")
        time.sleep(0.5)
        end = ink_rows(home, editor, "long_script_end.png")
        # At the top the first line shows; at the end only the last line
        # holds text, drawn in the lower part of the pane.
        check(len(top) > 0, "the first line is drawn")
        height = int(geometry(editor).get("HEIGHT", 0))
        check(any(height // 2 < y < height - 20 for y in end), "the last line is drawn near the bottom: %s" % end[:5])
    check(quit_program(proc, win) == 0, "exit status 0")
    home.cleanup()


def scenario_find_after_typing():
    """Ctrl+F and Ctrl+R open their windows after a key was typed."""
    home = Home()
    proc, win, editor = shown_editor(home)
    if editor:
        keys(editor, "x")
        keys(editor, "ctrl+f")
        found = titled_window(proc.pid, win, "Suchen")
        check(found is not None, "Ctrl+F after typing shows Suchen")
        if found:
            keys(found, "Escape")
        keys(editor, "y")
        keys(editor, "ctrl+r")
        found = titled_window(proc.pid, win, "Ersetzen")
        check(found is not None, "Ctrl+R after typing shows Ersetzen")
        if found:
            keys(found, "Escape")
    check(quit_program(proc, win) == 0, "exit status 0")
    home.cleanup()


def scenario_compile_warning():
    """F9 on a script with an unknown command: the warning stands above the
    editor and above any progress box, has the focus, Return closes it, and
    the keys go on to the windows afterwards."""
    home = Home()
    os.makedirs(home.path("Temp"), exist_ok=True)
    home.write("Temp/Script.Skx", "MODULSET TEST;\r\nBEGIN\r\n$ZR_TYP=311;\r\nUNSINN;\r\nEND;\r\n")
    proc, win, editor = shown_editor(home)
    if editor:
        keys(editor, "F9")
        box = titled_window(proc.pid, win, "Warnung", 20)
        check(box is not None, "F9 shows the warning")
        if box:
            return_on_message(proc.pid, box, [editor, win], "warning", "compile_warning.png")
            end = time.time() + 5
            while time.time() < end and titled_window(proc.pid, win, "Warnung", 0.1):
                time.sleep(0.1)
            check(titled_window(proc.pid, win, "Warnung", 0.1) is None, "Return closes the warning")
            check(progress_boxes(proc.pid) == [], "no progress box is left")
            active = xdo("getactivewindow")
            check(active in (editor, win), "the editor or the main window has the focus again")
            # The keys reach the program, none forced to a window: Esc hides
            # the editor when it has the focus, and Ctrl+F9 from the main
            # window shows it again.
            if active == editor:
                xdo("key", "Escape")
                end = time.time() + 5
                while time.time() < end and xdo("getactivewindow") != win:
                    time.sleep(0.1)
            check(xdo("getactivewindow") == win, "the main window has the focus")
            xdo("key", "ctrl+F9")
            check(editor_window(proc.pid, win, 5) is not None, "the main window takes keys afterwards")


def ink_in(path, left, top, width, height):
    """How many black pixels the picture holds in that rectangle."""
    out = subprocess.run(["convert", path, "-crop", "%dx%d+%d+%d" % (width, height, left, top), "-depth", "8",
                          "txt:-"], capture_output=True, text=True).stdout
    return out.count("#000000")


def scenario_failed_compile():
    """A script with an unknown command, typed into the editor, compiled with
    F9 and its message closed: the editor, no longer active, shows its text
    as it stands, the cursor's line among it."""
    home = Home()
    proc, win, editor = shown_editor(home)
    if editor:
        lines = ["{ Probe }"] + ["AB"] * 40 + ["GIBTSNICHT 1;"] + ["CD"] * 3
        for i, line in enumerate(lines):
            if i:
                keys(editor, "Return")
            xdo("type", "--delay", "20", line)
        time.sleep(0.3)
        keys(editor, "F9")
        message = titled_window(proc.pid, win, "Warnung")
        check(message is not None, "the compile's message shows")
        if message:
            keys(message, "Return")
        end = time.time() + 5
        while time.time() < end and titled_window(proc.pid, win, "Warnung", wait=0.1):
            time.sleep(0.1)
        time.sleep(1.0)
        # The message hands the keys back to the editor; the person then
        # works in the main window, and the editor, inactive, keeps its text.
        xdo("windowactivate", "--sync", win)
        active = xdo("getactivewindow")
        check(active != editor, "the editor is not the active window")
        shots = os.environ.get("SHOTS") or home.dir
        path = os.path.join(shots, "failed_compile_inactive.png")
        subprocess.run(["import", "-window", editor, path], check=False)
        size = geometry(editor)
        width, height = int(size.get("WIDTH", 0)), int(size.get("HEIGHT", 0))
        # The text area: below nothing, above the scroll bar and status bar.
        ink = ink_in(path, 0, 0, width - 20, max(0, height - 60))
        check(ink > 200, "the inactive editor shows its text (%d black pixels)" % ink)
        check(b"GIBTSNICHT 1;" in home.read("Temp", "Script.Skx"), "the working copy holds the script")
    check(quit_program(proc, win) == 0, "exit status 0")
    home.cleanup()


SCENARIOS = {"first_use": scenario_first_use, "placement": scenario_placement,
             "long_script": scenario_long_script, "find_after_typing": scenario_find_after_typing,
             "compile_warning": scenario_compile_warning, "failed_compile": scenario_failed_compile}

if __name__ == "__main__":
    SCENARIOS[SCENARIO]()
    print("%d passed, %d failed" % (0 if FAILURES else 1, 1 if FAILURES else 0))
    sys.exit(1 if FAILURES else 0)
