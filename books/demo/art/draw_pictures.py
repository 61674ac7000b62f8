"""Writes the demo book's illustrations and the frames of its two clips as SVG files.

Usage: draw_pictures.py OUTDIR

OUTDIR/pictures/NAME.svg   one picture per page that has one
OUTDIR/frames/CLIP/NNN.svg the frames of each clip, numbered from 000
OUTDIR/art.json            what was drawn: for every picture its file format and size, for every
                           clip its size, frame count and frame rate (the build rasterises from it
                           and takes the record sizes from it)
"""

import json
import math
import os
import sys

import garden as g

FPS = 15


def garden_backdrop(w, h, top, sun_at=None, fence_on=True, clouds=()):
    out = [g.sky(w, h)]
    if sun_at:
        out.append(g.sun(*sun_at))
    for c in clouds:
        out.append(g.cloud(*c))
    if fence_on:
        out.append(g.fence(-4, w + 4, top - 44, top + 4))
    out.append(g.ground(w, h, top))
    return "".join(out)


# --- pictures -------------------------------------------------------------------------------

def cover():
    w, h = 493, 432
    body = [garden_backdrop(w, h, 300, sun_at=(62, 146, 24), clouds=[(196, 128, 1.2), (470, 150, 0.9)])]
    body.append(g.tufts([(30, 330), (150, 322), (260, 340), (455, 330), (380, 400), (60, 398)]))
    body.append(g.flowers([(48, 360), (210, 392), (446, 372), (120, 412), (330, 418)]))
    body.append(g.bed(250, 332, 200, 18))
    body.append(g.sunflower(380, 330, 190, 40))
    body.append(g.sprout(300, 326, 34, 1.0))
    body.append(g.mound(300, 330, 46))
    body.append(g.seed_packet(268, 388, 14, 1.2))
    body.append(g.ann(170, 400, 2.1, "hold", "joy"))
    hx, hy = g.hand_of(170, 400, 2.1, "hold")
    body.append(g.seed(hx + 2, hy - 26, 1.9, 8))
    body.append(g.sparkle(hx - 18, hy - 40, 8) + g.sparkle(hx + 22, hy - 34, 6) + g.sparkle(hx + 6, hy - 56, 5))
    # title on a ribbon of paper
    body.append('<path d="M40 22 H453 Q466 22 466 35 V83 Q466 96 453 96 H40 Q27 96 27 83 V35 Q27 22 40 22 Z" '
                'fill="url(#paper)" stroke="#e0a33a" stroke-width="3"/>')
    body.append('<text x="246.5" y="76" font-family="Andika" font-weight="bold" font-size="44" '
                'text-anchor="middle" fill="#1f3b82">Ann and the Seed</text>')
    body.append('<g font-family="Andika" font-weight="bold" font-size="17" text-anchor="middle">'
                '<rect x="340" y="392" width="130" height="28" rx="14" fill="#1f3b82"/>'
                '<text x="405" y="412" fill="#fff">Level A · Book 1</text></g>')
    body.append(f'<rect x="2" y="2" width="{w - 4}" height="{h - 4}" rx="10" fill="none" stroke="#2f6fb0" '
                f'stroke-width="4"/>')
    return w, h, "".join(body)


def has_seed():
    w, h = 315, 225
    body = [garden_backdrop(w, h, 168, sun_at=(282, 40, 16), clouds=[(60, 40, 0.9), (200, 30, 0.7)])]
    body.append(g.bed(170, 196, 130, 12))
    body.append(g.tufts([(20, 190), (140, 210), (290, 214)]))
    body.append(g.flowers([(30, 208), (110, 216), (298, 196)]))
    body.append(g.seed_packet(262, 190, 10, 1.0))
    body.append(g.ann(108, 214, 1.5, "hold", "joy"))
    hx, hy = g.hand_of(108, 214, 1.5, "hold")
    body.append(g.seed(hx + 1, hy - 18, 1.4, 6))
    body.append(g.sparkle(hx - 14, hy - 30, 6) + g.sparkle(hx + 16, hy - 26, 5) + g.sparkle(hx + 4, hy - 44, 4))
    return w, h, "".join(body)


def digs_hole():
    w, h = 400, 300
    body = [garden_backdrop(w, h, 200, sun_at=(352, 52, 20), clouds=[(70, 50, 1.1), (240, 40, 0.8)])]
    body.append(g.tufts([(24, 250), (330, 286), (190, 292), (370, 236)]))
    body.append(g.flowers([(40, 276), (360, 262), (120, 290)]))
    body.append(g.bed(180, 244, 200, 14))
    body.append(g.soil_pile(320, 246, 56))
    body.append(g.spade(338, 236, 18))
    body.append(g.hole(236, 246, 50))
    body.append(g.ann(140, 282, 1.75, "drop", "smile", "down"))
    hx, hy = g.hand_of(140, 282, 1.75, "drop")
    # the seed on its way into the hole, with motion dashes
    body.append(g.seed(234, hy + 44, 1.4, 10))
    body.append(f'<g stroke="#7a5a3a" stroke-width="2" stroke-linecap="round" opacity="0.6">'
                f'<path d="M226 {hy + 14} v10"/><path d="M234 {hy + 10} v12"/><path d="M242 {hy + 14} v10"/></g>')
    body.append('<path d="M190 262 q8 -8 16 0 M288 262 q8 -8 16 0" fill="none" stroke="#6b3f1f" '
                'stroke-width="2" stroke-linecap="round"/>')
    return w, h, "".join(body)


def watering_scene(w, h, t, still=False):
    """Ann waters the mound; t in [0,1) is the phase of the clip."""
    top = h - 57
    body = [garden_backdrop(w, h, top, sun_at=(282, 40, 16), clouds=[(50 + 8 * t, 42, 0.9), (200 + 5 * t, 28, 0.7)])]
    body.append(g.tufts([(20, top + 22), (150, top + 44), (290, top + 46)]))
    body.append(g.flowers([(30, top + 40), (300, top + 28)]))
    wet = 0.6 if still else 0.25 + 0.5 * t
    body.append(g.mound(222, top + 34, 64, wet))
    tilt = 10 + 8 * math.sin(2 * math.pi * t) if not still else 14
    ax, ay, s = 96, h - 12, 1.45
    hx, hy = g.hand_of(ax, ay, s, "water")
    cs = s * 0.85
    can = f'<g transform="translate({hx} {hy}) scale({cs})">{g.watering_can(tilt)}</g>'
    body.append(g.ann(ax, ay, s, "water", "smile", "right"))
    body.append(can)
    sx, sy = g.can_spout(tilt)
    sx, sy = hx + sx * cs, hy + sy * cs
    tx, ty = 222, top + 28
    drops = []
    for k in range(6):
        f = (k / 6 + (0 if still else t * 2)) % 1.0
        x = sx + (tx - sx) * f + 6 * math.sin(k * 1.7)
        y = sy + (ty - sy) * f + 18 * f * f
        drops.append(g.drop(x, y, 1.1 + 0.2 * (k % 2)))
    body.extend(drops)
    # splash where the drops land
    if not still:
        r = 4 + 10 * ((t * 2) % 1.0)
        body.append(f'<ellipse cx="{tx}" cy="{ty + 2}" rx="{r:.1f}" ry="{r / 3:.1f}" fill="none" '
                    f'stroke="#8ccbff" stroke-width="1.5" opacity="{1 - (t * 2) % 1.0:.2f}"/>')
    return "".join(body)


def waters():
    return 315, 225, watering_scene(315, 225, 0.0, still=True)


def sprout_scene(w, h, growth, wiggle=0.0, sparkles=0.0):
    """The shoot comes up out of the mound; growth in [0,1] is how far it has come."""
    top = h - 62
    body = [garden_backdrop(w, h, top, sun_at=(278, 44, 17), clouds=[(60, 44, 0.9), (196, 70, 0.7)])]
    body.append(g.tufts([(18, top + 30), (150, top + 50), (292, top + 48)]))
    body.append(g.flowers([(26, top + 46), (302, top + 30)]))
    mx, my = 216, top + 38
    body.append(g.mound(mx, my, 72, 0.4))
    stem = 52 * max(0.0, min(1.0, (growth - 0.12) / 0.88))
    openness = max(0.0, min(1.0, (growth - 0.55) / 0.45))
    if growth > 0.02:
        crack = min(1.0, growth / 0.12)
        body.append(f'<path d="M{mx - 9 * crack:.1f} {my - 5} L{mx - 3} {my - 8} L{mx + 2} {my - 4} '
                    f'L{mx + 8 * crack:.1f} {my - 7}" fill="none" stroke="#4d2c14" stroke-width="1.6"/>')
    body.append(g.sprout(mx, my - 4, stem, openness, wiggle))
    for k in range(3):
        if sparkles > 0:
            a = sparkles * 2 * math.pi + k * 2.1
            body.append(g.sparkle(mx + 34 * math.cos(a), my - stem - 10 + 22 * math.sin(a), 4 + 2 * (k % 2)))
    expression = "oh" if growth < 0.9 else "joy"
    body.append(g.ann(92, h - 10, 1.45, "down", expression, "right"))
    return "".join(body)


def shoot():
    return 315, 225, sprout_scene(315, 225, 1.0, 0.0, 0.15)


def pulls_weed():
    w, h = 315, 225
    top = 168
    body = [garden_backdrop(w, h, top, sun_at=(282, 40, 16), clouds=[(70, 36, 0.9)])]
    body.append(g.tufts([(20, 192), (140, 212), (296, 212)]))
    body.append(g.mound(252, 204, 60, 0.3))
    body.append(g.sprout(252, 200, 46, 1.0))
    ax, ay, s = 104, 214, 1.45
    hx, hy = g.hand_of(ax, ay, s, "pull")
    body.append(g.ann(ax, ay, s, "pull", "effort", "down", lean=-6))
    body.append(g.weed(hx + 6, hy + 4, 1.3, 14))
    body.append(g.hole(hx + 26, 206, 22))
    # crumbs of soil flying off the roots and a little "pop"
    body.append(f'<g fill="{g.SOIL}"><circle cx="{hx + 22}" cy="{hy + 10}" r="2.2"/>'
                f'<circle cx="{hx + 28}" cy="{hy + 20}" r="1.8"/><circle cx="{hx - 4}" cy="{hy + 26}" r="2"/></g>')
    body.append(f'<g stroke="#fff" stroke-width="2.4" stroke-linecap="round"><path d="M{hx + 30} {hy - 20} l8 -6"/>'
                f'<path d="M{hx + 34} {hy - 8} l10 0"/><path d="M{hx + 24} {hy - 30} l4 -9"/></g>')
    return w, h, "".join(body)


def gives_feed():
    w, h = 315, 225
    top = 168
    body = [garden_backdrop(w, h, top, sun_at=(282, 40, 16), clouds=[(56, 40, 0.9), (200, 26, 0.7)])]
    body.append(g.tufts([(20, 192), (150, 214), (296, 214)]))
    body.append(g.flowers([(28, 210), (300, 196)]))
    body.append(g.mound(214, 204, 70, 0.3))
    body.append(g.young_plant(214, 200, 96, 3))
    ax, ay, s = 96, 214, 1.45
    hx, hy = g.hand_of(ax, ay, s, "feed")
    body.append(g.ann(ax, ay, s, "feed", "joy"))
    body.append(f'<g transform="translate({hx} {hy}) scale({s})">{g.feed_bag(-120)}</g>')
    body.append(g.granules([(hx + 26, hy + 18), (hx + 32, hy + 34), (hx + 24, hy + 48), (hx + 38, hy + 56),
                            (hx + 30, hy + 70), (hx + 42, hy + 76)]))
    # it grows and grows: little arrows up beside the plant
    for x, y in ((252, 140), (262, 112), (176, 126)):
        arrow = f'M{x} {y} v-16 m-5 5 l5 -5 l5 5'
        body.append(f'<path d="{arrow}" fill="none" stroke="#fff" stroke-width="6" stroke-linecap="round" '
                    f'stroke-linejoin="round"/><path d="{arrow}" fill="none" stroke="#3f9a35" stroke-width="3" '
                    f'stroke-linecap="round" stroke-linejoin="round"/>')
    return w, h, "".join(body)


def sunflower_now():
    w, h = 315, 225
    top = 170
    body = [garden_backdrop(w, h, top, sun_at=(40, 36, 15), clouds=[(120, 30, 0.8)])]
    body.append(g.tufts([(20, 196), (130, 214), (296, 214)]))
    body.append(g.flowers([(24, 212), (150, 206), (300, 200)]))
    body.append(g.sunflower(226, 206, 158, 34, face=True, tilt=-8))
    body.append(g.ann(108, 214, 1.45, "cheer", "joy"))
    body.append(g.sparkle(166, 60, 6) + g.sparkle(286, 92, 5) + g.sparkle(180, 104, 4))
    return w, h, "".join(body)


def lots_of_seeds():
    w, h = 315, 225
    top = 170
    body = [garden_backdrop(w, h, top, sun_at=(36, 36, 15), clouds=[(150, 30, 0.8)])]
    body.append(g.tufts([(20, 196), (160, 214), (296, 214)]))
    body.append(g.sunflower(236, 206, 150, 32, tilt=18))
    body.append(g.flowers([(24, 212), (300, 204)]))
    body.append(g.ann(116, 214, 1.45, "bowl", "joy"))
    hx, hy = g.hand_of(116, 214, 1.45, "bowl")
    body.append(g.bowl_of_seeds(hx - 16, hy - 6, 1.25))
    body.append(g.seed(166, 200, 0.8, 30) + g.seed(180, 206, 0.8, -20) + g.seed(52, 204, 0.8, 60))
    body.append(g.sparkle(150, 120, 5) + g.sparkle(70, 112, 4))
    return w, h, "".join(body)


def word_cards():
    w, h = 315, 225
    body = ['<rect width="315" height="225" fill="#fff7d6"/>']
    for i in range(12):
        for j in range(9):
            body.append(f'<circle cx="{i * 28 + 6 + (j % 2) * 14}" cy="{j * 28 + 6}" r="2" fill="#ffe39a"/>')
    cards = [("seed", "#ffcf5a", lambda x, y: g.seed(x, y, 2.0, 10)),
             ("feed", "#9fd6ff", lambda x, y: f'<g transform="translate({x - 12} {y - 18}) scale(1.35)">'
                                               f'{g.feed_bag(0)}</g>'),
             ("weed", "#b7e59a", lambda x, y: g.weed(x + 4, y + 18, 0.9))]
    for k, (word, color, icon) in enumerate(cards):
        x = 14 + k * 100
        body.append(f'<g transform="rotate({(-4, 2, -2)[k]} {x + 45} 112)">'
                    f'<rect x="{x + 3}" y="40" width="90" height="150" rx="12" fill="#000" opacity="0.12"/>'
                    f'<rect x="{x}" y="36" width="90" height="150" rx="12" fill="#fff" stroke="{color}" '
                    f'stroke-width="5"/>'
                    f'<rect x="{x + 8}" y="44" width="74" height="76" rx="8" fill="{color}" opacity="0.35"/>'
                    f'{icon(x + 45, 82)}'
                    f'<text x="{x + 45}" y="160" font-family="Andika" font-size="30" text-anchor="middle" '
                    f'fill="#1f3b82">{word}</text></g>')
    body.append('<text x="157.5" y="24" font-family="Andika" font-weight="bold" font-size="18" '
                 'text-anchor="middle" fill="#c0392b">-eed</text>')
    for k, word in enumerate(("seed", "feed", "weed")):
        body.append(f'<text x="{59 + k * 100}" y="212" font-family="Andika" font-size="15" text-anchor="middle" '
                    f'fill="#7a5a3a">{"-".join(word)}</text>')
    return w, h, "".join(body)


def the_end():
    w, h = 315, 225
    top = 172
    body = [g.sky(w, h, "url(#dusk)")]
    body.append('<circle cx="236" cy="150" r="34" fill="#ffcf6a" opacity="0.9"/>')
    body.append(g.fence(-4, w + 4, top - 44, top + 4))
    body.append(g.ground(w, h, top))
    body.append(g.tufts([(20, 198), (150, 214), (296, 214)]))
    body.append(g.flowers([(26, 212), (300, 206), (170, 218)]))
    body.append(g.sunflower(246, 208, 140, 30, face=True, tilt=10))
    body.append(g.ann(110, 214, 1.45, "wave", "joy"))
    body.append('<path d="M36 16 H279 L270 34 L279 52 H36 L45 34 Z" fill="#e94f64" stroke="#b8324a" '
                'stroke-width="2"/>')
    body.append('<text x="157.5" y="44" font-family="Andika" font-weight="bold" font-size="26" '
                'text-anchor="middle" fill="#fff">The End</text>')
    for x, y, r in ((24, 70, 5), (60, 92, 3.5), (296, 78, 4.5), (190, 76, 3)):
        body.append(g.sparkle(x, y, r, "#fff6b0"))
    return w, h, "".join(body)


def story_page():
    return lots_of_seeds()


PICTURES = {
    # name: (drawing, file format). The word cards, flat shapes and letters as clip art is, are
    # the book's metafile page.
    "cover": (cover, "jpg"),
    "has-seed": (has_seed, "jpg"),
    "digs-hole": (digs_hole, "bmp"),
    "waters": (waters, "jpg"),
    "shoot": (shoot, "jpg"),
    "pulls-weed": (pulls_weed, "jpg"),
    "gives-feed": (gives_feed, "jpg"),
    "sunflower": (sunflower_now, "jpg"),
    "lots-of-seeds": (lots_of_seeds, "jpg"),
    "word-cards": (word_cards, "emf"),
    "the-end": (the_end, "jpg"),
}


# --- clips ----------------------------------------------------------------------------------

def water_frames():
    w, h, n = 315, 225, 36
    return w, h, [watering_scene(w, h, i / n) for i in range(n)]


def sprout_frames():
    """A tall clip: more sky above the shoot, so the ruled lines under it move down."""
    w, h, n = 315, 270, 45
    frames = []
    for i in range(n):
        t = i / (n - 1)
        growth = min(1.0, t / 0.72)
        growth = 1 - (1 - growth) ** 2
        wiggle = math.sin(i * 0.7) * 0.3 * max(0.0, t - 0.72) / 0.28
        frames.append(sprout_scene(w, h, growth, wiggle, max(0.0, t - 0.72) / 0.28))
    return w, h, frames


CLIPS = {
    "A1Water.avi": water_frames,
    "A1Sprout.avi": sprout_frames,
}


def main():
    out = sys.argv[1]
    index = {"pictures": {}, "clips": {}}
    os.makedirs(os.path.join(out, "pictures"), exist_ok=True)
    for name, (draw, fmt) in PICTURES.items():
        w, h, body = draw()
        with open(os.path.join(out, "pictures", name + ".svg"), "w", encoding="utf-8") as f:
            f.write(g.svg(w, h, body))
        index["pictures"][name] = {"format": fmt, "width": w, "height": h}
    for name, frames in CLIPS.items():
        w, h, bodies = frames()
        folder = os.path.join(out, "frames", os.path.splitext(name)[0])
        os.makedirs(folder, exist_ok=True)
        for i, body in enumerate(bodies):
            with open(os.path.join(folder, f"{i:03d}.svg"), "w", encoding="utf-8") as f:
                f.write(g.svg(w, h, body))
        index["clips"][name] = {"width": w, "height": h, "frames": len(bodies), "fps": FPS,
                                "folder": os.path.relpath(folder, out)}
    with open(os.path.join(out, "art.json"), "w", encoding="utf-8") as f:
        json.dump(index, f, indent=2)


if __name__ == "__main__":
    main()
