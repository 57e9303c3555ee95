#!/usr/bin/env python3
"""Writes the fuzzer's seed corpus: a few tiny valid skins and a truncated one.
Run from this folder: python3 make_corpus.py"""
import struct
import zlib


def png(width, height, rgba):
    def chunk(tag, body):
        return (struct.pack('>I', len(body)) + tag + body
                + struct.pack('>I', zlib.crc32(tag + body) & 0xffffffff))
    row = b'\0' + bytes(rgba) * width
    raw = row * height
    return (b'\x89PNG\r\n\x1a\n'
            + chunk(b'IHDR', struct.pack('>IIBBBBB', width, height, 8, 6, 0, 0, 0))
            + chunk(b'IDAT', zlib.compress(raw, 9))
            + chunk(b'IEND', b''))


def name(text):
    data = text.encode('utf-8')
    return struct.pack('<H', len(data)) + data


def picture(role, scale, data):
    return struct.pack('<BBI', role, scale, len(data)) + data


def form(form_name, width, height, scales, objects):
    out = name(form_name) + struct.pack('<HH', width, height)
    pictures = []
    for scale in scales:
        pictures.append(picture(0, scale, png(width * scale, height * scale, (30, 160, 60, 255))))
        pictures.append(picture(1, scale, png(width * scale, height * scale, (240, 140, 20, 255))))
    out += struct.pack('<B', len(pictures)) + b''.join(pictures)
    out += struct.pack('<H', len(objects))
    for obj_name, obj_type, rect in objects:
        out += name(obj_name) + struct.pack('<BHHHH', obj_type, *rect)
    return out


def skin(*forms):
    return b'PLSKIN\0\0' + struct.pack('<HH', 1, len(forms)) + b''.join(forms)


one = skin(form('Simple', 8, 6, [1], [('SkinFreeForm Object', 0, (0, 0, 8, 6)),
                                       ('a', 2, (1, 1, 4, 3))]))
boxes = skin(form('Simple', 16, 10, [1, 2], [('SkinFreeForm Object', 0, (0, 0, 16, 10)),
                                              ('logo', 2, (1, 5, 5, 9)),
                                              ('-', 5, (10, 1, 12, 3)),
                                              ('x', 1, (13, 1, 15, 3))]))
two = skin(form('甲', 3, 2, [1], []),
           form('Simple', 5, 4, [1], [('瘦身', 2, (0, 0, 5, 4)), ('b', 2, (2, 2, 3, 3))]))

for file_name, data in [('one-form.skin', one), ('boxes-2x.skin', boxes),
                        ('two-forms.skin', two), ('truncated.skin', one[:len(one) // 2])]:
    with open('corpus/' + file_name, 'wb') as out:
        out.write(data)
