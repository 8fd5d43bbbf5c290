#!/usr/bin/python3
"""Renders what huecast writes on a terminal into PNGs, for the README's pictures: the classic
colour codes, styled filters (attributes, the 256-colour palette, 24-bit colour), and a build
run with --run, its set chosen by the command's name.

    /usr/bin/python3 docs/render_screenshot.py build/huecast docs/screenshot.png docs/styled.png docs/run.png

Needs Debian's python3-pil and fonts-dejavu-core (`make screenshots` installs them; not needed
to build or test huecast).
"""

import fcntl
import os
import pty
import struct
import subprocess
import sys
import tempfile
import termios
import tty

from PIL import Image, ImageDraw, ImageFont

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tests", "e2e"))
import huecast_run  # noqa: E402
from sgr_screen import PLAIN, screen  # noqa: E402

ROOT = os.path.join(os.path.dirname(__file__), "..")
FONTS = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono%s.ttf"
SCREEN_BACKGROUND, SCREEN_TEXT = (24, 24, 28), (204, 204, 204)
# The sixteen SGR colours: 30-37 / 40-47 and their bright forms 90-97 / 100-107.
PALETTE = [(12, 12, 12), (197, 15, 31), (19, 161, 14), (193, 156, 0), (0, 55, 218), (136, 23, 152),
           (58, 150, 221), (204, 204, 204), (118, 118, 118), (231, 72, 86), (22, 198, 12), (249, 241, 165),
           (59, 120, 255), (180, 0, 158), (97, 214, 214), (242, 242, 242)]
CUBE = [0, 95, 135, 175, 215, 255]

# The styled filters of the second picture, as a filter file.
STYLED_FILTERS = r"""# time stamps dim, the component reversed
dim,^[\d-]+ [\d:.]+
;reverse 75,\[(\w+)\]
# levels: 24-bit and palette colours, DEBUG struck through
bold #ff5f5f,\bERROR\b
bold 214,\bWARN\b
strike 244,\bDEBUG\b.*
# a request's method bold, its path underlined; a time in italics
;bold #87d7ff;ul #87d7ff,\b(GET|POST) (\S+)
;italic 208,\b(?:in|took) (\d+ ms)
# addresses in 24-bit colour, ports bold (a line that begins with # is a comment)
italic #5fd7af;bold,\b\d+(?:\.\d+){3}(:\d+)?
bold green,\bok\b
"""

# The tiny project of the third picture: a build with one warning and one error.
PROJECT = {
    "Makefile": "hello: hello.c\n\tgcc -Wall -o hello hello.c\n",
    "hello.c": """#include <stdio.h>

int main(void)
{
    int unused;
    printf("%d\\n", count);
    return 0;
}
""",
}


def rgb(colour, default):
    """The RGB of a colour as sgr_screen gives it."""
    if colour is None:
        return default
    kind, *value = colour
    if kind == "basic":
        return PALETTE[value[0]]
    if kind == "rgb":
        return tuple(value)
    n = value[0]  # the 256-colour palette: the sixteen, a 6x6x6 cube, 24 grays
    if n < 16:
        return PALETTE[n]
    if n < 232:
        n -= 16
        return CUBE[n // 36], CUBE[n // 6 % 6], CUBE[n % 6]
    return (8 + 10 * (n - 232),) * 3


def painted(look):
    """What a run in `look` is drawn with: the font's face, colours, and the lines across it."""
    fg, bg = rgb(look.text, SCREEN_TEXT), rgb(look.background, SCREEN_BACKGROUND)
    if "reverse" in look.attributes:
        fg, bg = bg, fg
    if "dim" in look.attributes:
        fg = tuple((f + b) // 2 for f, b in zip(fg, bg))
    face = {(False, False): "", (True, False): "-Bold", (False, True): "-Oblique", (True, True): "-BoldOblique"}[
        ("bold" in look.attributes, "italic" in look.attributes)]
    return face, fg, bg, "underline" in look.attributes, "strike" in look.attributes


def shot_lines(shots):
    """The picture's lines, each a list of (text, Look): each shot's prompt lines, then what
    huecast wrote on a terminal for it."""
    lines = []
    for prompt, args, data, env in shots:
        lines += [[(p, PLAIN)] for p in prompt]
        _, out, _ = huecast_run.run_terminal(args, data, **env)
        lines += screen(out.replace(b"\r", b""))
    return lines


def run_lines(prompt, args, cwd, **extra):
    """The picture's lines for `huecast ARGS` run in `cwd` as at a shell's prompt: its standard
    input, output and error all one pseudo-terminal of 80 columns. Run from `make screenshots`,
    the make below would see itself a sub-make and say which directory it enters, so the
    variables of the make above are not passed on."""
    env = {k: v for k, v in huecast_run.environment(**extra).items()
           if k not in ("MAKEFLAGS", "MFLAGS", "MAKELEVEL", "MAKEOVERRIDES")}
    master, slave = pty.openpty()
    tty.setraw(slave)
    fcntl.ioctl(slave, termios.TIOCSWINSZ, struct.pack("HHHH", 24, 80, 0, 0))
    p = subprocess.Popen([huecast_run.BINARY, *args], stdin=slave, stdout=slave, stderr=slave, cwd=cwd,
                         env=env)
    os.close(slave)
    try:
        out = huecast_run.drain_terminal(master)
    finally:
        p.wait(20)
    return [[(prompt, PLAIN)]] + screen(out.replace(b"\r", b""))


def render(lines, target):
    fonts = {face: ImageFont.truetype(FONTS % face, 15) for face in ("", "-Bold", "-Oblique", "-BoldOblique")}
    width, height = fonts[""].getbbox("M")[2], 20
    columns = max(sum(len(t) for t, _ in line) for line in lines)
    image = Image.new("RGB", (columns * width + 24, len(lines) * height + 24), SCREEN_BACKGROUND)
    draw = ImageDraw.Draw(image)
    for row, line in enumerate(lines):
        x, y = 12, 12 + row * height
        for text, look in line:
            face, fg, bg, underline, strike = painted(look)
            right = x + len(text) * width - 1
            draw.rectangle([x, y, right, y + height - 1], fill=bg)
            draw.text((x, y + 1), text, font=fonts[face], fill=fg)
            if underline:
                draw.line([x, y + height - 3, right, y + height - 3], fill=fg)
            if strike:
                draw.line([x, y + height // 2 + 1, right, y + height // 2 + 1], fill=fg)
            x += len(text) * width
    image.save(target)


def main():
    binary, target = sys.argv[1], sys.argv[2]
    huecast_run.BINARY = os.path.abspath(binary)
    with open(os.path.join(ROOT, "examples", "sample.log"), "rb") as f:
        log = f.readlines()
    render(shot_lines([
        (["$ huecast 0a Build passed"], ["0a", "Build", "passed"], b"", {}),
        (["$ huecast 4f Deploy FAILED"], ["4f", "Deploy", "FAILED"], b"", {}),
        (["$ huecast 0c,error 0e,warn(ing)? 0a,\\bok\\b 0b,\\d+\\.\\d+\\.\\d+\\.\\d+ < examples/sample.log"],
         ["0c,error", "0e,warn(ing)?", "0a,\\bok\\b", "0b,\\d+\\.\\d+\\.\\d+\\.\\d+"], b"".join(log[:14]), {}),
    ]), target)
    if len(sys.argv) > 3:
        with tempfile.NamedTemporaryFile("w", suffix=".filters") as rules:
            rules.write(STYLED_FILTERS)
            rules.flush()
            render(shot_lines([
                (["$ cat styled.filters"] + STYLED_FILTERS.splitlines() +
                 ["$ COLORTERM=truecolor huecast --file=styled.filters < examples/sample.log"],
                 ["--file=" + rules.name], b"".join(log[:14]), {"COLORTERM": "truecolor"}),
            ]), sys.argv[3])
    if len(sys.argv) > 4:
        with tempfile.TemporaryDirectory(prefix="huecast-run-") as home:
            # The sets of examples/ as those that came with huecast, none of the user's own.
            os.makedirs(os.path.join(home, "share"))
            os.symlink(os.path.abspath(os.path.join(ROOT, "examples")), os.path.join(home, "share", "huecast"))
            project = os.path.join(home, "hello")
            os.makedirs(project)
            for name, text in PROJECT.items():
                with open(os.path.join(project, name), "w") as f:
                    f.write(text)
            # GCC_COLORS empty: the compiler's own colours off, so that what shows is the set's.
            render(run_lines("$ GCC_COLORS= huecast --run make", ["--run", "make"], project, GCC_COLORS="",
                             XDG_DATA_DIRS=os.path.join(home, "share"),
                             XDG_CONFIG_HOME=os.path.join(home, "config")), sys.argv[4])


if __name__ == "__main__":
    main()
