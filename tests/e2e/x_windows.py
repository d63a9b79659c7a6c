"""Windows of the end-to-end runs' X server as a window manager frames them.

xdotool's getwindowgeometry counts a reparented window's frame offset twice
(its position is off by the title bar and border under any window manager),
so positions come from xwininfo, and frames from _NET_FRAME_EXTENTS.
"""
import subprocess


def _run(*args):
    return subprocess.run(list(args), capture_output=True, text=True, timeout=20).stdout


def geometry(win):
    """The client area on the screen: {"X", "Y", "WIDTH", "HEIGHT"}, or {}
    when the window is gone."""
    values = {}
    names = {"Absolute upper-left X": "X", "Absolute upper-left Y": "Y", "Width": "WIDTH", "Height": "HEIGHT"}
    for line in _run("xwininfo", "-id", str(win)).splitlines():
        key, _, value = line.strip().partition(":")
        if key in names:
            values[names[key]] = int(value)
    return values


def frame_extents(win):
    """(left, right, top, bottom) of the frame around the window; zeros for
    a window the manager does not frame."""
    out = _run("xprop", "-id", str(win), "_NET_FRAME_EXTENTS")
    if "=" not in out:
        return (0, 0, 0, 0)
    return tuple(int(v) for v in out.split("=")[1].split(","))


def frame(win):
    """The frame on the screen, title bar included: {"X", "Y", "WIDTH", "HEIGHT"}."""
    g = geometry(win)
    if not g:
        return {}
    left, right, top, bottom = frame_extents(win)
    return {"X": g["X"] - left, "Y": g["Y"] - top, "WIDTH": g["WIDTH"] + left + right,
            "HEIGHT": g["HEIGHT"] + top + bottom}


def stacking():
    """The managed windows from bottom to top, as ints."""
    out = _run("xprop", "-root", "_NET_CLIENT_LIST_STACKING")
    return [int(w, 16) for w in out.split("#")[-1].replace(",", " ").split()] if "#" in out else []


def active_window():
    """The window the manager has made active, as an int (0 for none)."""
    out = _run("xprop", "-root", "_NET_ACTIVE_WINDOW")
    try:
        return int(out.split("#")[-1].split(",")[0].strip(), 16)
    except ValueError:
        return 0


def overlap(a, b):
    """True when two rectangles {"X", "Y", "WIDTH", "HEIGHT"} share a pixel."""
    return (a["X"] < b["X"] + b["WIDTH"] and b["X"] < a["X"] + a["WIDTH"] and
            a["Y"] < b["Y"] + b["HEIGHT"] and b["Y"] < a["Y"] + a["HEIGHT"])
