"""Advance widths from a TrueType file, so labels can be sized to fit
before rsvg renders them (no PIL here, and guessing widths made 5-letter
labels spill off the icons)."""
import struct

_cache = {}


class Font:
    def __init__(self, path):
        with open(path, 'rb') as f:
            d = f.read()
        n = struct.unpack('>H', d[4:6])[0]
        tables = {}
        for i in range(n):
            tag, _, off, ln = struct.unpack('>4sIII', d[12 + 16 * i:28 + 16 * i])
            tables[tag.decode('latin-1')] = (off, ln)
        head = tables['head'][0]
        self.upem = struct.unpack('>H', d[head + 18:head + 20])[0]
        hhea = tables['hhea'][0]
        nmetrics = struct.unpack('>H', d[hhea + 34:hhea + 36])[0]
        hmtx = tables['hmtx'][0]
        self.adv = [struct.unpack('>H', d[hmtx + 4 * i:hmtx + 4 * i + 2])[0]
                    for i in range(nmetrics)]
        self.cmap = self._cmap(d, tables['cmap'][0])

    @staticmethod
    def _cmap(d, base):
        n = struct.unpack('>H', d[base + 2:base + 4])[0]
        sub = None
        for i in range(n):
            pid, eid, off = struct.unpack('>HHI', d[base + 4 + 8 * i:base + 12 + 8 * i])
            if pid == 3 and eid == 1:
                sub = base + off
        assert sub is not None and struct.unpack('>H', d[sub:sub + 2])[0] == 4
        segx2 = struct.unpack('>H', d[sub + 6:sub + 8])[0]
        seg = segx2 // 2
        ends = struct.unpack('>%dH' % seg, d[sub + 14:sub + 14 + segx2])
        p = sub + 16 + segx2
        starts = struct.unpack('>%dH' % seg, d[p:p + segx2])
        deltas = struct.unpack('>%dh' % seg, d[p + segx2:p + 2 * segx2])
        ro_base = p + 2 * segx2
        ros = struct.unpack('>%dH' % seg, d[ro_base:ro_base + segx2])
        m = {}
        for s in range(seg):
            for c in range(starts[s], min(ends[s], 0x2FFF) + 1):
                if c == 0xFFFF:
                    continue
                if ros[s] == 0:
                    g = (c + deltas[s]) & 0xFFFF
                else:
                    a = ro_base + 2 * s + ros[s] + 2 * (c - starts[s])
                    g = struct.unpack('>H', d[a:a + 2])[0]
                    if g:
                        g = (g + deltas[s]) & 0xFFFF
                m[c] = g
        return m

    def width(self, text, size):
        total = 0
        for ch in text:
            g = self.cmap.get(ord(ch), 0)
            total += self.adv[min(g, len(self.adv) - 1)]
        return total * size / self.upem


def font(path):
    if path not in _cache:
        _cache[path] = Font(path)
    return _cache[path]
