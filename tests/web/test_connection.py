"""The page's connection (connection_test.js) in a headless Chromium, over a fake WebSocket
(fake_socket.js) on a simulated clock: no server.

    test_connection.py IMG_DIR
"""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from browser_session import HERE, skip_without_browser  # noqa: E402
from module_tests import run_module  # noqa: E402


def main():
    skip_without_browser()
    with open(os.path.join(HERE, "fake_socket.js")) as f:
        fake_socket = f.read()
    return run_module([os.path.abspath(sys.argv[1])], "/tests/connection_test.js",
                      setup_scripts=[fake_socket], timeout=120)


if __name__ == "__main__":
    sys.exit(main())
