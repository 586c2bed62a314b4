#!/usr/bin/env python3
"""A flooding peer: opens COUNT idle TCP connections to HOST:PORT and holds them.

It never sends a byte. Every half second it prints one line "abertas A fechadas F pendentes P":
A connections established and still open, F that the server closed (refused at accept, or
closed later as idle), P connection attempts not answered yet. It ends on SIGTERM or SIGINT.

    connection_flood.py HOST PORT COUNT
"""
import errno
import resource
import selectors
import signal
import socket
import sys
import time


def main():
    host, port, count = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
    _, hard = resource.getrlimit(resource.RLIMIT_NOFILE)
    resource.setrlimit(resource.RLIMIT_NOFILE, (hard, hard))
    if hard != resource.RLIM_INFINITY and hard < count + 16:
        sys.exit(f"limite de arquivos {hard} pequeno demais para {count} conexoes")
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(0))

    selector = selectors.DefaultSelector()
    pending, open_, closed = set(), set(), 0
    for _ in range(count):
        s = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        s.setblocking(False)
        code = s.connect_ex((host, port))
        if code not in (0, errno.EINPROGRESS):
            s.close()
            closed += 1
            continue
        pending.add(s)
        selector.register(s, selectors.EVENT_WRITE)

    last_line = 0.0
    while True:
        for key, events in selector.select(timeout=0.1):
            s = key.fileobj
            if s in pending:
                pending.discard(s)
                selector.unregister(s)
                if s.getsockopt(socket.SOL_SOCKET, socket.SO_ERROR) != 0:
                    s.close()
                    closed += 1
                    continue
                open_.add(s)
                selector.register(s, selectors.EVENT_READ)
            else:
                try:
                    data = s.recv(4096)
                except OSError:
                    data = b""
                # Anything the server sends (a GIOP CloseConnection) is read; the end of the
                # stream means it closed the connection.
                if not data:
                    open_.discard(s)
                    selector.unregister(s)
                    s.close()
                    closed += 1
        now = time.monotonic()
        if now - last_line >= 0.5:
            print(f"abertas {len(open_)} fechadas {closed} pendentes {len(pending)}", flush=True)
            last_line = now


if __name__ == "__main__":
    try:
        main()
    except KeyboardInterrupt:
        pass
