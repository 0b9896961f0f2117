#!/usr/bin/env python3
"""Measures ink in a region of a PNG page (Ghostscript's pnggray pages, corvhost's RGB previews).

    pngcheck.py ink FILE X0 Y0 X1 Y1 [--min F] [--max F]
    pngcheck.py colour FILE R,G,B X0 Y0 X1 Y1 [--min F] [--max F] [--tol N]
    pngcheck.py agree FILE OTHER R,G,B X0 Y0 X1 Y1 [--min F] [--max F] [--tol N] [--cell N]

The region is given in fractions of the page's width and height, measured from the top left.
"ink" prints the share of dark pixels (below half grey) in it, "colour" the share of pixels
within N (default 12) of the colour in every channel; exits 1 when it is outside the bounds.
"agree" compares where two pictures of one page (the same size within a pixel, such as a page's
preview and its rendered sheet) have the colour: it cuts the region into squares of N pixels
(default 8), marks those holding the colour in each picture, and prints the share of marked
squares that both mark (0 when either marks none); the bounds apply to that share.
"""
import struct
import sys
import zlib

CHANNELS = {0: 1, 2: 3, 6: 4}  # greyscale, RGB, RGBA


def _unfilter_up(line, previous):
    """The Up filter on a whole row at once: bytewise sums without carries, in one big integer."""
    n = len(line)
    a, b = int.from_bytes(line, "big"), int.from_bytes(previous, "big")
    low, high = int.from_bytes(b"\x7f" * n, "big"), int.from_bytes(b"\x80" * n, "big")
    return bytearray((((a & low) + (b & low)) ^ ((a ^ b) & high)).to_bytes(n, "big"))


def _unfilter_paeth(line, previous, channels):
    for x in range(len(line)):
        if x >= channels:
            left, up, corner = line[x - channels], previous[x], previous[x - channels]
        else:
            left, up, corner = 0, previous[x], 0
        pa, pb = up - corner, left - corner
        pc = pa + pb
        pa, pb, pc = (pa if pa >= 0 else -pa), (pb if pb >= 0 else -pb), (pc if pc >= 0 else -pc)
        predictor = left if pa <= pb and pa <= pc else (up if pb <= pc else corner)
        line[x] = (line[x] + predictor) & 255


def read_rows(path):
    """(width, height, channels, rows): each row the unfiltered bytes of one line."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError(f"{path}: not a PNG file")
    at, idat = 8, []
    width = height = channels = None
    while at < len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        body = data[at + 8:at + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour = struct.unpack(">IIBB", body[:10])
            interlace = body[12]
            if depth != 8 or colour not in CHANNELS or interlace:
                raise ValueError(f"{path}: expected 8-bit grey, RGB or RGBA, got depth {depth} colour type {colour}")
            channels = CHANNELS[colour]
        elif kind == b"IDAT":
            idat.append(body)
        elif kind == b"IEND":
            break
        at += 12 + length
    raw = zlib.decompress(b"".join(idat))
    n = width * channels
    rows, previous, stride = [], bytearray(n), n + 1
    for y in range(height):
        kind, line = raw[y * stride], bytearray(raw[y * stride + 1:(y + 1) * stride])
        if kind == 2:
            line = _unfilter_up(line, previous)
        elif kind == 4:
            _unfilter_paeth(line, previous, channels)
        elif kind in (1, 3):
            for x in range(n):
                left = line[x - channels] if x >= channels else 0
                up = previous[x]
                if kind == 1:
                    line[x] = (line[x] + left) & 255
                else:
                    line[x] = (line[x] + (left + up) // 2) & 255
        elif kind != 0:
            raise ValueError(f"{path}: unknown filter {kind}")
        rows.append(line)
        previous = line
    return width, height, channels, rows


def read_pixels(path):
    """Rows of (r, g, b) tuples."""
    width, height, channels, rows = read_rows(path)
    if channels == 1:
        return width, height, [[(v, v, v) for v in line] for line in rows]
    return width, height, [[tuple(line[x * channels:x * channels + 3]) for x in range(width)] for line in rows]


def share(path, box, test):
    width, height, rows = read_pixels(path)
    x0, y0, x1, y1 = box
    left, right = int(x0 * width), max(int(x0 * width) + 1, int(x1 * width))
    top, bottom = int(y0 * height), max(int(y0 * height) + 1, int(y1 * height))
    hits = sum(1 for y in range(top, bottom) for x in range(left, right) if test(rows[y][x]))
    return hits / ((right - left) * (bottom - top))


def marked_cells(path, box, test, cell):
    """The squares of the region (column, row) that hold a pixel passing the test."""
    width, height, rows = read_pixels(path)
    x0, y0, x1, y1 = box
    left, right = int(x0 * width), int(x1 * width)
    top, bottom = int(y0 * height), int(y1 * height)
    return {((x - left) // cell, (y - top) // cell)
            for y in range(top, min(bottom, height)) for x in range(left, min(right, width)) if test(rows[y][x])}


def agreement(path, other, box, test, cell):
    a, b = marked_cells(path, box, test, cell), marked_cells(other, box, test, cell)
    union = a | b
    return len(a & b) / len(union) if a and b else 0.0


def main(argv):
    if len(argv) < 3 or argv[1] not in ("ink", "colour", "agree"):
        print(__doc__, file=sys.stderr)
        return 2
    command, path, rest = argv[1], argv[2], argv[3:]
    tol, cell, other = 12, 8, None
    if command == "agree":
        if not rest:
            print(__doc__, file=sys.stderr)
            return 2
        other, rest = rest[0], rest[1:]
    if command in ("colour", "agree"):
        if not rest:
            print(__doc__, file=sys.stderr)
            return 2
        want = tuple(int(v) for v in rest[0].split(","))
        rest = rest[1:]
    if len(rest) < 4:
        print(__doc__, file=sys.stderr)
        return 2
    box = tuple(float(v) for v in rest[:4])
    low, high = 0.0, 1.0
    rest = rest[4:]
    while rest:
        if rest[0] == "--min":
            low = float(rest[1])
        elif rest[0] == "--max":
            high = float(rest[1])
        elif rest[0] == "--tol":
            tol = int(rest[1])
        elif rest[0] == "--cell":
            cell = int(rest[1])
        else:
            print(f"unknown argument {rest[0]}", file=sys.stderr)
            return 2
        rest = rest[2:]
    matches = lambda p: all(abs(a - b) <= tol for a, b in zip(p, want))
    if command == "ink":
        value = share(path, box, lambda p: p[0] < 128)
    elif command == "colour":
        value = share(path, box, matches)
    else:
        value = agreement(path, other, box, matches, cell)
    print(f"{path} [{' '.join(str(v) for v in box)}]: {command} {value:.4f}")
    if not low <= value <= high:
        print(f"  expected between {low} and {high}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
