"""carousel.scr over three monitors under Wine (tools/multimon-session.sh), with savers written the
way outside savers are: own_saver.scr (its own WinMain, no framework), gdi_saver.scr (built on
libmorvane_scrnsave.a) and crash_saver.scr (crashes a second after its preview starts).

Under Wine nothing a child window of another process draws reaches the screen, so the savers are
judged by what they report from inside (their window's parent and size, their ticks), by the
processes under the session (/proc) and their CPU, and by Carousel's own trace lines, all in one
log (MORVANE_TEST_LOG, which the savers inherit).

    carousel_e2e.py BUILD_DIR [unittest arguments]"""
import os
import re
import shutil
import subprocess
import sys
import time
import unittest

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "e2e"))
from saverrun import Program, Scratch, windows_path  # noqa: E402
from winesession import Session, crop, parse_fields, poll  # noqa: E402
import multimon_e2e  # noqa: E402  (its screenshots of the whole desktop)

SESSION_SCRIPT = os.path.join(HERE, "..", "..", "tools", "multimon-session.sh")
LAYOUT = "three"
MONITORS = [(0, 0, 1024, 768), (-800, 0, 800, 600), (1024, 0, 640, 480)]
CAROUSEL_KEY = r"HKCU\Software\Morvane\Carousel"
FRAMEWORK_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Screen Savers"
DESKTOP_KEY = r"HKCU\Control Panel\Desktop"
THRESHOLD = 200
WM_SYSCOMMAND, SC_MONITORPOWER = 0x112, 0xF170
DISPLAY_OFF, DISPLAY_ON = 2, -1
WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK, WTS_SESSION_UNLOCK = 0x2B1, 7, 8
SAVER_NAMES = ("own_saver", "own_copy", "gdi_saver", "crash_saver", "crash_copy", "crash_third")

build = None
session = None


def reg(*args):
    return subprocess.run([session.wine_run, "reg", *args], env=session.env, capture_output=True,
                          text=True, timeout=60)


def saver_processes():
    """{linux pid: command line} of the savers' Wine processes in this session's prefix."""
    prefix = b"WINEPREFIX=" + session.env["WINEPREFIX"].encode()
    found = {}
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open("/proc/%s/cmdline" % entry, "rb") as f:
                command = f.read().replace(b"\0", b" ").decode(errors="replace")
            with open("/proc/%s/environ" % entry, "rb") as f:
                env = f.read().split(b"\0")
        except OSError:
            continue
        if prefix in env and any(name + ".scr" in command for name in SAVER_NAMES):
            found[int(entry)] = command
    return found


def cpu_ticks(pids):
    """User and system time of the processes so far, in clock ticks (1/100 s)."""
    total = 0
    for pid in pids:
        try:
            with open("/proc/%d/stat" % pid) as f:
                fields = f.read().rsplit(")", 1)[1].split()
            total += int(fields[11]) + int(fields[12])
        except OSError:
            pass
    return total


class CarouselRun(unittest.TestCase):
    """Each test starts carousel.scr "/s" once with its settings and checks at its end that no
    saver process is left."""

    @classmethod
    def setUpClass(cls):
        subprocess.run([SESSION_SCRIPT, "start", build, LAYOUT], check=True, timeout=180)
        global session
        session = Session(build, state_dir="wine-mm")
        multimon_e2e.session = session
        lines = [parse_fields(l) for l in session.run("uiprobe.exe", "monitors").stdout.splitlines()]
        cls.monitors = [tuple(int(l[k]) for k in ("x", "y", "w", "h")) for l in lines
                        if "primary" in l]
        reg("add", FRAMEWORK_KEY, "/v", "Mouse Threshold", "/t", "REG_DWORD", "/d",
            str(THRESHOLD), "/f")
        reg("add", FRAMEWORK_KEY, "/v", "Password Delay", "/t", "REG_DWORD", "/d", "0", "/f")
        reg("add", DESKTOP_KEY, "/v", "ScreenSaveUsePassword", "/t", "REG_SZ", "/d", "0", "/f")

    @classmethod
    def tearDownClass(cls):
        reg("delete", CAROUSEL_KEY, "/f")
        subprocess.run([SESSION_SCRIPT, "stop", build], timeout=120)

    def setUp(self):
        self.assertEqual(MONITORS, self.monitors, "Wine sees other monitors")
        self.scratch = Scratch()
        self.addCleanup(self.scratch.remove)
        # Copies under other names, so that three monitors can show three different savers.
        folder = os.path.join(session.bin, "carousel_savers")
        self.paths = {}
        for name, source in (("own_saver", "own_saver"), ("own_copy", "own_saver"),
                             ("crash_saver", "crash_saver"), ("crash_copy", "crash_saver"),
                             ("crash_third", "crash_saver")):
            path = self.scratch.path(name + ".scr")
            shutil.copy(os.path.join(folder, source + ".scr"), path)
            self.paths[name] = path
        self.paths["gdi_saver"] = os.path.join(session.bin, "scrnsave", "gdi_saver.scr")

    # ---- Driving a run ----

    def configure(self, savers, monitors="each", order="list", cycle=600):
        listed = "\\0".join(windows_path(self.paths[name]) for name in savers)
        for value in (("Savers", "REG_MULTI_SZ", listed), ("Monitors", "REG_SZ", monitors),
                      ("Order", "REG_SZ", order), ("Cycle", "REG_DWORD", str(cycle))):
            result = reg("add", CAROUSEL_KEY, "/v", value[0], "/t", value[1], "/d", value[2], "/f")
            self.assertEqual(0, result.returncode, result.stderr)

    def start(self, at=None, env=None):
        self.place_mouse(*(at or self.centre(self.monitors[0])))
        carousel = Program(session, self.scratch, "carousel.scr", "/s", env=env)
        self.addCleanup(self.assert_no_saver_left)
        self.addCleanup(carousel.kill)
        return carousel

    def shows_lines(self):
        return [l for l in self.scratch.matching("Carousel: monitor") if " shows " in l]

    def wait_shows(self, count, timeout=15):
        self.assertTrue(poll(lambda: len(self.shows_lines()) >= count, timeout, interval=0.05),
                        "fewer than %d savers started; log ends %r" % (count,
                                                                     self.scratch.lines()[-8:]))
        shows = (re.match(r"Carousel: monitor (-?\d+) shows (\S+)\.scr", l)
                 for l in self.shows_lines())
        return [(int(m.group(1)), m.group(2)) for m in shows]

    def assert_in_its_window(self, created_lines):
        """Each saver's window, as the saver itself sees it, fills one monitor of the run."""
        rects = []
        for line in created_lines:
            fields = dict(p.split("=", 1) for p in line.split() if "=" in p)
            rects.append(tuple(int(fields[k]) for k in ("x", "y", "w", "h")))
        self.assertEqual(sorted(self.monitors), sorted(rects))

    def assert_held_while_blind(self, blind, seen):
        held_before = len(self.scratch.matching("Carousel: nobody sees the run"))
        self.send_to_run(*blind)
        self.scratch.wait_lines("Carousel: nobody sees the run", held_before + 1)
        time.sleep(0.3)  # what was on its way when they were held
        pids = list(saver_processes())
        count, cpu = len(self.scratch.lines()), cpu_ticks(pids)
        time.sleep(1.5)
        drawn = [l for l in self.scratch.lines()[count:] if "tick" in l or "timer" in l]
        self.assertEqual([], drawn, "savers drew while nobody could see them")
        self.assertLessEqual(cpu_ticks(pids) - cpu, 1, "savers used CPU while nobody saw them")
        count = len(self.scratch.lines())
        self.send_to_run(*seen)

        def moving():
            later = self.scratch.lines()[count:]
            return any("own tick" in l for l in later) and any("gdi timer" in l for l in later)
        self.assertTrue(poll(moving, 2.5, interval=0.05), "the savers do not move within 2 s")

    def end_with_key_on(self, carousel, monitor):
        self.move(*self.centre(monitor))
        session.key("a")
        self.assertEqual(2, carousel.wait_exit(15), "the run did not end with 2")

    def assert_no_saver_left(self):
        left = poll(lambda: not saver_processes(), 2.5, interval=0.1)
        self.assertTrue(left, "saver processes outlive the run: %r" % saver_processes())

    # ---- Screen ----

    def centre(self, rect):
        return rect[0] + rect[2] // 2, rect[1] + rect[3] // 2

    def to_x(self, x, y):
        return x - min(m[0] for m in self.monitors), y - min(m[1] for m in self.monitors)

    def move(self, x, y):
        session.xdotool("mousemove", *map(str, self.to_x(x, y)))

    def place_mouse(self, x, y):
        def there():
            self.move(x, y)
            return session.mouse() == self.to_x(x, y)
        self.assertTrue(poll(there, 5), "the pointer does not move to %d,%d" % (x, y))

    def send_to_run(self, message, wparam, lparam):
        result = session.run("uiprobe.exe", "send", "KoScreenSaverClass", "-", hex(message),
                             hex(wparam & 0xFFFFFFFF), str(lparam))
        self.assertEqual(0, result.returncode, result.stderr)

    # ---- The cases ----

    def test_a_each_list_a_saver_per_monitor_rotation_display_off_and_a_key_on_a_secondary(self):
        self.configure(["own_saver", "gdi_saver", "own_copy"], cycle=10)
        carousel = self.start()
        first = self.wait_shows(3)
        # One different saver per monitor, in the stored order from the primary on.
        self.assertEqual([(0, "own_saver"), (1, "gdi_saver"), (2, "own_copy")], sorted(first))
        created = (self.scratch.wait_lines("own create", 2) +
                   self.scratch.wait_lines("gdi create", 1))
        self.assert_in_its_window(created)
        self.assertIn("child=1", self.scratch.matching("gdi create")[0])
        self.assertTrue(poll(lambda: len(saver_processes()) == 3, 5), "not three saver processes")

        # Display off, then the session locked: the savers are held, with no tick and no CPU;
        # once seen again, they move within 2 s.
        self.scratch.wait_lines("own tick", 4)
        for blind, seen in (((WM_SYSCOMMAND, SC_MONITORPOWER, DISPLAY_OFF),
                             (WM_SYSCOMMAND, SC_MONITORPOWER, DISPLAY_ON)),
                            ((WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK, 0),
                             (WM_WTSSESSION_CHANGE, WTS_SESSION_UNLOCK, 0))):
            with self.subTest(blind=blind):
                self.assert_held_while_blind(blind, seen)
        # The cycle (10 s, the time held not counted): every monitor moves on to the next saver.
        after = self.wait_shows(6, timeout=15)[3:]
        self.assertEqual([(0, "gdi_saver"), (1, "own_copy"), (2, "own_saver")], sorted(after))
        self.assertTrue(poll(lambda: len(saver_processes()) == 3, 3), "not three savers after")

        self.end_with_key_on(carousel, self.monitors[2])

    def test_b_same_random_crashing_savers_replaced_and_a_mouse_move_on_a_secondary(self):
        self.configure(["crash_saver", "crash_copy", "crash_third"], monitors="same",
                       order="random", cycle=0)
        x, y = self.centre(self.monitors[1])
        carousel = self.start(at=(x, y))
        # Each saver crashes a second after it starts, and every monitor moves on to the next
        # one together: three rounds show each saver once, each on all three monitors.
        rounds = self.wait_shows(9, timeout=25)[:9]
        picks = [rounds[i:i + 3] for i in range(0, 9, 3)]
        for pick in picks:
            self.assertEqual([0, 1, 2], sorted(m for m, _ in pick))
            self.assertEqual(1, len({name for _, name in pick}), "monitors differ: %r" % pick)
        self.assertEqual(3, len({pick[0][1] for pick in picks}), "a saver came twice: %r" % picks)
        # Each round ended with a crash that Carousel saw.
        failed = [l for l in self.scratch.matching("Carousel: monitor")
                  if l.endswith("stopped answering") or l.endswith(" ended")]
        self.assertGreaterEqual(len(failed), 2, failed)
        self.assertGreaterEqual(len(self.scratch.matching("crash pid=")), 2)

        # A movement within the threshold over a secondary monitor's saver ends nothing; beyond
        # it, everything.
        self.move(x + THRESHOLD // 2, y)
        self.assertFalse(poll(lambda: not carousel.running(), 1.5), "ended within the threshold")
        self.move(x - THRESHOLD - 10, y)
        self.assertEqual(2, carousel.wait_exit(15), "the run did not end with 2")

    def test_c_a_crash_replaced_within_two_seconds_and_a_key_while_a_saver_shows_a_box(self):
        self.configure(["crash_saver", "own_saver"], monitors="each", cycle=0)
        # The savers show a message box at their start, which takes the activation from the run.
        carousel = self.start(env={"MORVANE_OWN_SAVER_BOX": "1"})
        self.wait_shows(3)
        self.scratch.wait_lines("crash pid=", 1, timeout=10)
        seen = time.monotonic()
        before = len(self.shows_lines())
        self.assertTrue(poll(lambda: len(self.shows_lines()) > before, 2.5, interval=0.05),
                        "no saver replaced the crashed one within 2 s")
        print("replaced %.2f s after the crash was logged" % (time.monotonic() - seen),
              file=sys.stderr)
        self.assertTrue(self.scratch.matching("own box"))
        self.assertTrue(carousel.running(), "the run ended without input")
        self.end_with_key_on(carousel, self.monitors[1])

    def test_d_savers_that_end_by_themselves_replaced_and_killed_the_savers_go_with_it(self):
        self.configure(["own_saver", "gdi_saver"])
        carousel = self.start(env={"MORVANE_OWN_SAVER_END_MS": "1500"})
        self.wait_shows(3)
        ended = self.scratch.wait_lines("own ends", 1, timeout=10)
        seen, before = time.monotonic(), len(self.shows_lines())
        self.assertTrue(poll(lambda: len(self.shows_lines()) > before, 2.5, interval=0.05),
                        "no saver replaced the one that ended within 2 s")
        print("replaced %.2f s after a saver ended" % (time.monotonic() - seen), file=sys.stderr)
        pid = ended[0].split("pid=")[1]
        self.assertTrue(self.scratch.matching("Carousel: saver process %s ended" % pid))
        self.assertTrue(poll(lambda: len(saver_processes()) == 3, 5), "not three savers")
        carousel.kill()

    def test_e_preview_shows_the_first_saver_inside_its_window(self):
        self.configure(["own_saver", "gdi_saver"], order="random")
        # A window of another program that goes by itself after a few seconds.
        host = Program(session, self.scratch, "uiprobe.exe", "paint", "100", "100", "320", "240",
                       "203040", "5")
        self.addCleanup(host.kill)

        def painter():
            lines = session.run("uiprobe.exe", "windows").stdout.splitlines()
            found = [parse_fields(l) for l in lines if "class=UiprobePaint" in l]
            return found[0]["hwnd"] if found else None
        hwnd = poll(painter, 10)
        self.assertIsNotNone(hwnd, "no window to preview in")
        preview = Program(session, self.scratch, "carousel.scr", "/p", str(int(hwnd, 16)))
        self.addCleanup(self.assert_no_saver_left)
        self.addCleanup(preview.kill)
        # The list's first saver, whatever the order, fills Carousel's preview window, which
        # fills the host.
        created = self.scratch.wait_lines("own create")
        fields = dict(p.split("=", 1) for p in created[0].split() if "=" in p)
        self.assertEqual((100, 100, 320, 240), tuple(int(fields[k]) for k in "xywh"))
        self.scratch.wait_lines("own tick", 2)
        self.assertEqual([], self.scratch.matching("gdi create"))
        # The host goes, the preview and its saver with it.
        self.assertEqual(0, host.wait_exit(15))
        self.assertEqual(2, preview.wait_exit(15))

    def test_g_a_saver_that_stops_answering_replaced_within_two_seconds(self):
        self.configure(["own_saver", "gdi_saver"])
        carousel = self.start(env={"MORVANE_OWN_SAVER_HANG_MS": "1000"})
        self.wait_shows(3)
        self.scratch.wait_lines("own hangs", 1, timeout=10)
        seen = time.monotonic()
        replaced = poll(lambda: any("stopped answering" in l for l in self.scratch.matching(
            "Carousel: monitor")), 2.5, interval=0.05)
        self.assertTrue(replaced, "a saver that stopped answering was not replaced within 2 s")
        print("replaced %.2f s after it stopped" % (time.monotonic() - seen), file=sys.stderr)
        self.assertTrue(carousel.running())
        self.end_with_key_on(carousel, self.monitors[1])

    def test_f_nothing_usable_black_on_every_monitor_until_a_key(self):
        missing = self.scratch.path("missing.scr")
        self.paths["missing"] = missing
        self.configure(["missing"])
        # A bright window of a user's program on every monitor, which must not show.
        for monitor in self.monitors:
            painter = Program(session, self.scratch, "uiprobe.exe", "paint", *map(str, monitor),
                              "00ff00", "60")
            self.addCleanup(painter.kill)

        def lit(limit):
            shot = multimon_e2e.grab()
            return [multimon_e2e.lit_share(crop(shot, *self.to_x(m[0], m[1]), m[2], m[3])) > limit
                    for m in self.monitors]
        # On screen before the run starts: a window shown later could stand above the run's.
        self.assertTrue(poll(lambda: all(lit(0.9)), 15), "the bright windows do not show")
        carousel = self.start()
        self.scratch.wait_lines("Carousel: no usable saver")
        lines = session.run("uiprobe.exe", "windows").stdout.splitlines()
        runs = [parse_fields(l) for l in lines if "class=KoScreenSaverClass" in l]
        self.assertEqual(sorted(self.monitors), sorted(
            tuple(int(w[k]) for k in ("x", "y", "w", "h")) for w in runs))

        self.assertTrue(poll(lambda: not any(lit(0.01)), 10), "a monitor is not black")
        self.assertEqual({}, saver_processes())
        self.end_with_key_on(carousel, self.monitors[2])


def load_tests(loader, tests, pattern):
    return loader.loadTestsFromTestCase(CarouselRun)


if __name__ == "__main__":
    build = os.path.abspath(sys.argv.pop(1))
    unittest.main(verbosity=2)
