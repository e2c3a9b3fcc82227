"""The user's installer under Wine, as an administrator's script runs it: silently (/S) it puts
glimmerbox.scr where Windows looks for savers and makes it the current saver, the installed saver
runs "/s" and ends on a key, and the uninstaller takes away everything the installer added and puts
the previous saver back. A target it cannot write leaves nothing behind.

    installer_e2e.py BUILD_DIR [PEER_BUILD_DIR]
A 64-bit BUILD_DIR with the 32-bit PEER_BUILD_DIR makes the installer of both word sizes.
"""
import os
import re
import shutil
import subprocess
import sys
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
UNINSTALL = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Glimmerbox"
PREVIOUS = r"C:\windows\system32\previous.scr"
# What the installer may touch, and Wine's own files that change whatever runs.
WATCHED = ["windows/system32", "windows/syswow64", "Program Files", "Program Files (x86)"]


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
            parts = line.strip().split(None, 2)
            if len(parts) >= 2 and parts[0].lower() == value.lower():
                return parts[2] if len(parts) == 3 else ""
        return None

    def registry(self):
        return {key: self.query(key) for key in (DESKTOP, RUN, UNINSTALL)}

    def install(self, *options):
        return self.wine(self.setup, "/S", *options, timeout=300).returncode

    def wait_uninstalled(self):
        deadline = time.time() + 60
        while time.time() < deadline:
            if self.query(UNINSTALL) is None and not self.installed_files():
                return True
            time.sleep(0.5)
        return False

    def installed_files(self):
        return [p for p in files(DRIVE) if "glimmerbox" in p]

    def setUp(self):
        self.wine("reg", "add", DESKTOP, "/v", "SCRNSAVE.EXE", "/d", PREVIOUS, "/f")

    def test_silent_install_runs_the_saver_and_the_uninstaller_takes_it_all_back(self):
        files_before, registry_before = files(DRIVE), self.registry()
        self.assertEqual(0, self.install())
        system32 = os.path.join(DRIVE, "windows", "system32", "glimmerbox.scr")
        with open(system32, "rb") as installed, open(os.path.join(BUILD, "bin", "glimmerbox.scr"),
                                                      "rb") as built:
            self.assertEqual(built.read(), installed.read(), "System32 holds this build's saver")
        if WIN64:
            with open(os.path.join(DRIVE, "windows", "syswow64", "glimmerbox.scr"), "rb") as a, \
                    open(os.path.join(PEER, "bin", "glimmerbox.scr"), "rb") as b:
                self.assertEqual(b.read(), a.read(), "SysWOW64 holds the 32-bit saver")
        self.assertEqual(r"c:\windows\system32\glimmerbox.scr",
                         (self.query(DESKTOP, "SCRNSAVE.EXE") or "").lower())
        self.assertEqual("1", self.query(DESKTOP, "ScreenSaveActive"))
        self.assertEqual("Glimmerbox screen saver", self.query(UNINSTALL, "DisplayName"))
        self.assertRegex(self.query(UNINSTALL, "DisplayVersion") or "", r"^\d+\.\d+\.\d+$")
        for value in ("Publisher", "UninstallString", "DisplayIcon", "EstimatedSize"):
            self.assertTrue(self.query(UNINSTALL, value), value)

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
