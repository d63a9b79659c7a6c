#!/usr/bin/env python3
"""The virtual X server of every end-to-end run, with a window manager.

  x_server.py [--wm openbox|xfwm4|metacity|kwin_x11|none] WIDTHxHEIGHT COMMAND [ARG...]

Starts Xvfb with a screen of that size and the window manager on it (openbox
unless told otherwise), runs the command with DISPLAY set to it once the
window manager frames windows, and ends them all when the command has ended;
exits with the command's status. A person works under the window manager of
their desktop: its frames, title bars, focus rules and the keys it takes for
itself are part of what the runs meet. "none" is the program's own virtual
display as scripts/run.sh gives it on a machine without a display.

The command learns which window manager runs from ZORIT_WM in its
environment ("none" for none). It and the window manager get Qt's X11
platform, whatever QT_QPA_PLATFORM the caller set for its unit tests. The
window managers of XFCE, GNOME and KDE keep their settings behind a session
bus: they and the command get a bus of the run's own, and a configuration
folder of the run's own, so nothing of the user's desktop leaks in.

The server picks a free display itself and writes its number to a pipe
(-displayfd) once it takes connections, so runs side by side never share a
display and nothing has to probe it. It never resets (-noreset): a server
that resets when its last client leaves drops a program that connects
during the reset. It dies with its owner, whatever ends that.
"""
import ctypes
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

PR_SET_PDEATHSIG = 1

# Each window manager's command line: no session manager, no compositor
# (Xvfb has no GL, and a compositor only slows the frames down).
WINDOW_MANAGERS = {
    "openbox": ["openbox", "--sm-disable"],
    "xfwm4": ["xfwm4", "--compositor=off", "--sm-client-disable"],
    "metacity": ["metacity", "--sm-disable", "--no-composite"],
    "kwin_x11": ["kwin_x11", "--no-kactivities"],
    "none": None,
}
# The ones that read their settings over a session bus (xfconf, dconf,
# KDE's global shortcuts).
WANT_BUS = {"xfwm4", "metacity", "kwin_x11"}

# kwin draws no frames without a decoration plugin; breeze is KDE's own.
KWINRC = """[org.kde.kdecoration2]
library=org.kde.breeze
theme=Breeze

[Compositing]
Enabled=false
"""


def _die_with_parent():
    ctypes.CDLL(None, use_errno=True).prctl(PR_SET_PDEATHSIG, signal.SIGKILL)


def _own_group():
    os.setsid()
    _die_with_parent()


def start(screen="1280x1024"):
    """Starts a server; gives (process, display) once it takes connections."""
    read_end, write_end = os.pipe()
    log = tempfile.TemporaryFile()
    proc = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-noreset", "-nolisten", "tcp",
                             "-screen", "0", screen + "x24"],
                            pass_fds=(write_end,), stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                            stderr=log, preexec_fn=_die_with_parent)
    os.close(write_end)
    number = b""
    while not number.endswith(b"\n"):
        chunk = os.read(read_end, 16)
        if not chunk:
            break
        number += chunk
    os.close(read_end)
    if not number.strip().isdigit():
        proc.kill()
        proc.wait()
        log.seek(0)
        err = log.read().decode("utf-8", "replace")
        raise SystemExit("Xvfb did not start (status %s)\n%s" % (proc.returncode, err[-2000:]))
    return proc, ":" + number.strip().decode()


def _xprop(env, *args):
    return subprocess.run(["xprop", *args], env=env, capture_output=True, text=True, timeout=10).stdout


def _manages_screen(env):
    """True once a window manager has announced itself on the root window
    and its check window exists."""
    out = _xprop(env, "-root", "_NET_SUPPORTING_WM_CHECK")
    if "window id #" not in out:
        return False
    check = out.split("#")[-1].strip()
    return "window id #" in _xprop(env, "-id", check, "_NET_SUPPORTING_WM_CHECK")


def _frames_windows(env, probe_title):
    """True once the probe window stands in a frame with a title bar."""
    r = subprocess.run(["xdotool", "search", "--name", "^%s$" % probe_title], env=env,
                       capture_output=True, text=True, timeout=10)
    for win in r.stdout.split():
        out = _xprop(env, "-id", win, "_NET_FRAME_EXTENTS")
        if "=" in out:
            left, right, top, bottom = (int(v) for v in out.split("=")[1].split(","))
            if top > 0:
                return True
    return False


class Session:
    """A window manager on a display, with the bus and settings folder it
    runs with; env is the environment the command gets."""

    def __init__(self, display, wm="openbox"):
        if wm not in WINDOW_MANAGERS:
            raise SystemExit("unknown window manager %r (one of %s)" % (wm, ", ".join(WINDOW_MANAGERS)))
        self.name = wm
        self.wm = self.bus = None
        self.folder = tempfile.mkdtemp(prefix="zorit-wm-")
        self.log = open(os.path.join(self.folder, "wm.log"), "wb")
        self.env = dict(os.environ, DISPLAY=display, ZORIT_WM=wm, QT_QPA_PLATFORM="xcb")
        self.env.pop("XAUTHORITY", None)
        try:
            self._start()
        except BaseException:
            self.stop()
            raise

    def _start(self):
        if self.name == "none":
            return
        wm_env = dict(self.env)
        for sub in ("config", "cache", "data", "run"):
            os.makedirs(os.path.join(self.folder, sub), mode=0o700)
        wm_env.update(XDG_CONFIG_HOME=os.path.join(self.folder, "config"),
                      XDG_RUNTIME_DIR=os.path.join(self.folder, "run"),
                      XDG_CACHE_HOME=os.path.join(self.folder, "cache"),
                      XDG_DATA_HOME=os.path.join(self.folder, "data"),
                      KWIN_COMPOSE="N")
        with open(os.path.join(self.folder, "config", "kwinrc"), "w") as f:
            f.write(KWINRC)
        if self.name in WANT_BUS:
            self._start_bus(wm_env)
            wm_env["DBUS_SESSION_BUS_ADDRESS"] = self.env["DBUS_SESSION_BUS_ADDRESS"]
        self.wm = subprocess.Popen(WINDOW_MANAGERS[self.name], env=wm_env, stdin=subprocess.DEVNULL,
                                   stdout=self.log, stderr=self.log, preexec_fn=_own_group)
        self._wait(lambda: _manages_screen(self.env), "does not manage the screen")
        # Some announce themselves before they take windows over (openbox
        # now and then lets a window map unframed right after), others
        # (kwin) before their decoration is loaded: a window of our own shows
        # when frames with title bars come. One mapped too early stays
        # unframed, so a probe unframed for a second is mapped afresh.
        title = "zorit-wm-probe-%d" % os.getpid()
        end = time.monotonic() + 60
        while True:
            probe = subprocess.Popen(["xmessage", "-title", title, "probe"], env=self.env,
                                     stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                     stderr=subprocess.DEVNULL, preexec_fn=_die_with_parent)
            try:
                framed = self._wait(lambda: _frames_windows(self.env, title), "frames no window",
                                    min(time.monotonic() + 1, end))
            finally:
                probe.kill()
                probe.wait()
            self._wait(lambda: not _listed(self.env, title), "keeps a closed window")
            if framed:
                return
            if time.monotonic() > end:
                self._fail("frames no window")

    def _start_bus(self, wm_env):
        """A session bus of the run's own; services it starts on demand
        (xfconfd, dconf, kglobalaccel) share its process group."""
        self.bus = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                                    env=wm_env, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                    stderr=self.log, preexec_fn=_own_group)
        address = self.bus.stdout.readline().decode().strip()
        if not address:
            raise SystemExit("the session bus did not start")
        self.env["DBUS_SESSION_BUS_ADDRESS"] = address

    def _wait(self, condition, what, until=None):
        """Waits for the condition; False when it has not come by until,
        a failure when it has not come within a minute."""
        end = time.monotonic() + 60
        while not condition():
            if until is not None and time.monotonic() > until:
                return False
            if self.wm.poll() is not None or time.monotonic() > end:
                self._fail(what)
            time.sleep(0.02)
        return True

    def _fail(self, what):
        self.log.flush()
        with open(self.log.name, "rb") as f:
            err = f.read().decode("utf-8", "replace")
        raise SystemExit("%s %s on %s (status %s)\n%s"
                         % (self.name, what, self.env["DISPLAY"], self.wm.poll(), err[-2000:]))

    def stop(self):
        for proc in (self.wm, self.bus):
            if proc is not None:
                stop_group(proc)
        self.log.close()
        shutil.rmtree(self.folder, ignore_errors=True)


def _listed(env, title):
    r = subprocess.run(["xdotool", "search", "--name", "^%s$" % title], env=env,
                       capture_output=True, text=True, timeout=10)
    return bool(r.stdout.strip())


def stop(proc):
    proc.terminate()
    try:
        proc.wait(timeout=10)
    except subprocess.TimeoutExpired:
        proc.kill()
        proc.wait()


def stop_group(proc):
    """Ends a process started in a group of its own, and what it started."""
    if proc.poll() is None:
        try:
            os.killpg(proc.pid, signal.SIGTERM)
        except ProcessLookupError:
            pass
        try:
            proc.wait(timeout=10)
        except subprocess.TimeoutExpired:
            pass
    try:
        os.killpg(proc.pid, signal.SIGKILL)
    except ProcessLookupError:
        pass
    proc.wait()


def main():
    args = sys.argv[1:]
    wm = "openbox"
    if args[:1] == ["--wm"] and len(args) > 1:
        wm, args = args[1], args[2:]
    elif args[:1] and args[0].startswith("--wm="):
        wm, args = args[0][len("--wm="):], args[1:]
    if len(args) < 2:
        raise SystemExit("usage: x_server.py [--wm %s] WIDTHxHEIGHT COMMAND [ARG...]" % "|".join(WINDOW_MANAGERS))
    server, display = start(args[0])
    try:
        session = Session(display, wm)
    except BaseException:
        stop(server)
        raise
    child = subprocess.Popen(args[1:], env=session.env)

    def forward(signum, _frame):
        child.send_signal(signum)

    for s in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
        signal.signal(s, forward)
    try:
        status = child.wait()
    finally:
        session.stop()
        stop(server)
    sys.exit(status if status >= 0 else 128 - status)


if __name__ == "__main__":
    main()
