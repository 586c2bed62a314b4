"""A headless Chromium driven over the DevTools protocol, and a loopback HTTP server for it.

The server serves the page (assets/web) at "/", the tests' own files (tests/web) at "/tests/", and
the game's pictures at "/Img/": first from the extra folders a test gives, then from the build's
Img/. Both the browser and the server are private to one test: the browser on a debugging port it
picks itself (read back from its profile folder), the server on a free loopback port; both are
stopped when the session ends, whatever happened.
"""

import base64
import http.server
import json
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time
import urllib.request

SKIPPED = 77  # ctest's SKIP_RETURN_CODE for these tests
HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE_ROOT = os.path.dirname(os.path.dirname(HERE))
PAGE_DIR = os.path.join(SOURCE_ROOT, "assets", "web")
START_TIMEOUT_S = 30
CALL_TIMEOUT_S = 60


def skip_without_browser():
    """Exits with SKIPPED and says why when the browser or the protocol client is missing."""
    if shutil.which("chromium") is None:
        print("SKIPPED: chromium is not installed (apt-get install chromium)")
        sys.exit(SKIPPED)
    try:
        import websocket  # noqa: F401
    except ImportError:
        print("SKIPPED: python3-websocket is not installed (apt-get install python3-websocket)")
        sys.exit(SKIPPED)


class _Handler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {
        ".html": "text/html",
        ".js": "text/javascript",
        ".css": "text/css",
        ".txt": "text/plain",
        ".bmp": "image/bmp",
        ".jpg": "image/jpeg",
        ".wav": "audio/wav",
        "": "application/octet-stream",
    }

    def translate_path(self, path):
        path = path.split("?", 1)[0].split("#", 1)[0]
        server = self.server
        if path.startswith("/Img/"):
            relative = path[len("/Img/"):]
            for folder in server.image_dirs:
                candidate = os.path.join(folder, relative)
                if os.path.isfile(candidate):
                    return candidate
            return os.path.join(server.image_dirs[-1], relative)
        if path.startswith("/tests/"):
            return os.path.join(HERE, path[len("/tests/"):])
        return os.path.join(PAGE_DIR, path.lstrip("/") or "index.html")

    def do_GET(self):
        # A picture in a "slow" folder comes after a delay; one in a "never" folder not before the
        # client has given up on it (both bounded, so that no server thread is left behind).
        if "/slow/" in self.path:
            time.sleep(0.2)
        elif "/never/" in self.path:
            time.sleep(8.0)
        self.server.requests.append(self.path)
        super().do_GET()

    def end_headers(self):
        self.send_header("Cache-Control", "no-store")
        super().end_headers()

    def log_message(self, *args):
        pass

    def handle(self):
        try:
            super().handle()
        except (BrokenPipeError, ConnectionResetError):
            pass  # the browser gave up on an answer (a load's time limit)


class BrowserSession:
    """with BrowserSession(image_dirs=[...]) as browser: browser.open("/tests/blank.html") ..."""

    def __init__(self, image_dirs, window=(1280, 960)):
        self.image_dirs = list(image_dirs)
        self.window = window
        self.server = None
        self.browser = None
        self.profile = None
        self.socket = None
        self.next_id = 0
        self.console = []

    def __enter__(self):
        try:
            self._start_server()
            self._start_browser()
            self._connect()
        except BaseException:
            self.close()
            raise
        return self

    def __exit__(self, *exc):
        self.close()
        return False

    @property
    def origin(self):
        return "http://127.0.0.1:%d" % self.server.server_address[1]

    def _start_server(self):
        self.server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), _Handler)
        self.server.daemon_threads = True
        self.server.image_dirs = self.image_dirs
        self.server.requests = []
        threading.Thread(target=self.server.serve_forever, daemon=True).start()

    def _start_browser(self):
        self.profile = tempfile.mkdtemp(prefix="corrida-web-profile-")
        args = [
            "chromium", "--headless", "--no-sandbox", "--user-data-dir=" + self.profile,
            "--remote-debugging-port=0", "--remote-debugging-address=127.0.0.1",
            "--window-size=%d,%d" % self.window, "--force-color-profile=srgb",
            "--hide-scrollbars", "--mute-audio", "--no-first-run", "--no-default-browser-check",
            "--disable-extensions", "--disable-background-networking", "--disable-component-update",
            "--disable-default-apps", "--disable-sync", "--disable-domain-reliability",
            "--disable-client-side-phishing-detection", "--no-pings", "--metrics-recording-only",
            "--disable-features=Translate,OptimizationHints,MediaRouter",
            "about:blank",
        ]
        self.log = open(os.path.join(self.profile, "browser.log"), "w")
        self.browser = subprocess.Popen(args, stdout=self.log, stderr=subprocess.STDOUT,
                                        stdin=subprocess.DEVNULL, start_new_session=True)

    def _connect(self):
        import websocket

        port_file = os.path.join(self.profile, "DevToolsActivePort")
        deadline = time.monotonic() + START_TIMEOUT_S
        port = None
        while port is None:
            if self.browser.poll() is not None:
                raise RuntimeError("chromium ended at start (status %d)" % self.browser.returncode)
            if time.monotonic() > deadline:
                raise RuntimeError("chromium gave no debugging port within %d s" % START_TIMEOUT_S)
            try:
                with open(port_file) as f:
                    port = int(f.readline().strip())
            except (OSError, ValueError):
                time.sleep(0.1)
        while True:
            try:
                with urllib.request.urlopen("http://127.0.0.1:%d/json/list" % port, timeout=5) as r:
                    targets = json.load(r)
                page = next(t for t in targets if t.get("type") == "page")
                break
            except (OSError, StopIteration, ValueError):
                if time.monotonic() > deadline:
                    raise RuntimeError("chromium showed no page within %d s" % START_TIMEOUT_S)
                time.sleep(0.1)
        self.socket = websocket.create_connection(page["webSocketDebuggerUrl"],
                                                  timeout=CALL_TIMEOUT_S, suppress_origin=True)
        self.call("Runtime.enable")
        self.call("Page.enable")

    def close(self):
        if self.socket is not None:
            try:
                self.socket.close()
            except Exception:
                pass
            self.socket = None
        if self.browser is not None:
            if self.browser.poll() is None:
                try:
                    os.killpg(self.browser.pid, signal.SIGTERM)
                    self.browser.wait(timeout=10)
                except (ProcessLookupError, subprocess.TimeoutExpired):
                    try:
                        os.killpg(self.browser.pid, signal.SIGKILL)
                    except ProcessLookupError:
                        pass
                    self.browser.wait(timeout=10)
            self.browser = None
            self.log.close()
        if self.server is not None:
            self.server.shutdown()
            self.server.server_close()
            self.server = None
        if self.profile is not None:
            shutil.rmtree(self.profile, ignore_errors=True)
            self.profile = None

    def call(self, method, params=None, timeout=CALL_TIMEOUT_S):
        """Sends one protocol command and gives its result (events met on the way are kept)."""
        self.next_id += 1
        ident = self.next_id
        self.socket.send(json.dumps({"id": ident, "method": method, "params": params or {}}))
        deadline = time.monotonic() + timeout
        while True:
            left = deadline - time.monotonic()
            if left <= 0:
                raise TimeoutError("%s: no answer within %d s" % (method, timeout))
            self.socket.settimeout(left)
            message = json.loads(self.socket.recv())
            if message.get("id") == ident:
                if "error" in message:
                    raise RuntimeError("%s: %s" % (method, message["error"]))
                return message.get("result", {})
            self._keep_event(message)

    def _keep_event(self, message):
        method = message.get("method")
        if method == "Runtime.consoleAPICalled":
            args = message["params"].get("args", [])
            self.console.append(" ".join(str(a.get("value", a.get("description", ""))) for a in args))
        elif method == "Runtime.exceptionThrown":
            details = message["params"]["exceptionDetails"]
            self.console.append("exception: " + details.get("exception", {}).get(
                "description", details.get("text", "")))

    def evaluate(self, expression, timeout=CALL_TIMEOUT_S):
        """The value of a JavaScript expression (a promise is awaited), or an error raised."""
        result = self.call("Runtime.evaluate", {
            "expression": expression, "awaitPromise": True, "returnByValue": True,
            "timeout": int(timeout * 1000),
        }, timeout=timeout + 5)
        if "exceptionDetails" in result:
            details = result["exceptionDetails"]
            text = details.get("exception", {}).get("description") or details.get("text")
            raise RuntimeError("in the page: %s" % text)
        return result["result"].get("value")

    def open(self, path, ready="document.readyState === 'complete'", timeout=30):
        """Loads the page at `path` of the test server and waits until `ready` holds."""
        url = self.origin + path
        self.call("Page.navigate", {"url": url})
        self.wait_for("location.href === %s && (%s)" % (json.dumps(url), ready), timeout)

    def wait_for(self, condition, timeout=30):
        deadline = time.monotonic() + timeout
        while not self.evaluate("Boolean(%s)" % condition):
            if time.monotonic() > deadline:
                raise TimeoutError("the page never got to: %s" % condition)
            time.sleep(0.05)

    def screenshot(self):
        """The page as PNG bytes."""
        return base64.b64decode(self.call("Page.captureScreenshot", {"format": "png"})["data"])
