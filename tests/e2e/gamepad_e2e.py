"""Gamepads ending the test saver's full-screen run under Wine, through our stand-in xinput1_4.dll
(tests/framework/standins/xinput_pad.c): the framework's own look-up loads it (WINEDLLOVERRIDES
xinput1_4=n), and the test sets the pads by replacing the stand-in's pad file. The stand-in logs
each new pad state it hands out; the saver logs its ticks and the framework's traces."""
import os
import shutil
import subprocess
import sys
import unittest

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, os.path.dirname(__file__))
from saverrun import SaverTest, windows_path  # noqa: E402
from winesession import Session, poll  # noqa: E402

IDNO, IDYES = 7, 6
PROMPT = "Screen Saver Password"
SAVER_WINDOW = ("KoScreenSaverClass", "SaverWindow")
SHEET = "Screen Saver Properties"
IDCANCEL = 2
WM_SYSCOMMAND, SC_MONITORPOWER = 0x112, 0xF170
BUTTON_A, BUTTON_START = 0x1000, 0x0010


def pad_line(tag, buttons=0, lt=0, rt=0, lx=0, ly=0, rx=0, ry=0, index=0):
    return "%d %x %d %d %d %d %d %d %s" % (index, buttons, lt, rt, lx, ly, rx, ry, tag)


class PadTest(SaverTest):
    """A pad file per test; savers started with the stand-in loaded in their place."""

    def setUp(self):
        super().setUp()
        self.pad_file = self.scratch.path("pads.txt")
        self.set_pads()

    def set_pads(self, *lines):
        """Replaces the pad file at once: the stand-in never reads half of it."""
        new = self.pad_file + ".new"
        with open(new, "w") as f:
            f.write("".join(line + "\n" for line in lines))
        os.replace(new, self.pad_file)

    def press(self, tag, **axes):
        """Sets pad 0 to that state and waits until the saver's poller has read it."""
        self.set_pads(pad_line(tag, **axes))
        self.scratch.wait_lines("pad 0 read %s" % tag)

    def start_pad_saver(self, *args, env=None, exe="test_saver_plain.exe", **kwargs):
        extra = {"MORVANE_STANDIN_PAD": windows_path(self.pad_file),
                 "WINE_EXTRA_DLLOVERRIDES": "xinput1_4=n"}
        extra.update(env or {})
        kwargs.setdefault("prefs", ("debugTrace",))
        return self.start(exe, *args, env=extra, **kwargs)

    def traces(self, text):
        return [line for line in self.scratch.lines() if line.startswith("trace ") and text in line]


class FullScreen(PadTest, unittest.TestCase):
    def start_saver(self, **kwargs):
        self.place_mouse(300, 300)
        kwargs.setdefault("threshold", 200)
        saver = self.start_pad_saver("/s", **kwargs)
        self.wait_ticks(2)
        return saver

    def test_a_button_ends_the_run_and_sticks_and_triggers_within_their_dead_zones_do_not(self):
        # With active configuration allowed: a pad is no configuration key.
        saver = self.start_saver(activeconfig=1, prefs=("debugTrace", "allowActiveConfig"))
        loaded = self.scratch.wait_lines("xinput standin loaded")[0]
        self.assertIn(windows_path(self.session.bin).lower(), loaded.lower())
        self.assertTrue(self.traces("Gamepads: read through xinput1_4.dll"))
        self.press("rest")
        self.press("noise", lt=30, rt=12, lx=7000, ly=-3000, rx=-6000, ry=6000)
        self.press("noise2", lt=5, rt=30, lx=-5500, ly=5500, rx=8689)
        self.assert_still_running(saver)
        self.assertEqual([], self.traces("Gamepad 0 used"))
        self.press("button", buttons=BUTTON_A)
        self.assertEqual(2, saver.wait_exit())
        lines = self.scratch.lines()
        self.assertLess(lines.index("pad 0 read button"), lines.index("close"))
        self.assertEqual([], self.scratch.matching("activeconfig"))

    def test_glimmerbox_and_a_saver_of_the_sdks_library_end_on_a_button_too(self):
        for exe in ("glimmerbox.scr", os.path.join("scrnsave", "gdi_saver.scr")):
            with self.subTest(exe):
                self.setUp()
                # Each beside its own copy of the stand-in, as the look-up finds it.
                shutil.copy(os.path.join(self.session.bin, exe), self.scratch.dir)
                shutil.copy(os.path.join(self.session.bin, "xinput1_4.dll"), self.scratch.dir)
                self.set_pads(pad_line("rest"))
                saver = self.start_pad_saver(
                    "/s", exe=os.path.join(self.scratch.dir, os.path.basename(exe)))
                self.scratch.wait_lines("pad 0 read rest", timeout=30)
                self.assertTrue(saver.running())
                self.press("button", buttons=BUTTON_A)
                self.assertEqual(2, saver.wait_exit())
                self.doCleanups()

    def test_a_stick_beyond_its_dead_zone_ends_it_but_not_one_held_askew_from_the_start(self):
        # A pad lying with its stick pushed when the saver starts is no one at the pad.
        self.set_pads(pad_line("askew", lx=20000, rt=255, buttons=BUTTON_START))
        saver = self.start_saver()
        self.scratch.wait_lines("pad 0 read askew")
        self.assert_still_running(saver)
        self.press("moved", lx=20000, ly=9000, rt=255, buttons=BUTTON_START)
        self.assertEqual(2, saver.wait_exit())

    def test_a_password_is_asked_for_as_for_a_key_and_not_within_the_delay(self):
        self.addCleanup(subprocess.run, [self.session.wine_run, "reg", "delete",
                                         r"HKCU\Control Panel\Desktop", "/v",
                                         "ScreenSaveUsePassword", "/f"],
                        env=self.session.env, capture_output=True, timeout=60)
        verify = {"MORVANE_STANDIN_VERIFY": "ask"}
        saver = self.start_saver(delay=60, usepassword=1, env=verify)
        # A pad's first reading is where it rests: only what follows is input.
        self.press("rest")
        self.press("within_delay", buttons=BUTTON_A)
        self.assertEqual(2, saver.wait_exit())
        self.assertEqual([], self.scratch.matching("provider called"))

        self.setUp()
        saver = self.start_saver(delay=0, usepassword=1, env=verify)
        self.press("rest")
        self.press("first", buttons=BUTTON_A)
        self.answer_box(PROMPT, IDNO)
        self.scratch.wait_lines("provider answer=0")
        # The prompt was open while the button was held and released: neither counted.
        self.press("released")
        self.assert_still_running(saver)
        self.press("again", buttons=BUTTON_A)
        self.answer_box(PROMPT, IDYES)
        self.assertEqual(2, saver.wait_exit())
        self.assertEqual(["provider answer=0", "provider answer=1"],
                         self.scratch.matching("provider answer"))

    def test_pads_are_looked_at_seldom_while_none_is_there_often_while_one_is_never_while_dark(self):
        saver = self.start_saver(env={"MORVANE_STANDIN_PAD_CALLS": "1"})
        self.scratch.wait_lines("pad call")
        # No pad: a look every few seconds, so at most one more within 4 s.
        self.assertFalse(poll(lambda: len(self.scratch.matching("pad call")) > 2, 4))
        self.set_pads(pad_line("rest"))
        self.scratch.wait_lines("pad 0 read rest", timeout=10)
        calls = len(self.scratch.matching("pad call"))
        self.scratch.wait_lines("pad call", calls + 5, timeout=3)
        # The display off: ticks and looks pause until it comes back.
        self.assertTrue(self.send_monitor_power(2))
        self.scratch.wait_lines("trace Power: the display is off")
        calls = len(self.scratch.matching("pad call"))
        self.assertFalse(poll(lambda: len(self.scratch.matching("pad call")) > calls + 1, 1.5))
        self.assertTrue(self.send_monitor_power(-1))
        self.scratch.wait_lines("pad call", calls + 5, timeout=3)
        self.press("button", buttons=BUTTON_A)
        self.assertEqual(2, saver.wait_exit())

    def send_monitor_power(self, state):
        """The system's notice, sent to the saver window as the system sends it."""
        return self.session.run("uiprobe.exe", "send", *SAVER_WINDOW, hex(WM_SYSCOMMAND),
                                hex(SC_MONITORPOWER), str(state)).returncode == 0


class Elsewhere(PadTest, unittest.TestCase):
    def test_previews_and_the_configuration_never_look_at_pads(self):
        self.set_pads(pad_line("rest"))
        saver = self.start_pad_saver("/p", "tavisk")
        self.wait_ticks(3)
        self.set_pads(pad_line("button", buttons=BUTTON_A, lx=30000))
        self.assert_still_running(saver)
        self.quit_companions()
        self.assertEqual(2, saver.wait_exit())
        sheet = self.start_pad_saver("/c")
        self.answer_box(SHEET, IDCANCEL)
        self.assertEqual(0, sheet.wait_exit())
        self.assertEqual([], self.traces("Gamepad"))
        self.assertEqual([], self.scratch.matching("xinput standin loaded"))

    def test_without_our_library_the_look_up_goes_on_to_the_next_one(self):
        # Without its pad file the stand-in refuses to load, as a missing xinput1_4.dll would.
        self.place_mouse(300, 300)
        saver = self.start_pad_saver("/s", threshold=200, env={"MORVANE_STANDIN_PAD": ""})
        self.wait_ticks(2)
        self.assertTrue(self.traces("Gamepads: read through xinput1_3.dll"))
        self.session.key("a")
        self.assertEqual(2, saver.wait_exit())


if __name__ == "__main__":
    SaverTest.session = Session(sys.argv.pop(1))
    unittest.main(verbosity=2)
