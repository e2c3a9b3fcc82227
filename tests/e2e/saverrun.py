"""Running the framework's test savers, stand-ins and companion under the build's Wine session.

Every program of one run appends to one log file (MORVANE_TEST_LOG); the tests wait on its lines,
never on fixed sleeps. See tests/framework/savers/saver_support.h for what a saver can be asked."""
import os
import shutil
import tempfile

from winesession import Program as BuildProgram, poll

# The colours the test savers paint, one per tick in turn.
PALETTE = [(255, 0, 255), (0, 255, 255), (255, 255, 0), (0, 128, 255)]
# The user settings a saver writes to the registry before its run, by their variable's suffix.
SETTINGS = ("DELAY", "THRESHOLD", "ACTIVECONFIG", "USEPASSWORD")


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


class Scratch:
    """A temporary folder with the run's log in it."""

    def __init__(self):
        self.dir = tempfile.mkdtemp(prefix="morvane-e2e-")
        self.log = os.path.join(self.dir, "log.txt")

    def path(self, name):
        return os.path.join(self.dir, name)

    def lines(self):
        try:
            with open(self.log, errors="replace") as f:
                return [line.rstrip("\n") for line in f]
        except FileNotFoundError:
            return []

    def matching(self, prefix):
        return [line for line in self.lines() if line.startswith(prefix)]

    def wait_lines(self, prefix, count=1, timeout=15):
        """The lines starting with prefix once there are count of them; fails after timeout."""
        found = poll(lambda: len(self.matching(prefix)) >= count, timeout, interval=0.05)
        lines = self.matching(prefix)
        assert found, "waited for %d lines %r, log ends with %r" % (count, prefix, self.lines()[-8:])
        return lines

    def remove(self):
        shutil.rmtree(self.dir, ignore_errors=True)


class Program(BuildProgram):
    """One program of the build started with the scratch folder's log."""

    def __init__(self, session, scratch, exe, *args, env=None, cwd=None, router=False,
                 prefs=(), **settings):
        extra = {"MORVANE_TEST_LOG": windows_path(scratch.log),
                 "MORVANE_TEST_PREFS": ",".join(prefs),
                 "MORVANE_TAVISK_QUIT": windows_path(scratch.path("quit"))}
        for name, value in settings.items():
            assert name.upper() in SETTINGS, name
            extra["MORVANE_TEST_" + name.upper()] = str(value)
        if router:
            # NOTE: Wine prefers its own MPR.DLL; only this override loads the stand-in.
            extra["WINE_EXTRA_DLLOVERRIDES"] = "mpr=n,b"
        extra.update(env or {})
        super().__init__(session, exe, *args, cwd=cwd, env=extra)

    def wait_exit(self, timeout=15):
        return super().wait_exit(timeout)


class SaverTest:
    """Mixin for unittest cases: a scratch folder per test, programs killed at the end."""

    session = None

    def setUp(self):
        self.scratch = Scratch()
        self.addCleanup(self.scratch.remove)
        self.addCleanup(self.quit_companions, self.scratch)

    def start(self, exe, *args, **kwargs):
        program = Program(self.session, self.scratch, exe, *args, **kwargs)
        self.addCleanup(program.kill)
        return program

    def quit_companions(self, scratch=None):
        """Ends the companions started with this test's (or that scratch folder's) log."""
        open((scratch or self.scratch).path("quit"), "w").close()
        self.session.window_gone("tavisk", "-", timeout_ms=5000)

    def wait_ticks(self, count, after=0, timeout=15):
        """Waits until count ticks beyond the first `after` have been logged."""
        self.scratch.wait_lines("tick ", after + count, timeout)

    def tick_count(self):
        return len(self.scratch.matching("tick "))

    def assert_still_running(self, program, ticks=3):
        """Ticks go on after the input and the saver has not been closed."""
        self.wait_ticks(ticks, after=self.tick_count())
        self.assertTrue(program.running(), "the saver ended")
        self.assertEqual([], self.scratch.matching("destroy"))

    def place_mouse(self, x, y):
        """Puts the pointer at x, y before a saver starts, making sure it got there."""
        def there():
            self.session.xdotool("mousemove", str(x), str(y))
            return self.session.mouse() == (x, y)
        self.assertTrue(poll(there, 5), "the pointer does not move")

    def origin(self):
        """Where the full-screen saver measures mouse movement from: the cursor at its creation."""
        line = self.scratch.wait_lines("created")[0]
        x, y = line.rsplit("cursor=", 1)[1].split(",")
        return int(x), int(y)

    def move_to(self, x, y):
        """Moves the mouse and waits until the saver has seen the cursor there."""
        self.session.xdotool("mousemove", str(x), str(y))
        self.scratch.wait_lines("mousemove %d %d" % (x, y))

    def answer_box(self, caption, button, text=None):
        box = self.session.wait_box(caption)
        self.assertIsNotNone(box, "no box captioned %r" % caption)
        if text is not None:
            self.assertEqual(text, box["text"])
        self.assertIn(button, box["buttons"])
        self.session.click(*box["buttons"][button])
        return box


def copy_program(session, exe, folder):
    """A copy of a program of the build in another folder (the programs need no DLLs)."""
    target = os.path.join(folder, exe)
    shutil.copy(os.path.join(session.bin, exe), target)
    return target


def pixel(shot, x, y):
    width, _, px = shot
    i = (y * width + x) * 3
    return tuple(px[i:i + 3])
