#!/usr/bin/env python3
"""The checker windows of the real program, driven by the design program's
commands.

Usage: check_windows_e2e.py BIN_DIR TOOLS_DIR SCENARIO
Programs are compiled from tests/data/check by LOADORDALINFILES; the design
program and the export target are dde_probe partners; the library logs its
calls. Run under xvfb-run (check_windows_x11.sh).
"""
import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from zorit_harness import BIN, FAILURES, SCENARIO, Home, check, ini, start_and_window, xdo  # noqa: E402

TOOLS_BIN = os.path.join(os.path.dirname(BIN), "tests", "tools")
PROBE = os.path.join(TOOLS_BIN, "kernel_probe")
DDE_PROBE = os.path.join(TOOLS_BIN, "dde_probe")
DATA = os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), "data", "check")


def dde(home, command, timeout=120):
    """Sends one string and gives the answer byte in hex ("01")."""
    path = home.path("run", "dde-ZORIT-DDESERVER1")
    r = subprocess.run(["socat", "-t", str(timeout), "-", "UNIX-CONNECT:" + path],
                       input=command.encode("cp1252") + b"\0", capture_output=True, timeout=timeout + 10)
    return r.stdout.hex()


class Partner:
    """A family program that prints what it is sent."""

    def __init__(self, home, name):
        self.proc = subprocess.Popen([DDE_PROBE, "serve", name], env=home.env, cwd=home.dir,
                                     stdout=subprocess.PIPE, text=True)
        self.proc.stdout.readline()  # READY

    def lines(self):
        self.proc.terminate()
        out, _ = self.proc.communicate(timeout=10)
        return [l for l in out.splitlines() if l.startswith("CMD ")]


def start(home, program):
    os.makedirs(home.path("w"), exist_ok=True)
    home.write("w/%s.SMA" % program, b"")
    with open(os.path.join(DATA, program + ".Skx"), "rb") as f:
        home.write("w/%s.Skx" % program, f.read())
    home.env["VPSIMMOD_LOG"] = home.path("w", "sim.log")
    proc, win = start_and_window(home)
    check(dde(home, "LOADORDALINFILES " + home.path("w", program + ".SMA")) == "01", "program loaded")
    return proc, win


def log_lines(home):
    try:
        return home.read("w", "sim.log").decode("utf-8", "replace").splitlines()
    except FileNotFoundError:
        return []


def block_byte(line, offset):
    """Byte at offset of the block a log line shows, in hex."""
    hexed = line.split()[1]
    return hexed[2 * offset:2 * offset + 2]


def finish(home, proc):
    dde(home, "CLOSE")
    try:
        proc.wait(timeout=20)
    except subprocess.TimeoutExpired:
        proc.kill()
    home.cleanup()


def scenario_remote_simulation():
    home = Home()
    proc, win = start(home, "nested")
    derodi = Partner(home, "Derodi")
    check(dde(home, "FERNSTEUERUNG") == "01", "FERNSTEUERUNG answered")
    check(dde(home, "SIMULATION") == "01", "SIMULATION answered")
    time.sleep(0.5)
    check("CMD CARRIAGEAMOUNT 12" in derodi.lines(), "Derodi hears the stroke count")
    check(xdo("search", "--onlyvisible", "--name", "^G-Test$") == "", "the simulation window is gone")
    log = log_lines(home)
    inits = [l for l in log if l.startswith("P_DllInit ")]
    check(inits and block_byte(inits[0], 21) == "01", "the library runs in simulation mode")
    check(log and log[-1].startswith("P_DllSpeicherFrei -"), "the library is freed last: " + (log[-1][:60] if log else ""))
    finish(home, proc)


def scenario_remote_export():
    home = Home()
    home.write("w/T.D10", "!M_TYP:ABC 12;\r\n")
    home.write("w/rec.sh", "#!/bin/sh\nfor a in \"$@\"; do echo \"$a\"; done > %s\n" % home.path("w", "args"))
    os.chmod(home.path("w", "rec.sh"), 0o755)
    home.write("Zorit.INI", "[Files]\r\nSkrelStart=%s\r\n" % home.path("w", "rec.sh"))
    proc, win = start(home, "nested")
    derodi = Partner(home, "Derodi")
    check(dde(home, "FERNSTEUERUNG") == "01", "FERNSTEUERUNG answered")
    check(dde(home, "EXPORT EXTENTED 0100") == "01", "EXPORT EXTENTED answered")
    check(dde(home, "EXPORT MA-FILE " + home.path("w", "T.D10")) == "01", "EXPORT MA-FILE answered")
    check(dde(home, "EXPORT DO") == "01", "EXPORT DO answered")
    question = None
    end = time.time() + 20
    while time.time() < end and not question:
        found = xdo("search", "--onlyvisible", "--name", "^Bestätigung$")
        question = found.splitlines()[0] if found else None
        time.sleep(0.2)
    check(question is not None, "the question comes")
    if question:
        xdo("windowfocus", "--sync", question)
        xdo("key", "Return")
    time.sleep(1.5)
    check("CMD EXPORT FERTIG" in derodi.lines(), "Derodi hears the end of the export")
    inits = [l for l in log_lines(home) if l.startswith("P_DllInit ")]
    check(inits and block_byte(inits[0], 24) == "00", "carrier types not adapted")
    args = home.read("w", "args").decode() if os.path.exists(home.path("w", "args")) else ""
    check(args == "/L" + home.path("Temp", "Wandel.Sma") + "\n", "the target gets the conversion file: " + args)
    check(xdo("search", "--onlyvisible", "--name", "^Export$") == "", "the export window is gone")
    settings = ini(home)
    for key in ("FfTypTrans=0", "GgChange=1", "NListeWs=0", "SListeWs=0", "MaTyp=" + home.path("w", "T.D10")):
        check(key in settings, key)
    before = log_lines(home)
    check(dde(home, "EXPORT DO") == "01", "EXPORT DO without a window answered")
    check(log_lines(home) == before, "nothing reaches the library")
    finish(home, proc)


def scenario_as_probe():
    home = Home()
    proc, win = start(home, "nested")
    check(dde(home, "EXPORT EXTENTED 0000") == "01", "EXPORT EXTENTED answered")
    check(dde(home, "EXPORT MA-FILE") == "01", "EXPORT MA-FILE answered")
    check(dde(home, "EXPORT DO") == "01", "EXPORT DO answered")
    time.sleep(1.0)
    probe_home = home.path("probe")
    os.makedirs(probe_home, exist_ok=True)
    subprocess.run([PROBE, "--home", probe_home, "check", os.path.join(DATA, "nested.Skx"), "--mode", "export"],
                   capture_output=True, timeout=120)
    ours = home.read("Temp", "Wandel.Sma")
    with open(os.path.join(probe_home, "Temp", "Wandel.Sma"), "rb") as f:
        theirs = f.read()
    check(ours == theirs, "Wandel.Sma as the probe writes it")
    check(ours.rstrip().endswith(b"ENDE 12"), "twelve strokes")
    check(xdo("search", "--onlyvisible", "--name", "^Bestätigung$") == "", "no question")
    export = xdo("search", "--onlyvisible", "--name", "^Export$")
    check(export != "", "the export window stays")
    if export:
        subprocess.run(["import", "-window", export.splitlines()[0], home.path("export_done.png")])
    finish(home, proc)


SCENARIOS = {
    "remote_simulation": scenario_remote_simulation,
    "remote_export": scenario_remote_export,
    "as_probe": scenario_as_probe,
}

if __name__ == "__main__":
    SCENARIOS[SCENARIO]()
    print("%d passed, %d failed" % (0 if FAILURES else 1, 1 if FAILURES else 0))
    sys.exit(1 if FAILURES else 0)
