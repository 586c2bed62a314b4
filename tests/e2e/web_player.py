#!/usr/bin/env python3
"""A browser's part over the web port's WebSocket, without a browser: it asks for a place ("join"
or "watch"), reads the pictures and pings every two seconds as the page does, and never flips.

    web_player.py HOST PORT join|watch LOG [SOURCE]

SOURCE: the loopback address to connect from (127.0.0.1 by default).

Its first line on standard output is the server's answer ("player N SECRET", "spectator N" or
"refused ..."), then "porta local P" (its end of the connection, to find it in `ss`). Each picture
it receives (each "frame" marker in the delta-packed stream, inflated from the stream messages:
each the length of its answer in LEB128, then the answer in the place's zlib stream) is one line of
LOG: the time it came,
in ms on this machine's monotonic clock, and the server's number of that picture. It ends on
SIGTERM or SIGINT, or when the server closes the WebSocket (then "fechada" on standard output).
"""
import re
import signal
import socket as pysocket
import sys
import time
import zlib

import websocket

PING_INTERVAL_S = 2.0
PLAIN_MARKER = re.compile(r"^frame (\d+) -?\d+$")
PACKED_MARKER = re.compile(r"^#frame ([+-]?\d*),")


class MarkerReader:
    """Follows the number of the "frame" markers through the delta packing: a marker goes whole
    ("frame N T") or as its differences from the one before ("#frame +1,+33")."""

    def __init__(self):
        self.number = None

    def pictures(self, packed):
        for piece in packed.split(";"):
            plain = PLAIN_MARKER.match(piece)
            if plain:
                self.number = int(plain.group(1))
                yield self.number
                continue
            packed_marker = PACKED_MARKER.match(piece)
            if packed_marker and self.number is not None:
                self.number += int(packed_marker.group(1) or "0")
                yield self.number


class StreamMessages:
    """The answers of the place's stream messages: each message's head (the answer's length, an
    unsigned LEB128 number) read off, the rest inflated in one zlib stream."""

    def __init__(self):
        self.inflater = zlib.decompressobj()

    def answer(self, message):
        length, shift, at = 0, 0, 0
        while at < len(message):
            length |= (message[at] & 0x7F) << shift
            shift += 7
            at += 1
            if not message[at - 1] & 0x80:
                break
        text = self.inflater.decompress(message[at:])
        if len(text) != length:
            raise ValueError("an answer of %d bytes announced as %d" % (len(text), length))
        return text.decode("utf-8", "replace")


def main():
    host, port, ask, log_path = sys.argv[1], int(sys.argv[2]), sys.argv[3], sys.argv[4]
    source = sys.argv[5] if len(sys.argv) > 5 else "127.0.0.1"
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(0))
    connection = pysocket.create_connection((host, port), timeout=10, source_address=(source, 0))
    socket = websocket.create_connection("ws://%s:%d/jogo" % (host, port), timeout=10,
                                         suppress_origin=True, socket=connection)
    socket.send(ask)
    answer = socket.recv()
    print(answer, flush=True)
    print("porta local %d" % socket.sock.getsockname()[1], flush=True)
    socket.settimeout(0.5)
    reader = MarkerReader()
    messages = StreamMessages()
    last_ping = time.monotonic()
    with open(log_path, "a", buffering=1) as log:
        while True:
            try:
                opcode, data = socket.recv_data()
            except websocket.WebSocketTimeoutException:
                opcode, data = None, b""
            except websocket.WebSocketConnectionClosedException:
                print("fechada", flush=True)
                return
            if opcode == websocket.ABNF.OPCODE_CLOSE:
                print("fechada", flush=True)
                return
            if opcode == websocket.ABNF.OPCODE_BINARY:
                now_ms = int(time.monotonic() * 1000)
                for number in reader.pictures(messages.answer(data)):
                    log.write("%d %d\n" % (now_ms, number))
            if time.monotonic() - last_ping >= PING_INTERVAL_S:
                socket.send("ping")
                last_ping = time.monotonic()


if __name__ == "__main__":
    try:
        main()
    except KeyboardInterrupt:
        pass
