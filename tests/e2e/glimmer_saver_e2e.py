"""glimmerbox.scr under Wine on the virtual display, in every mode, as a person would use it: real
mouse movement, keys and clicks through xdotool, screenshots of what it draws. glimmer_probe.exe
runs the saver's very code with a watching window procedure in front; what happens inside it (its
windows, each window's steps, the threads left after the run) is read from its log."""
import os
import re
import subprocess
import sys
import unittest

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, os.path.dirname(__file__))
from saverrun import Program, Scratch, windows_path  # noqa: E402
from winesession import Session, crop, glow_shares, poll  # noqa: E402

SCREEN = (1024, 768)
SAVER = "glimmerbox.scr"
PROBE = "glimmer_probe.exe"
SETTINGS_KEY = r"HKCU\Software\Glimmerbox\Screen Saver"
FRAMEWORK_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Screen Savers"
IDOK, IDCANCEL = 1, 2
IDC_LIGHTS, IDC_PREVIEW = 2102, 2101
IDC_EACH_MONITOR, IDC_PRIMARY_MONITOR = 2105, 2106
IDC_RATE_30, IDC_RATE_60, IDC_SHOW_RATE, IDC_RATE_DISPLAY = 2107, 2108, 2109, 2110
session = None


def field(line, name):
    match = re.search(r"\b%s=(\S+)" % name, line)
    assert match, "no %s in %r" % (name, line)
    return match.group(1)


def lit_share(shot):
    """Share of pixels that are not (nearly) black."""
    width, height, px = shot
    lit = sum(1 for i in range(0, len(px), 3) if max(px[i:i + 3]) > 40)
    return lit / (width * height)


def glow(shot):
    """Share of pixels in the balls' and glow patches' bright orange, red and yellow."""
    return sum(glow_shares(shot).values())


def reg(*args):
    return subprocess.run([session.wine_run, "reg", *args], env=session.env, capture_output=True,
                          text=True, timeout=60)


def stored(name):
    """The saver's 32-bit setting as stored, or None when there is no such value."""
    out = reg("query", SETTINGS_KEY, "/v", name).stdout
    match = re.search(r"%s\s+REG_DWORD\s+0x([0-9a-fA-F]+)" % name, out)
    return int(match.group(1), 16) if match else None


def stored_lights():
    return stored("Lights")


def window_tree(*args):
    """The windows window_tree.exe lists, as dicts; [] when the window is not there."""
    result = session.run("window_tree.exe", *args, timeout=60)
    if result.returncode != 0:
        return []
    windows = []
    for line in result.stdout.splitlines():
        head, _, title = line.partition(" title=")
        w = dict(part.split("=", 1) for part in head.split())
        w["title"] = title
        for key in ("id", "x", "y", "w", "h", "visible", "checked", "pid"):
            w[key] = int(w[key])
        windows.append(w)
    return windows


class GlimmerTest(unittest.TestCase):
    """A scratch folder and log per test, the saver's settings back to their defaults around it."""

    def setUp(self):
        self.scratch = Scratch()
        self.addCleanup(self.scratch.remove)
        reg("delete", SETTINGS_KEY, "/f")
        self.addCleanup(reg, "delete", SETTINGS_KEY, "/f")

    def start(self, exe, *args, env=None, **kwargs):
        extra = {"GLIMMER_PROBE_LOG": windows_path(self.scratch.log)}
        extra.update(env or {})
        program = Program(session, self.scratch, exe, *args, env=extra, **kwargs)
        self.addCleanup(program.kill)
        return program

    def shoot(self, area=None):
        shot = session.screenshot(self.scratch.path("shot%d.png" % len(os.listdir(self.scratch.dir))))
        return crop(shot, *area) if area else shot

    def two_different_shots(self, area):
        """Two screenshots of the area that differ (the picture moves), or fails after 10 s."""
        first = self.shoot(area)
        second = poll(lambda: (lambda s: s if s[2] != first[2] else None)(self.shoot(area)), 10,
                      interval=0.05)
        self.assertIsNotNone(second, "the picture does not move")
        return first, second

    def place_mouse(self, x, y):
        def there():
            session.xdotool("mousemove", str(x), str(y))
            return session.mouse() == (x, y)
        self.assertTrue(poll(there, 5), "the pointer does not move")


def set_framework_dword(name, value):
    """Sets one of the framework's settings; the returned function puts the old value back."""
    out = reg("query", FRAMEWORK_KEY, "/v", name).stdout
    match = re.search(r"%s\s+REG_DWORD\s+(0x[0-9a-fA-F]+)" % name, out)
    reg("add", FRAMEWORK_KEY, "/v", name, "/t", "REG_DWORD", "/d", str(value), "/f")
    if match:
        return lambda: reg("add", FRAMEWORK_KEY, "/v", name, "/t", "REG_DWORD", "/d",
                           str(int(match.group(1), 16)), "/f")
    return lambda: reg("delete", FRAMEWORK_KEY, "/v", name, "/f")


class FullScreen(GlimmerTest):
    def setUp(self):
        super().setUp()
        self.addCleanup(set_framework_dword("Mouse Threshold", 200))

    def start_saver(self):
        self.place_mouse(300, 300)
        saver = self.start(SAVER, "/s")
        window = session.window("KoScreenSaverClass", "SaverWindow")
        self.assertIsNotNone(window, "no saver window")
        return saver, window

    def test_s_draws_a_moving_lit_scene_over_the_whole_screen_and_a_key_ends_it(self):
        saver, window = self.start_saver()
        self.assertEqual((0, 0) + SCREEN, (window["x"], window["y"], window["w"], window["h"]))
        self.assertTrue(window["exstyle"] & 0x8, "topmost")
        first, second = self.two_different_shots((0, 0) + SCREEN)
        # The room's textured walls, floor and ceiling fill the screen edge to edge.
        self.assertGreater(lit_share(second), 0.5, "the screen is mostly black")
        for corner in ((0, 0, 64, 64), (960, 704, 64, 64)):
            self.assertGreater(lit_share(crop(second, *corner)), 0.2, "corner %r is black" % (corner,))
        session.key("a")
        self.assertEqual(2, saver.wait_exit())
        self.assertTrue(session.window_gone("KoScreenSaverClass", "SaverWindow", timeout_ms=2000))

    def test_mouse_movement_ends_it_only_beyond_the_threshold(self):
        saver, _ = self.start_saver()
        session.xdotool("mousemove", "450", "450")
        # Still drawing after the small movement: two more different pictures.
        self.two_different_shots((0, 0) + SCREEN)
        self.assertTrue(saver.running(), "150 pixels ended the saver")
        session.xdotool("mousemove", "520", "300")
        self.assertEqual(2, saver.wait_exit())


class Preview(GlimmerTest):
    def test_p_previews_as_a_child_of_the_host_sized_to_it_and_ends_with_it(self):
        host_program = self.start("tavisk.exe")
        self.addCleanup(host_program.wait_exit)
        self.addCleanup(lambda: open(self.scratch.path("quit"), "w").close())
        child = int(field(self.scratch.wait_lines("tavisk child")[0], "child"), 16)
        saver = self.start(SAVER, "/p", str(child))

        def preview():
            tree = window_tree("0x%x" % child)
            return [w for w in tree if w["class"] == "KoScreenSaverClass"]
        found = poll(preview, 10)
        self.assertTrue(found, "no preview inside the host")
        host = window_tree("0x%x" % child)[0]
        self.assertEqual(1, len(found))
        w = found[0]
        self.assertEqual("0x%x" % child, w["parent"])
        self.assertEqual((host["x"], host["y"], host["w"], host["h"]), (w["x"], w["y"], w["w"], w["h"]))
        self.assertNotEqual(host["pid"], w["pid"], "the preview belongs to the saver's process")
        self.assertTrue(w["visible"])
        self.assertTrue(saver.running())
        open(self.scratch.path("quit"), "w").close()
        self.assertEqual(2, saver.wait_exit())

    def test_a_preview_and_the_full_screen_saver_in_one_process_each_run_their_own_scene(self):
        # NOTE: under Wine a child window of another process's window shows nothing it draws, so
        # the preview's pixels are checked with a host window in the saver's own process.
        self.place_mouse(300, 300)
        probe = self.start(PROBE, "/s", env={"GLIMMER_PROBE": "pair"})
        created = self.scratch.wait_lines("created", 2)
        self.assertEqual(["0", "1"], [field(line, "mode") for line in created])
        # Each scene starts as the demo's does, from its own generator.
        self.assertEqual(["-9,-3", "-9,-3"], [field(line, "light0") for line in created])
        # The one monitor's window is the run's window 0; a preview belongs to no monitor.
        self.assertEqual(["0", "-1"], [field(line, "monitor") for line in created])
        self.assertEqual(["15", "15"], [field(line, "lights") for line in created])
        full, preview = (field(line, "window") for line in created)
        host = field(self.scratch.wait_lines("preview window")[0], "host")
        self.assertEqual(host, field(created[1], "parent"))
        self.assertEqual(("320", "240"), (field(created[1], "w"), field(created[1], "h")))

        pixels = self.scratch.wait_lines("pixels")[0]
        self.assertGreater(float(field(pixels, "lit")), 0.5, "the preview's own frame is black")
        first, second = self.two_different_shots((640, 440, 320, 240))
        self.assertGreater(lit_share(second), 0.5, "the preview shows nothing on the screen")

        self.assertEqual(["lightcount preview=3 fullscreen=15"], self.scratch.wait_lines("lightcount"))
        session.key("a")
        self.assertEqual(2, probe.wait_exit())
        steps = {full: [], preview: []}
        for line in self.scratch.matching("tick"):
            steps[field(line, "window")].append(int(field(line, "steps")))
        for window, seen in steps.items():
            self.assertGreater(len(seen), 30, window)
            # One step of its own scene per tick of its own, whatever the other window does.
            self.assertEqual(list(range(1, len(seen) + 1)), seen, window)
        self.assertEqual([], self.scratch.matching("cross"))
        run = self.scratch.wait_lines("run")[0]
        self.assertEqual("2", field(run, "result"))
        self.assertEqual(field(run, "before"), field(run, "after"), "timer threads left running")


class Configure(GlimmerTest):
    def open_sheet(self, exe=SAVER):
        saver = self.start(exe, "/c")
        windows = window_tree("#32770", "Screen Saver Properties", "15000")
        self.assertTrue(windows, "no configuration sheet")
        return saver, windows

    def test_c_opens_on_the_saver_page_whose_preview_shows_the_light_count_and_cancel_restores(self):
        saver, windows = self.open_sheet()
        tabs = {w["title"] for w in windows if w["class"] == "#32770" and w["parent"] == windows[0]["hwnd"]}
        self.assertEqual({"Glimmerbox"}, tabs, "the sheet opens on the saver's page alone")
        preview = [w for w in windows if w["class"] == "KoScreenSaverClass"]
        self.assertEqual(1, len(preview))
        area = tuple(preview[0][k] for k in ("x", "y", "w", "h"))
        self.assertEqual(IDC_PREVIEW, [w for w in windows if w["hwnd"] == preview[0]["parent"]][0]["id"])
        first, second = self.two_different_shots(area)
        self.assertGreater(lit_share(second), 0.5, "the preview is black")

        edit = [w for w in windows if w["id"] == IDC_LIGHTS][0]
        button = {w["id"]: w for w in windows if w["class"] == "Button"}

        def type_lights(text):
            session.click(edit["x"] + edit["w"] // 2, edit["y"] + edit["h"] // 2)
            session.key("End", "BackSpace", "BackSpace", "BackSpace")
            session.xdotool("type", text)

        def mean_glow(shots=4):
            return sum(glow(self.shoot(area)) for _ in range(shots)) / shots

        # The view turns towards the swarm: one light is a speck, fifty fill the view with glow.
        type_lights("1")
        self.assertTrue(poll(lambda: stored_lights() == 1, 10), "1 light was not stored")
        one = mean_glow()
        type_lights("50")
        self.assertTrue(poll(lambda: stored_lights() == 50, 10), "50 lights were not stored")
        fifty = mean_glow()
        print("glow share of the preview: 1 light %.4f, 50 lights %.4f" % (one, fifty), file=sys.stderr)
        self.assertGreater(fifty, max(0.01, 3 * one), "50 lights look like 1 in the preview")

        session.click(button[IDCANCEL]["x"] + 10, button[IDCANCEL]["y"] + 10)
        self.assertEqual(0, saver.wait_exit())
        self.assertIn(stored_lights(), (None, 15), "Cancel kept the change")

    def test_ok_keeps_a_change_and_the_sheet_leaves_no_timer_thread(self):
        probe, windows = self.open_sheet(PROBE)
        edit = [w for w in windows if w["id"] == IDC_LIGHTS][0]
        button = {w["id"]: w for w in windows if w["class"] == "Button"}
        self.scratch.wait_lines("tick", 3)
        session.click(edit["x"] + edit["w"] // 2, edit["y"] + edit["h"] // 2)
        session.key("End", "BackSpace", "BackSpace", "BackSpace")
        session.xdotool("type", "7")
        self.assertTrue(poll(lambda: stored_lights() == 7, 10), "7 lights were not stored")
        session.click(button[IDOK]["x"] + 10, button[IDOK]["y"] + 10)
        probe.wait_exit()
        self.assertEqual(7, stored_lights())
        run = self.scratch.wait_lines("run")[0]
        self.assertEqual(field(run, "before"), field(run, "after"), "timer threads left running")


    def monitor_choice(self, windows):
        """Which of the page's two monitor buttons is checked, and their titles."""
        ids = (IDC_EACH_MONITOR, IDC_PRIMARY_MONITOR)
        buttons = {w["id"]: w for w in windows if w["id"] in ids}
        self.assertEqual(["Each monitor", "Primary monitor only"],
                         [buttons[i]["title"] for i in ids])
        checked = [i for i in ids if buttons[i]["checked"] == 1]
        self.assertEqual(1, len(checked), "not one monitor button checked: %r" % buttons)
        return {IDC_EACH_MONITOR: "each", IDC_PRIMARY_MONITOR: "primary"}[checked[0]], buttons

    def shown_choice(self, sheet):
        return self.monitor_choice(window_tree(sheet))[0]

    def test_the_page_opens_with_what_is_stored_and_reads_bad_values_as_the_defaults(self):
        # Missing or malformed "Monitors" is "Each monitor"; a rate other than 30 or 60, another
        # type or none is the display's; "ShowFrameRate" is held to 0 or 1 (7 ticks the box, -1
        # does not).
        cases = [((None, None, None), ("each", "display", False)),
                 ((("REG_DWORD", "0"), "30", "1"), ("primary", 30, True)),
                 ((("REG_DWORD", "1"), "60", "0"), ("each", 60, False)),
                 ((("REG_DWORD", "9"), "45", "7"), ("each", "display", True)),
                 ((("REG_SZ", "0"), "0", "4294967295"), ("each", "display", False))]
        for (monitors, rate, show), shown in cases:
            with self.subTest(monitors=monitors, rate=rate, show=show):
                reg("delete", SETTINGS_KEY, "/f")
                if monitors:
                    reg("add", SETTINGS_KEY, "/v", "Monitors", "/t", monitors[0], "/d", monitors[1],
                        "/f")
                if rate is not None:
                    reg("add", SETTINGS_KEY, "/v", "FrameRate", "/t", "REG_DWORD", "/d", rate, "/f")
                    reg("add", SETTINGS_KEY, "/v", "ShowFrameRate", "/t", "REG_DWORD", "/d", show,
                        "/f")
                saver, windows = self.open_sheet()
                self.assertEqual(shown, (self.monitor_choice(windows)[0],)
                                 + self.frame_choices(windows)[:2])
                button = {w["id"]: w for w in windows if w["class"] == "Button"}
                session.click(button[IDCANCEL]["x"] + 10, button[IDCANCEL]["y"] + 10)
                self.assertEqual(0, saver.wait_exit())

    def test_the_monitors_choice_stores_each_change(self):
        # Stored as 0: each click is stored at once, the lights stay as they were, and Cancel puts
        # back the 0.
        reg("add", SETTINGS_KEY, "/v", "Monitors", "/t", "REG_DWORD", "/d", "0", "/f")
        reg("add", SETTINGS_KEY, "/v", "Lights", "/t", "REG_DWORD", "/d", "9", "/f")
        saver, windows = self.open_sheet()
        sheet = windows[0]["hwnd"]
        _, radio = self.monitor_choice(windows)
        button = {w["id"]: w for w in windows if w["class"] == "Button"}

        def choose(control, value):
            w = radio[control]
            session.click(w["x"] + 6, w["y"] + w["h"] // 2)
            self.assertTrue(poll(lambda: stored("Monitors") == value, 10),
                            "%s was not stored: %r" % (value, stored("Monitors")))
        choose(IDC_EACH_MONITOR, 1)
        self.assertEqual("each", self.shown_choice(sheet))
        self.assertEqual(9, stored_lights())
        choose(IDC_PRIMARY_MONITOR, 0)
        choose(IDC_EACH_MONITOR, 1)
        # The arrow keys move the choice within the pair, as in any group of radio buttons.
        session.key("Down")
        self.assertTrue(poll(lambda: stored("Monitors") == 0, 10), "Down did not choose primary")
        self.assertEqual("primary", self.shown_choice(sheet))
        session.key("Up")
        self.assertTrue(poll(lambda: stored("Monitors") == 1, 10), "Up did not choose each")
        session.click(button[IDCANCEL]["x"] + 10, button[IDCANCEL]["y"] + 10)
        self.assertEqual(0, saver.wait_exit())
        self.assertEqual((0, 9), (stored("Monitors"), stored_lights()), "Cancel kept the change")

        # From the default, OK keeps "Primary monitor only", and the next sheet shows it.
        reg("delete", SETTINGS_KEY, "/f")
        saver, windows = self.open_sheet()
        _, radio = self.monitor_choice(windows)
        button = {w["id"]: w for w in windows if w["class"] == "Button"}
        choose(IDC_PRIMARY_MONITOR, 0)
        session.click(button[IDOK]["x"] + 10, button[IDOK]["y"] + 10)
        saver.wait_exit()
        self.assertEqual(0, stored("Monitors"))
        saver, windows = self.open_sheet()
        self.assertEqual("primary", self.monitor_choice(windows)[0])
        button = {w["id"]: w for w in windows if w["class"] == "Button"}
        session.click(button[IDCANCEL]["x"] + 10, button[IDCANCEL]["y"] + 10)
        self.assertEqual(0, saver.wait_exit())
        self.assertEqual(0, stored("Monitors"))


    def frame_choices(self, windows):
        """The frames-per-second choice shown ("display", 60 or 30) and whether "Show frame rate" is
        ticked."""
        ids = (IDC_RATE_DISPLAY, IDC_RATE_60, IDC_RATE_30, IDC_SHOW_RATE)
        buttons = {w["id"]: w for w in windows if w["id"] in ids}
        self.assertEqual(["Match the display", "60", "30", "Show frame &rate"],
                         [buttons[i]["title"] for i in ids])
        self.assertTrue(all(buttons[i]["visible"] for i in ids))
        rates = [rate for rate, i in (("display", IDC_RATE_DISPLAY), (60, IDC_RATE_60),
                                      (30, IDC_RATE_30)) if buttons[i]["checked"]]
        self.assertEqual(1, len(rates), "not one rate checked: %r" % buttons)
        return rates[0], buttons[IDC_SHOW_RATE]["checked"] == 1, buttons

    def test_the_frame_rate_choices_store_each_change(self):
        # Each click is stored at once and leaves the other settings alone; Cancel puts all back.
        reg("delete", SETTINGS_KEY, "/f")
        reg("add", SETTINGS_KEY, "/v", "Lights", "/t", "REG_DWORD", "/d", "9", "/f")
        saver, windows = self.open_sheet()
        sheet = windows[0]["hwnd"]
        _, _, buttons = self.frame_choices(windows)
        button = {w["id"]: w for w in windows if w["class"] == "Button"}

        def click(control, name, value):
            w = buttons[control]
            session.click(w["x"] + 6, w["y"] + w["h"] // 2)
            self.assertTrue(poll(lambda: stored(name) == value, 10),
                            "%s=%s was not stored: %r" % (name, value, stored(name)))
        click(IDC_RATE_30, "FrameRate", 30)
        self.assertEqual((30, False), self.frame_choices(window_tree(sheet))[:2])
        click(IDC_SHOW_RATE, "ShowFrameRate", 1)
        self.assertEqual((30, True), self.frame_choices(window_tree(sheet))[:2])
        click(IDC_RATE_60, "FrameRate", 60)
        click(IDC_SHOW_RATE, "ShowFrameRate", 0)
        click(IDC_SHOW_RATE, "ShowFrameRate", 1)
        self.assertEqual((60, True), self.frame_choices(window_tree(sheet))[:2])
        click(IDC_RATE_DISPLAY, "FrameRate", 0)
        self.assertEqual(("display", True), self.frame_choices(window_tree(sheet))[:2])
        self.assertEqual((9, 1), (stored_lights(), stored("Monitors")))
        session.click(button[IDCANCEL]["x"] + 10, button[IDCANCEL]["y"] + 10)
        self.assertEqual(0, saver.wait_exit())
        self.assertEqual((0, 0, 9),
                         (stored("FrameRate"), stored("ShowFrameRate"), stored_lights()),
                         "Cancel kept the change")

        # OK keeps 30 frames a second, and the next sheet shows it.
        saver, windows = self.open_sheet()
        _, _, buttons = self.frame_choices(windows)
        button = {w["id"]: w for w in windows if w["class"] == "Button"}
        click(IDC_RATE_30, "FrameRate", 30)
        session.click(button[IDOK]["x"] + 10, button[IDOK]["y"] + 10)
        saver.wait_exit()
        saver, windows = self.open_sheet()
        self.assertEqual((30, False), self.frame_choices(windows)[:2])
        button = {w["id"]: w for w in windows if w["class"] == "Button"}
        session.click(button[IDCANCEL]["x"] + 10, button[IDCANCEL]["y"] + 10)
        self.assertEqual(0, saver.wait_exit())


class ActiveConfiguration(GlimmerTest):
    def setUp(self):
        super().setUp()
        self.addCleanup(set_framework_dword("Mouse Threshold", 200))
        self.addCleanup(set_framework_dword("Active Config", 1))

    def settings_notices(self, window):
        return [line for line in self.scratch.matching("settings") if field(line, "window") == window]

    def wait_settings(self, window, flags, lights):
        def arrived():
            return [line for line in self.settings_notices(window)
                    if (field(line, "flags"), field(line, "lights")) == (flags, lights)]
        self.assertTrue(poll(arrived, 15), "no notice %s with %s lights: %r"
                        % (flags, lights, self.settings_notices(window)))

    def test_the_running_saver_takes_each_change_of_its_own_page_and_the_ok(self):
        self.place_mouse(300, 300)
        probe = self.start(PROBE, "/s")
        full = field(self.scratch.wait_lines("created")[0], "window")
        self.scratch.wait_lines("tick", 3)
        session.xdotool("click", "3")
        windows = window_tree("#32770", "Screen Saver Properties", "15000")
        self.assertTrue(windows, "no configuration sheet over the saver")
        edit = [w for w in windows if w["id"] == IDC_LIGHTS][0]
        button = {w["id"]: w for w in windows if w["class"] == "Button"}

        session.click(edit["x"] + edit["w"] // 2, edit["y"] + edit["h"] // 2)
        session.key("End", "BackSpace", "BackSpace", "BackSpace")
        session.xdotool("type", "3")
        self.wait_settings(full, "0x9002", "3")
        self.assertEqual(3, stored_lights())
        session.click(button[IDOK]["x"] + 10, button[IDOK]["y"] + 10)
        self.assertTrue(session.window_gone("#32770", "Screen Saver Properties"))
        self.wait_settings(full, "0xa002", "3")
        # Ticks go on with the new light count; a key ends the saver as before.
        ticks = len(self.scratch.matching("tick"))
        self.scratch.wait_lines("tick", ticks + 3)
        session.key("a")
        self.assertEqual(2, probe.wait_exit())


class Process(GlimmerTest):
    def test_stored_settings_are_clamped_and_malformed_ones_ignored(self):
        cases = [("REG_DWORD", "99", "REG_DWORD", "350", "50", "2"),
                 ("REG_DWORD", "0", "REG_DWORD", "50", "1", "0.5"),
                 ("REG_SZ", "35", "REG_BINARY", "0a0000", "15", "1"),
                 ("REG_QWORD", "30", "REG_DWORD", "4294967295", "15", "0")]
        for lights_type, lights, glow_type, glow, want_lights, want_glow in cases:
            with self.subTest(lights=(lights_type, lights), glow=(glow_type, glow)):
                reg("add", SETTINGS_KEY, "/v", "Lights", "/t", lights_type, "/d", lights, "/f")
                reg("add", SETTINGS_KEY, "/v", "Glow", "/t", glow_type, "/d", glow, "/f")
                before = len(self.scratch.matching("created"))
                ticks = len(self.scratch.matching("tick"))
                saver = self.start(PROBE, "/s")
                line = self.scratch.wait_lines("created", before + 1)[-1]
                self.assertEqual((want_lights, want_glow), (field(line, "lights"), field(line, "glow")))
                # A key reaches the saver once its window is up and drawing, not at its creation.
                self.scratch.wait_lines("tick", ticks + 2)
                session.key("a")
                self.assertEqual(2, saver.wait_exit())

    def test_each_tick_asks_for_the_next_at_the_chosen_frame_rate(self):
        # The answer is the whole period: the framework keeps each tick's start within it. The
        # display's rate answers SCR_TICK_DISPLAY (-100).
        for rate, period in ((None, -100), ("30", 33), ("60", 16), ("45", -100)):
            with self.subTest(rate=rate):
                reg("delete", SETTINGS_KEY, "/f")
                if rate:
                    reg("add", SETTINGS_KEY, "/v", "FrameRate", "/t", "REG_DWORD", "/d", rate, "/f")
                ticks = len(self.scratch.matching("tick"))
                saver = self.start(PROBE, "/s")
                lines = self.scratch.wait_lines("tick", ticks + 3)[ticks:]
                session.key("a")
                self.assertEqual(2, saver.wait_exit())
                self.assertEqual({str(period)}, {field(line, "period") for line in lines})

    def test_a_asks_the_password_router(self):
        saver = self.start(SAVER, "/a", router=True)
        self.assertEqual(1, saver.wait_exit())
        self.assertEqual(1, len(self.scratch.matching("router called")), self.scratch.lines())

    def test_the_saver_runs_per_monitor_dpi_aware(self):
        # Checked inside a process carrying glimmerbox.scr's own manifest, byte for byte, before the
        # framework runs. Its activation context says what the manifest declares: per-monitor v2,
        # then per-monitor, for systems that read dpiAwareness, and "true/pm" for older ones (which
        # take it as system aware). The process runs per-monitor aware; but this Wine runs every
        # process so, manifest or not (and calls every one DPI aware), so only the declarations
        # tell this manifest from another here.
        probe = self.start(PROBE, "/x")
        self.assertEqual(2, probe.wait_exit())
        self.assertEqual(["dpiaware=1 running=permonitor manifest=1 dpiAware=true/pm "
                          "dpiAwareness=PerMonitorV2, PerMonitor"],
                         self.scratch.matching("dpiaware"))

if __name__ == "__main__":
    session = Session(sys.argv.pop(1))
    unittest.main(verbosity=2)
