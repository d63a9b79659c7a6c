"""What the runs meet of the window manager a technician works under
(ZORIT_WM, set by x_server.py): the shortcuts it takes for itself, moves
by the title bar, and the pattern window's tool windows beside it.
"""
import subprocess
import time

import x_windows

WM = x_windows.WM

# The Ctrl+F keys a window manager takes for itself by default: the
# program never sees them there, and a person takes the menu. xfwm4: its
# workspaces 1 to 12; kwin: its desktops 1 to 4 (a composited Plasma
# desktop takes more for its window overviews; the runs' kwin composites
# nothing).
TAKES_CTRL_F = {"xfwm4": range(1, 13), "kwin_x11": range(1, 5)}

# The program's Ctrl+F shortcuts and the menu items that carry them, as
# German captions (a run in another language translates them).
MENU_OF = {
    "ctrl+F3": ("&Listen", "&Rüstschema", "&Nadelraum"),
    "ctrl+F5": ("&Listen", "&Rüstschema", "&Fadenführer"),
    "ctrl+F6": ("&Listen", "FF-&Position"),
    "ctrl+F7": ("&Test", "&G-Test"),
    "ctrl+F8": ("&Test", "&P-Test"),
    "ctrl+F9": ("&Werkzeuge", "&Skrel Editor"),
    "ctrl+F10": ("&Werkzeuge", "&Export Skrel"),
}


def german_accel(caption):
    return caption[caption.index("&") + 1].lower()


def taken(key):
    """True when the window manager keeps the key from the program."""
    return key.lower().startswith("ctrl+f") and key[6:].isdigit() and int(key[6:]) in TAKES_CTRL_F.get(WM, ())


def reach(keys, accel=german_accel, say=print):
    """The keys that open a window: its shortcut, or where the window
    manager takes that, its menu item (and the run says so)."""
    out = []
    for key in keys:
        if taken(key) and key in MENU_OF:
            path = MENU_OF[key]
            say("%s takes %s for itself: %s through the menu instead" %
                (WM, key, " > ".join(p.replace("&", "") for p in path)))
            out += ["alt+" + accel(path[0])] + [accel(p) for p in path[1:]]
        else:
            out.append(key)
    return tuple(out)


def xdo(*args):
    return subprocess.run(["xdotool", *args], capture_output=True, text=True, timeout=20).stdout.strip()


def standing(win, wait=10.0):
    """The window's frame once it has stood still for half a second (it
    may still be moving after the mouse was let go)."""
    end = time.time() + wait
    last, since = None, time.time()
    while time.time() < end:
        now = x_windows.frame(win)
        if now != last:
            last, since = now, time.time()
        elif time.time() - since >= 0.5:
            break
        time.sleep(0.05)
    return last


def drag_by_title(win, dx, dy, bar=None):
    """Takes the window by its title bar with the mouse, moves it by
    (dx, dy) in steps as a hand does and lets go; gives the frame where it
    then stands. bar: the height of a title bar the window draws itself
    (at the top of its client); else the window manager's title bar."""
    f = x_windows.frame(win)
    g = x_windows.geometry(win)
    if bar is None:
        top = x_windows.frame_extents(win)[2]
        x, y = f["X"] + f["WIDTH"] // 2, f["Y"] + top // 2
    else:
        x, y = g["X"] + g["WIDTH"] // 2, g["Y"] + bar // 2
    xdo("mousemove", "--sync", str(x), str(y))
    xdo("mousedown", "1")
    steps = 8
    for i in range(1, steps + 1):
        xdo("mousemove", "--sync", str(x + dx * i // steps), str(y + dy * i // steps))
    # The window has followed the pointer before the button goes up.
    end = time.time() + 5
    while time.time() < end and x_windows.frame(win)["X"] == f["X"] and x_windows.frame(win)["Y"] == f["Y"]:
        time.sleep(0.05)
    xdo("mouseup", "1")
    return standing(win)


def click_client(win, x, y):
    """A click into the window's client at (x, y), as a person goes back to
    work in it."""
    g = x_windows.geometry(win)
    xdo("mousemove", "--sync", str(g["X"] + x), str(g["Y"] + y))
    xdo("click", "1")


def net_wm_state(win):
    out = subprocess.run(["xprop", "-id", str(win), "_NET_WM_STATE", "WM_STATE"], capture_output=True,
                         text=True, timeout=20).stdout
    return out


def shown(win):
    """True when the window is on the screen for a person: mapped, not
    iconic, not hidden by the window manager."""
    state = net_wm_state(win)
    mapped = "IsViewable" in subprocess.run(["xwininfo", "-id", str(win)], capture_output=True, text=True,
                                            timeout=20).stdout
    return mapped and "_NET_WM_STATE_HIDDEN" not in state and "Iconic" not in state


def ini_windows(path):
    """The INI file's section "Windows": key -> value."""
    out, inside = {}, False
    try:
        text = open(path, "rb").read().decode("utf-8", "replace")
    except FileNotFoundError:
        return out
    for line in text.splitlines():
        line = line.strip()
        if line.startswith("["):
            inside = line == "[Windows]"
        elif inside and "=" in line:
            key, _, value = line.partition("=")
            out[key] = value
    return out


def stored_place(value):
    """(left, top) of a stored placement: a list window's five numbers, or
    another window's "X" and four numbers."""
    parts = value.split()
    if parts[:1] == ["X"]:
        parts = parts[1:]
    try:
        return int(parts[0]), int(parts[1])
    except (IndexError, ValueError):
        return None


def skip(what):
    print("%s: no window manager, so no title bar: %s skipped" % (WM, what))


def pattern_tools_above(check, win, tools, tr=lambda t: t):
    """A click into "Patrone" (its picture, away from the tool windows):
    it is active, and "Werkzeuge" and "Farben" stay shown above it, whole."""
    f = x_windows.frame(win)
    g = x_windows.geometry(win)
    frames = [x_windows.frame(t) for t in tools.values()]
    spot = None
    for y in range(g["HEIGHT"] - 10, 10, -20):
        for x in range(10, g["WIDTH"] - 10, 20):
            px, py = g["X"] + x, g["Y"] + y
            if not any(t["X"] - 2 <= px < t["X"] + t["WIDTH"] + 2 and t["Y"] - 2 <= py < t["Y"] + t["HEIGHT"] + 2
                       for t in frames):
                spot = (x, y)
                break
        if spot:
            break
    check(spot is not None, "a free spot of Patrone to click into: %s beside %s" % (f, frames))
    if not spot:
        return
    click_client(win, *spot)
    end = time.time() + 5
    while time.time() < end and x_windows.active_window() != int(win):
        time.sleep(0.05)
    check(x_windows.active_window() == int(win), "%s: a click into Patrone makes it active" % WM)
    order = x_windows.stacking()
    for title, tool in tools.items():
        check(shown(tool), "%s: %s is shown while Patrone is active: %s" % (WM, title, net_wm_state(tool).strip()))
        check(int(tool) in order and int(win) in order and order.index(int(tool)) > order.index(int(win)),
              "%s: %s stays above Patrone after a click into it" % (WM, title))
        share = x_windows.visible_share(tool, order)
        check(share == 1, "%s: %s is wholly visible after a click into Patrone: %.0f%% free"
              % (WM, title, 100 * share))
