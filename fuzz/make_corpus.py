#!/usr/bin/env python3
"""Writes the seed corpus of the fuzz targets into fuzz/corpus/<target>/.

Valid inputs and near misses, each a few KB at most. Files are written by name and nothing is
deleted, so inputs added by hand (ones that once found a fault) stay where they are.
Run from anywhere: python3 fuzz/make_corpus.py
"""
import os
import struct
import zlib

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


# ---- TBR ----

def tbr(last_col, last_row, names=("GRASA000", "ROCKA000", "NOSUCH00"), last_index=None, cut=0,
        tail=b""):
    """A brush record (50 x 50 entries of each plane, the extent, 6 reserved bytes), then the
    tile-name table. Tile entries run past the table now and then, and 65535 appears too."""
    cells = range(50 * 50)
    out = bytearray()
    out += b"".join(struct.pack("<h", (i * 7) % 300 - 20) for i in cells)
    out += b"".join(struct.pack("<H", 65535 if i % 11 == 0 else i % 5) for i in cells)
    out += bytes(i & 1 for i in cells) + bytes((i >> 1) & 1 for i in cells)
    out += struct.pack("<bb", last_col, last_row) + bytes(6)
    out += i32(len(names) - 1 if last_index is None else last_index)
    out += b"".join(n.encode()[:8].ljust(8, b"\0") for n in names) + tail
    return out[:len(out) - cut] if cut else out


def tbr_corpus():
    t = "tbr_reader"
    write(t, "valid-3x2.tbr", tbr(2, 1))
    write(t, "valid-50x50-short-names.tbr", tbr(49, 49, names=("GRAS", "", "SANDA000XYZ")))
    write(t, "valid-empty-table.tbr", tbr(0, 0, names=()))
    write(t, "valid-empty-brush-trailing-bytes.tbr", tbr(-1, 3, tail=b"junk"))
    write(t, "miss-short-record.tbr", tbr(2, 1)[:100])
    write(t, "miss-no-count.tbr", tbr(2, 1)[:15008])
    write(t, "miss-count-500.tbr", tbr(2, 1, last_index=500))
    write(t, "miss-count-negative.tbr", tbr(2, 1, last_index=-2))
    write(t, "miss-names-cut.tbr", tbr(2, 1, cut=3))
    write(t, "miss-extent-50.tbr", tbr(50, 1))


# ---- PNG ----

ADAM7 = [(0, 0, 8, 8), (4, 0, 8, 8), (0, 4, 4, 8), (2, 0, 4, 4), (0, 2, 2, 4), (1, 0, 2, 2),
         (0, 1, 1, 2)]


def chunk(kind, data, crc_delta=0):
    crc = (zlib.crc32(kind + data) + crc_delta) & 0xFFFFFFFF
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", crc)


def pack(samples, depth):
    if depth == 16:
        return b"".join(struct.pack(">H", v & 0xFFFF) for v in samples)
    if depth == 8:
        return bytes(v & 0xFF for v in samples)
    out = bytearray((len(samples) * depth + 7) // 8)
    for i, v in enumerate(samples):
        bit = i * depth
        out[bit // 8] |= (v & ((1 << depth) - 1)) << (8 - depth - bit % 8)
    return bytes(out)


def png(width, height, colour=0, depth=8, interlace=0, plte=None, trns=None,
        sample=lambda x, y, c: x * 37 + y * 11 + c * 5, ihdr_crc=0, cut=0, drop_rows=0,
        ihdr=None, end=True):
    """A PNG picture; `sample(x, y, channel)` gives each stored sample."""
    channels = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}[colour]

    def row(xs, y):
        return b"\0" + pack([sample(x, y, c) for x in xs for c in range(channels)], depth)

    raw = bytearray()
    if interlace:
        for x0, y0, dx, dy in ADAM7:
            xs = list(range(x0, width, dx))
            if xs:
                for y in range(y0, height, dy):
                    raw += row(xs, y)
    else:
        for y in range(height - drop_rows):
            raw += row(range(width), y)
    head = ihdr if ihdr is not None else struct.pack(">IIBBBBB", width, height, depth, colour, 0,
                                                     0, interlace)
    data = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", head, ihdr_crc)
    if plte is not None:
        data += chunk(b"PLTE", b"".join(bytes(c) for c in plte))
    if trns is not None:
        data += chunk(b"tRNS", trns)
    data += chunk(b"IDAT", zlib.compress(bytes(raw), 9))
    if end:
        data += chunk(b"IEND", b"")
    return data[:len(data) - cut] if cut else data


def png_corpus():
    t = "png_heightmap_reader"
    write(t, "valid-grey8.png", png(5, 4))
    write(t, "valid-grey16.png", png(6, 3, depth=16, sample=lambda x, y, c: x * 9000 + y * 257))
    write(t, "valid-grey2.png", png(9, 2, depth=2))
    write(t, "valid-grey1-trns.png", png(17, 3, depth=1, trns=struct.pack(">H", 1)))
    write(t, "valid-rgb8.png", png(4, 4, colour=2))
    write(t, "valid-rgba16.png", png(3, 3, colour=6, depth=16))
    write(t, "valid-grey-alpha8.png", png(3, 2, colour=4))
    write(t, "valid-palette-trns.png", png(4, 3, colour=3, plte=[(10, 10, 10), (200, 90, 7)],
                                           trns=b"\x80", sample=lambda x, y, c: (x + y) % 2))
    write(t, "valid-palette4.png", png(7, 2, colour=3, depth=4,
                                       plte=[(i * 16, i, 255 - i) for i in range(16)]))
    write(t, "valid-interlaced-grey8.png", png(9, 9, interlace=1))
    write(t, "valid-interlaced-rgb16.png", png(5, 5, colour=2, depth=16, interlace=1))
    write(t, "valid-wide-600.png", png(600, 2))
    write(t, "valid-tall-600.png", png(2, 600, interlace=1))
    write(t, "miss-signature.png", b"\x89PNX" + png(2, 2)[5:])
    write(t, "miss-ihdr-crc.png", png(2, 2, ihdr_crc=1))
    write(t, "miss-cut-in-data.png", png(40, 40, cut=30))
    write(t, "miss-no-end.png", png(3, 3, end=False))
    write(t, "miss-rows-missing.png", png(8, 8, drop_rows=3))
    write(t, "miss-too-wide.png", png(20000, 1))
    write(t, "miss-huge-declared.png", png(16384, 16384, drop_rows=16383))
    write(t, "miss-zero-width.png", png(0, 3))
    write(t, "miss-grey-depth3.png", png(4, 4, ihdr=struct.pack(">IIBBBBB", 4, 4, 3, 0, 0, 0, 0)))
    write(t, "miss-palette-without-plte.png", png(4, 4, colour=3, sample=lambda x, y, c: 0))
    write(t, "miss-empty.png", b"")


def bmp_heightmap_corpus():
    t = "bmp_heightmap_reader"
    write(t, "valid-8bit.bmp", bmp(5, 4, 8))
    write(t, "valid-8bit-top-down.bmp", bmp(5, 3, 8, top_down=True))
    write(t, "valid-8bit-padded.bmp", bmp(3, 2, 8))
    write(t, "valid-8bit-wide-600.bmp", bmp(600, 2, 8))
    write(t, "valid-8bit-tall-600.bmp", bmp(2, 600, 8))
    write(t, "valid-core-header.bmp", bmp(4, 2, 8, core_header=True,
                                          colours=[(i, 0, 0) for i in range(256)]))
    write(t, "valid-gap-before-bits.bmp", bmp(4, 2, 8, gap=7))
    write(t, "miss-24bit.bmp", bmp(3, 2, 24))
    write(t, "miss-compressed.bmp", bmp(4, 2, 8, compression=1))
    write(t, "miss-signature.bmp", b"BN" + bmp(4, 2, 8)[2:])
    write(t, "miss-last-row-short.bmp", bmp(4, 2, 8, cut=1))
    write(t, "miss-offset-beyond.bmp", bmp(4, 2, 8, offset=0xFFFFFFF0))
    write(t, "miss-empty.bmp", b"")


if __name__ == "__main__":
    bmp_corpus("bmp_reader", tile=False)
    bmp_corpus("tile_decode", tile=True)
    ter_corpus()
    tbr_corpus()
    png_corpus()
    bmp_heightmap_corpus()
