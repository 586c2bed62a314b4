"""The watching page (index.html): a recorded stream replayed with ?demo=, the picture scaled to the
largest 4:3 size the window holds, its pixels kept sharp, and what it shows on screen.

    test_page.py IMG_DIR [ignored]
"""

import base64
import json
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from browser_session import BrowserSession, skip_without_browser  # noqa: E402
from pictures import read_png  # noqa: E402

# The window is twice the picture's size, so every pixel of the picture is a 2 x 2 square on screen.
WINDOW = (1280, 960)
# Window sizes (CSS pixels) and the picture's expected place: left, top, width, height.
LAYOUTS = [
    ((1280, 960), (0, 0, 1280, 960)),
    ((390, 844), (0, 275.75, 390, 292.5)),  # a phone upright
    ((844, 390), (162, 0, 520, 390)),  # the same phone on its side
    ((1000, 1000), (0, 125, 1000, 750)),
]


def set_window(browser, width, height):
    browser.call("Emulation.setDeviceMetricsOverride", {
        "width": width, "height": height, "deviceScaleFactor": 1, "mobile": width < height})
    browser.wait_for("innerWidth === %d && innerHeight === %d" % (width, height))


def screen_rect(browser):
    return browser.evaluate(
        "(() => { const r = document.getElementById('screen').getBoundingClientRect();"
        " return [r.left, r.top, r.width, r.height]; })()")


def check_screenshot(browser, failures):
    """The screenshot shows the canvas's own pixels, each as a sharp 2 x 2 square."""
    canvas = base64.b64decode(browser.evaluate(
        "(() => { const p = window.corrida.replayer.pixels(); let t = '';"
        " for (let i = 0; i < p.length; i += 4) t += String.fromCharCode(p[i], p[i + 1], p[i + 2]);"
        " return btoa(t); })()"))
    # A region with the sprites blitted onto the screen and the picture's edge.
    clip = {"x": 0, "y": 0, "width": 720, "height": 120, "scale": 1}
    shot = base64.b64decode(browser.call("Page.captureScreenshot", {"format": "png", "clip": clip})
                            ["data"])
    width, height, rgb = read_png(shot)
    wrong = 0
    for y in range(height):
        for x in range(width):
            i = (y * width + x) * 3
            j = ((y // 2) * 640 + x // 2) * 3
            wrong += rgb[i:i + 3] != canvas[j:j + 3]
    ok = (width, height) == (720, 120) and wrong == 0
    failures.append(None if ok else "screenshot: %dx%d, %d pixels unlike the canvas" % (
        width, height, wrong))
    print("%s: the screenshot shows the picture's pixels as 2 x 2 squares (%d unlike)" % (
        "ok" if ok else "FAILED", wrong))


def main():
    skip_without_browser()
    image_dir = os.path.abspath(sys.argv[1])
    failures = []
    with BrowserSession([image_dir], window=WINDOW) as browser:
        browser.open("/index.html?demo=tests/streams/winner.txt",
                     ready="document.body && document.body.dataset.demo === 'done'", timeout=60)
        viewport = browser.evaluate(
            "document.querySelector('meta[name=viewport]').getAttribute('content')")
        ok = "width=device-width" in viewport and "initial-scale=1" in viewport
        failures.append(None if ok else "viewport: " + viewport)
        print("%s: a phone page's viewport (%s)" % ("ok" if ok else "FAILED", viewport))
        style = browser.evaluate("getComputedStyle(document.getElementById('screen')).imageRendering")
        ok = style == "pixelated"
        failures.append(None if ok else "image-rendering: " + style)
        print("%s: image-rendering %s" % ("ok" if ok else "FAILED", style))

        # Pictures with magic pink, copied to the screen as they are: pink must show as pink.
        browser.evaluate("(() => { window.corrida.replayer.feed("
                         "'load_bitmap n Img/menu/ninguem.bmp;blit n screen 0 0 40 10 300 40');"
                         " return window.corrida.replayer.idle()"
                         ".then(() => window.corrida.player.present()); })()")
        set_window(browser, *WINDOW)
        browser.wait_for("new Promise((r) => requestAnimationFrame(() => r(true)))")
        check_screenshot(browser, failures)

        for (width, height), expected in LAYOUTS:
            set_window(browser, width, height)
            rect = screen_rect(browser)
            ok = all(abs(a - b) < 1 for a, b in zip(rect, expected))
            failures.append(None if ok else "window %dx%d: %s" % (width, height, json.dumps(rect)))
            print("%s: window %dx%d, picture at %s (expected %s)" % (
                "ok" if ok else "FAILED", width, height, rect, list(expected)))
    failed = sum(f is not None for f in failures)
    print("%d passed, %d failed" % (len(failures) - failed, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
