"""The saver author's SDK as an author gets it: installed from this build (stage) or unpacked from
the zip of the 32- and 64-bit builds (zip), a project outside the tree configures against it and
builds savers in C and C++ both ways and one written for the SDK's screen-saver library (through the
package, and for every word size by the plain MinGW line with only the library's name changed),
which then run "/s" under Wine and end on a key.

    sdk_e2e.py BUILD_DIR stage
    sdk_e2e.py BUILD_DIR zip PEER_BUILD_DIR      (BUILD_DIR 64-bit, PEER_BUILD_DIR 32-bit)
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
MODE = sys.argv[2]
PEER = os.path.abspath(sys.argv[3]) if len(sys.argv) > 3 else None
WORK = os.path.join(BUILD, "sdk-test", MODE)


def cache_value(build, name):
    with open(os.path.join(build, "CMakeCache.txt")) as cache:
        for line in cache:
            match = re.match(r"%s:[A-Z]+=(.*)" % name, line)
            if match:
                return match.group(1)
    raise AssertionError("no %s in %s" % (name, build))


# A build configured with a relative toolchain path has it relative to the source folder.
TOOLCHAIN = os.path.join(cache_value(BUILD, "CMAKE_HOME_DIRECTORY"),
                         cache_value(BUILD, "CMAKE_TOOLCHAIN_FILE"))
ARCH = "x64" if "x86_64" in os.path.basename(TOOLCHAIN) else "x86"
OTHER_TOOLCHAIN = os.path.join(
    ROOT, "cmake", "i686-w64-mingw32.cmake" if ARCH == "x64" else "x86_64-w64-mingw32.cmake")


def run(*command, **kwargs):
    return subprocess.run(command, capture_output=True, text=True, timeout=600, **kwargs)


def make_sdk():
    """The SDK's folder as an author has it."""
    shutil.rmtree(WORK, ignore_errors=True)
    os.makedirs(WORK)
    if MODE == "stage":
        sdk = os.path.join(WORK, "sdk")
        result = run("cmake", "--install", BUILD, "--component", "sdk", "--prefix", sdk)
        assert result.returncode == 0, result.stdout + result.stderr
        return sdk, None
    result = run(os.path.join(ROOT, "tools", "make-sdk.sh"), PEER, BUILD, WORK)
    assert result.returncode == 0, result.stdout + result.stderr
    archive = result.stdout.strip().splitlines()[-1]
    with zipfile.ZipFile(archive) as z:
        z.extractall(WORK)
        names = z.namelist()
    top = names[0].split("/")[0]
    return os.path.join(WORK, top), archive


def plain_scrnsave_link(sdk, arch, out):
    """The SDK library's saver linked by the line an author's makefile has, -lscrnsave renamed."""
    triple = "x86_64-w64-mingw32" if arch == "x64" else "i686-w64-mingw32"
    return run(triple + "-gcc-posix", "-O2", "-mwindows", "-o", out,
               os.path.join(HERE, "consumer", "scrnsave_saver.c"),
               "-L" + os.path.join(sdk, "lib", arch), "-lmorvane_scrnsave")


def configure(source, binary, sdk, toolchain=TOOLCHAIN, *extra):
    shutil.rmtree(binary, ignore_errors=True)
    return run("cmake", "-S", source, "-B", binary, "-DCMAKE_PREFIX_PATH=" + sdk,
               "-DCMAKE_TOOLCHAIN_FILE=" + toolchain, *extra)


class Sdk(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.sdk, cls.archive = make_sdk()
        cls.session = Session(BUILD)
        cls.arches = ["x86", "x64"] if MODE == "zip" else [ARCH]
        cls.consumer = os.path.join(WORK, "consumer")
        result = configure(os.path.join(HERE, "consumer"), cls.consumer, cls.sdk)
        assert result.returncode == 0, result.stdout + result.stderr
        result = run("cmake", "--build", cls.consumer, "-j2")
        assert result.returncode == 0, result.stdout + result.stderr

    def run_until_key(self, program, window_class, title):
        saver = subprocess.Popen([self.session.wine_run, program, "/s"], cwd=os.path.dirname(program),
                                 env=self.session.env, stdout=subprocess.DEVNULL,
                                 stderr=subprocess.DEVNULL)
        try:
            self.assertIsNotNone(self.session.window(window_class, title),
                                 "%s showed no saver window" % program)
            self.session.key("a")
            self.assertEqual(2, saver.wait(timeout=30), program)
        finally:
            if saver.poll() is None:
                saver.kill()
                saver.wait()

    def test_savers_in_c_and_cpp_built_both_ways_run_full_screen_and_end_on_a_key(self):
        cases = [("saver_c_dll", "DummyScreenSaverClass", "sdk saver c"),
                 ("saver_c_linked", "DummyScreenSaverClass", "sdk saver c"),
                 ("saver_cpp_dll", "KoScreenSaverClass", "sdk saver cpp"),
                 ("saver_cpp_linked", "KoScreenSaverClass", "sdk saver cpp")]
        for name, window_class, title in cases:
            with self.subTest(name):
                self.run_until_key(os.path.join(self.consumer, name + ".scr"), window_class, title)

    def test_a_saver_of_the_sdk_library_links_through_the_package_and_by_the_plain_line(self):
        programs = [os.path.join(self.consumer, "saver_scrnsave.scr")]
        for arch in self.arches:
            out = os.path.join(WORK, "plain_scrnsave_%s.scr" % arch)
            result = plain_scrnsave_link(self.sdk, arch, out)
            self.assertEqual(0, result.returncode, result.stdout + result.stderr)
            programs.append(out)
        for program in programs:
            with self.subTest(os.path.basename(program)):
                self.run_until_key(program, "WindowsScreenSaverClass", "SaverWindow")

    def test_the_linked_savers_need_no_dll_beside_the_systems(self):
        for name in ("saver_c_linked", "saver_cpp_linked", "saver_scrnsave"):
            dump = run("objdump", "-p", os.path.join(self.consumer, name + ".scr")).stdout
            dlls = {d.lower() for d in re.findall(r"DLL Name: (\S+)", dump)}
            self.assertNotIn("morvane.dll", dlls, name)
            self.assertFalse({d for d in dlls if d.startswith(("libstdc++", "libgcc", "libwinpthread"))},
                             name)

    def test_the_example_builds_against_the_package(self):
        binary = os.path.join(WORK, "example")
        result = configure(os.path.join(self.sdk, "example"), binary, self.sdk)
        self.assertEqual(0, result.returncode, result.stdout + result.stderr)
        result = run("cmake", "--build", binary, "-j2")
        self.assertEqual(0, result.returncode, result.stdout + result.stderr)
        for name in ("bounce_dll.scr", "bounce_linked.scr"):
            self.assertTrue(os.path.isfile(os.path.join(binary, name)), name)

    # CMake wraps the messages it prints: they are compared with their white space joined.
    def test_an_unknown_component_is_refused_naming_the_ones_there_are(self):
        result = configure(os.path.join(HERE, "consumer"), os.path.join(WORK, "bad-component"),
                           self.sdk, TOOLCHAIN, "-DMORVANE_COMPONENTS=dll;gui")
        self.assertNotEqual(0, result.returncode)
        self.assertIn('Morvane has no component "gui"; its components are: dll, linked, scrnsave, '
                      'scrnsavw', " ".join(result.stderr.split()))

    def test_an_sdk_without_the_screen_saver_library_is_refused_naming_the_missing_file(self):
        partial = os.path.join(WORK, "partial-sdk")
        shutil.rmtree(partial, ignore_errors=True)
        shutil.copytree(self.sdk, partial)
        missing = os.path.join(partial, "lib", ARCH, "morvane_scrnsavw.o")
        os.remove(missing)
        result = configure(os.path.join(HERE, "consumer"), os.path.join(WORK, "partial"), partial,
                           TOOLCHAIN, "-DMORVANE_COMPONENTS=scrnsave;scrnsavw")
        self.assertNotEqual(0, result.returncode)
        self.assertIn("has no scrnsavw library for %s: %s is missing" % (ARCH, missing),
                      " ".join(result.stderr.split()))

    def test_the_sdk_holds_what_an_author_needs(self):
        arches = self.arches
        files = ["include/morvane.h", "LICENSE", "VERSION", "README.txt", "doc/writing-a-saver.md",
                 "example/CMakeLists.txt", "example/bounce.c", "lib/cmake/Morvane/MorvaneConfig.cmake"]
        for arch in arches:
            files += ["bin/%s/morvane.dll" % arch, "lib/%s/libmorvane.dll.a" % arch,
                      "lib/%s/libmorvane_static.a" % arch, "lib/%s/morvane.def" % arch]
            for name in ("scrnsave", "scrnsavw"):
                files += ["lib/%s/libmorvane_%s.a" % (arch, name), "lib/%s/morvane_%s.o" % (arch, name),
                          "lib/%s/libmorvane_%s_parts.a" % (arch, name)]
                # The scripts name their members by file name alone: a build's paths would link
                # here only while that build is still there.
                with open(os.path.join(self.sdk, "lib", arch, "libmorvane_%s.a" % name)) as script:
                    text = script.read()
                for build in (BUILD, PEER):
                    if build:
                        self.assertNotIn(build, text, name)
        for name in files:
            self.assertTrue(os.path.isfile(os.path.join(self.sdk, name)), name)
        with open(os.path.join(self.sdk, "VERSION")) as version:
            self.assertRegex(version.read().strip(), r"^\d+\.\d+\.\d+$")
        if self.archive:
            self.assertTrue(os.path.basename(self.archive).startswith("morvane-sdk-"))
            # The 64-bit .def names the exports plainly; the 32-bit one as stdcall decorates them.
            with open(os.path.join(self.sdk, "lib", "x64", "morvane.def")) as plain:
                self.assertNotIn("@", plain.read().split("EXPORTS", 1)[1])
            # Shipped without debugging information, linked to the symbols kept beside the zip.
            with zipfile.ZipFile(self.archive[:-len(".zip")] + "-symbols.zip") as z:
                kept = z.namelist()
            for arch in arches:
                for name in ("bin/%s/morvane.dll" % arch, "lib/%s/libmorvane_static.a" % arch):
                    sections = run("x86_64-w64-mingw32-objdump", "-h",
                                   os.path.join(self.sdk, name)).stdout
                    self.assertIn(".text", sections, name)
                    self.assertNotIn(".debug_", sections, name)
                    # A DLL links to its .debug file; a static library is kept whole.
                    symbols = name
                    if name.endswith(".dll"):
                        self.assertIn(".gnu_debuglink", sections, name)
                        symbols += ".debug"
                    self.assertTrue(any(n.endswith(symbols) for n in kept), symbols)

    @unittest.skipIf(MODE == "zip", "the zip has both word sizes")
    def test_a_word_size_that_was_not_built_is_refused_naming_the_one_there_is(self):
        result = configure(os.path.join(HERE, "consumer"), os.path.join(WORK, "other-size"),
                           self.sdk, OTHER_TOOLCHAIN)
        self.assertNotEqual(0, result.returncode)
        other = "x64" if ARCH == "x86" else "x86"
        self.assertIn("has no %s-bit (%s) build; it has: %s" % ("64" if other == "x64" else "32",
                                                                 other, ARCH), result.stderr)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
