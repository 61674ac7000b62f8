"""Writes the manifest of the demo book for `tavelio-book pack`, with its scripts timed.

Usage: make_manifest.py BOOK_JSON TIMING_JSON ART_JSON FONT_TTF PICTURE_DIR MANIFEST

The book (book.json, story.txt) says what each page shows and says; this script adds what is
measured: the narration stretch of every page (timing.json), the size of every picture and clip
(art.json) and the page scripts, whose delays follow the narration and whose arrow positions
follow the handwriting font.

Scripts, with times in milliseconds counted from the start of the page's narration:
- "rhymes": mode 2; the words appear when the narrator starts the phrase that says them.
- "read_through": mode 1; step k shows the k-th group of PageKind lines when the narrator starts
  reading it, and the last delay lasts to the end of the page's narration.
- "arrow": mode 3; the arrow stands under each word of the ruled lines while it is spoken (or,
  with "spell", under each letter as it is spelled and then under the whole word), stays under
  the last one until its phrase has ended, and then hands over to rhymes (code 5) or to a
  read-through (code 4), or the script ends and the arrow goes.
"""

import json
import os
import re
import sys

from fontTools.ttLib import TTFont

# The ruled text lines of the viewer: a label at left 144, 497 pixels wide, its text centred in
# the handwriting face at 53 pixels; the arrow is a panel 25 pixels wide.
LINE_LEFT, LINE_WIDTH, FACE_PX, ARROW_WIDTH = 144, 497, 53, 25
LINE_ROOM = LINE_WIDTH - 16  # a line must stay this narrow, or the label would wrap it
HOLD_MS = 200                # the arrow stays under the last word this long after its phrase


class Face:
    """Advance widths of the handwriting font at the ruled lines' size."""

    def __init__(self, path):
        font = TTFont(path)
        self._cmap = font.getBestCmap()
        self._hmtx = font["hmtx"]
        self._scale = FACE_PX / font["head"].unitsPerEm

    def width(self, text):
        try:
            return sum(self._hmtx[self._cmap[ord(c)]][0] for c in text) * self._scale
        except KeyError as missing:
            sys.exit(f"the handwriting font has no glyph for {missing} in {text!r}")


def bare(word):
    return re.sub(r"[^a-z]", "", word.lower())


def arrow_targets(face, lines, spell):
    """(code, left, expected spoken word) for every arrow stop on the shown ruled lines."""
    targets = []
    for n, line in enumerate(lines):
        total = face.width(line)
        if total > LINE_ROOM:
            sys.exit(f"ruled line {line!r} is {total:.0f} pixels wide, more than {LINE_ROOM}")
        x0 = LINE_LEFT + (LINE_WIDTH - total) / 2
        for match in re.finditer(r"\S+", line):
            word = match.group()
            core = re.search(r"[A-Za-z']+", word)
            start = x0 + face.width(line[:match.start() + core.start()])
            stops = []
            if spell:
                for i, letter in enumerate(core.group()):
                    left = start + face.width(core.group()[:i])
                    stops.append((left + face.width(letter) / 2, letter))
            stops.append((start + face.width(core.group()) / 2, core.group()))
            for centre, expected in stops:
                targets.append((n + 1, round(centre - ARROW_WIDTH / 2), expected))
    return targets


def delays(times):
    """Whole-millisecond delays between successive moments, rounded on the moments themselves so
    that no rounding error adds up, and never 0 (a delay of 0 would stop the script)."""
    moments = [round(t) for t in times]
    return [max(1, b - a) for a, b in zip(moments, moments[1:])]


def onset(phrase):
    return phrase["words"][0]["at"]


def read_through_lines(timing, groups, start_at):
    """Delay before step 1 (counted from start_at), then the delay after every step."""
    starts = [onset(timing["phrases"][g]) for g in groups]
    return delays([start_at] + starts + [timing["length"]])


def make_script(page, timing, face, lines):
    plan = page.get("script")
    if not plan:
        return " "
    phrases = timing["phrases"]
    if "rhymes" in plan:
        return ["2", str(delays([0, onset(phrases[plan["rhymes"]])])[0])] + plan["words"]
    if plan.get("read_through") == "story":
        return ["1"] + [str(d) for d in read_through_lines(timing, range(1, len(phrases)), 0)]
    targets = arrow_targets(face, lines[:page["PageKind"]], plan.get("spell", False))
    words = [w for p in plan["arrow"] for w in phrases[p]["words"]]
    if [bare(t[2]) for t in targets] != [bare(w["text"]) for w in words]:
        sys.exit(f"page {page['PageNo']}: the arrow stops {[t[2] for t in targets]} do not match the "
                 f"spoken words {[w['text'] for w in words]}")
    handover = phrases[plan["arrow"][-1]]["end"] + HOLD_MS
    moments = [0] + [w["at"] for w in words] + [handover]
    steps = delays(moments)
    script = ["3", str(steps[0])]
    for (code, left, _), delay in zip(targets, steps[1:]):
        script += [str(code), str(left), str(delay)]
    then = plan.get("then")
    if then and "rhymes" in then:
        script += ["5", str(delays([handover, onset(phrases[then["rhymes"]])])[0])] + then["words"]
    elif then and "read_through" in then:
        script += ["4"] + [str(d) for d in read_through_lines(timing, then["read_through"], handover)]
    return script


def story_lines(book_dir, page):
    with open(os.path.join(book_dir, page["story"]), encoding="utf-8") as f:
        paragraphs = [p.split("\n") for p in f.read().strip().split("\n\n")]
    for p in paragraphs:
        if len(p) != page["PageKind"]:
            sys.exit(f"every paragraph of {page['story']} must have {page['PageKind']} lines: {p}")
    return [line.strip() for p in paragraphs for line in p]


def main():
    book_path, timing_path, art_path, font_path, picture_dir, manifest_path = sys.argv[1:7]
    book_dir = os.path.dirname(os.path.abspath(book_path))
    with open(book_path, encoding="utf-8") as f:
        book = json.load(f)
    with open(timing_path, encoding="utf-8") as f:
        timings = {t["PageNo"]: t for t in json.load(f)["pages"]}
    with open(art_path, encoding="utf-8") as f:
        art = json.load(f)
    face = Face(font_path)
    here = os.path.dirname(os.path.abspath(manifest_path))

    pages = []
    for page in book["pages"]:
        number = page["PageNo"]
        timing = timings[number]
        lines = story_lines(book_dir, page) if "story" in page else page["text"]
        if 1 <= page["PageKind"] <= 3:  # any line may come onto a ruled line in a read-through
            for line in lines:
                if face.width(line) > LINE_ROOM:
                    sys.exit(f"page {number}: ruled line {line!r} is {face.width(line):.0f} pixels wide, "
                             f"more than {LINE_ROOM}")
        record = {
            "BookNo": book["BookNo"], "PageNo": number, "Letter": book["Letter"], "Title": book["Title"],
            "InstructionText": page["instructions"],
            "AniFile": page.get("clip", "None"),
            "PageText": lines,
            "SpeechStart": timing["SpeechStart"], "SpeechEnd": timing["SpeechEnd"],
            "PageKind": page["PageKind"],
            "PromptText": page.get("prompt") or " ",
            "ScriptText": make_script(page, timing, face, lines),
        }
        width = height = 0
        if "picture" in page:
            picture = art["pictures"][page["picture"]]
            path = os.path.join(picture_dir, f"{page['picture']}.{picture['format']}")
            record["picture"] = os.path.relpath(os.path.abspath(path), here)
            width, height = picture["width"], picture["height"]
        else:
            record["PicType"] = "NA"
        if "clip" in page:
            clip = art["clips"][page["clip"]]
            width, height = clip["width"], clip["height"]
        record["MediaWidth"], record["MediaHeight"] = width, height
        pages.append(record)

    manifest = {"font": os.path.relpath(os.path.abspath(font_path), here), "pages": pages}
    with open(manifest_path, "w", encoding="utf-8") as f:
        json.dump(manifest, f, indent=2, ensure_ascii=False)
        f.write("\n")


if __name__ == "__main__":
    main()
