"""The TV of `corrida festa` seen from outside: its full-screen picture on a 1920 x 1080 screen, and
tests/tv_watch started on it (the runners' poses, each change with its time). Shared by the
party's test and scripts/measure-party-latency."""

import os
import time

SCREEN = (1920, 1080)
PICTURE = (640, 480)
FACTOR = 2  # the largest whole factor that fits 1920 x 1080
LEFT, TOP = (SCREEN[0] - FACTOR * PICTURE[0]) // 2, (SCREEN[1] - FACTOR * PICTURE[1]) // 2


class TvWatch:
    """tv_watch on the TV's picture: the runners' poses, each change with its time (the monotonic
    clock, time.monotonic()'s)."""

    def __init__(self, processes, build, env, players, seconds=240, interval_ms=5):
        sheets = [os.path.join(build, "Img", "Jogo", "player%da.bmp" % n)
                  for n in range(1, players + 1)]
        self.processes = processes
        self.players = players
        processes.start("tv_watch", [os.path.join(build, "tests", "tv_watch"), str(seconds),
                                     str(LEFT), str(TOP), str(FACTOR), str(interval_ms)] + sheets, env=env)

    def changes(self):
        """[(ms, [pose, ...])], pose ("u", x, y), ("f", x, y) or ("n",)."""
        found = []
        for line in self.processes.output("tv_watch").splitlines():
            words = line.split()
            if len(words) != self.players + 1 or not words[0].isdigit():
                continue
            poses = [tuple(w.split(":")[:1]) + tuple(int(v) for v in w.split(":")[1:])
                     for w in words[1:]]
            found.append((int(words[0]), poses))
        return found

    def wait(self, holds, seconds, since_ms=0):
        """The first change after since_ms whose poses satisfy holds(poses), within seconds."""
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            for ms, poses in self.changes():
                if ms >= since_ms and holds(poses):
                    return ms, poses
            time.sleep(0.02)
        return None, None
