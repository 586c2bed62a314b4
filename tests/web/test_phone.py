"""The game page on a phone: a 390 x 844 touch screen, held upright and then on its side, over a
fake WebSocket (fake_socket.js, put in the page before its own scripts) that plays the server:
the page watches, a tap on JOGAR joins, the stream (packed by the server's packer,
delta_pack_probe) plays, and a tap on the picture flips. Screenshots are left in the working folder
(web_phone_*.png) for a look.

    test_phone.py IMG_DIR NATIVE_REPLAY_PROBE DELTA_PACK_PROBE
"""

import json
import os
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from browser_session import HERE, BrowserSession, skip_without_browser  # noqa: E402
from pictures import read_png  # noqa: E402

PHONE = (390, 844)
SECRET = "5" * 32
PICTURES = 120
DRAWN_APART_MS = 34


def stream_answers():
    """The recorded race's stage, then a race of PICTURES pictures, one answer each."""
    with open(os.path.join(HERE, "streams", "race.txt")) as f:
        batches = f.read().split("\n")
    stage = "".join(b for b in batches if b and "pause" not in b)
    answers = ["part 1;%sframe 0 0;" % stage]
    for n in range(1, PICTURES + 1):
        x = 10 * n
        answers.append(
            "part %d;blit mapaVisual bufferVisual %d 0 %d 0 640 480;"
            "draw_sprite bufferVisual bitmap10 %d 344;draw_sprite bufferVisual bitmap11 %d 392;"
            "blit bufferVisual screen %d 0 0 0 640 480;frame %d %d;"
            % (n + 1, x, x, x + 272, x + 260, x, n, n * DRAWN_APART_MS))
    return answers


def pack(probe, answers):
    with tempfile.TemporaryDirectory(prefix="corrida-web-phone-") as scratch:
        plain, packed = os.path.join(scratch, "plain"), os.path.join(scratch, "packed")
        with open(plain, "wb") as f:
            f.write(b"".join(a.encode() + b"\0" for a in answers))
        subprocess.run([probe, plain, packed], check=True, timeout=60)
        with open(packed, "rb") as f:
            return [t.decode() for t in f.read().split(b"\0")[:-1]]


class Checks:
    def __init__(self):
        self.failed = 0
        self.count = 0

    def __call__(self, ok, what):
        self.count += 1
        self.failed += not ok
        print("%s: %s" % ("ok" if ok else "FAILED", what))


def set_phone(browser, width, height, wait=True):
    browser.call("Emulation.setDeviceMetricsOverride", {
        "width": width, "height": height, "deviceScaleFactor": 1, "mobile": True,
        "screenOrientation": {"type": "portraitPrimary" if height > width else "landscapePrimary",
                              "angle": 0 if height > width else 90}})
    if wait:  # (a blank page without a phone's viewport is wider)
        browser.wait_for("innerWidth === %d && innerHeight === %d" % (width, height))


def tap(browser, x, y):
    point = [{"x": x, "y": y, "radiusX": 4, "radiusY": 4, "force": 1, "id": 1}]
    browser.call("Input.dispatchTouchEvent", {"type": "touchStart", "touchPoints": point})
    browser.call("Input.dispatchTouchEvent", {"type": "touchEnd", "touchPoints": []})


def rect(browser, selector):
    return browser.evaluate(
        "(() => { const r = document.querySelector(%s).getBoundingClientRect();"
        " return {left: r.left, top: r.top, right: r.right, bottom: r.bottom,"
        " width: r.width, height: r.height}; })()" % json.dumps(selector))


def sent(browser):
    """What the page sent on its latest socket, pings left out (they come every 2 s)."""
    return [m for m in browser.evaluate(
        "fakeSockets.length ? fakeSockets[fakeSockets.length - 1].sent : []") if m != "ping"]


def check_reachable(browser, check, selector, what):
    """The element lies inside the window and is large enough for a finger."""
    r = rect(browser, selector)
    width, height = browser.evaluate("[innerWidth, innerHeight]")
    ok = (r["left"] >= 0 and r["top"] >= 0 and r["right"] <= width and r["bottom"] <= height
          and r["height"] >= 44 and r["width"] >= 44)
    check(ok, "%s within the %dx%d window and a finger's size (%s)" % (
        what, width, height, json.dumps({k: round(v) for k, v in r.items()})))


def screenshot(browser, name, check):
    shot = browser.screenshot()
    with open(name, "wb") as f:
        f.write(shot)
    width, height, rgb = read_png(shot)
    expected = tuple(browser.evaluate("[innerWidth, innerHeight]"))
    check((width, height) == expected, "screenshot %s, %dx%d" % (os.path.abspath(name), width, height))


def main():
    skip_without_browser()
    image_dir, probe = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[3])
    packed = pack(probe, stream_answers())
    with open(os.path.join(HERE, "fake_socket.js")) as f:
        fake_socket = f.read()
    check = Checks()
    with BrowserSession([image_dir], window=PHONE) as browser:
        set_phone(browser, *PHONE, wait=False)
        browser.call("Emulation.setTouchEmulationEnabled", {"enabled": True, "maxTouchPoints": 5})
        browser.call("Page.addScriptToEvaluateOnNewDocument",
                     {"source": fake_socket + "\nWebSocket = FakeWebSocket;"})
        browser.open("/index.html", ready="window.corrida && fakeSockets.length === 1")
        browser.wait_for("innerWidth === %d && innerHeight === %d" % PHONE)
        viewport = browser.evaluate(
            "document.querySelector('meta[name=viewport]').getAttribute('content')")
        check("width=device-width" in viewport and "user-scalable=no" in viewport,
              "a phone's viewport, no zoom (%s)" % viewport)
        browser.evaluate("fakeSockets[0].open()")
        check(sent(browser) == ["watch"], "the page asks to watch (%s)" % sent(browser))
        browser.evaluate("fakeSockets[0].text('spectator 1')")
        browser.wait_for("window.corrida.status === 'Assistindo'", timeout=10)

        # A spectator's tap on the picture flips nothing; a tap on JOGAR joins.
        screen = rect(browser, "#screen")
        tap(browser, screen["left"] + screen["width"] / 2, screen["top"] + screen["height"] / 2)
        check_reachable(browser, check, "#join", "JOGAR")
        join = rect(browser, "#join")
        screenshot(browser, "web_phone_watching.png", check)
        tap(browser, (join["left"] + join["right"]) / 2, (join["top"] + join["bottom"]) / 2)
        browser.wait_for("fakeSockets[0].sent.includes('join')", timeout=10)
        check(sent(browser) == ["watch", "join"], "a tap on JOGAR joins, the picture's flips "
              "nothing (%s)" % sent(browser))
        browser.evaluate("fakeSockets[0].text('player 2 %s')" % SECRET)
        browser.wait_for("window.corrida.status === 'Jogador 2'", timeout=10)

        # The stream: the stage, then, once it is shown, three pictures every 102 ms, as a race
        # comes (the fake server's clock starts with the race: the stage's loading does not
        # delay it).
        browser.evaluate("fakeSockets[0].binary(%s)" % json.dumps(packed[0]))
        browser.wait_for("window.corrida.lastFrame === 0", timeout=60)
        browser.evaluate("""(() => {
            const answers = %s;
            const socket = fakeSockets[0];
            let next = 1;
            window.raceStart = performance.now();
            const timer = setInterval(() => {
              for (let i = 0; i < 3 && next < answers.length; i++) socket.binary(answers[next++]);
              if (next >= answers.length) clearInterval(timer);
            }, 102);
        })()""" % json.dumps(packed))
        browser.wait_for("window.corrida.lastFrame === %d" % PICTURES, timeout=60)
        shown, skipped, seconds = browser.evaluate(
            "[window.corrida.shown - 1, window.corrida.player.skipped,"
            " (performance.now() - window.raceStart) / 1000]")
        # The pace is checked on a simulated clock (stream_logic_test.js); here it is only told,
        # as a loaded machine may skip pictures.
        check(shown + skipped == PICTURES, "the race played to its last picture: %d pictures "
              "shown, %d skipped, %.1f a second" % (shown, skipped, shown / seconds))

        before = len(sent(browser))
        tap(browser, screen["left"] + screen["width"] / 2, screen["top"] + screen["height"] / 2)
        browser.wait_for("fakeSockets[0].sent.filter((m) => m !== 'ping').length > %d" % before,
                         timeout=10)
        check(sent(browser)[before:] == ["flip"], "a player's tap on the picture flips (%s)"
              % sent(browser)[before:])
        check_reachable(browser, check, "#pause", "the pause button")
        pause = rect(browser, "#pause")
        check(pause["top"] >= screen["bottom"], "upright, the pause button is below the picture")
        status = rect(browser, "#status")
        check(status["bottom"] <= screen["top"] and status["height"] >= 18,
              "upright, the status line is above the picture")
        screenshot(browser, "web_phone_upright.png", check)

        set_phone(browser, PHONE[1], PHONE[0])
        check_reachable(browser, check, "#pause", "on its side, the pause button")
        pause = rect(browser, "#pause")
        before = len(sent(browser))
        tap(browser, (pause["left"] + pause["right"]) / 2, (pause["top"] + pause["bottom"]) / 2)
        browser.wait_for("fakeSockets[0].sent.filter((m) => m !== 'ping').length > %d" % before,
                         timeout=10)
        check(sent(browser)[before:] == ["pause"], "a tap on the pause button pauses (%s)"
              % sent(browser)[before:])
        screenshot(browser, "web_phone_side.png", check)
        errors = [line for line in browser.console if line.startswith("exception")]
        check(not errors, "no uncaught error (%s)" % errors)
    print("%d passed, %d failed" % (check.count - check.failed, check.failed))
    return 1 if check.failed else 0


if __name__ == "__main__":
    sys.exit(main())
