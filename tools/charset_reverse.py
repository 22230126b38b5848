#!/usr/bin/env python3
"""Adds the reverse-video halves to the character set asset.

The asset (src/core/screen/charset.txt) is drawn by hand for screen codes 0-127 of both
sets. This script writes codes 128-255 of each set as the inverse of 0-127, but only for
glyphs that are not in the file yet: a reverse glyph that was already there (including
any that was touched up by hand afterwards) is kept as it is. Differences between a kept
reverse glyph and the plain inverse are listed, so that they stay deliberate.

Usage: tools/charset_reverse.py [path/to/charset.txt]
"""

import re
import sys
from pathlib import Path

SETS = ("Upper/Graphics", "Upper/Lower")
HEADER = re.compile(r"^(Upper/Graphics|Upper/Lower) (\d{3}): (.*)$")


def parse(lines):
    """Returns the preamble lines and {(set, code): (description, rows)}."""
    preamble, glyphs = [], {}
    i = 0
    while i < len(lines):
        m = HEADER.match(lines[i])
        if not m:
            if not glyphs:
                preamble.append(lines[i])
            elif lines[i].strip() and not lines[i].startswith(";"):
                sys.exit(f"line {i + 1}: expected a glyph header, got {lines[i]!r}")
            i += 1
            continue
        rows = lines[i + 1 : i + 9]
        if len(rows) != 8 or any(not re.fullmatch(r"[#.]{8}", r) for r in rows):
            sys.exit(f"line {i + 1}: glyph {m.group(1)} {m.group(2)} needs 8 rows of 8 '#'/'.'")
        glyphs[(m.group(1), int(m.group(2)))] = (m.group(3), rows)
        i += 9
    return preamble, glyphs


def invert(rows):
    return ["".join("." if c == "#" else "#" for c in r) for r in rows]


def main():
    path = Path(sys.argv[1] if len(sys.argv) > 1 else "src/core/screen/charset.txt")
    preamble, glyphs = parse(path.read_text().splitlines())
    added = 0
    for s in SETS:
        for code in range(128):
            if (s, code) not in glyphs:
                sys.exit(f"{s} {code:03d} is missing: draw codes 0-127 first")
            desc, rows = glyphs[(s, code)]
            key = (s, code + 128)
            if key not in glyphs:
                glyphs[key] = ("reverse " + desc, invert(rows))
                added += 1
            elif glyphs[key][1] != invert(rows):
                print(f"kept: {s} {code + 128:03d} differs from the inverse of {code:03d}")
    out = list(preamble)
    while out and not out[-1].strip():
        out.pop()
    out.append("")
    for s in SETS:
        for code in range(256):
            desc, rows = glyphs[(s, code)]
            out.append(f"{s} {code:03d}: {desc}")
            out.extend(rows)
            out.append("")
    path.write_text("\n".join(out))
    print(f"{path}: {added} reverse glyphs added")


if __name__ == "__main__":
    main()
