#!/usr/bin/env python3
"""Checks that every C and resource-script block of the author's guide is a piece of the example
saver's files, word for word, so that the guide cannot drift from the code CI builds and runs.

    check_snippets.py GUIDE FILE...

A block is a fenced code block whose info string is "c" or "rc". It must appear, as whole lines,
in one of the files. Exit code 0 when every block does, 1 otherwise (each stray block is shown)."""
import re
import sys

CHECKED = {"c", "rc"}
# The guide quotes the example throughout: fewer blocks than this means the parsing went wrong.
MIN_BLOCKS = 8


def blocks(text):
    """(info string, body, line number) of each fenced block."""
    found = []
    pattern = re.compile(r"^```(\w*)\n(.*?)^```", re.M | re.S)
    for match in pattern.finditer(text):
        line = text.count("\n", 0, match.start()) + 1
        found.append((match.group(1), match.group(2), line))
    return found


def main():
    if len(sys.argv) < 3:
        print(__doc__, file=sys.stderr)
        return 2
    with open(sys.argv[1], encoding="utf-8") as guide:
        text = guide.read()
    sources = {}
    for path in sys.argv[2:]:
        with open(path, encoding="utf-8") as source:
            sources[path] = "\n" + source.read()
    checked = 0
    stray = []
    for info, body, line in blocks(text):
        if info not in CHECKED:
            continue
        checked += 1
        # Whole lines: the block starts after a line break in the file.
        if not any("\n" + body in source for source in sources.values()):
            stray.append((line, body))
    for line, body in stray:
        print(f"{sys.argv[1]}:{line}: this block is in none of the example's files:", file=sys.stderr)
        print(body, file=sys.stderr)
    if checked < MIN_BLOCKS:
        print(f"{sys.argv[1]}: only {checked} C or rc blocks found, expected at least {MIN_BLOCKS}",
              file=sys.stderr)
        return 1
    print(f"check_snippets: {checked - len(stray)} of {checked} blocks found in the example")
    return 1 if stray else 0


if __name__ == "__main__":
    sys.exit(main())
