"""Rasterises the drawings that draw_pictures.py wrote and makes the page pictures and clips.

Usage: render_art.py ART_DIR PICTURE_DIR CLIP_DIR METAFILE_TOOL

- Pictures: rsvg-convert draws each SVG at its own size; ImageMagick turns it into a baseline
  JPEG (4:2:0, quality 90) or an uncompressed 24-bit BMP, as art.json asks. A metafile (WMF or
  EMF) is drawn from the SVG itself by METAFILE_TOOL (tavelio-metafile), as shapes and letter
  outlines in solid colours.
- Clips: rsvg-convert draws every frame; GStreamer encodes the frames as Motion-JPEG video in an
  AVI file at the clip's frame rate.
"""

import json
import os
import subprocess
import sys

CONVERT = "/usr/bin/convert"  # ImageMagick from Debian, whatever else comes first on PATH


def run(*command):
    subprocess.run(command, check=True)


def render(svg, png):
    run("rsvg-convert", "--format=png", "--output", png, svg)


def main():
    art_dir, picture_dir, clip_dir, metafile_tool = sys.argv[1:5]
    with open(os.path.join(art_dir, "art.json"), encoding="utf-8") as f:
        art = json.load(f)
    os.makedirs(picture_dir, exist_ok=True)
    os.makedirs(clip_dir, exist_ok=True)

    for name, picture in art["pictures"].items():
        svg = os.path.join(art_dir, "pictures", name + ".svg")
        target = os.path.join(picture_dir, f"{name}.{picture['format']}")
        if picture["format"] in ("wmf", "emf"):
            run(metafile_tool, svg, target)
            continue
        png = os.path.join(picture_dir, name + ".png")
        render(svg, png)
        flat = ["-background", "white", "-flatten", "-strip"]
        if picture["format"] == "jpg":
            run(CONVERT, png, *flat, "-quality", "90", "-sampling-factor", "2x2", "-interlace", "none", target)
        elif picture["format"] == "bmp":
            run(CONVERT, png, *flat, "-type", "TrueColor", "BMP3:" + target)
        else:
            sys.exit(f"{name}: no way to make a .{picture['format']} picture")
        os.remove(png)

    for name, clip in art["clips"].items():
        folder = os.path.join(art_dir, clip["folder"])
        for i in range(clip["frames"]):
            render(os.path.join(folder, f"{i:03d}.svg"), os.path.join(folder, f"{i:03d}.png"))
        run("gst-launch-1.0", "-q", "imagesequencesrc", f"location={folder}/%03d.png", "start-index=0",
            f"stop-index={clip['frames'] - 1}", f"framerate={clip['fps']}/1", "!", "pngdec", "!",
            "videoconvert", "!", "video/x-raw,format=I420", "!", "jpegenc", "quality=90", "!", "avimux", "!",
            "filesink", f"location={os.path.join(clip_dir, name)}")


if __name__ == "__main__":
    main()
