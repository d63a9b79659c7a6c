#!/usr/bin/env python3
"""A stand-in DDE partner: listens on a socket path and logs what arrives.

usage: dde_listener.py SOCKET LOG [--answer 1|0|none|close] [--lifetime SECONDS]

Log lines (appended and flushed as they happen):
  ACCEPT k            connection k (from 1) was accepted
  FRAME k HEX         a complete string (without its NUL) arrived on k
  EOF k HEX           k ended; HEX is every byte it carried
Each complete string is answered with one byte 01 or 00, not at all (none),
or by closing the connection at once (close).
"""
import os
import selectors
import signal
import socket
import sys
import time


def main():
    args = sys.argv[1:]
    answer = "1"
    lifetime = 30.0
    if "--answer" in args:
        i = args.index("--answer")
        answer = args[i + 1]
        del args[i:i + 2]
    if "--lifetime" in args:
        i = args.index("--lifetime")
        lifetime = float(args[i + 1])
        del args[i:i + 2]
    path, log_path = args
    log = open(log_path, "a", buffering=1)
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(0))
    try:
        os.unlink(path)
    except FileNotFoundError:
        pass
    server = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    server.bind(path + ".new")
    server.listen(16)
    # Appears under its real name only once it accepts.
    os.rename(path + ".new", path)
    sel = selectors.DefaultSelector()
    sel.register(server, selectors.EVENT_READ, None)
    count = 0
    state = {}
    end = time.monotonic() + lifetime
    try:
        while time.monotonic() < end:
            for key, _ in sel.select(timeout=0.1):
                if key.data is None:
                    conn, _ = server.accept()
                    count += 1
                    state[conn] = [count, b"", b""]
                    sel.register(conn, selectors.EVENT_READ, count)
                    log.write("ACCEPT %d\n" % count)
                    continue
                conn = key.fileobj
                k, pending, everything = state[conn]
                try:
                    data = conn.recv(65536)
                except OSError:
                    data = b""
                if not data:
                    log.write("EOF %d %s\n" % (k, everything.hex()))
                    sel.unregister(conn)
                    conn.close()
                    del state[conn]
                    continue
                everything += data
                pending += data
                closed = False
                while b"\0" in pending:
                    frame, pending = pending.split(b"\0", 1)
                    log.write("FRAME %d %s\n" % (k, frame.hex()))
                    if answer == "close":
                        log.write("EOF %d %s\n" % (k, everything.hex()))
                        sel.unregister(conn)
                        conn.close()
                        del state[conn]
                        closed = True
                        break
                    if answer in ("0", "1"):
                        try:
                            conn.sendall(bytes([int(answer)]))
                        except OSError:
                            pass  # the client went without reading it
                if not closed:
                    state[conn] = [k, pending, everything]
    finally:
        try:
            os.unlink(path)
        except FileNotFoundError:
            pass


if __name__ == "__main__":
    main()
