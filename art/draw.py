"""Shared palette and small SVG helpers for gen_ui.py and gen_icons.py."""
import math
import os
from xml.sax.saxutils import escape

from fontmetrics import font

# Window colours the artwork has to sit on.
PAGE = '#eeeeee'
TILE = '#c0c0c0'
FIELD = '#555555'
TEXT = '#222222'

ACCENT = '#2f7fd0'
OK = '#3aa655'
WARN = '#e0962a'
ERR = '#d64541'
# Button fills that carry white captions at 4.5:1 or more.
BUTTON = '#2468b0'
BUTTON_LIP = '#1b4f87'
BUTTON_DOWN = '#1c5290'
STOP = '#c0392b'
STOP_LIP = '#962d22'
STOP_DOWN = '#a33126'

# Media families: video = blues, audio = violets, so a format's kind is
# readable before its label is.
VIDEO = ['#2f7fd0', '#2468b0', '#3a8fd6', '#1f5c9a']
AUDIO = ['#7d5bbe', '#6a4bab', '#8e6acb', '#5c4596']

FONT_DIR = '/usr/share/fonts/truetype/dejavu'
_FILES = {
    ('DejaVu Sans', False): 'DejaVuSans.ttf',
    ('DejaVu Sans', True): 'DejaVuSans-Bold.ttf',
    ('DejaVu Sans Condensed', False): 'DejaVuSansCondensed.ttf',
    ('DejaVu Sans Condensed', True): 'DejaVuSansCondensed-Bold.ttf',
}
SANS = 'DejaVu Sans'
COND = 'DejaVu Sans Condensed'


def text_width(s, size, family=SANS, bold=True):
    return font(os.path.join(FONT_DIR, _FILES[(family, bold)])).width(s, size)


def fit_size(s, max_w, max_size, min_size=6.0, family=COND, bold=True):
    """Largest size (in 0.5 steps) at which s fits into max_w pixels."""
    size = max_size
    while size > min_size and text_width(s, size, family, bold) > max_w:
        size -= 0.5
    return size


def text(x, y, s, size, fill, family=SANS, bold=True, anchor='middle', extra=''):
    return ('<text x="%s" y="%s" font-family="%s" font-size="%s"%s fill="%s" '
            'text-anchor="%s"%s>%s</text>'
            % (n(x), n(y), family, n(size), ' font-weight="bold"' if bold else '',
               fill, anchor, extra, escape(s)))


def n(v):
    """Short, stable number formatting so the SVGs (and PNGs) are reproducible."""
    v = round(v, 2)
    if v == int(v):
        return str(int(v))
    return ('%.2f' % v).rstrip('0')


def svg(w, h, body, defs=''):
    return ('<svg xmlns="http://www.w3.org/2000/svg" '
            'xmlns:xlink="http://www.w3.org/1999/xlink" '
            'width="%d" height="%d" viewBox="0 0 %d %d">%s%s</svg>\n'
            % (w, h, w, h, '<defs>%s</defs>' % defs if defs else '', body))


def rrect(x, y, w, h, r, fill='none', extra=''):
    return ('<rect x="%s" y="%s" width="%s" height="%s" rx="%s" fill="%s"%s/>'
            % (n(x), n(y), n(w), n(h), n(r), fill, extra))


def circle(cx, cy, r, fill='none', extra=''):
    return '<circle cx="%s" cy="%s" r="%s" fill="%s"%s/>' % (n(cx), n(cy), n(r), fill, extra)


def path(d, fill='none', extra=''):
    return '<path d="%s" fill="%s"%s/>' % (d, fill, extra)


def stroke(color, width, cap='round', join='round'):
    return (' stroke="%s" stroke-width="%s" stroke-linecap="%s" stroke-linejoin="%s"'
            % (color, n(width), cap, join))


def ring(cx, cy, r_out, r_in):
    """Annulus as one even-odd path, so a disc's hole is really transparent."""
    def c(r):
        return ('M%s,%s a%s,%s 0 1,0 %s,0 a%s,%s 0 1,0 %s,0 Z'
                % (n(cx - r), n(cy), n(r), n(r), n(2 * r), n(r), n(r), n(-2 * r)))
    return c(r_out) + ' ' + c(r_in)


def polar(cx, cy, r, deg):
    a = math.radians(deg)
    return cx + r * math.cos(a), cy - r * math.sin(a)


def arrow_head(x, y, dx, dy, length, half):
    """Filled triangle whose tip is (x, y) + length * (dx, dy)."""
    m = math.hypot(dx, dy)
    dx, dy = dx / m, dy / m
    tx, ty = x + dx * length * 0.6, y + dy * length * 0.6
    bx, by = x - dx * length * 0.4, y - dy * length * 0.4
    return 'M%s,%s L%s,%s L%s,%s Z' % (n(tx), n(ty), n(bx - dy * half), n(by + dx * half),
                                       n(bx + dy * half), n(by - dx * half))


def cycle_arrows(cx, cy, r, color, width, head):
    """Two arcs chasing each other: the 'convert' symbol."""
    out = []
    for a0, a1 in ((195, 35), (15, 215)):
        x0, y0 = polar(cx, cy, r, a0)
        x1, y1 = polar(cx, cy, r, a1)
        out.append(path('M%s,%s A%s,%s 0 0,1 %s,%s' % (n(x0), n(y0), n(r), n(r), n(x1), n(y1)),
                        extra=stroke(color, width, cap='butt')))
        a = math.radians(a1)
        out.append(path(arrow_head(x1, y1, math.sin(a), math.cos(a), head, head * 0.62),
                        fill=color))
    return ''.join(out)


def gear(cx, cy, r_out, r_in, r_hole, teeth, color):
    pts = []
    step = 360.0 / teeth
    for i in range(teeth):
        a = 90 + i * step
        for da, r in ((-step * 0.5, r_in), (-step * 0.3, r_in), (-step * 0.17, r_out),
                      (step * 0.17, r_out), (step * 0.3, r_in)):
            pts.append(polar(cx, cy, r, a + da))
    d = 'M' + ' L'.join('%s,%s' % (n(x), n(y)) for x, y in pts) + ' Z '
    d += ('M%s,%s a%s,%s 0 1,0 %s,0 a%s,%s 0 1,0 %s,0 Z'
          % (n(cx - r_hole), n(cy), n(r_hole), n(r_hole), n(2 * r_hole), n(r_hole), n(r_hole),
             n(-2 * r_hole)))
    return path(d, fill=color, extra=' fill-rule="evenodd"')


def note(x, y, s, color):
    """Two beamed eighth notes; (x, y) is the top-left of a 20x22 box scaled by s."""
    def p(px, py):
        return '%s,%s' % (n(x + px * s), n(y + py * s))
    d = ('M%s L%s L%s L%s Z' % (p(6, 3), p(19, 0), p(19, 4), p(6, 7)))
    stems = ('M%s L%s L%s L%s Z M%s L%s L%s L%s Z'
             % (p(6, 3), p(8, 3), p(8, 17), p(6, 17), p(17, 0.5), p(19, 0.5), p(19, 14), p(17, 14)))
    heads = (('<ellipse cx="%s" cy="%s" rx="%s" ry="%s" fill="%s" transform="rotate(-20 %s %s)"/>'
              % (n(x + 4.3 * s), n(y + 17.6 * s), n(3.9 * s), n(2.9 * s), color,
                 n(x + 4.3 * s), n(y + 17.6 * s))) +
             ('<ellipse cx="%s" cy="%s" rx="%s" ry="%s" fill="%s" transform="rotate(-20 %s %s)"/>'
              % (n(x + 15.3 * s), n(y + 14.6 * s), n(3.9 * s), n(2.9 * s), color,
                 n(x + 15.3 * s), n(y + 14.6 * s))))
    return path(d + ' ' + stems, fill=color) + heads
