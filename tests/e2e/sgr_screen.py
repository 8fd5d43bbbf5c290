"""What a terminal shows of bytes with SGR escapes: runs of characters, each with the attributes,
text colour and background in force. A colour is None (the terminal's own), ("basic", 0-15),
("palette", n) or ("rgb", r, g, b). Any other escape or parameter is an error, so that a stray
sequence cannot pass unseen."""

import re
from collections import namedtuple

Look = namedtuple("Look", "attributes text background")
PLAIN = Look(frozenset(), None, None)
ATTRIBUTES = {1: "bold", 2: "dim", 3: "italic", 4: "underline", 5: "blink", 7: "reverse", 9: "strike"}


def _apply(look, p):
    attributes, colours = set(look.attributes), [look.text, look.background]
    while p:
        n, taken = p[0], 1
        if n == 0:
            attributes, colours = set(), [None, None]
        elif n in ATTRIBUTES:
            attributes.add(ATTRIBUTES[n])
        elif n in (39, 49):
            colours[n == 49] = None
        elif 30 <= n <= 37 or 90 <= n <= 97:
            colours[0] = ("basic", n % 10 + 8 * (n >= 90))
        elif 40 <= n <= 47 or 100 <= n <= 107:
            colours[1] = ("basic", n % 10 + 8 * (n >= 100))
        elif n in (38, 48) and p[1:2] == [5]:
            colours[n == 48], taken = ("palette", p[2]), 3
        elif n in (38, 48) and p[1:2] == [2]:
            colours[n == 48], taken = ("rgb", *p[2:5]), 5
        else:
            raise ValueError("SGR parameters %r" % p)
        p = p[taken:]
    return Look(frozenset(attributes), *colours)


def screen(data):
    """The lines of `data` (UTF-8 bytes), each a list of runs (text, Look)."""
    lines, line, look = [], [], PLAIN
    for piece in re.split(r"(\x1b\[[0-9;]*m|\n)", data.decode("utf-8")):
        if piece == "\n":
            lines.append(line)
            line = []
        elif piece.startswith("\x1b["):
            look = _apply(look, [int(n or 0) for n in piece[2:-1].split(";")])
        elif "\x1b" in piece:
            raise ValueError("an escape that is no SGR sequence: %r" % piece)
        elif piece:
            if line and line[-1][1] == look:
                line[-1] = (line[-1][0] + piece, look)
            else:
                line.append((piece, look))
    return lines + [line] if line else lines


def look(*attributes, text=None, background=None):
    """A Look from attribute names and colours: look("bold", text=("basic", 1))."""
    return Look(frozenset(attributes), text, background)
