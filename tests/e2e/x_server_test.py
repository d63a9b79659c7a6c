#!/usr/bin/env python3
"""The end-to-end runs' X server: servers started side by side take
different displays, answer at once, and end with their owner; the command's
status comes back. Each window manager frames the windows mapped once it has
started (none under "none"), the command learns which one runs and gets Qt's
X11 platform, and the window manager, its bus and what the bus started end
with the run."""
import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import x_server  # noqa: E402

FAILURES = []


def check(cond, what):
    if not cond:
        FAILURES.append(what)
        print("FAIL:", what)


def geometry(display):
    r = subprocess.run(["xdotool", "getdisplaygeometry"], env=dict(os.environ, DISPLAY=display),
                       capture_output=True, text=True, timeout=20)
    return r.stdout.strip()


def lock_file(display):
    return "/tmp/.X%s-lock" % display[1:]


servers = [x_server.start(size) for size in ("640x480", "800x600", "320x200")]
displays = [d for _, d in servers]
check(len(set(displays)) == 3, "three displays, not %s" % displays)
# Taken right away, and again after the first client has gone: the server
# does not reset.
for _ in range(2):
    check([geometry(d) for d in displays] == ["640 480", "800 600", "320 200"],
          "each server answers with its own screen")
for proc, display in servers:
    x_server.stop(proc)
    check(proc.returncode is not None and not os.path.exists(lock_file(display)),
          "server of %s ended" % display)

here = os.path.join(os.path.dirname(os.path.abspath(__file__)), "x_server.py")
r = subprocess.run([sys.executable, here, "320x200", "sh", "-c",
                    'echo "$DISPLAY"; xdotool getdisplaygeometry; xprop -root _NET_SUPPORTING_WM_CHECK; exit 7'],
                   capture_output=True, text=True, timeout=60)
lines = r.stdout.split()
check(r.returncode == 7, "the command's status, not %d" % r.returncode)
check(len(lines) >= 3 and lines[0].startswith(":") and lines[1:3] == ["320", "200"],
      "the command ran on the server: %r" % r.stdout)
check("window id" in r.stdout, "a window manager manages the screen before the command starts: %r" % r.stdout)
if lines:
    check(not os.path.exists(lock_file(lines[0])), "the server ended with the command")


def group_gone(pgid, wait=5.0):
    """True once no process of the group runs: one killed a moment ago may
    still be on its way out on a loaded machine."""
    end = time.time() + wait
    while group_alive(pgid):
        if time.time() >= end:
            return False
        time.sleep(0.05)
    return True


def group_alive(pgid):
    """True while a process of the group runs (one ended but not yet reaped
    by whoever inherited it counts as ended)."""
    for entry in os.listdir("/proc"):
        try:
            with open("/proc/%s/stat" % entry) as f:
                fields = f.read().rsplit(")", 1)[1].split()
        except (OSError, IndexError):
            continue
        if fields[0] != "Z" and int(fields[2]) == pgid:
            return True
    return False


WM_NAMES = {"openbox": "Openbox", "xfwm4": "Xfwm4", "metacity": "Metacity", "kwin_x11": "KWin"}
for wm in ("openbox", "xfwm4", "metacity", "kwin_x11", "none"):
    server, display = x_server.start("640x480")
    try:
        session = x_server.Session(display, wm)
        env = session.env
        check(env["ZORIT_WM"] == wm and env["QT_QPA_PLATFORM"] == "xcb", "%s: the command's environment" % wm)
        check(("DBUS_SESSION_BUS_ADDRESS" in env) == (wm in x_server.WANT_BUS) or wm == "openbox",
              "%s: a session bus of the run's own where the window manager wants one" % wm)
        wm_check = subprocess.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], env=env,
                                  capture_output=True, text=True, timeout=20).stdout
        name = ""
        if "#" in wm_check:
            name = subprocess.run(["xprop", "-id", wm_check.split("#")[-1].strip(), "_NET_WM_NAME"], env=env,
                                  capture_output=True, text=True, timeout=20).stdout
        check(('"%s"' % WM_NAMES[wm] in name) if wm != "none" else not name,
              "%s manages the screen: %r" % (wm, name))
        # A window mapped right after the start gets a frame with a title
        # bar at once (kwin without a decoration gives none).
        title = "x-server-test-%s" % wm
        window = subprocess.Popen(["xmessage", "-title", title, "framed?"], env=env,
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        framed = False
        for _ in range(500):
            if x_server._frames_windows(env, title) or (wm == "none" and x_server._listed(env, title)):
                framed = x_server._frames_windows(env, title)
                break
            time.sleep(0.02)
        window.kill()
        window.wait()
        check(framed == (wm != "none"), "%s: a window has a title bar: %s" % (wm, framed))
        session.stop()
        for proc in (session.wm, session.bus):
            if proc is not None:
                check(group_gone(proc.pid), "%s: %s and what it started ended" % (wm, proc.args[0]))
    finally:
        x_server.stop(server)

r = subprocess.run([sys.executable, here, "--wm", "metacity", "320x200", "sh", "-c",
                    'echo "$ZORIT_WM $QT_QPA_PLATFORM"; xprop -root _NET_SUPPORTING_WM_CHECK'],
                   capture_output=True, text=True, timeout=60, env=dict(os.environ, QT_QPA_PLATFORM="offscreen"))
check(r.returncode == 0 and r.stdout.startswith("metacity xcb\n") and "window id" in r.stdout,
      "--wm picks the window manager and the command hears of it: %r %r" % (r.stdout, r.stderr[-500:]))

print("FAILED" if FAILURES else "OK")
sys.exit(1 if FAILURES else 0)
