"""The party: `corrida festa 3 --web-endereco 127.0.0.1 --web PORT` under its own 1920 x 1080 Xvfb
(with its own names on port 9001, under the end-to-end tests' lock), three headless Chromium pages
held as phones (390 x 844 touch screens) and the TV's picture sampled from the screen. Checked:
- the waiting screen covers the screen (the picture twice as large, centred on black), its QR code
  decodes (zbarimg) to the address given, and that address serves the phone page, which is the
  controller at a party;
- the phones join with one tap each as players 1, 2 and 3, and the TV's waiting screen shows the
  places taken;
- in a race, a tap on each phone flips its own runner on the TV's picture, and no other;
- a reloaded phone takes its place back mid-race and its taps flip its runner again;
- Esc on the TV ends everything in order, and nothing the phones sent was refused.
The TV's waiting screen (its picture, without the black bands) is left in
BUILD/test-artifacts/party/waiting.png (the README's picture: scripts/screenshots).

    test_party.py IMG_DIR ...
"""

import fcntl
import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from browser_session import BrowserSession, skip_without_browser  # noqa: E402
from test_browser_match import LOCK, Processes, centre, free_port, hold_phone, tap  # noqa: E402
from tv_picture import FACTOR, LEFT, SCREEN, TOP, TvWatch  # noqa: E402

PLAYERS = 3
FLOOR_Y = 200  # a runner standing on the floor (or on another) has its top below this


def start_xvfb(processes):
    read_end, write_end = os.pipe()
    processes.start("xvfb", ["Xvfb", "-displayfd", str(write_end), "-screen", "0",
                             "%dx%dx24" % SCREEN, "-nolisten", "tcp"], pass_fds=(write_end,))
    os.close(write_end)
    with os.fdopen(read_end) as f:
        return ":" + f.readline().strip()


def screen_shot(display, path):
    subprocess.run(["import", "-display", display, "-window", "root", path], check=True,
                   timeout=30, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return path


def racing(poses):
    """Every runner upright on the floor (or on another runner): a race, not a countdown."""
    return all(p[0] == "u" and p[2] >= FLOOR_Y for p in poses)


def pixel(png, x, y):
    out = subprocess.run(["convert", png, "-format", "%%[pixel:p{%d,%d}]" % (x, y), "info:"],
                         capture_output=True, text=True, timeout=30).stdout.strip()
    return out


def decoded_code(png):
    result = subprocess.run(["zbarimg", "-q", "--raw", png], capture_output=True, text=True,
                            timeout=30)
    return result.stdout.strip()


def main():
    skip_without_browser()
    if not shutil.which("zbarimg"):
        print("zbarimg (zbar-tools) is missing: skipped")
        sys.exit(77)
    build = os.path.dirname(os.path.abspath(sys.argv[1]))
    failures = []

    def check(ok, what):
        print("%s: %s" % ("ok" if ok else "FAILED", what))
        if not ok:
            failures.append(what)

    artifacts = os.path.join(build, "test-artifacts", "party")
    shutil.rmtree(artifacts, ignore_errors=True)
    os.makedirs(artifacts)
    lock = open(LOCK, "w")
    fcntl.flock(lock, fcntl.LOCK_EX)
    scratch = tempfile.mkdtemp(prefix="corrida-party-")
    processes = Processes(scratch)
    phones = []
    try:
        display = start_xvfb(processes)
        port = free_port()
        url = "http://127.0.0.1:%d/" % port
        env = dict(os.environ, ORBendPoint="giop:tcp:127.0.0.1:", DISPLAY=display)
        processes.start("tv", [os.path.join(build, "corrida"), "festa", str(PLAYERS),
                               "--web-endereco", "127.0.0.1", "--web", str(port)],
                        cwd=build, env=env)
        processes.wait_output("tv", "Pagina para navegadores na porta %d" % port, 60)

        # The waiting screen, full screen, with its code.
        deadline = time.monotonic() + 30
        shot = os.path.join(scratch, "waiting.png")
        while True:
            screen_shot(display, shot)
            code = decoded_code(shot)
            if code or time.monotonic() > deadline:
                break
            time.sleep(0.3)
        check(code == url, "the TV's QR code reads %r (%r)" % (url, code))
        corners = [pixel(shot, x, y) for x, y in ((0, 0), (LEFT - 1, SCREEN[1] // 2),
                                                  (SCREEN[0] - 1, SCREEN[1] - 1))]
        inside = pixel(shot, SCREEN[0] // 2, TOP + 40)
        check(all(c in ("srgb(0,0,0)", "rgb(0,0,0)", "black") for c in corners) and
              inside not in corners,
              "the picture fills the screen at twice its size, on black (%s; %s)" % (corners, inside))
        tree = subprocess.run(["xwininfo", "-display", display, "-root", "-tree"],
                              capture_output=True, text=True, timeout=30).stdout
        check("%dx%d+0+0" % SCREEN in tree, "a window covers the whole screen")
        subprocess.run(["convert", shot, "-crop", "%dx%d+%d+%d" % (SCREEN[0] - 2 * LEFT,
                        SCREEN[1] - 2 * TOP, LEFT, TOP), "+repage",
                        os.path.join(artifacts, "waiting.png")], check=True, timeout=30)
        page = subprocess.run(["curl", "-s", "--max-time", "10", code or url],
                              capture_output=True, text=True, timeout=30).stdout
        check('id="pad"' in page, "the code's address serves the phone page")

        # Three phones, one tap each.
        for number in range(1, PLAYERS + 1):
            phone = BrowserSession([], window=(400, 860))
            phone.__enter__()
            phones.append(phone)
            hold_phone(phone)
            phone.call("Page.navigate", {"url": code or url})
            phone.wait_for("window.corrida && corrida.controller &&"
                           " corrida.state.phase === 'watching'", 30)
            tap(phone, *centre(phone, "#pad"))
            phone.wait_for("corrida.state.phase === 'playing'", 15)
            got = phone.evaluate("corrida.state.player")
            check(got == number, "phone %d joined with one tap as player %d" % (number, got))
        check(phones[0].evaluate("getComputedStyle(document.getElementById('screen')).display")
              == "none", "a party's phone shows no picture by default")
        check(phones[0].evaluate("document.getElementById('pad').getBoundingClientRect().height")
              >= 800, "the flip area covers the phone's screen")

        # In each race the runners stand on the floor; a tap flips the phone's own runner on the
        # TV's picture and no other. A race nobody plays lasts a few seconds, so each phone gets a
        # few races to try in.
        tv = TvWatch(processes, build, env, PLAYERS)

        def race_on_tv():
            ms, _ = tv.wait(racing, 60, time.monotonic() * 1000)
            if ms is None:
                raise TimeoutError("no race on the TV:\n" + processes.output("tv"))

        def flips_only(phone, number):
            seen = None
            for attempt in range(6):
                race_on_tv()
                tapped = time.monotonic() * 1000
                tap(phone, *centre(phone, "#pad"))
                ms, poses = tv.wait(lambda p: p[number - 1][0] == "f", 2.5, tapped)
                if ms is None:
                    continue
                seen = [p for t, p in tv.changes() if tapped <= t <= ms]
                others = [n for p in seen for n in range(1, PLAYERS + 1)
                          if n != number and p[n - 1][0] == "f"]
                return not others, poses
            return False, seen

        for number, phone in enumerate(phones, 1):
            ok, poses = flips_only(phone, number)
            check(ok, "a tap on phone %d flips runner %d on the TV and no other (%s)" %
                  (number, number, poses))

        # A phone reloaded mid-race takes its place back.
        race_on_tv()
        phones[1].call("Page.reload")
        phones[1].wait_for("window.corrida && corrida.state && corrida.state.phase === 'playing'",
                           20)
        check(phones[1].evaluate("corrida.state.player") == 2,
              "the reloaded phone plays player 2 again")
        ok, poses = flips_only(phones[1], 2)
        check(ok, "after the reload a tap flips runner 2 and no other (%s)" % (poses,))
        warm = phones[1].evaluate("corrida.sent.filter(m => m === 'ping').length")
        check(warm >= 5, "the playing phone keeps its socket warm (%d pings)" % warm)

        # Esc on the TV ends the party in order.
        subprocess.run(["xdotool", "keydown", "Escape"], env=env, timeout=30, check=True)
        time.sleep(0.15)
        subprocess.run(["xdotool", "keyup", "Escape"], env=env, timeout=30, check=True)
        processes.wait_output("tv", "Servidor encerrado.", 30)
        summary = [l for l in processes.output("tv").splitlines() if "Pedidos recusados" in l]
        print(summary[0] if summary else "(no summary)")
        check(bool(summary) and "0 mensagens web" in summary[0],
              "Esc ended the party in order and none of the phones' messages was refused")
    finally:
        for phone in phones:
            phone.close()
        processes.stop_all()
        lock.close()
    if failures:
        print("--- tv ---\n%s" % processes.output("tv")[-3000:])
        sys.exit(1)


if __name__ == "__main__":
    main()
