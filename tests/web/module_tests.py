"""Runs a module of browser tests (a Suite of harness.js) in a headless Chromium and prints each
result, then the closing count: the common part of the test_*.py scripts that run JS tests."""

import json

from browser_session import BrowserSession


def run_module(image_dirs, module, argument=None, timeout=240, setup_scripts=()):
    """Opens the blank page, runs each of `setup_scripts` (file contents) in it, then
    `module`'s run(argument); prints the results and gives the exit status."""
    with BrowserSession(image_dirs) as browser:
        browser.open("/tests/blank.html")
        for script in setup_scripts:
            browser.evaluate(script)
        results = browser.evaluate("import(%s).then((m) => m.run(%s))" % (
            json.dumps(module), json.dumps(argument)), timeout=timeout)
        if not results:
            print("\n".join(browser.console))
            results = []
    failed = [r for r in results if not r["ok"]]
    for result in results:
        print("%s: %s" % ("ok" if result["ok"] else "FAILED", result["name"]))
        if not result["ok"]:
            print("    " + result["message"].replace("\n", "\n    "))
    print("%d passed, %d failed" % (len(results) - len(failed), len(failed)))
    return 1 if failed or not results else 0
