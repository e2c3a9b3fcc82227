"""glimmerbox.scr "/s" under Wine on the virtual display while the display goes off and on and the
session is locked and unlocked, checked as a person would see it: screenshots of the whole screen.
The system's notices are sent to the saver window from another process (uiprobe send), as the
system sends them: WM_SYSCOMMAND SC_MONITORPOWER (2 off, -1 on) and WM_WTSSESSION_CHANGE (7 lock,
8 unlock). Also: "Show frame rate" puts its text over the scene."""
import os
import subprocess
import sys
import time
import unittest

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, os.path.dirname(__file__))
from saverrun import Program, Scratch  # noqa: E402
from winesession import Session, crop, poll  # noqa: E402

SCREEN = (0, 0, 1024, 768)
SAVER = "glimmerbox.scr"
SAVER_WINDOW = ("KoScreenSaverClass", "SaverWindow")
SETTINGS_KEY = r"HKCU\Software\Glimmerbox\Screen Saver"
FRAMEWORK_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Screen Savers"
WM_SYSCOMMAND, SC_MONITORPOWER = 0x112, 0xF170
WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK, WTS_SESSION_UNLOCK = 0x2B1, 7, 8
DISPLAY_OFF, DISPLAY_ON = 2, -1
# Where the frame-rate text goes: the top-left corner, in a black box at least 270 by 28 pixels
# (the shortest text, "-- fps  p99 -- ms  CPU --%", in 16-pixel Courier New).
OVERLAY_AREA = (0, 0, 260, 26)
STILL_SECONDS = 2.0
session = None


def reg(*args):
    return subprocess.run([session.wine_run, "reg", *args], env=session.env, capture_output=True,
                          text=True, timeout=60)


def black_share(shot):
    width, height, px = shot
    return sum(1 for i in range(0, len(px), 3) if px[i:i + 3] == b"\0\0\0") / (width * height)


def white_share(shot):
    width, height, px = shot
    return sum(1 for i in range(0, len(px), 3) if min(px[i:i + 3]) > 200) / (width * height)


class SaverUnderPower(unittest.TestCase):
    """One full-screen saver per test, the saver's settings back to their defaults around it."""

    def setUp(self):
        self.scratch = Scratch()
        self.addCleanup(self.scratch.remove)
        reg("delete", SETTINGS_KEY, "/f")
        self.addCleanup(reg, "delete", SETTINGS_KEY, "/f")
        # Screenshots move no pointer, but a stray movement must not end the saver mid-test.
        old = reg("query", FRAMEWORK_KEY, "/v", "Mouse Threshold").stdout
        reg("add", FRAMEWORK_KEY, "/v", "Mouse Threshold", "/t", "REG_DWORD", "/d", "200", "/f")
        if "REG_DWORD" in old:
            value = str(int(old.split("REG_DWORD")[1].split()[0], 16))
            self.addCleanup(reg, "add", FRAMEWORK_KEY, "/v", "Mouse Threshold", "/t", "REG_DWORD",
                            "/d", value, "/f")
        else:
            self.addCleanup(reg, "delete", FRAMEWORK_KEY, "/v", "Mouse Threshold", "/f")

    def start_saver(self):
        def there():
            session.xdotool("mousemove", "300", "300")
            return session.mouse() == (300, 300)
        self.assertTrue(poll(there, 5), "the pointer does not move")
        saver = Program(session, self.scratch, SAVER, "/s")
        self.addCleanup(saver.kill)
        self.assertIsNotNone(session.window(*SAVER_WINDOW), "no saver window")
        return saver

    def shoot(self, area=SCREEN):
        path = self.scratch.path("shot%d.png" % len(os.listdir(self.scratch.dir)))
        return crop(session.screenshot(path), *area)

    def send(self, message, wparam, lparam=0):
        result = session.run("uiprobe.exe", "send", *SAVER_WINDOW, hex(message), hex(wparam),
                             str(lparam))
        self.assertEqual(0, result.returncode, "the saver window took no message %#x" % message)

    def assert_moves(self, what):
        first = self.shoot()
        moved = poll(lambda: self.shoot()[2] != first[2], 10, interval=0.05)
        self.assertTrue(moved, "the picture does not move %s" % what)

    def assert_still(self, what):
        """The picture settles (two shots in a row alike; a frame under way may still show), then
        every shot over the next two seconds is that same picture."""
        previous = [self.shoot()]

        def settled():
            shot = self.shoot()
            same = shot[2] == previous[0][2]
            previous[0] = shot
            return same
        self.assertTrue(poll(settled, 5, interval=0), "the picture never settles %s" % what)
        end = time.monotonic() + STILL_SECONDS
        shots = 0
        while time.monotonic() < end:
            self.assertEqual(previous[0][2], self.shoot()[2], "the picture moves %s" % what)
            shots += 1
        self.assertGreaterEqual(shots, 2)

    def assert_saver_stays(self, saver):
        self.assertTrue(saver.running(), "the saver ended")
        self.assertIsNotNone(session.window(*SAVER_WINDOW, timeout_ms=1000),
                             "the saver window is gone")


class DisplayAndSession(SaverUnderPower):
    def test_the_picture_stops_while_the_display_is_off_or_the_session_locked_then_moves(self):
        saver = self.start_saver()
        self.assert_moves("at the start")

        self.send(WM_SYSCOMMAND, SC_MONITORPOWER, DISPLAY_OFF)
        self.assert_still("while the display is off")
        self.assert_saver_stays(saver)
        self.send(WM_SYSCOMMAND, SC_MONITORPOWER, DISPLAY_ON)
        self.assert_moves("once the display is on again")

        self.send(WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK)
        self.assert_still("while the session is locked")
        self.assert_saver_stays(saver)
        self.send(WM_WTSSESSION_CHANGE, WTS_SESSION_UNLOCK)
        self.assert_moves("once the session is unlocked")

        session.key("a")
        self.assertEqual(2, saver.wait_exit())
        self.assertTrue(session.window_gone(*SAVER_WINDOW, timeout_ms=2000))


class FrameRateText(SaverUnderPower):
    def overlay_corner(self, show):
        """The top-left corner of a moving picture, with "Show frame rate" as given."""
        reg("add", SETTINGS_KEY, "/v", "ShowFrameRate", "/t", "REG_DWORD", "/d", str(show), "/f")
        saver = self.start_saver()
        self.assert_moves("with ShowFrameRate=%d" % show)
        # The text is worked out at the first frame and anew about twice a second.
        corner = self.shoot(OVERLAY_AREA)
        session.key("a")
        self.assertEqual(2, saver.wait_exit())
        self.assertTrue(session.window_gone(*SAVER_WINDOW, timeout_ms=2000))
        return black_share(corner), white_share(corner)

    def test_the_frame_rate_text_covers_the_top_left_corner_only_when_asked(self):
        shown_black, shown_white = self.overlay_corner(1)
        plain_black, plain_white = self.overlay_corner(0)
        print("top-left corner, black and white shares: shown %.3f %.3f, not shown %.3f %.3f"
              % (shown_black, shown_white, plain_black, plain_white), file=sys.stderr)
        # White letters on a black box; without it, the room's lit ceiling and walls.
        self.assertGreater(shown_black, 0.5)
        self.assertGreater(shown_white, 0.05)
        self.assertLess(plain_black, 0.2)
        self.assertLess(plain_white, 0.01)


if __name__ == "__main__":
    session = Session(sys.argv.pop(1))
    unittest.main(verbosity=2)
