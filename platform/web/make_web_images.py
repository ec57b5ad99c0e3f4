#!/usr/bin/env python3
"""Turns the pixel maps of resources/art/ into web_images.cpp, the table of
stored images the browser backend draws on canvases (the page may not load
pictures from data: addresses, so their pixels travel inside the module).

    make_web_images.py OUT_CPP IDS_H ART_FILE...

The art files are read by resources/make_images.py, so both backends show
the same pixels under the same image numbers; the program icon, which has
none, is kProgramIcon.
"""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "resources"))
import make_images  # noqa: E402

PROGRAM_ICON = -2  # kProgramIcon of web_images.h


def pixels_name(n):
    return "kProgramIconPixels" if n == PROGRAM_ICON else f"kPixels{n}"


def rgba_bytes(rows):
    out = []
    for row in rows:
        for p in row:
            out += [0, 0, 0, 0] if p is None else [p[0], p[1], p[2], 255]
    return out


def main(argv):
    if len(argv) < 4:
        sys.exit(__doc__)
    out_path = argv[1]
    images = {name: n for name, n in make_images.read_numbers(argv[2]).items() if name.startswith("kImage")}
    pictures = []  # (number, rows)
    for path in argv[3:]:
        art = make_images.read_art(path)
        if "text" in art:
            rows = make_images.pixels_of_text(art)
            pictures.append((images[art["image"]], rows))
            if "stretched" in art:
                other, w, h = art["stretched"]
                pictures.append((images[other], make_images.stretch(rows, w, h)))
            continue
        if art["image"] == "program":
            pictures.append((PROGRAM_ICON, make_images.pixels_of_map(art)))
            continue
        pictures.append((images[art["image"]], make_images.pixels_of_map(art)))
    pictures.sort()
    lines = ["// Made by make_web_images.py from resources/art/ and the image numbers of app/ids.h.",
             '#include "platform/web/web_images.h"', "",
             "namespace lumetra::platform::web {", ""]
    for n, rows in pictures:
        data = rgba_bytes(rows)
        lines.append(f"static const unsigned char {pixels_name(n)}[] = {{")
        for i in range(0, len(data), 24):
            lines.append("    " + ",".join(str(b) for b in data[i:i + 24]) + ",")
        lines.append("};")
    lines.append("")
    lines.append("const StoredImage kStoredImages[] = {")
    for n, rows in pictures:
        lines.append(f"    {{{n}, {len(rows[0])}, {len(rows)}, {pixels_name(n)}}},")
    lines.append("};")
    lines.append(f"const int kStoredImageCount = {len(pictures)};")
    lines.append("")
    lines.append("}  // namespace lumetra::platform::web")
    os.makedirs(os.path.dirname(out_path) or ".", exist_ok=True)
    with open(out_path, "w", encoding="ascii", newline="\n") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    try:
        main(sys.argv)
    except make_images.ArtError as e:
        sys.exit(f"make_web_images: {e}")
