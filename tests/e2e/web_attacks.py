#!/usr/bin/env python3
"""A hostile peer of the web port, from a loopback address of its own (SOURCE, e.g. 127.0.0.2).
Each attack prints what it tried and what the server did, on its last line, and ends by itself:

    web_attacks.py HOST PORT SOURCE head               a request head over 4096 bytes: the status
                                                       line answered, or "nada" when none
    web_attacks.py HOST PORT SOURCE message KIND       one WebSocket that says KIND: big (100
                                                       bytes), malformed ("JOIN"), binary ("watch"
                                                       as binary) or flood (100 pings at once):
                                                       "fechada CODE" or "aberta" after 5 s
    web_attacks.py HOST PORT SOURCE slow               a request that never ends, a header line
                                                       every 0.5 s: "fechada em S s" (at most 12)
    web_attacks.py HOST PORT SOURCE halfopen COUNT     COUNT connections that send part of a
                                                       request line and stop, until all are closed
                                                       or 12 s pass
    web_attacks.py HOST PORT SOURCE sockets COUNT HOLD COUNT WebSockets opened at once, each that
                                                       opens says "watch" and reads; held HOLD s,
                                                       then "espectadores N": those answered
                                                       "spectator N"

halfopen and sockets print a line every half second while they run.
"""
import errno
import os
import resource
import selectors
import socket
import struct
import sys
import time

import websocket

HANDSHAKE = (
    "GET /jogo HTTP/1.1\r\nHost: {host}:{port}\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n"
    "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\nSec-WebSocket-Version: 13\r\n\r\n"
)
REFUSED_WITHIN_S = 4.0  # a connection closed sooner was refused, not cut after the 5 s a request has


def client_frame(text):
    """A masked text frame, as a client must send it."""
    payload = text.encode()
    mask = os.urandom(4)
    masked = bytes(b ^ mask[i % 4] for i, b in enumerate(payload))
    return bytes((0x81, 0x80 | len(payload))) + mask + masked


def connected(host, port, source, timeout=5):
    s = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    s.bind((source, 0))
    s.settimeout(timeout)
    s.connect((host, port))
    return s


def open_many(host, port, source, count, selector):
    """Starts COUNT connections without waiting; returns them (the refused at once are closed)."""
    started = []
    for _ in range(count):
        s = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        s.setblocking(False)
        s.bind((source, 0))
        code = s.connect_ex((host, port))
        if code not in (0, errno.EINPROGRESS):
            s.close()
            continue
        selector.register(s, selectors.EVENT_WRITE)
        started.append(s)
    return started


def read_until_closed(s, limit_s):
    """Everything the peer sends until it closes, or until limit_s pass."""
    s.settimeout(limit_s)
    data = b""
    deadline = time.monotonic() + limit_s
    try:
        while time.monotonic() < deadline:
            chunk = s.recv(65536)
            if not chunk:
                break
            data += chunk
    except (socket.timeout, ConnectionResetError):
        pass
    return data


def head(host, port, source):
    s = connected(host, port, source)
    s.sendall(("GET / HTTP/1.1\r\nHost: %s\r\nX-Enchimento: %s\r\n\r\n"
               % (host, "a" * 5000)).encode())
    answer = read_until_closed(s, 5)
    line = answer.split(b"\r\n", 1)[0].decode("latin-1") if answer else "nada"
    print("cabecalho de 5000 bytes: %s" % line)


def message(host, port, source, kind):
    s = connected(host, port, source)
    ws = websocket.create_connection("ws://%s:%d/jogo" % (host, port), socket=s, timeout=5,
                                     suppress_origin=True)
    sent = 0
    try:
        if kind == "big":
            ws.send("watch" + " " * 95)
            sent = 1
        elif kind == "malformed":
            ws.send("JOIN")
            sent = 1
        elif kind == "binary":
            ws.send(b"watch", opcode=websocket.ABNF.OPCODE_BINARY)
            sent = 1
        elif kind == "flood":
            for _ in range(100):
                ws.send("ping")
                sent += 1
        else:
            sys.exit("no attack called %s" % kind)
    except (BrokenPipeError, ConnectionResetError, websocket.WebSocketConnectionClosedException):
        pass
    deadline = time.monotonic() + 5
    outcome = "aberta"
    while time.monotonic() < deadline:
        try:
            opcode, data = ws.recv_data(control_frame=True)
        except websocket.WebSocketTimeoutException:
            break
        except (websocket.WebSocketConnectionClosedException, ConnectionResetError):
            outcome = "fechada sem codigo"
            break
        if opcode == websocket.ABNF.OPCODE_CLOSE:
            code = struct.unpack("!H", data[:2])[0] if len(data) >= 2 else 0
            outcome = "fechada %d" % code
            break
    print("mensagem %s (%d enviadas): %s" % (kind, sent, outcome))


def slow(host, port, source):
    s = connected(host, port, source)
    start = time.monotonic()
    s.sendall(b"GET / HTTP/1.1\r\n")
    s.settimeout(0.5)
    closed_after = None
    n = 0
    while time.monotonic() - start < 12:
        try:
            if s.recv(4096) == b"":
                closed_after = time.monotonic() - start
                break
        except socket.timeout:
            pass
        except ConnectionResetError:
            closed_after = time.monotonic() - start
            break
        try:
            s.sendall(b"X-Devagar-%d: sim\r\n" % n)
            n += 1
        except (BrokenPipeError, ConnectionResetError):
            closed_after = time.monotonic() - start
            break
    if closed_after is None:
        print("remetente lento: aberta depois de 12 s")
    else:
        print("remetente lento: fechada em %.1f s" % closed_after)


def halfopen(host, port, source, count):
    selector = selectors.DefaultSelector()
    start = time.monotonic()
    started = open_many(host, port, source, count, selector)
    refused = count - len(started)  # refused by the system at once
    held, open_ = 0, 0
    pending = set(started)
    last_line = 0.0
    while selector.get_map() and time.monotonic() - start < 12:
        for key, _ in selector.select(timeout=0.1):
            s = key.fileobj
            if s in pending:
                pending.discard(s)
                selector.unregister(s)
                try:
                    s.send(b"GET /index.ht")
                except OSError:
                    s.close()
                    refused += 1
                    continue
                open_ += 1
                selector.register(s, selectors.EVENT_READ)
                continue
            try:
                data = s.recv(4096)
            except OSError:
                data = b""
            if data:
                continue
            selector.unregister(s)
            s.close()
            open_ -= 1
            if time.monotonic() - start < REFUSED_WITHIN_S:
                refused += 1
            else:
                held += 1
        if time.monotonic() - last_line >= 0.5:
            print("meias abertas %d recusadas %d seguradas %d" % (open_, refused, held), flush=True)
            last_line = time.monotonic()
    print("meias %d: abertas %d recusadas %d seguradas e cortadas %d em %.1f s"
          % (count, open_, refused, held, time.monotonic() - start))


def sockets(host, port, source, count, hold_s):
    selector = selectors.DefaultSelector()
    start = time.monotonic()
    started = open_many(host, port, source, count, selector)
    refused = count - len(started)
    upgraded, closed_after_upgrade = 0, 0
    watching = set()  # answered "spectator N"
    state = {s: b"" for s in started}  # the answer so far, until it is whole; then None
    request = HANDSHAKE.format(host=host, port=port).encode()
    last_line = 0.0
    while time.monotonic() - start < hold_s:
        for key, events in selector.select(timeout=0.1):
            s = key.fileobj
            if events & selectors.EVENT_WRITE:
                selector.modify(s, selectors.EVENT_READ)
                try:
                    s.send(request)
                except OSError:
                    pass
                continue
            try:
                data = s.recv(65536)
            except OSError:
                data = b""
            if not data:
                selector.unregister(s)
                s.close()
                if state[s] is None:
                    closed_after_upgrade += 1
                else:
                    refused += 1
                continue
            if state[s] is None:
                if s not in watching and b"spectator " in data:
                    watching.add(s)
                continue  # pictures: read and dropped
            state[s] += data
            if b"\r\n\r\n" in state[s]:
                if state[s].startswith(b"HTTP/1.1 101"):
                    upgraded += 1
                    state[s] = None
                    s.send(client_frame("watch"))
        if time.monotonic() - last_line >= 0.5:
            pending = count - refused - upgraded
            print("websockets abertas %d recusadas %d sem_resposta %d"
                  % (upgraded - closed_after_upgrade, refused, pending), flush=True)
            last_line = time.monotonic()
    pending = count - refused - upgraded
    for key in list(selector.get_map().values()):
        key.fileobj.close()
    print("websockets %d: abertas %d recusadas %d fechadas depois %d sem_resposta %d espectadores %d"
          % (count, upgraded, refused, closed_after_upgrade, pending, len(watching)))


def main():
    host, port, source, attack = sys.argv[1], int(sys.argv[2]), sys.argv[3], sys.argv[4]
    _, hard = resource.getrlimit(resource.RLIMIT_NOFILE)
    resource.setrlimit(resource.RLIMIT_NOFILE, (hard, hard))
    rest = sys.argv[5:]
    if attack == "head":
        head(host, port, source)
    elif attack == "message":
        message(host, port, source, rest[0])
    elif attack == "slow":
        slow(host, port, source)
    elif attack == "halfopen":
        halfopen(host, port, source, int(rest[0]))
    elif attack == "sockets":
        sockets(host, port, source, int(rest[0]), float(rest[1]))
    else:
        sys.exit("no attack called %s" % attack)


if __name__ == "__main__":
    main()
