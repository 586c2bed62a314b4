"""The page's reading of the stream (stream_logic_test.js) in a headless Chromium: the unpacker on
streams that the server's own packer packed (delta_pack_probe), the play-out schedule, the player.

    test_stream_logic.py IMG_DIR NATIVE_REPLAY_PROBE DELTA_PACK_PROBE
"""

import os
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from browser_session import HERE, skip_without_browser  # noqa: E402
from module_tests import run_module  # noqa: E402
from pictures import write_bmp  # noqa: E402
from test_replayer import PINK_PICTURE  # noqa: E402


def race_answers():
    """A race as the server records it, one picture an answer, with a bitmap dropped now and then."""
    answers = []
    for n in range(1, 301):
        text = "part %d;blit mapaVisual bufferVisual %d 0 %d 0 640 480" % (n, 10 * n, 10 * n)
        for runner in range(1, 7):
            if (n + runner) % 3 == 0:
                text += ";blit bitmapBase%d bitmap%d %d 0 0 0 42 47" % (runner, runner,
                                                                       42 * ((n + runner) % 4))
            text += ";draw_sprite bufferVisual bitmap%d %d %d" % (runner, 10 * n + 300,
                                                                   150 + 48 * runner)
        text += ";blit bufferVisual screen %d 0 0 0 640 480;frame %d %d;" % (10 * n, n, 1000 + 35 * n)
        if n % 50 == 0:
            text += "destroy_bitmap bitmap%d;" % n
        answers.append(text)
    return answers


def shape_answers():
    return [
        "", ";;",
        "#note 5;##twice 6;#;# 7;blit a b 1 2;blit a b 1 2",
        "blit a b 1 2;blit a b 3 4;blit a b 3 4;",
        "blit a b 1 2 3;blit a b 7",
        "blit a b -0 007 5;blit a b -0 007 6;x 0;x -1;x 1",
        "x 999999999999999;x -999999999999999;x 1000000000000000;x 1000000000000000",
        "edge  5;edge  5 ;edge 5  6; 5;5;-5 5",
        "many " + " ".join(str(i) for i in range(1, 19)) + ";many "
        + " ".join(str(i) for i in range(1, 18)) + " 19",
        "x " + "1" * 300 + ";x " + "1" * 300,
        "blit a b 1 2;blit a b 1 2 ;\nblit a b 1 2\n",
        "load_bitmap \u00e1rvore Img/\u00e1rvore.bmp 3;load_bitmap \u00e1rvore Img/\u00e1rvore.bmp 4",
    ]


def memory_full_answers():
    answers = []
    for n in range(0, 3 * 512, 7):
        answers.append("".join("draw_sprite buffer sprite%d %d 5;" % (key % 700, n)
                               for key in range(n, n + 40)))
    return answers


def recorded_answers():
    """The recorded streams, a batch an answer, marked as the server marks its pictures."""
    answers = []
    for name in ("race.txt", "winner.txt"):
        with open(os.path.join(HERE, "streams", name)) as f:
            batches = f.read().split("\n")
        for i, batch in enumerate(batches):
            answers.append("part %d;%sframe %d %d;" % (i + 1, batch, i + 1, 34 * i))
    return answers


def pack(probe, answers, scratch):
    """The packed texts, and the web port's stream messages of them (hexadecimal)."""
    plain = os.path.join(scratch, "plain")
    packed = os.path.join(scratch, "packed")
    messages = os.path.join(scratch, "messages")
    with open(plain, "wb") as f:
        f.write(b"".join(a.encode() + b"\0" for a in answers))
    subprocess.run([probe, plain, packed, messages], check=True, timeout=60)
    with open(packed, "rb") as f:
        texts = [t.decode() for t in f.read().split(b"\0")[:-1]]
    with open(messages) as f:
        hexes = f.read().split()
    assert len(texts) == len(answers), "the probe packed %d of %d" % (len(texts), len(answers))
    assert len(hexes) == len(answers), "the probe framed %d of %d" % (len(hexes), len(answers))
    return texts, hexes


def main():
    skip_without_browser()
    image_dir, probe = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[3])
    with tempfile.TemporaryDirectory(prefix="corrida-web-stream-") as scratch:
        streams = []
        for name, answers in (("race", race_answers()), ("shapes", shape_answers()),
                              ("memory full", memory_full_answers()),
                              ("recorded", recorded_answers())):
            packed, messages = pack(probe, answers, scratch)
            deltas = sum(p.count(";#") for p in packed)
            print("%s: %d answers, %d bytes plain, %d packed, %d deltas, %d in messages" % (
                name, len(answers), sum(map(len, answers)), sum(map(len, packed)), deltas,
                sum(len(m) // 2 for m in messages)))
            streams.append({"name": name, "plain": answers, "packed": packed,
                            "messages": messages})
        fixtures = os.path.join(scratch, "fixtures", "webtest")
        for sub in ("", "slow"):
            os.makedirs(os.path.join(fixtures, sub), exist_ok=True)
            write_bmp(os.path.join(fixtures, sub, "pink.bmp"), PINK_PICTURE)
        return run_module([os.path.dirname(fixtures), image_dir], "/tests/stream_logic_test.js",
                          {"packedStreams": streams})


if __name__ == "__main__":
    sys.exit(main())
