"""Makes the handwriting font of the demo book from Andika (SIL Open Font License).

Usage: build_font.py ANDIKA_TTF OUT_TTF

Steps:
1. Subset with fontTools.subset: printable ASCII and the Latin-1 letters, no hinting, no layout
   features, and the name records 0 to 14 (so the copyright, the licence text and its address
   stay in the name table).
2. Rename: the licence reserves the name "Andika" for the original, so the modified font is
   called "Zaner-Bloser Manuscript" (name IDs 1, 4 and 16, PostScript name
   ZanerBloserManuscript), the name under which the viewer asks for its handwriting face.
3. Fit the letters to the ruled writing lines. A ruled text line is 71 pixels high and its face
   is 53 pixels; the rules lie 13 (top), 28 (dotted middle) and 48 (base) pixels under the top of
   the line. The em is enlarged to 2424 units, so that at 53 pixels Andika's ascenders (1600
   units) reach the top rule and its x-height (1040) comes close to the dotted rule, and the
   ascent is set to 48/53 em, so that text drawn from the top of its line stands on the base
   rule; the descent fills the rest of the 71 pixels. The same values go to hhea, the typographic
   metrics (used first, fsSelection bit 7) and the Windows metrics.

The result must fit the database's font block (52,416 bytes); the script fails if it does not.
"""

import os
import subprocess
import sys

from fontTools.ttLib import TTFont

FONT_BLOCK = 52416
FAMILY = "Zaner-Bloser Manuscript"
POSTSCRIPT = "ZanerBloserManuscript"
UNICODES = "U+0020-007E,U+00C0-00D6,U+00D8-00F6,U+00F8-00FF"

UNITS_PER_EM = 2424
LINE_EM_PX = 53
BASE_RULE_PX = 48
LINE_HEIGHT_PX = 71


def subset(source, target):
    subprocess.run([sys.executable, "-m", "fontTools.subset", source, f"--unicodes={UNICODES}",
                    "--no-hinting", "--layout-features=", "--name-IDs=0,1,2,3,4,5,6,7,8,9,10,11,12,13,14",
                    "--name-languages=*", "--drop-tables+=Silt", f"--output-file={target}"],
                   check=True)


def rename(font):
    name = font["name"]
    version = name.getDebugName(5) or "Version 1.0"
    records = {
        1: FAMILY,
        2: "Regular",
        3: f"Tavelio: {FAMILY} Regular: {version}",
        4: FAMILY,
        6: POSTSCRIPT,
        10: ("Handwriting face of the Tavelio demo book: a subset of Andika by SIL International, "
             "renamed and fitted to the ruled writing lines."),
        16: FAMILY,
        17: "Regular",
    }
    for record in list(name.names):
        if record.nameID in records:
            name.removeNames(nameID=record.nameID)
    for name_id, text in records.items():
        name.setName(text, name_id, 3, 1, 0x409)


def fit_to_rules(font):
    head, hhea, os2 = font["head"], font["hhea"], font["OS/2"]
    head.unitsPerEm = UNITS_PER_EM
    ascent = round(BASE_RULE_PX / LINE_EM_PX * UNITS_PER_EM)
    descent = round((LINE_HEIGHT_PX - BASE_RULE_PX) / LINE_EM_PX * UNITS_PER_EM)
    hhea.ascent, hhea.descent, hhea.lineGap = ascent, -descent, 0
    os2.sTypoAscender, os2.sTypoDescender, os2.sTypoLineGap = ascent, -descent, 0
    os2.usWinAscent, os2.usWinDescent = ascent, descent
    os2.fsSelection |= 1 << 7  # use the typographic metrics


def main():
    source, target = sys.argv[1], sys.argv[2]
    part = target + ".part"  # the target appears only when it is complete and fits
    subset(source, part)
    font = TTFont(part, recalcTimestamp=False)  # the same sources give the same bytes
    rename(font)
    fit_to_rules(font)
    font.save(part)
    size = os.path.getsize(part)
    if size > FONT_BLOCK:
        os.remove(part)
        sys.exit(f"{target}: {size} bytes do not fit the font block of {FONT_BLOCK} bytes")
    os.replace(part, target)


if __name__ == "__main__":
    main()
