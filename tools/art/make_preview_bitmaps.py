#!/usr/bin/env python3
"""Draws the "&Preview" page's artwork as 24-bit bitmaps with a magenta mask
colour: res/gridstatus.bmp (7 status images of 16x16) and res/toolbar.bmp
(11 toolbar buttons of 16x16). Run it again after changing a glyph."""
import struct, os

MASK = (255, 0, 255)
W = 16

def canvas(n):
    return [[MASK] * (W * n) for _ in range(W)]

def rect(img, i, x0, y0, x1, y1, c):
    for y in range(y0, y1 + 1):
        for x in range(x0, x1 + 1):
            img[y][i * W + x] = c

def frame(img, i, x0, y0, x1, y1, c):
    for x in range(x0, x1 + 1):
        img[y0][i * W + x] = c; img[y1][i * W + x] = c
    for y in range(y0, y1 + 1):
        img[y][i * W + x0] = c; img[y][i * W + x1] = c

def dot(img, i, x, y, c):
    if 0 <= x < W and 0 <= y < W:
        img[y][i * W + x] = c

def line(img, i, x0, y0, x1, y1, c, t=1):
    n = max(abs(x1 - x0), abs(y1 - y0), 1)
    for k in range(n + 1):
        x = round(x0 + (x1 - x0) * k / n); y = round(y0 + (y1 - y0) * k / n)
        for dx in range(t):
            for dy in range(t):
                dot(img, i, x + dx, y + dy, c)

def tri(img, i, pts, c):
    (ax, ay), (bx, by), (cx, cy) = pts
    def s(px, py, qx, qy, rx, ry): return (px - rx) * (qy - ry) - (qx - rx) * (py - ry)
    for y in range(W):
        for x in range(W):
            d1 = s(x, y, ax, ay, bx, by); d2 = s(x, y, bx, by, cx, cy); d3 = s(x, y, cx, cy, ax, ay)
            neg = d1 < 0 or d2 < 0 or d3 < 0; pos = d1 > 0 or d2 > 0 or d3 > 0
            if not (neg and pos): dot(img, i, x, y, c)

BLACK = (0, 0, 0); GREEN = (0, 150, 0); RED = (200, 0, 0); GREY = (128, 128, 128)
BLUE = (0, 70, 200); SKY = (120, 180, 240); YELLOW = (240, 200, 0); WHITE = (255, 255, 255)
DARK = (60, 60, 60)

def check(img, i, c):
    line(img, i, 3, 8, 6, 11, c, 2); line(img, i, 6, 11, 12, 4, c, 2)

def cross(img, i, c):
    line(img, i, 4, 4, 11, 11, c, 2); line(img, i, 11, 4, 4, 11, c, 2)

def badge(img, i):  # "too big": a red corner mark
    rect(img, i, 11, 0, 15, 4, RED); line(img, i, 13, 1, 13, 2, WHITE); dot(img, i, 13, 3, WHITE)

def status():
    img = canvas(7)
    frame(img, 0, 2, 2, 13, 13, GREY)                 # 0 disabled
    frame(img, 1, 2, 2, 13, 13, DARK); check(img, 1, GREEN)   # 1 enabled
    frame(img, 2, 2, 2, 13, 13, DARK); check(img, 2, GREEN); badge(img, 2)  # 2 enabled, too big
    frame(img, 3, 2, 2, 13, 13, GREY); badge(img, 3)  # 3 disabled, too big
    # 4 unused, left empty
    for y in (2, 7, 12):                              # 5 tiled: a grid of tiles
        for x in (2, 7, 12):
            rect(img, 5, x, y, x + 3, y + 3, BLUE)
    frame(img, 6, 1, 1, 14, 14, GREY); rect(img, 6, 5, 5, 10, 10, BLUE)  # 6 centred
    return img

def toolbar():
    img = canvas(11)
    # 0 find current wallpaper: a magnifier
    frame(img, 0, 2, 2, 9, 9, DARK); rect(img, 0, 3, 3, 8, 8, SKY); line(img, 0, 9, 9, 14, 14, DARK, 2)
    # 1 set wallpaper: a screen with a picture
    frame(img, 1, 1, 2, 14, 12, DARK); rect(img, 1, 2, 3, 13, 11, SKY); tri(img, 1, [(3, 11), (7, 6), (11, 11)], GREEN)
    rect(img, 1, 6, 13, 9, 14, DARK)
    # 2 wallpaper none: an empty screen crossed out
    frame(img, 2, 1, 2, 14, 12, DARK); rect(img, 2, 6, 13, 9, 14, DARK); line(img, 2, 3, 4, 12, 11, RED, 2)
    # 3 add files: a picture with a plus
    frame(img, 3, 1, 3, 11, 13, DARK); rect(img, 3, 2, 4, 10, 12, SKY); rect(img, 3, 9, 0, 10, 6, GREEN); rect(img, 3, 7, 2, 12, 3, GREEN)
    # 4 move or rename: a folder with an arrow
    rect(img, 4, 1, 5, 12, 13, YELLOW); frame(img, 4, 1, 5, 12, 13, DARK); rect(img, 4, 1, 3, 5, 5, YELLOW)
    line(img, 4, 6, 9, 14, 9, BLUE, 2); tri(img, 4, [(11, 6), (15, 9), (11, 12)], BLUE)
    # 5 remove from list: list lines crossed
    for y in (3, 7, 11): rect(img, 5, 1, y, 10, y + 1, DARK)
    line(img, 5, 9, 8, 14, 13, RED, 2); line(img, 5, 14, 8, 9, 13, RED, 2)
    # 6 delete from disk: a bin
    rect(img, 6, 3, 4, 12, 5, DARK); rect(img, 6, 6, 2, 9, 3, DARK); frame(img, 6, 4, 6, 11, 14, DARK)
    for x in (6, 9): line(img, 6, x, 8, x, 12, DARK)
    # 7 first, 8 previous, 9 next, 10 last
    rect(img, 7, 3, 3, 4, 12, BLACK); tri(img, 7, [(12, 3), (5, 8), (12, 12)], BLACK)
    tri(img, 8, [(11, 3), (4, 8), (11, 12)], BLACK)
    tri(img, 9, [(4, 3), (11, 8), (4, 12)], BLACK)
    tri(img, 10, [(3, 3), (10, 8), (3, 12)], BLACK); rect(img, 10, 11, 3, 12, 12, BLACK)
    return img

def write(path, img):
    h = len(img); w = len(img[0]); row = (w * 3 + 3) & ~3
    data = b''
    for y in range(h - 1, -1, -1):
        r = b''.join(bytes((c[2], c[1], c[0])) for c in img[y])
        data += r + b'\0' * (row - w * 3)
    header = struct.pack('<2sIHHI', b'BM', 54 + len(data), 0, 0, 54)
    info = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, 'wb') as f:
        f.write(header + info + data)

root = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'res')
write(os.path.join(root, 'gridstatus.bmp'), status())
write(os.path.join(root, 'toolbar.bmp'), toolbar())
