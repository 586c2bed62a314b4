"""The browser's replay of real recorded streams against the game client's own (its interpreter,
through native_replay_probe), pixel by pixel.

    test_native_comparison.py IMG_DIR NATIVE_REPLAY_PROBE

Each stream in streams/ is replayed twice in the browser: with the game's pictures, where the
JPEG pictures may differ by a few levels (two JPEG decoders), and with every JPEG picture replaced
by the client's own decoding of it (a BMP under the same name), where the screens must be equal.
"""

import base64
import os
import re
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from browser_session import HERE, BrowserSession, skip_without_browser  # noqa: E402
from pictures import read_bmp  # noqa: E402

STREAMS = ("race.txt", "winner.txt")
# How far two JPEG decoders may differ on one channel of one pixel.
JPEG_TOLERANCE = 32
WIDTH, HEIGHT = 640, 480


def native_screen(probe, image_dir, stream, out):
    subprocess.run([probe, "replay", os.path.join(HERE, "streams", stream), out],
                   cwd=os.path.dirname(image_dir), check=True, stdout=subprocess.DEVNULL, timeout=120)
    width, height, rgb = read_bmp(out)
    assert (width, height) == (WIDTH, HEIGHT), "the native screen is %dx%d" % (width, height)
    return rgb


def decode_jpegs_natively(probe, image_dir, stream, overlay):
    """Writes the client's decoding of every JPEG `stream` loads into `overlay`, named as the JPEG."""
    with open(os.path.join(HERE, "streams", stream)) as f:
        paths = sorted(set(re.findall(r"load_bitmap \S+ (Img/\S+\.jpg)", f.read())))
    for path in paths:
        out = os.path.join(overlay, path[len("Img/"):])
        os.makedirs(os.path.dirname(out), exist_ok=True)
        # Written as a BMP (the probe's library chooses the format by the extension), then named.
        subprocess.run([probe, "decode", path, out + ".bmp"], cwd=os.path.dirname(image_dir),
                       check=True, timeout=60)
        os.replace(out + ".bmp", out)
    return len(paths)


def difference(native, browser):
    """(pixels that differ, the largest difference on a channel, where, native and browser colours)"""
    differing, largest, where = 0, 0, None
    for i in range(0, len(native), 3):
        a, b = native[i:i + 3], browser[i:i + 3]
        if a != b:
            differing += 1
            d = max(abs(x - y) for x, y in zip(a, b))
            if d > largest:
                pixel = i // 3
                largest, where = d, (pixel % WIDTH, pixel // WIDTH, tuple(a), tuple(b))
    return differing, largest, where


def browser_screen(browser, stream):
    encoded = browser.evaluate(
        "import('/tests/replay_text.js').then((m) => m.replayFile('/tests/streams/%s'))" % stream,
        timeout=120)
    rgb = base64.b64decode(encoded)
    assert len(rgb) == WIDTH * HEIGHT * 3
    return rgb


def main():
    skip_without_browser()
    image_dir, probe = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    failures = 0
    with tempfile.TemporaryDirectory(prefix="corrida-web-compare-") as scratch:
        overlay = os.path.join(scratch, "native-decoded")
        natives = {}
        for stream in STREAMS:
            natives[stream] = native_screen(probe, image_dir, stream,
                                            os.path.join(scratch, stream + ".bmp"))
            decode_jpegs_natively(probe, image_dir, stream, overlay)
        for pictures, dirs in (("the game's pictures", [image_dir]),
                               ("JPEGs as the client decodes them", [overlay, image_dir])):
            with BrowserSession(dirs) as browser:
                browser.open("/tests/blank.html")
                for stream in STREAMS:
                    differing, largest, where = difference(natives[stream],
                                                           browser_screen(browser, stream))
                    exact = dirs[0] == overlay
                    ok = differing == 0 if exact else largest <= JPEG_TOLERANCE
                    failures += not ok
                    print("%s: %s, %s: %d pixels differ, largest difference %d%s" % (
                        "ok" if ok else "FAILED", stream, pictures, differing, largest,
                        " at (%d, %d): native %s, browser %s" % where if where else ""))
    print("%d passed, %d failed" % (2 * len(STREAMS) - failures, failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
