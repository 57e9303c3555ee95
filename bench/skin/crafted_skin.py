#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes a hostile skin file: one form named "Simple" of SIDE x SIDE window pixels whose two
pictures are a one-pixel checkerboard of opaque and fully transparent pixels, so that the
window's shape is as fragmented as it can be (SIDE * SIDE / 2 runs of one pixel each). The
pictures compress to almost nothing, so the file stays small.

Usage: crafted_skin.py OUTPUT [SIDE]   (SIDE defaults to 4096)"""
import struct
import sys
import zlib


def png(side, rgba):
    def chunk(tag, body):
        return (struct.pack('>I', len(body)) + tag + body
                + struct.pack('>I', zlib.crc32(tag + body) & 0xffffffff))
    clear = b'\0\0\0\0'
    even = b'\0' + (bytes(rgba) + clear) * (side // 2) + bytes(rgba) * (side % 2)
    odd = b'\0' + (clear + bytes(rgba)) * (side // 2) + clear * (side % 2)
    raw = (even + odd) * (side // 2) + even * (side % 2)
    return (b'\x89PNG\r\n\x1a\n'
            + chunk(b'IHDR', struct.pack('>IIBBBBB', side, side, 8, 6, 0, 0, 0))
            + chunk(b'IDAT', zlib.compress(raw, 9))
            + chunk(b'IEND', b''))


def name(text):
    data = text.encode('utf-8')
    return struct.pack('<H', len(data)) + data


def main():
    output = sys.argv[1]
    side = int(sys.argv[2]) if len(sys.argv) > 2 else 4096
    pictures = b''
    for role, rgba in ((0, (30, 160, 60, 255)), (1, (240, 140, 20, 255))):
        data = png(side, rgba)
        pictures += struct.pack('<BBI', role, 1, len(data)) + data
    free_form = name('SkinFreeForm Object') + struct.pack('<BHHHH', 0, 0, 0, side, side)
    skin = (b'PLSKIN\0\0' + struct.pack('<HH', 1, 1)
            + name('Simple') + struct.pack('<HHB', side, side, 2) + pictures
            + struct.pack('<H', 1) + free_form)
    with open(output, 'wb') as out:
        out.write(skin)


main()
