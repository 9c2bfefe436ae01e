#!/usr/bin/env python3
"""Draws Tarnell's toolbar and window icons and writes them as XPM files.

The XPM files in data/icons/ are the real sources; the build only reads
those.  This script is how the first versions were drawn.  Running it again
overwrites data/icons/*.xpm, so hand edits made to the XPMs since would be
lost.

    python3 tools/make-icons.py [output-dir]
"""

import math
import os
import sys

# One palette for every icon: the old 16-colour desktop set.  Each file only
# lists the keys it actually uses.
PALETTE = [
    ('.', 'None'),
    ('#', '#000000'),  # black
    ('G', '#808080'),  # dark grey
    ('g', '#C0C0C0'),  # light grey
    ('w', '#FFFFFF'),  # white
    ('R', '#800000'),  # dark red
    ('r', '#FF0000'),  # red
    ('Y', '#808000'),  # dark yellow
    ('y', '#FFFF00'),  # yellow
    ('N', '#008000'),  # dark green
    ('n', '#00FF00'),  # green
    ('C', '#008080'),  # dark cyan
    ('c', '#00FFFF'),  # cyan
    ('B', '#000080'),  # dark blue
    ('b', '#0000FF'),  # blue
    ('M', '#800080'),  # dark magenta
    ('m', '#FF00FF'),  # magenta
]
COLOUR = dict(PALETTE)
NAME = {
    '.': 'transparent', '#': 'black', 'G': 'dark grey', 'g': 'light grey',
    'w': 'white', 'R': 'dark red', 'r': 'red', 'Y': 'dark yellow',
    'y': 'yellow', 'N': 'dark green', 'n': 'green', 'C': 'dark cyan',
    'c': 'cyan', 'B': 'dark blue', 'b': 'blue', 'M': 'dark magenta',
    'm': 'magenta',
}


class Canvas:
    def __init__(self, n):
        self.n = n
        self.p = [['.'] * n for _ in range(n)]

    def inside(self, x, y):
        return 0 <= x < self.n and 0 <= y < self.n

    def get(self, x, y):
        return self.p[y][x] if self.inside(x, y) else '.'

    def px(self, x, y, c):
        if self.inside(x, y):
            self.p[y][x] = c

    def hline(self, x0, x1, y, c):
        for x in range(min(x0, x1), max(x0, x1) + 1):
            self.px(x, y, c)

    def vline(self, x, y0, y1, c):
        for y in range(min(y0, y1), max(y0, y1) + 1):
            self.px(x, y, c)

    def fill(self, x0, y0, x1, y1, c):
        for y in range(y0, y1 + 1):
            self.hline(x0, x1, y, c)

    def box(self, x0, y0, x1, y1, c):
        self.hline(x0, x1, y0, c)
        self.hline(x0, x1, y1, c)
        self.vline(x0, y0, y1, c)
        self.vline(x1, y0, y1, c)

    def line(self, x0, y0, x1, y1, c):
        dx, dy = abs(x1 - x0), -abs(y1 - y0)
        sx, sy = (1 if x0 < x1 else -1), (1 if y0 < y1 else -1)
        err = dx + dy
        while True:
            self.px(x0, y0, c)
            if x0 == x1 and y0 == y1:
                return
            e2 = 2 * err
            if e2 >= dy:
                err += dy
                x0 += sx
            if e2 <= dx:
                err += dx
                y0 += sy

    def where(self, test, c):
        """Paints every pixel (x, y) for which test(x, y, colour) holds."""
        hits = [(x, y) for y in range(self.n) for x in range(self.n)
                if test(x, y, self.p[y][x])]
        for x, y in hits:
            self.px(x, y, c)

    def outline(self, c='#'):
        """Rims everything drawn so far with a one pixel border."""
        steps = [(1, 0), (-1, 0), (0, 1), (0, -1)]
        self.where(lambda x, y, k: k == '.' and any(
            self.get(x + dx, y + dy) not in '.' for dx, dy in steps), c)

    def art(self, x0, y0, rows):
        """Copies a small picture in; spaces leave the canvas alone."""
        for j, row in enumerate(rows):
            for i, ch in enumerate(row):
                if ch != ' ':
                    self.px(x0 + i, y0 + j, ch)


def from_rows(rows):
    c = Canvas(len(rows))
    for y, row in enumerate(rows):
        assert len(row) == c.n, (y, row)
        for x, ch in enumerate(row):
            c.px(x, y, ch)
    return c


# ---------------------------------------------------------------------------
# The icons

def notepad(n):
    c = Canvas(n)
    if n == 32:
        # sheets peeking out at the right and bottom
        c.fill(8, 8, 27, 29, 'w')
        c.box(8, 8, 27, 29, '#')
        c.vline(26, 9, 27, 'g')        # edges of the sheets
        c.vline(28, 9, 28, 'g')
        c.hline(9, 26, 27, 'g')
        # cover
        c.fill(4, 5, 25, 27, 'r')
        c.box(4, 5, 25, 27, '#')
        c.vline(24, 6, 26, 'R')
        c.hline(5, 24, 26, 'R')
        c.vline(5, 6, 25, 'w')
        c.hline(5, 23, 6, 'w')
        # label
        c.fill(9, 13, 20, 19, 'w')
        c.box(9, 13, 20, 19, '#')
        c.hline(11, 18, 15, 'G')
        c.hline(11, 16, 17, 'G')
        # spiral rings over the top edge
        for x in (7, 11, 15, 19, 23):
            c.fill(x - 1, 7, x + 1, 8, '#')
            c.art(x - 1, 1, [' # ',
                             '#g#',
                             '#w#',
                             '#w#',
                             '#g#',
                             '#G#',
                             '#G#'])
    else:
        c = from_rows(NOTEPAD_16)
    return c


def new_sheets(n):
    c = Canvas(n)
    if n == 32:
        # back to front; each sheet sits two pixels down and left of the last
        sheets = [(11, 1, 28, 24), (8, 3, 25, 27), (4, 6, 22, 30)]
        fold = 7
    else:
        sheets = [(5, 0, 14, 11), (3, 2, 12, 13), (1, 4, 10, 15)]
        fold = 4
    for x0, y0, x1, y1 in sheets[:-1]:
        c.fill(x0, y0, x1, y1, 'w')
        c.box(x0, y0, x1, y1, '#' if n == 32 else 'G')
        c.vline(x1 - 1, y0 + 1, y1 - 1, 'g')
    # the front sheet, with its bottom right corner folded over
    x0, y0, x1, y1 = sheets[-1]
    fx, fy = x1 - fold, y1 - fold
    for y in range(y0, y1 + 1):
        for x in range(x0, x1 + 1):
            s = (x - fx) + (y - fy)
            if s > fold:
                continue
            edge = x in (x0, x1) or y in (y0, y1) or s == fold
            c.px(x, y, '#' if edge else 'w')
            if x >= fx and y >= fy and not edge:
                c.px(x, y, '#' if x == fx or y == fy else 'g')
    if n == 32:
        # the flap's far edge catches less light
        c.line(fx + 1, y1 - 2, x1 - 2, fy + 1, 'G')
    return c


FOLDER_16 = [
    "................",
    ".####...........",
    "#yyyy########...",
    "#YYYYYYYYYYYY#..",
    "#YY#######YYY#..",
    "#YY#wwwwww#YY#..",
    "#YY#wgggww#YY#..",
    "#YY#############",
    "#YY#wyyyyyyyyyy#",
    "#Y#wyyyyyyyyyy#.",
    "#Y#wyyyyyyyyyy#.",
    "##wyyyyyyyyyy#..",
    "##wyyyyyyyyyy#..",
    "#wyyyyyyyyyyy#..",
    "#############...",
    "................",
]


def folder(n):
    if n == 16:
        return from_rows(FOLDER_16)
    c = Canvas(n)
    # back of the folder, with its tab
    c.hline(2, 9, 4, '#')
    c.px(1, 5, '#')
    c.hline(2, 9, 5, 'y')
    c.px(10, 5, '#')
    c.fill(1, 6, 25, 27, 'Y')
    c.box(1, 6, 25, 27, '#')
    c.hline(2, 10, 6, 'Y')
    c.hline(11, 24, 7, 'y')
    # a sheet of paper inside
    c.fill(6, 9, 22, 15, 'w')
    c.box(6, 9, 22, 15, '#')
    c.hline(8, 20, 11, 'g')
    c.hline(8, 17, 13, 'g')
    # the front flap, swung open towards us
    top, bottom = 14, 27
    for y in range(top, bottom + 1):
        shift = round((y - top) * 7 / (bottom - top))
        left, right = 8 - shift, 31 - shift
        if y in (top, bottom):
            c.hline(left, right, y, '#')
            continue
        c.hline(left + 1, right - 1, y, 'y')
        c.px(left, y, '#')
        c.px(left + 1, y, 'w')
        c.px(right, y, '#')
        if y == bottom - 1:
            c.hline(left + 2, right - 1, y, 'Y')
    return c


DISC_16 = [
    ".....######.....",
    "...##gggggg##...",
    "..#ycgggggggg#..",
    ".#cwycgggggggg#.",
    ".#mcwycggggggg#.",
    "#ggmcwGGGGggggg#",
    "#gggmGwwwgGgggg#",
    "#ggggGw..gGgggg#",
    "#ggggGw..gGgggg#",
    "#ggggGggggGcggg#",
    "#gggggGGGGwycgg#",
    ".#gggggggmcwyc#.",
    ".#ggggggggmcwy#.",
    "..#ggggggggmc#..",
    "...##gggggg##...",
    ".....######.....",
]


def compact_disc(n):
    if n == 16:
        return from_rows(DISC_16)
    c = Canvas(n)
    mid = n / 2
    r = n / 2 - 0.6
    hole = n * 0.09
    hub = n * 0.22
    for y in range(n):
        for x in range(n):
            dx, dy = x + 0.5 - mid, y + 0.5 - mid
            d = math.hypot(dx, dy)
            if d > r or d < hole:
                continue
            # angle measured from the "light" diagonal, top-left to bottom-right
            a = math.degrees(math.atan2(dy, dx))
            if d <= hub:
                k = 'w' if -180 < a < -90 else 'g'
            else:
                off = (a + 135) % 180  # both lit wedges at once
                off = off if off <= 90 else off - 180
                if abs(off) <= 6:
                    k = 'w'
                elif 6 < off <= 14:
                    k = 'c'
                elif -14 <= off < -6:
                    k = 'y'
                elif 14 < off <= 22:
                    k = 'm'
                elif -22 <= off < -14:
                    k = 'c'
                else:
                    k = 'g'
            c.px(x, y, k)
    # darker ring where the data stops, and a grey rim round the hole
    for y in range(n):
        for x in range(n):
            d = math.hypot(x + 0.5 - mid, y + 0.5 - mid)
            if hub - 0.5 < d <= hub + 0.5 + (0 if n < 32 else 0.5):
                c.px(x, y, 'G')
            if hole <= d < hole + 1:
                c.px(x, y, 'G')
    # black rim on the outside only; the hole stays see-through
    c.where(lambda x, y, k: k == '.' and math.hypot(x + 0.5 - mid, y + 0.5 - mid) > hub
          and any(c.get(x + dx, y + dy) != '.'
                  for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1))), '#')
    return c


def key(c, x, y, w, h, letter=None):
    """One key cap: x, y is the top-left of its outline."""
    c.fill(x, y, x + w - 1, y + h - 1, 'g')
    c.box(x, y, x + w - 1, y + h - 1, '#')
    # bevel: light on the top and left, dark on the right and front
    c.hline(x + 1, x + w - 2, y + 1, 'w')
    c.vline(x + 1, y + 1, y + h - 2, 'w')
    c.vline(x + w - 2, y + 2, y + h - 2, 'G')
    front = 2 if h >= 8 else 1
    for k in range(front):
        c.hline(x + 1 + (1 if k == 0 else 1), x + w - 2, y + h - 2 - k, 'G')
    if letter:
        c.art(x + 3, y + 2, letter)


GLYPH = {
    'A': ['.#.', '#.#', '###', '#.#'],
    'Z': ['###', '..#', '.#.', '###'],
    '8': ['###', '#.#', '###', '#.#', '###'],
    'F': ['###', '#..', '##.', '#..'],
    'Q': ['###', '#.#', '#.#', '###', '..#'],
    'X': ['#.#', '.#.', '.#.', '#.#'],
}


def glyph(ch):
    return [row.replace('.', ' ').replace('#', 'B') for row in GLYPH[ch]]


def keys(n):
    c = Canvas(n)
    if n == 32:
        w, h = 11, 10
        layout = [(1, 21, 'A'), (11, 20, 'Z'), (21, 21, 'Q'),
                  (6, 12, 'F'), (16, 12, '8'),
                  (11, 3, 'X')]
        for x, y, ch in layout:
            key(c, x, y, w, h, glyph(ch))
    else:
        w, h = 6, 6
        for x, y in [(0, 10), (5, 9), (10, 10), (3, 5), (8, 5), (5, 0)]:
            c.fill(x, y, x + w - 1, y + h - 1, 'g')
            c.box(x, y, x + w - 1, y + h - 1, '#')
            c.hline(x + 1, x + w - 2, y + 1, 'w')
            c.vline(x + 1, y + 1, y + h - 2, 'w')
            c.vline(x + w - 2, y + 2, y + h - 2, 'G')
            c.hline(x + 2, x + w - 2, y + h - 2, 'G')
    return c


def pen(n):
    c = Canvas(n)
    # the pen's axis runs from the nib tip (bottom-left) up to the end cap
    if n == 32:
        tip, end, half = (1.2, 30.8), (29.0, 3.0), 2.9
    else:
        return from_rows(PEN_16)
    ax, ay = end[0] - tip[0], end[1] - tip[1]
    length = math.hypot(ax, ay)
    ux, uy = ax / length, ay / length
    vx, vy = uy, -ux          # across the pen, towards the top-left light
    if vx > 0:
        vx, vy = -vx, -vy
    nib = length * 0.24
    grip = length * 0.36
    band = length * 0.41
    clip0, clip1 = length * 0.62, length * 0.93
    for y in range(n):
        for x in range(n):
            px, py = x + 0.5 - tip[0], y + 0.5 - tip[1]
            u = px * ux + py * uy
            v = px * vx + py * vy  # > 0 is the lit side
            if u < 0 or u > length:
                continue
            if u < nib:
                if abs(v) > 0.25 + half * 0.8 * (u / nib):
                    continue
                k = 'y' if v > -0.2 else 'Y'
                if abs(v) < 0.5 and nib * 0.3 < u < nib * 0.8:
                    k = '#'  # the slit
            elif u < grip:
                if abs(v) > half * 0.8:
                    continue
                k = 'g' if v > half * 0.3 else 'G'
            elif u < band:
                if abs(v) > half:
                    continue
                k = 'y' if v > -0.3 else 'Y'
            else:
                cap = length - u
                w = half if cap > 1.2 else half * 0.7
                if abs(v) > w:
                    # the pocket clip, on the lit side near the end
                    if clip0 < u < clip1 and w + 1.0 < v < w + 2.4:
                        c.px(x, y, 'g')
                    elif clip1 - 2.2 < u < clip1 and 0 < v < w + 2.4:
                        c.px(x, y, 'g')
                    continue
                k = 'b'
                if v > half * 0.45:
                    k = 'c'
                elif v < -half * 0.15:
                    k = 'B'
            c.px(x, y, k)
    c.outline('#')
    return c


# Too small to work out from the geometry, so drawn by hand.
PEN_16 = [
    "............###.",
    "...........#cbb#",
    "..........#cbbB#",
    ".........#cbbBB#",
    "........#cbbBB#.",
    ".......#cbbBB#..",
    "......#cbbBB#...",
    ".....#cbbBB#....",
    "....#yyyYY#.....",
    "....#wgGG#......",
    "...#wgGG#.......",
    "...#yyY#........",
    "..#y#Y#.........",
    ".#yY#...........",
    "#yY#............",
    "##..............",
]


def ruled_sheet(n):
    c = Canvas(n)
    if n == 32:
        x0, y0, x1, y1 = 4, 1, 26, 29
        c.fill(x0 + 2, y0 + 2, x1 + 2, y1 + 2, 'G')  # shadow
        c.fill(x0, y0, x1, y1, 'w')
        c.box(x0, y0, x1, y1, '#')
        for y in range(8, y1, 3):
            c.hline(x0 + 1, x1 - 1, y, 'b')
        c.vline(10, y0 + 1, y1 - 1, 'r')
    else:
        x0, y0, x1, y1 = 2, 0, 13, 14
        c.fill(x0 + 1, y0 + 1, x1 + 1, y1 + 1, 'G')
        c.fill(x0, y0, x1, y1, 'w')
        c.box(x0, y0, x1, y1, '#')
        for y in range(4, y1, 2):
            c.hline(x0 + 1, x1 - 1, y, 'b')
        c.vline(5, y0 + 1, y1 - 1, 'r')
    return c


NOTEPAD_16 = [
    "..#...#...#.....",
    ".#w#.#w#.#w#....",
    "##g###g###g###..",
    "#w###r###r####..",
    "#wrrrrrrrrrrR###",
    "#wrrrrrrrrrrR#w#",
    "#wr########rR#w#",
    "#wr#wwwwww#rR#w#",
    "#wr#wGGGGw#rR#w#",
    "#wr#wwwwww#rR#w#",
    "#wr########rR#w#",
    "#wrrrrrrrrrrR#w#",
    "#RRRRRRRRRRRR#g#",
    "##############g#",
    "..#wwwwwwwwwwwg#",
    "..##############",
]

def ring(c, cx, cy, r, k):
    """A one pixel circle."""
    for y in range(c.n):
        for x in range(c.n):
            d = math.hypot(x + 0.5 - cx, y + 0.5 - cy)
            if d <= r:
                # keep only the pixels with an outside neighbour
                if any(math.hypot(x + dx + 0.5 - cx, y + dy + 0.5 - cy) > r
                       for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1))):
                    c.px(x, y, k)


# The "Copy" picture is plain line art in one colour: a dial on a stand,
# a bird and a page, all standing on one line.
BIRD_32 = [
    "...RRR......",
    "..R...R.....",
    ".R.R...R....",
    "RR......R...",
    "..RR....R...",
    "....R....R..",
    "...R......RR",
    "..R........R",
    "..R..RRR...R",
    "..R.....R.R.",
    "...R....RR..",
    "....RRRRR...",
    ".....R.R....",
    ".....R.R....",
    ".....R.R....",
    "....RR.RR...",
]

PAGE_32 = [
    "RRRR...",
    "R..RR..",
    "R..R.R.",
    "R..RRRR",
    "R.....R",
    "R.RRR.R",
    "R.....R",
    "R.RRR.R",
    "R.....R",
    "RRRRRRR",
]


def dial_bird_page(n):
    c = Canvas(n)
    if n == 32:
        ring(c, 7, 8, 6.5, 'R')
        for x, y in ((7, 3), (12, 8), (7, 12), (2, 8)):
            c.px(x, y, 'R')          # hour marks
        c.px(6, 8, 'R')
        c.px(7, 8, 'R')
        c.line(7, 8, 10, 5, 'R')     # the needle
        c.vline(7, 15, 27, 'R')      # stand
        c.hline(4, 10, 27, 'R')
        c.art(12, 12, BIRD_32)
        c.art(25, 18, PAGE_32)
        c.hline(0, 31, 28, 'R')      # the ground
    else:
        c = from_rows(DIAL_BIRD_PAGE_16)
    return c


DIAL_BIRD_PAGE_16 = [
    "..RRR...........",
    ".R...R..........",
    "R...R.R.........",
    "R..R..R.........",
    "R.....R.........",
    ".R...R..........",
    "..RRR..RR.......",
    "...R..RRR.......",
    "...R...RRR..RRR.",
    "...R...RRRR.R.RR",
    "...R....RRR.R..R",
    "...R....R.R.R..R",
    "...R....R.R.R..R",
    "..RRR..RR.RRRRRR",
    "RRRRRRRRRRRRRRRR",
    "................",
]

ICONS = [
    ('tarnell', notepad),
    ('new', new_sheets),
    ('open', folder),
    ('save', compact_disc),
    ('compile', keys),
    ('cut', pen),
    ('paste', ruled_sheet),
    ('copy', dial_bird_page),
]


def to_xpm(name, c):
    used = {ch for row in c.p for ch in row}
    keys_ = [k for k, _ in PALETTE if k in used]
    assert len([k for k in keys_ if k != '.']) <= 16, name
    out = ['/* XPM */',
           'static const char *%s[] = {' % name.replace('-', '_'),
           '/* columns rows colours chars-per-pixel */',
           '"%d %d %d 1",' % (c.n, c.n, len(keys_))]
    for k in keys_:
        out.append('"%s c %s", /* %s */' % (k, COLOUR[k], NAME[k]))
    out.append('/* pixels */')
    rows = [''.join(row) for row in c.p]
    for i, row in enumerate(rows):
        out.append('"%s"%s' % (row, ',' if i < len(rows) - 1 else ''))
    out.append('};')
    return '\n'.join(out) + '\n'


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    outdir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, '..', 'data', 'icons')
    os.makedirs(outdir, exist_ok=True)
    made = []
    for base, draw in ICONS:
        for n in (32, 16):
            made.append(('%s-%d' % (base, n), draw(n)))
    for name, c in made:
        with open(os.path.join(outdir, name + '.xpm'), 'w') as f:
            f.write(to_xpm(name.replace('-', '_'), c))


if __name__ == '__main__':
    main()
