#!/usr/bin/env python3
"""Turns the pixel maps of resources/art/ into the .ico and .bmp files that
lumetra.rc compiles into the program, and images.rc, the lines of lumetra.rc
that name them.

    make_images.py OUT_DIR IDS_H BACKEND_H ART_FILE...

An art file names its image by its name in IDS_H (kImageNew; "program" is the
program icon), its size and colour depth, a palette of one-letter colours
("none" is transparent) and then either a map (one text row per pixel row)
or, for the About picture, a text in a small dot font. The image numbers are
read from IDS_H and the resource numbers (kImageResourceBase + image number,
kProgramIconResource) from BACKEND_H, so the numbers stand in one place.
Icons come out as image_<n>.ico (program.ico for the program icon), pictures
as image_<n>.bmp.
"""

import os
import re
import struct
import sys


class ArtError(Exception):
    pass


def read_art(path):
    art = {"colours": {}, "map": [], "glyphs": {}, "path": path}
    section = None
    glyph = None
    with open(path, encoding="utf-8") as f:
        for number, raw in enumerate(f, 1):
            line = raw.rstrip("\n")
            if section == "map":
                if line:
                    art["map"].append(line)
                continue
            if section == "glyph" and line and not line.startswith("glyph"):
                art["glyphs"][glyph].append(line)
                continue
            if not line or line.startswith("# ") or line == "#":
                continue
            words = line.split()
            key = words[0]
            if key == "image":
                art["image"] = words[1]
            elif key == "size":
                art["width"], art["height"] = int(words[1]), int(words[2])
            elif key == "bits":
                art["bits"] = int(words[1])
            elif key == "colour":
                art["colours"][words[1]] = None if words[2] == "none" else tuple(
                    int(words[2][i:i + 2], 16) for i in (0, 2, 4))
            elif key == "map":
                section = "map"
            elif key == "text":
                art["text"] = words[1]
            elif key == "scale":
                art["scale"] = int(words[1])
            elif key == "stretched":
                art["stretched"] = (words[1], int(words[2]), int(words[3]))
            elif key == "glyph":
                section, glyph = "glyph", words[1]
                art["glyphs"][glyph] = []
            else:
                raise ArtError(f"{path}:{number}: unknown line {line!r}")
    return art


def pixels_of_map(art):
    """Rows of (r, g, b) or None for transparent."""
    rows = art["map"]
    if len(rows) != art["height"]:
        raise ArtError(f"{art['path']}: {len(rows)} rows, expected {art['height']}")
    out = []
    for y, row in enumerate(rows):
        if len(row) != art["width"]:
            raise ArtError(f"{art['path']}: row {y} has {len(row)} pixels, expected {art['width']}")
        try:
            out.append([art["colours"][c] for c in row])
        except KeyError as e:
            raise ArtError(f"{art['path']}: row {y}: colour {e} not in the palette")
    return out


def pixels_of_text(art):
    """The About picture: the text in dot-font letters on an LCD glass."""
    w, h, scale = art["width"], art["height"], art["scale"]
    c = art["colours"]
    try:
        glyphs = [art["glyphs"][letter] for letter in art["text"]]
    except KeyError as e:
        raise ArtError(f"{art['path']}: letter {e} has no glyph")
    glyph_w = len(glyphs[0][0])
    glyph_h = len(glyphs[0])
    text_w = (len(glyphs) * (glyph_w + 1) - 1) * scale
    text_h = glyph_h * scale
    left, top = (w - text_w) // 2, (h - text_h) // 2
    rows = [[c["glass"] if (x % 3 and y % 3) else c["grid"] for x in range(w)] for y in range(h)]
    for i, glyph in enumerate(glyphs):
        for gy, line in enumerate(glyph):
            for gx, mark in enumerate(line):
                if mark != "#":
                    continue
                x0 = left + (i * (glyph_w + 1) + gx) * scale
                y0 = top + gy * scale
                for dy in range(scale):
                    for dx in range(scale):
                        lit = dx < scale - 1 and dy < scale - 1
                        rows[y0 + dy][x0 + dx] = c["ink"] if lit else c["gap"]
    for x in range(w):
        rows[0][x] = rows[h - 1][x] = c["frame"]
    for y in range(h):
        rows[y][0] = rows[y][w - 1] = c["frame"]
    return rows


def stretch(rows, new_w, new_h):
    """Area-averaging stretch: each target pixel is the mean of the source
    area it covers, weighted by how much of each source pixel it covers."""
    old_h, old_w = len(rows), len(rows[0])
    out = []
    for ty in range(new_h):
        y0, y1 = ty * old_h / new_h, (ty + 1) * old_h / new_h
        line = []
        for tx in range(new_w):
            x0, x1 = tx * old_w / new_w, (tx + 1) * old_w / new_w
            total = [0.0, 0.0, 0.0]
            area = 0.0
            sy = int(y0)
            while sy < y1 and sy < old_h:
                wy = min(y1, sy + 1) - max(y0, sy)
                sx = int(x0)
                while sx < x1 and sx < old_w:
                    wx = min(x1, sx + 1) - max(x0, sx)
                    for k in range(3):
                        total[k] += rows[sy][sx][k] * wx * wy
                    area += wx * wy
                    sx += 1
                sy += 1
            line.append(tuple(int(round(t / area)) for t in total))
        out.append(line)
    return out


def row_stride(width, bits):
    return ((width * bits + 31) // 32) * 4


def pack_indices(indices, bits):
    out = bytearray()
    per_byte = 8 // bits
    for i in range(0, len(indices), per_byte):
        value = 0
        for k in range(per_byte):
            index = indices[i + k] if i + k < len(indices) else 0
            value |= index << (8 - bits * (k + 1))
        out.append(value)
    return bytes(out)


def icon_image(rows, bits):
    """One icon image: BITMAPINFOHEADER, palette, colour rows, mask rows."""
    h, w = len(rows), len(rows[0])
    palette = []
    if bits <= 8:
        for row in rows:
            for p in row:
                if p is not None and p not in palette:
                    palette.append(p)
        if len(palette) > (1 << bits):
            raise ArtError(f"{len(palette)} colours do not fit in {bits} bits")
        if not palette or (0, 0, 0) not in palette:
            palette.insert(0, (0, 0, 0))  # transparent pixels are black under the mask
        palette += [(0, 0, 0)] * ((1 << bits) - len(palette))
    colour = bytearray()
    for row in reversed(rows):
        if bits <= 8:
            line = pack_indices([palette.index(p if p is not None else (0, 0, 0)) for p in row], bits)
        else:
            line = b"".join(bytes((p[2], p[1], p[0])) if p else b"\0\0\0" for p in row)
        colour += line + b"\0" * (row_stride(w, bits) - len(line))
    mask = bytearray()
    for row in reversed(rows):
        line = pack_indices([1 if p is None else 0 for p in row], 1)
        mask += line + b"\0" * (row_stride(w, 1) - len(line))
    header = struct.pack("<IiiHHIIiiII", 40, w, 2 * h, 1, bits, 0, len(colour) + len(mask), 0, 0,
                         len(palette), 0)
    table = b"".join(bytes((b, g, r, 0)) for (r, g, b) in palette)
    return header + table + bytes(colour) + bytes(mask), len(palette)


def write_ico(path, rows, bits):
    data, colours = icon_image(rows, bits)
    h, w = len(rows), len(rows[0])
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", w % 256, h % 256, colours % 256, 0, 1, bits, len(data), 6 + 16)
    with open(path, "wb") as f:
        f.write(directory + entry + data)


def write_bmp(path, rows):
    h, w = len(rows), len(rows[0])
    stride = row_stride(w, 24)
    pixels = bytearray()
    for row in reversed(rows):
        line = b"".join(bytes((p[2], p[1], p[0])) for p in row)
        pixels += line + b"\0" * (stride - len(line))
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    head = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    with open(path, "wb") as f:
        f.write(head + info + pixels)


def read_numbers(path):
    """The "constexpr int kName = 123;" lines of a header."""
    with open(path, encoding="utf-8") as f:
        return {m.group(1): int(m.group(2))
                for m in re.finditer(r"constexpr int (k\w+) = (\d+);", f.read())}


def main(argv):
    if len(argv) < 5:
        sys.exit(__doc__)
    out_dir = argv[1]
    images = {name: n for name, n in read_numbers(argv[2]).items() if name.startswith("kImage")}
    backend = read_numbers(argv[3])
    base = backend["kImageResourceBase"]

    def number_of(art, name):
        if name not in images:
            raise ArtError(f"{art['path']}: {name} is not an image of {argv[2]}")
        return images.pop(name)

    os.makedirs(out_dir, exist_ok=True)
    icons, pictures = [f'{backend["kProgramIconResource"]} ICON "program.ico"'], []
    for path in argv[4:]:
        art = read_art(path)
        if "text" in art:
            rows = pixels_of_text(art)
            shown = [(number_of(art, art["image"]), rows)]
            if "stretched" in art:
                other, w, h = art["stretched"]
                shown.append((number_of(art, other), stretch(rows, w, h)))
            for n, picture in shown:
                write_bmp(os.path.join(out_dir, f"image_{n}.bmp"), picture)
                pictures.append(f'{base + n} BITMAP "image_{n}.bmp"')
            continue
        rows = pixels_of_map(art)
        if art["image"] == "program":
            write_ico(os.path.join(out_dir, "program.ico"), rows, art["bits"])
            continue
        n = number_of(art, art["image"])
        write_ico(os.path.join(out_dir, f"image_{n}.ico"), rows, art["bits"])
        icons.append(f'{base + n} ICON "image_{n}.ico"')
    if images:
        raise ArtError(f"no art for {', '.join(sorted(images))}")
    lines = ["// Made by make_images.py from resources/art/ and the image numbers of app/ids.h."]
    lines += sorted(icons, key=lambda l: int(l.split()[0])) + [""]
    lines += sorted(pictures, key=lambda l: int(l.split()[0]))
    with open(os.path.join(out_dir, "images.rc"), "w", encoding="ascii", newline="\n") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    try:
        main(sys.argv)
    except ArtError as e:
        sys.exit(f"make_images: {e}")
