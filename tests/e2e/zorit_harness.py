"""The harness of the end-to-end runs: copies of Zorit and the family's
libraries in a fresh folder with its own configuration, runtime and
drive-root folders, windows found and keys sent with xdotool.
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import x_windows  # noqa: E402

BIN, TOOLS, SCENARIO = sys.argv[1], sys.argv[2], sys.argv[3]
FAILURES = []


def check(cond, what):
    if not cond:
        FAILURES.append(what)
        print("FAIL:", what)


class Home:
    def __init__(self):
        self.dir = tempfile.mkdtemp(prefix="zorit-e2e-")
        for sub in ("config", "run", "drive"):
            os.makedirs(os.path.join(self.dir, sub))
        os.chmod(os.path.join(self.dir, "run"), 0o700)
        for f in ("Zorit", "libVpSimMod.so", "libVpZik.so"):
            shutil.copy2(os.path.join(BIN, f), self.dir)
        self.env = dict(os.environ)
        self.env.update(XDG_CONFIG_HOME=os.path.join(self.dir, "config"),
                        XDG_RUNTIME_DIR=os.path.join(self.dir, "run"),
                        ZORIT_DRIVE_ROOT=os.path.join(self.dir, "drive"))
        self.env.pop("QT_QPA_PLATFORM", None)

    def path(self, *parts):
        return os.path.join(self.dir, *parts)

    def read(self, *parts):
        with open(self.path(*parts), "rb") as f:
            return f.read()

    def write(self, name, data):
        p = self.path(name)
        os.makedirs(os.path.dirname(p), exist_ok=True)
        with open(p, "wb") as f:
            f.write(data if isinstance(data, bytes) else data.encode())

    def start(self, *args):
        self.stderr = open(self.path("stderr.txt"), "wb")
        return subprocess.Popen([self.path("Zorit"), *args], cwd=self.dir, env=self.env,
                                stdout=subprocess.DEVNULL, stderr=self.stderr)

    def cleanup(self):
        shutil.rmtree(self.dir, ignore_errors=True)


def xdo(*args, timeout=20):
    if x_windows.WM == "none" and args and args[0] in ("windowactivate", "getactivewindow"):
        return _without_window_manager(*args, timeout=timeout)
    r = subprocess.run(["xdotool", *args], capture_output=True, text=True, timeout=timeout)
    return r.stdout.strip()


def _without_window_manager(*args, timeout):
    """xdotool's activation and active window ask the window manager; with
    none the run raises the window and gives it the input focus itself,
    and the active window is the one with the focus."""
    if args[0] == "getactivewindow":
        focus = x_windows.active_window()
        return str(focus) if focus else ""
    win = args[-1]
    subprocess.run(["xdotool", "windowraise", win], capture_output=True, timeout=timeout)
    subprocess.run(["xdotool", "windowfocus", "--sync", win], capture_output=True, timeout=timeout)
    return ""


def window_of(pid, name=None, wait=15.0):
    """The first visible window of the process (named name), or None."""
    end = time.time() + wait
    while True:
        args = ["search", "--onlyvisible", "--pid", str(pid)]
        if name:
            args += ["--name", name]
        out = xdo(*args)
        if out:
            return out.splitlines()[0]
        if time.time() >= end:
            return None
        time.sleep(0.1)


def keys(win, *seq):
    xdo("windowfocus", "--sync", win)
    for k in seq:
        xdo("key", "--clearmodifiers", k)
        time.sleep(0.25)


def quit_program(proc, win):
    keys(win, "alt+d", "b")
    return proc.wait(timeout=20)


def width_of(win):
    return x_windows.geometry(win).get("WIDTH", 0)


def main_window(pid, wait=30.0, proc=None):
    """The main window: the large one (the start window is small)."""
    end = time.time() + wait
    while time.time() < end and (proc is None or proc.poll() is None):
        for win in xdo("search", "--onlyvisible", "--pid", str(pid), "--name", "^ZORIT$").splitlines():
            if width_of(win) >= 800:
                return win
        time.sleep(0.1)
    return None


# The window roles of the program's progress boxes: the four-line box of
# loads and saves and the progress window of the compile, the lists and the
# check. A box stays up a moment after its job on a loaded machine; it is
# no message.
PROGRESS_ROLES = ("FormInfo4Z", "FormFortschritt")


def window_role(win):
    out = subprocess.run(["xprop", "-id", str(win), "WM_WINDOW_ROLE"], capture_output=True, text=True).stdout
    return out.split("=", 1)[1].strip().strip('"') if "=" in out else ""


def is_progress_box(win):
    return window_role(win) in PROGRESS_ROLES


def progress_boxes(pid):
    """The visible progress boxes of the process."""
    return [w for w in xdo("search", "--onlyvisible", "--pid", str(pid), "--name", ".").splitlines()
            if is_progress_box(w)]


def stacking():
    """The managed windows from the bottom to the top, as the window
    manager stacks them (decimal ids, as xdotool gives them)."""
    return [str(w) for w in x_windows.stacking()]


def above(win, *others):
    """True when the window stands above each of the others that are on
    the screen (in the window manager's stacking order)."""
    order = stacking()
    if win not in order:
        return False
    return all(o not in order or order.index(win) > order.index(o) for o in others)


def return_on_message(pid, box, below, what, shot=None):
    """A message that stands above the windows below it and every progress
    box and has the focus; Return, as a person presses it (to whatever has
    the focus), closes it: waits until it has gone."""
    time.sleep(0.5)
    if shot and os.environ.get("SHOTS"):
        subprocess.run(["import", "-window", "root", os.path.join(os.environ["SHOTS"], shot)])
    boxes = progress_boxes(pid)
    check(above(box, *below, *boxes), "the %s above %s and %s" % (what, below, boxes))
    check(xdo("getactivewindow") == box, "the %s has the focus" % what)
    xdo("key", "Return")
    end = time.time() + 5
    while time.time() < end and box in xdo("search", "--onlyvisible", "--pid", str(pid), "--name", ".").split():
        time.sleep(0.1)


def run(*args):
    """A tool's exit status and what it printed."""
    r = subprocess.run(list(args), capture_output=True, text=True, timeout=120)
    return r.returncode, r.stdout


def other_window(pid, main, wait, title=None):
    """A visible window of the process other than the main window and its
    progress boxes (a dialog), with exactly that title when one is given."""
    end = time.time() + wait
    while True:
        for win in xdo("search", "--onlyvisible", "--pid", str(pid), "--name", ".").splitlines():
            if win != main and (title is None or xdo("getwindowname", win) == title) and not is_progress_box(win):
                return win
        if time.time() >= end:
            return None
        time.sleep(0.1)


def wait_for_display():
    """The X server x_server.py gave: it takes connections from the start,
    so there is nothing to wait for; without one the run cannot go on."""
    if not os.environ.get("DISPLAY"):
        raise SystemExit("no X server: run this under tests/e2e/x_server.py")


def start_and_window(home, *args):
    wait_for_display()
    proc = home.start(*args)
    win = main_window(proc.pid, proc=proc)
    if not win:
        status = proc.poll()
        proc.kill()
        err = open(home.path("stderr.txt"), "rb").read().decode("utf-8", "replace")[-2000:]
        raise SystemExit("no main window (process %s)\n%s" % ("running" if status is None else "ended with %d" % status, err))
    # The start window goes within 1.5 s; keys go to the main window after it.
    end = time.time() + 5
    while time.time() < end and len(xdo("search", "--onlyvisible", "--pid", str(proc.pid), "--name", ".").split()) > 1:
        time.sleep(0.1)
    time.sleep(0.3)
    return proc, win


def ini(home):
    try:
        return home.read("Zorit.INI").decode("utf-8", "replace")
    except FileNotFoundError:
        return ""


