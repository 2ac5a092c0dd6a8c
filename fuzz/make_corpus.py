#!/usr/bin/env python3
"""Writes the seed corpus of the fuzz targets into fuzz/corpus/<target>/.

Valid inputs and near misses, each a few KB at most. Files are written by name and nothing is
deleted, so inputs added by hand (ones that once found a fault) stay where they are.
Run from anywhere: python3 fuzz/make_corpus.py
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def write(target, name, data):
    folder = os.path.join(HERE, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(bytes(data))


# ---- BMP ----

def bmp(width, height, bits, pixel=lambda x, y: (x * 40 + y * 7) & 0xFF, colours=None,
        colours_used=None, top_down=False, gap=0, core_header=False, table24=0,
        compression=0, offset=None, cut=0):
    """An uncompressed BMP. `pixel(x, y)` gives a palette index (8 bits) or a grey level."""
    if bits == 8 and colours is None:
        colours = [(i, 255 - i, i // 2) for i in range(4)]
    table = []
    if bits == 8:
        table = list(colours)
    elif table24:
        table = [(i, i, i) for i in range(table24)]
    entry = 3 if core_header else 4
    if core_header:
        info = struct.pack("<IHHHH", 12, width, height & 0xFFFF, 1, bits)
    else:
        used = len(table) if colours_used is None else colours_used
        info = struct.pack("<IiiHHIIiiII", 40, width, -height if top_down else height, 1, bits,
                           compression, 0, 2835, 2835, used, 0)
    palette = b"".join(bytes((b, g, r)) + (b"" if core_header else b"\0") for r, g, b in table)
    stride = (width * bits + 31) // 32 * 4
    rows = bytearray()
    for stored in range(height):
        y = stored if top_down else height - 1 - stored
        row = bytearray()
        for x in range(width):
            v = pixel(x, y) & 0xFF
            if bits == 24:
                row += bytes((v, 255 - v, (v * 3) & 0xFF))
            else:
                row += bytes((v,) * (bits // 8))
        row += bytes(stride - len(row))
        rows += row
    bits_at = 14 + len(info) + len(palette) + gap
    header = b"BM" + struct.pack("<IHHI", bits_at + len(rows), 0, 0,
                                 bits_at if offset is None else offset)
    data = header + info + palette + b"\xEE" * gap + rows
    return data[:len(data) - cut] if cut else data


def bmp_corpus(target, tile):
    # Tile pictures must be at least 128 wide; the reader itself takes any small picture.
    w = 128 if tile else 3
    write(target, "valid-24bit.bmp", bmp(w, 2, 24))
    write(target, "valid-8bit-top-down.bmp", bmp(w, 3, 8, top_down=True))
    write(target, "valid-8bit-full-table.bmp", bmp(w if tile else 2, 2, 8,
                                                   colours=[(i, i, i) for i in range(256)],
                                                   colours_used=0))
    write(target, "valid-24bit-gap.bmp", bmp(w, 2, 24, gap=9))
    write(target, "valid-24bit-colour-table.bmp", bmp(w, 1, 24, table24=16))
    write(target, "valid-core-header.bmp", bmp(w, 2, 8, core_header=True,
                                               colours=[(i, 0, 0) for i in range(256)]))
    write(target, "valid-padded-rows.bmp", bmp(w + 2, 1, 24))
    if tile:
        write(target, "valid-tall-wide.bmp", bmp(256, 3, 8, gap=2))
    write(target, "miss-offset-in-headers.bmp", bmp(w, 2, 24, offset=50))
    write(target, "miss-offset-in-table.bmp", bmp(w, 2, 8, offset=14 + 40 + 8))
    write(target, "miss-offset-beyond.bmp", bmp(w, 2, 24, offset=0xFFFFFFF0))
    write(target, "miss-last-row-short.bmp", bmp(w, 2, 24, cut=1))
    write(target, "miss-compressed.bmp", bmp(w, 2, 8, compression=1))
    write(target, "miss-16bit.bmp", bmp(w, 2, 16))
    write(target, "miss-colour-table-too-large.bmp", bmp(w, 1, 8, colours_used=257))
    write(target, "miss-header-size.bmp", bytes(b"BM") + bytes(12) + struct.pack("<I", 20))
    write(target, "miss-header-cut.bmp", bmp(w, 1, 24)[:40])
    write(target, "miss-signature.bmp", b"BN" + bmp(w, 1, 24)[2:])
    if tile:
        write(target, "miss-narrow.bmp", bmp(127, 2, 24))


# ---- TER ----

def i32(v):
    return struct.pack("<i", v)


def ter(sx, sy, names=("GRASA000", "ROCKA000", "NOSUCH00"), tiles=None, last_index=None,
        junk=b"", cut=0, capacity=True):
    cells = (sx + 1) * sy
    if tiles is None:
        tiles = [i % 5 if i % 7 else 65535 for i in range(cells)]  # 3 and 4: beyond the table
    out = bytearray()
    if capacity:
        out += b"M" + i32(512) + i32(512)
    out += junk + b"S" + i32(sx) + i32(sy)
    out += b"H" + bytes((i * 13) & 0xFF for i in range(cells))
    out += b"D" + b"".join(struct.pack("<H", t) for t in tiles)
    out += b"A" + bytes(i & 1 for i in range(cells))
    out += b"B" + bytes((i >> 1) & 1 for i in range(cells))
    if names is not None:
        out += b"T" + i32(len(names) - 1 if last_index is None else last_index)
        out += b"".join(n.encode()[:8].ljust(8, b"\0") for n in names)
    return out[:len(out) - cut] if cut else out


def ter_corpus():
    t = "ter_reader"
    write(t, "valid-small.ter", ter(4, 3))
    write(t, "valid-no-name-table.ter", ter(4, 3, names=None))
    write(t, "valid-widest.ter", ter(512, 1))
    write(t, "valid-junk-between-chunks.ter", ter(2, 2, junk=b"xyz\0", capacity=False))
    write(t, "valid-short-names.ter", ter(3, 2, names=("GRAS", "", "SANDA000XYZ")))
    write(t, "valid-size-only.ter", b"S" + i32(5) + i32(7))
    write(t, "miss-empty.ter", b"")
    write(t, "miss-size-zero.ter", b"S" + i32(0) + i32(4))
    write(t, "miss-size-513.ter", b"S" + i32(513) + i32(1))
    write(t, "miss-ends-in-tiles.ter", ter(4, 3)[:60])
    write(t, "miss-name-count-negative.ter", ter(2, 2, last_index=-2))
    write(t, "miss-name-count-500.ter", ter(2, 2, last_index=500))
    write(t, "miss-names-cut.ter", ter(4, 3, cut=3))


if __name__ == "__main__":
    bmp_corpus("bmp_reader", tile=False)
    bmp_corpus("tile_decode", tile=True)
    ter_corpus()
