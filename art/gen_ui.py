"""Interface images: tabs, buttons, tiles, list decorations, thumbnails."""
import math

from draw import (ACCENT, AUDIO, BUTTON, BUTTON_DOWN, BUTTON_LIP, COND, ERR, STOP, STOP_DOWN, STOP_LIP,
                  FIELD, OK, PAGE, polar, SANS, TEXT, TILE, VIDEO, WARN, arrow_head, circle,
                  cycle_arrows, fit_size, n, note, path, ring, rrect, stroke, svg, text,
                  text_width)

IMG = 'qml/images/'


# ---------------------------------------------------------------- tabs

def tab_icon(kind, cx, cy, color, cut):
    if kind == 'add':
        return (circle(cx, cy, 11, color) +
                path('M%s,%s h10 M%s,%s v10' % (n(cx - 5), n(cy), n(cx), n(cy - 5)),
                     extra=stroke(cut, 2.6, cap='butt')))
    if kind == 'format':
        # 2x2 catalogue tiles, one of them picked
        out = ''
        for i, (dx, dy) in enumerate(((-11, -11), (1, -11), (-11, 1), (1, 1))):
            out += rrect(cx + dx, cy + dy, 10, 10, 2.5, color,
                         '' if i != 3 else ' fill-opacity="0.45"')
        return out
    if kind == 'convert':
        return cycle_arrows(cx, cy, 8.5, color, 2.8, 8)
    raise ValueError(kind)


def tab(kind, caption, selected):
    w, h = 124, 60
    if selected:
        # Same fill as the page under it, running to the bottom edge, so the
        # tab and its page read as one sheet; a thin accent edge on top.
        shape = 'M0,60 V8 Q0,0 8,0 H116 Q124,0 124,8 V60 Z'
        defs = '<clipPath id="t"><path d="%s"/></clipPath>' % shape
        body = path(shape, ACCENT) + rrect(0, 3, 124, 57, 0, TILE, ' clip-path="url(#t)"')
        icon_c, cut, text_c = ACCENT, TILE, TEXT
    else:
        body = path('M1,60 V12 Q1,5 8,5 H116 Q123,5 123,12 V60 Z', '#d9d9d9')
        # Captions of unselected tabs still read at 4.5:1.
        icon_c, cut, text_c = '#6a6a6a', '#d9d9d9', '#555555'
        defs = ''
    body += tab_icon(kind, 62, 23, icon_c, cut)
    body += text(62, 51, caption, 14, text_c)
    return svg(w, h, body, defs)


# ---------------------------------------------------------------- window buttons

def win_glyph(kind, c, dy):
    s = stroke(c, 1.6, cap='round')
    if kind == 'minimize':
        return path('M5,%s H13' % n(12.5 + dy), extra=s)
    if kind == 'maximize':
        return (rrect(5, 5 + dy, 8, 8, 1, extra=stroke(c, 1.5)) +
                rrect(5, 5 + dy, 8, 2.2, 0.5, c))
    if kind == 'restore':
        return (path('M7.3,%s V%s H13.3 V%s H11' % (n(7.3 + dy), n(4.7 + dy), n(10.7 + dy)),
                     extra=stroke(c, 1.3)) +
                rrect(4.7, 7.3 + dy, 6.3, 6.3, 0.8, extra=stroke(c, 1.4)) +
                rrect(4.7, 7.3 + dy, 6.3, 1.8, 0.4, c))
    if kind == 'close':
        return path('M5.5,%s L12.5,%s M12.5,%s L5.5,%s'
                    % (n(5.5 + dy), n(12.5 + dy), n(5.5 + dy), n(12.5 + dy)),
                    extra=stroke(c, 1.7))
    raise ValueError(kind)


def win_button(kind, pressed):
    if not pressed:
        body = rrect(0.5, 0.5, 17, 17, 4, '#000000', ' fill-opacity="0.07"')
        body += win_glyph(kind, '#444444', 0)
    elif kind == 'close':
        body = rrect(0, 0, 18, 18, 4, ERR)
        body += rrect(0, 0, 18, 1.5, 0, '#000000', ' fill-opacity="0.18" clip-path="url(#r)"')
        body += win_glyph(kind, '#ffffff', 0.7)
    else:
        body = rrect(0, 0, 18, 18, 4, '#000000', ' fill-opacity="0.24"')
        body += rrect(0, 0, 18, 1.5, 0, '#000000', ' fill-opacity="0.15" clip-path="url(#r)"')
        body += win_glyph(kind, '#222222', 0.7)
    return svg(18, 18, body, '<clipPath id="r"><rect width="18" height="18" rx="4"/></clipPath>')


# ---------------------------------------------------------------- push buttons

def push_button(w, h, r, fill, lip, down, pressed, content):
    """Flat button: raised = a 2-px darker lip at the bottom; pressed = darker
    fill, lip gone, a thin inner shadow on top and the content 1 px lower."""
    clip = '<clipPath id="b"><rect x="0" y="%s" width="%d" height="%s" rx="%s"/></clipPath>' % (
        n(1 if pressed else 0), w, n(h - 1 if pressed else h), n(r))
    if pressed:
        body = rrect(0, 1, w, h - 1, r, down)
        body += rrect(0, 1, w, 2, 0, '#000000', ' fill-opacity="0.22" clip-path="url(#b)"')
        body += content(1.5)
    else:
        body = rrect(0, 0, w, h, r, lip)
        body += rrect(0, 0, w, h - 2, r, fill)
        body += content(0)
    return svg(w, h, body, clip)


def chevron(x, y, size, color, width, right):
    if right:
        d = 'M%s,%s L%s,%s L%s,%s' % (n(x - size / 2), n(y - size), n(x + size / 2), n(y),
                                      n(x - size / 2), n(y + size))
    else:
        d = 'M%s,%s L%s,%s L%s,%s' % (n(x + size / 2), n(y - size), n(x - size / 2), n(y),
                                      n(x + size / 2), n(y + size))
    return path(d, extra=stroke(color, width))


def nav_button(forward, pressed):
    w, h = 96, 36
    cap = 'Next' if forward else 'Back'
    tw = text_width(cap, 15)
    gap, cw = 9, 7
    total = tw + gap + cw
    x0 = (w - total) / 2

    def content(dy):
        cy = (h - 2) / 2 + dy
        c = '#ffffff' if forward else TEXT
        if forward:
            return (text(x0, cy + 5.5, cap, 15, c, anchor='start') +
                    chevron(x0 + tw + gap + cw / 2, cy, 5.5, c, 2.4, True))
        return (chevron(x0 + cw / 2, cy, 5.5, c, 2.4, False) +
                text(x0 + cw + gap, cy + 5.5, cap, 15, c, anchor='start'))
    if forward:
        return push_button(w, h, 6, BUTTON, BUTTON_LIP, BUTTON_DOWN, pressed, content)
    return push_button(w, h, 6, '#f4f4f4', '#a2a2a2', '#d6d6d6', pressed, content)


def run_button(convert, pressed):
    w, h = 220, 64
    cap = 'Convert' if convert else 'Cancel'
    size = 22
    tw = text_width(cap, size)
    iw, gap = 26, 12
    x0 = (w - (iw + gap + tw)) / 2

    def content(dy):
        cy = (h - 2) / 2 + dy
        if convert:
            icon = cycle_arrows(x0 + iw / 2, cy, 10, '#ffffff', 3.2, 9.5)
        else:
            icon = rrect(x0 + 3, cy - 10, 20, 20, 3, '#ffffff')
        return icon + text(x0 + iw + gap, cy + 8, cap, size, '#ffffff', anchor='start')
    if convert:
        return push_button(w, h, 8, BUTTON, BUTTON_LIP, BUTTON_DOWN, pressed, content)
    return push_button(w, h, 8, STOP, STOP_LIP, STOP_DOWN, pressed, content)


# ---------------------------------------------------------------- tiles, marks

def tile(selected):
    if selected:
        body = rrect(1, 1, 90, 96, 8, '#dbe8f6', stroke(ACCENT, 2))
    else:
        body = rrect(0.5, 0.5, 91, 97, 8, '#ffffff',
                     ' fill-opacity="0.22" stroke="#000000" stroke-opacity="0.10"')
    return svg(92, 98, body)


def tick():
    return svg(16, 16, path('M3.2,8.4 L6.6,11.7 L12.9,4.6', extra=stroke('#ffffff', 2.3)))


def scroll_bar():
    # Only the 15-px caps hold the rounding; rows 15..48 are identical so the
    # BorderImage can stretch them.
    return svg(28, 64, rrect(8, 2, 12, 60, 6, '#9a9a9a'))


def completed():
    return svg(32, 32, circle(16, 16, 15, OK) +
               path('M9,16.5 L14,21.3 L23.2,11.2', extra=stroke('#ffffff', 3.4)))


def warning():
    tri = 'M16,2.5 Q17.3,2.5 18.1,3.9 L30.6,26.3 Q31.4,27.9 30.6,28.8 Q29.9,29.6 28.4,29.6 ' \
          'H3.6 Q2.1,29.6 1.4,28.8 Q0.6,27.9 1.4,26.3 L13.9,3.9 Q14.7,2.5 16,2.5 Z'
    return svg(32, 32, path(tri, WARN) +
               path('M16,11 V19.5', extra=stroke('#ffffff', 3.4)) + circle(16, 24.6, 2, '#ffffff'))


def remove():
    return svg(20, 20, circle(10, 10, 9, '#8a8a8a') +
               path('M6.6,6.6 L13.4,13.4 M13.4,6.6 L6.6,13.4', extra=stroke('#ffffff', 2)))


def file_image():
    # 96x74 frame; the 88x66 thumbnail goes at (4,4) and the middle is a hole.
    d = ('M4.5,0.5 H91.5 Q95.5,0.5 95.5,4.5 V69.5 Q95.5,73.5 91.5,73.5 H4.5 Q0.5,73.5 0.5,69.5 '
         'V4.5 Q0.5,0.5 4.5,0.5 Z M4,4 V70 H92 V4 Z')
    return svg(96, 74, path(d, '#ffffff', ' fill-rule="evenodd" stroke="#b4b4b4" stroke-width="1"') +
               rrect(3.5, 3.5, 89, 67, 0, 'none', stroke('#d2d2d2', 1, cap='butt', join='miter')))


def file_break():
    defs = ('<linearGradient id="g" x1="0" x2="1" y1="0" y2="0">'
            '<stop offset="0" stop-color="#fff" stop-opacity="0"/>'
            '<stop offset="0.1" stop-color="#fff"/><stop offset="0.9" stop-color="#fff"/>'
            '<stop offset="1" stop-color="#fff" stop-opacity="0"/></linearGradient>'
            '<mask id="m"><rect width="360" height="2" fill="url(#g)"/></mask>')
    body = ('<g mask="url(#m)">' + rrect(0, 0, 360, 1, 0, '#c6c6c6') +
            rrect(0, 1, 360, 1, 0, '#fbfbfb') + '</g>')
    return svg(360, 2, body, defs)


def arrow(right):
    return svg(24, 24, circle(12, 12, 11, FIELD) +
               chevron(12.8 if right else 11.2, 12, 6, '#ffffff', 2.4, right))


def fade(top):
    defs = ('<linearGradient id="g" x1="0" x2="0" y1="0" y2="1">'
            '<stop offset="0" stop-color="%s" stop-opacity="%s"/>'
            '<stop offset="1" stop-color="%s" stop-opacity="%s"/></linearGradient>'
            % (PAGE, 1 if top else 0, PAGE, 0 if top else 1))
    return svg(370, 24, rrect(0, 0, 370, 24, 0, 'url(#g)'), defs)


# ---------------------------------------------------------------- thumbnails

def film_holes(w, h, color, opacity):
    out = ''
    for x in range(5, w, 10):
        out += rrect(x, 2.5, 5, 4, 1, color, ' fill-opacity="%s"' % opacity)
        out += rrect(x, h - 6.5, 5, 4, 1, color, ' fill-opacity="%s"' % opacity)
    return out


def shot_audio():
    body = rrect(0, 0, 88, 66, 0, '#2b2f3a')
    # a waveform behind a note
    bars = [5, 9, 14, 8, 18, 24, 15, 28, 20, 12, 22, 30, 17, 10, 19, 13, 7, 11, 5]
    for i, b in enumerate(bars):
        x = 6 + i * 4
        body += rrect(x, 33 - b / 2, 2.4, b, 1.2, AUDIO[2], ' fill-opacity="0.55"')
    body += circle(44, 33, 17, AUDIO[0])
    body += note(34.6, 22, 0.95, '#ffffff')
    return svg(88, 66, body)


def shot_unknown():
    body = rrect(0, 0, 88, 66, 0, '#34373d')
    body += film_holes(88, 66, '#ffffff', 0.55)
    body += rrect(8, 10, 72, 46, 3, '#4a4e56')
    body += text(44, 44, '?', 30, '#d8dce2')
    return svg(88, 66, body)


def disc_art(cx, cy, r, tint, hole=True):
    """Flat disc: pale body, two tinted wedges for the sheen, hub and a real hole."""
    out = path(ring(cx, cy, r, r * 0.14 if hole else 0.01), '#dde2e8',
               ' fill-rule="evenodd"')
    for a0 in (20, 200):
        x0, y0 = polar(cx, cy, r * 0.96, a0)
        x1, y1 = polar(cx, cy, r * 0.96, a0 + 50)
        out += path('M%s,%s L%s,%s A%s,%s 0 0,0 %s,%s Z'
                     % (n(cx), n(cy), n(x0), n(y0), n(r * 0.96), n(r * 0.96), n(x1), n(y1)),
                     tint, ' fill-opacity="0.28"')
    out += path(ring(cx, cy, r * 0.36, r * 0.14 if hole else 0.01), '#f6f7f9',
                ' fill-rule="evenodd" stroke="#aab2bc" stroke-width="%s"' % n(max(0.8, r / 30)))
    out += circle(cx, cy, r - 0.5, 'none', ' stroke="#000000" stroke-opacity="0.22"')
    return out


def shot_burning():
    body = rrect(0, 0, 88, 66, 0, '#2b2f3a')
    body += disc_art(40, 33, 26, ACCENT)
    # flame at the disc's edge
    flame = ('M66,58 C56,58 52,50 55,43 C57,38 61,36 60,29 C66,33 67,38 66,42 '
             'C68,40 69,37 69,35 C74,40 76,46 74,51 C72,56 69,58 66,58 Z')
    inner = ('M66,57 C61,57 59,53 61,49 C62,47 64,45 64,41 C67,44 68,47 67,50 '
             'C68,49 69,48 69.5,47 C71,49 71.5,52 70.5,54 C69.5,56 68,57 66,57 Z')
    body += path(flame, ERR) + path(inner, '#f3b43c')
    return svg(88, 66, body)


# ---------------------------------------------------------------- drag & drop hint

def drag_drop():
    w, h = 260, 200
    body = ''
    # tray
    body += path('M58,104 H92 L100,118 H160 L168,104 H202 V146 Q202,152 196,152 H64 '
                 'Q58,152 58,146 Z', '#c9c9c9')
    body += path('M58,104 L74,74 H186 L202,104', extra=stroke('#a9a9a9', 3))
    # two files dropping in
    def doc(x, y, col, glyph, rot):
        g = ('<g transform="rotate(%s %s %s)">' % (rot, n(x + 17), n(y + 22)))
        g += path('M%s,%s H%s L%s,%s V%s Q%s,%s %s,%s H%s Q%s,%s %s,%s V%s Q%s,%s %s,%s Z'
                  % (n(x + 3), n(y), n(x + 25), n(x + 34), n(y + 9), n(y + 41), n(x + 34),
                     n(y + 44), n(x + 31), n(y + 44), n(x + 3), n(x), n(y + 44), n(x),
                     n(y + 41), n(y + 3), n(x), n(y), n(x + 3), n(y)),
                  '#ffffff', ' stroke="#000000" stroke-opacity="0.18"')
        g += path('M%s,%s V%s H%s Z' % (n(x + 25), n(y), n(y + 9), n(x + 34)), '#d4d4d4')
        g += rrect(x + 5, y + 16, 24, 18, 3, col)
        g += glyph
        return g + '</g>'
    body += doc(86, 30, AUDIO[0], note(95, 48.5, 0.72, '#ffffff'), -12)
    body += doc(140, 24, VIDEO[0],
                path('M154.5,44.5 L163.5,49.5 L154.5,54.5 Z', '#ffffff'), 10)
    # arrow into the tray
    body += path('M130,58 V92', extra=stroke(ACCENT, 5, cap='butt'))
    body += path(arrow_head(130, 96, 0, 1, 16, 10), ACCENT)
    cap = 'Drag and drop media files here'
    size = min(14, 250 / text_width(cap, 1, SANS, False))
    body += text(130, 182, cap, round(size * 2) / 2, '#595959', bold=False)
    return svg(w, h, body)


# ---------------------------------------------------------------- loading animation

LOADING_FRAMES = 12


def loading_frame(i):
    body = rrect(0, 0, 48, 48, 0, PAGE)
    for k in range(LOADING_FRAMES):
        # the head dot travels clockwise; dots behind it fade out
        age = (i - k) % LOADING_FRAMES
        op = max(0.18, 1 - age / 8.0)
        x, y = polar(24, 24, 16, 90 - k * 30)
        body += circle(x, y, 3.6 - min(age, 8) * 0.12, ACCENT, ' fill-opacity="%s"' % n(op))
    return svg(48, 48, body)


# ---------------------------------------------------------------- registry

def jobs():
    """(png path under the repo, svg text)."""
    out = []
    for kind, cap in (('add', 'Add'), ('format', 'Format'), ('convert', 'Convert')):
        out.append((IMG + '%sTab.png' % kind, tab(kind, cap, False)))
        out.append((IMG + '%sTabSelected.png' % kind, tab(kind, cap, True)))
    for kind in ('minimize', 'maximize', 'restore', 'close'):
        out.append((IMG + '%sButton.png' % kind, win_button(kind, False)))
        out.append((IMG + '%sButtonClicked.png' % kind, win_button(kind, True)))
    out.append((IMG + 'nextButton.png', nav_button(True, False)))
    out.append((IMG + 'nextButtonClicked.png', nav_button(True, True)))
    out.append((IMG + 'backButton.png', nav_button(False, False)))
    out.append((IMG + 'backButtonClicked.png', nav_button(False, True)))
    out.append((IMG + 'convert-button.png', run_button(True, False)))
    out.append((IMG + 'convert-button-clicked.png', run_button(True, True)))
    out.append((IMG + 'cancel-button.png', run_button(False, False)))
    out.append((IMG + 'cancel-button-clicked.png', run_button(False, True)))
    out.append((IMG + 'iconBack.png', tile(False)))
    out.append((IMG + 'iconBackSelected.png', tile(True)))
    out.append((IMG + 'tick.png', tick()))
    out.append((IMG + 'scrollBar.png', scroll_bar()))
    out.append((IMG + 'completed.png', completed()))
    out.append((IMG + 'warning.png', warning()))
    out.append((IMG + 'remove.png', remove()))
    out.append((IMG + 'fileImage.png', file_image()))
    out.append((IMG + 'fileBreak.png', file_break()))
    out.append((IMG + 'screenshot-audio.png', shot_audio()))
    out.append((IMG + 'screenshot-unknown.png', shot_unknown()))
    out.append((IMG + 'burningthumb.png', shot_burning()))
    out.append((IMG + 'dragDrop.png', drag_drop()))
    out.append((IMG + 'arrow-left.png', arrow(False)))
    out.append((IMG + 'arrow-right.png', arrow(True)))
    out.append((IMG + 'fadeTop.png', fade(True)))
    out.append((IMG + 'fadeBottom.png', fade(False)))
    return out


def loading_jobs():
    return [('loading-%02d.png' % i, loading_frame(i)) for i in range(LOADING_FRAMES)]
