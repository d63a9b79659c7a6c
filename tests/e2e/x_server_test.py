#!/usr/bin/env python3
"""The end-to-end runs' X server: servers started side by side take
different displays, answer at once, and end with their owner; the command's
status comes back."""
import os
import subprocess
import sys

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

print("FAILED" if FAILURES else "OK")
sys.exit(1 if FAILURES else 0)
