#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes the fuzzers' seed corpora, all made here from nothing but numbers:
  corpus/skin/      skin files for fuzz_skin: a few tiny valid skins, a truncated one, and one
                    of the program's own window size with pictures at scales 1 and 2;
  corpus/pictures/  pictures for fuzz_skin_pictures: PNGs of every colour type, bit depths
                    from 1 to 16, all five row filters, an interlaced one, split image data,
                    ancillary chunks, every alpha value, and a window-sized picture written as
                    makeskin writes.
Run from this folder: python3 make_corpus.py"""
import os
import struct
import zlib

# The program's window, in window pixels.
WINDOW = (632, 443)


def chunk(tag, body):
    return (struct.pack('>I', len(body)) + tag + body
            + struct.pack('>I', zlib.crc32(tag + body) & 0xffffffff))


def ihdr(width, height, depth, colour_type, interlace=0):
    return chunk(b'IHDR', struct.pack('>IIBBBBB', width, height, depth, colour_type, 0, 0,
                                      interlace))


def png(width, height, rgba):
    """An 8-bit RGBA picture of one colour, rows unfiltered, deflated at the highest level."""
    row = b'\0' + bytes(rgba) * width
    raw = row * height
    return (b'\x89PNG\r\n\x1a\n' + ihdr(width, height, 8, 6)
            + chunk(b'IDAT', zlib.compress(raw, 9))
            + chunk(b'IEND', b''))


# --- Pictures of every kind PNG has. A picture is a list of rows, each a list of pixels, each
# --- pixel a tuple of samples (1 to 4 of them, of `depth` bits each).

def packed_row(pixels, depth):
    """A row's bytes: samples below 8 bits packed from the high bit, 16-bit ones big-endian."""
    if depth == 16:
        return b''.join(struct.pack('>H', s) for p in pixels for s in p)
    if depth == 8:
        return bytes(s for p in pixels for s in p)
    bits = ''.join(format(s, '0%db' % depth) for p in pixels for s in p)
    bits += '0' * (-len(bits) % 8)
    return bytes(int(bits[i:i + 8], 2) for i in range(0, len(bits), 8))


def paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    return a if pa <= pb and pa <= pc else (b if pb <= pc else c)


def filtered(rows, step, filters):
    """Rows of bytes, each behind a filter type byte taken in turn from `filters`;
    `step` is the bytes per pixel (at least 1)."""
    out = b''
    previous = bytes(len(rows[0])) if rows else b''
    for index, row in enumerate(rows):
        kind = filters[index % len(filters)]
        line = bytearray()
        for i, value in enumerate(row):
            left = row[i - step] if i >= step else 0
            up = previous[i]
            corner = previous[i - step] if i >= step else 0
            predicted = [0, left, up, (left + up) // 2, paeth(left, up, corner)][kind]
            line.append((value - predicted) & 0xff)
        out += bytes([kind]) + bytes(line)
        previous = row
    return out


# Adam7: each pass's first column, first row, column step, row step.
ADAM7 = [(0, 0, 8, 8), (4, 0, 8, 8), (0, 4, 4, 8), (2, 0, 4, 4), (0, 2, 2, 4), (1, 0, 2, 2),
         (0, 1, 1, 2)]


def image_data(pixels, depth, channels, interlace, filters):
    step = max(1, depth * channels // 8)
    if not interlace:
        return filtered([packed_row(row, depth) for row in pixels], step, filters)
    out = b''
    for x0, y0, dx, dy in ADAM7:
        rows = [packed_row(row[x0::dx], depth) for row in pixels[y0::dy]]
        rows = [r for r in rows if r]
        if rows:
            out += filtered(rows, step, filters)
    return out


def picture(pixels, depth, colour_type, extra=b'', interlace=0, filters=(0,), level=9,
            idat_pieces=1):
    channels = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}[colour_type]
    height, width = len(pixels), len(pixels[0])
    data = zlib.compress(image_data(pixels, depth, channels, interlace, filters), level)
    size = -(-len(data) // idat_pieces)
    idats = b''.join(chunk(b'IDAT', data[i:i + size]) for i in range(0, len(data), size))
    return (b'\x89PNG\r\n\x1a\n' + ihdr(width, height, depth, colour_type, interlace) + extra
            + idats + chunk(b'IEND', b''))


def window_pixels(width, height, scale):
    """The program's window at `scale`: a rounded panel, transparent outside, with a faded
    edge, a round hole near the bottom left and a column of buttons down the right."""
    radius = 18 * scale
    rows = []
    for y in range(height):
        row = []
        for x in range(width):
            # Distance outside the rounded rectangle, in pixels (0 inside).
            cx = min(max(x, radius), width - 1 - radius)
            cy = min(max(y, radius), height - 1 - radius)
            outside = ((x - cx) ** 2 + (y - cy) ** 2) ** 0.5 - radius
            hole = ((x - 52 * scale) ** 2 + (y - 392 * scale) ** 2) ** 0.5 < 6 * scale
            if outside > 1 or hole:
                row.append((0, 0, 0, 0))
            elif outside > 0:
                row.append((120, 170, 90, 128))
            elif x > 498 * scale and (y // (55 * scale)) % 2:
                row.append((240, 140, 20, 255))
            else:
                row.append((250, 248, 236, 255))
        rows.append(row)
    return rows


def as_makeskin_writes(pixels):
    """8-bit RGBA, rows unfiltered, deflated at the fastest level, as makeskin writes."""
    return picture(pixels, 8, 6, filters=(0,), level=1)


def pictures():
    w, h = 9, 7
    grid = [[(x, y) for x in range(w)] for y in range(h)]
    corner = lambda x, y: x == 0 and y == 0
    out = {
        'rgba8.png': picture([[(x * 28, y * 36, 90, 0 if corner(x, y) else 255)
                               for x, y in row] for row in grid], 8, 6),
        'rgba16-filters.png': picture([[(x * 7000, y * 9000, 100, 0 if corner(x, y) else 65535)
                                        for x, y in row] for row in grid], 16, 6,
                                      filters=(0, 1, 2, 3, 4)),
        'rgb8-paeth.png': picture([[(x * 28, y * 36, (x ^ y) * 16) for x, y in row]
                                   for row in grid], 8, 2, filters=(4,)),
        'grey1.png': picture([[((x + y) % 2,) for x, y in row] for row in grid], 1, 0),
        'grey4-trns.png': picture([[((x + y) % 16,) for x, y in row] for row in grid], 4, 0,
                                  extra=chunk(b'tRNS', struct.pack('>H', 0))),
        'grey-alpha16.png': picture([[(x * 7000, 0 if corner(x, y) else 65535)
                                      for x, y in row] for row in grid], 16, 4),
        'palette2-trns.png': picture([[((x + 2 * y) % 4,) for x, y in row] for row in grid], 2, 3,
                                     extra=chunk(b'PLTE', bytes([0, 0, 0, 250, 0, 0, 0, 200, 0,
                                                                 0, 0, 150]))
                                     + chunk(b'tRNS', bytes([0, 255, 255, 128]))),
        'interlaced.png': picture([[(x * 28, y * 36, 90, 0 if corner(x, y) else 200)
                                    for x, y in row] for row in grid], 8, 6, interlace=1,
                                  filters=(1, 2, 3, 4, 0)),
        'split-data-ancillary.png': picture([[(200, x * 28, y * 36, 0 if x == y else 255)
                                              for x, y in row] for row in grid], 8, 6,
                                            extra=chunk(b'gAMA', struct.pack('>I', 45455))
                                            + chunk(b'tEXt', b'Comment\0seed'),
                                            idat_pieces=3),
        # Every alpha from 0 to 255 in every row: the shape must take each one but 0 as opaque.
        'alpha-ramp.png': picture([[(90, 20, 30, x) for x in range(256)] for _ in range(3)], 8, 6,
                                  level=0),
        'window.png': as_makeskin_writes(window_pixels(*WINDOW, 1)),
    }
    return out


# --- Skin files.

def name(text):
    data = text.encode('utf-8')
    return struct.pack('<H', len(data)) + data


def skin_picture(role, scale, data):
    return struct.pack('<BBI', role, scale, len(data)) + data


def form(form_name, width, height, scales, objects, pictures_at=None):
    out = name(form_name) + struct.pack('<HH', width, height)
    pictures = []
    for scale in scales:
        if pictures_at:
            normal, highlighted = pictures_at(scale)
        else:
            normal = png(width * scale, height * scale, (30, 160, 60, 255))
            highlighted = png(width * scale, height * scale, (240, 140, 20, 255))
        pictures.append(skin_picture(0, scale, normal))
        pictures.append(skin_picture(1, scale, highlighted))
    out += struct.pack('<B', len(pictures)) + b''.join(pictures)
    out += struct.pack('<H', len(objects))
    for obj_name, obj_type, rect in objects:
        out += name(obj_name) + struct.pack('<BHHHH', obj_type, *rect)
    return out


def skin(*forms):
    return b'PLSKIN\0\0' + struct.pack('<HH', 1, len(forms)) + b''.join(forms)


def window_skin():
    def pictures_at(scale):
        normal = window_pixels(WINDOW[0] * scale, WINDOW[1] * scale, scale)
        # The highlighted picture: the buttons' colour changed.
        highlighted = [[(120, 120, 120, 255) if p == (240, 140, 20, 255) else p for p in row]
                       for row in normal]
        return as_makeskin_writes(normal), as_makeskin_writes(highlighted)
    buttons = [(letter, 2, (499, 52 + 55 * i, 618, 87 + 55 * i))
               for i, letter in enumerate('abcde')]
    return skin(form('Simple', *WINDOW, [1, 2],
                     [('SkinFreeForm Object', 0, (0, 0) + WINDOW)] + buttons
                     + [('logo', 2, (26, 366, 78, 419)), ('-', 5, (557, 12, 582, 35)),
                        ('x', 1, (587, 11, 611, 35))],
                     pictures_at))


def skins():
    one = skin(form('Simple', 8, 6, [1], [('SkinFreeForm Object', 0, (0, 0, 8, 6)),
                                           ('a', 2, (1, 1, 4, 3))]))
    boxes = skin(form('Simple', 16, 10, [1, 2], [('SkinFreeForm Object', 0, (0, 0, 16, 10)),
                                                  ('logo', 2, (1, 5, 5, 9)),
                                                  ('-', 5, (10, 1, 12, 3)),
                                                  ('x', 1, (13, 1, 15, 3))]))
    two = skin(form('甲', 3, 2, [1], []),
               form('Simple', 5, 4, [1], [('瘦身', 2, (0, 0, 5, 4)), ('b', 2, (2, 2, 3, 3))]))
    return {'one-form.skin': one, 'boxes-2x.skin': boxes, 'two-forms.skin': two,
            'truncated.skin': one[:len(one) // 2], 'window-1x-2x.skin': window_skin()}


def write_all(folder, files):
    os.makedirs(folder, exist_ok=True)
    for file_name, data in files.items():
        with open(os.path.join(folder, file_name), 'wb') as out:
            out.write(data)


write_all('corpus/skin', skins())
write_all('corpus/pictures', pictures())
