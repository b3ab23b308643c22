#!/usr/bin/env python3
"""Draws the project's own 16-colour icons (32x32 and 16x16 images).

    makeicon.py zarn OUT.ico     Zarn's tray icon (resource 101)
    makeicon.py testwin OUT.ico  the test-window program's icon
    makeicon.py inst OUT.ico     Zarninst's icon (resource 128)
"""
import struct, sys

# The standard 16-colour VGA palette (B, G, R, 0).
PALETTE = [(0,0,0),(128,0,0),(0,128,0),(128,128,0),(0,0,128),(128,0,128),(0,128,128),
           (192,192,192),(128,128,128),(255,0,0),(0,255,0),(255,255,0),(0,0,255),
           (255,0,255),(0,255,255),(255,255,255)]
BLACK, DKBLUE, WHITE, BLUE, YELLOW, GRAY, SILVER, DKGREEN, RED = 0, 4, 15, 12, 11, 8, 7, 2, 9

def zarn(n):
    """A blue tile with a white Z and a yellow dot: a window gone to the tray."""
    img = [[None]*n for _ in range(n)]
    m = n // 16
    for y in range(n):
        for x in range(n):
            if m <= x < n - m and m <= y < n - m:
                img[y][x] = DKBLUE if (x < 2*m or y < 2*m or x >= n-2*m or y >= n-2*m) else BLUE
    t = 3*m  # Z strokes
    for x in range(4*m, n - 4*m):
        for k in range(max(1, m + m//2)):
            img[4*m + k][x] = WHITE
            img[n - 5*m - k + (m - 1 if m > 1 else 0)][x] = WHITE
    top, bot = 4*m, n - 5*m
    for y in range(top, bot + 1):
        f = (y - top) / max(1, bot - top)
        x0 = int(round((n - 5*m) - f * (n - 9*m)))
        for k in range(max(1, m + m//2)):
            if 0 <= x0 - k < n:
                img[y][x0 - k] = WHITE
    for y in range(n - 4*m, n - 2*m):
        for x in range(n - 4*m, n - 2*m):
            img[y][x] = YELLOW
    return img

def testwin(n):
    """A green window frame with a title bar: clearly not Zarn's."""
    img = [[None]*n for _ in range(n)]
    m = n // 16
    for y in range(m, n - m):
        for x in range(m, n - m):
            edge = x < 2*m or x >= n - 2*m or y >= n - 2*m
            img[y][x] = DKGREEN if y < 4*m else (GRAY if edge else WHITE)
    for y in range(6*m, n - 4*m, 3*m):
        for x in range(4*m, n - 4*m):
            for k in range(m):
                img[y + k][x] = RED
    return img

def inst(n):
    """A silver sheet with a shortcut arrow and a blue tray corner."""
    img = [[None]*n for _ in range(n)]
    m = n // 16
    for y in range(m, n - m):
        for x in range(2*m, n - 2*m):
            edge = x < 3*m or x >= n - 3*m or y < 2*m or y >= n - 2*m
            img[y][x] = GRAY if edge else SILVER
    for i in range(7*m):
        for k in range(max(1, m)):
            img[n - 4*m - i][4*m + i + k] = BLACK
    for y in range(n - 8*m, n - 3*m):
        for x in range(n - 8*m, n - 3*m):
            img[y][x] = BLUE
    return img

def image(draw, n):
    px = draw(n)
    rows, mask = [], []
    for y in reversed(range(n)):                # bottom-up rows
        row = bytearray()
        for x in range(0, n, 2):
            a, b = px[y][x], px[y][x + 1]
            row.append(((a or 0) << 4) | (b or 0))
        rows.append(bytes(row) + b'\0' * ((-len(row)) % 4))
        bits = bytearray((n + 7) // 8)
        for x in range(n):
            if px[y][x] is None:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask.append(bytes(bits) + b'\0' * ((-len(bits)) % 4))
    header = struct.pack('<IiiHHIIiiII', 40, n, 2 * n, 1, 4, 0, 0, 0, 0, 16, 0)
    pal = b''.join(struct.pack('BBBB', b, g, r, 0) for (r, g, b) in PALETTE)
    return header + pal + b''.join(rows) + b''.join(mask)

def ico(draw):
    images = [image(draw, n) for n in (32, 16)]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for n, data in zip((32, 16), images):
        out += struct.pack('<BBBBHHII', n, n, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    return out + b''.join(images)

if __name__ == '__main__':
    open(sys.argv[2], 'wb').write(ico({'zarn': zarn, 'testwin': testwin, 'inst': inst}[sys.argv[1]]))
