"""Running this build's Windows programs under its Wine session, as a person at the screen would:
real clicks and key presses through xdotool, screenshots of the virtual display."""
import colorsys
import os
import subprocess
import time


class Session:
    def __init__(self, build_dir, state_dir="wine"):
        """state_dir: the folder inside the build that holds the session's session.env (and,
        for a session other than the regular one, its own wine-run)."""
        self.build = os.path.abspath(build_dir)
        self.bin = os.path.join(self.build, "bin")
        self.env = dict(os.environ)
        with open(os.path.join(self.build, state_dir, "session.env")) as f:
            for line in f:
                line = line.strip()
                if line.startswith("export "):
                    key, _, value = line[len("export "):].partition("=")
                    self.env[key] = value.strip("'")
        own_runner = os.path.join(self.build, state_dir, "wine-run")
        self.wine_run = own_runner if os.path.exists(own_runner) else os.path.join(self.build,
                                                                                   "wine-run")

    def start(self, exe, *args, cwd=None, env=None):
        """Starts a program of the build (or one at an absolute path); env adds variables."""
        return subprocess.Popen([self.wine_run, os.path.join(self.bin, exe), *args],
                                cwd=cwd or self.bin, env={**self.env, **(env or {})},
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def run(self, exe, *args, timeout=60):
        return subprocess.run([self.wine_run, os.path.join(self.bin, exe), *args], cwd=self.bin,
                              env=self.env, capture_output=True, text=True, errors="replace",
                              timeout=timeout)

    def probe(self, *args, timeout_ms=15000):
        """uiprobe output as a list of dicts (one per line), or None when it timed out."""
        result = self.run("uiprobe.exe", *args, str(timeout_ms), timeout=timeout_ms / 1000 + 30)
        if result.returncode != 0:
            return None
        return [parse_fields(line) for line in result.stdout.splitlines() if line]

    def wait_box(self, caption, timeout_ms=15000):
        lines = self.probe("box", caption, timeout_ms=timeout_ms)
        if lines is None:
            return None
        return {"text": lines[0]["text"].replace("\\n", "\n"),
                "buttons": {int(l["id"]): (int(l["x"]), int(l["y"])) for l in lines[1:]}}

    def window(self, cls, title, timeout_ms=15000):
        lines = self.probe("window", cls, title, timeout_ms=timeout_ms)
        return None if lines is None else {k: int(v, 0) for k, v in lines[0].items()}

    def window_gone(self, cls, title, timeout_ms=15000):
        return self.probe("gone", cls, title, timeout_ms=timeout_ms) is not None

    def xdotool(self, *args):
        subprocess.run(["xdotool", *args], env=self.env, check=True, timeout=30)

    def mouse(self):
        """Where the pointer is, as (x, y)."""
        out = subprocess.run(["xdotool", "getmouselocation", "--shell"], env=self.env, check=True,
                             capture_output=True, text=True, timeout=30).stdout
        fields = dict(line.split("=", 1) for line in out.split())
        return int(fields["X"]), int(fields["Y"])

    def click(self, x, y):
        self.xdotool("mousemove", str(x), str(y), "click", "1")

    def key(self, *keys):
        self.xdotool("key", *keys)

    # The demo reads held keys between frames: a key pressed and released within one batch of
    # messages is never seen held, so keys that steer it are held like a person holds them.
    def hold_key(self, key):
        self.xdotool("keydown", key)

    def release_key(self, key):
        self.xdotool("keyup", key)

    def screenshot(self, path):
        """The whole virtual display as PNG at path; returns (width, height, rgb bytes)."""
        subprocess.run(["import", "-window", "root", path], env=self.env, check=True, timeout=60)
        ppm = subprocess.run(["/usr/bin/convert", path, "ppm:-"], check=True, capture_output=True,
                             timeout=60).stdout
        return parse_ppm(ppm)


class Program:
    """One start of a program of the build; kill() ends it if it is still running."""

    def __init__(self, session, exe, *args, cwd=None, env=None):
        self.proc = session.start(exe, *args, cwd=cwd, env=env)

    def running(self):
        return self.proc.poll() is None

    def wait_exit(self, timeout=30):
        return wait_exit(self.proc, timeout)

    def kill(self):
        if self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait()


def parse_fields(line):
    fields = {}
    if line.startswith("text="):
        return {"text": line[len("text="):]}
    # A text comes last and may hold blanks.
    head, sep, text = line.partition(" text=")
    for part in head.split():
        key, _, value = part.partition("=")
        fields[key] = value
    if sep:
        fields["text"] = text
    return fields


def parse_ppm(data):
    parts = data.split(maxsplit=4)
    assert parts[0] == b"P6", "not a binary PPM"
    width, height, maxval = int(parts[1]), int(parts[2]), int(parts[3])
    assert maxval == 255
    pixels = parts[4]
    return width, height, pixels[: width * height * 3]


def crop(shot, x, y, w, h):
    width, height, px = shot
    rows = []
    for row in range(y, min(y + h, height)):
        start = (row * width + x) * 3
        rows.append(px[start: start + min(w, width - x) * 3])
    return min(w, width - x), len(rows), b"".join(rows)


def glow_shares(shot):
    """Shares of pixels that read as orange, red and yellow glow.

    A pixel counts as glow when it is bright and saturated (value >= 0.5, saturation >= 0.6);
    its hue then sorts it: red below 12 or from 345 degrees, orange 18 to 42, yellow 48 to 70."""
    width, height, px = shot
    counts = {"orange": 0, "red": 0, "yellow": 0}
    for i in range(0, width * height * 3, 3):
        r, g, b = px[i], px[i + 1], px[i + 2]
        if max(r, g, b) < 128:
            continue
        h, s, v = colorsys.rgb_to_hsv(r / 255, g / 255, b / 255)
        if s < 0.6:
            continue
        deg = h * 360
        if deg < 12 or deg >= 345:
            counts["red"] += 1
        elif 18 <= deg < 42:
            counts["orange"] += 1
        elif 48 <= deg < 70:
            counts["yellow"] += 1
    total = width * height
    return {k: v / total for k, v in counts.items()}


def wait_exit(proc, timeout):
    try:
        proc.wait(timeout=timeout)
    except subprocess.TimeoutExpired:
        proc.kill()
        proc.wait()
        raise AssertionError("the program did not end within %s s" % timeout)
    return proc.returncode


def poll(predicate, timeout, interval=0.1):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        value = predicate()
        if value:
            return value
        time.sleep(interval)
    return predicate()
