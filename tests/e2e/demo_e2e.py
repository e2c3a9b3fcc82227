"""The real glimmerbox.exe under Wine on the virtual display, driven as a person would."""
import os
import shutil
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from winesession import Program, Session, crop, glow_shares, poll  # noqa: E402

IDOK, IDYES, IDNO = 1, 6, 7
# Share of the window that each glow colour must cover in one view of the swarm.
GLOW_SHARE = 0.003
session = None


class DemoRun(Program):
    """One start of the demo, with helpers for the boxes it shows."""

    def __init__(self, cwd=None):
        super().__init__(session, "glimmerbox.exe", cwd=cwd)

    def answer(self, caption, button, expected_text=None):
        box = session.wait_box(caption)
        assert box is not None, "no box captioned %r appeared" % caption
        if expected_text is not None:
            assert box["text"] == expected_text, "box text %r" % box["text"]
        assert button in box["buttons"], "box %r has no button %d" % (caption, button)
        session.click(*box["buttons"][button])
        return box


class WindowedScene(unittest.TestCase):
    def setUp(self):
        self.run_ = DemoRun()
        self.addCleanup(self.run_.kill)
        self.run_.answer("Start FullScreen?", IDNO, "Would You Like To Run In Fullscreen Mode?")
        self.geometry = session.window("OpenGL", "Glimmerbox")
        self.assertIsNotNone(self.geometry, "no Glimmerbox window")

    def test_window_renders_a_moving_glowing_scene_and_escape_ends_it(self):
        g = self.geometry
        self.assertEqual((g["x"], g["y"], g["w"], g["h"]), (0, 0, 800, 600))
        tmp = tempfile.mkdtemp(prefix="glimmer-e2e-")
        self.addCleanup(shutil.rmtree, tmp, True)
        area = (g["x"], g["y"], g["w"], g["h"])
        shots = iter(range(1000))

        def look():
            return crop(session.screenshot(os.path.join(tmp, "%d.png" % next(shots))), *area)

        first = look()
        second = poll(lambda: (lambda s: s if s[2] != first[2] else None)(look()), timeout=10)
        self.assertIsNotNone(second, "two screenshots of the scene are the same")
        lit = sum(1 for i in range(0, len(second[2]), 3) if max(second[2][i:i + 3]) > 40)
        self.assertGreater(lit / (second[0] * second[1]), 0.2, "the scene is mostly black")

        # The swarm of balls may be anywhere in the room: turn round on the spot until it is in view.
        seen = []

        def glowing():
            seen.append(glow_shares(look()))
            return all(seen[-1][c] > GLOW_SHARE for c in ("orange", "red", "yellow"))

        session.hold_key("Left")
        try:
            found = poll(glowing, timeout=30, interval=0.2)
        finally:
            session.release_key("Left")
        self.assertTrue(found, "no view showed all three glow colours: %r" % seen[-3:])
        print("glow shares of the view: %r" % seen[-1], file=sys.stderr)

        session.hold_key("Escape")
        try:
            self.assertEqual(self.run_.wait_exit(), 0)
        finally:
            session.release_key("Escape")

    def test_a_quick_escape_tap_ends_it(self):
        # Pressed and released at once, as a person taps it: both reach the demo within one frame,
        # never seen held, and the press still counts.
        session.key("Escape")
        self.assertEqual(self.run_.wait_exit(timeout=10), 0)

    def test_closing_the_window_ends_with_exit_code_0(self):
        session.key("alt+F4")
        self.assertEqual(self.run_.wait_exit(), 0)


class StartFailures(unittest.TestCase):
    def test_refused_fullscreen_then_no_closes_without_a_window(self):
        run = DemoRun()
        self.addCleanup(run.kill)
        run.answer("Start FullScreen?", IDYES)
        run.answer("Zell GL", IDNO, "The Requested Fullscreen Mode Is Not Supported By\n"
                                    "Your Video Card. Use Windowed Mode Instead?")
        box = session.wait_box("ERROR")
        self.assertIsNotNone(box)
        self.assertEqual(box["text"], "Program Will Now Close.")
        self.assertIsNone(session.window("OpenGL", "Glimmerbox", timeout_ms=0))
        session.click(*box["buttons"][IDOK])
        self.assertEqual(run.wait_exit(), 0)

    def test_refused_fullscreen_then_yes_runs_windowed(self):
        run = DemoRun()
        self.addCleanup(run.kill)
        run.answer("Start FullScreen?", IDYES)
        run.answer("Zell GL", IDYES)
        g = session.window("OpenGL", "Glimmerbox")
        self.assertIsNotNone(g)
        self.assertEqual((g["w"], g["h"]), (800, 600))
        self.assertTrue(g["style"] & 0x00C00000, "a windowed run has a caption")
        session.hold_key("Escape")
        try:
            self.assertEqual(run.wait_exit(), 0)
        finally:
            session.release_key("Escape")

    def test_no_texture_files_fails_initialisation(self):
        empty = tempfile.mkdtemp(prefix="glimmer-notex-")
        self.addCleanup(shutil.rmtree, empty, True)
        run = DemoRun(cwd=empty)
        self.addCleanup(run.kill)
        run.answer("Start FullScreen?", IDNO)
        run.answer("ERROR", IDOK, "Initialization Failed.")
        self.assertEqual(run.wait_exit(), 0)
        self.assertTrue(session.window_gone("OpenGL", "Glimmerbox", timeout_ms=2000))


if __name__ == "__main__":
    session = Session(sys.argv.pop(1))
    unittest.main(verbosity=2)
