"""The user's installer under Wine, as an administrator's script runs it: silently (/S) it puts
glimmerbox.scr where Windows looks for savers and makes it the current saver, the installed saver
runs "/s" and ends on a key, and the uninstaller takes away everything the installer added and puts
the previous saver back. A target it cannot write leaves nothing behind. Installing again and
uninstalling while the hot-corner agent and a saver run, a saver chosen between two installs, and
the split between the elevated half (machine-wide) and the user's half, an uninstall whose
elevation is refused, a reinstall before the restart that an uninstall left files for, and an
install per machine that each user's logon completes.

    installer_e2e.py BUILD_DIR [PEER_BUILD_DIR]
A 64-bit BUILD_DIR with the 32-bit PEER_BUILD_DIR makes the installer of both word sizes.
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))
from winesession import Session  # noqa: E402

BUILD = os.path.abspath(sys.argv[1])
PEER = os.path.abspath(sys.argv[2]) if len(sys.argv) > 2 else None
WIN64 = PEER is not None
DRIVE = os.path.join(BUILD, "wine", "prefix", "drive_c")
DESKTOP = r"HKCU\Control Panel\Desktop"
RUN = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Run"
MACHINE_RUN = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Run"
USER_KEY = r"HKCU\Software\Glimmerbox"
PENDING = r"HKLM\System\CurrentControlSet\Control\Session Manager"
AGENT = r"C:\windows\system32\morvanecorners.exe"
SAVER = r"c:\windows\system32\glimmerbox.scr"
UNINSTALL = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Glimmerbox"
ACTIVE_SETUP = (r"HKLM\Software\Microsoft\Active Setup\Installed Components"
                r"\{6F3C2A1E-9B7D-4C52-A8E1-3D5F0B7C9A24}")
PREVIOUS = r"C:\windows\system32\previous.scr"
# What the installer may touch, and Wine's own files that change whatever runs.
WATCHED = ["windows/system32", "windows/syswow64", "Program Files", "Program Files (x86)"]


def in_place(uninstaller):
    """The arguments that make the uninstaller run in place and return when done: _?= and its
    folder, unquoted as NSIS wants it (wine would quote one argument with spaces)."""
    return ("_?=" + uninstaller.rsplit("\\", 1)[0]).split(" ")


def as_shipped(path):
    """The build's program as the installer carries it: without its debugging sections."""
    work = tempfile.mkdtemp()
    copy = os.path.join(work, os.path.basename(path))
    shutil.copyfile(path, copy)
    subprocess.run([os.path.join(ROOT, "tools", "split-symbols.sh"), os.path.join(work, "symbols"),
                    copy], check=True)
    with open(copy, "rb") as f:
        data = f.read()
    shutil.rmtree(work)
    return data


def files(top):
    listing = {}
    for folder in WATCHED:
        base = os.path.join(top, folder)
        for path, _, names in os.walk(base):
            for name in names:
                full = os.path.join(path, name)
                listing[os.path.relpath(full, top).lower()] = os.path.getsize(full)
            if not names and path != base:
                listing[os.path.relpath(path, top).lower() + "/"] = 0
    return listing


class Installer(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.session = Session(BUILD)
        out = os.path.join(BUILD, "installer-test")
        shutil.rmtree(out, ignore_errors=True)
        builds = [PEER, BUILD] if WIN64 else [BUILD]
        made = subprocess.run([os.path.join(ROOT, "tools", "make-installer.sh"), *builds, out],
                              capture_output=True, text=True, timeout=300)
        assert made.returncode == 0, made.stderr
        cls.setup = made.stdout.strip().splitlines()[-1]
        assert re.search(r"glimmerbox-setup-\d+\.\d+\.\d+\.exe$", cls.setup), cls.setup

    def wine(self, *args, timeout=120):
        return subprocess.run([self.session.wine_run, *args], env=self.session.env,
                              capture_output=True, text=True, errors="replace", timeout=timeout)

    def query(self, key, value=None):
        """The value's data, or None; with value None the key's whole listing, or None."""
        view = ["/reg:64"] if WIN64 and key.startswith("HKLM") else []
        args = ["reg", "query", key] + (["/v", value] if value else ["/s"]) + view
        result = self.wine(*args)
        if result.returncode != 0:
            return None
        if value is None:
            return result.stdout
        for line in result.stdout.splitlines():
            # Names may hold spaces: reg sets the columns four spaces apart.
            match = re.match(r"\s*(.+?) {4}(REG_\w+)(?: {4}(.*))?$", line)
            if match and match.group(1).lower() == value.lower():
                return match.group(3) or ""
        return None

    def registry(self):
        return {key: self.query(key) for key in (DESKTOP, RUN, MACHINE_RUN, USER_KEY, UNINSTALL)}

    def install(self, *options):
        # Not through pipes: the agent that the installer starts again would hold them open.
        return subprocess.run([self.session.wine_run, self.setup, "/S", *options],
                              env=self.session.env, stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL, timeout=300).returncode

    def wait_uninstalled(self):
        deadline = time.time() + 60
        while time.time() < deadline:
            if self.query(UNINSTALL) is None and not self.installed_files():
                return True
            time.sleep(0.5)
        return False

    def installed_files(self):
        return [p for p in files(DRIVE) if "glimmerbox" in p or p.endswith("/carousel.scr")]

    def setUp(self):
        self.wine("reg", "add", DESKTOP, "/v", "SCRNSAVE.EXE", "/d", PREVIOUS, "/f")

    def test_silent_install_runs_the_saver_and_the_uninstaller_takes_it_all_back(self):
        files_before, registry_before = files(DRIVE), self.registry()
        self.assertEqual(0, self.install())
        system32 = os.path.join(DRIVE, "windows", "system32", "glimmerbox.scr")
        with open(system32, "rb") as installed:
            self.assertEqual(as_shipped(os.path.join(BUILD, "bin", "glimmerbox.scr")),
                             installed.read(), "System32 holds this build's saver")
        with open(os.path.join(DRIVE, "windows", "system32", "carousel.scr"), "rb") as installed:
            self.assertEqual(as_shipped(os.path.join(BUILD, "bin", "carousel.scr")),
                             installed.read(), "Carousel goes beside it")
        if WIN64:
            for name in ("glimmerbox.scr", "carousel.scr"):
                with open(os.path.join(DRIVE, "windows", "syswow64", name), "rb") as a:
                    self.assertEqual(as_shipped(os.path.join(PEER, "bin", name)), a.read(),
                                     "SysWOW64 holds the 32-bit " + name)
        self.assertEqual(r"c:\windows\system32\glimmerbox.scr",
                         (self.query(DESKTOP, "SCRNSAVE.EXE") or "").lower())
        self.assertEqual("1", self.query(DESKTOP, "ScreenSaveActive"))
        self.assertEqual("Glimmerbox screen saver", self.query(UNINSTALL, "DisplayName"))
        version = self.query(UNINSTALL, "DisplayVersion") or ""
        self.assertRegex(version, r"^\d+\.\d+\.\d+$")
        major, minor = (int(n) for n in version.split(".")[:2])
        self.assertEqual(major, int(self.query(UNINSTALL, "VersionMajor") or "-1", 0))
        self.assertEqual(minor, int(self.query(UNINSTALL, "VersionMinor") or "-1", 0))
        for value in ("NoModify", "NoRepair"):
            self.assertEqual(1, int(self.query(UNINSTALL, value) or "0", 0), value)
        self.assertGreater(int(self.query(UNINSTALL, "EstimatedSize") or "0", 0), 100)
        for value in ("Publisher", "UninstallString", "HelpLink", "URLInfoAbout"):
            self.assertTrue(self.query(UNINSTALL, value), value)
        self.assertEqual(SAVER + ",0", (self.query(UNINSTALL, "DisplayIcon") or "").lower())
        if self.has_agent():
            self.assertIn("morvanecorners.exe", self.query(MACHINE_RUN, "Morvane hot corners"))
            self.assertIsNone(self.query(RUN, "Morvane hot corners"), "autostart is machine-wide")

        saver = subprocess.Popen([self.session.wine_run, r"C:\windows\system32\glimmerbox.scr",
                                  "/s"], env=self.session.env, stdout=subprocess.DEVNULL,
                                 stderr=subprocess.DEVNULL)
        try:
            self.assertIsNotNone(self.session.window("KoScreenSaverClass", "SaverWindow"),
                                 "the installed saver showed no window")
            self.session.key("a")
            self.assertEqual(2, saver.wait(timeout=30))
        finally:
            if saver.poll() is None:
                saver.kill()

        # The user moved on to Carousel: it goes too, and they get back what Glimmerbox replaced.
        self.wine("reg", "add", DESKTOP, "/v", "SCRNSAVE.EXE", "/d",
                  r"C:\windows\system32\carousel.scr", "/f")
        uninstaller = self.query(UNINSTALL, "QuietUninstallString")
        self.assertTrue(uninstaller)
        program = re.match(r'"([^"]+)"', uninstaller).group(1)
        self.wine(program, "/S")
        self.assertTrue(self.wait_uninstalled(), "the uninstaller left %s" % self.installed_files())
        self.assertEqual(PREVIOUS, self.query(DESKTOP, "SCRNSAVE.EXE"))
        # Only once the uninstaller's copy of itself has ended are the folders as they were.
        deadline = time.time() + 30
        while files(DRIVE) != files_before and time.time() < deadline:
            time.sleep(0.5)
        self.assertEqual(files_before, files(DRIVE))
        self.assertEqual(registry_before, self.registry())

    def has_agent(self):
        return os.path.exists(os.path.join(BUILD, "bin", "agent", "morvanecorners.exe"))

    def start_system_program(self, path, *args):
        # NOTE: in a 64-bit prefix `wine` is the 32-bit launcher, which finds System32's 64-bit
        # programs in SysWOW64 (file redirection): they start through wine64.
        launcher = ["/usr/lib/wine/wine64"] if WIN64 else [self.session.wine_run]
        return subprocess.Popen(launcher + [path, *args], env=self.session.env,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def agent_running(self):
        # Its window is hidden: found, not waited for as a visible one.
        return self.session.run("uiprobe.exe", "send", "MorvaneHotCornersAgent", "-", "0", "0",
                                "0").returncode == 0

    def wait_agent(self, running, timeout=15):
        deadline = time.time() + timeout
        while self.agent_running() != running:
            if time.time() > deadline:
                return False
            time.sleep(0.1)
        return True

    def start_agent_and_saver(self):
        """The agent and a saver from System32, both running (the saver holds its file open)."""
        programs = []
        if self.has_agent():
            programs.append(self.start_system_program(AGENT, "/start"))
            self.assertTrue(self.wait_agent(True), "the agent did not start")
        programs.append(self.start_system_program(SAVER, "/s"))
        self.assertIsNotNone(self.session.window("KoScreenSaverClass", "SaverWindow"))
        return programs

    def stop(self, programs):
        if self.agent_running():
            self.start_system_program(AGENT, "/quit").wait(timeout=60)
        for program in programs:
            try:
                program.wait(timeout=10)
            except subprocess.TimeoutExpired:
                program.kill()
                program.wait()

    def uninstall_and_wait(self, *options, env=None):
        """The uninstaller as a script that waits for it runs it; its exit code."""
        program = re.match(r'"([^"]+)"', self.query(UNINSTALL, "QuietUninstallString")).group(1)
        return subprocess.run([self.session.wine_run, program, "/S", *options, *in_place(program)],
                              env=dict(self.session.env, **(env or {})), capture_output=True,
                              timeout=120).returncode

    def pending_deletes(self):
        return self.wine("reg", "query", PENDING, "/v", "PendingFileRenameOperations").stdout

    def restart(self):
        """What Windows does with the files due at the next restart: they go."""
        for name in re.split(r"\\0| {4}", self.pending_deletes()):
            if name.lower().startswith("\\??\\c:\\"):
                path = DRIVE
                for part in name[len("\\??\\c:\\"):].split("\\"):
                    # Windows names are not case-sensitive, the prefix's folders are.
                    there = os.listdir(path) if os.path.isdir(path) else []
                    path = os.path.join(path, next((n for n in there if n.lower() == part.lower()),
                                                   part))
                if os.path.isdir(path):
                    shutil.rmtree(path)
                elif os.path.exists(path):
                    os.remove(path)
        self.wine("reg", "delete", PENDING, "/v", "PendingFileRenameOperations", "/f")

    def test_installing_again_while_the_agent_and_a_saver_run_replaces_them(self):
        self.assertEqual(0, self.install())
        # An older build's saver: the upgrade must replace it, however it is held.
        installed = os.path.join(DRIVE, "windows", "system32", "glimmerbox.scr")
        with open(installed, "ab") as f:
            f.write(b"older")
        programs = self.start_agent_and_saver()
        try:
            self.assertEqual(0, self.install())
            with open(installed, "rb") as new:
                self.assertEqual(as_shipped(os.path.join(BUILD, "bin", "glimmerbox.scr")),
                                 new.read())
            self.assertTrue(self.query(UNINSTALL, "DisplayName"))
            self.assertTrue(os.path.exists(installed))
            if self.has_agent():
                self.assertTrue(self.wait_agent(True), "the agent was not started again")
        finally:
            self.session.key("a")
            self.stop(programs)
        self.assertEqual(0, self.uninstall_and_wait())
        self.restart()
        self.assertEqual(PREVIOUS, self.query(DESKTOP, "SCRNSAVE.EXE"))

    def test_a_failed_upgrade_puts_back_the_files_it_replaced(self):
        self.assertEqual(0, self.install())
        installed = os.path.join(DRIVE, "windows", "system32", "glimmerbox.scr")
        with open(installed, "ab") as f:
            f.write(b"older")
        with open(installed, "rb") as f:
            older = f.read()
        folder = os.path.join(DRIVE, "Program Files (x86)" if WIN64 else "Program Files",
                              "Glimmerbox")
        # The uninstaller cannot be written over a folder: the last step fails.
        os.remove(os.path.join(folder, "uninstall.exe"))
        os.makedirs(os.path.join(folder, "uninstall.exe", "in the way"))
        try:
            self.assertEqual(2, self.install())
            with open(installed, "rb") as f:
                self.assertEqual(older, f.read(), "the replaced saver was not put back")
            self.assertTrue(self.query(UNINSTALL, "DisplayName"))
        finally:
            shutil.rmtree(os.path.join(folder, "uninstall.exe"))
        self.assertEqual(0, self.install())
        self.assertEqual(0, self.uninstall_and_wait())
        self.restart()

    def test_uninstalling_while_the_agent_and_a_saver_run_ends_the_agent_and_asks_a_restart(self):
        files_before = files(DRIVE)
        self.assertEqual(0, self.install())
        # Another program's rename waits for the restart too: the reinstall leaves it alone.
        foreign = os.path.join(DRIVE, "foreign.tmp")
        with open(foreign, "w") as f:
            f.write("theirs")
        self.wine("reg", "add", PENDING, "/v", "PendingFileRenameOperations", "/t", "REG_MULTI_SZ",
                  "/d", r"\??\C:\foreign.tmp\0\??\C:\foreign.moved", "/f")
        programs = self.start_agent_and_saver()
        try:
            # The waiting form: the files are gone (or due at the restart) when it returns.
            # NOTE: Wine passes on the low byte of a Windows exit code: 3010 arrives as 194.
            self.assertEqual(3010 % 256, self.uninstall_and_wait())
            if self.has_agent():
                self.assertFalse(self.agent_running(), "the agent still runs")
                self.assertFalse(os.path.exists(os.path.join(DRIVE, "windows", "system32",
                                                             "morvanecorners.exe")))
            self.assertIn(r"c:\windows\system32\glimmerbox.scr", self.pending_deletes().lower())
            self.assertIsNone(self.query(UNINSTALL))
            self.assertEqual(PREVIOUS, self.query(DESKTOP, "SCRNSAVE.EXE"))
            # Installed again before the restart, with the saver still running.
            self.assertEqual(0, self.install())
        finally:
            self.session.key("a")
            self.stop(programs)
        try:
            # Wine's restart carries out the pending operations: what the install wrote stays,
            # and the saver, the uninstaller, the Uninstall entry and SCRNSAVE.EXE agree.
            self.wine("wineboot", "-r")
            saver = self.query(DESKTOP, "SCRNSAVE.EXE") or ""
            self.assertEqual(SAVER, saver.lower())
            self.assertTrue(self.query(UNINSTALL, "DisplayName"))
            self.assertEqual(["uninstall.exe"],
                             [p.rsplit("/", 1)[-1] for p in self.installed_files()
                              if p.endswith("uninstall.exe")])
            running = self.start_system_program(SAVER, "/s")
            self.assertIsNotNone(self.session.window("KoScreenSaverClass", "SaverWindow"),
                                 "the saver did not survive the restart")
            self.session.key("a")
            self.assertEqual(2, running.wait(timeout=30))
            self.assertEqual(0, self.uninstall_and_wait())
            self.assertEqual(PREVIOUS, self.query(DESKTOP, "SCRNSAVE.EXE"))
            self.assertFalse(os.path.exists(foreign))
            with open(os.path.join(DRIVE, "foreign.moved")) as f:
                self.assertEqual("theirs", f.read(), "the other program's rename was lost")
        finally:
            for name in ("foreign.tmp", "foreign.moved"):
                if os.path.exists(os.path.join(DRIVE, name)):
                    os.remove(os.path.join(DRIVE, name))
            self.restart()
            for leftover in set(files(DRIVE)) - set(files_before):
                path = os.path.join(DRIVE, leftover)
                if os.path.isfile(path):
                    os.remove(path)

    def test_a_saver_chosen_between_two_installs_is_the_one_put_back(self):
        self.wine("reg", "delete", DESKTOP, "/v", "SCRNSAVE.EXE", "/f")
        self.assertEqual(0, self.install())
        other = r"C:\windows\system32\other.scr"
        self.wine("reg", "add", DESKTOP, "/v", "SCRNSAVE.EXE", "/d", other, "/f")
        # A restart's list that is no list of names: installed, said with 5, the list left as it was.
        self.wine("reg", "add", PENDING, "/v", "PendingFileRenameOperations2", "/t", "REG_BINARY",
                  "/d", "414243", "/f")
        try:
            self.assertEqual(5, self.install())
            self.assertEqual("414243", self.query(PENDING, "PendingFileRenameOperations2"))
        finally:
            self.wine("reg", "delete", PENDING, "/v", "PendingFileRenameOperations2", "/f")
        self.assertEqual(0, self.uninstall_and_wait())
        self.assertEqual(other, self.query(DESKTOP, "SCRNSAVE.EXE"))
        self.assertIsNone(self.query(UNINSTALL))
        # The waiting uninstaller cannot delete itself; Windows does at the next restart.
        self.assertEqual(["uninstall.exe"], [p.rsplit("/", 1)[-1] for p in self.installed_files()])
        self.assertIn("uninstall.exe", self.pending_deletes().lower())
        self.restart()

    def test_the_elevated_half_leaves_the_users_settings_to_the_users_half(self):
        # NOTE: Wine has no split token: the installer's own process would do both halves; /SPLIT
        # makes it start the elevated half as it does for a user who is not elevated.
        user_before = {key: self.query(key) for key in (DESKTOP, RUN, USER_KEY)}
        self.assertEqual(0, self.install("/MACHINEPART"))
        self.assertTrue(os.path.exists(os.path.join(DRIVE, "windows", "system32",
                                                    "glimmerbox.scr")))
        self.assertTrue(self.query(UNINSTALL, "DisplayName"))
        self.assertEqual(user_before, {key: self.query(key) for key in (DESKTOP, RUN, USER_KEY)})

        self.assertEqual(0, self.install("/SPLIT"))
        self.assertEqual(SAVER, (self.query(DESKTOP, "SCRNSAVE.EXE") or "").lower())
        if self.has_agent():
            self.assertTrue(self.query(MACHINE_RUN, "Morvane hot corners"))

        # Elevation refused: the uninstaller says so and nothing has changed, the agent runs on.
        programs = self.start_agent_and_saver()
        try:
            files_installed, registry_installed = files(DRIVE), self.registry()
            self.assertEqual(4, self.uninstall_and_wait(
                "/SPLIT", env={"MORVANE_TEST_REFUSE_ELEVATION": "1"}))
            self.assertEqual(registry_installed, self.registry())
            self.assertEqual(files_installed, files(DRIVE))
            if self.has_agent():
                self.assertTrue(self.agent_running(), "the refused uninstall ended the agent")
        finally:
            self.session.key("a")
            self.stop(programs)
        self.assertEqual(0, self.uninstall_and_wait("/SPLIT"))
        self.assertEqual(["uninstall.exe"], [p.rsplit("/", 1)[-1] for p in self.installed_files()])
        self.assertEqual(user_before, {key: self.query(key) for key in (DESKTOP, RUN, USER_KEY)})
        self.restart()

    def test_per_machine_writes_no_hkcu_and_each_users_logon_makes_it_their_saver_once(self):
        user_keys = (DESKTOP, RUN, USER_KEY)
        user_before = {key: self.query(key) for key in user_keys}
        self.assertEqual(0, self.install("/ALLUSERS", "/KEEPSAVER"))
        self.assertIsNone(self.query(ACTIVE_SETUP), "/KEEPSAVER gives nobody the saver")
        self.assertEqual(0, self.install("/ALLUSERS"))
        self.assertEqual(user_before, {key: self.query(key) for key in user_keys})
        self.assertTrue(self.query(UNINSTALL, "DisplayName"))
        version = self.query(ACTIVE_SETUP, "Version")
        self.assertEqual(0x1, int(self.query(ACTIVE_SETUP, "IsInstalled") or "0", 0))
        # An upgrade does not hand the saver again to users who have since chosen another.
        self.assertEqual(0, self.install("/ALLUSERS"))
        self.assertEqual(version, self.query(ACTIVE_SETUP, "Version"))

        # The user's logon runs the step as Active Setup does: CreateProcess on StubPath.
        stub = self.query(ACTIVE_SETUP, "StubPath")
        program, arguments = re.match(r'"([^"]+)" (.*)$', stub).groups()
        self.assertEqual(0, subprocess.run([self.session.wine_run, program, *arguments.split(" ")],
                                           env=self.session.env, capture_output=True,
                                           timeout=120).returncode)
        user_record = r"HKCU" + ACTIVE_SETUP[4:]
        self.wine("reg", "add", user_record, "/v", "Version", "/d", version, "/f")
        self.assertEqual(SAVER, (self.query(DESKTOP, "SCRNSAVE.EXE") or "").lower())
        self.assertEqual(PREVIOUS, self.query(USER_KEY, "PreviousSaver"))

        # Uninstalled (from Programs and Features, no switch), what was deployed per machine goes
        # per machine: every user's saver is back, and their records are gone.
        self.assertEqual(0, self.uninstall_and_wait())
        self.assertIsNone(self.query(ACTIVE_SETUP))
        self.assertEqual(user_before, {key: self.query(key) for key in user_keys})
        self.assertIsNone(self.query(user_record), "the user's Active Setup record stayed")
        self.restart()

    @unittest.skipUnless(WIN64, "the saver's word size matters on 64-bit Windows")
    def test_the_finish_page_opens_the_settings_of_the_64_bit_saver(self):
        setup = subprocess.Popen([self.session.wine_run, self.setup], env=self.session.env,
                                 stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        settings = None
        try:
            # Next (button 1) on every page until it says Finish (the last page ticks both boxes).
            deadline = time.time() + 60
            while time.time() < deadline:
                # The installer's is the only dialog until Finish.
                tree = self.session.probe("tree", "#32770", "-", timeout_ms=5000) or []
                button = next((w for w in tree if w.get("id") == "1" and w.get("enabled") == "1"
                               and w.get("visible") == "1"), None)
                if button:
                    self.session.click(int(button["x"]) + int(button["w"]) // 2,
                                       int(button["y"]) + int(button["h"]) // 2)
                    if "Finish" in button.get("text", ""):
                        break
                time.sleep(0.2)
            self.assertIsNotNone(self.session.window("#32770", "Screen Saver Properties"))
            for pid in filter(str.isdigit, os.listdir("/proc")):
                try:
                    with open("/proc/%s/environ" % pid, "rb") as f:
                        ours = self.session.env["WINEPREFIX"].encode() in f.read()
                    with open("/proc/%s/cmdline" % pid, "rb") as f:
                        command = f.read().decode(errors="replace").lower()
                    if ours and "glimmerbox.scr" in command:
                        settings = int(pid)
                        self.assertIn("wine64", os.readlink("/proc/%s/exe" % pid),
                                      "a 32-bit saver shows the settings: " + command)
                except OSError:
                    continue
            self.assertIsNotNone(settings)
        finally:
            if settings:
                os.kill(settings, 15)
            setup.wait(timeout=30)
        self.assertEqual(0, self.uninstall_and_wait())
        self.restart()

    def test_a_target_it_cannot_write_fails_the_install_and_leaves_nothing(self):
        # A file where the uninstaller's folder would go: the saver is written first, then this
        # fails, and what was written must go again.
        programs = os.path.join(DRIVE, "Program Files (x86)" if WIN64 else "Program Files")
        blocker = os.path.join(programs, "Glimmerbox")
        with open(blocker, "w") as f:
            f.write("in the way")
        try:
            files_before, registry_before = files(DRIVE), self.registry()
            self.assertEqual(2, self.install())
            self.assertEqual(files_before, files(DRIVE))
            self.assertEqual(registry_before, self.registry())
        finally:
            os.remove(blocker)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
