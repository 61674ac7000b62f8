"""Makes the kite book's picture files from the drawings, in the formats and sizes a teacher
would bring: photos from a phone, a PNG, a GIF, a BMP and an SVG.

Usage: make_pictures.py ART_DIR PICTURE_DIR

ART_DIR holds the drawings and art.json that draw_pictures.py wrote. rsvg-convert draws each at
the picture's size and ImageMagick (/usr/bin/convert) writes it as the file art.json asks for:

- jpg: a phone camera's JPEG (quality 92); "sideways" stores it turned a quarter left with an
  EXIF orientation tag that tells a viewer to turn it back (6: turn a quarter right), as phones
  do. ImageMagick writes no EXIF block of its own, so the tag is put in here;
- png: with its transparency kept ("transparent"), or flattened on white;
- gif: 256 colours on white; bmp: 24-bit uncompressed on white;
- svg: the drawing itself, for make to draw.
"""

import json
import os
import shutil
import struct
import subprocess
import sys

CONVERT = "/usr/bin/convert"  # ImageMagick from Debian, whatever else comes first on PATH
FLAT = ["-background", "white", "-flatten"]


def run(*command):
    subprocess.run(command, check=True)


def tag_sideways(jpeg):
    """Puts an EXIF block holding only Orientation 6 right after the JPEG's start marker."""
    entry = struct.pack(">HHIHH", 0x0112, 3, 1, 6, 0)  # Orientation, SHORT, one value: 6
    tiff = b"MM\0*" + struct.pack(">I", 8) + struct.pack(">H", 1) + entry + struct.pack(">I", 0)
    exif = b"Exif\0\0" + tiff
    with open(jpeg, "rb") as f:
        data = f.read()
    with open(jpeg, "wb") as f:
        f.write(data[:2] + b"\xff\xe1" + struct.pack(">H", len(exif) + 2) + exif + data[2:])


def main():
    art_dir, picture_dir = sys.argv[1:3]
    with open(os.path.join(art_dir, "art.json"), encoding="utf-8") as f:
        art = json.load(f)
    os.makedirs(picture_dir, exist_ok=True)
    for name, picture in art.items():
        svg = os.path.join(art_dir, name + ".svg")
        target = os.path.join(picture_dir, f"{name}.{picture['format']}")
        if picture["format"] == "svg":
            shutil.copyfile(svg, target)
            continue
        width, height = picture["size"]
        png = os.path.join(art_dir, name + ".png")
        run("rsvg-convert", "--format=png", "--width", str(width), "--height", str(height), "--output", png, svg)
        if picture["format"] == "jpg":
            turn = ["-rotate", "-90"] if picture.get("sideways") else []
            run(CONVERT, png, *FLAT, *turn, "-quality", "92", target)
            if picture.get("sideways"):
                tag_sideways(target)
        elif picture["format"] == "png":
            run(CONVERT, png, *([] if picture.get("transparent") else FLAT), target)
        elif picture["format"] == "gif":
            run(CONVERT, png, *FLAT, "-colors", "256", target)
        elif picture["format"] == "bmp":
            run(CONVERT, png, *FLAT, "-type", "TrueColor", "BMP3:" + target)
        else:
            sys.exit(f"{name}: no way to make a .{picture['format']} picture")
        os.remove(png)


if __name__ == "__main__":
    main()
