"""The monitor control's hot-corner menus used as a person would: a page with a corners-mode control
(top-left and bottom-right Never) in another process, marks clicked with the mouse, menus answered
with the keys, the System Agent warning answered by clicking OK, the marks read off the screen."""
import os
import sys
import unittest

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, os.path.dirname(__file__))
from winesession import Program, Session, crop, poll  # noqa: E402

IDOK = 1
ORIGIN = (300, 250)  # where the program puts the control's top-left pixel
MARKS = {"top_left": (16, 17), "top_right": (145, 17), "bottom_left": (16, 108)}
MARK_SIZE = (24, 22)


class CornerMenus(unittest.TestCase):
    def setUp(self):
        self.session = Session(sys.argv[1])
        self.shots = os.path.join(self.session.build, "monitor_e2e")
        os.makedirs(self.shots, exist_ok=True)
        self.page = Program(self.session, "monitor_page.exe", str(ORIGIN[0]), str(ORIGIN[1]))
        self.addCleanup(self.page.kill)
        self.assertIsNotNone(self.session.window("#32770", "Monitor page"))

    def marks(self, name):
        shot = self.session.screenshot(os.path.join(self.shots, name + ".png"))
        return {corner: crop(shot, ORIGIN[0] + x, ORIGIN[1] + y, *MARK_SIZE)[2]
                for corner, (x, y) in MARKS.items()}

    def choose(self, corner, downs):
        x, y = MARKS[corner]
        self.session.click(ORIGIN[0] + x + 4, ORIGIN[1] + y + 4)
        self.assertIsNotNone(self.session.window("#32768", "-"), "no menu for " + corner)
        self.session.key(*(["Down"] * downs), "Return")

    def notified(self, bits):
        return self.session.window("#32770", "Monitor page 0x%03x" % bits, timeout_ms=10000)

    def test_menus_change_the_marks_and_tell_the_page_with_one_warning(self):
        # The painted control: top-left Never, top-right Default, bottom-left Default.
        self.assertTrue(poll(lambda: len(set(self.marks("shown")["top_left"])) > 1, 5))
        shown = self.marks("shown")
        never, default = shown["top_left"], shown["top_right"]
        self.assertTrue(never != default, "Never and Default marks look the same")
        self.assertTrue(shown["bottom_left"] == default, "bottom-left does not show Default")

        # Top-left to Now (second item): the warning first, then the page hears of the new bits.
        self.choose("top_left", 2)
        box = self.session.wait_box("Warning")
        self.assertIsNotNone(box, "no System Agent warning")
        self.assertIn("System Agent", box["text"])
        self.session.click(*box["buttons"][IDOK])
        self.assertIsNotNone(self.notified(0x212))
        now = self.marks("now")["top_left"]
        self.assertTrue(now not in (never, default), "top-left mark did not change to Now")

        # Bottom-left to Never (third item): no second warning; its mark becomes the Never mark.
        self.choose("bottom_left", 3)
        self.assertIsNotNone(self.notified(0xA12), "second choice not reported")
        self.assertIsNone(self.session.probe("box", "Warning", timeout_ms=300))
        final = self.marks("final")
        self.assertTrue(final["top_left"] == now, "top-left mark changed again")
        self.assertTrue(final["bottom_left"] == never, "bottom-left does not show Never")

        self.session.key("Escape")
        self.assertEqual(0, self.page.wait_exit(10))


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1])
