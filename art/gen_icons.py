"""Catalogue icons (64x58, transparent) from icons.tsv.

Every icon follows the same grammar: an object (document, disc, device or
symbol) filling the frame, an optional ribbon across it carrying the big
label, and an optional small dark badge at the bottom for the quality or
variant. Colour says the media family: blues for video, violets for audio,
white ribbons for devices.
"""
import os

from draw import (ACCENT, AUDIO, COND, OK, TEXT, VIDEO, circle, fit_size, gear, n, note,
                  path, polar, ring, rrect, stroke, svg, text, text_width)

W, H = 64, 58
DEV_BODY = '#3a3e45'
DEV_SCREEN = '#6fa6dc'


def shade(family, name):
    """A stable shade per format, so neighbouring tiles differ a little."""
    base = name.split('-')[0]
    return family[sum(base.encode()) % len(family)]


# ---------------------------------------------------------------- parts

def ribbon(label, y, color, fg='#ffffff', min_w=34, max_w=58, h=16, size=14):
    size = fit_size(label, max_w - 6, size)
    tw = text_width(label, size, COND)
    w = max(min_w, tw + 10)
    x = (W - w) / 2
    out = rrect(x, y, w, h, 3, color)
    if fg != '#ffffff':
        out = rrect(x, y, w, h, 3, color, ' stroke="#000000" stroke-opacity="0.3"')
    return out + text(W / 2, y + h / 2 + size * 0.36, label, size, fg, COND)


def badge(label, y=45.5, cx=W / 2):
    size = fit_size(label, 52, 9, 6.5)
    w = text_width(label, size, COND) + 8
    return (rrect(cx - w / 2, y, w, 12, 6, '#222222', ' stroke="#ffffff" stroke-width="1"') +
            text(cx, y + 9, label, size, '#ffffff', COND))


def document(color, glyph):
    x0, x1, y0, y1, fold, r = 13, 51, 1.5, 56.5, 11, 3
    d = ('M%s,%s H%s L%s,%s V%s Q%s,%s %s,%s H%s Q%s,%s %s,%s V%s Q%s,%s %s,%s Z'
         % (n(x0 + r), n(y0), n(x1 - fold), n(x1), n(y0 + fold), n(y1 - r), n(x1), n(y1),
            n(x1 - r), n(y1), n(x0 + r), n(x0), n(y1), n(x0), n(y1 - r), n(y0 + r), n(x0), n(y0),
            n(x0 + r), n(y0)))
    out = path(d, '#fbfbfb', ' stroke="#000000" stroke-opacity="0.28"')
    out += path('M%s,%s V%s Q%s,%s %s,%s H%s Z'
                % (n(x1 - fold), n(y0), n(y0 + fold - 2), n(x1 - fold), n(y0 + fold),
                   n(x1 - fold + 2), n(y0 + fold), n(x1)), '#d3d6da',
                ' stroke="#000000" stroke-opacity="0.2" stroke-linejoin="round"')
    if glyph == 'audio':
        out += note(18, 5, 0.62, color)
    else:
        out += rrect(18, 6, 14, 11, 2, color) + path('M23,8.8 L28.4,11.5 L23,14.2 Z', '#ffffff')
    # faint text lines under the ribbon
    for y in (46, 50.5):
        out += rrect(18, y, 28, 1.6, 0.8, '#000000', ' fill-opacity="0.13"')
    return out


def disc(tint, cy=27, r=25.5):
    out = path(ring(32, cy, r, 3.6), '#dde2e8', ' fill-rule="evenodd"')
    for a0 in (25, 205):
        x0, y0 = polar(32, cy, r - 1, a0)
        x1, y1 = polar(32, cy, r - 1, a0 + 55)
        out += path('M32,%s L%s,%s A%s,%s 0 0,0 %s,%s Z'
                    % (n(cy), n(x0), n(y0), n(r - 1), n(r - 1), n(x1), n(y1)),
                    tint, ' fill-opacity="0.32"')
    out += path(ring(32, cy, 9, 3.6), '#f6f7f9',
                ' fill-rule="evenodd" stroke="#9aa3ae" stroke-width="1"')
    out += circle(32, cy, r - 0.5, 'none', ' stroke="#000000" stroke-opacity="0.3"')
    return out


# ---------------------------------------------------------------- objects by kind

def k_audio(row):
    return circle(32, 29, 26, AUDIO[0]) + note(18, 13, 1.35, '#ffffff')


def k_video(row):
    # clapperboard
    c = VIDEO[1]
    out = rrect(8, 24, 48, 31, 4, c)
    out += '<g transform="rotate(-14 10 22)">'
    out += rrect(8, 12, 48, 10, 2.5, '#2d3138')
    for i in range(4):
        x = 13 + i * 12
        out += path('M%s,12 h6 l-5,10 h-6 Z' % n(x), '#ffffff')
    out += '</g>'
    out += rrect(8, 24, 48, 7, 0, '#2d3138')
    for i in range(4):
        x = 13 + i * 12
        out += path('M%s,24 h6 l-5,7 h-6 Z' % n(x), '#ffffff')
    out += circle(10.5, 22.5, 3, '#2d3138') + circle(10.5, 22.5, 1.2, '#9aa0a8')
    out += path('M27,36 L40,43 L27,50 Z', '#ffffff')
    return out


def k_settings(row):
    return gear(32, 29, 26, 19.5, 8, 9, '#555555')


def k_cd(row):
    return disc(AUDIO[0])


def k_audiocd(row):
    return disc(AUDIO[0]) + circle(50, 11, 10, AUDIO[0], ' stroke="#ffffff" stroke-width="1.5"') + \
        note(43.3, 4, 0.62, '#ffffff')


def k_dvd(row):
    return disc(VIDEO[0])


def k_dvd_in(row):
    # a disc half-way into a drive slot, with an arrow saying "in"
    out = '<clipPath id="s"><rect x="0" y="0" width="64" height="40"/></clipPath>'
    out += '<g clip-path="url(#s)">' + disc(VIDEO[0], cy=29, r=21) + '</g>'
    out += rrect(3, 38, 58, 18, 4, '#3a3e45')
    out += rrect(10, 42.5, 44, 3, 1.5, '#15171a')
    out += rrect(44, 49.5, 10, 2.5, 1.2, '#3aa655')
    out += path('M52,4 V17', extra=stroke('#ffffff', 6.5, cap='round'))
    out += path('M52,4 V17', extra=stroke(ACCENT, 3.5, cap='butt'))
    out += path('M45.5,15 L52,23 L58.5,15 Z', ACCENT, ' stroke="#ffffff" stroke-width="1.2"'
                ' stroke-linejoin="round"')
    return out


def k_vfile(row):
    return document(shade(VIDEO, row['file']), 'video')


def k_afile(row):
    return document(shade(AUDIO, row['file']), 'audio')


def k_phone(row):
    return (rrect(19, 1, 26, 55, 5, DEV_BODY) + rrect(21.5, 6.5, 21, 43, 1.5, DEV_SCREEN) +
            rrect(28, 3, 8, 1.6, 0.8, '#7b818a') + circle(32, 52.8, 1.6, '#7b818a'))


def k_tablet(row):
    return (rrect(4, 7, 56, 42, 5, DEV_BODY) + rrect(9, 10.5, 46, 35, 1.5, DEV_SCREEN) +
            circle(6.6, 28, 1.2, '#7b818a'))


def k_player(row):
    out = rrect(16, 1, 32, 55, 7, '#e7e9ec', ' stroke="#000000" stroke-opacity="0.3"')
    out += rrect(20, 5, 24, 22, 2, DEV_SCREEN)
    # transport row under the label: previous, play, next
    out += circle(32, 49.5, 5, DEV_BODY)
    out += path('M30.6,47.3 L34.4,49.5 L30.6,51.7 Z', '#ffffff')
    out += path('M21.5,49.5 L24.5,47.4 V51.6 Z M21.8,47.4 V51.6', DEV_BODY, stroke(DEV_BODY, 1))
    out += path('M42.5,49.5 L39.5,47.4 V51.6 Z M42.2,47.4 V51.6', DEV_BODY, stroke(DEV_BODY, 1))
    return out


def k_console(row):
    # a generic game pad
    d = ('M19,9 H45 C53,9 56,14 58.5,22 L62,34 C63.5,40 60,44 56,44 C52,44 50,41 47,36 '
         'H17 C14,41 12,44 8,44 C4,44 0.5,40 2,34 L5.5,22 C8,14 11,9 19,9 Z')
    out = path(d, DEV_BODY)
    out += path('M12,21 h4 v-4 h4 v4 h4 v4 h-4 v4 h-4 v-4 h-4 Z', '#8a9099')
    for x, y, c in ((47, 17, '#5aa8e8'), (52.5, 22.5, '#e06a5f'), (41.5, 22.5, '#f0b84a'),
                    (47, 28, '#5fc27a')):
        out += circle(x, y, 2.6, c)
    return out


def k_handheld(row):
    out = rrect(1, 3, 62, 36, 9, DEV_BODY)
    out += rrect(15, 6, 34, 30, 1.5, DEV_SCREEN)
    out += circle(8, 12.5, 3.4, '#20232a') + circle(8, 12.5, 2.2, '#6c727b')
    out += path('M6,24 h1.5 v-1.5 h1.5 v1.5 h1.5 v1.5 h-1.5 v1.5 h-1.5 v-1.5 h-1.5 Z',
                '#8a9099', stroke('#8a9099', 0.8))
    for x, y in ((56, 10), (59, 13), (53, 13), (56, 16)):
        out += circle(x, y, 1.4, '#8a9099')
    out += circle(56, 27, 3.4, '#20232a') + circle(56, 27, 2.2, '#6c727b')
    return out


def k_tv(row):
    out = rrect(2, 3, 60, 40, 3, DEV_BODY) + rrect(5, 6, 54, 33, 1, DEV_SCREEN)
    out += path('M27,43 H37 L39,50 H25 Z', DEV_BODY) + rrect(17, 49.5, 30, 3.5, 1.75, DEV_BODY)
    return out


def k_streamer(row):
    # a set-top box sending waves: streaming players and sticks
    out = ''
    for r in (7, 12.5, 18):
        x0, y0 = polar(32, 25, r, 140)
        x1, y1 = polar(32, 25, r, 40)
        out += path('M%s,%s A%s,%s 0 0,1 %s,%s' % (n(x0), n(y0), n(r), n(r), n(x1), n(y1)),
                    extra=stroke(DEV_SCREEN, 3.2))
    out += circle(32, 25, 2.6, DEV_SCREEN)
    out += rrect(3, 25, 58, 24, 5, DEV_BODY)
    out += rrect(9, 49, 8, 2.5, 1, '#20232a') + rrect(47, 49, 8, 2.5, 1, '#20232a')
    out += circle(8.5, 45, 1.4, OK)
    return out


def k_stereo(row):
    out = rrect(3, 13, 58, 38, 6, DEV_BODY)
    out += path('M20,13 V8 Q20,5 23,5 H41 Q44,5 44,8 V13', extra=stroke(DEV_BODY, 3))
    out += circle(17, 34, 11, '#20232a') + circle(17, 34, 4, '#6c727b')
    out += circle(47, 34, 11, '#20232a') + circle(47, 34, 4, '#6c727b')
    out += rrect(26, 17, 12, 6, 1, DEV_SCREEN)
    return out


KINDS = {
    'audio': (k_audio, None, 32),
    'video': (k_video, None, 32),
    'settings': (k_settings, None, 32),
    'cd': (k_cd, AUDIO[0], 31),
    'audiocd': (k_audiocd, AUDIO[0], 31),
    'dvd': (k_dvd, VIDEO[0], 31),
    'dvd-in': (k_dvd_in, VIDEO[0], 31),
    'vfile': (k_vfile, 'shade:video', 22),
    'afile': (k_afile, 'shade:audio', 22),
    'phone': (k_phone, 'device', 30),
    'tablet': (k_tablet, 'device', 20),
    'player': (k_player, 'device', 27),
    'console': (k_console, 'device', 39),
    'handheld': (k_handheld, 'device', 33),
    'tv': (k_tv, 'device', 15),
    'streamer': (k_streamer, 'device', 28),
    'stereo': (k_stereo, 'device', 38),
}

# Kinds whose ribbon sits low enough to collide with the badge move it up.
BADGED_RIBBON_Y = {'console': 27}


def icon(row):
    draw_obj, rib_color, rib_y = KINDS[row['kind']]
    body = draw_obj(row)
    label, sub = row['label'], row['badge']
    if sub and row['kind'] in BADGED_RIBBON_Y:
        rib_y = BADGED_RIBBON_Y[row['kind']]
    if label:
        if rib_color == 'device':
            body += ribbon(label, rib_y, '#ffffff', fg=TEXT, size=12, min_w=30)
        elif rib_color == 'shade:video':
            body += ribbon(label, rib_y, shade(VIDEO, row['file']), h=17, size=15)
        elif rib_color == 'shade:audio':
            body += ribbon(label, rib_y, shade(AUDIO, row['file']), h=17, size=15)
        elif rib_color:
            body += ribbon(label, rib_y, rib_color)
    if sub:
        body += badge(sub)
    return svg(W, H, body)


def read_table(path_):
    rows = []
    with open(path_, encoding='utf-8') as f:
        for ln, line in enumerate(f, 1):
            line = line.rstrip('\n')
            if not line.strip() or line.lstrip().startswith('#'):
                continue
            cols = line.split('\t')
            if len(cols) < 2:
                raise SystemExit('%s:%d: need at least file and kind' % (path_, ln))
            cols += [''] * (4 - len(cols))
            row = {'file': cols[0].strip(), 'kind': cols[1].strip(),
                   'label': cols[2].strip(), 'badge': cols[3].strip()}
            if row['kind'] not in KINDS:
                raise SystemExit('%s:%d: unknown kind %r (known: %s)'
                                 % (path_, ln, row['kind'], ', '.join(sorted(KINDS))))
            if not row['file'].endswith('.png') or '/' in row['file']:
                raise SystemExit('%s:%d: file must be a plain NAME.png' % (path_, ln))
            rows.append(row)
    return rows


def jobs(table):
    return [('qml/images/icons/' + r['file'], icon(r)) for r in read_table(table)]
