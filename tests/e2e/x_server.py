#!/usr/bin/env python3
"""The virtual X server of every end-to-end run, with a window manager.

  x_server.py WIDTHxHEIGHT COMMAND [ARG...]

Starts Xvfb with a screen of that size and openbox on it, runs the command
with DISPLAY set to it once openbox manages the screen, and ends both when
the command has ended; exits with the command's status. A person always
works under a window manager: its frames, title bars and focus rules are
part of what the runs meet.

The server picks a free display itself and writes its number to a pipe
(-displayfd) once it takes connections, so runs side by side never share a
display and nothing has to probe it. It never resets (-noreset): a server
that resets when its last client leaves drops a program that connects
during the reset. It dies with its owner, whatever ends that.
"""
import ctypes
import os
import signal
import subprocess
import sys
import tempfile
import time

PR_SET_PDEATHSIG = 1


def _die_with_parent():
    ctypes.CDLL(None, use_errno=True).prctl(PR_SET_PDEATHSIG, signal.SIGKILL)


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


def start_window_manager(display):
    """Starts openbox on the display; gives its process once it manages the
    screen, that is once it has announced itself on the root window."""
    env = dict(os.environ, DISPLAY=display)
    env.pop("XAUTHORITY", None)
    wm = subprocess.Popen(["openbox", "--sm-disable"], env=env, stdin=subprocess.DEVNULL,
                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, preexec_fn=_die_with_parent)
    end = time.monotonic() + 30
    while wm.poll() is None and time.monotonic() < end:
        r = subprocess.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], env=env,
                           capture_output=True, text=True, timeout=10)
        if "window id" in r.stdout:
            return wm
        time.sleep(0.02)
    wm.kill()
    wm.wait()
    raise SystemExit("openbox did not come up on %s" % display)


def stop(proc):
    proc.terminate()
    try:
        proc.wait(timeout=10)
    except subprocess.TimeoutExpired:
        proc.kill()
        proc.wait()


def main():
    if len(sys.argv) < 3:
        raise SystemExit("usage: x_server.py WIDTHxHEIGHT COMMAND [ARG...]")
    server, display = start(sys.argv[1])
    try:
        wm = start_window_manager(display)
    except SystemExit:
        stop(server)
        raise
    env = dict(os.environ, DISPLAY=display)
    env.pop("XAUTHORITY", None)
    child = subprocess.Popen(sys.argv[2:], env=env)

    def forward(signum, _frame):
        child.send_signal(signum)

    for s in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
        signal.signal(s, forward)
    try:
        status = child.wait()
    finally:
        stop(wm)
        stop(server)
    sys.exit(status if status >= 0 else 128 - status)


if __name__ == "__main__":
    main()
