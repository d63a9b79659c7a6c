"""Windows of the end-to-end runs' X server as a window manager frames them.

xdotool's getwindowgeometry counts a reparented window's frame offset twice
(its position is off by the title bar and border under any window manager),
so positions come from xwininfo, and frames from _NET_FRAME_EXTENTS.

Without a window manager (ZORIT_WM=none) nobody keeps the EWMH lists on
the root window: the stacking order is the server's own (the mapped
top-level windows that are not pop-ups), and the active window is the one
with the input focus.
"""
import ctypes
import os
import subprocess

WM = os.environ.get("ZORIT_WM", "openbox")


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
    if WM == "none":
        return _server().stacking()
    out = _run("xprop", "-root", "_NET_CLIENT_LIST_STACKING")
    return [int(w, 16) for w in out.split("#")[-1].replace(",", " ").split()] if "#" in out else []


def active_window():
    """The window the manager has made active, as an int (0 for none)."""
    if WM == "none":
        return _server().focus()
    out = _run("xprop", "-root", "_NET_ACTIVE_WINDOW")
    try:
        return int(out.split("#")[-1].split(",")[0].strip(), 16)
    except ValueError:
        return 0


def ask_to_close(win):
    """Asks the window to close as a window manager's close does (Alt+F4
    under most); without a window manager the run sends the request itself."""
    if WM == "none":
        _server().ask_to_close(int(win))
    else:
        subprocess.run(["xdotool", "windowactivate", "--sync", str(win), "key", "--clearmodifiers", "alt+F4"],
                       capture_output=True, timeout=20)


class _WindowAttributes(ctypes.Structure):
    _fields_ = [("x", ctypes.c_int), ("y", ctypes.c_int), ("width", ctypes.c_int), ("height", ctypes.c_int),
                ("border_width", ctypes.c_int), ("depth", ctypes.c_int), ("visual", ctypes.c_void_p),
                ("root", ctypes.c_ulong), ("c_class", ctypes.c_int), ("bit_gravity", ctypes.c_int),
                ("win_gravity", ctypes.c_int), ("backing_store", ctypes.c_int),
                ("backing_planes", ctypes.c_ulong), ("backing_pixel", ctypes.c_ulong),
                ("save_under", ctypes.c_int), ("colormap", ctypes.c_ulong), ("map_installed", ctypes.c_int),
                ("map_state", ctypes.c_int), ("all_event_masks", ctypes.c_long),
                ("your_event_mask", ctypes.c_long), ("do_not_propagate_mask", ctypes.c_long),
                ("override_redirect", ctypes.c_int), ("screen", ctypes.c_void_p)]


class _ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                ("format", ctypes.c_int), ("data", ctypes.c_long * 5), ("pad", ctypes.c_long * 12)]


class _Server:
    """The X server asked directly: what no window manager tells."""
    IS_VIEWABLE = 2
    POINTER_ROOT = 1

    def __init__(self):
        x = self.x = ctypes.CDLL("libX11.so.6")
        x.XOpenDisplay.restype = ctypes.c_void_p
        x.XOpenDisplay.argtypes = [ctypes.c_char_p]
        x.XDefaultRootWindow.restype = ctypes.c_ulong
        x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        x.XQueryTree.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(ctypes.c_ulong),
                                 ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.POINTER(ctypes.c_ulong)),
                                 ctypes.POINTER(ctypes.c_uint)]
        x.XGetWindowAttributes.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(_WindowAttributes)]
        x.XGetInputFocus.argtypes = [ctypes.c_void_p, ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_int)]
        x.XFree.argtypes = [ctypes.c_void_p]
        x.XInternAtom.restype = ctypes.c_ulong
        x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
        x.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                                 ctypes.POINTER(_ClientMessage)]
        x.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
        c_int_p, c_ulong_p = ctypes.POINTER(ctypes.c_int), ctypes.POINTER(ctypes.c_ulong)
        x.XQueryPointer.argtypes = [ctypes.c_void_p, ctypes.c_ulong, c_ulong_p, c_ulong_p, c_int_p, c_int_p,
                                    c_int_p, c_int_p, ctypes.POINTER(ctypes.c_uint)]
        # A window that goes between the query and the look at it is no
        # error of the run's.
        self._ignore = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)(lambda d, e: 0)
        x.XSetErrorHandler(self._ignore)
        self.display = x.XOpenDisplay(None)
        if not self.display:
            raise SystemExit("cannot open the X display")
        self.root = x.XDefaultRootWindow(self.display)

    def _tree(self, window):
        root, parent = ctypes.c_ulong(), ctypes.c_ulong()
        children, count = ctypes.POINTER(ctypes.c_ulong)(), ctypes.c_uint()
        if not self.x.XQueryTree(self.display, window, ctypes.byref(root), ctypes.byref(parent),
                                 ctypes.byref(children), ctypes.byref(count)):
            return None, []
        out = [children[i] for i in range(count.value)]
        if children:
            self.x.XFree(children)
        return parent.value, out

    def stacking(self):
        """The mapped top-level windows that are no pop-ups, bottom to top."""
        self.x.XSync(self.display, 0)
        out = []
        for w in self._tree(self.root)[1]:
            a = _WindowAttributes()
            if (self.x.XGetWindowAttributes(self.display, w, ctypes.byref(a)) and
                    a.map_state == self.IS_VIEWABLE and not a.override_redirect):
                out.append(w)
        return out

    def ask_to_close(self, window):
        """What a window manager's close button sends: WM_DELETE_WINDOW."""
        e = _ClientMessage(type=33, send_event=1, display=self.display, window=window, format=32)
        e.message_type = self.x.XInternAtom(self.display, b"WM_PROTOCOLS", 0)
        e.data[0] = self.x.XInternAtom(self.display, b"WM_DELETE_WINDOW", 0)
        self.x.XSendEvent(self.display, window, 0, 0, ctypes.byref(e))
        self.x.XSync(self.display, 0)

    def _under_pointer(self):
        root, child = ctypes.c_ulong(), ctypes.c_ulong()
        i = [ctypes.c_int() for _ in range(4)]
        mask = ctypes.c_uint()
        self.x.XQueryPointer(self.display, self.root, ctypes.byref(root), ctypes.byref(child),
                             *[ctypes.byref(v) for v in i], ctypes.byref(mask))
        return child.value

    def focus(self):
        """The top-level window that holds the input focus (0 for none)."""
        self.x.XSync(self.display, 0)
        w, revert = ctypes.c_ulong(), ctypes.c_int()
        self.x.XGetInputFocus(self.display, ctypes.byref(w), ctypes.byref(revert))
        window = w.value
        if window in (self.POINTER_ROOT, self.root):
            # Nobody has set the focus, or it went back to the root when the
            # focused window closed: the keys go to the window under the
            # pointer.
            window = self._under_pointer()
        while window > 1 and window != self.root:
            parent, _ = self._tree(window)
            if parent in (None, 0) or parent == self.root:
                return window
            window = parent
        return 0


_SERVER = []


def _server():
    if not _SERVER:
        _SERVER.append(_Server())
    return _SERVER[0]


def visible_share(win, order):
    """The share of the window's frame that no window above it in the
    stacking order covers (0 for a window not in it)."""
    f = frame(win)
    if not f or int(win) not in order:
        return 0.0
    above = [frame(w) for w in order[order.index(int(win)) + 1:]]
    above = [a for a in above if a]
    free = 0
    for i in range(10):
        for j in range(10):
            x = f["X"] + (2 * i + 1) * f["WIDTH"] // 20
            y = f["Y"] + (2 * j + 1) * f["HEIGHT"] // 20
            if not any(a["X"] <= x < a["X"] + a["WIDTH"] and a["Y"] <= y < a["Y"] + a["HEIGHT"] for a in above):
                free += 1
    return free / 100


def overlap(a, b):
    """True when two rectangles {"X", "Y", "WIDTH", "HEIGHT"} share a pixel."""
    return (a["X"] < b["X"] + b["WIDTH"] and b["X"] < a["X"] + a["WIDTH"] and
            a["Y"] < b["Y"] + b["HEIGHT"] and b["Y"] < a["Y"] + a["HEIGHT"])
