#!/usr/bin/env python3
"""Measures ink in a region of a greyscale PNG page (as Ghostscript's pnggray writes it).

    pngcheck.py ink FILE X0 Y0 X1 Y1 [--min F] [--max F]

The region is given in fractions of the page's width and height, measured from the top left.
Prints the share of dark pixels (below half grey) in it; exits 1 when it is outside the bounds.
"""
import struct
import sys
import zlib


def read_gray(path):
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError(f"{path}: not a PNG file")
    at, idat = 8, []
    width = height = None
    while at < len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        body = data[at + 8:at + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour = struct.unpack(">IIBB", body[:10])
            if depth != 8 or colour != 0:
                raise ValueError(f"{path}: expected 8-bit greyscale, got depth {depth} colour type {colour}")
        elif kind == b"IDAT":
            idat.append(body)
        elif kind == b"IEND":
            break
        at += 12 + length
    raw = zlib.decompress(b"".join(idat))
    rows, previous, stride = [], bytearray(width), width + 1
    for y in range(height):
        kind, line = raw[y * stride], bytearray(raw[y * stride + 1:(y + 1) * stride])
        for x in range(width):
            left = line[x - 1] if x else 0
            up = previous[x]
            corner = previous[x - 1] if x else 0
            if kind == 1:
                line[x] = (line[x] + left) & 255
            elif kind == 2:
                line[x] = (line[x] + up) & 255
            elif kind == 3:
                line[x] = (line[x] + (left + up) // 2) & 255
            elif kind == 4:
                p = left + up - corner
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - corner)
                predictor = left if pa <= pb and pa <= pc else (up if pb <= pc else corner)
                line[x] = (line[x] + predictor) & 255
            elif kind != 0:
                raise ValueError(f"{path}: unknown filter {kind}")
        rows.append(line)
        previous = line
    return width, height, rows


def ink(path, x0, y0, x1, y1):
    width, height, rows = read_gray(path)
    left, right = int(x0 * width), max(int(x0 * width) + 1, int(x1 * width))
    top, bottom = int(y0 * height), max(int(y0 * height) + 1, int(y1 * height))
    dark = sum(1 for y in range(top, bottom) for x in range(left, right) if rows[y][x] < 128)
    return dark / ((right - left) * (bottom - top))


def main(argv):
    if len(argv) < 7 or argv[1] != "ink":
        print(__doc__, file=sys.stderr)
        return 2
    path = argv[2]
    x0, y0, x1, y1 = (float(v) for v in argv[3:7])
    low, high = 0.0, 1.0
    rest = argv[7:]
    while rest:
        if rest[0] == "--min":
            low = float(rest[1])
        elif rest[0] == "--max":
            high = float(rest[1])
        else:
            print(f"unknown argument {rest[0]}", file=sys.stderr)
            return 2
        rest = rest[2:]
    share = ink(path, x0, y0, x1, y1)
    print(f"{path} [{x0} {y0} {x1} {y1}]: ink {share:.4f}")
    if not low <= share <= high:
        print(f"  expected between {low} and {high}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
