"""The configuration sheet of the test savers under Wine, used as a person would: tabs and controls
clicked, the delay typed, the system menu opened with Alt+Space, OK and Cancel pressed. What the
saver sees (its page, the preview on it and the change notices the preview receives) is read from
its log; the sheet's controls through uiprobe; the stored settings with Wine's reg tool."""
import os
import re
import subprocess
import sys
import unittest

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, os.path.dirname(__file__))
from saverrun import SaverTest  # noqa: E402
from winesession import Session, poll  # noqa: E402

SHEET = "Screen Saver Properties"
SETTINGS_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Screen Savers"
IDOK, IDCANCEL = 1, 2
SENSITIVITY, DELAY, UNIT, MUTE = 3632, 3634, 3636, 3641
NOTICE = "settingschanged"
ABOUT_TEXT = ("Test saver with a very long name that leaves the version little room at the end of "
              "its box text")


def notice_fields(line):
    return {k: v for k, v in (part.partition("=")[::2] for part in line.split()[1:])}


class Window:
    """One line of uiprobe's tree: a window and what a person sees of it."""

    def __init__(self, fields):
        self.fields = fields

    def __getitem__(self, name):
        value = self.fields[name]
        return value if name in ("class", "text") else int(value, 0)

    def centre(self):
        return self["x"] + self["w"] // 2, self["y"] + self["h"] // 2


class ConfigTest(SaverTest, unittest.TestCase):
    def start_config(self, exe, options="", **kwargs):
        env = {"MORVANE_TEST_OPTIONS": ",".join(filter(None, ["freshsettings", options]))}
        return self.start(exe, "/c", env=env, threshold=200, **kwargs)

    def tree(self, title=SHEET):
        lines = self.session.probe("tree", "#32770", title)
        self.assertIsNotNone(lines, "no window %r" % title)
        return [Window(fields) for fields in lines]

    def control(self, ident, title=SHEET, parent=None, visible=True):
        """The visible control with that id (inside parent when given), once it is there."""
        found = []

        def there():
            found[:] = [w for w in self.tree(title)[1:] if w["id"] == ident
                        and (parent is None or w["parent"] == parent)
                        and (not visible or w["visible"])]
            return bool(found)
        self.assertTrue(poll(there, 10), "no control %d in %r" % (ident, title))
        return found[0]

    def sheet_button(self, ident):
        sheet = self.tree()[0]
        return self.control(ident, parent=sheet["hwnd"])

    def tabs(self):
        return next(w for w in self.tree() if w["class"] == "SysTabControl32")

    def choose_last(self, ident):
        """Drops the combo box down with a click and takes its last entry with the keyboard."""
        self.session.click(*self.control(ident).centre())
        self.session.key("End", "Return")

    def notices(self):
        return [notice_fields(line) for line in self.scratch.matching(NOTICE)]

    def wait_notices(self, count):
        self.scratch.wait_lines(NOTICE, count)
        return self.notices()

    def wait_notice(self, **values):
        """The first notice carrying those values; fails when none arrives in time."""
        def matching():
            return [n for n in self.notices() if all(n.get(k) == v for k, v in values.items())]
        self.assertTrue(poll(matching, 15), "no notice with %r: %r" % (values, self.notices()))
        return matching()[0]

    def open_about_from_the_system_menu(self):
        """Alt+Space, then the last item: Wine adds an item of its own starting with "A" too."""
        self.session.key("alt+space")
        self.session.key("Up", "Return")

    def stored(self, name):
        out = subprocess.run(["wine", "reg", "query", SETTINGS_KEY, "/v", name],
                             env=self.session.env, capture_output=True, text=True,
                             timeout=60).stdout
        match = re.search(r"%s\s+REG_\w+\s+(\S+)" % re.escape(name), out)
        self.assertIsNotNone(match, "%r not stored: %r" % (name, out))
        return match.group(1)

    def test_c_opens_on_the_saver_page_and_cancel_takes_back_every_change(self):
        saver = self.start_config("test_saver_plain.exe", "page")
        self.assertEqual(SHEET, self.tree()[0]["text"])
        tabs = self.tabs()
        self.assertEqual((2, 1), (tabs["items"], tabs["sel"]), "two tabs, the saver's chosen")
        # The saver's page lost its own OK and Cancel and shows a ticking preview.
        self.assertEqual(["page init okshown=0 cancelshown=0 preview=1"],
                         self.scratch.wait_lines("page init"))
        self.assertIn("mode=1", self.scratch.wait_lines("created")[0])
        self.wait_ticks(3)

        self.session.click(tabs["x"] + 20, tabs["y"] + 10)
        self.assertEqual(0, poll(lambda: self.tabs()["sel"] == 0, 10) and self.tabs()["sel"])
        self.assertEqual([], self.notices(), "setting up the General page changes nothing")

        # Opening the list already reads the selection back: High, 0 rather than the stored 200.
        self.choose_last(SENSITIVITY)
        self.assertEqual("0xd001", self.wait_notice(threshold="999999")["flags"])
        self.assertEqual(("0xf423f", "0x3"),
                         (self.stored("Mouse Threshold"), self.stored("Mouse Threshold Index")))

        # "60" loses a digit (6), then its last (nothing to read: no notice), then becomes 2.
        self.session.click(*self.control(DELAY).centre())
        self.session.key("End", "BackSpace", "BackSpace", "2")
        self.wait_notice(delay="2")
        delays = [n["delay"] for n in self.notices()]
        self.assertEqual(["60", "6", "2"],
                         [d for i, d in enumerate(delays) if i == 0 or delays[i - 1] != d])
        self.assertEqual(1, delays.count("6"), "the emptied edit changes nothing")
        self.choose_last(UNIT)
        self.wait_notice(delay="120")

        self.session.click(*self.sheet_button(IDCANCEL).centre())
        self.assertEqual(0, saver.wait_exit())
        notices = self.notices()
        self.assertEqual("120", notices[-2]["delay"], "one notice for the revert alone")
        self.assertEqual(("0xd001", "200", "60"),
                         (notices[-1]["flags"], notices[-1]["threshold"], notices[-1]["delay"]))
        self.assertEqual(["page reset"], self.scratch.matching("page reset"))
        self.assertEqual(("0xc8", "0x0", "0x3c", "0x0"),
                         tuple(self.stored(name) for name in
                               ("Mouse Threshold", "Mouse Threshold Index", "Password Delay",
                                "Password Delay Index")))

    def test_the_system_menu_opens_the_about_box_and_ok_keeps_the_change(self):
        saver = self.start_config("test_saver_hooks.exe")
        tabs = self.tabs()
        self.assertEqual((1, 0), (tabs["items"], tabs["sel"]), "the General page alone")
        self.open_about_from_the_system_menu()
        group = self.control(10, title="About Morvane")
        self.assertEqual("Morvane v1.5s", group["text"])
        self.session.click(*self.control(IDOK, title="About Morvane").centre())
        self.assertTrue(self.session.window_gone("#32770", "About Morvane"))

        self.session.click(*self.control(MUTE).centre())
        self.session.click(*self.sheet_button(IDOK).centre())
        self.assertEqual(1, saver.wait_exit())
        self.assertEqual("0x1", self.stored("Mute Sound"))

    def test_a_saver_about_box_gets_the_version_within_its_text_and_ok_is_announced(self):
        saver = self.start_config("test_saver_plain.exe", "page")
        tabs = self.tabs()
        self.open_about_from_the_system_menu()
        text = self.control(10, title="About the test saver")["text"]
        # 95 characters of its own: of " v1.5s" only what fits the 99 characters of its buffer.
        self.assertEqual((ABOUT_TEXT + " v1.5s")[:99], text)
        self.session.key("Return")
        self.assertTrue(self.session.window_gone("#32770", "About the test saver"))

        # The preview on the saver's page hears of the change and of OK.
        self.session.click(tabs["x"] + 20, tabs["y"] + 10)
        self.session.click(*self.control(MUTE).centre())
        self.wait_notice(mute="1")
        self.session.click(*self.sheet_button(IDOK).centre())
        self.assertEqual(1, saver.wait_exit())
        self.assertEqual([("0xd001", "1"), ("0xe001", "1")],
                         [(n["flags"], n["mute"]) for n in self.notices()])
        self.assertEqual(["page apply"], self.scratch.matching("page apply"))

    def test_active_configuration_tells_the_running_saver_of_each_change_and_the_revert(self):
        self.place_mouse(300, 300)
        saver = self.start("test_saver_plain.exe", "/s", threshold=200, activeconfig=1,
                           prefs=("allowActiveConfig",), env={"MORVANE_TEST_OPTIONS": ""})
        self.wait_ticks(2)
        self.session.xdotool("click", "3")
        self.scratch.wait_lines("activeconfig")
        self.choose_last(SENSITIVITY)
        changed = self.wait_notice(threshold="999999")
        self.assertEqual(("0x0", "0xd001", "1"),
                         (changed["parent"], changed["flags"], changed["active"]),
                         "the full-screen window hears of the change")
        before = len(self.notices())
        self.session.click(*self.sheet_button(IDCANCEL).centre())
        self.assertTrue(self.session.window_gone("#32770", SHEET))
        reverted = self.wait_notices(before + 1)
        self.assertEqual(before + 1, len(reverted))
        self.assertEqual(("0xd001", "200"), (reverted[-1]["flags"], reverted[-1]["threshold"]))
        self.assert_still_running(saver)
        self.session.key("a")
        self.assertEqual(2, saver.wait_exit())


if __name__ == "__main__":
    ConfigTest.session = Session(sys.argv.pop(1))
    unittest.main(verbosity=2)
