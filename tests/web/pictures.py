"""Reading and writing the pictures the browser tests compare: 24-bit BMP files (what the game's
pictures and the native probe's screens are) and the browser's PNG screenshots, as rows of RGB."""

import struct
import zlib


def write_bmp(path, rows):
    """Writes `rows` (top first, each a list of (r, g, b)) as an uncompressed 24-bit BMP."""
    height, width = len(rows), len(rows[0])
    stride = (width * 3 + 3) & ~3
    body = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        body += line + bytes(stride - len(line))
    header = struct.pack("<2sIHHI", b"BM", 54 + len(body), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(body), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + body)


def read_bmp(path):
    """The pixels of an uncompressed 24- or 32-bit BMP: (width, height, bytes RGB top first)."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:2] != b"BM":
        raise ValueError("%s: not a BMP" % path)
    offset = struct.unpack_from("<I", data, 10)[0]
    width, height, _, bits, compression = struct.unpack_from("<iiHHI", data, 18)
    if bits not in (24, 32) or compression not in (0, 3):
        raise ValueError("%s: %d bits, compression %d" % (path, bits, compression))
    step = bits // 8
    stride = (width * step + 3) & ~3
    bottom_up = height > 0
    height = abs(height)
    rgb = bytearray(width * height * 3)
    for y in range(height):
        source = offset + (height - 1 - y if bottom_up else y) * stride
        line = data[source:source + width * step]
        out = y * width * 3
        rgb[out:out + width * 3:3] = line[2::step]
        rgb[out + 1:out + width * 3:3] = line[1::step]
        rgb[out + 2:out + width * 3:3] = line[0::step]
    return width, height, bytes(rgb)


def read_png(data):
    """The pixels of an 8-bit RGB or RGBA PNG (no interlacing): (width, height, bytes RGB)."""
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError("not a PNG")
    position, compressed = 8, bytearray()
    width = height = channels = None
    while position < len(data):
        length, kind = struct.unpack_from(">I4s", data, position)
        chunk = data[position + 8:position + 8 + length]
        position += 12 + length
        if kind == b"IHDR":
            width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", chunk)
            if depth != 8 or colour not in (2, 6) or interlace:
                raise ValueError("PNG of depth %d, colour type %d" % (depth, colour))
            channels = 3 if colour == 2 else 4
        elif kind == b"IDAT":
            compressed += chunk
        elif kind == b"IEND":
            break
    raw = zlib.decompress(bytes(compressed))
    stride = width * channels
    previous = bytearray(stride)
    rgb = bytearray()
    for y in range(height):
        start = y * (stride + 1)
        kind, line = raw[start], bytearray(raw[start + 1:start + 1 + stride])
        for i in range(stride):
            left = line[i - channels] if i >= channels else 0
            up = previous[i]
            if kind == 1:
                line[i] = (line[i] + left) & 255
            elif kind == 2:
                line[i] = (line[i] + up) & 255
            elif kind == 3:
                line[i] = (line[i] + ((left + up) >> 1)) & 255
            elif kind == 4:
                upper_left = previous[i - channels] if i >= channels else 0
                estimate = left + up - upper_left
                pa, pb, pc = abs(estimate - left), abs(estimate - up), abs(estimate - upper_left)
                nearest = left if pa <= pb and pa <= pc else (up if pb <= pc else upper_left)
                line[i] = (line[i] + nearest) & 255
        previous = line
        if channels == 3:
            rgb += line
        else:
            pixels = bytearray(width * 3)
            pixels[0::3], pixels[1::3], pixels[2::3] = line[0::4], line[1::4], line[2::4]
            rgb += pixels
    return width, height, bytes(rgb)
