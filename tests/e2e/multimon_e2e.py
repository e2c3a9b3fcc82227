"""glimmerbox.scr's full-screen run on a desktop of several monitors, under Wine on an Xorg display
of two and then three monitors (tools/multimon-session.sh), used as a person would: real mouse
movement, keys and clicks through xdotool, screenshots of the whole desktop. The windows on the
desktop are read with uiprobe; the stand-in password provider beside the saver logs its calls.

    multimon_e2e.py BUILD_DIR [unittest arguments]

It starts and stops the multi-monitor session of BUILD_DIR itself (not the regular one)."""
import os
import struct
import subprocess
import sys
import unittest

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, os.path.dirname(__file__))
from saverrun import Program, Scratch, windows_path  # noqa: E402
from winesession import Session, crop, parse_fields, poll  # noqa: E402

SESSION_SCRIPT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools",
                              "multimon-session.sh")
SAVER = "glimmerbox.scr"
SAVER_CLASSES = ("KoScreenSaverClass", "DummyScreenSaverClass")
COVER_CLASS = "MorvaneCoverWindowClass"
PROMPT = "Screen Saver Password"
WS_EX_TOPMOST = 0x8
IDNO, IDYES = 7, 6
PRIMARY, EACH = 0, 1  # glimmerbox.scr's "Monitors" setting
SETTINGS_KEY = r"HKCU\Software\Glimmerbox\Screen Saver"
FRAMEWORK_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Screen Savers"
DESKTOP_KEY = r"HKCU\Control Panel\Desktop"
THRESHOLD = 200
# What a user's bright window looks like before the saver starts, per secondary monitor.
DESKTOP_COLOURS = ["00ff00", "00c0ff"]

# The monitors each layout must show Wine: (x, y, w, h), the primary first.
LAYOUTS = {
    "two": [(0, 0, 1024, 768), (-800, 0, 800, 600)],
    "three": [(0, 0, 1024, 768), (-800, 0, 800, 600), (1024, 0, 640, 480)],
}

build = None
session = None
running_layout = None


def use_layout(layout):
    """Starts (or switches to) the multi-monitor session of that layout; returns its Session."""
    global session, running_layout
    if running_layout != layout:
        subprocess.run([SESSION_SCRIPT, "start", build, layout], check=True, timeout=180)
        running_layout = layout
        session = Session(build, state_dir="wine-mm")
    return session


def stop_session():
    subprocess.run([SESSION_SCRIPT, "stop", build], timeout=120)


def probe_lines(*args):
    result = session.run("uiprobe.exe", *args, timeout=60)
    assert result.returncode == 0, "uiprobe %s failed: %s" % (args, result.stderr[-400:])
    return [parse_fields(line) for line in result.stdout.splitlines() if line]


def monitors():
    return [tuple(int(l[k]) for k in ("x", "y", "w", "h"))
            for l in probe_lines("monitors") if "primary" in l]


def top_windows():
    """The visible top-level windows, topmost first, as dicts."""
    windows = []
    for line in probe_lines("windows"):
        w = {k: (v if k in ("class", "text", "hwnd") else int(v, 0)) for k, v in line.items()}
        w["rect"] = (w["x"], w["y"], w["w"], w["h"])
        windows.append(w)
    return windows


def reg(*args):
    return subprocess.run([session.wine_run, "reg", *args], env=session.env, capture_output=True,
                          text=True, timeout=60)


def set_dword(key, name, value):
    reg("add", key, "/v", name, "/t", "REG_DWORD", "/d", str(value), "/f")


def grab():
    """The whole X screen as (width, height, rgb bytes).

    NOTE: xwd and a reader of our own instead of ImageMagick's import: with three GL scenes
    drawing on two cores, import took 5 to 10 s a picture, xwd takes a tenth of a second."""
    data = subprocess.run(["xwd", "-root", "-silent"], env=session.env, check=True,
                          capture_output=True, timeout=60).stdout
    header = struct.unpack(">25I", data[:100])
    (header_size, _, pixmap_format, _, width, height, _, byte_order, _, _, _, bits_per_pixel,
     bytes_per_line, _, red_mask, green_mask, blue_mask, _, _, ncolors) = header[:20]
    # NOTE: on the dummy driver's screens xwd writes packed 24-bit pixels in lines of a quarter
    # more bytes than they need: each line's first width * 3 bytes are the picture.
    size = bits_per_pixel // 8
    assert pixmap_format == 2 and size in (3, 4), "unexpected xwd layout %r" % (header,)
    start = header_size + 12 * ncolors
    pixels = data[start:start + bytes_per_line * height]
    if bytes_per_line != width * size:
        pixels = b"".join(pixels[r * bytes_per_line:r * bytes_per_line + width * size]
                          for r in range(height))

    def byte_of(mask):
        shift = (mask & -mask).bit_length() - 1
        return shift // 8 if byte_order == 0 else size - 1 - shift // 8
    rgb = bytearray(width * height * 3)
    for channel, mask in enumerate((red_mask, green_mask, blue_mask)):
        rgb[channel::3] = pixels[byte_of(mask)::size]
    return width, height, bytes(rgb)


# ---- Pictures: every 4th pixel of every 4th row is plenty and keeps Python quick ----

def samples(shot, step=4):
    width, height, px = shot
    for y in range(0, height, step):
        row = y * width * 3
        for x in range(0, width, step):
            i = row + x * 3
            yield px[i], px[i + 1], px[i + 2]


def lit_share(shot):
    """Share of pixels that are not (nearly) black."""
    values = [max(p) > 40 for p in samples(shot)]
    return sum(values) / max(1, len(values))


def colour_share(shot, rgb_hex):
    want = bytes.fromhex(rgb_hex)
    values = [all(abs(a - b) <= 24 for a, b in zip(p, want)) for p in samples(shot)]
    return sum(values) / max(1, len(values))


def thumbnail(shot, cols=16, rows=12):
    """Mean brightness of each cell of a cols x rows grid: a picture's layout, whatever its size."""
    width, height, px = shot
    cells = []
    for r in range(rows):
        for c in range(cols):
            x0, x1 = c * width // cols, (c + 1) * width // cols
            y0, y1 = r * height // rows, (r + 1) * height // rows
            total = count = 0
            for y in range(y0, y1, 2):
                row = y * width * 3
                for x in range(x0, x1, 2):
                    i = row + x * 3
                    total += px[i] + px[i + 1] + px[i + 2]
                    count += 1
            cells.append(total / (3 * max(1, count)))
    return cells


def distance(a, b):
    return sum(abs(x - y) for x, y in zip(a, b)) / len(a)


class MultiMonitorRun(unittest.TestCase):
    """One layout's cases; subclasses name the layout. Each test starts glimmerbox.scr once and
    checks at its end that the run left nothing behind."""

    layout = None

    @classmethod
    def setUpClass(cls):
        use_layout(cls.layout)
        cls.monitors = monitors()

    def setUp(self):
        self.assertEqual(LAYOUTS[self.layout], self.monitors, "Wine sees other monitors")
        self.primary, self.secondaries = self.monitors[0], self.monitors[1:]
        self.scratch = Scratch()
        self.addCleanup(self.scratch.remove)

    # ---- Starting and watching a run ----

    def start_saver(self, policy, at=None, password=False):
        """Starts the full-screen saver with the pointer at `at` (the primary's centre by default)
        and waits until every monitor has its window; returns (program, windows per monitor)."""
        set_dword(SETTINGS_KEY, "Monitors", policy)
        set_dword(FRAMEWORK_KEY, "Mouse Threshold", THRESHOLD)
        set_dword(FRAMEWORK_KEY, "Password Delay", 0)
        reg("add", DESKTOP_KEY, "/v", "ScreenSaveUsePassword", "/t", "REG_SZ", "/d",
            "1" if password else "0", "/f")
        self.place_mouse(*(at or self.centre(self.primary)))
        self.before = {w["hwnd"] for w in top_windows()}
        env = {"MORVANE_TEST_LOG": windows_path(self.scratch.log),
               "MORVANE_STANDIN_VERIFY": "ask"}
        saver = Program(session, self.scratch, SAVER, "/s", env=env)
        self.addCleanup(self.assert_nothing_left, saver)
        self.addCleanup(self.finish, saver)
        return saver, self.wait_covered(policy)

    def finish(self, saver):
        """Ends a run a failed test left, as a user would where possible: a prompt it shows is
        answered Yes, and only a saver that still runs is killed."""
        if saver.running() and self.prompts():
            box = session.wait_box(PROMPT, timeout_ms=2000)
            if box and IDYES in box["buttons"]:
                self.click(*box["buttons"][IDYES])
                poll(lambda: not saver.running(), 10)
        saver.kill()

    def expected_classes(self, policy, index):
        if policy == EACH or index == 0:
            return SAVER_CLASSES
        return (COVER_CLASS,)

    def covering(self, policy):
        """The window covering each monitor, or None for a monitor without its window."""
        windows = top_windows()
        found = []
        for index, monitor in enumerate(self.monitors):
            match = [w for w in windows if w["rect"] == monitor and w["exstyle"] & WS_EX_TOPMOST
                     and w["class"] in self.expected_classes(policy, index)]
            found.append(match[0] if match else None)
        return found, windows

    def wait_covered(self, policy, timeout=20):
        poll(lambda: all(self.covering(policy)[0]), timeout, interval=0.2)
        found, windows = self.covering(policy)
        for monitor, window in zip(self.monitors, found):
            self.assertIsNotNone(window, "no topmost %s window over monitor %r; windows: %r" % (
                "/".join(self.expected_classes(policy, self.monitors.index(monitor))), monitor,
                [(w["class"], w["rect"]) for w in windows]))
        savers = [w for w in found if w["class"] in SAVER_CLASSES]
        self.assertEqual(1, len({w["class"] for w in savers}), "saver windows of several classes")
        return found

    def assert_nothing_left(self, saver):
        """After a run: the saver's process has ended and none of its windows is left."""
        self.assertFalse(saver.running(), "the saver is still running")

        def left():
            return [(w["class"], w["rect"]) for w in top_windows()
                    if w["hwnd"] not in self.before or w["class"] in SAVER_CLASSES + (COVER_CLASS,)]
        poll(lambda: not left(), 5, interval=0.2)
        self.assertEqual([], left(), "windows of the run are left")

    def end_and_check(self, saver):
        self.assertEqual(2, saver.wait_exit(30), "the run did not end with 2")

    def assert_still_running(self, saver, policy):
        """The run goes on: every monitor keeps its window and the primary's picture still moves."""
        self.moving(self.primary)
        self.assertTrue(saver.running(), "the saver ended")
        self.wait_covered(policy, timeout=2)

    # ---- Screen ----

    def centre(self, rect):
        return rect[0] + rect[2] // 2, rect[1] + rect[3] // 2

    # NOTE: X places the desktop's top left corner at 0,0; Wine puts the primary monitor's there.
    # Screen coordinates below are Windows', turned into X's only for xdotool.
    def to_x(self, x, y):
        return x - min(m[0] for m in self.monitors), y - min(m[1] for m in self.monitors)

    def place_mouse(self, x, y):
        def there():
            self.move(x, y)
            return session.mouse() == self.to_x(x, y)
        self.assertTrue(poll(there, 5), "the pointer does not move to %d,%d" % (x, y))

    def move(self, x, y):
        session.xdotool("mousemove", *map(str, self.to_x(x, y)))

    def click(self, x, y):
        session.xdotool("mousemove", *map(str, self.to_x(x, y)), "click", "1")

    def shoot(self):
        """The whole desktop, with its origin at the virtual screen's top left corner."""
        return grab()

    def area(self, shot, monitor):
        return crop(shot, *self.to_x(monitor[0], monitor[1]), monitor[2], monitor[3])

    def moving(self, monitor, timeout=15):
        """Two different pictures of the monitor, the later one lit; fails after timeout."""
        first = self.area(self.shoot(), monitor)

        def changed():
            shot = self.area(self.shoot(), monitor)
            return shot if shot[2] != first[2] and lit_share(shot) > 0.5 else None
        second = poll(changed, timeout, interval=0.05)
        self.assertIsNotNone(second, "monitor %r shows no moving, lit picture (lit share %.3f)"
                             % (monitor, lit_share(self.area(self.shoot(), monitor))))
        return first, second

    def assert_black(self, shot, monitor):
        self.assertLess(lit_share(self.area(shot, monitor)), 0.01,
                        "monitor %r is not black" % (monitor,))

    def paint_desktop(self):
        """A bright window of a program on each secondary monitor, as the user's windows."""
        for monitor, colour in zip(self.secondaries, DESKTOP_COLOURS):
            painter = Program(session, self.scratch, "uiprobe.exe", "paint", *map(str, monitor),
                              colour, "120")
            self.addCleanup(painter.kill)
        shown = poll(lambda: all(colour_share(self.area(self.shoot(), m), c) > 0.9
                                 for m, c in zip(self.secondaries, DESKTOP_COLOURS)), 15)
        self.assertTrue(shown, "the bright windows do not show")

    # ---- Prompts ----

    def prompts(self):
        return [w for w in top_windows() if w["class"] == "#32770" and w["text"] == PROMPT]

    def answer_prompt(self, button):
        box = session.wait_box(PROMPT)
        self.assertIsNotNone(box, "no password prompt")
        self.assertIn(button, box["buttons"])
        self.click(*box["buttons"][button])

    # ---- The cases ----

    def test_a_primary_policy_scene_on_the_primary_and_black_over_the_rest(self):
        self.paint_desktop()
        saver, _ = self.start_saver(PRIMARY)
        self.moving(self.primary)
        # Black, and nothing of the bright windows under it, on every other monitor.
        shot = poll(lambda: (lambda s: s if all(
            lit_share(self.area(s, m)) < 0.01 for m in self.secondaries) else None)(self.shoot()),
            10)
        shot = shot or self.shoot()
        for monitor in self.secondaries:
            self.assert_black(shot, monitor)
        self.assertGreater(lit_share(self.area(shot, self.primary)), 0.5, "the primary is dark")
        session.key("a")
        self.end_and_check(saver)

    def test_b_each_policy_an_own_moving_scene_on_every_monitor(self):
        saver, windows = self.start_saver(EACH)
        pictures = [self.moving(monitor)[1] for monitor in self.monitors]
        # Different swarms, not one scene drawn several times: at some moment two monitors'
        # pictures (as thumbnails, whatever their sizes) differ clearly more than a monitor's
        # picture changes between two screenshots taken one after the other. The same scene
        # started a moment later on another monitor (the windows start within a fraction of the
        # time between screenshots) would stay within the smallest such change.
        grabs = [[thumbnail(self.area(shot, m)) for m in self.monitors]
                 for shot in (self.shoot() for _ in range(5))]
        drift = min(distance(a[k], b[k]) for a, b in zip(grabs, grabs[1:])
                    for k in range(len(self.monitors)))
        for i in range(len(self.monitors)):
            for j in range(i + 1, len(self.monitors)):
                apart = max(distance(g[i], g[j]) for g in grabs)
                print("monitors %d and %d: %.1f apart, least change between screenshots %.1f"
                      % (i, j, apart, drift), file=sys.stderr)
                self.assertGreater(apart, max(3.0, 2 * drift),
                                   "monitors %d and %d show the same picture" % (i, j))
        self.assertTrue(all(pictures))
        session.key("a")
        self.end_and_check(saver)

    def test_c_mouse_movement_on_a_secondary_monitor_ends_it_beyond_the_threshold(self):
        for policy in (PRIMARY, EACH):
            with self.subTest(policy=policy):
                self.setUp()
                x, y = self.centre(self.secondaries[-1])
                saver, _ = self.start_saver(policy, at=(x, y))
                self.moving(self.primary)
                self.move(x + THRESHOLD // 2, y)
                self.assert_still_running(saver, policy)
                self.move(x - THRESHOLD - 10, y)
                self.end_and_check(saver)
                self.doCleanups()

    def test_c_a_key_with_the_pointer_on_a_secondary_monitor_ends_it(self):
        saver, _ = self.start_saver(PRIMARY, at=self.centre(self.secondaries[0]))
        self.moving(self.primary)
        session.key("a")
        self.end_and_check(saver)

    def test_c_a_click_on_a_secondary_monitor_ends_it(self):
        saver, _ = self.start_saver(PRIMARY, at=self.centre(self.secondaries[-1]))
        self.moving(self.primary)
        session.xdotool("click", "1")
        self.end_and_check(saver)

    def test_d_one_prompt_on_the_primary_a_refusal_keeps_every_window_and_a_yes_ends_it(self):
        x, y = self.centre(self.secondaries[0])
        saver, _ = self.start_saver(PRIMARY, at=(x, y), password=True)
        self.moving(self.primary)
        # Over every monitor in turn, then far across the secondary monitor, where the pointer
        # rests. NOTE: the saver judges movement by where the pointer is when it handles the
        # message, and a frame of software GL keeps it from handling any for tens of
        # milliseconds: a pointer that came back to where it started before then was rightly
        # never seen to move.
        for monitor in self.monitors:
            self.move(*self.centre(monitor))
        self.move(x + THRESHOLD + 50, y)
        self.assertTrue(poll(self.prompts, 15), "no password prompt; the saver %s; log %r" % (
            "runs" if saver.running() else "ended with %r" % saver.proc.returncode,
            self.scratch.lines()[-6:]))
        # A second prompt would come within moments of the first; none may.
        self.assertFalse(poll(lambda: len(self.prompts()) > 1, 2), "more than one prompt")
        prompt = self.prompts()[0]
        px, py = self.centre(prompt["rect"])
        self.assertTrue(self.primary[0] <= px < self.primary[0] + self.primary[2]
                        and self.primary[1] <= py < self.primary[1] + self.primary[3],
                        "the prompt is not on the primary monitor: %r" % (prompt["rect"],))
        order = top_windows()
        run = [i for i, w in enumerate(order) if w["class"] in SAVER_CLASSES + (COVER_CLASS,)]
        place = [w["hwnd"] for w in order].index(prompt["hwnd"])
        self.assertLess(place, min(run), "the prompt is below a window of the run: %r"
                        % [(w["class"], w["rect"]) for w in order])
        self.assertEqual(1, len(self.scratch.matching("provider called")))

        self.answer_prompt(IDNO)
        self.scratch.wait_lines("provider answer=0")
        self.assert_still_running(saver, PRIMARY)
        shot = self.shoot()
        for monitor in self.secondaries:
            self.assert_black(shot, monitor)
        self.assertEqual([], self.prompts())

        session.key("a")
        self.answer_prompt(IDYES)
        self.end_and_check(saver)
        self.assertEqual(["provider answer=0", "provider answer=1"],
                         self.scratch.matching("provider answer"))


class TwoMonitors(MultiMonitorRun):
    layout = "two"

    def test_e_a_saver_of_the_sdk_library_shrunk_to_the_primary_leaves_no_desktop_showing(self):
        """Its window spans the desktop until it shrinks it to SM_CXSCREEN by SM_CYSCREEN; the
        framework's covers keep the other monitor black, and take its input."""
        self.paint_desktop()
        set_dword(FRAMEWORK_KEY, "Mouse Threshold", THRESHOLD)
        set_dword(FRAMEWORK_KEY, "Password Delay", 0)
        reg("add", DESKTOP_KEY, "/v", "ScreenSaveUsePassword", "/t", "REG_SZ", "/d", "0", "/f")
        x, y = self.centre(self.secondaries[0])
        self.place_mouse(x, y)
        self.before = {w["hwnd"] for w in top_windows()}
        saver = Program(session, self.scratch, os.path.join("scrnsave", "narrow_saver.scr"), "/s")
        self.addCleanup(self.assert_nothing_left, saver)
        self.addCleanup(saver.kill)
        self.scratch.wait_lines("narrow frame", 3)
        self.assertIn("narrow frame 3 x=0 y=0 w=1024 h=768", self.scratch.lines())
        # The saver's window where it put it, and a cover over every monitor, shaped around it.
        topmost = [(w["class"], w["rect"]) for w in top_windows() if w["exstyle"] & WS_EX_TOPMOST]
        for window in [("WindowsScreenSaverClass", self.primary)] + [(COVER_CLASS, m)
                                                                      for m in self.monitors]:
            self.assertIn(window, topmost)
        secondaries_black = lambda s: all(lit_share(self.area(s, m)) < 0.01  # noqa: E731
                                          for m in self.secondaries)
        shot = poll(lambda: (lambda s: s if secondaries_black(s) else None)(self.shoot()), 10)
        shot = shot or self.shoot()
        for monitor in self.secondaries:
            self.assert_black(shot, monitor)
        self.assertGreater(lit_share(self.area(shot, self.primary)), 0.5, "the primary is dark")
        # The pointer moves on the secondary monitor, over the cover only.
        self.move(x + THRESHOLD // 2, y)
        self.assertFalse(poll(lambda: not saver.running(), 1), "ended within the threshold")
        self.move(x - THRESHOLD - 10, y)
        self.end_and_check(saver)


class ThreeMonitors(MultiMonitorRun):
    layout = "three"


def load_tests(loader, tests, pattern):
    # The layouts in order: switching costs a new X server and Wine server.
    suite = unittest.TestSuite()
    for case in (TwoMonitors, ThreeMonitors):
        suite.addTests(loader.loadTestsFromTestCase(case))
    return suite


def tearDownModule():
    stop_session()


if __name__ == "__main__":
    build = os.path.abspath(sys.argv.pop(1))
    unittest.main(verbosity=2)
