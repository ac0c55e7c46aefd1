#!/usr/bin/env python3
"""Draws VexQuilkit's application icon (resource 128) at every size Windows asks for
between 100 % and 200 % of the display scale, and the 256-pixel image of large views
(16, 20, 24, 32, 40, 48, 64 and 256 pixels; the 256 one as PNG, as Windows keeps it).

The picture: a teal tile with a white quill nib crossing a file sheet.
Run: python3 scripts/make-quilkit-icon.py res/VexQuilkit/VexQuilkit.ico
"""
import struct
import sys
import zlib

SIZES = [16, 20, 24, 32, 40, 48, 64, 256]


def draw(size):
    s = size / 32.0
    pixels = [[(0, 0, 0, 0)] * size for _ in range(size)]
    for y in range(size):
        for x in range(size):
            fx, fy = (x + 0.5) / s, (y + 0.5) / s
            # Rounded tile.
            dx = max(3 - fx, 0, fx - 29)
            dy = max(3 - fy, 0, fy - 29)
            if dx * dx + dy * dy > 9 or fx < 0.5 or fy < 0.5 or fx > 31.5 or fy > 31.5:
                continue
            color = (0x1F, 0x7A, 0x8C, 255)
            # File sheet with a folded corner.
            if 8 <= fx <= 22 and 6 <= fy <= 26 and not (fx > 17 and fy < 11 and fx - 17 > fy - 6):
                color = (0xF4, 0xF4, 0xEE, 255)
                if 10 <= fx <= 19 and int(fy) in (13, 16, 19, 22):
                    color = (0x9A, 0xA8, 0xB0, 255)
            # Quill: a dark diagonal from the lower left to the upper right.
            d = abs((fx - 6) - (26 - fy)) / 1.414
            if d < 1.6 and 6 <= fx <= 27:
                color = (0x20, 0x20, 0x30, 255)
            if d < 3.2 and 18 <= fx <= 27 and fy >= 4:
                color = (0xFF, 0xC8, 0x3C, 255) if d >= 1.2 else (0x20, 0x20, 0x30, 255)
            pixels[y][x] = color
    return pixels


def bmp_entry(pixels):
    size = len(pixels)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = b''.join(bytes((b, g, r, a)) for row in reversed(pixels) for (r, g, b, a) in row)
    row_bytes = ((size + 31) // 32) * 4
    mask = b''
    for row in reversed(pixels):
        bits = 0
        line = bytearray(row_bytes)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(line)
    return header + xor + mask


def png_entry(pixels):
    size = len(pixels)

    def chunk(kind, data):
        body = kind + data
        return struct.pack('>I', len(data)) + body + struct.pack('>I', zlib.crc32(body) & 0xFFFFFFFF)

    raw = b''.join(b'\0' + b''.join(bytes(p) for p in row) for row in pixels)
    header = struct.pack('>IIBBBBB', size, size, 8, 6, 0, 0, 0)  # 8-bit RGBA
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', header) + chunk(b'IDAT', zlib.compress(raw, 9)) +
            chunk(b'IEND', b''))


def write_ico(path, sizes):
    images = [png_entry(draw(size)) if size >= 256 else bmp_entry(draw(size)) for size in sizes]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip(sizes, images):
        # A 256-pixel image is written as 0 in the byte-wide size fields.
        out += struct.pack('<BBBBHHII', size & 0xFF, size & 0xFF, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(path, 'wb') as f:
        f.write(out + b''.join(images))


if __name__ == '__main__':
    write_ico(sys.argv[1], [32, 16] + [size for size in SIZES if size not in (32, 16)])
