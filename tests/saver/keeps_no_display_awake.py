"""No shipped saver binary asks the system to keep the display on: neither its import table (plain
or delay-loaded) nor its bytes (a name for GetProcAddress, as text or UTF-16) name any of the calls
that do. Run on the shipped binaries (they must be clean) and on small programs that do call them
(they must be caught, each by the route it takes), so a reader that sees nothing fails too.

    keeps_no_display_awake.py --clean BINARY... --imports BINARY... --by-name BINARY...
"""
import struct
import sys

KEEP_AWAKE = ("SetThreadExecutionState", "PowerSetRequest", "PowerCreateRequest")


class PeError(Exception):
    pass


class Pe:
    """Just enough of a PE file (32- or 64-bit) to map addresses and walk its imports."""

    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ":
            raise PeError("no MZ header")
        pe = self.u32(0x3C)
        if data[pe:pe + 4] != b"PE\0\0":
            raise PeError("no PE signature")
        sections, optional_size = self.u16(pe + 6), self.u16(pe + 20)
        optional = pe + 24
        magic = self.u16(optional)
        if magic not in (0x10B, 0x20B):
            raise PeError("optional header magic %#x" % magic)
        self.wide = magic == 0x20B
        directories = optional + (112 if self.wide else 96)
        count = self.u32(directories - 4)
        self.directories = [(self.u32(directories + 8 * i), self.u32(directories + 8 * i + 4))
                            for i in range(min(count, 16))]
        table = optional + optional_size
        self.sections = []
        for i in range(sections):
            at = table + 40 * i
            virtual_size, address, raw_size, raw = struct.unpack_from("<IIII", data, at + 8)
            self.sections.append((address, max(virtual_size, raw_size), raw, raw_size))

    def u16(self, at):
        if at < 0 or at + 2 > len(self.data):
            raise PeError("read past the end at %#x" % at)
        return struct.unpack_from("<H", self.data, at)[0]

    def u32(self, at):
        if at < 0 or at + 4 > len(self.data):
            raise PeError("read past the end at %#x" % at)
        return struct.unpack_from("<I", self.data, at)[0]

    def u64(self, at):
        if at < 0 or at + 8 > len(self.data):
            raise PeError("read past the end at %#x" % at)
        return struct.unpack_from("<Q", self.data, at)[0]

    def offset(self, rva):
        for address, size, raw, raw_size in self.sections:
            if address <= rva < address + size and rva - address < raw_size:
                return raw + rva - address
        raise PeError("address %#x is in no section" % rva)

    def text(self, rva):
        at = self.offset(rva)
        end = self.data.find(b"\0", at)
        if end < 0:
            raise PeError("unended name at %#x" % rva)
        return self.data[at:end].decode("latin-1")

    def thunk_names(self, rva):
        """The names a lookup table imports; imports by ordinal carry none."""
        size, flag = (8, 1 << 63) if self.wide else (4, 1 << 31)
        names = []
        at = self.offset(rva)
        for _ in range(100000):
            entry = self.u64(at) if self.wide else self.u32(at)
            if entry == 0:
                return names
            if not entry & flag:
                names.append(self.text((entry & 0x7FFFFFFF) + 2))  # past the hint
            at += size
        raise PeError("unended lookup table at %#x" % rva)

    def imports(self):
        """(dll, name) for every import by name, plain and delay-loaded."""
        found = []
        # Plain: 20-byte descriptors of lookup table, time, chain, name, address table.
        if len(self.directories) > 1 and self.directories[1][0]:
            at = self.offset(self.directories[1][0])
            for _ in range(10000):
                lookup, _, _, name, thunks = struct.unpack_from("<IIIII", self.data, at)
                if name == 0:
                    break
                dll = self.text(name)
                found += [(dll, f) for f in self.thunk_names(lookup or thunks)]
                at += 20
        # Delay-loaded: 32-byte descriptors of attributes, name, module, address table, name table.
        if len(self.directories) > 13 and self.directories[13][0]:
            at = self.offset(self.directories[13][0])
            for _ in range(10000):
                _, name, _, _, lookup = struct.unpack_from("<IIIII", self.data, at)
                if name == 0:
                    break
                dll = self.text(name)
                found += [(dll, f) for f in self.thunk_names(lookup)]
                at += 32
        return found


def keep_awake_findings(path):
    """What in the file asks to keep the display on: ("import", dll, name) and ("text", name)."""
    with open(path, "rb") as f:
        data = f.read()
    imports = Pe(data).imports()
    # Every program imports from kernel32: a reader that finds nothing has misread the table.
    if not any(dll.lower() == "kernel32.dll" for dll, _ in imports):
        raise PeError("%s: no imports from kernel32.dll read" % path)
    findings = [("import", dll, name) for dll, name in imports if name in KEEP_AWAKE]
    for name in KEEP_AWAKE:
        if name.encode() in data or name.encode("utf-16-le") in data:
            findings.append(("text", name))
    return findings


def main(argv):
    groups = {"--clean": [], "--imports": [], "--by-name": []}
    current = None
    for arg in argv:
        if arg in groups:
            current = groups[arg]
        elif current is None:
            print(__doc__, file=sys.stderr)
            return 2
        else:
            current.append(arg)
    failures = []
    for path in groups["--clean"]:
        findings = keep_awake_findings(path)
        print("%s: %s" % (path, findings or "imports and names none of %s" % ", ".join(KEEP_AWAKE)))
        if findings:
            failures.append("%s asks to keep the display on: %r" % (path, findings))
    # The readers must see each route, or a clean result above means nothing.
    for route, paths in (("import", groups["--imports"]), ("text", groups["--by-name"])):
        for path in paths:
            findings = keep_awake_findings(path)
            print("%s: %s" % (path, findings))
            if not [f for f in findings if f[0] == route]:
                failures.append("%s calls one of them, but no %s was seen" % (path, route))
            if route == "text" and [f for f in findings if f[0] == "import"]:
                failures.append("%s imports none of them, yet an import was reported" % path)
    for failure in failures:
        print("FAIL: " + failure, file=sys.stderr)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
