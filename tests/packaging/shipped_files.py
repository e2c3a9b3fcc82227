"""What Windows shows of every file we ship, read from the built files with pefile: the version
resource (the project's version in numbers and text, the owner, the file's own name), the word
size, string 1 of the saver (the name in the display settings), the icons and their image sizes,
and each program's manifest (DPI awareness, common controls 6, no elevation, the systems known).
And the files as the packages ship them, through tools/split-symbols.sh: no debugging sections,
a debug link to each one's symbol file, whose CRC it carries.

    shipped_files.py SOURCE_DIR VERSION BITS ICO_FILE NAME=PATH..."""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest
import zlib
import xml.etree.ElementTree as ElementTree

import pefile

sys.dont_write_bytecode = True

# name: (file type, a manifest of its own, the version text when not the project's)
SHIPPED = {
    "glimmerbox.exe": ("app", True, None),
    "glimmerbox.scr": ("app", True, None),
    "carousel.scr": ("app", True, None),
    "morvanecorners.exe": ("app", True, None),
    "ScrHots.dll": ("dll", False, None),
    # Savers read the framework's own version text.
    "morvane.dll": ("dll", False, "framework"),
}
ICON_SIZES = [16, 20, 24, 32, 48]
# The icon groups each file must carry, by id, first the file's own.
ICONS = {
    "glimmerbox.scr": {100: ICON_SIZES + [64]},
    "morvanecorners.exe": {101: ICON_SIZES, 102: ICON_SIZES},
}
STRING_FIELDS = ["CompanyName", "FileDescription", "FileVersion", "LegalCopyright",
                 "OriginalFilename", "ProductName", "ProductVersion"]
SUPPORTED_OS = {
    "{e2011457-1546-43c5-a5fe-008deee3d3f0}",  # Vista
    "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  # 7
    "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  # 8
    "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  # 8.1
    "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  # 10 and 11
}
MACHINES = {"32": pefile.MACHINE_TYPE["IMAGE_FILE_MACHINE_I386"],
            "64": pefile.MACHINE_TYPE["IMAGE_FILE_MACHINE_AMD64"]}
RT_ICON, RT_STRING, RT_GROUP_ICON, RT_MANIFEST = 3, 6, 14, 24

source = version = bits = ico_file = None
files = {}
loaded = {}


def pe(name):
    if name not in loaded:
        loaded[name] = pefile.PE(files[name])
    return loaded[name]


def resources(image, kind):
    """{id: bytes} of one resource type, the first language of each."""
    found = {}
    for entry in getattr(image, "DIRECTORY_ENTRY_RESOURCE", None).entries:
        if entry.id != kind:
            continue
        for item in entry.directory.entries:
            data = item.directory.entries[0].data.struct
            found[item.id] = image.get_data(data.OffsetToData, data.Size)
    return found


def icon_group(data):
    """The group's entries as (width, height, bits, image id); 0 stands for 256."""
    count = int.from_bytes(data[4:6], "little")
    entries = []
    for i in range(count):
        e = data[6 + 14 * i:20 + 14 * i]
        entries.append((e[0] or 256, e[1] or 256, int.from_bytes(e[6:8], "little"),
                        int.from_bytes(e[12:14], "little")))
    return entries


def framework_version_text():
    with open(os.path.join(source, "framework", "core", "resource_ids.h")) as header:
        return re.search(r'#define MORVANE_VERSION_TEXT\s+"([^"]*)"', header.read()).group(1)


class VersionInformation(unittest.TestCase):
    def test_every_file_is_of_this_word_size_and_carries_the_projects_version(self):
        numbers = [int(n) for n in version.split(".")] + [0]
        owners = set()
        for name, (kind, _, text) in SHIPPED.items():
            with self.subTest(file=name):
                image = pe(name)
                self.assertEqual(MACHINES[bits], image.FILE_HEADER.Machine)
                fixed = image.VS_FIXEDFILEINFO[0]
                for ms, ls in ((fixed.FileVersionMS, fixed.FileVersionLS),
                               (fixed.ProductVersionMS, fixed.ProductVersionLS)):
                    self.assertEqual(numbers[:4], [ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF])
                self.assertEqual(1 if kind == "app" else 2, fixed.FileType)
                strings = {}
                for info in image.FileInfo[0]:
                    for table in getattr(info, "StringTable", []):
                        strings.update({k.decode(): v.decode() for k, v in table.entries.items()})
                for field in STRING_FIELDS:
                    self.assertTrue(strings.get(field), "no %s" % field)
                self.assertEqual(name, strings["OriginalFilename"])
                expected = framework_version_text() if text == "framework" else version
                self.assertEqual(expected, strings["FileVersion"])
                self.assertEqual(expected, strings["ProductVersion"])
                self.assertIn(strings["CompanyName"], strings["LegalCopyright"])
                owners.add((strings["CompanyName"], strings["LegalCopyright"]))
        self.assertEqual(1, len(owners), owners)

    def test_the_savers_are_listed_by_their_names(self):
        # String 1 is the second of the first block of 16, each a 16-bit length and UTF-16 text.
        for saver, name in (("glimmerbox.scr", "Glimmerbox"), ("carousel.scr", "Carousel")):
            block = resources(pe(saver), RT_STRING)[1]
            first = int.from_bytes(block[0:2], "little")
            at = 2 + 2 * first
            length = int.from_bytes(block[at:at + 2], "little")
            self.assertEqual(name, block[at + 2:at + 2 + 2 * length].decode("utf-16-le"), saver)


def section_names(image):
    """The sections' full names: a name longer than eight characters ("/4") is an offset into the
    COFF string table, which follows the symbol table."""
    header = image.FILE_HEADER
    strings = header.PointerToSymbolTable + 18 * header.NumberOfSymbols
    data = image.__data__
    names = {}
    for section in image.sections:
        name = section.Name.rstrip(b"\0").decode("latin-1")
        if name.startswith("/") and name[1:].isdigit():
            at = strings + int(name[1:])
            name = data[at:data.find(b"\0", at)].decode("latin-1")
        names[name] = section
    return names


class Symbols(unittest.TestCase):
    def test_shipped_files_carry_no_debugging_sections_and_link_to_their_symbol_files(self):
        with tempfile.TemporaryDirectory() as work:
            copies = []
            for name in SHIPPED:
                copies.append(os.path.join(work, name))
                shutil.copyfile(files[name], copies[-1])
            symbols = os.path.join(work, "symbols")
            subprocess.run([os.path.join(source, "tools", "split-symbols.sh"), symbols] + copies,
                           check=True)
            for name, copy in zip(SHIPPED, copies):
                with self.subTest(file=name):
                    self.assertIn(".debug_info", section_names(pe(name)), "built without symbols")
                    shipped = pefile.PE(copy)
                    sections = section_names(shipped)
                    self.assertEqual([], [n for n in sections if n.startswith(".debug")])
                    self.assertLess(os.path.getsize(copy), os.path.getsize(files[name]) * 0.8)
                    link = sections[".gnu_debuglink"].get_data()
                    target = link[:link.index(b"\0")].decode()
                    self.assertEqual(name + ".debug", target)
                    crc_at = (len(target) + 4) // 4 * 4
                    crc = int.from_bytes(link[crc_at:crc_at + 4], "little")
                    with open(os.path.join(symbols, target), "rb") as f:
                        kept = f.read()
                    self.assertEqual(zlib.crc32(kept), crc, "the link's CRC is not the file's")
                    self.assertIn(".debug_info", section_names(pefile.PE(data=kept)))


class Icons(unittest.TestCase):
    def test_each_icon_has_an_image_of_every_size_and_the_agents_two_differ(self):
        for name, groups in ICONS.items():
            with self.subTest(file=name):
                image = pe(name)
                found = resources(image, RT_GROUP_ICON)
                images = resources(image, RT_ICON)
                self.assertEqual(min(groups), min(found), "not the file's own icon")
                pictures = {}
                for group, sizes in groups.items():
                    entries = icon_group(found[group])
                    self.assertEqual(sizes, sorted(w for w, h, _, _ in entries))
                    for width, height, depth, image_id in entries:
                        header = images[image_id][:16]
                        self.assertEqual((width, 2 * height, 32), (
                            int.from_bytes(header[4:8], "little"),
                            int.from_bytes(header[8:12], "little"),
                            int.from_bytes(header[14:16], "little")))
                        self.assertEqual(32, depth)
                    pictures[group] = [images[e[3]] for e in entries]
                if len(pictures) == 2:
                    active, paused = pictures.values()
                    for a, p in zip(active, paused):
                        self.assertTrue(a != p, "the agent's icons look alike")

    def test_the_saver_icon_is_beside_the_programs_for_the_installer(self):
        with open(ico_file, "rb") as f:
            data = f.read()
        count = int.from_bytes(data[4:6], "little")
        sizes = sorted(data[6 + 16 * i] or 256 for i in range(count))
        self.assertEqual(ICON_SIZES + [64], sizes)
        group = resources(pe("glimmerbox.scr"), RT_GROUP_ICON)[100]
        self.assertEqual(count, len(icon_group(group)))


class Manifests(unittest.TestCase):
    NS = {"v1": "urn:schemas-microsoft-com:asm.v1", "v3": "urn:schemas-microsoft-com:asm.v3",
          "c": "urn:schemas-microsoft-com:compatibility.v1",
          "s05": "http://schemas.microsoft.com/SMI/2005/WindowsSettings",
          "s16": "http://schemas.microsoft.com/SMI/2016/WindowsSettings"}

    def test_every_program_is_dpi_aware_themed_unelevated_and_knows_vista_to_windows_11(self):
        for name, (_, has_manifest, _) in SHIPPED.items():
            if not has_manifest:
                continue
            with self.subTest(file=name):
                manifest = resources(pe(name), RT_MANIFEST).get(1)
                self.assertIsNotNone(manifest, "no manifest")
                root = ElementTree.fromstring(manifest)
                settings = root.find("v3:application/v3:windowsSettings", self.NS)
                self.assertEqual("true/pm", settings.findtext("s05:dpiAware", None, self.NS))
                awareness = settings.findtext("s16:dpiAwareness", "", self.NS)
                self.assertEqual(["permonitorv2", "permonitor"],
                                 [a.strip().lower() for a in awareness.split(",")])
                controls = [a.attrib for a in root.iterfind(
                    "v1:dependency/v1:dependentAssembly/v1:assemblyIdentity", self.NS)]
                self.assertIn(("Microsoft.Windows.Common-Controls", "6.0.0.0", "6595b64144ccf1df"),
                              [(a.get("name"), a.get("version"), a.get("publicKeyToken"))
                               for a in controls])
                level = root.find(".//v3:requestedExecutionLevel", self.NS)
                self.assertEqual("asInvoker", level.get("level"))
                systems = {s.get("Id").lower() for s in root.iterfind(
                    "c:compatibility/c:application/c:supportedOS", self.NS)}
                self.assertEqual(SUPPORTED_OS, systems)


if __name__ == "__main__":
    source, version, bits, ico_file = sys.argv[1:5]
    for arg in sys.argv[5:]:
        key, _, path = arg.partition("=")
        files[key] = path
    missing = set(SHIPPED) - set(files)
    if missing:
        sys.exit("shipped_files: not given: %s" % ", ".join(sorted(missing)))
    unittest.main(argv=sys.argv[:1], verbosity=2)
