#!/usr/bin/env python3
"""Every window the menus and tool buttons reach, as a technician's desktop
shows it under a window manager.

Usage: desktop_e2e.py BIN_DIR TOOLS_DIR SCENARIO   (SCENARIO: german, english)
Run under x_server.py (under any window manager, or none). The real program with its
phrase database and a 200 x 100 program loaded over DDE; each window opened
from the main window's keys, once with no INI and once more after a restart
(the placements stored at closing). For each window: on the screen, large
enough for its content (a list window at least one whole line), not hidden
under another window of the program, the keyboard focus in it; messages above
the window that led to them, no progress box left once its job has ended; in
each dialog Return confirms and Esc cancels, and the focus goes back to the
window that opened it. With the script editor and two list windows (all on
top) dragged over the middle of the screen, and at its right edge, every
modal dialog and message the menus, list cells and tool buttons reach
stands above every window with its whole frame on the screen; the tool
windows carry no window-manager buttons; the second pass ends with the
language change's message and the restart. In the first pass a list window,
"Patrone" and "Werkzeuge" are dragged by their title bars: each stays where
it was let go, and the list window's and Patrone's places are the ones
stored at exit; a click into "Patrone" leaves "Werkzeuge" and "Farben"
shown above it, whole. "P-Test" and "Export" open with their whole frame on
the screen. Where the window manager takes a Ctrl+F key, the window is
opened by its menu. At the end the phrase database is as shipped: every
text the program looked up was in it. With ZORIT_SHOTS=DIR the screenshots
are kept there.
"""
import os
import shutil
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import window_manager as wm  # noqa: E402
import x_windows  # noqa: E402
from zorit_harness import BIN, FAILURES, SCENARIO, Home, check, is_progress_box, keys, start_and_window, xdo  # noqa: E402

PROBE = os.path.join(os.path.dirname(BIN), "tests", "tools", "kernel_probe")
SHOTS = os.environ.get("ZORIT_SHOTS")
SCREEN = tuple(int(v) for v in xdo("getdisplaygeometry").split())
LETTER = {"german": "G", "english": "E"}[SCENARIO]
LANGUAGE = {"german": "Deutsch", "english": "Englisch"}[SCENARIO]

SCRIPT = ("MODULSET TEST;\r\nBEGIN\r\n$ZR_TYP=311;\r\n$NR1=1,101;\r\n$S_1=Z1,1,D1;[]=MAIN;\r\nEND;\r\n"
          "MODUL MAIN;\r\nBEGIN\r\nS1=>,FF1;\r\nTZ=50;\r\nWA=D10;\r\nS1=<,FF1;END;\r\n")


def phrases():
    """The shipped database: German phrase -> text in the run's language."""
    table, source = {}, None
    for raw in open(os.path.join(BIN, "DbLang.Txt"), "rb").read().split(b"\r\n"):
        line = raw.decode("cp1252").rstrip()
        if line.startswith("$"):
            source = line[2:]
        elif source is not None and line[:2] == LETTER + ":" and source not in table:
            table[source] = line[2:] or source
    return table


PHRASES = phrases()


def tr(german):
    """As the program looks a text up: a text without "&" also finds the
    entry written with one, and comes back without it."""
    if german in PHRASES:
        return PHRASES[german]
    for source, text in PHRASES.items():
        if "&" not in german and source.replace("&", "", 1) == german:
            return text.replace("&", "", 1)
    return german


def accel(german):
    """The menu letter of a German caption in the run's language."""
    text = tr(german)
    return text[text.index("&") + 1].lower()


class Desktop:
    """The program's windows on the screen."""

    def __init__(self, proc, main):
        self.proc, self.main = proc, main

    def all_visible(self, named=True):
        # Unnamed windows on request: the tool option pop-ups carry no title.
        out = xdo("search", "--onlyvisible", "--pid", str(self.proc.pid), *(["--name", "."] if named else []))
        return [w for w in out.splitlines() if x_windows.geometry(w).get("WIDTH", 0) > 1]

    def windows(self, named=True):
        """The windows the manager manages: no pop-up lists or hints."""
        managed = x_windows.stacking()
        return [w for w in self.all_visible(named) if int(w) in managed]

    def popups(self):
        managed = x_windows.stacking()
        return [w for w in self.all_visible() if int(w) not in managed]

    def title(self, win):
        return xdo("getwindowname", win)

    def settle(self, before, wait=15.0, named=True):
        """Waits until the set of windows differs from before and then stands
        for half a second; gives the windows that came."""
        end = time.time() + wait
        seen, since = None, time.time()
        while time.time() < end:
            now = set(self.windows(named))
            if now != set(before) and now == seen and time.time() - since >= 0.5:
                break
            if now != seen:
                seen, since = now, time.time()
            time.sleep(0.1)
        return [w for w in (seen or []) if w not in before]

    def progress_left(self, wait=3.0):
        """The progress boxes still up once a window manager that lists a
        withdrawn window a moment longer (xfwm4) has let them go: title and
        where they stand."""
        end = time.time() + wait
        while True:
            left = ["%s %s" % (self.title(w), x_windows.frame(w)) for w in self.windows() if is_progress_box(w)]
            if not left or time.time() >= end:
                return left
            time.sleep(0.1)

    def key(self, win, *seq):
        xdo("windowactivate", "--sync", win)
        for k in seq:
            xdo("key", "--clearmodifiers", k)

    def active(self):
        return x_windows.active_window()


def same_place(now, then):
    """A window back where it was closed: a list window's placement keeps
    each value at least 1, so a frame at the screen's edge comes back one
    pixel in."""
    return now == dict(then, X=1) if now["X"] == 1 and then["X"] == 0 else now == then


def shot(home, name):
    if not SHOTS:
        return
    os.makedirs(SHOTS, exist_ok=True)
    subprocess.run(["import", "-window", "root", os.path.join(SHOTS, "%s_%s.png" % (SCENARIO, name))],
                   check=False, stderr=subprocess.DEVNULL)


def check_window(d, win, what, kind, focus=True):
    """The checks every window meets once it has opened."""
    g, f = x_windows.geometry(win), x_windows.frame(win)
    title = d.title(win)
    name = "%s (%s)" % (what, title)
    # The client whole on the screen and the title bar within reach (a frame's
    # one-pixel border may stand past the edge).
    check(g and f and g["X"] >= 0 and f["Y"] >= 0 and g["X"] + g["WIDTH"] <= SCREEN[0] and
          g["Y"] + g["HEIGHT"] <= SCREEN[1], "%s lies on the screen: %s" % (name, f))
    least = {"list": (60, 30), "message": (120, 60)}.get(kind, (60, 40))
    check(g and g["WIDTH"] >= least[0] and g["HEIGHT"] >= least[1],
          "%s is large enough for its content: %s" % (name, g))
    order = x_windows.stacking()
    share = x_windows.visible_share(win, order)
    check(share >= (1.0 if kind in ("message", "dialog") else 0.5),
          "%s is not hidden under another window: %.0f%% free" % (name, 100 * share))
    if kind in ("message", "dialog"):
        # Above every window of the program, the ones that stay on top
        # included, and its frame, border and all, on the screen.
        check(order and order[-1] == int(win), "%s stands above every window: %s" %
              (name, [d.title(str(w)) for w in order[order.index(int(win)) + 1:]] if int(win) in order else order))
        check(f and f["X"] >= 0 and f["X"] + f["WIDTH"] <= SCREEN[0] and f["Y"] + f["HEIGHT"] <= SCREEN[1],
              "%s: its whole frame lies on the screen: %s" % (name, f))
    if kind == "check":
        # The checker's windows open where the list windows do: frame and all.
        check(f and f["X"] >= 0 and f["Y"] >= 0 and f["X"] + f["WIDTH"] <= SCREEN[0],
              "%s: its whole frame lies on the screen: %s" % (name, f))
    if focus:
        # A window manager may hand the keys on through a moment in which
        # no window has them (xfwm4).
        check(wait_active(d, win, 3.0), "%s has the focus (active %s)" % (name, d.active()))
    left = d.progress_left()
    check(not left, "%s: no progress box left over: %s" % (name, left))
    return f


def open_window(d, what, keys, kind="window", home=None):
    """Sends keys to the main window; gives the window that opened."""
    before = d.windows()
    d.key(d.main, *wm.reach(keys, accel))
    came = [w for w in d.settle(before) if not is_progress_box(w)]
    check(came, "%s opens a window" % what)
    if not came:
        return None
    # The window that takes the keys, else the last one that came.
    win = next((w for w in came if d.active() == int(w)), came[-1])
    if home:
        shot(home, what.replace(" ", "_"))
    return win


def close_window(d, win):
    """Closes a window as a person does: the window manager's close."""
    x_windows.ask_to_close(win)
    end = time.time() + 10
    while time.time() < end and win in d.windows():
        time.sleep(0.1)
    check(win not in d.windows(), "%s closes" % d.title(win))


def dialog(d, owner, what, open_keys, typed=(), confirm="Return", stays=False):
    """A dialog of a window: Return (after typing) confirms, Esc cancels; after
    either the focus is back in the window that opened it. A dialog that stays
    (find: Return finds the next place) is then closed with Esc."""
    for how in (confirm, "Escape"):
        before = d.windows()
        d.key(owner, *open_keys)
        came = d.settle(before, wait=8)
        check(came, "%s: %s opens a dialog" % (d.title(owner), what))
        if not came:
            return
        box = came[-1]
        if how == confirm:
            shot(None, ("%s %s" % (d.title(owner), what)).replace(" ", "_"))
        check_window(d, box, what, "dialog")
        check(x_windows.stacking().index(int(box)) > x_windows.stacking().index(int(owner)),
              "%s lies above %s" % (what, d.title(owner)))
        for k in (typed if how == confirm else ()):
            xdo("type", "--delay", "50", k)
        xdo("key", "--clearmodifiers", how)
        if stays and how == confirm:
            time.sleep(0.5)
            check(box in d.windows() and d.active() == int(box), "%s: Return searches, the dialog stays" % what)
            xdo("key", "--clearmodifiers", "Escape")
        end = time.time() + 8
        while time.time() < end and box in d.windows():
            time.sleep(0.1)
        check(box not in d.windows(), "%s: %s closes the dialog" % (what, how))
        end = time.time() + 5
        while time.time() < end and d.active() != int(owner):
            time.sleep(0.1)
        check(d.active() == int(owner), "%s: after %s the focus is back in %s, not %s" %
              (what, how, d.title(owner), d.title(str(d.active()))))


def choose_file(d, dialog_win, path):
    """Types the path into the file dialog and confirms it. The dialog's
    completer's list, when it shows, is closed first; should the dialog still
    stand, once more."""
    for _ in range(2):
        xdo("key", "--clearmodifiers", "ctrl+a")
        xdo("type", "--delay", "20", path)
        if d.popups():
            xdo("key", "--clearmodifiers", "Escape")
        xdo("key", "--clearmodifiers", "Return")
        end = time.time() + 3
        while time.time() < end and dialog_win in d.windows():
            time.sleep(0.1)
        if dialog_win not in d.windows():
            return


def message(d, what, came_from, action):
    """A message that an action shows: above the window it came from, with the
    focus; Return closes it and gives the window its keys back."""
    before = d.windows()
    action()
    came = [w for w in d.settle(before) if not is_progress_box(w)]
    shot(None, what.replace(" ", "_"))
    check(came, "%s shows a message: windows %s" % (what, [d.title(w) for w in d.windows()]))
    if not came:
        return
    box = came[-1]
    check_window(d, box, what, "message")
    order = x_windows.stacking()
    if int(came_from) in order and int(box) in order:
        check(order.index(int(box)) > order.index(int(came_from)), "%s lies above %s" % (what, d.title(came_from)))
    xdo("key", "--clearmodifiers", "Return")
    end = time.time() + 8
    while time.time() < end and box in d.windows():
        time.sleep(0.1)
    check(box not in d.windows(), "%s: Return closes the message" % what)
    left = d.progress_left()
    check(not left, "%s: no progress box left after the message: %s" % (what, left))


def wait_active(d, win, wait=5.0):
    end = time.time() + wait
    while time.time() < end and d.active() != int(win):
        time.sleep(0.1)
    return d.active() == int(win)


def modal(d, owner, what, action, close=("Escape",), named=True):
    """A modal dialog or message an action opens from the owner: whole on the
    screen and above every window; closed with the keys, the owner has the
    keys back."""
    before = d.windows(named)
    action()
    came = [w for w in d.settle(before, wait=8, named=named) if not is_progress_box(w)]
    check(came, "%s opens: windows %s" % (what, [d.title(w) for w in d.windows()]))
    if not came:
        return None
    box = came[-1]
    shot(None, what.replace(" ", "_"))
    check_window(d, box, what, "dialog")
    for k in close:
        xdo("key", "--clearmodifiers", k)
    end = time.time() + 8
    while time.time() < end and box in d.windows(named):
        time.sleep(0.1)
    check(box not in d.windows(named), "%s: %s closes it" % (what, "+".join(close)))
    if owner:
        check(wait_active(d, owner), "%s: afterwards %s has the keys, not %s" %
              (what, d.title(owner), d.title(str(d.active()))))
    return box


def drag_to(win, x, y):
    """Drags the window to (x, y) as a person does with its title bar;
    waits until it stands still there."""
    # Taken by its title bar, the window is active first.
    xdo("windowactivate", "--sync", win)
    start = x_windows.geometry(win)
    xdo("windowmove", win, str(x), str(y))
    end = time.time() + 5
    last = None
    while time.time() < end:
        now = x_windows.geometry(win)
        if now != start and now == last:
            break
        last = now
        time.sleep(0.1)


def click_at(win, x, y):
    """A left click at (x, y) of the window's client; negative values count
    from its right or bottom."""
    g = x_windows.geometry(win)
    x = x if x >= 0 else g["WIDTH"] + x
    y = y if y >= 0 else g["HEIGHT"] + y
    xdo("mousemove", "--window", win, str(x), str(y))
    xdo("click", "1")


def motif_decorations(win):
    """The decorations a window asks the window manager for in its Motif
    hints; None when it leaves them to the manager."""
    out = subprocess.run(["xprop", "-id", str(win), "_MOTIF_WM_HINTS"], capture_output=True, text=True).stdout
    if "=" not in out:
        return None
    values = [int(v, 0) for v in out.split("=")[1].replace(",", " ").split()]
    return values[2] if len(values) >= 3 and values[0] & 2 else None


def desk(d, home, full):
    """The script editor and two list windows, all of which stay on top,
    dragged over the middle of the screen where dialogs open: every modal
    dialog and message the menus, the editor and the list cells reach stands
    above them, whole, and gives the keys back to the window that opened it.
    The second time (full false), where the placements bring them back, only
    the save dialog and the compiler's message. Gives the windows' frames at
    closing."""
    frames = {}
    editor = open_window(d, "Skrel Editor", ("ctrl+F9",), "window", home)
    if not editor:
        return frames
    frames["Skrel Editor"] = check_window(d, editor, "Skrel Editor", "window")
    dialog(d, editor, "Suchen", ("ctrl+f",), typed=("MODUL",), stays=True)
    dialog(d, editor, "Ersetzen", ("ctrl+r",), typed=("MODUL",), stays=True)
    menu_sheet = ("alt+" + accel("&Listen"), accel("&Rüstschema"), accel("&Rüstblatt"))
    lists = {}
    for what, how in (("Rüstblatt", menu_sheet), ("Strickschema", ("shift+F3",))):
        win = open_window(d, what, how, "list")
        if win:
            lists[what] = win
    middle_x, middle_y = SCREEN[0] // 2, SCREEN[1] // 2
    for i, win in enumerate([editor] + list(lists.values())):
        g = x_windows.geometry(win)
        if full or i == 0:
            drag_to(win, middle_x - g["WIDTH"] // 2 + 60 * (i - 1), middle_y - g["HEIGHT"] // 2 + 40 * (i - 1))
    shot(home, "desk")

    main = d.main
    menu_file = "alt+" + accel("&Datei")
    modal(d, main, "Speichern unter", lambda: d.key(main, menu_file, accel("Speichern &unter")))
    if not full:
        close_desk(d, editor, lists, frames)
        return frames
    modal(d, main, "Öffnen over the desk", lambda: d.key(main, menu_file, accel("Ö&ffnen")))
    # The export window's settings, opened with its button "Erweitert...".
    export = open_window(d, "Export", ("ctrl+F10",), "window")
    if export:
        check_window(d, export, "Export", "check", focus=False)
        modal(d, export, "Exporteinstellungen", lambda: click_at(export, -45, -22))
        modal(d, export, "Exporteinstellungen", lambda: click_at(export, -45, -22), close=("Return",))
        close_window(d, export)
    # The list cells' dialogs: the set-up sheet's choice of the model (the
    # same model again) and its comment's text input; the knitting scheme's
    # multiple choice of the yarn carriers of system 1.
    sheet = lists.get("Rüstblatt")
    if sheet:
        dialog(d, sheet, "Auswahl", ("Insert",))
        d.key(sheet, "Down", "Down")
        dialog(d, sheet, "Texteingabe", ("Insert",), typed=("Pullover Probe",))
    scheme = lists.get("Strickschema")
    if scheme:
        xdo("windowactivate", "--sync", scheme)
        click_at(scheme, 118, 100)
        dialog(d, scheme, "Mehrfachauswahl", ("Insert",))
    # At the screen's right edge the dialogs stay on it, frame and all.
    if sheet:
        g = x_windows.geometry(sheet)
        drag_to(sheet, SCREEN[0] - g["WIDTH"] - 1, 200)
        dialog(d, sheet, "Texteingabe at the right edge", ("Insert",))
        d.key(sheet, "Up", "Up")
        dialog(d, sheet, "Auswahl at the right edge", ("Insert",))
    close_desk(d, editor, lists, frames)
    return frames


# A list window and "Patrone" dragged by their title bars in the first
# pass: the places they were closed at, to be found stored at exit.
DRAGGED_LIST = "Festigkeit"
STORED = {}
INI_KEYS = {DRAGGED_LIST: "F_Liste", "Patrone": "PatroneMalen"}


def drag_and_hold(d, win, what, dx, dy, own_bar=False, work_in=None):
    """Drags the window by its title bar and lets go; a click into the
    window (or into work_in, the window its tools work on) as a person goes
    on working: the place holds. Gives the frame it then has, or None
    where there is no title bar to take."""
    if wm.WM == "none" and not own_bar:
        wm.skip("dragging %s" % what)
        return None
    before = x_windows.frame(win)
    released = wm.drag_by_title(win, dx, dy, bar=12 if own_bar else None)
    check(released and abs(released["X"] - before["X"] - dx) <= 30 and abs(released["Y"] - before["Y"] - dy) <= 30,
          "%s: %s follows the mouse by its title bar: %s -> %s, moved by %d,%d" %
          (wm.WM, what, before, released, dx, dy))
    target = work_in or win
    g = x_windows.geometry(target)
    wm.click_client(target, g["WIDTH"] // 2, g["HEIGHT"] - 10)
    end = time.time() + 5
    while time.time() < end and d.active() != int(target):
        time.sleep(0.05)
    held = wm.standing(win)
    check(held == released, "%s: %s stays where it was let go: %s, not %s" % (wm.WM, what, held, released))
    return held


def check_stored(home):
    """The places the first pass dragged its windows to are the ones the
    program stored at exit."""
    stored = wm.ini_windows(home.path("Zorit.INI"))
    for what, f in STORED.items():
        key = INI_KEYS[what]
        place = wm.stored_place(stored.get(key, ""))
        check(place == (f["X"], f["Y"]) or (place == (1, f["Y"]) and f["X"] == 0),
              "%s: %s's stored place [Windows] %s=%r is where it was closed: %s" %
              (wm.WM, what, key, stored.get(key), f))


def close_desk(d, editor, lists, frames):
    """A script the compiler refuses, its warning above the windows; then
    the windows close, the lists keeping their places."""
    d.key(editor, "ctrl+End", "Return")
    xdo("type", "--delay", "30", "HALLO;")
    message(d, "compile error", editor, lambda: d.key(editor, "F9"))
    for what, win in lists.items():
        frames[what] = x_windows.frame(win)
        close_window(d, win)
    close_window(d, editor)


# The list windows by their shortcuts; Rüstblatt from the menu.
LISTS = [("FF-Position", ("ctrl+F6",)), ("Nadeleinteilung", ("shift+F2",)), ("Strickschema", ("shift+F3",)),
         ("Schemaablauf", ("shift+F4",)), ("Festigkeit", ("shift+F5",)), ("Warenabzug", ("shift+F6",)),
         ("Versatz", ("shift+F7",)), ("Wahlschalter", ("shift+F8",)), ("Nadelraum", ("ctrl+F3",)),
         ("Fadenführer", ("ctrl+F5",))]


def walk(home, program, placed):
    """One pass over every window; gives each window's frame at closing."""
    frames = {}
    proc, main = start_and_window(home)
    d = Desktop(proc, main)
    check_window(d, main, "main window", "window")

    # The program opened from the menu: the file dialog (the first time) or
    # the recent-file item above "Beenden" (after a restart), then the
    # loading's message.
    if not placed:
        opened = open_window(d, "Öffnen", ("alt+" + accel("&Datei"), accel("Ö&ffnen")), "dialog", home)
        if opened:
            check_window(d, opened, "Öffnen", "dialog")
            message(d, "Datei > Öffnen", opened, lambda: choose_file(d, opened, program))
    else:
        # Up from the menu's top goes round to "Beenden", once more to the file.
        message(d, "the recent file", main, lambda: keys(main, "alt+" + accel("&Datei"), "Up", "Up", "Return"))
    check(d.active() == int(main), "after the message the main window has the focus")

    menu_sheet = ("alt+" + accel("&Listen"), accel("&Rüstschema"), accel("&Rüstblatt"))
    for what, how in LISTS + [("Rüstblatt", menu_sheet)]:
        win = open_window(d, what, how, "list", home)
        if not win:
            continue
        frames[what] = check_window(d, win, what, "list")
        if what in placed:
            check(same_place(frames[what], placed[what]), "%s comes back where it was closed: %s, not %s" %
                  (what, frames[what], placed[what]))
        elif what == DRAGGED_LIST:
            frames[what] = drag_and_hold(d, win, what, 120, 90) or frames[what]
            STORED[DRAGGED_LIST] = frames[what]
        close_window(d, win)

    win = open_window(d, "Patrone", ("alt+" + accel("&Patrone"), accel("&Patronen ansehen")), "window", home)
    if win:
        frames["Patrone"] = check_window(d, win, "Patrone", "window")
        # Its tool windows: on the screen, apart from each other, back where they were.
        tools, tool_windows = {}, {}
        for title in ("Werkzeuge", "Farben"):
            found = [w for w in d.windows() if d.title(w) == tr(title)]
            check(found, "%s shows beside Patrone" % title)
            if found:
                tools[title] = check_window(d, found[0], title, "tool", focus=False)
                tool_windows[title] = found[0]
                # Shown and hidden by the program only: no title bar of the
                # window manager's, so none of its buttons.
                extents, decorations = x_windows.frame_extents(found[0]), motif_decorations(found[0])
                check(extents[2] == 0 and decorations == 0,
                      "%s has no window-manager buttons: frame %s, decorations %s" % (title, extents, decorations))
        # A tool option pop-up (the line slope beside its button) above
        # every window; Esc, and the pattern window has the keys.
        if "Werkzeuge" in tool_windows:
            modal(d, win, "Liniensteigung", lambda: click_at(tool_windows["Werkzeuge"], 15, 32), named=False)
        if len(tools) == 2:
            check(not x_windows.overlap(tools["Werkzeuge"], tools["Farben"]),
                  "Werkzeuge and Farben do not cover each other: %s" % tools)
        frames.update(tools)
        for what in ["Patrone"] + list(tools):
            if what in placed:
                check(same_place(frames[what], placed[what]), "%s comes back where it was: %s, not %s" %
                      (what, frames[what], placed[what]))
        # Placed before the window manager framed it, the frame still stands
        # where the list windows' frames stand: below the tool bars.
        if "FF-Position" in frames and not placed:
            check(frames["Patrone"]["Y"] == frames["FF-Position"]["Y"],
                  "Patrone's frame at the list windows' top: %s, %s" % (frames["Patrone"], frames["FF-Position"]))
        if not placed:
            frames["Patrone"] = drag_and_hold(d, win, "Patrone", 90, 60) or frames["Patrone"]
            STORED["Patrone"] = frames["Patrone"]
            if "Werkzeuge" in tool_windows:
                # Its own title bar, at the top of its client: with or
                # without a window manager.
                drag_and_hold(d, tool_windows["Werkzeuge"], "Werkzeuge", 100, 40, own_bar=True, work_in=win)
            if len(tool_windows) == 2:
                wm.pattern_tools_above(check, win, tool_windows)
                shot(home, "Patrone_after_click")
            # "Farben" keeps its place: it comes back where it was when
            # Patrone closed. The tool palette opens at its own place with
            # Patrone every time.
            if "Farben" in tool_windows:
                frames["Farben"] = x_windows.frame(tool_windows["Farben"])
        close_window(d, win)

    # Saving (before the failed compile below empties the lists): its progress
    # boxes go when the job ends, the main window keeps the keys.
    d.key(main, "ctrl+s")
    end = time.time() + 15
    while time.time() < end and (d.progress_left(0) or d.active() != int(main)):
        time.sleep(0.1)
    check(not d.progress_left() and d.active() == int(main), "Ctrl+S: no progress box left, the main window active")

    frames.update(desk(d, home, not placed))

    for what, how in (("G-Test", ("ctrl+F7",)), ("P-Test", ("ctrl+F8",))):
        win = open_window(d, what, how, "window", home)
        if win:
            check_window(d, win, what, "check" if what == "P-Test" else "window", focus=False)
            close_window(d, win)

    opened = open_window(d, "Öffnen", ("alt+" + accel("&Datei"), accel("Ö&ffnen")), "dialog")
    if opened:
        check_window(d, opened, "Öffnen", "dialog")
        xdo("key", "--clearmodifiers", "Escape")
        end = time.time() + 8
        while time.time() < end and opened in d.windows():
            time.sleep(0.1)
        check(opened not in d.windows(), "Esc cancels the file dialog")

    if placed:
        language_restart(d, proc)
        return frames
    d.key(main, "alt+" + accel("&Datei"), accel("&Beenden"))
    try:
        check(proc.wait(timeout=20) == 0, "Datei > Beenden ends the program with status 0")
    except subprocess.TimeoutExpired:
        check(False, "Datei > Beenden ends the program")
        proc.kill()
    return frames


def language_restart(d, proc):
    """The flag of the language shown, in Einstellungen > Sprache: the
    message that the program restarts, above every window; on Return the
    program ends and comes back, and is ended with Datei > Beenden."""
    main = d.main
    row = {"german": 0, "english": 1}[SCENARIO]
    # Over the editor and a list window where the last run left them.
    for what, how in (("Skrel Editor", ("ctrl+F9",)), ("Strickschema", ("shift+F3",))):
        open_window(d, what, how, "window")
    modal(d, None, "Sprachänderung", lambda: d.key(main, "alt+" + accel("&Einstellungen"), "Down", "Right",
                                                  *["Down"] * row, "Return"), close=("Return",))
    try:
        check(proc.wait(timeout=20) == 0, "the language change ends the program with status 0")
    except subprocess.TimeoutExpired:
        check(False, "the language change ends the program")
        proc.kill()
        return
    again, end = None, time.time() + 30
    while again is None and time.time() < end:
        for w in xdo("search", "--onlyvisible", "--name", "^ZORIT$").splitlines():
            if x_windows.geometry(w).get("WIDTH", 0) >= 800:
                again = w
        time.sleep(0.2)
    check(again is not None, "the program comes back after the language change")
    if again is None:
        return
    pid = int(xdo("getwindowpid", again))
    # Its start window goes first; then the keys reach the main window.
    end = time.time() + 5
    while time.time() < end and len(xdo("search", "--onlyvisible", "--pid", str(pid), "--name", ".").split()) > 1:
        time.sleep(0.1)
    d.key(again, "alt+" + accel("&Datei"), accel("&Beenden"))
    end = time.time() + 20
    while time.time() < end and os.path.exists("/proc/%d" % pid):
        time.sleep(0.1)
    check(not os.path.exists("/proc/%d" % pid), "the restarted program ends with Datei > Beenden")


def dde(home, command):
    r = subprocess.run(["socat", "-t", "60", "-", "UNIX-CONNECT:" + home.path("run", "dde-ZORIT-DDESERVER1")],
                       input=command.encode("cp1252") + b"\0", capture_output=True, timeout=90)
    return r.stdout.hex()


def main():
    home = Home()
    shutil.copy2(os.path.join(BIN, "DbLang.Txt"), home.dir)
    home.write(os.path.join("config", "Vasp", "Registry.ini"), "[System]\r\nLanguage=%s\r\n" % LANGUAGE)
    home.write("S.Skx", SCRIPT)
    os.makedirs(home.path("w"))
    subprocess.run([PROBE, "tiff-write", home.path("S.TIF"), "--size", "200x100", "--bands"],
                   check=True, stdout=subprocess.DEVNULL)
    program = home.path("w", "PROGRAMM1.3XH")
    subprocess.run([PROBE, "--home", home.path("probe"), "compile", home.path("S.Skx"), "--pattern",
                    home.path("S.TIF"), "--save", program], check=True, stdout=subprocess.DEVNULL)
    first = walk(home, program, {})
    check_stored(home)
    walk(home, program, first)
    shipped = open(os.path.join(BIN, "DbLang.Txt"), "rb").read()
    now = home.read("DbLang.Txt")
    learnt = [l[2:].decode("cp1252") for l in now[len(shipped):].split(b"\r\n") if l.startswith(b"$:")]
    check(now.startswith(shipped) and not learnt, "the walk appends nothing to DbLang.Txt: %r" % learnt)
    home.cleanup()


if __name__ == "__main__":
    main()
    print("%d passed, %d failed" % (0 if FAILURES else 1, 1 if FAILURES else 0))
    sys.exit(1 if FAILURES else 0)
