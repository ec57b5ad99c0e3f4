#!/usr/bin/env python3
"""Makes the import test pictures (kept in this folder) and the fuzz seeds.

    python3 tests/data/import/make.py tests/data/import    the test pictures
    python3 tests/data/import/make.py --seeds fuzz/corpus  small seed pictures

ImageMagick (/usr/bin/convert) writes every variant it can write; the BMP and
icon variants it cannot (RLE4, top-down rows, odd bit masks, 16-bit 555, the
short OS/2 header, icons with a transparency mask) are written below, byte by
byte after the format's documentation.

Icons are named *.ico.png: the editor imports only .bmp, .jpg and .png names
and tells the formats apart by content.

pattern-*: black lit pixels on white, asymmetric, a pixel in every corner; each
variant must import to exactly pattern.chr. colour-*: a smooth colour picture
and, beside it, ImageMagick's own decoding of that very file (*.rgb), which our
decoder must match.
"""
import os
import struct
import subprocess
import sys

CONVERT = "/usr/bin/convert"  # the real ImageMagick, not a stand-in earlier on the PATH
W, H = 128, 64


def magick(*args):
    subprocess.run([CONVERT, *args], check=True)


def pattern_pixel(x, y):
    """True where the display pixel is lit."""
    if (x, y) in ((0, 0), (127, 0), (0, 63), (127, 63)):
        return True
    if 4 <= x < 40 and 4 <= y < 12:          # a bar at the top left
        return True
    if 8 <= x < 24 and 12 <= y < 40 and (x + y) % 2 == 0:  # a checkerboard column under it
        return True
    if x == 2 * y - 20 and 40 <= x < 120:    # a thin diagonal
        return True
    if 96 <= x < 120 and 20 <= y < 28 and x < 96 + (y - 20) * 3:  # a wedge, wider downwards
        return True
    if 50 <= x < 90 and 44 <= y < 60 and not (56 <= x < 84 and 48 <= y < 56):  # a frame
        return True
    return x == 64 and y % 3 == 0            # dots down the crystal boundary


def chr_bytes(lit, w=W, h=H):
    out = bytearray(1024)
    for y in range(h):
        for x in range(w):
            if lit(x, y):
                out[(y // 8) * 128 + x] |= 1 << (y % 8)
    return bytes(out)


def write_pbm(path, lit, w, h):
    with open(path, "w") as f:
        f.write("P1\n%d %d\n" % (w, h))
        for y in range(h):
            f.write(" ".join("1" if lit(x, y) else "0" for x in range(w)) + "\n")


def write_ppm(path, rgb, w, h):
    with open(path, "wb") as f:
        f.write(b"P6\n%d %d\n255\n" % (w, h) + bytes(rgb))


# --- BMP and icon writing -------------------------------------------------

def pack_rows(indices, w, h, bits, top_down=False):
    rows = []
    for y in range(h):
        bitstring = 0
        nbits = 0
        row = bytearray()
        for x in range(w):
            bitstring = bitstring << bits | indices[y * w + x]
            nbits += bits
            while nbits >= 8:
                nbits -= 8
                row.append(bitstring >> nbits & 0xFF)
        if nbits:
            row.append(bitstring << (8 - nbits) & 0xFF)
        while len(row) % 4:
            row.append(0)
        rows.append(bytes(row))
    return b"".join(rows if top_down else reversed(rows))


def info_header(w, h, bits, compression=0, colours=0, size=40, masks=None, image_size=0):
    head = struct.pack("<IiiHHIIiiII", size, w, h, 1, bits, compression, image_size, 2835, 2835, colours, 0)
    if size > 40:
        m = list(masks or (0, 0, 0)) + [0]
        head += struct.pack("<IIII", *m[:4])
        head += b"\0" * (size - len(head))
    return head


def bmp_file(header, extra, pixels):
    offset = 14 + len(header) + len(extra)
    return b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset) + header + extra + pixels


def palette_bytes(colours, entry=4):
    return b"".join(bytes((b, g, r) + ((0,) if entry == 4 else ())) for r, g, b in colours)


def rle_encode(indices, w, h, four):
    """RLE8/RLE4 bottom-up, with encoded runs, absolute runs and deltas over
    white stretches (skipped pixels show colour 0, which is white)."""
    out = bytearray()
    per = 2 if four else 1
    y = 0
    rows = [indices[(h - 1 - r) * w:(h - r) * w] for r in range(h)]
    while y < h:
        row = rows[y]
        x = 0
        while x < w:
            # A long white stretch to the end of the row: end of line.
            if all(v == 0 for v in row[x:]) and x > 0:
                break
            # A white stretch of 20+ inside the row: delta.
            run = 0
            while x + run < w and row[x + run] == 0:
                run += 1
            if run >= 20 and x + run < w:
                out += bytes((0, 2, run, 0))
                x += run
                continue
            run = 1
            while x + run < w and run < 255 and row[x + run] == row[x]:
                run += 1
            if run >= 3 or w - x < 3:
                value = row[x] << 4 | row[x] if four else row[x]
                out += bytes((run, value))
                x += run
                continue
            n = 0  # absolute: up to a run of three
            while x + n < w and n < 254 and not (x + n + 2 < w and row[x + n] == row[x + n + 1] == row[x + n + 2]):
                n += 1
            n = max(n, 3) if w - x >= 3 else n
            n = min(n, w - x)
            chunk = row[x:x + n]
            if four:
                data = bytearray((chunk[i] << 4 | (chunk[i + 1] if i + 1 < n else 0)) for i in range(0, n, 2))
            else:
                data = bytearray(chunk)
            if len(data) % 2:
                data.append(0)
            out += bytes((0, n)) + data
            x += n
        out += bytes((0, 0))
        y += 1
    out[-2:] = bytes((0, 1))  # the last end of line becomes end of picture
    return bytes(out)


def handmade_bmps(rgb, w, h, lit_only):
    """Variants ImageMagick does not write. rgb: top-down list of (r, g, b)."""
    files = {}
    # Palette pictures use black and white only (the pattern).
    if lit_only:
        pal = [(255, 255, 255), (0, 0, 0)]
        idx = [1 if c == (0, 0, 0) else 0 for c in rgb]
        pal16 = pal + [(255, 0, 0)] * 14
        files["bmp-rle4.bmp"] = bmp_file(info_header(w, h, 4, 2, 16), palette_bytes(pal16), rle_encode(idx, w, h, True))
        files["bmp-rle8-delta.bmp"] = bmp_file(info_header(w, h, 8, 1, 2), palette_bytes(pal), rle_encode(idx, w, h, False))
        files["bmp-4.bmp"] = bmp_file(info_header(w, h, 4, 0, 3), palette_bytes(pal + [(0, 0, 255)]), pack_rows(idx, w, h, 4))
        pal256 = [(255, 0, 0)] * 256
        pal256[37], pal256[200] = pal
        idx256 = [200 if i else 37 for i in idx]
        files["bmp-8.bmp"] = bmp_file(info_header(w, h, 8), palette_bytes(pal256), pack_rows(idx256, w, h, 8))
        files["bmp-8-topdown.bmp"] = bmp_file(info_header(w, -h, 8, 0, 2), palette_bytes(pal), pack_rows(idx, w, h, 8, True))
        files["bmp-1-core.bmp"] = bmp_file(struct.pack("<IHHHH", 12, w, h, 1, 1), palette_bytes(pal, 3), pack_rows(idx, w, h, 1))
        files["bmp-4-core.bmp"] = bmp_file(struct.pack("<IHHHH", 12, w, h, 1, 4), palette_bytes(pal16, 3), pack_rows(idx, w, h, 4))
    # 24-bit top-down.
    rows = []
    for y in range(h):
        row = b"".join(bytes((b, g, r)) for r, g, b in rgb[y * w:(y + 1) * w])
        rows.append(row + b"\0" * (-len(row) % 4))
    files["bmp-24-topdown.bmp"] = bmp_file(info_header(w, -h, 24), b"", b"".join(rows))
    # 16-bit 555 without masks, 565 with masks after a short header.
    def rows16(pack):
        out = []
        for y in reversed(range(h)):
            row = b"".join(struct.pack("<H", pack(r, g, b)) for r, g, b in rgb[y * w:(y + 1) * w])
            out.append(row + b"\0" * (-len(row) % 4))
        return b"".join(out)
    files["bmp-16-555.bmp"] = bmp_file(info_header(w, h, 16), b"", rows16(lambda r, g, b: (r >> 3) << 10 | (g >> 3) << 5 | b >> 3))
    files["bmp-16-565-bitfields.bmp"] = bmp_file(info_header(w, h, 16, 3), struct.pack("<III", 0xF800, 0x07E0, 0x001F),
                                                 rows16(lambda r, g, b: (r >> 3) << 11 | (g >> 2) << 5 | b >> 3))
    # 32-bit with red in the low byte and a 10-bit green, in a V5 header.
    pixels = b"".join(struct.pack("<I", r | (g << 2 | g >> 6) << 8 | b << 24) for y in reversed(range(h)) for r, g, b in rgb[y * w:(y + 1) * w])
    files["bmp-32-odd-masks-v5.bmp"] = bmp_file(info_header(w, h, 32, 3, size=124, masks=(0xFF, 0x3FF00, 0xFF000000)), b"", pixels)
    return files


def icon_file(images):
    """images: list of (w, h, bits, data)."""
    head = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries, blobs = b"", b""
    for w, h, bits, data in images:
        entries += struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, bits, len(data), offset + len(blobs))
        blobs += data
    return head + entries + blobs


def icon_bitmap(w, h, bits, colour_rows, mask_rows, palette=b"", colours=0):
    return info_header(w, 2 * h, bits, 0, colours) + palette + colour_rows + mask_rows


def handmade_icons(rgb, w, h):
    idx = [1 if c == (0, 0, 0) else 0 for c in rgb]
    # 1-bit icon whose "white" pixels are transparent: black index where lit,
    # index 0 (black too!) elsewhere but masked out, so only the mask makes them white.
    colour = pack_rows([1] * (w * h), w, h, 1)
    mask = pack_rows([0 if i else 1 for i in idx], w, h, 1)
    pal = palette_bytes([(0, 0, 0), (0, 0, 0)])
    small = pack_rows([0] * (16 * 8), 16, 8, 1)
    small_mask = pack_rows([0] * (16 * 8), 16, 8, 1)
    files = {"ico-1-mask.ico": icon_file([
        (16, 8, 1, icon_bitmap(16, 8, 1, small, small_mask, pal, 2)),  # a smaller all-black image first
        (w, h, 1, icon_bitmap(w, h, 1, colour, mask, pal, 2)),
    ])}
    # 32-bit icon with alpha: lit pixels opaque black, the rest fully transparent red.
    pixels = b"".join((bytes((0, 0, 0, 255)) if c == (0, 0, 0) else bytes((0, 0, 255, 0)))
                      for y in reversed(range(h)) for c in rgb[y * w:(y + 1) * w])
    files["ico-32-alpha.ico"] = icon_file([(w, h, 32, icon_bitmap(w, h, 32, pixels, pack_rows([1] * (w * h), w, h, 1)))])
    return files


# --- the sets -------------------------------------------------------------

def pattern_set(out, lit, w, h, prefix):
    """Every format variant of one black-on-white picture."""
    src = os.path.join(out, prefix + "source.pbm")
    write_pbm(src, lit, w, h)
    rgb = [(0, 0, 0) if lit(x, y) else (255, 255, 255) for y in range(h) for x in range(w)]
    variants = {
        "bmp-1.bmp": ["-type", "bilevel", "BMP3:"],
        "bmp-8-rle.bmp": ["-type", "palette", "-compress", "rle", "BMP3:"],
        "bmp-24.bmp": ["-type", "truecolor", "BMP3:"],
        "bmp-24-core.bmp": ["-type", "truecolor", "BMP2:"],
        "bmp-32-v5.bmp": ["-type", "truecoloralpha", "BMP:"],
        "bmp-16-565-v4.bmp": ["-type", "truecolor", "-define", "bmp:subtype=RGB565", "BMP:"],
        "png-grey-1.png": ["-type", "bilevel", "-depth", "1", "PNG:"],
        "png-grey-2.png": ["-type", "grayscale", "-depth", "2", "-define", "png:bit-depth=2", "-define", "png:color-type=0", "PNG:"],
        "png-grey-4.png": ["-type", "grayscale", "-define", "png:bit-depth=4", "-define", "png:color-type=0", "PNG:"],
        "png-grey-8.png": ["-type", "grayscale", "-define", "png:bit-depth=8", "-define", "png:color-type=0", "PNG:"],
        "png-grey-16.png": ["-depth", "16", "-define", "png:bit-depth=16", "-define", "png:color-type=0", "PNG:"],
        "png-grey-alpha.png": ["-transparent", "white", "-define", "png:bit-depth=8", "-define", "png:color-type=4", "PNG:"],
        "png-palette.png": ["-type", "palette", "PNG8:"],
        "png-palette-trns.png": ["-transparent", "white", "-type", "palettealpha", "PNG8:"],
        "png-rgb.png": ["-type", "truecolor", "PNG24:"],
        "png-rgb-16.png": ["-type", "truecolor", "-depth", "16", "PNG48:"],
        "png-rgba.png": ["-transparent", "white", "PNG32:"],
        "png-rgba-16.png": ["-transparent", "white", "-depth", "16", "PNG64:"],
        "png-rgb-interlaced.png": ["-type", "truecolor", "-interlace", "PNG", "PNG24:"],
        "png-grey-interlaced.png": ["-type", "grayscale", "-interlace", "PNG", "-define", "png:color-type=0", "PNG:"],
        "jpg-baseline.jpg": ["-type", "truecolor", "-quality", "95", "JPEG:"],
        "jpg-420.jpg": ["-type", "truecolor", "-quality", "95", "-sampling-factor", "2x2", "JPEG:"],
        "jpg-progressive.jpg": ["-type", "truecolor", "-quality", "95", "-interlace", "JPEG", "JPEG:"],
        "jpg-grey.jpg": ["-type", "grayscale", "-quality", "95", "JPEG:"],
        "jpg-cmyk.jpg": ["-colorspace", "CMYK", "-quality", "95", "JPEG:"],
        "jpg-arithmetic.jpg": ["-type", "truecolor", "-quality", "95", "-define", "jpeg:arithmetic-coding=true", "JPEG:"],
        "ico-32.ico": ["ICO:"],
    }
    for name, args in variants.items():
        magick(src, *args[:-1], args[-1] + os.path.join(out, prefix + name))
    # A PNG-coded icon (ImageMagick codes 256 x 256 images as PNG) holding
    # the picture and a smaller bitmap image: the larger one is taken.
    if w == W:
        big = os.path.join(out, prefix + "big.png")
        magick(src, "-scale", "200%x400%", big)
        magick(big, "(", src, "-scale", "25%", ")", "ICO:" + os.path.join(out, prefix + "ico-png-256.ico"))
        os.remove(big)
    for name, data in {**handmade_bmps(rgb, w, h, True), **handmade_icons(rgb, w, h)}.items():
        with open(os.path.join(out, prefix + name), "wb") as f:
            f.write(data)
    os.remove(src)
    if w == W:  # the editor imports only .bmp, .jpg and .png names; icons go by content
        for name in os.listdir(out):
            if name.startswith(prefix + "ico-") and name.endswith(".ico"):
                os.replace(os.path.join(out, name), os.path.join(out, name + ".png"))


def colour_set(out, w, h):
    """A smooth colour picture in the colour formats, with ImageMagick's own
    decoding of each file beside it."""
    src = os.path.join(out, "colour-source.ppm")
    rgb = [((x * 255) // (w - 1), (y * 255) // (h - 1), ((x + y) * 97) % 256) for y in range(h) for x in range(w)]
    write_ppm(src, [v for c in rgb for v in c], w, h)
    variants = {
        "colour-bmp-24.bmp": ["BMP3:"],
        "colour-bmp-32.bmp": ["-type", "truecoloralpha", "BMP:"],
        "colour-bmp-8.bmp": ["-colors", "200", "-type", "palette", "-compress", "none", "BMP3:"],
        "colour-bmp-8-rle.bmp": ["-colors", "200", "-type", "palette", "-compress", "rle", "BMP3:"],
        "colour-png-grey.png": ["-colorspace", "gray", "-define", "png:color-type=0", "PNG:"],
        "colour-png-rgb.png": ["PNG24:"],
        "colour-png-16.png": ["-depth", "16", "PNG48:"],
        "colour-png-palette.png": ["-colors", "200", "PNG8:"],
        "colour-png-interlaced.png": ["-interlace", "PNG", "PNG24:"],
        "colour-jpg.jpg": ["-quality", "90", "JPEG:"],
        "colour-jpg-progressive.jpg": ["-quality", "90", "-interlace", "JPEG", "JPEG:"],
    }
    for name, args in variants.items():
        path = os.path.join(out, name)
        magick(src, *args[:-1], args[-1] + path)
        magick("-define", "jpeg:dct-method=islow", path, "-depth", "8", "RGB:" + path.rsplit(".", 1)[0] + ".rgb")
    # Alpha growing from left to right, shown on white.
    path = os.path.join(out, "colour-png-rgba.png")
    magick(src, "-alpha", "set", "-channel", "A", "-fx", "i/(w-1)", "+channel", "PNG32:" + path)
    magick(path, "-background", "white", "-alpha", "remove", "-depth", "8", "RGB:" + path[:-4] + ".rgb")
    for name, data in handmade_bmps(rgb, w, h, False).items():
        path = os.path.join(out, "colour-" + name)
        with open(path, "wb") as f:
            f.write(data)
        magick(path, "-depth", "8", "RGB:" + path.rsplit(".", 1)[0] + ".rgb")
    os.remove(src)


def main():
    if sys.argv[1] == "--seeds":
        root = sys.argv[2]
        tmp = os.path.join(root, ".make")
        os.makedirs(tmp, exist_ok=True)
        pattern_set(tmp, lambda x, y: (x * 3 + y * 5) % 7 < 3, 16, 8, "")
        targets = {"bmp": ".bmp", "ico": ".ico", "png": ".png", "jpeg": ".jpg"}
        for name in sorted(os.listdir(tmp)):
            for target, ext in targets.items():
                if name.endswith(ext):
                    os.makedirs(os.path.join(root, target), exist_ok=True)
                    os.replace(os.path.join(tmp, name), os.path.join(root, target, "seed-" + name))
        for name in os.listdir(tmp):
            os.remove(os.path.join(tmp, name))
        os.rmdir(tmp)
        return
    out = sys.argv[1]
    pattern_set(out, pattern_pixel, W, H, "pattern-")
    with open(os.path.join(out, "pattern.chr"), "wb") as f:
        f.write(chr_bytes(pattern_pixel))
    # Stretches: every lit pixel becomes a 2 x 2 block with one black pixel
    # in it (a mean of 191, still lit), at a varying corner; and a 128 x 128
    # picture with each row doubled.
    half = lambda x, y: pattern_pixel(x // 2, y // 2) and (x % 2, y % 2) == ((x // 2 + y // 2) % 2, (x // 2) % 2)
    src = os.path.join(out, "half.pbm")
    write_pbm(src, half, 2 * W, 2 * H)
    magick(src, "PNG:" + os.path.join(out, "stretch-256x128-quarter.png"))
    magick(src, "-type", "bilevel", "BMP3:" + os.path.join(out, "stretch-256x128-quarter-1bit.bmp"))
    write_pbm(src, lambda x, y: pattern_pixel(x, y // 2), W, 2 * H)
    magick(src, "PNG:" + os.path.join(out, "stretch-128x128.png"))
    os.remove(src)
    colour_set(out, 48, 24)


main()
