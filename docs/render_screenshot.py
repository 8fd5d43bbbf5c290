#!/usr/bin/python3
"""Renders what huecast writes on a terminal into a PNG, for the README's picture.

    /usr/bin/python3 docs/render_screenshot.py build/huecast docs/screenshot.png

Needs Debian's python3-pil and fonts-dejavu-core (not needed to build or test huecast).
"""

import os
import re
import sys

from PIL import Image, ImageDraw, ImageFont

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tests", "e2e"))
import huecast_run  # noqa: E402

ROOT = os.path.join(os.path.dirname(__file__), "..")
FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf"
SCREEN_BACKGROUND, SCREEN_TEXT = (24, 24, 28), (204, 204, 204)
# The sixteen SGR colours: 30-37 / 40-47 and their bright forms 90-97 / 100-107.
PALETTE = [(12, 12, 12), (197, 15, 31), (19, 161, 14), (193, 156, 0), (0, 55, 218), (136, 23, 152),
           (58, 150, 221), (204, 204, 204), (118, 118, 118), (231, 72, 86), (22, 198, 12), (249, 241, 165),
           (59, 120, 255), (180, 0, 158), (97, 214, 214), (242, 242, 242)]


def colour(code):
    base, bright = (code % 10, code >= 90)
    return PALETTE[base + (8 if bright else 0)]


def cells(output):
    """(text, foreground, background) runs, line by line."""
    lines, runs = [], []
    fg, bg = SCREEN_TEXT, SCREEN_BACKGROUND
    for piece in re.split(r"(\x1b\[[0-9;]*m|\n)", output):
        if piece == "\n":
            lines.append(runs)
            runs = []
        elif piece.startswith("\x1b["):
            fg, bg = SCREEN_TEXT, SCREEN_BACKGROUND
            for field in piece[2:-1].split(";"):
                n = int(field or 0)
                if 30 <= n <= 37 or 90 <= n <= 97:
                    fg = colour(n)
                elif 40 <= n <= 47 or 100 <= n <= 107:
                    bg = colour(n - 10)
        elif piece:
            runs.append((piece.replace("\r", ""), fg, bg))
    if runs:
        lines.append(runs)
    return lines


def main():
    binary, target = sys.argv[1], sys.argv[2]
    with open(os.path.join(ROOT, "examples", "sample.log"), "rb") as f:
        log = b"".join(f.readlines()[:14])
    shots = [
        (["$ huecast 0a Build passed"], ["0a", "Build", "passed"], b""),
        (["$ huecast 4f Deploy FAILED"], ["4f", "Deploy", "FAILED"], b""),
        (["$ huecast 0c,error 0e,warn(ing)? 0a,\\bok\\b 0b,\\d+\\.\\d+\\.\\d+\\.\\d+ < examples/sample.log"],
         ["0c,error", "0e,warn(ing)?", "0a,\\bok\\b", "0b,\\d+\\.\\d+\\.\\d+\\.\\d+"], log),
    ]
    lines = []
    for prompt, args, data in shots:
        lines += [[(p, SCREEN_TEXT, SCREEN_BACKGROUND)] for p in prompt]
        huecast_run.BINARY = binary
        _, out, _ = huecast_run.run_terminal(args, data)
        lines += cells(out.decode("utf-8"))
    font = ImageFont.truetype(FONT, 15)
    width, height = font.getbbox("M")[2], 20
    columns = max(sum(len(t) for t, _, _ in runs) for runs in lines)
    image = Image.new("RGB", (columns * width + 24, len(lines) * height + 24), SCREEN_BACKGROUND)
    draw = ImageDraw.Draw(image)
    for row, runs in enumerate(lines):
        x, y = 12, 12 + row * height
        for text, fg, bg in runs:
            draw.rectangle([x, y, x + len(text) * width - 1, y + height - 1], fill=bg)
            draw.text((x, y + 1), text, font=font, fill=fg)
            x += len(text) * width
    image.save(target)


if __name__ == "__main__":
    main()
