"""The hot-corner agent (morvanecorners.exe) under Wine on the virtual display, used as a person
would: the pointer moved into and out of the desktop's corners with xdotool, commands given by
starting the program again, the General page of a test saver clicked. The agent's traces, the
hold-off calls it makes and what the test saver it starts sees all land in the run's log
(MORVANE_TEST_LOG); the tests wait on its lines.

    agent_e2e.py BUILD_DIR [unittest arguments]

Our ScrHots.dll is installed in the prefix's system folder for the run and removed after it. The
classes MultiMonitorCorners and EachMonitorCorners start a desktop of two or three monitors of their
own (tools/multimon-session.sh) and run only when named."""
import os
import re
import shutil
import subprocess
import sys
import time
import unittest

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, os.path.dirname(__file__))
from saverrun import SaverTest, copy_program, windows_path  # noqa: E402
from winesession import Session, parse_fields, poll  # noqa: E402

AGENT = os.path.join("agent", "morvanecorners.exe")
TRACE = "Morvane corners: "
SETTINGS_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Screen Savers"
DESKTOP_KEY = r"HKCU\Control Panel\Desktop"
CORNERS_KEY = r"HKCU\Software\Morvane\Hot Corners"
POLICY_KEY = r"HKCU\Software\Policies\Microsoft\Windows\Control Panel\Desktop"
CENTRE = (500, 400)
# SetThreadExecutionState's flags as the seam records them.
HOLD_OFF = "execution state 0x80000003"
RELEASED = "execution state 0x80000000"
IDLE_RESET = "idle time reset"
NOT_LOCKED = "the session cannot be locked: a secure saver is not started"
NOT_CONFIRMED = "the session did not confirm the lock: a secure saver is not started"
FILE_CHECK = "the system started no screen saver: starting it here"
LATE_ANSWER = "a late answer about the saver's file ignored"
TOLD = "told the user: Screen saver not started"
SAVER_STARTED = "created mode=0"  # the test saver's window of a "/s" run
SHEET = "Screen Saver Properties"
IDC_CORNERS_TEXT, IDC_AGENT_TEXT, IDC_CORNERS = 3638, 3639, 3640
# Where the monitor control's top-left mark lies inside it.
TOP_LEFT_MARK = (20, 21)

build = None
session = None


def reg(*args):
    return subprocess.run([session.wine_run, "reg", *args], env=session.env, capture_output=True,
                          text=True, timeout=60)


def set_corners(text):
    reg("add", SETTINGS_KEY, "/v", "Mouse Corners", "/t", "REG_SZ", "/d", text, "/f")


def system_folder():
    return os.path.join(session.env["WINEPREFIX"], "drive_c", "windows", "system32")


class AgentTest(SaverTest):
    """A scratch folder with the test saver in it as the configured saver, the pointer in the middle
    of the screen; start_agent runs the agent with the run's log until the test ends. Points are
    Windows screen coordinates; x_offset turns them into the X display's, whose origin is the
    desktop's left edge."""

    x_offset = 0

    def setUp(self):
        super().setUp()
        self.saver = copy_program(self.session, "test_saver_plain.exe", self.scratch.dir)
        scr = self.saver_scr = os.path.join(self.scratch.dir, "corner test.scr")
        os.rename(self.saver, scr)
        reg("add", DESKTOP_KEY, "/v", "SCRNSAVE.EXE", "/t", "REG_SZ", "/d", windows_path(scr), "/f")
        self.addCleanup(reg, "delete", DESKTOP_KEY, "/v", "SCRNSAVE.EXE", "/f")
        # A saver started later with the pointer in a "never" corner would end at once.
        self.addCleanup(reg, "delete", SETTINGS_KEY, "/v", "Mouse Corners", "/f")
        self.place_mouse(*CENTRE)

    def start_agent(self, corners, read=None, env=None):
        """The agent with those corners stored; read is how it must read them (as stored)."""
        set_corners(corners)
        agent = self.start(AGENT, threshold=200, env=env)
        self.addCleanup(self.quit_agent, agent)
        self.wait_trace("running")
        self.assertEqual(["corners read: %s" % (read or corners)], self.traces("corners read"))
        return agent

    def quit_agent(self, agent):
        if agent.running():
            self.command("/quit")
            agent.wait_exit()

    def command(self, *switches):
        """Starts the agent's program again with the switches; its exit code."""
        return self.start(AGENT, *switches, threshold=200).wait_exit()

    def traces(self, prefix=""):
        return [line[len(TRACE):] for line in self.scratch.matching(TRACE + prefix)]

    def wait_trace(self, prefix, count=1, timeout=15):
        return self.scratch.wait_lines(TRACE + prefix, count, timeout)

    def rest_in(self, x, y, corner):
        """Moves the pointer to x, y and waits until the agent has seen it in that corner."""
        entered = len(self.traces("corner %d entered" % corner))
        self.session.xdotool("mousemove", str(x + self.x_offset), str(y))
        self.wait_trace("corner %d entered" % corner, entered + 1)

    def leave(self, corner):
        left = len(self.traces("corner %d left" % corner))
        self.session.xdotool("mousemove", str(CENTRE[0] + self.x_offset), str(CENTRE[1]))
        self.wait_trace("corner %d left" % corner, left + 1)

    def saver_runs(self):
        return self.scratch.matching(SAVER_STARTED)

    def end_saver(self, run):
        """Ends the saver's run (its number counted from 1) with a click, as a person would: the
        click goes to the saver's window under the pointer even when the keyboard went elsewhere.
        The saver takes input once it ticks."""
        self.scratch.wait_lines("tick 1", run)
        self.session.xdotool("click", "1")
        self.scratch.wait_lines("run 1 result=2", run)


class Corners(AgentTest, unittest.TestCase):
    def test_resting_in_a_now_corner_starts_the_saver_once_and_again_after_leaving(self):
        self.start_agent("Y---")
        # Passing through, several times: the corner is seen but nothing starts.
        for _ in range(3):
            self.session.xdotool("mousemove", "0", "0", "mousemove", *map(str, CENTRE))
        self.rest_in(0, 0, 0)
        started = self.scratch.wait_lines(SAVER_STARTED)
        self.assertEqual(1, len(started), "passing through started a saver")
        self.scratch.wait_lines("tick 1")
        self.assertEqual(1, len(self.traces("saver started: ")))
        self.assertTrue(self.traces("saver started: ")[0].endswith("corner test.scr /s"))
        # Resting on while it runs starts nothing more.
        self.end_saver(1)
        self.assertEqual(1, len(self.saver_runs()))
        self.leave(0)
        self.rest_in(0, 0, 0)
        self.scratch.wait_lines(SAVER_STARTED, 2)
        self.end_saver(2)
        self.leave(0)
        self.assertEqual(2, len(self.saver_runs()))
        # A default corner does nothing.
        self.rest_in(1023, 767, 2)
        self.leave(2)
        self.assertEqual(2, len(self.saver_runs()))

    def saver_active(self):
        """The idle saver's switch as another program sees it."""
        return parse_fields(self.session.run("uiprobe.exe", "saveractive").stdout)["active"]

    def idle_ms(self):
        """How long the session has had no input, as another program sees it."""
        return int(parse_fields(self.session.run("uiprobe.exe", "idle").stdout)["idle"])

    def idle_while_resets(self, count):
        """The longest idle time seen from the next reset until count more were traced (or 10 s
        passed). NOTE: under Wine the reset made as the hold-off is taken, right after the pointer
        came, did not always count as input; the periodic ones did."""
        wanted = len(self.wait_trace(IDLE_RESET, len(self.traces(IDLE_RESET)) + 1)) + count
        samples = [self.idle_ms()]
        end = time.monotonic() + 10
        while len(self.traces(IDLE_RESET)) < wanted and time.monotonic() < end:
            samples.append(self.idle_ms())
        return max(samples)

    def idle_saver_in(self, seconds):
        """The idle saver on, due after that many seconds without input."""
        for name, value in (("ScreenSaveActive", "1"), ("ScreenSaveTimeOut", str(seconds))):
            reg("add", DESKTOP_KEY, "/v", name, "/t", "REG_SZ", "/d", value, "/f")
            self.addCleanup(reg, "delete", DESKTOP_KEY, "/v", name, "/f")

    def test_a_never_corner_holds_the_idle_saver_away_as_input_does_and_switches_nothing(self):
        # A 2 s timeout: the agent resets the idle time every second.
        self.idle_saver_in(2)
        self.start_agent("---N")
        self.rest_in(0, 767, 3)
        self.wait_trace(HOLD_OFF)
        self.wait_trace("idle resets every")
        self.assertEqual(["idle resets every 1000 ms"], self.traces("idle resets every"))
        # Nothing else gives input meanwhile: without the resets the idle time would pass 3 s.
        self.assertLess(self.idle_while_resets(3), 2500, "the idle time grew while held")
        self.leave(3)
        self.wait_trace(RELEASED)
        # A pause gives it back at once, and so does quitting.
        for end in ("/pause", "/quit"):
            self.rest_in(0, 767, 3)
            self.wait_trace(HOLD_OFF, 2 if end == "/pause" else 3)
            self.assertEqual(0, self.command(end))
            self.wait_trace(RELEASED, 2 if end == "/pause" else 3)
            if end == "/pause":
                self.leave(3)
                self.assertEqual(0, self.command("/resume"))
        self.wait_trace("ended")
        self.assertEqual([HOLD_OFF, RELEASED] * 3, self.traces("execution state"))
        self.assertEqual("1", self.saver_active())

    def test_a_killed_agent_leaves_the_idle_saver_on_and_the_idle_time_growing(self):
        self.idle_saver_in(2)
        self.assertEqual("1", self.saver_active(), "switched off before the test")
        agent = self.start_agent("---N")
        self.rest_in(0, 767, 3)
        self.assertLess(self.idle_while_resets(2), 2500, "the idle time grew while held")
        agent.kill()
        # As after a crash or "End task": nothing is left switched off, and nobody resets the idle
        # time any more, so the idle saver would come after its timeout.
        self.assertEqual("1", self.saver_active())
        self.assertTrue(poll(lambda: self.idle_ms() > 3000, 10), "the idle time stayed reset")

    def test_a_full_screen_program_in_front_keeps_the_corners_idle(self):
        self.start_agent("Y---")
        program = self.start("full_screen_window.exe")
        self.assertIsNotNone(self.session.window("CornersFullScreen", "Full-screen program"))
        self.rest_in(0, 0, 0)
        self.wait_trace("full-screen program in front: corners idle")
        self.leave(0)
        self.assertEqual([], self.saver_runs())
        program.kill()
        self.assertTrue(self.session.window_gone("CornersFullScreen", "-"))
        self.rest_in(0, 0, 0)
        self.scratch.wait_lines(SAVER_STARTED)
        self.end_saver(1)

    def test_pause_stops_triggering_and_resume_restores_it(self):
        self.start_agent("Y---")
        self.assertEqual(0, self.command("/pause"))
        self.wait_trace("paused until resumed")
        self.rest_in(0, 0, 0)
        self.wait_trace("paused: corners idle")
        self.leave(0)
        self.assertEqual(0, self.command("/pause", "60"))
        self.wait_trace("paused for 60 minutes")
        self.rest_in(0, 0, 0)
        self.wait_trace("paused: corners idle", 2)
        self.leave(0)
        self.assertEqual([], self.saver_runs())
        self.assertEqual(0, self.command("/resume"))
        self.wait_trace("resumed")
        self.rest_in(0, 0, 0)
        self.scratch.wait_lines(SAVER_STARTED)
        self.end_saver(1)

    def test_a_second_start_hands_its_command_to_the_first_and_ends(self):
        agent = self.start_agent("----")
        self.assertEqual(0, self.command())
        self.wait_trace("already running")
        self.assertEqual(0, self.command("/now"))
        self.scratch.wait_lines(SAVER_STARTED)
        self.assertEqual(1, len(self.traces("running")), "a second agent ran")
        self.assertEqual(0, self.command("/now"), "a command while the saver runs")
        self.wait_trace("a screen saver runs already")
        self.end_saver(1)
        self.assertEqual(2, self.command("/bogus"))
        self.assertEqual(0, self.command("/quit"))
        self.assertEqual(0, agent.wait_exit())
        self.assertEqual(1, self.command("/resume"), "no agent to take it")

    def test_a_secure_saver_is_not_started_where_the_session_cannot_be_locked(self):
        # NOTE: Wine starts no saver for the system's request and cannot lock a session: the
        # agent's own start is what runs here, and it must refuse when the logon screen is asked.
        for key in (DESKTOP_KEY, POLICY_KEY):
            self.addCleanup(reg, "delete", key, "/v", "ScreenSaverIsSecure", "/f")
        reg("add", DESKTOP_KEY, "/v", "ScreenSaverIsSecure", "/t", "REG_SZ", "/d", "1", "/f")
        agent = self.start_agent("Y---")
        self.rest_in(0, 0, 0)
        self.wait_trace(NOT_LOCKED)
        self.leave(0)
        # The policy's copy decides over the user's value, either way.
        reg("add", DESKTOP_KEY, "/v", "ScreenSaverIsSecure", "/t", "REG_SZ", "/d", "0", "/f")
        reg("add", POLICY_KEY, "/v", "ScreenSaverIsSecure", "/t", "REG_SZ", "/d", "1", "/f")
        self.assertEqual(0, self.command("/now"))
        self.wait_trace(NOT_LOCKED, 2)
        self.assertEqual([], self.saver_runs())
        self.assertEqual(["told the user: Screen saver not started"], self.traces("told the user"))
        steps = [t for t in self.traces() if t.startswith(("asking the system", "the system",
                                                           "logon screen", "session not locked"))]
        self.assertEqual(["asking the system for the screen saver",
                          "the system started no screen saver: starting it here",
                          "logon screen on resume: yes", "session not locked (error 120)"] * 2,
                         steps)
        reg("add", POLICY_KEY, "/v", "ScreenSaverIsSecure", "/t", "REG_SZ", "/d", "0", "/f")
        reg("add", DESKTOP_KEY, "/v", "ScreenSaverIsSecure", "/t", "REG_SZ", "/d", "1", "/f")
        self.assertEqual(0, self.command("/now"))
        self.scratch.wait_lines(SAVER_STARTED)
        self.end_saver(1)
        self.assertTrue(agent.running())

    def test_without_an_agent_a_secure_saver_that_cannot_lock_is_refused_in_a_box(self):
        self.addCleanup(reg, "delete", DESKTOP_KEY, "/v", "ScreenSaverIsSecure", "/f")
        reg("add", DESKTOP_KEY, "/v", "ScreenSaverIsSecure", "/t", "REG_SZ", "/d", "1", "/f")
        alone = self.start(AGENT, "/now", threshold=200)
        self.answer_box("Screen saver not started", 1)
        self.assertEqual(0, alone.wait_exit())
        self.assertEqual([], self.saver_runs())
        reg("delete", DESKTOP_KEY, "/v", "ScreenSaverIsSecure", "/f")
        self.assertEqual(0, self.command("/now"))
        self.scratch.wait_lines(SAVER_STARTED)
        self.end_saver(1)

    def test_the_policys_values_come_before_the_users_for_the_agents_own_start(self):
        self.addCleanup(reg, "delete", POLICY_KEY, "/f")
        self.addCleanup(reg, "delete", DESKTOP_KEY, "/v", "ScreenSaveActive", "/f")
        reg("add", DESKTOP_KEY, "/v", "ScreenSaveActive", "/t", "REG_SZ", "/d", "1", "/f")
        reg("add", POLICY_KEY, "/v", "ScreenSaveActive", "/t", "REG_SZ", "/d", "0", "/f")
        self.start_agent("----")
        for count in (1, 2):
            self.assertEqual(0, self.command("/now"))
            self.wait_trace("screen savers are switched off (ScreenSaveActive): nothing started",
                            count)
        self.assertEqual([TOLD], self.traces("told the user"))
        self.assertEqual([], self.traces("configured saver"))
        # The policy on (a number) over the user's off, and the policy's saver over the user's.
        forced = copy_program(self.session, "test_saver_plain.exe", self.scratch.dir)
        os.rename(forced, self.scratch.path("forced.scr"))
        reg("add", DESKTOP_KEY, "/v", "ScreenSaveActive", "/t", "REG_SZ", "/d", "0", "/f")
        reg("add", POLICY_KEY, "/v", "ScreenSaveActive", "/t", "REG_DWORD", "/d", "1", "/f")
        reg("add", POLICY_KEY, "/v", "SCRNSAVE.EXE", "/t", "REG_SZ", "/d",
            windows_path(self.scratch.path("forced.scr")), "/f")
        self.assertEqual(0, self.command("/now"))
        self.scratch.wait_lines(SAVER_STARTED)
        self.assertEqual(1, len(self.traces("saver started: ")))
        self.assertTrue(self.traces("saver started: ")[0].endswith("forced.scr /s"))
        self.end_saver(1)

    def test_a_lock_for_a_secure_saver_starts_no_saver_and_is_told_unless_confirmed(self):
        # NOTE: Wine cannot lock a session: the test seam stands in for a LockWorkStation that
        # initiates the lock, and the session's notice is sent as the system would send it.
        self.addCleanup(reg, "delete", DESKTOP_KEY, "/v", "ScreenSaverIsSecure", "/f")
        reg("add", DESKTOP_KEY, "/v", "ScreenSaverIsSecure", "/t", "REG_SZ", "/d", "1", "/f")
        agent = self.start_agent("----", env={"MORVANE_TEST_LOCK": "initiated"})
        self.assertEqual(0, self.command("/now"))
        self.wait_trace("lock asked: waiting for the session's notice")
        notice = ("send", "MorvaneHotCornersAgent", "-", "0x2B1", "7", "1")  # WTS_SESSION_LOCK
        self.assertEqual(0, self.session.run("uiprobe.exe", *notice).returncode)
        self.wait_trace("session locked: no screen saver behind the lock")
        # No notice within 5 s: nothing starts, and the user is told.
        began = time.monotonic()
        self.assertEqual(0, self.command("/now"))
        self.wait_trace(NOT_CONFIRMED)
        self.assertGreater(time.monotonic() - began, 4.5)
        self.wait_trace("told the user")
        self.assertEqual([TOLD], self.traces("told the user"))
        self.assertEqual([], self.saver_runs())
        self.assertEqual(2, len(self.traces("lock initiated (test stand-in)")))
        self.assertTrue(agent.running())

    def test_a_system_saver_that_was_dismissed_or_came_late_is_not_started_again(self):
        # NOTE: Wine's system starts no saver: the test plays it, with the saver's file slow to
        # answer so that it acts while the agent has not yet started its own.
        self.start_agent("----", env={"MORVANE_TEST_FILE_DELAY_MS": "1500"})
        self.assertEqual(0, self.command("/now"))
        self.wait_trace(FILE_CHECK)
        # A saver that came and went: the user's input since the request is all that shows.
        idle = self.idle_ms()
        self.assertEqual(0, self.session.run("uiprobe.exe", "input").returncode)
        self.assertLess(self.idle_ms(), idle)
        self.wait_trace("input since the request")
        self.wait_trace(LATE_ANSWER)
        self.assertEqual([], self.saver_runs())
        # One that appears late, as a process of the configured saver's file.
        self.assertEqual(0, self.command("/now"))
        self.wait_trace(FILE_CHECK, 2)
        self.start(self.saver_scr, "/s")
        self.scratch.wait_lines(SAVER_STARTED)
        self.wait_trace("the system started the screen saver")
        self.wait_trace("a process of the saver's file runs")
        self.wait_trace(LATE_ANSWER, 2)
        self.assertEqual([], self.traces("saver started: "))
        self.end_saver(1)
        self.assertEqual(1, len(self.saver_runs()))

    def test_a_saver_file_that_does_not_answer_is_given_up_and_the_agent_stays_responsive(self):
        # The test seam makes the file take 6 s to answer, as a network path that is down.
        agent = self.start_agent("Y---", env={"MORVANE_TEST_FILE_DELAY_MS": "6000"})
        self.rest_in(0, 0, 0)
        self.wait_trace("the system started no screen saver")
        # The command is handed over with SendMessage: it returns only once the agent took it.
        began = time.monotonic()
        self.assertEqual(0, self.command("/pause"))
        self.assertLess(time.monotonic() - began, 4, "the agent froze on the saver's file")
        self.assertEqual([], self.traces("configured saver skipped: its file did not answer"))
        self.wait_trace("configured saver skipped: its file did not answer in time")
        self.wait_trace("a late answer about the saver's file ignored")
        self.assertEqual([], self.saver_runs())
        self.assertTrue(agent.running())

    def test_bad_settings_and_saver_paths_are_skipped_and_the_agent_lives_on(self):
        agent = self.start_agent("YX", read="Y---")
        # Too long, empty, then the whole key deleted: all default; then made again.
        set_corners("Y---junk")
        self.wait_trace("corners read: ----")
        set_corners("")
        self.wait_trace("corners read: ----", 2)
        reg("delete", SETTINGS_KEY, "/f")
        self.wait_trace("corners read: ----", 3)
        set_corners("Y---")
        self.wait_trace("corners read: Y---", 2)
        # Saver paths the agent must not start.
        missing = windows_path(self.scratch.path("missing.scr"))
        for path, why in [("corner.scr", "not a full path"), (missing, "no such file"),
                          (windows_path(self.scratch.log), "not a .scr file")]:
            reg("add", DESKTOP_KEY, "/v", "SCRNSAVE.EXE", "/t", "REG_SZ", "/d", path, "/f")
            count = len(self.traces("configured saver skipped (%s)" % why))
            self.rest_in(0, 0, 0)
            self.wait_trace("configured saver skipped (%s)" % why, count + 1)
            self.leave(0)
        reg("delete", DESKTOP_KEY, "/v", "SCRNSAVE.EXE", "/f")
        self.rest_in(0, 0, 0)
        self.wait_trace("no screen saver configured")
        self.leave(0)
        # A .scr that is no program fails to start.
        broken = self.scratch.path("broken.scr")
        with open(broken, "w") as f:
            f.write("not a program")
        reg("add", DESKTOP_KEY, "/v", "SCRNSAVE.EXE", "/t", "REG_SZ", "/d", windows_path(broken),
            "/f")
        self.rest_in(0, 0, 0)
        self.wait_trace("saver did not start")
        self.leave(0)
        self.assertTrue(agent.running())
        self.assertEqual([], self.saver_runs())


class Commands(AgentTest, unittest.TestCase):
    RUN_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Run"

    # The menu's entries from the top, a separator as None; while paused "Resume" comes after the
    # first separator.
    ENTRIES = ["Start", None, "Pause hour", "Pause", "Every monitor", "Gamepads", None, "Settings",
               "Quit"]
    PAUSED_ENTRIES = ["Start", None, "Resume", "Pause hour", "Pause", "Every monitor", "Gamepads",
                      None, "Settings", "Quit"]

    def menu(self, entry=None, paused=False):
        """Opens the icon's menu and clicks the entry, as a person would."""
        self.assertEqual(0, self.start("agent_poke.exe").wait_exit())
        menu = self.session.window("#32768", "-")
        self.assertIsNotNone(menu, "no menu")
        if entry is None:
            return
        # NOTE: the menu belongs to a window that is never shown, so under Wine without a window
        # manager it never has the keyboard: its entries are clicked. Wine draws entries 17 pixels
        # high and separators 13, from 8 pixels below the menu's top to the first entry's middle.
        entries = self.PAUSED_ENTRIES if paused else self.ENTRIES
        index = entries.index(entry)
        separators = entries[:index].count(None)
        y = menu["y"] + 8 + 17 * (index - separators) + 13 * separators
        self.session.click(menu["x"] + menu["w"] // 2, y)
        self.assertTrue(self.session.window_gone("#32768", "-"), "the menu stayed")

    def test_the_icon_menu_starts_the_saver_pauses_resumes_and_quits(self):
        agent = self.start_agent("Y---")
        self.menu("Start")
        self.scratch.wait_lines(SAVER_STARTED)
        self.end_saver(1)
        self.menu("Pause")
        self.wait_trace("paused until resumed")
        self.rest_in(0, 0, 0)
        self.wait_trace("paused: corners idle")
        self.leave(0)
        self.menu("Resume", paused=True)
        self.wait_trace("resumed")
        self.menu("Pause hour")
        self.wait_trace("paused for 60 minutes")
        self.addCleanup(reg, "delete", CORNERS_KEY, "/f")
        self.menu("Every monitor", paused=True)
        self.wait_trace("corner mode: each")
        self.assertIn("each", reg("query", CORNERS_KEY, "/v", "Corners").stdout)
        self.menu("Every monitor", paused=True)
        self.wait_trace("corner mode: desktop", 2)
        self.menu("Quit", paused=True)
        self.assertEqual(0, agent.wait_exit())
        self.assertEqual(1, len(self.saver_runs()))

    def test_a_quit_handed_over_while_the_menu_is_open_ends_the_agent(self):
        agent = self.start_agent("----")
        self.menu()
        self.assertEqual(0, self.command("/quit"))
        self.assertEqual(0, agent.wait_exit())
        self.assertTrue(self.session.window_gone("#32768", "-"))

    def close_sheets(self):
        """Ends the settings sheets the agent started, which no test started itself."""
        listed = self.session.run("uiprobe.exe", "windows").stdout.splitlines()
        for line in map(parse_fields, listed):
            if line.get("class") == "#32770" and line.get("text") == SHEET:
                subprocess.run([session.wine_run, "taskkill", "/pid", line["pid"], "/f"],
                               env=session.env, capture_output=True, timeout=60)

    def test_settings_runs_the_saver_with_c(self):
        self.addCleanup(self.close_sheets)
        self.start_agent("----")
        self.assertEqual(0, self.command("/settings"))
        started = self.wait_trace("saver started: ")[0]
        self.assertTrue(started.endswith("corner test.scr /c"), started)
        # Its sheet is not in front (the agent never is): Cancel is clicked.
        sheet = self.session.probe("tree", "#32770", "Screen Saver Properties")
        self.assertIsNotNone(sheet, "no settings sheet")
        cancel = next(w for w in sheet[1:] if int(w["id"], 0) == 2 and int(w["visible"])
                      and w["parent"] == sheet[0]["hwnd"])
        self.session.click(int(cancel["x"]) + int(cancel["w"]) // 2,
                           int(cancel["y"]) + int(cancel["h"]) // 2)
        self.assertTrue(self.session.window_gone("#32770", "Screen Saver Properties"))

    def test_the_corner_choice_is_handed_to_the_agent_or_kept_for_its_next_start(self):
        self.addCleanup(reg, "delete", CORNERS_KEY, "/f")
        self.assertEqual(0, self.command("/corners:each"))
        self.assertIn("each", reg("query", CORNERS_KEY, "/v", "Corners").stdout)
        self.start_agent("----")
        self.wait_trace("corner mode: each")
        self.assertEqual(0, self.command("/Corners:Desktop"))
        self.wait_trace("corner mode: desktop")
        self.assertIn("desktop", reg("query", CORNERS_KEY, "/v", "Corners").stdout)
        self.assertEqual(2, self.command("/corners:all"))

    def test_install_and_uninstall_write_and_remove_the_run_entry(self):
        self.addCleanup(reg, "delete", self.RUN_KEY, "/v", "Morvane hot corners", "/f")
        self.assertEqual(0, self.command("/install"))
        out = reg("query", self.RUN_KEY, "/v", "Morvane hot corners").stdout
        agent = windows_path(os.path.join(self.session.bin, AGENT))
        self.assertIn('"%s" /start' % agent, out)
        self.assertEqual(0, self.command("/uninstall"))
        self.assertNotIn("Morvane hot corners", reg("query", self.RUN_KEY).stdout)
        self.assertEqual(0, self.command("/uninstall"), "nothing to remove is no failure")

    def test_an_elevated_start_leaves_the_agent_to_the_shell_which_lets_its_messages_in(self):
        # Started "elevated", it becomes no agent itself: it has the desktop shell start it with
        # the user's rights, and ends.
        elevated = self.start(AGENT, "/start", threshold=200, env={"MORVANE_TEST_ELEVATED": "1"})
        self.assertEqual(0, elevated.wait_exit(), self.traces())
        self.assertEqual(["elevated: started again by the desktop shell, with the user's rights"],
                         self.traces("elevated:"))
        self.assertTrue(poll(lambda: self.session.run(
            "uiprobe.exe", "send", "MorvaneHotCornersAgent", "-", "0", "0", "0").returncode == 0,
            timeout=15), "the shell started no agent: %s" % self.traces())
        self.assertEqual(0, self.command("/quit"))
        self.assertTrue(self.session.window_gone("MorvaneHotCornersAgent", "-"))
        # Through the filter, from normal rights: the commands, ScrHots.dll's notice, the icon's
        # callback and TaskbarCreated, nothing more. A log of its own: the relaunched agent's
        # "running" must not stand for this one's.
        self.setUp()
        self.start_agent("----")
        allowed = self.traces("normal rights may send")
        self.assertEqual(1, len(allowed))
        self.assertRegex(allowed[0], r"^normal rights may send: 0x4A 0x8001 0x8002 0xC[0-9A-F]{3}$")


class TrayIcon(AgentTest, unittest.TestCase):
    """What the agent hands the notification area, as the recording stand-in traces it: the icon
    read back from its handle (size and a hash of its pixels), whether the shell took it, and the
    tooltip."""

    ICON = re.compile(r"tray icon (add|modify): icon=(\d+x\d+):(\w+) shown=(\d) tip=(.*)$")

    def icon_changes(self, count):
        """The first count changes of the icon, each as (kind, size, picture, shown, tip)."""
        self.wait_trace("tray icon ", count)
        return [self.ICON.match(line).groups() for line in self.traces("tray icon ")][:count]

    def paused_until(self, tip):
        """The local time a "paused until" tooltip names, in minutes of the day."""
        clock = re.fullmatch(r"Hot corners paused until (\d+):(\d\d)(?: ?([AP]M))?", tip)
        self.assertIsNotNone(clock, tip)
        hour, minute, half = int(clock.group(1)), int(clock.group(2)), clock.group(3)
        if half:
            hour = hour % 12 + (12 if half == "PM" else 0)
        return hour * 60 + minute

    def test_paused_and_active_show_their_own_icon_and_tooltip_also_after_a_shell_restart(self):
        agent = self.start_agent("----")
        self.assertEqual(0, self.command("/pause"))
        self.assertEqual(0, self.command("/resume"))
        before = time.localtime()
        self.assertEqual(0, self.command("/pause", "90"))
        changes = self.icon_changes(4)
        # The virtual display is at 96 DPI: the small icon's 16 pixels, drawn, not scaled.
        self.assertEqual({("16x16", "1")}, {(size, shown) for _, size, _, shown, _ in changes})
        self.assertEqual([("add", "Hot corners active"), ("modify", "Hot corners paused"),
                          ("modify", "Hot corners active")],
                         [(kind, tip) for kind, _, _, _, tip in changes[:3]])
        active, paused = changes[0][2], changes[1][2]
        self.assertNotEqual(active, paused)
        self.assertEqual([active, paused], [changes[2][2], changes[3][2]])
        # 90 minutes from now, as the clock on the wall says (the minute may turn meanwhile).
        expected = (before.tm_hour * 60 + before.tm_min + 90) % (24 * 60)
        self.assertIn((self.paused_until(changes[3][4]) - expected) % (24 * 60), (0, 1))

        # The shell restarts: its notification area is empty, and the icon comes back as it was.
        self.assertEqual(0, self.start("agent_poke.exe", "shell-restart").wait_exit())
        again = self.icon_changes(5)[4]
        self.assertEqual(("add", "16x16", paused, "1", changes[3][4]), again)
        self.assertEqual(0, self.command("/quit"))
        self.assertEqual(0, agent.wait_exit())
        self.assertEqual([], self.traces("no notification area"))

class SystemAgent(AgentTest, unittest.TestCase):
    """Our ScrHots.dll in the system folder, as the framework of any saver finds it."""

    def probe(self):
        """The framework's detection answer, from a program with no stand-in beside it; it also
        sends the change notice."""
        exe = os.path.join(self.session.bin, "agent_probe", "general_agent_probe.exe")
        return self.start(exe).wait_exit()

    def test_detection_answers_1_while_the_agent_runs_and_0_after_it_quits(self):
        self.assertEqual(0, self.probe())
        agent = self.start_agent("----")
        self.assertEqual(1, self.probe())
        self.wait_trace("settings change notice")
        self.command("/quit")
        agent.wait_exit()
        self.assertEqual(0, self.probe())

    def tree(self):
        lines = self.session.probe("tree", "#32770", SHEET)
        self.assertIsNotNone(lines, "no sheet")
        return lines

    def control(self, ident):
        found = [l for l in self.tree()[1:] if int(l["id"], 0) == ident and int(l["visible"])]
        return found[0] if found else None

    def test_the_general_page_shows_the_agent_present_and_its_changes_reach_it_at_once(self):
        self.start_agent("----")
        # A saver copy in the scratch folder: no stand-in library lies beside it.
        sheet = self.start(os.path.join(self.scratch.dir, "corner test.scr"), "/c",
                           env={"MORVANE_TEST_OPTIONS": "freshsettings"}, threshold=200)
        self.assertTrue(poll(lambda: self.control(IDC_CORNERS), 15), "no monitor control")
        self.assertIsNotNone(self.control(IDC_CORNERS_TEXT), "the agent-present text is hidden")
        self.assertIsNone(self.control(IDC_AGENT_TEXT), "the agent-missing text is shown")
        notices = len(self.traces("settings change notice"))
        monitor = self.control(IDC_CORNERS)
        self.session.click(int(monitor["x"]) + TOP_LEFT_MARK[0],
                           int(monitor["y"]) + TOP_LEFT_MARK[1])
        self.assertIsNotNone(self.session.window("#32768", "-"), "no corner menu")
        self.session.key("Down", "Down", "Return")  # Now
        self.wait_trace("settings change notice", notices + 1)
        self.wait_trace("corners read: Y---")
        self.assertIsNone(self.session.probe("box", "Warning", timeout_ms=500),
                          "the System Agent warning appeared with the agent running")
        self.session.key("Escape")
        sheet.wait_exit()


class MultiMonitorTest(AgentTest):
    """A desktop of several monitors (tools/multimon-session.sh's layout) for the whole class; the
    first is the 1024x768 primary, an 800x600 one lies left of it."""

    layout = "two"
    x_offset = 800

    @classmethod
    def setUpClass(cls):
        cls.script = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools",
                                  "multimon-session.sh")
        subprocess.run([cls.script, "start", build, cls.layout], check=True, timeout=180)
        cls.session = Session(build, state_dir="wine-mm")
        global session
        cls.saved_session, session = session, cls.session

    @classmethod
    def tearDownClass(cls):
        global session
        session = cls.saved_session
        subprocess.run([cls.script, "stop", build], timeout=120)


class MultiMonitorCorners(MultiMonitorTest, unittest.TestCase):
    def test_the_outer_corners_include_the_left_monitors_at_negative_x(self):
        self.start_agent("Y--N")
        self.assertEqual(["monitors=2 zone=4 corners -800,0 1023,0 1023,767 -800,599"],
                         self.traces("monitors="))
        self.rest_in(-800, 599, 3)
        self.wait_trace(HOLD_OFF)
        self.leave(3)
        self.wait_trace(RELEASED)
        self.rest_in(-800, 0, 0)
        self.scratch.wait_lines(SAVER_STARTED)
        self.end_saver(1)


class EachMonitorCorners(MultiMonitorTest, unittest.TestCase):
    """Every monitor's corners where the desktop ends, with a 640x480 monitor right of the primary
    as well: the primary's bottom-right is hot (the pointer stops there both ways) though it is no
    corner of the desktop's, its top-left is not (the left monitor goes on from it)."""

    layout = "three"

    def setUp(self):
        super().setUp()
        reg("add", CORNERS_KEY, "/v", "Corners", "/t", "REG_SZ", "/d", "each", "/f")
        self.addCleanup(reg, "delete", CORNERS_KEY, "/v", "Corners", "/f")

    def saver_alone(self):
        """The test saver started with "/s" where the pointer rests, as the system would start it;
        its exit code once it ended, by itself or by a key."""
        saver = self.start("test_saver_plain.exe", "/s", threshold=200, prefs=("debugTrace",))
        if not poll(lambda: not saver.running() or self.scratch.matching("tick 2"), 15):
            self.fail("the saver neither ended nor ticked")
        if saver.running():
            self.session.key("a")
        return saver.wait_exit()

    def test_the_corners_of_each_monitor_where_the_desktop_ends_are_hot(self):
        self.start_agent("N-N-")
        self.assertEqual(["corner mode: each"], self.traces("corner mode"))
        line = self.traces("monitors=")[0].split()
        self.assertEqual(["monitors=3", "each", "zones=6"], line[:3])
        self.assertEqual(sorted(["2@1023,767/4", "3@0,767/4", "0@-800,0/4", "3@-800,599/4",
                                 "1@1663,0/4", "2@1663,479/4"]), sorted(line[3:]))
        # The primary's top-left: neither the agent nor a saver started there takes it for the
        # "never" corner it would be on a desktop of its own. The agent looks four times a second;
        # the saver's start and two ticks give it many looks.
        self.place_mouse(self.x_offset, 0)
        self.assertEqual(2, self.saver_alone())
        self.assertEqual([], self.traces("corner 0 entered"))
        self.assertEqual([], self.traces(HOLD_OFF))
        # The primary's bottom-right.
        self.rest_in(1023, 767, 2)
        self.wait_trace(HOLD_OFF)
        runs = len(self.saver_runs())
        self.assertEqual(0, self.saver_alone())
        self.assertEqual(runs, len(self.saver_runs()))
        self.assertEqual(1, len(self.scratch.matching(
            "trace Full screen: the pointer rests in never corner 2 (each corners)")))
        self.leave(2)
        self.wait_trace(RELEASED)
        # The left monitor's top-left, the desktop's too.
        self.rest_in(-800, 0, 0)
        self.wait_trace(HOLD_OFF, 2)


class Gamepads(AgentTest, unittest.TestCase):
    """Our stand-in xinput1_4.dll beside the agent (tests/framework/standins/xinput_pad.c), its
    pads set by replacing its pad file; the session's idle time read by uiprobe as any program
    reads it."""

    menu = Commands.menu
    ENTRIES = Commands.ENTRIES

    def setUp(self):
        super().setUp()
        self.pad_file = self.scratch.path("pads.txt")
        self.set_pad(None)
        reg("delete", CORNERS_KEY, "/v", "Gamepads", "/f")
        self.addCleanup(reg, "delete", CORNERS_KEY, "/v", "Gamepads", "/f")

    def set_pad(self, tag, buttons=0, lx=0):
        new = self.pad_file + ".new"
        with open(new, "w") as f:
            if tag:
                f.write("0 %x 0 0 %d 0 0 0 %s\n" % (buttons, lx, tag))
        os.replace(new, self.pad_file)

    def start_pad_agent(self, run=1):
        """The agent with the stand-in in XInput's place; run counts the agents of the test."""
        env = {"MORVANE_STANDIN_PAD": windows_path(self.pad_file),
               "WINE_EXTRA_DLLOVERRIDES": "xinput1_4=n"}
        if run == 1:
            return self.start_agent("----", env=env)
        agent = self.start(AGENT, threshold=200, env=env)
        self.addCleanup(self.quit_agent, agent)
        self.wait_trace("running", run)
        return agent

    def idle_ms(self):
        result = self.session.run("uiprobe.exe", "idle")
        self.assertEqual(0, result.returncode, "no idle time")
        return int(parse_fields(result.stdout.strip())["idle"])

    def use_pad(self, seconds):
        """Presses and releases a button every half second, each state read by the agent."""
        end = time.monotonic() + seconds
        n = 0
        while time.monotonic() < end:
            n += 1
            self.set_pad("use%d" % n, buttons=0x1000 if n % 2 else 0, lx=n * 10)
            self.scratch.wait_lines("pad 0 read use%d" % n)
            time.sleep(0.5)  # the pace of a person at the pad, not a synchronisation

    def test_a_pad_in_use_resets_the_idle_time_every_few_seconds_and_the_choice_holds(self):
        agent = self.start_pad_agent()
        self.wait_trace("gamepads: read through xinput1_4.dll")
        self.scratch.wait_lines("xinput standin loaded")
        self.set_pad("rest")
        self.scratch.wait_lines("pad 0 read rest", timeout=10)
        self.assertEqual([], self.traces("idle time reset"))
        self.use_pad(7)
        self.wait_trace("idle time reset", 2, timeout=10)
        self.assertLess(self.idle_ms(), 5500)
        # At rest: the idle time grows past the pacing's period, so no reset comes any more.
        self.set_pad("rest2")
        self.scratch.wait_lines("pad 0 read rest2")
        self.assertTrue(poll(lambda: self.idle_ms() > 6000, 15), "the idle time does not grow")
        # Fourteen presses in seven seconds: a reset at once and one per five seconds after.
        resets = len(self.traces("idle time reset"))
        self.assertIn(resets, (2, 3))

        # Switched off by the script's switch: stored, the library let go, no more resets.
        self.assertEqual(0, self.command("/gamepads:off"))
        self.wait_trace("gamepads count: off")
        self.scratch.wait_lines("xinput standin unloaded")
        self.assertIn("0x0", reg("query", CORNERS_KEY, "/v", "Gamepads").stdout)
        self.quit_agent(agent)
        # The next agent keeps the choice; the tray item turns it on again.
        agent = self.start_pad_agent(run=2)
        self.assertEqual(["gamepads count: " + c for c in ("on", "off", "off")],
                         self.traces("gamepads count"))
        self.assertEqual(1, len(self.scratch.matching("xinput standin loaded")))
        self.menu("Gamepads")
        self.wait_trace("gamepads count: on", 2)
        self.assertIn("0x1", reg("query", CORNERS_KEY, "/v", "Gamepads").stdout)
        self.scratch.wait_lines("xinput standin loaded", 2)
        self.set_pad("pressed", buttons=0x1000)
        self.wait_trace("idle time reset", resets + 1, timeout=10)


def install_scrhots():
    target = os.path.join(system_folder(), "ScrHots.dll")
    shutil.copy(os.path.join(session.bin, "agent", "ScrHots.dll"), target)
    return target


def main():
    global build, session
    build = os.path.abspath(sys.argv[1])
    names = sys.argv[2:]
    if names in (["MultiMonitorCorners"], ["EachMonitorCorners"]):
        suite = unittest.defaultTestLoader.loadTestsFromTestCase(globals()[names[0]])
        return unittest.TextTestRunner(verbosity=2).run(suite).wasSuccessful()
    session = Session(build)
    AgentTest.session = session
    installed = install_scrhots()
    try:
        loader = unittest.defaultTestLoader
        suite = unittest.TestSuite()
        for case in (Corners, Commands, Gamepads, SystemAgent):
            if names:
                suite.addTests(loader.loadTestsFromNames(names, sys.modules[__name__]))
                break
            suite.addTests(loader.loadTestsFromTestCase(case))
        return unittest.TextTestRunner(verbosity=2).run(suite).wasSuccessful()
    finally:
        os.remove(installed)


if __name__ == "__main__":
    sys.exit(0 if main() else 1)
