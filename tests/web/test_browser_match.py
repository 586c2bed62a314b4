"""A match with a browser and a native client: `corrida servidor 2 --web PORT` with its own names
on port 9001 (under the end-to-end tests' lock), one headless Chromium as a phone (a 390 x 844 touch
screen) that taps JOGAR and plays player 1 with taps, the native client as player 2 in a private Xvfb, and a second Chromium that
watches. Checked:
- the watching page's canvas changes at least 25 times a second while the race runs;
- a tap flips the browser's own runner (1) and not the other (2), seen in the browser's canvas;
- a reload takes player 1 back;
- nothing the pages sent was refused.
Screenshots of both pages are left in BUILD/test-artifacts/browser_match/ (the watching one is the
README's picture of the page: scripts/screenshots).

    test_browser_match.py IMG_DIR ...
"""

import base64
import fcntl
import json
import os
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from browser_session import BrowserSession, skip_without_browser  # noqa: E402

LOCK = "/tmp/corrida-net-tests.lock"
MIN_CHANGES_PER_SECOND = 25
HOLD_S = 0.15  # a tap or a key held 100-200 ms
PHONE = (390, 844)
FLOOR_Y = 300  # a runner standing on the floor has its top below this

# Counts, in the page, every animation frame on which the canvas shows something new.
COUNT_CHANGES = """
(() => {
  const canvas = document.getElementById('screen');
  const context = canvas.getContext('2d', {willReadFrequently: true});
  window.canvasChanges = [];
  let last = null;
  const look = () => {
    const pixels = context.getImageData(0, 0, canvas.width, canvas.height).data;
    let hash = 0;
    for (let i = 0; i < pixels.length; i += 28) hash = (Math.imul(hash, 31) + pixels[i]) | 0;
    if (hash !== last) window.canvasChanges.push(performance.now());
    last = hash;
    requestAnimationFrame(look);
  };
  requestAnimationFrame(look);
  return true;
})()
"""


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class Processes:
    """The programs this test starts, all stopped at the end whatever happened."""

    def __init__(self, scratch):
        self.scratch = scratch
        self.running = []

    def start(self, name, args, **kwargs):
        out = open(os.path.join(self.scratch, name + ".out"), "w")
        process = subprocess.Popen(args, stdout=out, stderr=subprocess.STDOUT,
                                   stdin=subprocess.DEVNULL, start_new_session=True, **kwargs)
        self.running.append((name, process, out))
        return process

    def output(self, name):
        with open(os.path.join(self.scratch, name + ".out"), errors="replace") as f:
            return f.read()

    def wait_output(self, name, text, seconds):
        deadline = time.monotonic() + seconds
        while text not in self.output(name):
            if time.monotonic() > deadline:
                raise TimeoutError("%s never said %r:\n%s" % (name, text, self.output(name)))
            time.sleep(0.1)

    def stop(self, name, sig=signal.SIGINT):
        for n, process, out in self.running:
            if n == name and process.poll() is None:
                os.killpg(process.pid, sig)
                try:
                    process.wait(timeout=15)
                except subprocess.TimeoutExpired:
                    os.killpg(process.pid, signal.SIGKILL)
                    process.wait(timeout=10)

    def stop_all(self):
        for name, process, out in reversed(self.running):
            self.stop(name, signal.SIGTERM)
            out.close()


def start_xvfb(processes):
    read_end, write_end = os.pipe()
    processes.start("xvfb", ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24",
                             "-nolisten", "tcp"], pass_fds=(write_end,))
    os.close(write_end)
    with os.fdopen(read_end) as f:
        return ":" + f.readline().strip()


def canvas_bmp(page, path):
    """The page's canvas as a BMP the sprite probe reads."""
    data = page.evaluate("document.getElementById('screen').toDataURL('image/png')")
    png = path + ".png"
    with open(png, "wb") as f:
        f.write(base64.b64decode(data.split(",", 1)[1]))
    subprocess.run(["convert", png, "-type", "TrueColor", "BMP3:" + path], check=True, timeout=30)
    return path


def pose(build, bmp, runner):
    """The sprite probe's word for the runner's pose in the picture ("upright X Y", "flipped X Y" or
    "none")."""
    result = subprocess.run([os.path.join(build, "tests", "sprite_probe"), bmp,
                             os.path.join(build, "Img", "Jogo", "player%da.bmp" % runner)],
                            capture_output=True, text=True, timeout=30)
    return result.stdout.strip()


def tap(page, x, y):
    point = [{"x": x, "y": y}]
    page.call("Input.dispatchTouchEvent", {"type": "touchStart", "touchPoints": point})
    time.sleep(HOLD_S)
    page.call("Input.dispatchTouchEvent", {"type": "touchEnd", "touchPoints": []})


def centre(page, selector):
    return page.evaluate("(() => { const r = document.querySelector(%s).getBoundingClientRect();"
                         " return [r.x + r.width / 2, r.y + r.height / 2]; })()" % json.dumps(selector))


def hold_phone(page):
    """A phone held upright: a 390 x 844 touch screen."""
    page.call("Emulation.setDeviceMetricsOverride", {
        "width": PHONE[0], "height": PHONE[1], "deviceScaleFactor": 1, "mobile": True,
        "screenOrientation": {"type": "portraitPrimary", "angle": 0}})
    page.call("Emulation.setTouchEmulationEnabled", {"enabled": True, "maxTouchPoints": 5})


def open_game(page, url):
    page.call("Page.navigate", {"url": url})
    page.wait_for("window.corrida && corrida.state && corrida.state.phase === 'watching'", 30)


def main():
    skip_without_browser()
    build = os.path.dirname(os.path.abspath(sys.argv[1]))
    failures = []

    def check(ok, what):
        print("%s: %s" % ("ok" if ok else "FAILED", what))
        if not ok:
            failures.append(what)

    artifacts = os.path.join(build, "test-artifacts", "browser_match")
    shutil.rmtree(artifacts, ignore_errors=True)
    os.makedirs(artifacts)
    lock = open(LOCK, "w")
    fcntl.flock(lock, fcntl.LOCK_EX)
    scratch = tempfile.mkdtemp(prefix="corrida-web-match-")
    processes = Processes(scratch)
    try:
        display = start_xvfb(processes)
        port = free_port()
        url = "http://127.0.0.1:%d/" % port
        env = dict(os.environ, ORBendPoint="giop:tcp:127.0.0.1:")
        env.pop("DISPLAY", None)
        processes.start("server", [os.path.join(build, "corrida"), "servidor", "2", "--web",
                                   str(port)], cwd=build, env=env)
        processes.wait_output("server", "Pagina para navegadores na porta %d" % port, 60)

        with BrowserSession([]) as player, BrowserSession([]) as spectator:
            hold_phone(player)
            open_game(player, url)
            tap(player, *centre(player, "#join"))
            player.wait_for("corrida.state.phase === 'playing' && corrida.state.player === 1", 15)
            # The watching page in a 4:3 window: its screenshot is the README's picture.
            spectator.call("Emulation.setDeviceMetricsOverride", {
                "width": 960, "height": 720, "deviceScaleFactor": 1, "mobile": False})
            check(True, "JOGAR took player 1")

            processes.start("client", [os.path.join(build, "corrida"), "cliente", "127.0.0.1"],
                            cwd=build, env=dict(env, DISPLAY=display))
            open_game(spectator, url)
            check(spectator.evaluate("corrida.state.phase") == "watching", "the second page watches")

            # The race: runner 1 stands on the floor of the player's canvas (in the countdown the
            # runners hang at the top). The watching page counts its canvas's changes from before.
            spectator.evaluate(COUNT_CHANGES)
            deadline = time.monotonic() + 90
            while True:
                shot = canvas_bmp(player, os.path.join(scratch, "race.bmp"))
                words = pose(build, shot, 1).split()
                if len(words) == 3 and words[0] == "upright" and int(words[2]) >= FLOOR_Y:
                    break
                if time.monotonic() > deadline:
                    raise TimeoutError("no race on the player's page:\n" + processes.output("server"))
                time.sleep(0.2)
            race_seen = spectator.evaluate("performance.now()")

            # At once, while runner 1 stands on the floor: a tap flips it, never runner 2. A
            # flipped runner rises for a moment and then hangs upside down from the ceiling.
            flipped = False
            for attempt in range(8):
                tap(player, *centre(player, "#screen"))
                time.sleep(0.8)
                deadline = time.monotonic() + 2.5
                while time.monotonic() < deadline and not flipped:
                    shot = canvas_bmp(player, os.path.join(scratch, "tap.bmp"))
                    first, second = pose(build, shot, 1), pose(build, shot, 2)
                    flipped = first.startswith("flipped")
                    if flipped:
                        check(not second.startswith("flipped"),
                              "runner 2 stays upright when player 1 taps (%s)" % second)
                if flipped:
                    break
            check(flipped, "a tap on the player's page flips runner 1")
            check("flip" in player.evaluate("corrida.sent"), "the page sent its flips")
            with open(os.path.join(artifacts, "playing.png"), "wb") as f:
                f.write(player.screenshot())

            # The watching page's canvas, second by second from the race's start: the race's
            # first seconds (before any runner can reach the stage's first gap) change it at least
            # MIN_CHANGES_PER_SECOND times a second.
            while spectator.evaluate("performance.now()") < race_seen + 6000:
                time.sleep(0.2)
            changes = spectator.evaluate("canvasChanges")
            seconds = [sum(1 for t in changes if race_seen + 1000 * i <= t < race_seen + 1000 * (i + 1))
                       for i in range(6)]
            best = max(sum(seconds[i:i + 3]) / 3.0 for i in range(4))
            print("watching page: canvas changes in each second from the race's start: %s" %
                  ", ".join(str(n) for n in seconds))
            check(best >= MIN_CHANGES_PER_SECOND,
                  "the watching page's canvas changes at least %d times a second over 3 s of race"
                  " (%.1f)" % (MIN_CHANGES_PER_SECOND, best))
            with open(os.path.join(artifacts, "watching.png"), "wb") as f:
                f.write(spectator.screenshot())

            # A reload takes the place back.
            player.call("Page.reload")
            player.wait_for("window.corrida && corrida.state && corrida.state.phase === 'playing'"
                            " && corrida.state.player === 1", 20)
            shown = player.evaluate("corrida.shown")
            player.wait_for("corrida.shown > %d" % shown, 10)
            check(True, "the reloaded page plays player 1 again, and its pictures go on")

        processes.stop("client", signal.SIGTERM)
        processes.stop("server")
        summary = [l for l in processes.output("server").splitlines() if "Pedidos recusados" in l]
        print(summary[0] if summary else "(no summary)")
        check(bool(summary) and "0 mensagens web" in summary[0],
              "the server refused none of the pages' messages")
    finally:
        processes.stop_all()
        lock.close()
    if failures:
        for name in ("server", "client"):
            print("--- %s ---\n%s" % (name, processes.output(name)[-3000:]))
        sys.exit(1)


if __name__ == "__main__":
    main()
