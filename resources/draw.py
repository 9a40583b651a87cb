#!/usr/bin/env python3
"""Draws the launcher's pictures as pixel art and writes them as SVG files beside this script.

Every shape is a set of square cells on a whole-pixel grid, so the pictures stay sharp when Qt
renders them at 1x, 2x or any whole scale. Run it again after changing a drawing:
    python3 resources/draw.py
"""

import math
from pathlib import Path

WINDOW = "#004f75"  # the main window's background
LIST = "#00699b"  # the lists' background
INK = "#001e2e"  # outlines and text shadows
WHITE = "#ffffff"
SKY = "#7fd3ff"
GREY = "#c9d1d9"
GREY_LIGHT = "#eef2f5"
GREY_DARK = "#8a97a4"
PANEL = "#aab5c0"
PAD = "#2a2f36"
RED = "#e8423f"
RED_LIGHT = "#ff9c96"
YELLOW = "#ffc83d"
ORANGE = "#f7873b"
GREEN = "#3fb950"

# A 7-row pixel font; '#' is a set cell. Glyphs differ in width.
GLYPHS = {
    "A": [".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"],
    "C": [".###", "#...", "#...", "#...", "#...", "#...", ".###"],
    "D": ["####.", "#...#", "#...#", "#...#", "#...#", "#...#", "####."],
    "E": ["####", "#...", "#...", "###.", "#...", "#...", "####"],
    "F": ["####", "#...", "#...", "###.", "#...", "#...", "#..."],
    "H": ["#...#", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"],
    "I": ["#", "#", "#", "#", "#", "#", "#"],
    "L": ["#...", "#...", "#...", "#...", "#...", "#...", "####"],
    "M": ["#...#", "##.##", "#.#.#", "#.#.#", "#...#", "#...#", "#...#"],
    "N": ["#...#", "##..#", "##..#", "#.#.#", "#..##", "#..##", "#...#"],
    "O": [".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."],
    "R": ["####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"],
    "T": ["#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."],
    "U": ["#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."],
    "V": ["#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."],
    "X": ["#...#", "#...#", ".#.#.", "..#..", ".#.#.", "#...#", "#...#"],
    "a": [".....", ".....", ".###.", "....#", ".####", "#...#", ".####"],
    "d": ["....#", "....#", ".####", "#...#", "#...#", "#...#", ".####"],
    "o": [".....", ".....", ".###.", "#...#", "#...#", "#...#", ".###."],
    "v": [".....", ".....", "#...#", "#...#", "#...#", ".#.#.", "..#.."],
    "0": [".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###."],
    "1": [".#.", "##.", ".#.", ".#.", ".#.", ".#.", "###"],
    ".": [".", ".", ".", ".", ".", ".", "#"],
    " ": ["...", "...", "...", "...", "...", "...", "..."],
}


class Layer:
    """Cells of one size, placed at a pixel offset; later cells paint over earlier ones."""

    def __init__(self, cell, left=0, top=0):
        self.cell = cell
        self.left = left
        self.top = top
        self.cells = {}

    def put(self, x, y, colour):
        self.cells[(x, y)] = colour

    def rect(self, x, y, w, h, colour):
        for j in range(y, y + h):
            for i in range(x, x + w):
                self.put(i, j, colour)

    def disc(self, cx, cy, r, colour):
        for j in range(math.floor(cy - r), math.ceil(cy + r) + 1):
            for i in range(math.floor(cx - r), math.ceil(cx + r) + 1):
                if (i + 0.5 - cx) ** 2 + (j + 0.5 - cy) ** 2 <= r * r:
                    self.put(i, j, colour)

    def text(self, x, y, words, colour, shadow=None):
        if shadow:
            self.text(x + 1, y + 1, words, shadow)
        for ch in words:
            rows = GLYPHS[ch]
            for j, row in enumerate(rows):
                for i, mark in enumerate(row):
                    if mark == "#":
                        self.put(x + i, y + j, colour)
            x += len(rows[0]) + 1

    def svg(self):
        """One path per colour, made of rectangles: runs of cells merged down the rows."""
        shapes = {}
        for (x, y), colour in sorted(self.cells.items(), key=lambda item: (item[0][1], item[0][0])):
            row = shapes.setdefault(colour, [])
            if row and row[-1][1] == y and row[-1][0] + row[-1][2] == x:
                row[-1][2] += 1
            else:
                row.append([x, y, 1, 1])
        paths = []
        for colour, runs in shapes.items():
            open_rects = {}
            rects = []
            for x, y, w, h in runs:
                above = open_rects.get((x, w))
                if above and above[1] + above[3] == y:
                    above[3] += 1
                else:
                    rect = [x, y, w, h]
                    open_rects[(x, w)] = rect
                    rects.append(rect)
            steps = []
            for x, y, w, h in rects:
                px, py = self.left + x * self.cell, self.top + y * self.cell
                pw, ph = w * self.cell, h * self.cell
                steps.append(f"M{px} {py}h{pw}v{ph}h-{pw}z")
            paths.append(f'<path fill="{colour}" d="{"".join(steps)}"/>')
        return "\n".join(paths)


def text_width(words):
    return sum(len(GLYPHS[ch][0]) for ch in words) + len(words) - 1


def joypad(layer, x, y):
    """The console's joypad, 36 x 18 cells, its cable going up 4 cells from the top edge."""
    w, h = 36, 18
    layer.rect(x + 17, y - 3, 1, 3, INK)
    layer.rect(x + 10, y - 3, 8, 1, INK)
    layer.rect(x + 10, y - 4, 1, 1, INK)
    # Body with cut corners, outlined, lit from the top left.
    layer.rect(x + 2, y, w - 4, h, INK)
    layer.rect(x, y + 2, w, h - 4, INK)
    layer.rect(x + 1, y + 1, w - 2, h - 2, INK)
    layer.rect(x + 2, y + 1, w - 4, h - 2, GREY)
    layer.rect(x + 1, y + 2, w - 2, h - 4, GREY)
    layer.rect(x + 2, y + 1, w - 4, 1, GREY_LIGHT)
    layer.rect(x + 1, y + 2, 1, h - 4, GREY_LIGHT)
    layer.rect(x + 2, y + h - 2, w - 4, 1, GREY_DARK)
    layer.rect(x + w - 2, y + 2, 1, h - 4, GREY_DARK)
    # Cross-shaped direction pad in a round well, centred on cell (7, 8).
    layer.disc(x + 7.5, y + 8.5, 4.9, PANEL)
    layer.rect(x + 3, y + 7, 9, 3, PAD)
    layer.rect(x + 6, y + 4, 3, 9, PAD)
    for dx, dy in ((0, -3), (-3, 0), (3, 0), (0, 3)):
        layer.put(x + 7 + dx, y + 8 + dy, GREY_DARK)
    # Middle panel with the two small pills.
    layer.rect(x + 13, y + 4, 9, 10, PANEL)
    layer.rect(x + 15, y + 6, 5, 2, RED)
    layer.rect(x + 14, y + 10, 3, 1, PAD)
    layer.rect(x + 18, y + 10, 3, 1, PAD)
    # Two fire buttons, centred on cells (25, 10) and (31, 10).
    for cx in (x + 25, x + 31):
        layer.disc(cx + 0.5, y + 10.5, 2.6, INK)
        layer.rect(cx - 1, y + 9, 3, 3, RED)
        layer.put(cx - 1, y + 9, RED_LIGHT)


def document(width, height, *layers):
    body = "\n".join(layer.svg() for layer in layers)
    return (
        f'<svg xmlns="http://www.w3.org/2000/svg" width="{width}" height="{height}" '
        f'viewBox="0 0 {width} {height}">\n{body}\n</svg>\n'
    )


def logo():
    # Shown from its top left in a 161 pixel high control: the bottom 12 rows stay empty.
    pad = Layer(4)
    joypad(pad, 0, 4)
    name = Layer(3)
    name.text((48 - text_width("vodavav") - 1) // 2, 32, "vodavav", WHITE, INK)
    tag = Layer(2)
    tag.text((72 - text_width("FOR VEMOX") - 1) // 2, 65, "FOR VEMOX", YELLOW, INK)
    return document(144, 173, pad, name, tag)


def button(width, height, words, face, light, dark):
    body = Layer(1)
    body.rect(1, 0, width - 2, height, INK)
    body.rect(0, 1, width, height - 2, INK)
    body.rect(1, 1, width - 2, height - 2, face)
    body.rect(1, 1, width - 2, 2, light)
    body.rect(1, 1, 2, height - 2, light)
    body.rect(1, height - 3, width - 2, 2, dark)
    body.rect(width - 3, 3, 2, height - 4, dark)
    label = Layer(3)
    cells_w, cells_h = text_width(words) + 1, 8
    label.left = (width - cells_w * 3) // 2
    label.top = (height - cells_h * 3) // 2
    label.text(0, 0, words, WHITE, INK)
    return document(width, height, body, label)


def splash():
    # 288 x 345, shown in a 344 pixel high window: the frame closes on row 343.
    frame = Layer(1)
    frame.rect(0, 0, 288, 345, WINDOW)
    frame.rect(0, 0, 288, 344, INK)
    frame.rect(1, 1, 286, 342, LIST)
    frame.rect(4, 4, 280, 336, SKY)
    frame.rect(5, 5, 278, 334, WINDOW)
    stripes = Layer(4, 0, 0)
    for row, colour in enumerate((RED, ORANGE, YELLOW, GREEN)):
        stripes.rect(4, 73 + row, 64, 1, colour)
    pad = Layer(6, 36, 24)
    joypad(pad, 0, 4)
    name = Layer(4)
    version = "vodavav 1.0"
    name.text((72 - text_width(version) - 1) // 2, 42, version, WHITE, INK)
    credit = Layer(2)
    for row, line in enumerate(("A FRONT END FOR THE", "VEMOX EMULATOR")):
        credit.text((144 - text_width(line) - 1) // 2, 112 + row * 11, line, SKY, INK)
    return document(288, 345, frame, stripes, pad, name, credit)


def icon():
    # 16 x 16 cells of 4 pixels: one cell is one pixel at the smallest icon size.
    art = [
        "..bbbbbbbbbbbb..",
        ".bwwwwwwwwwwwwb.",
        "bwwwwwwwwwwwwwwb",
        "bwwwwKKKKwwwwwwb",
        "bwwwwwwwKwwwwwwb",
        "bwwKKKKKKKKKKwwb",
        "bwKggggggggggKwb",
        "bwKggDgggggggKwb",
        "bwKgDDDggrgrgKwb",
        "bwKggDgggggggKwb",
        "bwKggggggggggKwb",
        "bwwKKKKKKKKKKwwb",
        "bwwwwwwwwwwwwwwb",
        "bwwwwwwwwwwwwwwb",
        ".bwwwwwwwwwwwwb.",
        "..bbbbbbbbbbbb..",
    ]
    assert all(len(row) == 16 for row in art)
    colours = {"b": LIST, "w": WINDOW, "K": INK, "g": GREY, "D": PAD, "r": RED}
    layer = Layer(4)
    for y, row in enumerate(art):
        for x, mark in enumerate(row):
            if mark in colours:
                layer.put(x, y, colours[mark])
    return document(64, 64, layer)


def main():
    here = Path(__file__).resolve().parent
    pictures = {
        "logo.svg": logo(),
        "launch.svg": button(135, 41, "LAUNCH", GREEN, "#8be39a", "#1f7a31"),
        "exit.svg": button(72, 41, "EXIT", RED, RED_LIGHT, "#8e1b1b"),
        "splash.svg": splash(),
        "icon.svg": icon(),
    }
    for name, text in pictures.items():
        (here / name).write_text(text)


if __name__ == "__main__":
    main()
