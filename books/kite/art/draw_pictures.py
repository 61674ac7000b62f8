"""Writes the kite book's pictures as SVG drawings, and what each is to become.

Usage: draw_pictures.py OUTDIR

OUTDIR/NAME.svg  one drawing per picture, at its designed size (400 x 300, or 300 x 400 upright)
OUTDIR/art.json  for every picture the file it is to become, as a teacher would bring it: its
                 format and its size in pixels (make_pictures.py makes the files from it)

Ann, the sky and the grass come from the demo book's drawing kit (books/demo/art/garden.py), so
Ann looks as she does in her first book; the kite, the tree and the cat are drawn here.
"""

import json
import math
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "demo", "art"))
import garden as g  # noqa: E402  (the demo's kit, found beside this book)

KITE_RED, KITE_DARK = "#e8413c", "#b72f2b"
TRUNK, CANOPY, CANOPY_LIGHT = "#8a5a34", "#3f9a35", "#6cc94c"
CAT, CAT_STRIPE = "#f0a04b", "#c9742a"


# --- the kit of this book -------------------------------------------------------------------

def kite(x, y, s=1.0, angle=0, tail=1.0):
    """A red diamond kite centred at x,y with a bowed tail; its string is tied at the bottom."""
    bows = []
    for i in range(4):
        bx, by = 6 * math.sin(i * 1.7) * tail, 40 + i * 14 * tail
        bows.append(f'<path d="M{bx - 6:.1f} {by - 4:.1f} L{bx + 6:.1f} {by + 4:.1f} L{bx + 6:.1f} {by - 4:.1f} '
                    f'L{bx - 6:.1f} {by + 4:.1f} Z" fill="#ffd23c" stroke="#e0a33a" stroke-width="1"/>')
    tail_path = "M0 34 " + " ".join(f"Q{(-8 if i % 2 else 8) * tail:.1f} {40 + i * 14 * tail - 7:.1f} "
                                      f"{6 * math.sin(i * 1.7) * tail:.1f} {40 + i * 14 * tail:.1f}"
                                      for i in range(4))
    return (f'<g transform="translate({x} {y}) rotate({angle}) scale({s})">'
            f'<path d="{tail_path}" fill="none" stroke="#5a3a28" stroke-width="1.5"/>'
            + "".join(bows)
            + f'<path d="M0 -30 L22 -4 L0 34 L-22 -4 Z" fill="{KITE_RED}" stroke="{KITE_DARK}" '
              f'stroke-width="2" stroke-linejoin="round"/>'
              f'<path d="M0 -30 L22 -4 L0 -4 Z M0 -4 L-22 -4 L0 34 Z" fill="{KITE_DARK}" opacity="0.45"/>'
              f'<path d="M0 -30 V34 M-22 -4 H22" stroke="#fff3d6" stroke-width="1.5"/></g>')


def kite_string(x0, y0, x1, y1, sag=18):
    """The string from the hand at x0,y0 up to the kite at x1,y1, sagging a little."""
    mx, my = (x0 + x1) / 2, (y0 + y1) / 2 + sag
    return f'<path d="M{x0:.1f} {y0:.1f} Q{mx:.1f} {my:.1f} {x1:.1f} {y1:.1f}" fill="none" stroke="#fff" ' \
           f'stroke-width="1.4"/>'


def tree(x, ground, s=1.0):
    """A round leafy tree standing on the ground at x; returns the SVG and where its crown is."""
    top = ground - 150 * s
    body = (f'<path d="M{x - 10 * s} {ground} C{x - 6 * s} {ground - 60 * s} {x - 8 * s} {ground - 100 * s} '
            f'{x - 4 * s} {top + 40 * s} L{x + 6 * s} {top + 40 * s} C{x + 8 * s} {ground - 100 * s} '
            f'{x + 6 * s} {ground - 60 * s} {x + 12 * s} {ground} Z" fill="{TRUNK}" stroke="#5a3a28" '
            f'stroke-width="1.5"/>'
            f'<path d="M{x} {top + 70 * s} L{x + 34 * s} {top + 44 * s}" stroke="{TRUNK}" '
            f'stroke-width="{6 * s:.1f}" stroke-linecap="round"/>')
    blobs = [(-38, 10, 34), (30, 12, 36), (-4, -18, 40), (-20, 40, 30), (26, 44, 28), (0, 22, 36)]
    crown = "".join(f'<circle cx="{x + dx * s:.1f}" cy="{top + dy * s:.1f}" r="{r * s:.1f}" fill="{CANOPY}" '
                    f'stroke="#2f7a2a" stroke-width="1.2"/>' for dx, dy, r in blobs)
    light = "".join(f'<circle cx="{x + dx * s:.1f}" cy="{top + dy * s:.1f}" r="{r * s:.1f}" '
                    f'fill="{CANOPY_LIGHT}" opacity="0.7"/>' for dx, dy, r in ((-18, -20, 14), (22, 2, 12)))
    return body + crown + light, (x, top + 10 * s)


def cat(x, y, s=1.0, flip=False, look_up=False):
    """A ginger cat sitting with its feet at x,y."""
    sx = -s if flip else s
    ey = -2 if look_up else 0
    return (f'<g transform="translate({x} {y}) scale({sx} {s})" stroke="#5a3a28" stroke-width="1.5" '
            f'stroke-linejoin="round">'
            f'<path d="M14 -6 C34 -8 40 -30 30 -40" fill="none" stroke="{CAT_STRIPE}" stroke-width="5" '
            f'stroke-linecap="round"/>'
            f'<ellipse cx="0" cy="-20" rx="17" ry="20" fill="{CAT}"/>'
            f'<path d="M-8 -30 q8 4 16 0 M-10 -20 q10 4 20 0" fill="none" stroke="{CAT_STRIPE}" stroke-width="2"/>'
            f'<circle cx="0" cy="-46" r="14" fill="{CAT}"/>'
            f'<path d="M-12 -52 L-10 -66 L-2 -58 Z M12 -52 L10 -66 L2 -58 Z" fill="{CAT}"/>'
            f'<circle cx="-5" cy="{-48 + ey}" r="2.2" fill="#2b1d14" stroke="none"/>'
            f'<circle cx="5" cy="{-48 + ey}" r="2.2" fill="#2b1d14" stroke="none"/>'
            f'<path d="M-2 -42 h4 l-2 2 z" fill="#ff8f8f" stroke="none"/>'
            f'<path d="M-3 -39 q3 3 6 0 M-6 -42 h-9 M-6 -40 l-8 3 M6 -42 h9 M6 -40 l8 3" fill="none" '
            f'stroke-width="1"/>'
            f'<ellipse cx="-7" cy="-1" rx="6" ry="3.5" fill="{CAT}"/><ellipse cx="7" cy="-1" rx="6" ry="3.5" '
            f'fill="{CAT}"/></g>')


def wind(x, y, s=1.0):
    """Three curls of wind blowing to the right."""
    return (f'<g transform="translate({x} {y}) scale({s})" fill="none" stroke="#ffffff" stroke-width="3" '
            f'stroke-linecap="round" opacity="0.9">'
            f'<path d="M0 0 H40 q12 0 12 -10 q0 -8 -8 -8"/><path d="M10 14 H60 q10 0 10 8 q0 8 -8 8"/>'
            f'<path d="M-6 28 H30"/></g>')


def park(w, h, top, sun_at=None, clouds=(), sky="url(#sky)"):
    out = [g.sky(w, h, sky)]
    if sun_at:
        out.append(g.sun(*sun_at))
    out.extend(g.cloud(*c) for c in clouds)
    out.append(g.ground(w, h, top))
    out.append(g.tufts([(w * 0.06, top + 30), (w * 0.4, h - 20), (w * 0.8, top + 40), (w * 0.93, h - 14)]))
    out.append(g.flowers([(w * 0.12, h - 24), (w * 0.55, h - 16), (w * 0.88, top + 52)]))
    return "".join(out)


def title(w, text, y=22, size=40):
    return (f'<path d="M30 {y} H{w - 30} Q{w - 18} {y} {w - 18} {y + 12} V{y + 50} Q{w - 18} {y + 62} {w - 30} '
            f'{y + 62} H30 Q18 {y + 62} 18 {y + 50} V{y + 12} Q18 {y} 30 {y} Z" fill="url(#paper)" '
            f'stroke="#e0a33a" stroke-width="3"/>'
            f'<text x="{w / 2}" y="{y + 45}" font-family="Andika" font-weight="bold" font-size="{size}" '
            f'text-anchor="middle" fill="#1f3b82">{text}</text>')


def ann_with_kite(x, y, s, kite_at, pose="hold", expression="joy", **kw):
    hx, hy = g.hand_of(x, y, s, pose, flip=kw.get("flip", False))
    return g.ann(x, y, s, pose, expression, **kw) + kite_string(hx, hy, kite_at[0], kite_at[1] + 30 * kite_at[2]) \
        + kite(*kite_at[:2], kite_at[2], kite_at[3] if len(kite_at) > 3 else -12)


# --- the pictures ---------------------------------------------------------------------------

W, H = 400, 300


def cover():
    body = [park(W, H, 210, sun_at=(350, 110, 20), clouds=[(90, 120, 1.0), (250, 100, 0.8)])]
    body.append(ann_with_kite(140, 280, 1.6, (300, 150, 1.1, -15), "hold"))
    body.append(cat(60, 280, 0.9, look_up=True))
    body.append(title(W, "Ann and the Kite"))
    return W, H, "".join(body)


def has_kite():
    # No background: the picture is Ann and her kite alone, on a transparent ground.
    hx, hy = g.hand_of(170, 290, 1.9, "hold")
    body = ['<ellipse cx="190" cy="290" rx="90" ry="8" fill="#000" opacity="0.15"/>',
            g.ann(170, 290, 1.9, "hold", "joy"), kite(hx + 24, hy - 60, 1.6, 10, tail=0.8),
            g.sparkle(hx + 70, hy - 110, 8) + g.sparkle(hx - 20, hy - 90, 6)]
    return W, H, "".join(body)


def wind_blows():
    body = [park(W, H, 200, sun_at=(50, 50, 18), clouds=[(200, 60, 1.0), (330, 40, 0.7)])]
    body.append(wind(40, 120, 1.2) + wind(250, 150, 1.0))
    body.append(ann_with_kite(250, 280, 1.6, (110, 200, 1.0, -50), "hold", lean=12, flip=True))
    return W, H, "".join(body)


def goes_up():
    body = [park(W, H, 230, sun_at=(60, 60, 18), clouds=[(170, 50, 0.9), (320, 120, 0.8)])]
    body.append(ann_with_kite(110, 290, 1.2, (300, 70, 1.3, -10), "cheer"))
    body.append(g.sparkle(260, 40, 6) + g.sparkle(340, 90, 5))
    return W, H, "".join(body)


def very_high():
    body = [park(W, H, 240, sun_at=(340, 60, 16), clouds=[(80, 90, 0.7), (220, 130, 0.6)])]
    crown, _ = tree(330, 250, 0.6)
    body.append(crown)
    body.append(ann_with_kite(80, 290, 0.8, (250, 40, 0.7, -8), "hold"))
    return W, H, "".join(body)


def stuck():
    body = [park(W, H, 220, clouds=[(80, 60, 0.9)], sky="#cfe3ef")]
    crown, (tx, ty) = tree(250, 260, 1.3)
    body.append(crown + kite(tx + 20, ty + 10, 1.0, 35, tail=0.7))
    body.append(g.ann(110, 285, 1.4, "down", "oh", look="up"))
    return W, H, "".join(body)


def sad():
    body = [park(W, H, 220, sky="#cfe3ef")]
    crown, (tx, ty) = tree(270, 260, 1.3)
    body.append(crown + kite(tx + 20, ty + 10, 1.0, 35, tail=0.7))
    body.append(g.ann(130, 285, 1.5, "down", "oh", look="up"))
    body.append('<path d="M116 198 q-3 6 0 9 q3 -3 0 -9 z" fill="#8fd0ff" stroke="#2f86d6" stroke-width="0.8"/>')
    return W, H, "".join(body)


def cat_gets_it():
    w, h = 300, 400
    body = [park(w, h, 320, clouds=[(60, 50, 0.8)], sun_at=(250, 50, 16))]
    crown, (tx, ty) = tree(170, 360, 1.9)
    body.append(crown)
    body.append(cat(tx + 36, ty + 70, 0.8, flip=True))
    body.append(kite(tx + 66, ty + 40, 1.1, 25, tail=0.6))
    body.append(g.ann(70, 385, 1.3, "cheer", "joy"))
    return w, h, "".join(body)


def together():
    body = [park(W, H, 210, sun_at=(60, 60, 18), clouds=[(200, 50, 0.8)])]
    body.append(ann_with_kite(200, 285, 1.5, (330, 70, 1.1, -10), "hold"))
    body.append(cat(120, 285, 1.0))
    body.append(g.sparkle(150, 160, 6) + g.sparkle(260, 140, 5))
    return W, H, "".join(body)


def word_cards():
    body = ['<rect width="400" height="300" fill="#fff7d6"/>']
    crown, _ = tree(0, 0, 0.28)
    cards = [("kite", "#ff9a8f", kite(0, -4, 0.9, 0, tail=0.5)),
             ("tree", "#b7e59a", f'<g transform="translate(0 26)">{crown}</g>'),
             ("cat", "#ffcf5a", cat(0, 26, 0.7))]
    for k, (word, color, icon) in enumerate(cards):
        x = 20 + k * 125
        body.append(f'<g transform="rotate({(-4, 2, -2)[k]} {x + 55} 150)">'
                    f'<rect x="{x}" y="50" width="110" height="200" rx="14" fill="#fff" stroke="{color}" '
                    f'stroke-width="6"/>'
                    f'<rect x="{x + 10}" y="60" width="90" height="100" rx="10" fill="{color}" opacity="0.35"/>'
                    f'<g transform="translate({x + 55} 110)">{icon}</g>'
                    f'<text x="{x + 55}" y="212" font-family="Andika" font-size="38" text-anchor="middle" '
                    f'fill="#1f3b82">{word}</text></g>')
        body.append(f'<text x="{x + 55}" y="282" font-family="Andika" font-size="18" text-anchor="middle" '
                    f'fill="#7a5a3a">{"-".join(word)}</text>')
    return W, H, "".join(body)


def the_end():
    body = [park(W, H, 220, sky="url(#dusk)")]
    body.append('<circle cx="300" cy="200" r="40" fill="#ffcf6a" opacity="0.9"/>')
    body.append(g.ground(W, H, 220))
    body.append(ann_with_kite(140, 285, 1.5, (290, 110, 1.0, -10), "hold"))
    body.append(cat(70, 285, 0.9))
    body.append('<path d="M60 16 H340 L328 38 L340 60 H60 L72 38 Z" fill="#e94f64" stroke="#b8324a" '
                'stroke-width="2"/><text x="200" y="48" font-family="Andika" font-weight="bold" font-size="30" '
                'text-anchor="middle" fill="#fff">The End</text>')
    return W, H, "".join(body)


PHONE, PHONE_UPRIGHT = (4032, 3024), (3024, 4032)

# name: (drawing, what it becomes). Most are photos straight from a phone; one was taken upright,
# one is stored sideways with the camera's orientation tag; the others are what a drawing
# program or the web gives: a PNG with a transparent ground, a GIF, a BMP, an SVG.
PICTURES = {
    "cover": (cover, {"format": "jpg", "size": PHONE}),
    "has-kite": (has_kite, {"format": "png", "size": (1600, 1200), "transparent": True}),
    "wind": (wind_blows, {"format": "jpg", "size": PHONE}),
    "up": (goes_up, {"format": "jpg", "size": PHONE, "sideways": True}),
    "high": (very_high, {"format": "gif", "size": (800, 600)}),
    "stuck": (stuck, {"format": "bmp", "size": (1024, 768)}),
    "sad": (sad, {"format": "svg"}),
    "cat": (cat_gets_it, {"format": "jpg", "size": PHONE_UPRIGHT}),
    "together": (together, {"format": "jpg", "size": PHONE}),
    "word-cards": (word_cards, {"format": "jpg", "size": PHONE}),
    "the-end": (the_end, {"format": "jpg", "size": PHONE}),
}


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    art = {}
    for name, (drawing, target) in PICTURES.items():
        w, h, body = drawing()
        with open(os.path.join(out, name + ".svg"), "w", encoding="utf-8") as f:
            f.write(g.svg(w, h, body))
        art[name] = target
    with open(os.path.join(out, "art.json"), "w", encoding="utf-8") as f:
        json.dump(art, f, indent=1)


if __name__ == "__main__":
    main()
