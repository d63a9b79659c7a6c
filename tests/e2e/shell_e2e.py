#!/usr/bin/env python3
"""The real program under an X server, driven from outside as a user would.

Usage: shell_e2e.py BIN_DIR TOOLS_DIR SCENARIO
Each scenario starts copies of Zorit and the family's libraries in a fresh
folder with its own configuration, runtime and drive-root folders, drives
the menus by keyboard with xdotool and checks the files the program leaves.
Run under x_server.py (DISPLAY set).
"""
import os
import signal
import socket
import stat
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from zorit_harness import (FAILURES, TOOLS, SCENARIO, Home, check, ini, keys, other_window,  # noqa: E402
                           quit_program, return_on_message, start_and_window, width_of, window_of, xdo)

# The test snapshot: gauge 7, name TEST1, pattern 123 x 45, random lines,
# set-up record and planes 0 and 1.
EXAMPLE = ["--gauge", "7", "--name", "TEST1", "--size", "123x45", "--lists", "Z3,N2,W1,S0,V4,F2,P2,A1",
           "--setup", "random", "--setup-byte0", "3", "--planes", "0,1"]


def snapshot(home, out):
    subprocess.run(["python3", os.path.join(TOOLS, "ramcopy.py"), "write", out, *EXAMPLE], check=True,
                   stdout=subprocess.DEVNULL)
    return open(out, "rb").read()


def scenario_first_start():
    home = Home()
    proc, win = start_and_window(home)
    check(quit_program(proc, win) == 0, "exit status 0")
    text = ini(home)
    check("WorkingLevel=1" in text, "WorkingLevel=1 in the INI file")
    check("Skrel=Pelsavo" in text, "Skrel=Pelsavo in the INI file")
    check("Temp=" + home.path("Temp") in text, "Temp=<folder>/Temp in the INI file")
    check(os.path.getsize(home.path("Temp", "Saveram.Tmp")) == 2627, "an empty snapshot of 2627 bytes")
    log = home.read("Debug.Txt").decode("latin-1")
    order = ["Init DdeZorit Start", "Init DdeZorit Ende", "Init MainUnit Start", "Init MainUnit Ende",
             "Start vor FormProgrammStart", "Start nach FormProgrammStart", "Start nach Initialize",
             "Start nach CreateForm"]
    positions = [log.find(line) for line in order]
    check(all(p >= 0 for p in positions) and positions == sorted(positions), "the start-up lines in order")
    check(0 <= log.find("Init Resourcen") < log.find("Init MainUnit Start"), "Init Resourcen before the main unit")
    registry = open(home.path("config", "Vasp", "Registry.ini"), "rb").read().decode("utf-8")
    check("Zorit=" + home.path("Zorit") in registry, "the program's path under [Exe]")

    # A temporary folder on a drive letter lands below the drive root.
    home.write("Zorit.INI", ini(home).replace("Temp=" + home.path("Temp"), "Temp=C:\\ZTemp"))
    proc, win = start_and_window(home)
    check(quit_program(proc, win) == 0, "exit status 0 with C:\\ZTemp")
    check(os.path.isfile(home.path("drive", "ZTemp", "Saveram.Tmp")), "the snapshot in <drive root>/ZTemp")
    home.cleanup()


def scenario_second_start():
    home = Home()
    first, win = start_and_window(home)
    time.sleep(0.5)
    log_before = home.read("Debug.Txt")
    second = home.start()
    check(window_of(second.pid, wait=4.5) is None, "no window of the second start within 4.5 s")
    box = window_of(second.pid, wait=10)
    check(box is not None, "the second start shows its message")
    if box:
        keys(box, "Return")
    try:
        status = second.wait(timeout=10)
    except subprocess.TimeoutExpired:
        second.kill()
        status = None
    check(status == 1, "the second start ends with status 1")
    check(home.read("Debug.Txt") == log_before, "the running program's log is untouched")
    check(quit_program(first, win) == 0, "the first instance quits with 0")
    home.cleanup()


def scenario_snapshot():
    home = Home()
    os.makedirs(home.path("Temp"))
    data = snapshot(home, home.path("Temp", "Saveram.Tmp"))
    check(len(data) == 17021, "the example snapshot is 17,021 bytes (%d)" % len(data))
    proc, win = start_and_window(home)
    check(quit_program(proc, win) == 0, "exit status 0")
    check(home.read("Temp", "Saveram.Tmp") == data, "the snapshot survives start and quit")

    w_start = 28 + 2 + 3 * 640 + 2 + 2 * 92
    for label, bad in (("cut inside the W list", data[:w_start + 40]),
                       ("width 2001", data[:22] + (2001).to_bytes(2, "little") + data[24:]),
                       ("Z count 20001", data[:28] + (20001).to_bytes(2, "little") + data[30:])):
        home.write("Temp/Saveram.Tmp", bad)
        proc, win = start_and_window(home)
        check(other_window(proc.pid, win, 1.0) is None, label + ": no dialog")
        check(quit_program(proc, win) == 0, label + ": exit status 0")
        check(os.path.getsize(home.path("Temp", "Saveram.Tmp")) == 2627, label + ": an empty program after quit")
        check(b"Saveram.Tmp" in home.read("Debug.Txt"), label + ": a Debug.Txt line")
    home.cleanup()


def scenario_working_level():
    home = Home()
    os.makedirs(home.path("Temp"))
    data = snapshot(home, home.path("Temp", "Saveram.Tmp"))
    proc, win = start_and_window(home)
    keys(win, "alt+e", "a")
    time.sleep(0.5)
    check("WorkingLevel=2" in ini(home), "level 2 between the switches")
    keys(win, "alt+e", "a")
    check(quit_program(proc, win) == 0, "exit status 0")
    check(home.read("Temp", "Saveram.Tmp") == data, "level 1's program unchanged")
    check(os.path.getsize(home.path("Temp", "Saveram2.Tmp")) == 2627, "level 2's empty program")
    check("WorkingLevel=1" in ini(home), "back on level 1")

    os.remove(home.path("Temp", "Saveram2.Tmp"))
    home.write("Zorit.INI", ini(home).replace("WorkingLevel=1", "WorkingLevel=5"))
    proc, win = start_and_window(home)
    check(quit_program(proc, win) == 0, "exit status 0 at level 5")
    check(home.read("Temp", "Saveram.Tmp") == data, "level 5 reads and writes level 1's file")
    check(not os.path.exists(home.path("Temp", "Saveram2.Tmp")), "no Saveram2.Tmp at level 5")
    home.cleanup()


def scenario_new_program():
    home = Home()
    os.makedirs(home.path("Temp"))
    snapshot(home, home.path("Temp", "Saveram.Tmp"))
    proc, win = start_and_window(home)
    keys(win, "alt+d", "n")
    check(quit_program(proc, win) == 0, "exit status 0")
    new = home.read("Temp", "Saveram.Tmp")
    check(len(new) == 2627, "a new program is empty")
    model = new[1:4]
    check(new[0] == 3 and new[4] == 8, "model length 3 and gauge 8")
    check(new[6:10] == bytes([0x82, 0, 0x14, 0]), "speed limit 130 and gauge width 20")
    check(new[12] == 0 and new[22:26] == bytes(4), "no name and no pattern")
    check(new[10] == 1 and new[11] == 0 and new[26] == 3, "the default model's columns (3, 2, 0)")
    check(new[44] == 1, "set-up byte 0 is 1")
    check(new[2534:2536] == (34).to_bytes(2, "little"), "the model's coupling distance, 34 inches")
    rest = bytearray(new[44:44 + 2580])
    rest[0] = 0
    rest[2534 - 44:2536 - 44] = b"\0\0"
    check(rest == bytes(2580) and new[-3:] == bytes(3), "the rest of the set-up record and the planes empty")

    # Another model from the machine menu (below "Sprache"): the first one
    # that differs.
    proc, win = start_and_window(home)
    keys(win, "alt+e", "Down", "Down", "Right", "Return")
    check(quit_program(proc, win) == 0, "exit status 0 after another model")
    other = home.read("Temp", "Saveram.Tmp")
    check(other[1:4] != model, "another model chosen")
    check(other[6:10] == new[6:10], "gauge data unchanged")
    home.cleanup()


def scenario_siblings():
    home = Home()
    touched = home.path("zorak-ran")
    script = home.path("zorak.sh")
    home.write("zorak.sh", "#!/bin/sh\ntouch '%s'\n" % touched)
    os.chmod(script, 0o755)
    proc, win = start_and_window(home)
    check(quit_program(proc, win) == 0, "first run")
    registry = home.path("config", "Vasp", "Registry.ini")
    text = open(registry, "rb").read().decode("utf-8")
    text = text.replace("[Exe]\r\n", "[Exe]\r\nZorak=%s\r\n" % script)
    open(registry, "wb").write(text.encode("utf-8"))
    os.remove(home.path("Temp", "Saveram.Tmp"))
    proc, win = start_and_window(home)
    keys(win, "alt+e", "Down", "Down", "Down", "Return")
    try:
        status = proc.wait(timeout=15)
    except subprocess.TimeoutExpired:
        proc.kill()
        status = None
    check(status == 0, "the program ends after starting Zorak")
    time.sleep(1)
    check(os.path.exists(touched), "Zorak ran")
    check(os.path.exists(home.path("Temp", "Saveram.Tmp")), "the snapshot written on the way out")

    # A registered path that does not exist: the message, the program runs on.
    open(registry, "wb").write(text.replace(script, home.path("missing")).encode("utf-8"))
    proc, win = start_and_window(home)
    keys(win, "alt+e", "Down", "Down", "Down", "Return")
    box = other_window(proc.pid, win, 5)
    check(box is not None, "the message for a missing sibling")
    if box:
        keys(box, "Return")
    time.sleep(0.5)
    check(proc.poll() is None, "the program runs on")
    check(quit_program(proc, win) == 0, "exit status 0")
    home.cleanup()


def scenario_restart():
    home = Home()
    proc, win = start_and_window(home)
    # Einstellungen > Sprache (the second item) > the fifth offered language.
    keys(win, "alt+e", "Down", "Right", "Down", "Down", "Down", "Down", "Return")
    box = other_window(proc.pid, win, 5)
    check(box is not None, "the restart message")
    if box:
        keys(box, "Return")
    try:
        status = proc.wait(timeout=15)
    except subprocess.TimeoutExpired:
        proc.kill()
        status = None
    check(status == 0, "the old process ends with 0")
    new_win, new_pid = None, None
    end = time.time() + 8
    while time.time() < end and not new_win:
        for w in xdo("search", "--onlyvisible", "--name", "^ZORIT$").splitlines():
            pid = xdo("getwindowpid", w)
            if pid and int(pid) != proc.pid and width_of(w) >= 800:
                new_win, new_pid = w, int(pid)
        time.sleep(0.2)
    check(new_win is not None, "the new process shows its main window within 8 s")
    registry = open(home.path("config", "Vasp", "Registry.ini"), "rb").read().decode("utf-8")
    check("Language=Französisch" in registry, "the language stored")
    if new_win:
        time.sleep(2)
        keys(new_win, "alt+d", "b")
        end = time.time() + 20
        while time.time() < end and os.path.exists("/proc/%d" % new_pid):
            time.sleep(0.2)
        check(not os.path.exists("/proc/%d" % new_pid), "the new process quits")
    home.cleanup()


def scenario_list_editor():
    """The racking editor from its shortcut: a line copied onto the append row
    reaches the snapshot written at closing."""
    home = Home()
    os.makedirs(home.path("Temp"))
    given = '{"lists": {"V": ["%s", "%s", "%s"]}}' % ("00" * 94, "01000a" + "00" * 91, "00" * 94)
    subprocess.run(["python3", os.path.join(TOOLS, "ramcopy.py"), "write", home.path("Temp", "Saveram.Tmp"),
                    "--json", "/dev/stdin"], input=given.encode(), check=True, stdout=subprocess.DEVNULL)
    proc, win = start_and_window(home)
    keys(win, "shift+F7")
    time.sleep(1)
    editor = (xdo("search", "--onlyvisible", "--name", "^Versatz$").splitlines() or [None])[0]
    check(editor is not None, "Shift+F7 opens Versatz")
    if editor:
        keys(editor, "Down", "shift", "ctrl+c", "Down", "Down", "ctrl+v")
    # The window manager keeps Alt+F4 for itself: the program ends from its menu.
    keys(win, "alt+d", "b")
    try:
        check(proc.wait(timeout=20) == 0, "exit status 0")
    except subprocess.TimeoutExpired:
        check(False, "Datei > Beenden ends the program")
        proc.kill()
    dump = subprocess.run(["python3", os.path.join(TOOLS, "ramcopy.py"), "dump", home.path("Temp", "Saveram.Tmp")],
                          capture_output=True, text=True).stdout.splitlines()
    v = {int(l.split()[1]): l.split()[2] for l in dump if l.startswith("V ")}
    check(len(v) == 4 and v.get(4) == v.get(2), "4 V lines, line 4 equals line 2: %r" % sorted(v))
    home.cleanup()


def visible(title):
    return (xdo("search", "--onlyvisible", "--name", "^%s$" % title).splitlines() or [None])[0]


def scenario_scheme_windows():
    """The scheme, needle room, carrier and set-up windows from their keys; a
    model chosen in the set-up sheet closes the scheme and keeps the sheet."""
    home = Home()
    os.makedirs(home.path("Temp"))
    subprocess.run(["python3", os.path.join(TOOLS, "ramcopy.py"), "write", home.path("Temp", "Saveram.Tmp"),
                    "--model", "312", "--gauge", "8", "--lists", "Z2", "--setup", "zero", "--setup-byte0", "1",
                    "--header-byte", "10=0", "--header-byte", "11=0", "--header-byte", "26=2"],
                   check=True, stdout=subprocess.DEVNULL)
    proc, win = start_and_window(home)
    for key, title in (("shift+F3", "Strickschema"), ("ctrl+F3", "Nadelraum"), ("ctrl+F5", "Fadenführer")):
        keys(win, key)
        time.sleep(0.8)
        check(visible(title) is not None, key + " opens " + title)
    keys(win, "ctrl+F6")
    time.sleep(0.8)
    check(visible("FF-Position") is not None and visible("Rüstblatt") is None, "ctrl+F6 is FF-Position alone")
    keys(win, "alt+l", "r", "r")
    time.sleep(0.8)
    sheet = visible("Rüstblatt")
    check(sheet is not None, "Alt+L, R, R opens Rüstblatt")
    if sheet:
        keys(sheet, "Insert")
        time.sleep(0.6)
        xdo("key", "Return")
        time.sleep(0.6)
        check(visible("Strickschema") is not None, "the same model keeps Strickschema")
        keys(sheet, "space")
        time.sleep(1.0)
        check(visible("Strickschema") is None, "another model closes Strickschema")
        check(visible("Rüstblatt") is not None, "the set-up sheet stays")
    check(quit_program(proc, win) == 0, "exit status 0")
    dump = subprocess.run(["python3", os.path.join(TOOLS, "ramcopy.py"), "dump", home.path("Temp", "Saveram.Tmp")],
                          capture_output=True, text=True).stdout.splitlines()
    header = next((bytes.fromhex(l.split()[1]) for l in dump if l.startswith("K ")), b"")
    check(header[1:4] == b"322", "the snapshot holds the next model: %r" % header[:4])
    home.cleanup()


OLD_TIME = 1000000000  # 2001: older than any file this run writes


def aged(home, *parts):
    os.utime(home.path(*parts), (OLD_TIME, OLD_TIME))


def fresh(home, *parts):
    return os.path.getmtime(home.path(*parts)) > OLD_TIME + 1


def ended(proc, timeout=20):
    try:
        return proc.wait(timeout=timeout)
    except subprocess.TimeoutExpired:
        proc.kill()
        return None


def scenario_signals():
    """Ctrl+C, kill and a closed terminal close the program as Beenden does:
    the RAM copy and the INI file are written."""
    home = Home()
    os.makedirs(home.path("Temp"))
    for sig in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
        data = snapshot(home, home.path("Temp", "Saveram.Tmp"))
        aged(home, "Temp", "Saveram.Tmp")
        proc, win = start_and_window(home)
        # A recent file the run does not know: closing writes the run's list over it.
        home.write("Zorit.INI", ini(home).replace("LoadFile1=", "LoadFile1=ZR311 /fremd/X.3XH"))
        proc.send_signal(sig)
        check(ended(proc) == 0, sig.name + ": exit status 0")
        check(fresh(home, "Temp", "Saveram.Tmp"), sig.name + ": a fresh Saveram.Tmp")
        check(home.read("Temp", "Saveram.Tmp") == data, sig.name + ": the program of the run in it")
        check("LoadFile1=" in ini(home) and "/fremd/" not in ini(home), sig.name + ": the INI file saved")
    home.cleanup()


def scenario_lost_display():
    """The X server goes away under the running program: the RAM copy is
    written before the program ends. The server is this scenario's own, so
    that the run's server lives on."""
    home = Home()
    os.makedirs(home.path("Temp"))
    data = snapshot(home, home.path("Temp", "Saveram.Tmp"))
    aged(home, "Temp", "Saveram.Tmp")
    ready, announce = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(announce), "-noreset", "-nolisten", "tcp",
                               "-screen", "0", "1280x1024x24"], pass_fds=(announce,),
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(announce)
    with os.fdopen(ready) as f:
        number = f.readline().strip()
    outer = os.environ.get("DISPLAY", "")
    os.environ["DISPLAY"] = home.env["DISPLAY"] = ":" + number
    try:
        proc, win = start_and_window(home)
        server.terminate()
        server.wait(timeout=20)
        status = ended(proc)
    finally:
        os.environ["DISPLAY"] = outer
        if server.poll() is None:
            server.kill()
    check(status is not None, "the program ended (%s)" % status)
    check(fresh(home, "Temp", "Saveram.Tmp"), "a fresh Saveram.Tmp")
    check(home.read("Temp", "Saveram.Tmp") == data, "the program of the run in it")
    home.cleanup()


def scenario_dde_folder():
    """Without XDG_RUNTIME_DIR the socket lives in a folder of the user's own
    below the shared temporary folder, out of reach of a socket another user
    bound first under the program's name; a private folder somebody opened to
    everyone keeps the server from starting, and the technician is told."""
    home = Home()
    shared = home.path("shared")
    os.makedirs(shared)
    os.chmod(shared, 0o1777)
    home.env.pop("XDG_RUNTIME_DIR")
    home.env["TMPDIR"] = shared
    private = os.path.join(shared, "vasp-%d" % os.getuid())
    # The name in the shared folder, taken first.
    thief = socket.socket(socket.AF_UNIX)
    thief.bind(os.path.join(shared, "dde-ZORIT-DDESERVER1"))
    thief.listen(8)
    thief.setblocking(False)
    proc, win = start_and_window(home)
    check(other_window(proc.pid, win, 1.5) is None, "no message with a private folder")
    check(stat.S_IMODE(os.lstat(private).st_mode) == 0o700, "the private folder has mode 0700")
    r = subprocess.run(["socat", "-t", "10", "-", "UNIX-CONNECT:" + os.path.join(private, "dde-ZORIT-DDESERVER1")],
                       input=b"NAME C:\\X\\GEHEIM.SMA\0", capture_output=True, timeout=30)
    check(r.stdout == b"\1", "NAME answered through the private folder (%r)" % r.stdout)
    try:
        thief.accept()
        check(False, "the socket in the shared folder got a connection")
    except BlockingIOError:
        pass
    check(quit_program(proc, win) == 0, "exit status 0")

    os.chmod(private, 0o777)
    proc, win = start_and_window(home)
    box = other_window(proc.pid, win, 10)
    check(box is not None, "a message when the server cannot start")
    if box:
        return_on_message(proc.pid, box, [win], "message of the server", shot="dde_folder.png")
    check(b"DDE-Server nicht gestartet" in home.read("Debug.Txt"), "the reason in Debug.Txt")
    time.sleep(0.5)
    check(proc.poll() is None, "the program runs on")
    check(quit_program(proc, win) == 0, "exit status 0 without a server")
    thief.close()
    home.cleanup()


SCENARIOS = {
    "restart": scenario_restart,
    "first_start": scenario_first_start,
    "second_start": scenario_second_start,
    "snapshot": scenario_snapshot,
    "working_level": scenario_working_level,
    "new_program": scenario_new_program,
    "siblings": scenario_siblings,
    "list_editor": scenario_list_editor,
    "scheme_windows": scenario_scheme_windows,
    "signals": scenario_signals,
    "lost_display": scenario_lost_display,
    "dde_folder": scenario_dde_folder,
}

if __name__ == "__main__":
    SCENARIOS[SCENARIO]()
    print("%d passed, %d failed" % (0 if FAILURES else 1, 1 if FAILURES else 0))
    sys.exit(1 if FAILURES else 0)
