#!/usr/bin/env python3
"""Writes the built-in character set, src/core/screen/charset.txt.

This script is the source of the set: the glyphs below are pixel art drawn for this
program, and the text asset it writes is what the build compiles in. Edit the art here
and run the script again; do not edit charset.txt by hand.

The design (also written into the asset's header):
  - single-pixel strokes throughout the letters, digits and punctuation;
  - capitals, digits and most punctuation on a body of 5 x 7 pixels in columns 1-5 and
    rows 0-6, leaving column 0, columns 6-7 and row 7 as the space between characters;
  - small letters with an x-height of 5 rows (rows 2-6), ascenders from row 0 and
    descenders that pull the bowl up one row and drop into row 7;
  - bowls with their corner pixels cut away, so round letters read round at 1x;
    a slashed zero, so that 0 and O stay apart in disk names;
  - rounded box corners drawn as quarter circles centred on the cell's corner; the
    straight lines, bars, blocks and checkerboards are plain geometry computed below and
    keep the 2-pixel lines that let the pieces join across cells;
  - card suits, balls and the other pictures drawn 7 pixels wide around column 3.
In each set, codes 128-255 are the exact inverse of codes 0-127.

Usage: tools/make_charset.py [output path]   (default: src/core/screen/charset.txt)
"""

import sys
from pathlib import Path

# ---------------------------------------------------------------------------------------
# Glyph builders. A glyph is a list of 8 row strings of 8 characters, '#' set, '.' clear.


def body(*rows):
    """A glyph on the 5-pixel body: each row is 5 characters placed in columns 1-5."""
    assert len(rows) <= 8, rows
    out = []
    for r in rows:
        assert len(r) == 5, r
        out.append("." + r + "..")
    return out + ["........"] * (8 - len(out))


def full(*rows):
    """A glyph given as whole rows of 8."""
    assert len(rows) <= 8, rows
    for r in rows:
        assert len(r) == 8, r
    return list(rows) + ["........"] * (8 - len(rows))


def geometric(test):
    """A glyph whose pixel (x, y) is set when test(x, y) is true."""
    return ["".join("#" if test(x, y) else "." for x in range(8)) for y in range(8)]


def rows_set(*ys):
    return geometric(lambda x, y: y in ys)


def cols_set(*xs):
    return geometric(lambda x, y: x in xs)


MID = (3, 4)  # the 2-pixel middle lines of the box pieces


def box(up=False, down=False, left=False, right=False):
    """Box-drawing piece: 2-pixel lines from the middle towards the named edges."""

    def test(x, y):
        horizontal = y in MID and ((left and x <= 4) or (right and x >= 3))
        vertical = x in MID and ((up and y <= 4) or (down and y >= 3))
        return horizontal or vertical

    return geometric(test)


def arc(cx, cy):
    """Rounded corner: a quarter ring of radius 3 to 5 centred on the cell corner (cx, cy),
    which meets the 2-pixel middle lines at the two edges next to that corner."""

    def test(x, y):
        d2 = (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2
        return 9.0 <= d2 <= 25.0

    return geometric(test)


# ---------------------------------------------------------------------------------------
# Screen codes 0-63: shared by both sets except 1-26 (capitals here, small letters in the
# Upper/Lower set).

CAPITALS = {
    "A": body(".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"),
    "B": body("####.", "#...#", "#...#", "####.", "#...#", "#...#", "####."),
    "C": body(".###.", "#...#", "#....", "#....", "#....", "#...#", ".###."),
    "D": body("###..", "#..#.", "#...#", "#...#", "#...#", "#..#.", "###.."),
    "E": body("#####", "#....", "#....", "####.", "#....", "#....", "#####"),
    "F": body("#####", "#....", "#....", "####.", "#....", "#....", "#...."),
    "G": body(".###.", "#...#", "#....", "#.###", "#...#", "#...#", ".####"),
    "H": body("#...#", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"),
    "I": body(".###.", "..#..", "..#..", "..#..", "..#..", "..#..", ".###."),
    "J": body("..###", "...#.", "...#.", "...#.", "...#.", "#..#.", ".##.."),
    "K": body("#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"),
    "L": body("#....", "#....", "#....", "#....", "#....", "#....", "#####"),
    "M": body("#...#", "##.##", "#.#.#", "#.#.#", "#...#", "#...#", "#...#"),
    "N": body("#...#", "#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#"),
    "O": body(".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."),
    "P": body("####.", "#...#", "#...#", "####.", "#....", "#....", "#...."),
    "Q": body(".###.", "#...#", "#...#", "#...#", "#.#.#", "#..#.", ".##.#"),
    "R": body("####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"),
    "S": body(".###.", "#...#", "#....", ".###.", "....#", "#...#", ".###."),
    "T": body("#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."),
    "U": body("#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."),
    "V": body("#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."),
    "W": body("#...#", "#...#", "#...#", "#.#.#", "#.#.#", "##.##", "#...#"),
    "X": body("#...#", "#...#", ".#.#.", "..#..", ".#.#.", "#...#", "#...#"),
    "Y": body("#...#", "#...#", ".#.#.", "..#..", "..#..", "..#..", "..#.."),
    "Z": body("#####", "....#", "...#.", "..#..", ".#...", "#....", "#####"),
}

SMALL = {
    "a": body(".....", ".....", ".###.", "....#", ".####", "#...#", ".####"),
    "b": body("#....", "#....", "#.##.", "##..#", "#...#", "#...#", "####."),
    "c": body(".....", ".....", ".###.", "#....", "#....", "#...#", ".###."),
    "d": body("....#", "....#", ".##.#", "#..##", "#...#", "#...#", ".####"),
    "e": body(".....", ".....", ".###.", "#...#", "#####", "#....", ".###."),
    "f": body("..##.", ".#..#", ".#...", "###..", ".#...", ".#...", ".#..."),
    "g": body(".....", ".....", ".####", "#...#", "#...#", ".####", "....#", ".###."),
    "h": body("#....", "#....", "#.##.", "##..#", "#...#", "#...#", "#...#"),
    "i": body("..#..", ".....", ".##..", "..#..", "..#..", "..#..", ".###."),
    "j": body("...#.", ".....", "..##.", "...#.", "...#.", "...#.", "#..#.", ".##.."),
    "k": body("#....", "#....", "#..#.", "#.#..", "##...", "#.#..", "#..#."),
    "l": body(".##..", "..#..", "..#..", "..#..", "..#..", "..#..", ".###."),
    "m": body(".....", ".....", "##.#.", "#.#.#", "#.#.#", "#.#.#", "#.#.#"),
    "n": body(".....", ".....", "#.##.", "##..#", "#...#", "#...#", "#...#"),
    "o": body(".....", ".....", ".###.", "#...#", "#...#", "#...#", ".###."),
    "p": body(".....", ".....", "####.", "#...#", "#...#", "####.", "#....", "#...."),
    "q": body(".....", ".....", ".####", "#...#", "#...#", ".####", "....#", "....#"),
    "r": body(".....", ".....", "#.##.", "##..#", "#....", "#....", "#...."),
    "s": body(".....", ".....", ".####", "#....", ".###.", "....#", "####."),
    "t": body(".#...", ".#...", "###..", ".#...", ".#...", ".#..#", "..##."),
    "u": body(".....", ".....", "#...#", "#...#", "#...#", "#..##", ".##.#"),
    "v": body(".....", ".....", "#...#", "#...#", "#...#", ".#.#.", "..#.."),
    "w": body(".....", ".....", "#...#", "#...#", "#.#.#", "#.#.#", ".#.#."),
    "x": body(".....", ".....", "#...#", ".#.#.", "..#..", ".#.#.", "#...#"),
    "y": body(".....", ".....", "#...#", "#...#", "#...#", ".####", "....#", ".###."),
    "z": body(".....", ".....", "#####", "...#.", "..#..", ".#...", "#####"),
}

# Codes 0 and 27-63, shared by both sets: (description, glyph).
SHARED_LOW = {
    0: ("@ at sign", body(".###.", "#...#", "#.###", "#.#.#", "#.###", "#....", ".####")),
    27: ("[ left bracket", body(".###.", ".#...", ".#...", ".#...", ".#...", ".#...", ".###.")),
    28: ("pound sign", body("..##.", ".#..#", ".#...", "####.", ".#...", ".#...", "#####")),
    29: ("] right bracket", body(".###.", "...#.", "...#.", "...#.", "...#.", "...#.", ".###.")),
    30: (
        "up arrow",
        body("..#..", ".###.", "#.#.#", "..#..", "..#..", "..#..", "..#..", "..#.."),
    ),
    31: (
        "left arrow",
        full("........", "..#.....", ".#......", "########", ".#......", "..#....."),
    ),
    32: ("space", geometric(lambda x, y: False)),
    33: ("! exclamation mark", body("..#..", "..#..", "..#..", "..#..", "..#..", ".....", "..#..")),
    34: ('" quotation mark', body(".#.#.", ".#.#.", ".#.#.")),
    35: ("# number sign", body(".#.#.", ".#.#.", "#####", ".#.#.", "#####", ".#.#.", ".#.#.")),
    36: ("$ dollar sign", body("..#..", ".####", "#.#..", ".###.", "..#.#", "####.", "..#..")),
    37: ("% percent sign", body("##...", "##..#", "...#.", "..#..", ".#...", "#..##", "...##")),
    38: ("& ampersand", body(".##..", "#..#.", "#.#..", ".#...", "#.#.#", "#..#.", ".##.#")),
    39: ("' apostrophe", body("..#..", "..#..", ".#...")),
    40: ("( left parenthesis", body("...#.", "..#..", ".#...", ".#...", ".#...", "..#..", "...#.")),
    41: (") right parenthesis", body(".#...", "..#..", "...#.", "...#.", "...#.", "..#..", ".#...")),
    42: ("* asterisk", body(".....", "..#..", "#.#.#", ".###.", "#.#.#", "..#..")),
    43: ("+ plus sign", body(".....", "..#..", "..#..", "#####", "..#..", "..#..")),
    44: (", comma", body(".....", ".....", ".....", ".....", ".....", "..#..", "..#..", ".#...")),
    45: ("- minus sign", body(".....", ".....", ".....", "#####")),
    46: (". full stop", body(".....", ".....", ".....", ".....", ".....", ".##..", ".##..")),
    47: ("/ slash", body("....#", "....#", "...#.", "..#..", ".#...", "#....", "#....")),
    48: ("0 digit 0", body(".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###.")),
    49: ("1 digit 1", body("..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###.")),
    50: ("2 digit 2", body(".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####")),
    51: ("3 digit 3", body(".###.", "#...#", "....#", "..##.", "....#", "#...#", ".###.")),
    52: ("4 digit 4", body("...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#.")),
    53: ("5 digit 5", body("#####", "#....", "####.", "....#", "....#", "#...#", ".###.")),
    54: ("6 digit 6", body("..##.", ".#...", "#....", "####.", "#...#", "#...#", ".###.")),
    55: ("7 digit 7", body("#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#...")),
    56: ("8 digit 8", body(".###.", "#...#", "#...#", ".###.", "#...#", "#...#", ".###.")),
    57: ("9 digit 9", body(".###.", "#...#", "#...#", ".####", "....#", "...#.", ".##..")),
    58: (": colon", body(".....", ".##..", ".##..", ".....", ".....", ".##..", ".##..")),
    59: ("; semicolon", body(".....", ".##..", ".##..", ".....", ".....", "..#..", "..#..", ".#...")),
    60: ("< less-than sign", body("...#.", "..#..", ".#...", "#....", ".#...", "..#..", "...#.")),
    61: ("= equals sign", body(".....", ".....", "#####", ".....", "#####")),
    62: ("> greater-than sign", body(".#...", "..#..", "...#.", "....#", "...#.", "..#..", ".#...")),
    63: ("? question mark", body(".###.", "#...#", "....#", "...#.", "..#..", ".....", "..#..")),
}

# ---------------------------------------------------------------------------------------
# Codes 64-127.

PICTURES = {
    "spade": full(
        "...#....",
        "..###...",
        ".#####..",
        "#######.",
        "#######.",
        "##.#.##.",
        "...#....",
        "..###...",
    ),
    "heart": full(
        ".#...#..",
        "###.###.",
        "#######.",
        "#######.",
        ".#####..",
        "..###...",
        "...#....",
    ),
    "club": full(
        "..###...",
        "..###...",
        "##.#.##.",
        "#######.",
        "##.#.##.",
        "...#....",
        "..###...",
    ),
    "diamond": full(
        "...#....",
        "..###...",
        "..###...",
        ".#####..",
        ".#####..",
        "..###...",
        "..###...",
        "...#....",
    ),
    "ball": full(
        "..###...",
        ".#####..",
        "#######.",
        "#######.",
        "#######.",
        ".#####..",
        "..###...",
    ),
    "ring": full(
        "..###...",
        ".#...#..",
        "#.....#.",
        "#.....#.",
        "#.....#.",
        ".#...#..",
        "..###...",
    ),
    "pi": full(
        "........",
        ".######.",
        "#.#..#..",
        "..#..#..",
        "..#..#..",
        "..#..#.#",
        ".#....#.",
    ),
    "check": full(
        "........",
        ".......#",
        "......#.",
        ".....#..",
        "#...#...",
        ".#.#....",
        "..#.....",
    ),
}


def checker(x, y):
    return (x // 2 + y // 2) % 2 == 0


# Codes 64-127 of the Upper/Graphics set.
GRAPHICS = {
    64: ("horizontal line, middle", rows_set(3, 4)),
    65: ("spade", PICTURES["spade"]),
    66: ("vertical line, middle", cols_set(3, 4)),
    67: ("horizontal line, middle", rows_set(3, 4)),
    68: ("horizontal line, one above middle", rows_set(2, 3)),
    69: ("horizontal line, two above middle", rows_set(1, 2)),
    70: ("horizontal line, one below middle", rows_set(4, 5)),
    71: ("vertical line, one left of middle", cols_set(2, 3)),
    72: ("vertical line, one right of middle", cols_set(4, 5)),
    73: ("rounded corner, down and left", arc(0, 8)),
    74: ("rounded corner, up and right", arc(8, 0)),
    75: ("rounded corner, up and left", arc(0, 0)),
    76: ("corner, left and bottom edges", geometric(lambda x, y: x < 2 or y > 5)),
    77: ("diagonal, top left to bottom right", geometric(lambda x, y: x == y)),
    78: ("diagonal, top right to bottom left", geometric(lambda x, y: x + y == 7)),
    79: ("corner, left and top edges", geometric(lambda x, y: x < 2 or y < 2)),
    80: ("corner, right and top edges", geometric(lambda x, y: x > 5 or y < 2)),
    81: ("filled circle", PICTURES["ball"]),
    82: ("horizontal line, two below middle", rows_set(5, 6)),
    83: ("heart", PICTURES["heart"]),
    84: ("vertical line, two left of middle", cols_set(1, 2)),
    85: ("rounded corner, down and right", arc(8, 8)),
    86: ("diagonal cross", geometric(lambda x, y: x == y or x + y == 7)),
    87: ("open circle", PICTURES["ring"]),
    88: ("club", PICTURES["club"]),
    89: ("vertical line, two right of middle", cols_set(5, 6)),
    90: ("diamond", PICTURES["diamond"]),
    91: ("cross of lines", box(up=True, down=True, left=True, right=True)),
    92: ("left half checkerboard", geometric(lambda x, y: x < 4 and checker(x, y))),
    93: ("vertical line, middle", cols_set(3, 4)),
    94: ("pi", PICTURES["pi"]),
    95: ("triangle, upper right", geometric(lambda x, y: x >= y)),
    96: ("space (shifted)", geometric(lambda x, y: False)),
    97: ("left half block", geometric(lambda x, y: x < 4)),
    98: ("lower half block", geometric(lambda x, y: y >= 4)),
    99: ("top line", rows_set(0)),
    100: ("bottom line", rows_set(7)),
    101: ("left line", cols_set(0)),
    102: ("checkerboard", geometric(checker)),
    103: ("right line", cols_set(7)),
    104: ("lower half checkerboard", geometric(lambda x, y: y >= 4 and checker(x, y))),
    105: ("triangle, upper left", geometric(lambda x, y: x + y <= 7)),
    106: ("right bar, two pixels", cols_set(6, 7)),
    107: ("T-junction, right", box(up=True, down=True, right=True)),
    108: ("quadrant, lower right", geometric(lambda x, y: x >= 4 and y >= 4)),
    109: ("corner, up and right", box(up=True, right=True)),
    110: ("corner, down and left", box(down=True, left=True)),
    111: ("bottom bar, two rows", rows_set(6, 7)),
    112: ("corner, down and right", box(down=True, right=True)),
    113: ("T-junction, up", box(up=True, left=True, right=True)),
    114: ("T-junction, down", box(down=True, left=True, right=True)),
    115: ("T-junction, left", box(up=True, down=True, left=True)),
    116: ("left bar, two pixels", cols_set(0, 1)),
    117: ("left bar, three pixels", cols_set(0, 1, 2)),
    118: ("right bar, three pixels", cols_set(5, 6, 7)),
    119: ("top bar, two rows", rows_set(0, 1)),
    120: ("top bar, three rows", rows_set(0, 1, 2)),
    121: ("bottom bar, three rows", rows_set(5, 6, 7)),
    122: ("corner, right and bottom edges", geometric(lambda x, y: x > 5 or y > 5)),
    123: ("quadrant, lower left", geometric(lambda x, y: x < 4 and y >= 4)),
    124: ("quadrant, upper right", geometric(lambda x, y: x >= 4 and y < 4)),
    125: ("corner, up and left", box(up=True, left=True)),
    126: ("quadrant, upper left", geometric(lambda x, y: x < 4 and y < 4)),
    127: (
        "quadrants, upper left and lower right",
        geometric(lambda x, y: (x < 4) == (y < 4)),
    ),
}

# Where the Upper/Lower set differs from the Upper/Graphics set in codes 64-127 (apart
# from 65-90, which hold the capitals there).
LOWER_GRAPHICS = {
    94: ("inverse checkerboard", geometric(lambda x, y: not checker(x, y))),
    95: (
        "diagonal stripes, top left to bottom right",
        geometric(lambda x, y: ((x - y) // 2) % 2 == 0),
    ),
    105: (
        "diagonal stripes, top right to bottom left",
        geometric(lambda x, y: ((x + y) // 2) % 2 == 0),
    ),
    122: ("check mark", PICTURES["check"]),
}


def upper_graphics():
    glyphs = {}
    for code, (name, rows) in SHARED_LOW.items():
        glyphs[code] = (name, rows)
    for i, letter in enumerate(sorted(CAPITALS)):
        glyphs[1 + i] = (f"{letter} capital {letter}", CAPITALS[letter])
    glyphs.update(GRAPHICS)
    return glyphs


def upper_lower():
    glyphs = dict(upper_graphics())
    for i, letter in enumerate(sorted(SMALL)):
        glyphs[1 + i] = (f"{letter} small {letter}", SMALL[letter])
    for i, letter in enumerate(sorted(CAPITALS)):
        glyphs[65 + i] = (f"{letter} capital {letter}", CAPITALS[letter])
    glyphs.update(LOWER_GRAPHICS)
    return glyphs


def inverse(rows):
    return ["".join("." if c == "#" else "#" for c in r) for r in rows]


HEADER = """\
; Quorvane character set: 512 glyphs of 8 x 8 pixels in the style of the C64 screen.
; Drawn for this program and written by tools/make_charset.py, which holds the pixel art;
; edit the art there and run it again rather than editing this file. It is not the
; Commodore character ROM and is not derived from it or from any font made from it. A
; user who has a ROM dump of their own (for example one installed with the VICE emulator)
; can have the C64 screen draw with that instead.
;
; The design: single-pixel strokes; capitals, digits and punctuation on a 5 x 7 body in
; columns 1-5 and rows 0-6; small letters with an x-height of 5 rows, ascenders from row
; 0 and descenders into row 7; bowls with their corner pixels cut away; a slashed zero.
; Rounded box corners are quarter circles centred on the cell's corner. Lines, bars,
; blocks and checkerboards are plain geometry with 2-pixel lines so that pieces join
; across cells. Card suits and the other pictures are 7 pixels wide around column 3.
;
; Each glyph is a header line naming its set and screen code (and what it shows),
; followed by 8 rows of 8 pixels, top row first: '#' set, '.' clear.
; Upper/Graphics holds glyphs 0-255, Upper/Lower glyphs 256-511. In each set, codes
; 128-255 are the reverse-video forms of 0-127 (the exact inverse); they are stored here.
; Lines starting with ';' and empty lines are ignored.
"""


def main():
    out_path = Path(sys.argv[1]) if len(sys.argv) > 1 else (
        Path(__file__).resolve().parent.parent / "src" / "core" / "screen" / "charset.txt"
    )
    lines = [HEADER]
    for set_name, glyphs in (("Upper/Graphics", upper_graphics()), ("Upper/Lower", upper_lower())):
        assert sorted(glyphs) == list(range(128)), set_name
        for code in range(256):
            name, rows = glyphs[code & 0x7F]
            if code >= 128:
                name, rows = "reverse " + name, inverse(rows)
            lines.append(f"{set_name} {code:03d}: {name}\n" + "\n".join(rows) + "\n")
    out_path.write_text("\n".join(lines))


if __name__ == "__main__":
    main()
