"""Signed release packages, with a throwaway code-signing certificate: every program and library
in the installer (the uninstaller and NSIS's plugins among them), the installer itself and the
SDK's libraries carry a SHA-256 Authenticode signature that verifies against that certificate, and
so do the files the installer puts on a Wine system. A certificate that cannot be read stops the
packaging before anything is made.

    signing_e2e.py BUILD64_DIR BUILD32_DIR
"""
import os
import re
import shutil
import subprocess
import sys
import unittest
import zipfile

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))
from winesession import Session  # noqa: E402

BUILD = os.path.abspath(sys.argv[1])
PEER = os.path.abspath(sys.argv[2])
WORK = os.path.join(BUILD, "signing-test")
DRIVE = os.path.join(BUILD, "wine", "prefix", "drive_c")
UNINSTALL = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Glimmerbox"
SIGNABLE = (".exe", ".dll", ".scr")


def run(*command, env=None, timeout=300):
    return subprocess.run(command, capture_output=True, text=True, errors="replace",
                          timeout=timeout, env=env)


def signing_env(password):
    return {**os.environ, "MORVANE_SIGN_PFX": os.path.join(WORK, "release.pfx"),
            "MORVANE_SIGN_PASSWORD": password}


def unsigned(paths, ca):
    """The files among paths whose signature does not verify against ca."""
    return [p for p in paths
            if run("osslsigncode", "verify", "-CAfile", ca, "-in", p).returncode != 0]


def signable(top):
    return sorted(os.path.join(path, name) for path, _, names in os.walk(top)
                  for name in names if name.lower().endswith(SIGNABLE))


class Signing(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        shutil.rmtree(WORK, ignore_errors=True)
        os.makedirs(WORK)
        cls.ca = os.path.join(WORK, "release.pem")
        key = os.path.join(WORK, "release.key")
        made = run("openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2",
                   "-subj", "/CN=Glimmerbox test release", "-keyout", key, "-out", cls.ca,
                   "-addext", "extendedKeyUsage=codeSigning", "-addext",
                   "keyUsage=digitalSignature")
        assert made.returncode == 0, made.stderr
        made = run("openssl", "pkcs12", "-export", "-inkey", key, "-in", cls.ca, "-out",
                   os.path.join(WORK, "release.pfx"), "-passout", "pass:release secret")
        assert made.returncode == 0, made.stderr
        # A certificate of the same name that did not sign: verifying against it must fail.
        cls.stranger = os.path.join(WORK, "stranger.pem")
        made = run("openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2",
                   "-subj", "/CN=Glimmerbox test release", "-keyout",
                   os.path.join(WORK, "stranger.key"), "-out", cls.stranger)
        assert made.returncode == 0, made.stderr

    def test_a_wrong_password_stops_both_scripts_before_anything_is_made(self):
        out = os.path.join(WORK, "refused")
        for command in (["make-installer.sh", PEER, BUILD, out],
                        ["make-sdk.sh", PEER, BUILD, out]):
            result = run(os.path.join(ROOT, "tools", command[0]), *command[1:],
                         env=signing_env("not the password"))
            self.assertNotEqual(0, result.returncode, command[0])
            self.assertIn("wrong password", result.stderr, command[0])
            self.assertEqual([], os.listdir(out) if os.path.isdir(out) else [], command[0])

    def test_the_sdk_ships_signed_libraries(self):
        out = os.path.join(WORK, "sdk")
        made = run(os.path.join(ROOT, "tools", "make-sdk.sh"), PEER, BUILD, out,
                   env=signing_env("release secret"))
        self.assertEqual(0, made.returncode, made.stderr)
        unpacked = os.path.join(WORK, "sdk-unpacked")
        with zipfile.ZipFile(made.stdout.strip().splitlines()[-1]) as archive:
            archive.extractall(unpacked)
        libraries = signable(unpacked)
        self.assertEqual(2, len([p for p in libraries if p.endswith("morvane.dll")]), libraries)
        self.assertEqual([], unsigned(libraries, self.ca))

    def test_every_file_in_the_installer_and_on_the_system_is_signed(self):
        out = os.path.join(WORK, "installer")
        made = run(os.path.join(ROOT, "tools", "make-installer.sh"), PEER, BUILD, out,
                   env=signing_env("release secret"))
        self.assertEqual(0, made.returncode, made.stderr)
        setup = made.stdout.strip().splitlines()[-1]
        self.assertEqual([], unsigned([setup], self.ca))
        self.assertEqual([setup], unsigned([setup], self.stranger))

        inside = os.path.join(WORK, "inside")
        listed = run("7z", "x", "-y", "-o" + inside, setup)
        self.assertEqual(0, listed.returncode, listed.stdout + listed.stderr)
        carried = signable(inside)
        names = sorted(os.path.basename(p).lower() for p in carried)
        for name in ("glimmerbox.scr", "carousel.scr", "morvanecorners.exe", "scrhots.dll", "uninstall.exe",
                     "system.dll", "nsdialogs.dll"):
            self.assertIn(name, names)
        self.assertEqual([], unsigned(carried, self.ca))

        session = Session(BUILD)
        wine = [session.wine_run]
        self.assertEqual(0, subprocess.run(wine + [setup, "/S", "/KEEPSAVER"], env=session.env,
                                           capture_output=True, timeout=300).returncode)
        try:
            system = os.path.join(DRIVE, "windows")
            installed = [os.path.join(system, "system32", n)
                         for n in ("glimmerbox.scr", "carousel.scr", "morvanecorners.exe",
                                   "ScrHots.dll")]
            installed += [os.path.join(system, "syswow64", "glimmerbox.scr"),
                          os.path.join(DRIVE, "Program Files (x86)", "Glimmerbox",
                                       "uninstall.exe")]
            for path in installed:
                self.assertTrue(os.path.exists(path), path)
            self.assertEqual([], unsigned(installed, self.ca))
        finally:
            query = subprocess.run(wine + ["reg", "query", UNINSTALL, "/v",
                                           "QuietUninstallString", "/reg:64"], env=session.env,
                                   capture_output=True, text=True, errors="replace", timeout=60)
            uninstaller = re.search(r'"([^"]+)"', query.stdout)
            if uninstaller:
                # _?= and the folder unquoted (wine would quote one argument with spaces).
                folder = uninstaller.group(1).rsplit("\\", 1)[0]
                subprocess.run(wine + [uninstaller.group(1), "/S", *("_?=" + folder).split(" ")],
                               env=session.env, capture_output=True, timeout=120)
            # The waiting uninstaller cannot delete itself (Windows does at the next restart).
            shutil.rmtree(os.path.join(DRIVE, "Program Files (x86)", "Glimmerbox"),
                          ignore_errors=True)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
