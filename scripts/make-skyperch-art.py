#!/usr/bin/env python3
"""Draws Skyperch's icons and cursor and writes them as .ico/.cur files.

res/skyperch/Skyperch.ico  icon 128: a window with a red pushpin through its title bar,
                           pinned above a grey window behind it (16 to 256 pixels)
res/skyperch/FinderFull.ico  icon 5: a small window with a crosshair target in its client area
res/skyperch/FinderEmpty.ico icon 203: the same window, the target taken out
res/skyperch/Target.cur      cursor 204: the crosshair target, hot spot at (15, 16)

The finder icons and the cursor come at 32, 48 and 64 pixels (100, 150 and 200 % of the
display scale), each size drawn on its own pixel grid with lines that thicken with the
scale; the cursor's hot spot scales with it, (22, 24) and (30, 32).

Usage: scripts/make-skyperch-art.py [OUTPUT_DIR]
"""
import os
import struct
import sys

# The 16 standard VGA colours, as (R, G, B); indices are used in the pictures below.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
    (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
    (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, MAROON, NAVY, SILVER, GREY, RED, BLUE, WHITE = 0, 1, 4, 7, 8, 9, 12, 15
CLEAR = None

TARGET_CENTRE = (15, 16)
APP_SIZES = [16, 20, 24, 32, 40, 48, 64, 256]
FINDER_SIZES = [32, 48, 64]


def canvas(size):
    return [[CLEAR] * size for _ in range(size)]


def fill(pic, x0, y0, x1, y1, colour):
    """Fills columns x0..x1 and rows y0..y1, both inclusive."""
    for y in range(y0, y1 + 1):
        for x in range(x0, x1 + 1):
            if 0 <= x < len(pic) and 0 <= y < len(pic):
                pic[y][x] = colour


def outline(pic, x0, y0, x1, y1, colour):
    fill(pic, x0, y0, x1, y0, colour)
    fill(pic, x0, y1, x1, y1, colour)
    fill(pic, x0, y0, x0, y1, colour)
    fill(pic, x1, y0, x1, y1, colour)


def window(pic, x0, y0, x1, y1, title, client=WHITE, scale=1.0):
    def sc(v):
        return max(1, int(round(v * scale)))

    fill(pic, x0, y0, x1, y1, client)
    fill(pic, x0, y0, x1, y0 + sc(5) - 1, title)
    fill(pic, x1 - sc(4) + 1, y0 + sc(1), x1 - sc(1), y0 + sc(4) - 1, SILVER)  # close box
    for i in range(line_width(scale)):
        outline(pic, x0 + i, y0 + i, x1 - i, y1 - i, BLACK)


def line_width(scale):
    return max(1, int(round(scale)))


def hot_spot(size):
    scale = size / 32.0
    return (int(TARGET_CENTRE[0] * scale), int(TARGET_CENTRE[1] * scale))


def target_points(cx, cy, scale=1.0):
    """The crosshair target: a ring of radius 6 and a cross with a gap at its centre, with
    the centre point; at 32 pixels every line is one pixel wide."""
    width = line_width(scale)
    reach = int(10 * scale) + 1
    ring = set()
    for y in range(cy - reach, cy + reach + 1):
        for x in range(cx - reach, cx + reach + 1):
            d2 = (x - cx) ** 2 + (y - cy) ** 2
            if 30 * scale * scale <= d2 <= 44 * scale * scale:
                ring.add((x, y))
    offsets = range(-((width - 1) // 2), width // 2 + 1)
    cross = set()
    for d in range(int(round(2 * scale)), int(round(10 * scale))):
        for k in offsets:
            cross |= {(cx + d, cy + k), (cx - d, cy + k), (cx + k, cy + d), (cx + k, cy - d)}
    centre = {(cx + i, cy + j) for i in offsets for j in offsets}
    return ring | cross, centre


def finder_icon(size, with_target):
    scale = size / 32.0
    pic = canvas(size)

    def sc(v):
        return int(round(v * scale))

    x0, y0, x1, y1 = sc(1), sc(2), size - 1 - sc(1), size - 1 - sc(2)
    window(pic, x0, y0, x1, y1, NAVY, scale=scale)
    if with_target:
        cx, cy = hot_spot(size)
        lines, centre = target_points(cx, cy + line_width(scale), scale)
        inner = line_width(scale)
        for x, y in lines | centre:
            if x0 + inner <= x <= x1 - inner and y0 + sc(5) <= y <= y1 - inner:
                pic[y][x] = RED if (x, y) in centre else BLACK
    return pic


def app_icon(size):
    pic = canvas(size)
    s = size / 32.0

    def sc(v):
        return int(round(v * s))

    window(pic, sc(1), sc(9), sc(22), sc(27), GREY, SILVER)
    window(pic, sc(8), sc(4), sc(30), sc(30), BLUE)
    # The pushpin: a red head over the title bar and a dark needle down into the client.
    px = sc(19)
    fill(pic, px - sc(4), sc(0), px + sc(4), sc(4), RED)
    fill(pic, px - sc(2), sc(1), px - sc(2), sc(2), WHITE)
    fill(pic, px - max(1, sc(5)), sc(4), px + max(1, sc(5)), sc(5), MAROON)
    fill(pic, px, sc(6), px, sc(12), BLACK)
    return pic


def dib(pic, bpp):
    size = len(pic)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bpp, 0, 0, 0, 0, 0, 0)
    if bpp == 4:
        colours = PALETTE
    else:
        colours = [(0, 0, 0), (255, 255, 255)]
    palette = b"".join(struct.pack("BBBB", b, g, r, 0) for r, g, b in colours)

    def row_bytes(bits):
        stride = ((size * bits + 31) // 32) * 4
        return stride

    xor = bytearray()
    mask = bytearray()
    for y in reversed(range(size)):  # bottom-up
        xrow = bytearray(row_bytes(bpp))
        mrow = bytearray(row_bytes(1))
        for x in range(size):
            value = pic[y][x]
            if value is CLEAR:
                mrow[x // 8] |= 0x80 >> (x % 8)
                value = 0
            if bpp == 4:
                xrow[x // 2] |= value << (4 if x % 2 == 0 else 0)
            elif value:
                xrow[x // 8] |= 0x80 >> (x % 8)
        xor += xrow
        mask += mrow
    return header + palette + bytes(xor) + bytes(mask)


def container(kind, images):
    """images: list of (pic, bpp, hotspot or None)."""
    out = struct.pack("<HHH", 0, kind, len(images))
    offset = 6 + 16 * len(images)
    blobs = []
    for pic, bpp, hotspot in images:
        blob = dib(pic, bpp)
        size = len(pic)
        colours = 16 if bpp == 4 else 2
        if kind == 1:
            planes, bits = 1, bpp
        else:
            planes, bits = hotspot
        # A 256-pixel image is written as 0 in the byte-wide size fields.
        out += struct.pack("<BBBBHHII", size & 0xFF, size & 0xFF, colours, 0, planes, bits, len(blob), offset)
        offset += len(blob)
        blobs.append(blob)
    return out + b"".join(blobs)


def cursor_picture(size):
    """Monochrome: BLACK lines with a WHITE halo so the target shows on any background."""
    pic = canvas(size)
    lines, centre = target_points(*hot_spot(size), scale=size / 32.0)
    points = lines | centre
    for x, y in points:
        for dx in (-1, 0, 1):
            for dy in (-1, 0, 1):
                if (x + dx, y + dy) not in points and 0 <= x + dx < size and 0 <= y + dy < size:
                    pic[y + dy][x + dx] = 1
    for x, y in points:
        pic[y][x] = 0
    return pic


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "res", "skyperch")
    files = {
        "Skyperch.ico": container(1, [(app_icon(size), 4, None) for size in APP_SIZES]),
        "FinderFull.ico": container(1, [(finder_icon(size, True), 4, None) for size in FINDER_SIZES]),
        "FinderEmpty.ico": container(1, [(finder_icon(size, False), 4, None) for size in FINDER_SIZES]),
        "Target.cur": container(2, [(cursor_picture(size), 1, hot_spot(size)) for size in FINDER_SIZES]),
    }
    for name, data in files.items():
        with open(os.path.join(out_dir, name), "wb") as f:
            f.write(data)
        print("wrote", name, len(data), "bytes")


if __name__ == "__main__":
    main()
