"""The replayer's own tests (replayer_test.js), run in a headless Chromium.

    test_replayer.py IMG_DIR
"""

import json
import os
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from browser_session import BrowserSession, skip_without_browser  # noqa: E402
from pictures import write_bmp  # noqa: E402

PINK = (255, 0, 255)
# The same picture as PINK_PICTURE in replayer_test.js.
PINK_PICTURE = [
    [(255, 0, 0), PINK, (0, 255, 0), PINK],
    [(0, 0, 255), (10, 20, 30), PINK, (254, 0, 255)],
    [PINK, PINK, (255, 255, 255), (0, 0, 0)],
]


def write_fixtures(folder):
    webtest = os.path.join(folder, "webtest")
    for sub in ("", "slow", "never"):
        os.makedirs(os.path.join(webtest, sub), exist_ok=True)
        write_bmp(os.path.join(webtest, sub, "pink.bmp"), PINK_PICTURE)
    write_bmp(os.path.join(webtest, "wide.bmp"), [[(9, 9, 9)] * 18001])


def main():
    skip_without_browser()
    image_dir = os.path.abspath(sys.argv[1])
    with tempfile.TemporaryDirectory(prefix="corrida-web-fixtures-") as fixtures:
        write_fixtures(fixtures)
        with BrowserSession([fixtures, image_dir]) as browser:
            browser.open("/tests/blank.html")
            results = browser.evaluate("import('/tests/replayer_test.js').then((m) => m.run())",
                                       timeout=240)
            if not results:
                print("\n".join(browser.console))
    failed = [r for r in results if not r["ok"]]
    for result in results:
        print("%s: %s" % ("ok" if result["ok"] else "FAILED", result["name"]))
        if not result["ok"]:
            print("    " + result["message"].replace("\n", "\n    "))
    print("%d passed, %d failed" % (len(results) - len(failed), len(failed)))
    return 1 if failed or not results else 0


if __name__ == "__main__":
    sys.exit(main())
