"""Passwords of the full-screen test saver under Wine, with the stand-in password provider beside it
(PASSWORD.CPL, told by MORVANE_STANDIN_VERIFY to accept, refuse, or ask in a box that is answered
by clicking). The provider logs every call; the saver logs what it sees."""
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, os.path.dirname(__file__))
from saverrun import SaverTest, copy_program  # noqa: E402
from winesession import Session  # noqa: E402

IDCANCEL, IDYES, IDNO = 2, 6, 7
PROMPT = "Screen Saver Password"


class Passwords(SaverTest, unittest.TestCase):
    def setUp(self):
        super().setUp()
        self.addCleanup(self.forget_password_setting)

    def forget_password_setting(self):
        """The test saver leaves the system's password setting as its last run stored it: on, the
        next program of the session to close a saver would ask for a password."""
        subprocess.run([self.session.wine_run, "reg", "delete", r"HKCU\Control Panel\Desktop", "/v",
                        "ScreenSaveUsePassword", "/f"], env=self.session.env, capture_output=True,
                       timeout=60)

    def start_saver(self, answer, exe="test_saver_plain.exe", at=(300, 300), **kwargs):
        self.place_mouse(*at)
        kwargs.setdefault("threshold", 200)
        env = {"MORVANE_STANDIN_VERIFY": answer}
        env.update(kwargs.pop("env", {}))
        saver = self.start(exe, "/s", env=env, **kwargs)
        self.wait_ticks(2)
        return saver

    def test_the_delay_then_the_system_setting_decide_whether_closing_asks(self):
        cases = [("within the delay", dict(delay=60, usepassword=1), False),
                 ("after it, setting off", dict(delay=0, usepassword=0), False),
                 ("after it, setting on", dict(delay=0, usepassword=1), True),
                 ("negative delay: at once", dict(delay=-1, usepassword=1), True)]
        for name, settings, asks in cases:
            with self.subTest(name):
                self.setUp()
                saver = self.start_saver("accept", **settings)
                self.session.key("a")
                self.assertEqual(2, saver.wait_exit())
                self.assertEqual(asks, bool(self.scratch.matching("provider called")), name)
                self.doCleanups()

    def test_a_refusal_keeps_the_saver_and_measures_the_mouse_from_where_the_prompt_left_it(self):
        saver = self.start_saver("ask", at=(50, 50), delay=0, usepassword=1)
        self.session.key("a")
        box = self.answer_box(PROMPT, IDNO)
        self.scratch.wait_lines("provider answer=0")
        self.assertIn("cursor=1", self.scratch.matching("provider called")[0])
        self.assertTrue(saver.running())
        # The click left the cursor on the No button: far beyond the threshold from where the saver
        # started, but that no longer counts.
        x, y = box["buttons"][IDNO]
        ox, oy = self.origin()
        self.assertGreater(max(abs(x + 150 - ox), abs(y - oy)), 200)
        self.move_to(x + 150, y)
        self.assert_still_running(saver)
        self.session.xdotool("mousemove", str(x - 201), str(y))
        self.answer_box(PROMPT, IDYES)
        self.assertEqual(2, saver.wait_exit())
        self.assertEqual(["provider answer=0", "provider answer=1"],
                         self.scratch.matching("provider answer"))

    def test_active_configuration_asks_first_when_a_password_is_due(self):
        saver = self.start_saver("ask", delay=0, usepassword=1, activeconfig=1,
                                 prefs=("allowActiveConfig",))
        self.session.xdotool("click", "3")
        self.answer_box(PROMPT, IDNO)
        self.scratch.wait_lines("provider answer=0")
        self.assert_still_running(saver)
        self.assertEqual([], self.scratch.matching("activeconfig"))

        self.session.xdotool("click", "3")
        self.answer_box(PROMPT, IDYES)
        self.scratch.wait_lines("activeconfig")
        self.answer_box("Screen Saver Properties", IDCANCEL)
        self.assert_still_running(saver)
        self.session.key("a")
        self.answer_box(PROMPT, IDYES)
        self.assertEqual(2, saver.wait_exit())

    def test_without_a_provider_beside_it_the_saver_closes_and_a_planted_one_is_never_loaded(self):
        alone = tempfile.mkdtemp(prefix="morvane-alone-", dir=self.scratch.dir)
        planted = tempfile.mkdtemp(prefix="morvane-planted-", dir=self.scratch.dir)
        exe = copy_program(self.session, "test_saver_plain.exe", alone)
        shutil.copy(os.path.join(self.session.bin, "PASSWORD.CPL"), planted)
        saver = self.start_saver("refuse", exe=exe, cwd=planted, delay=0, usepassword=1)
        self.session.key("a")
        self.assertEqual(2, saver.wait_exit())
        self.assertEqual([], self.scratch.matching("provider"))


if __name__ == "__main__":
    SaverTest.session = Session(sys.argv.pop(1))
    unittest.main(verbosity=2)
