"""The test savers under Wine on the virtual display, run in every mode as a person would: real keys,
clicks and mouse movement through xdotool, boxes answered by clicking their buttons. What happens
inside a saver (its windows, ticks, cursor) is read from its log."""
import os
import re
import subprocess
import sys
import tempfile
import unittest

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, os.path.dirname(__file__))
from saverrun import PALETTE, SaverTest, copy_program, pixel  # noqa: E402
from winesession import Session, crop  # noqa: E402

IDOK, IDCANCEL = 1, 2
SCREEN = (1024, 768)


def field(line, name):
    match = re.search(r"\b%s=(\S+)" % name, line)
    assert match, "no %s in %r" % (name, line)
    return match.group(1)


class FullScreen(SaverTest, unittest.TestCase):
    def start_saver(self, exe="test_saver_plain.exe", threshold=200, **kwargs):
        self.place_mouse(300, 300)
        saver = self.start(exe, "/s", threshold=threshold, **kwargs)
        self.wait_ticks(2)
        return saver

    def away(self, dx, dy):
        """A point dx, dy away from the saver's origin along each axis, inside the screen."""
        ox, oy = self.origin()
        return (ox + dx if ox + dx < SCREEN[0] else ox - dx,
                oy + dy if oy + dy < SCREEN[1] else oy - dy)

    def test_s_runs_a_topmost_screen_sized_popup_that_ticks_hides_the_cursor_and_ends_on_a_key(self):
        saver = self.start_saver()
        created = self.scratch.wait_lines("created")[0]
        self.assertEqual(("0", "0x0", "0x90000000", "0x00000008", "KoScreenSaverClass"),
                         tuple(field(created, f) for f in
                               ("mode", "parent", "style", "exstyle", "class")))
        window = self.session.window("KoScreenSaverClass", "SaverWindow")
        self.assertEqual((0, 0) + SCREEN, (window["x"], window["y"], window["w"], window["h"]))
        self.assertTrue(window["exstyle"] & 0x8, "topmost")
        # The cursor is checked inside the saver's process: another process cannot see it hidden.
        self.move_to(310, 300)
        self.assertEqual("cursor shown=0", self.scratch.matching("cursor")[-1])
        shot = self.session.screenshot(self.scratch.path("screen.png"))
        self.assertIn(pixel(shot, 512, 384), PALETTE)
        self.session.key("a")
        self.assertEqual(2, saver.wait_exit())
        self.assertEqual(["run 1 result=2 monitorclass=0"], self.scratch.matching("run 1"))

    def test_a_key_a_click_and_mouse_movement_beyond_the_threshold_end_it(self):
        inputs = [("key", lambda: ["key", "space"]), ("left button", lambda: ["click", "1"]),
                  ("middle button", lambda: ["click", "2"]),
                  ("201 pixels across", lambda: ["mousemove", *map(str, self.away(201, 0))]),
                  ("201 pixels down", lambda: ["mousemove", *map(str, self.away(0, 201))])]
        for name, command in inputs:
            with self.subTest(name):
                self.setUp()
                saver = self.start_saver()
                self.session.xdotool(*command())
                self.assertEqual(2, saver.wait_exit(), name)
                self.doCleanups()

    def test_200_pixels_do_not_end_it_and_a_threshold_of_999999_never_does(self):
        saver = self.start_saver(threshold=200)
        self.move_to(*self.away(200, 0))
        self.move_to(*self.away(0, 200))
        self.move_to(*self.away(200, 200))
        self.assert_still_running(saver)
        self.session.xdotool("mousemove", *map(str, self.away(0, 201)))
        self.assertEqual(2, saver.wait_exit())

        self.setUp()
        saver = self.start_saver(threshold=999999)
        self.move_to(1000, 700)
        self.move_to(0, 0)
        self.assert_still_running(saver)
        self.session.key("a")
        self.assertEqual(2, saver.wait_exit())

    def test_alt_f4_is_swallowed(self):
        saver = self.start_saver()
        self.session.key("alt+F4")
        self.scratch.wait_lines("syscommand 0xf060")
        self.assert_still_running(saver)
        self.session.key("a")
        self.assertEqual(2, saver.wait_exit())

    def test_a_saver_main_call_during_the_run_returns_2_and_prefs_stay_as_they_were(self):
        saver = self.start_saver(env={"MORVANE_TEST_FIRST_TICK": "nested,setprefs"})
        self.assertEqual(["nested result=2"], self.scratch.wait_lines("nested"))
        self.assertEqual(["prefs during run noTimers=0 was=0 text1=[]"],
                         self.scratch.wait_lines("prefs during run"))
        self.assert_still_running(saver)
        self.session.key("a")
        self.assertEqual(2, saver.wait_exit())

    def test_a_second_run_in_one_process_initialises_the_library_again(self):
        saver = self.start_saver(env={"MORVANE_TEST_RUNS": "2"})
        self.session.key("a")
        self.assertEqual(["run 1 result=2 monitorclass=0"], self.scratch.wait_lines("run 1"))
        self.assertEqual(["init run=2 monitorclass=1"], self.scratch.wait_lines("init run=2"))
        self.scratch.wait_lines("later run procedure")
        self.wait_ticks(2, after=self.tick_count())
        self.session.key("a")
        self.assertEqual(2, saver.wait_exit())
        self.assertEqual(["run 2 result=2 monitorclass=0"], self.scratch.matching("run 2"))

    def test_the_hooks_variant_creates_its_window_through_its_hook(self):
        saver = self.start_saver("test_saver_hooks.exe")
        hook = self.scratch.wait_lines("createhook")[0]
        self.assertEqual(("0", "0", "DummyScreenSaverClass", "1024", "768", "0x90000000"),
                         tuple(field(hook, f) for f in
                               ("mode", "params", "class", "w", "h", "style")))
        self.session.key("a")
        self.assertEqual(2, saver.wait_exit())

    def test_the_host_variant_asks_its_host_then_creates_the_window_itself(self):
        cases = [("saverwindow", ["host saverwindow wparam=0"], True),
                 ("createwindow", ["host saverwindow wparam=0", "host createwindow wparam=0"], True),
                 ("", ["host saverwindow wparam=0", "host createwindow wparam=0"], False)]
        for answers, asked, hostTicks in cases:
            with self.subTest(answers or "nothing"):
                self.setUp()
                self.place_mouse(300, 300)
                saver = self.start("test_saver_host.exe", "/s", threshold=200,
                                   env={"MORVANE_TEST_HOST": answers})
                window = self.session.window("DummyScreenSaverClass", "SaverWindow")
                self.assertEqual((0, 0) + SCREEN, (window["x"], window["y"], window["w"], window["h"]))
                if hostTicks:
                    self.wait_ticks(2)
                self.assertEqual(asked, self.scratch.matching("host"))
                self.session.key("a")
                self.assertEqual(2, saver.wait_exit())
                self.doCleanups()

    def test_a_host_answer_that_is_no_window_gives_2(self):
        saver = self.start("test_saver_host.exe", "/s", env={"MORVANE_TEST_HOST": "saverwindow,junk"})
        self.assertEqual(2, saver.wait_exit())
        self.assertEqual([], self.scratch.matching("tick"))

    def test_the_c_saver_linked_to_the_dll_runs_s_end_to_end(self):
        exe = os.path.join(self.session.bin, "c_saver", "test_saver_c.exe")
        saver = self.start_saver(exe)
        self.assertEqual("1024", field(self.scratch.wait_lines("created")[0], "w"))
        self.session.key("a")
        self.assertEqual(2, saver.wait_exit())
        self.assertEqual(["run 1 result=2"], self.scratch.matching("run 1"))

    def test_s_with_the_pointer_in_a_never_corner_ends_at_once_with_0_and_elsewhere_runs(self):
        reg = [self.session.wine_run, "reg"]
        key = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Screen Savers"
        subprocess.run(reg + ["add", key, "/v", "Mouse Corners", "/t", "REG_SZ", "/d", "-N--",
                              "/f"], env=self.session.env, check=True, timeout=60)
        self.addCleanup(subprocess.run, reg + ["delete", key, "/v", "Mouse Corners", "/f"],
                        env=self.session.env, timeout=60)
        self.place_mouse(SCREEN[0] - 2, 1)
        saver = self.start("test_saver_plain.exe", "/s", threshold=200, prefs=("debugTrace",))
        self.assertEqual(0, saver.wait_exit())
        self.assertEqual(["run 1 result=0 monitorclass=0"], self.scratch.matching("run 1"))
        self.assertEqual(1, len(self.scratch.matching(
            "trace Full screen: the pointer rests in never corner 1 (desktop corners)")))
        self.assertEqual([], self.scratch.matching("created"))
        saver = self.start_saver()
        self.session.key("a")
        self.assertEqual(2, saver.wait_exit())


class Preview(SaverTest, unittest.TestCase):
    def start_host(self):
        """tavisk.exe as a plain host window of another process: the handle of its child."""
        self.start("tavisk.exe")
        return int(field(self.scratch.wait_lines("tavisk child")[0], "child"), 16)

    def test_p_with_a_window_of_another_process_previews_inside_it_until_it_goes(self):
        child = self.start_host()
        saver = self.start("test_saver_plain.exe", "/p", "0x%x" % child)
        created = self.scratch.wait_lines("created")[0]
        self.assertEqual(("2", "0x%x" % child, "0", "0", "320", "240", "0x50000000"),
                         tuple(field(created, f) for f in
                               ("mode", "parent", "x", "y", "w", "h", "style")))
        self.wait_ticks(3)
        # Keys and clicks are not the preview's business.
        self.session.click(360, 300)
        self.session.key("a")
        self.assert_still_running(saver)
        self.quit_companions()
        self.assertEqual(2, saver.wait_exit())

    def test_the_hooks_variant_previews_through_its_hook(self):
        child = self.start_host()
        saver = self.start("test_saver_hooks.exe", "/p:%d" % child)
        hook = self.scratch.wait_lines("createhook")[0]
        self.assertEqual(("2", "2", "320", "240", "0x50000000"),
                         tuple(field(hook, f) for f in ("mode", "params", "w", "h", "style")))
        self.wait_ticks(2)
        self.quit_companions()
        self.assertEqual(2, saver.wait_exit())

    def test_preview_pixels_in_a_companion_window_of_the_savers_own_process(self):
        # NOTE: under Wine a child window of another process's window shows nothing it draws, so
        # the pixels are checked with the companion's window in the saver's own process.
        saver = self.start("test_saver_plain.exe", "/pTAVISK",
                           env={"MORVANE_TEST_OPTIONS": "owncompanion"})
        child = field(self.scratch.wait_lines("own companion")[0], "child")
        created = self.scratch.wait_lines("created")[0]
        self.assertEqual((child, "240", "180"), (field(created, "parent"), field(created, "w"),
                                                 field(created, "h")))
        self.wait_ticks(2)
        area = (100 + 20, 100 + 20, 240, 180)
        colours = set()
        for n in range(40):
            _, _, px = crop(self.session.screenshot(self.scratch.path("%d.png" % n)), *area)
            shown = {tuple(px[i:i + 3]) for i in range(0, len(px), 3)}
            self.assertEqual(1, len(shown), "the preview fills its window with one colour")
            colour = shown.pop()
            self.assertIn(colour, PALETTE)
            colours.add(colour)
            if len(colours) >= 2:
                break
        self.assertGreaterEqual(len(colours), 2, "the preview animates")
        saver.kill()

    def test_p_tavisk_starts_the_companion_and_previews_inside_its_child(self):
        for switch in (["/p", "tavisk"], ["/pTAVISK"]):
            with self.subTest(" ".join(switch)):
                self.setUp()
                saver = self.start("test_saver_plain.exe", *switch)
                child = field(self.scratch.wait_lines("tavisk child")[0], "child")
                self.assertEqual(child, field(self.scratch.wait_lines("created")[0], "parent"))
                self.wait_ticks(2)
                self.quit_companions()
                self.assertEqual(2, saver.wait_exit())
                self.doCleanups()

    def test_companion_failures_are_shown_and_give_2(self):
        saver = self.start("test_saver_plain.exe", "/p", "tavisk", env={"MORVANE_TAVISK": "nochild"})
        self.answer_box("Tavisk", IDOK,
                        "Tavisk was there, but not its child. Check you have the latest version.")
        self.assertEqual(2, saver.wait_exit())
        self.quit_companions()

        # A saver in a folder without the companion, started from there.
        folder = tempfile.mkdtemp(prefix="morvane-alone-", dir=self.scratch.dir)
        exe = copy_program(self.session, "test_saver_plain.exe", folder)
        saver = self.start(exe, "/p", "tavisk", cwd=folder)
        self.answer_box("Tavisk", IDOK,
                        "Tavisk was not present: and there was an error attempting to load it. "
                        "Check that an up-to-date version is in the current path.")
        self.assertEqual(2, saver.wait_exit())


class OtherModes(SaverTest, unittest.TestCase):
    def test_a_reaches_the_password_router_for_the_numbered_or_foreground_window(self):
        self.start("tavisk.exe")
        child = int(field(self.scratch.wait_lines("tavisk child")[0], "child"), 16)
        for arguments, parent in ((["/a", "0x%x" % child], "0x%x" % child), (["/a", "12345"], None)):
            with self.subTest(" ".join(arguments)):
                before = len(self.scratch.matching("router"))
                saver = self.start("test_saver_plain.exe", *arguments, router=True)
                self.assertEqual(1, saver.wait_exit())
                calls = self.scratch.matching("router")[before:]
                self.assertEqual(1, len(calls))
                self.assertEqual(("SCRSAVE", "0", "0"), (field(calls[0], "provider"),
                                                       field(calls[0], "flags"),
                                                       field(calls[0], "reserved")))
                self.assertTrue(field(calls[0], "module").endswith("\\bin\\MPR.DLL"))
                if parent:
                    self.assertEqual(parent, field(calls[0], "parent"))
                else:
                    self.assertNotEqual("0x0", field(calls[0], "parent"))

    def test_never_password_tells_instead_of_changing(self):
        saver = self.start("test_saver_plain.exe", "/a", router=True, prefs=("neverPassword",))
        self.answer_box("Password", IDOK, "This screensaver never requires a password")
        self.assertEqual(IDOK, saver.wait_exit())
        self.assertEqual([], self.scratch.matching("router"))

    def test_the_hook_or_the_host_may_change_the_password_themselves(self):
        cases = [("test_saver_hooks.exe", {"MORVANE_TEST_HOOK_ANSWER": "7"}, 7, False),
                 ("test_saver_hooks.exe", {"MORVANE_TEST_HOOK_ANSWER": "9"}, 1, True),
                 ("test_saver_host.exe", {"MORVANE_TEST_HOST": "changepassword"}, 1, False),
                 ("test_saver_host.exe", {"MORVANE_TEST_HOST": ""}, 1, True)]
        for exe, env, result, routed in cases:
            with self.subTest("%s %s" % (exe, env)):
                self.setUp()
                saver = self.start(exe, "/a", router=True, env=env)
                self.assertEqual(result, saver.wait_exit())
                self.assertEqual(routed, bool(self.scratch.matching("router called")))
                self.doCleanups()

    def test_c_reaches_the_configuration_which_checks_the_resources(self):
        saver = self.start("test_saver_plain.exe", "/c:1234")
        self.answer_box("Screen Saver Properties", IDCANCEL)
        self.assertEqual(0, saver.wait_exit())
        saver = self.start("test_saver_bare.exe")
        self.answer_box("Morvane", IDOK, "You _MUST_ include the Morvane resources (morvane.res)")
        # Without its dialogs no sheet can open: the failure of the dialog creation, -1, which
        # reaches Linux as the exit status 255.
        self.assertEqual(255, saver.wait_exit())


if __name__ == "__main__":
    SaverTest.session = Session(sys.argv.pop(1))
    unittest.main(verbosity=2)
