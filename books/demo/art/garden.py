"""Drawing kit of the demo book: Ann, her garden and the plant at every stage, as SVG fragments.

Every function returns a string of SVG elements in the caller's coordinates. Ann is drawn in her
own frame (the frame of the launch pad cover, feet at 120,183) and placed with a transform, so
she looks the same in every picture: brown hair with two puffs and pink bobbles, a red dress
with white dots, blue shoes.
"""

import math

OUTLINE = "#5a3a28"
SKIN = "#f3c6a0"
FACE = "#f8d2b0"
HAIR = "#7a4a2a"
LEAF = "#6cc94c"
LEAF_DARK = "#3f9a35"
SOIL = "#8a5a34"
SOIL_LIGHT = "#a06b3f"
SOIL_DARK = "#6b3f1f"


def defs():
    """Gradients shared by the pictures; put once into each picture's <defs>."""
    return """
    <linearGradient id="sky" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#8fd0ff"/><stop offset="1" stop-color="#e8f7ff"/>
    </linearGradient>
    <linearGradient id="dusk" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#7c6fd6"/><stop offset="0.45" stop-color="#f59bb0"/>
      <stop offset="1" stop-color="#ffd98a"/>
    </linearGradient>
    <linearGradient id="hill" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#8fd46a"/><stop offset="1" stop-color="#5aae45"/>
    </linearGradient>
    <linearGradient id="dress" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#f25c5c"/><stop offset="1" stop-color="#d63a4a"/>
    </linearGradient>
    <linearGradient id="can" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#5db4ff"/><stop offset="1" stop-color="#2f86d6"/>
    </linearGradient>
    <radialGradient id="sunglow" cx="0.5" cy="0.5" r="0.5">
      <stop offset="0" stop-color="#fff6b0"/><stop offset="1" stop-color="#ffd84d"/>
    </radialGradient>
    <radialGradient id="disc" cx="0.5" cy="0.5" r="0.5">
      <stop offset="0" stop-color="#8a5a2b"/><stop offset="0.7" stop-color="#5e3a1a"/>
      <stop offset="1" stop-color="#4a2c12"/>
    </radialGradient>
    <linearGradient id="paper" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#fffdf4"/><stop offset="1" stop-color="#fff1cf"/>
    </linearGradient>
    """


def svg(width, height, body):
    return (f'<?xml version="1.0" encoding="UTF-8"?>\n'
            f'<svg xmlns="http://www.w3.org/2000/svg" width="{width}" height="{height}" '
            f'viewBox="0 0 {width} {height}">\n<defs>{defs()}</defs>\n{body}\n</svg>\n')


# --- sky and ground -------------------------------------------------------------------------

def sky(width, height, fill="url(#sky)"):
    return f'<rect width="{width}" height="{height}" fill="{fill}"/>'


def sun(x, y, r=18, spin=0):
    rays = []
    for i in range(8):
        a = math.radians(i * 45 + spin)
        rays.append(f'<line x1="{x + math.cos(a) * (r + 6):.1f}" y1="{y + math.sin(a) * (r + 6):.1f}" '
                    f'x2="{x + math.cos(a) * (r + 13):.1f}" y2="{y + math.sin(a) * (r + 13):.1f}"/>')
    return (f'<g stroke="#ffc93c" stroke-width="{max(3, r / 5):.1f}" stroke-linecap="round">'
            f'{"".join(rays)}</g>'
            f'<circle cx="{x}" cy="{y}" r="{r}" fill="url(#sunglow)" stroke="#ffb627" stroke-width="2"/>'
            f'<circle cx="{x - r * 0.3:.1f}" cy="{y - r * 0.1:.1f}" r="{r * 0.1:.1f}" fill="#b5651d"/>'
            f'<circle cx="{x + r * 0.3:.1f}" cy="{y - r * 0.1:.1f}" r="{r * 0.1:.1f}" fill="#b5651d"/>'
            f'<path d="M{x - r * 0.35:.1f} {y + r * 0.25:.1f} Q{x} {y + r * 0.6:.1f} {x + r * 0.35:.1f} '
            f'{y + r * 0.25:.1f}" fill="none" stroke="#b5651d" stroke-width="{r / 10:.1f}" '
            f'stroke-linecap="round"/>')


def cloud(x, y, s=1.0):
    return (f'<g fill="#fff" transform="translate({x} {y}) scale({s})">'
            f'<ellipse cx="0" cy="6" rx="26" ry="10"/><circle cx="-9" cy="0" r="11"/>'
            f'<circle cx="7" cy="-3" r="14"/><circle cx="19" cy="4" r="8"/></g>')


def ground(width, height, top, second=None):
    """Rolling grass from y=top down to the bottom edge, with a darker front band."""
    second = second if second is not None else top + (height - top) * 0.55
    w = width
    return (f'<path d="M0 {top + 6} Q{w * 0.22} {top - 10} {w * 0.48} {top + 2} T{w} {top - 2} '
            f'V{height} H0 Z" fill="url(#hill)"/>'
            f'<path d="M0 {second + 4} Q{w * 0.3} {second - 6} {w * 0.57} {second + 2} T{w} {second} '
            f'V{height} H0 Z" fill="#4c9a3c"/>')


def tufts(points, color="#3f8a33"):
    return "".join(f'<path d="M{x} {y} l3 -8 l3 8 l3 -6 l2 6 z" fill="{color}"/>' for x, y in points)


def flowers(points):
    colors = ["#ff8fb1", "#fff", "#b28dff", "#ffb347"]
    out = []
    for i, (x, y) in enumerate(points):
        c = colors[i % len(colors)]
        out.append(f'<g transform="translate({x} {y})">'
                   + "".join(f'<circle cx="{math.cos(a) * 3.2:.1f}" cy="{math.sin(a) * 3.2:.1f}" r="2.6" '
                             f'fill="{c}"/>' for a in [k * math.pi * 2 / 5 for k in range(5)])
                   + '<circle r="1.8" fill="#ffd84d"/></g>')
    return "".join(out)


def fence(x0, x1, top, bottom):
    """A white picket fence along the back of the garden."""
    out = [f'<rect x="{x0}" y="{top + 10}" width="{x1 - x0}" height="5" fill="#fdf6e9" stroke="#d8c8a8"/>',
           f'<rect x="{x0}" y="{bottom - 16}" width="{x1 - x0}" height="5" fill="#fdf6e9" stroke="#d8c8a8"/>']
    x = x0 + 2
    while x < x1:
        out.append(f'<path d="M{x} {bottom} V{top + 5} L{x + 5} {top} L{x + 10} {top + 5} V{bottom} Z" '
                   f'fill="#fffaf0" stroke="#d8c8a8" stroke-width="1.2"/>')
        x += 17
    return "".join(out)


def bed(x, y, w, h=14):
    """A strip of dug garden soil."""
    return (f'<path d="M{x} {y} Q{x + w / 2} {y - h} {x + w} {y} Q{x + w / 2} {y + h * 0.5} {x} {y} Z" '
            f'fill="{SOIL}"/>'
            f'<path d="M{x + 8} {y - 2} Q{x + w / 2} {y - h + 3} {x + w - 8} {y - 2}" fill="none" '
            f'stroke="{SOIL_LIGHT}" stroke-width="3" stroke-linecap="round"/>')


def mound(x, y, w=60, wet=0.0):
    """Soil heaped over the seed; wet darkens it."""
    top = _mix(SOIL_LIGHT, "#6b4526", wet)
    base = _mix(SOIL, "#5a3a1e", wet)
    return (f'<ellipse cx="{x}" cy="{y}" rx="{w / 2}" ry="{w / 6}" fill="{base}"/>'
            f'<ellipse cx="{x}" cy="{y - w / 20}" rx="{w * 0.4}" ry="{w / 10}" fill="{top}"/>'
            f'<g fill="{SOIL_DARK}"><circle cx="{x - w * 0.2}" cy="{y - 1}" r="1.6"/>'
            f'<circle cx="{x + w * 0.15}" cy="{y + 1}" r="1.3"/><circle cx="{x + w * 0.3}" cy="{y - 3}" r="1.1"/></g>')


def hole(x, y, w=46):
    return (f'<ellipse cx="{x}" cy="{y}" rx="{w / 2 + 6}" ry="{w / 6 + 3}" fill="{SOIL}"/>'
            f'<ellipse cx="{x}" cy="{y}" rx="{w / 2}" ry="{w / 6}" fill="#3d2412"/>'
            f'<ellipse cx="{x}" cy="{y + 2}" rx="{w / 2 - 5}" ry="{w / 6 - 3}" fill="#2a180b"/>')


def soil_pile(x, y, w=50):
    return (f'<path d="M{x - w / 2} {y} Q{x - w / 4} {y - w * 0.5} {x} {y - w * 0.55} '
            f'Q{x + w / 4} {y - w * 0.5} {x + w / 2} {y} Z" fill="{SOIL}"/>'
            f'<path d="M{x - w / 4} {y - w * 0.28} Q{x} {y - w * 0.5} {x + w / 5} {y - w * 0.32}" '
            f'fill="none" stroke="{SOIL_LIGHT}" stroke-width="3" stroke-linecap="round"/>'
            f'<g fill="{SOIL_DARK}"><circle cx="{x - w / 6}" cy="{y - 6}" r="2"/>'
            f'<circle cx="{x + w / 5}" cy="{y - 10}" r="1.6"/></g>')


# --- the plant ------------------------------------------------------------------------------

def seed(x, y, s=1.0, angle=0):
    """A striped sunflower seed, point up."""
    return (f'<g transform="translate({x} {y}) rotate({angle}) scale({s})">'
            f'<path d="M0 -11 C7 -6 9 5 0 11 C-9 5 -7 -6 0 -11 Z" fill="#34343e" stroke="#1b1b22" '
            f'stroke-width="1.2"/>'
            f'<path d="M-3.6 -4 C-4.6 0 -4.2 4 -2.6 7 M3.6 -4 C4.6 0 4.2 4 2.6 7" '
            f'fill="none" stroke="#bdb8ac" stroke-width="0.9" stroke-linecap="round"/>'
            f'<ellipse cx="-1.6" cy="-5" rx="1" ry="2.2" fill="#fff" opacity="0.45"/></g>')


def sparkle(x, y, r=6, color="#ffd23c"):
    return (f'<path d="M{x} {y - r} Q{x + r * 0.15} {y - r * 0.15} {x + r} {y} '
            f'Q{x + r * 0.15} {y + r * 0.15} {x} {y + r} Q{x - r * 0.15} {y + r * 0.15} {x - r} {y} '
            f'Q{x - r * 0.15} {y - r * 0.15} {x} {y - r} Z" fill="{color}" stroke="#f3a712" '
            f'stroke-width="0.8"/>')


def leaf(x, y, length, angle, color=LEAF, width=0.45):
    """A leaf from its base at x,y pointing at angle degrees (0 = right, -90 = up)."""
    w = length * width
    return (f'<g transform="translate({x} {y}) rotate({angle})">'
            f'<path d="M0 0 C{length * 0.3} {-w} {length * 0.75} {-w * 0.8} {length} 0 '
            f'C{length * 0.75} {w * 0.8} {length * 0.3} {w} 0 0 Z" fill="{color}" stroke="{LEAF_DARK}" '
            f'stroke-width="1.6"/>'
            f'<path d="M2 0 L{length * 0.85} 0" stroke="{LEAF_DARK}" stroke-width="1.1"/></g>')


def sprout(x, y, height, open_=1.0, sway=0.0):
    """A young shoot: a curved stem from the soil at x,y with two seed leaves that open."""
    if height <= 0:
        return ""
    tx = x + sway * height * 0.15
    ty = y - height
    out = [f'<path d="M{x} {y} C{x} {y - height * 0.4} {tx - height * 0.1} {y - height * 0.7} {tx} {ty}" '
           f'fill="none" stroke="{LEAF_DARK}" stroke-width="{max(2.5, height / 18):.1f}" '
           f'stroke-linecap="round"/>']
    length = min(30, 10 + height * 0.35) * max(open_, 0.15)
    spread = 12 + 28 * open_
    out.append(leaf(tx, ty, length, -90 - spread - 20 * (1 - open_), "#7fd45a"))
    out.append(leaf(tx, ty, length, -90 + spread + 20 * (1 - open_), LEAF))
    return "".join(out)


def young_plant(x, y, height, leaves=3):
    """A growing plant with pairs of leaves up its stem."""
    out = [f'<path d="M{x} {y} C{x - 4} {y - height * 0.4} {x + 4} {y - height * 0.7} {x} {y - height}" '
           f'fill="none" stroke="{LEAF_DARK}" stroke-width="{max(3, height / 22):.1f}" stroke-linecap="round"/>']
    for i in range(leaves):
        ly = y - height * (0.3 + 0.22 * i)
        size = 30 - i * 5
        out.append(leaf(x, ly, size, -25 - i * 6, LEAF))
        out.append(leaf(x, ly - 6, size * 0.9, -155 + i * 6, "#7fd45a"))
    out.append(sprout(x, y - height + 2, 2, 1.0))
    out.append(leaf(x, y - height, 14, -60, "#8ee063"))
    out.append(leaf(x, y - height, 14, -120, "#7fd45a"))
    return "".join(out)


def flower_head(x, y, r, face=False, tilt=0):
    """A sunflower head: two rings of petals round a seedy disc."""
    petals = []
    for ring, (count, length, color, offset) in enumerate([(16, r * 0.95, "#ffb81c", 11.25),
                                                           (16, r * 0.85, "#ffd23c", 0)]):
        for i in range(count):
            a = i * 360 / count + offset
            petals.append(f'<g transform="rotate({a})"><path d="M{r * 0.5:.1f} 0 C{r * 0.7:.1f} '
                          f'{-r * 0.2:.1f} {r * 0.5 + length * 0.8:.1f} {-r * 0.14:.1f} '
                          f'{r * 0.5 + length:.1f} 0 C{r * 0.5 + length * 0.8:.1f} {r * 0.14:.1f} '
                          f'{r * 0.7:.1f} {r * 0.2:.1f} {r * 0.5:.1f} 0 Z" fill="{color}" '
                          f'stroke="#e8940c" stroke-width="1"/></g>')
    dots = []
    golden = math.pi * (3 - math.sqrt(5))
    n = int(r * 2.2)
    for i in range(n):
        rr = r * 0.52 * math.sqrt((i + 0.5) / n)
        a = i * golden
        dots.append(f'<circle cx="{rr * math.cos(a):.1f}" cy="{rr * math.sin(a):.1f}" '
                    f'r="{max(0.7, r * 0.035):.1f}" fill="#3a2410"/>')
    out = (f'<g transform="translate({x} {y}) rotate({tilt})">{"".join(petals)}'
           f'<circle r="{r * 0.56:.1f}" fill="url(#disc)" stroke="#4a2c12" stroke-width="1.2"/>'
           f'{"".join(dots)}')
    if face:
        e = r * 0.18
        out += (f'<circle cx="{-e:.1f}" cy="{-e * 0.6:.1f}" r="{r * 0.06:.1f}" fill="#1d1208"/>'
                f'<circle cx="{e:.1f}" cy="{-e * 0.6:.1f}" r="{r * 0.06:.1f}" fill="#1d1208"/>'
                f'<path d="M{-e:.1f} {e * 0.7:.1f} Q0 {e * 1.6:.1f} {e:.1f} {e * 0.7:.1f}" fill="none" '
                f'stroke="#1d1208" stroke-width="{r * 0.05:.1f}" stroke-linecap="round"/>')
    return out + '</g>'


def sunflower(x, y, height, r, face=False, tilt=0):
    """A whole sunflower standing at x,y: stem, big leaves and the head at the top."""
    hx = x + height * 0.06
    hy = y - height
    out = [f'<path d="M{x} {y} C{x - 6} {y - height * 0.35} {x + 8} {y - height * 0.7} {hx} {hy}" '
           f'fill="none" stroke="#3f8a33" stroke-width="{max(4, height / 28):.1f}" stroke-linecap="round"/>']
    for i, frac in enumerate([0.22, 0.42, 0.62]):
        ly = y - height * frac
        size = r * (1.2 - i * 0.2)
        out.append(leaf(x + (2 if i % 2 else -2), ly, size, -20 - i * 8, LEAF, 0.55))
        out.append(leaf(x, ly - 10, size * 0.95, -160 + i * 8, "#7fd45a", 0.55))
    out.append(flower_head(hx, hy, r, face, tilt))
    return "".join(out)


def weed(x, y, s=1.0, lifted=0.0):
    """A scraggly weed with jagged dark leaves; lifted pulls it out and shows its roots."""
    dy = -lifted
    leaves = []
    for a in (-150, -120, -95, -70, -35):
        leaves.append(f'<g transform="rotate({a})"><path d="M0 0 L10 -5 L12 -1 L20 -6 L21 -1 L30 -4 '
                      f'L34 0 L30 4 L21 2 L20 7 L12 2 L10 6 Z" fill="#5d8a2a" stroke="#3c5e19" '
                      f'stroke-width="1.2" stroke-linejoin="round"/></g>')
    roots = ""
    if lifted > 0:
        roots = (f'<path d="M0 0 C-3 6 3 10 -4 {10 + lifted * 0.8:.1f} M0 0 C4 6 8 10 6 {8 + lifted * 0.7:.1f} '
                 f'M0 0 C0 8 -7 12 -10 {6 + lifted * 0.6:.1f} M1 2 C2 10 0 14 2 {12 + lifted:.1f}" '
                 f'fill="none" stroke="#9c7650" stroke-width="2" stroke-linecap="round"/>'
                 f'<circle cx="-2" cy="5" r="3.4" fill="{SOIL}"/><circle cx="4" cy="8" r="2.8" fill="{SOIL}"/>'
                 f'<circle cx="-6" cy="10" r="2.2" fill="{SOIL}"/>')
    return (f'<g transform="translate({x} {y + dy}) scale({s})">{roots}{"".join(leaves)}'
            f'<circle cx="-4" cy="-30" r="4" fill="#ffe14d" stroke="#d4a800"/></g>')


# --- props ----------------------------------------------------------------------------------

def watering_can(tilt=0):
    """The blue can with its grip at the origin (where Ann's hand holds it)."""
    return (f'<g transform="rotate({tilt})"><g transform="translate(-26 -6)" stroke="{OUTLINE}" '
            f'stroke-width="1.5" stroke-linejoin="round">'
            f'<path d="M24 10 L48 -2 L51 2 L28 20 Z" fill="#2f86d6"/>'
            f'<ellipse cx="50" cy="0" rx="4" ry="6" transform="rotate(-25 50 0)" fill="#2f86d6"/>'
            f'<path d="M2 10 Q14 -6 26 10" fill="none" stroke="#1d5fa3" stroke-width="3.5"/>'
            f'<rect x="0" y="8" width="30" height="24" rx="5" fill="url(#can)"/>'
            f'<rect x="3" y="14" width="24" height="4" rx="2" fill="#fff" stroke="none" opacity="0.5"/>'
            f'</g></g>')


def can_spout(tilt=0):
    """Where the water leaves the can, relative to the grip, for the given tilt."""
    a = math.radians(tilt)
    px, py = 50 - 26, 0 - 6
    return px * math.cos(a) - py * math.sin(a), px * math.sin(a) + py * math.cos(a)


def drop(x, y, s=1.0):
    return (f'<path transform="translate({x:.1f} {y:.1f}) scale({s})" d="M0 -5 Q4 1 0 4 Q-4 1 0 -5 Z" '
            f'fill="#4aa8f0" stroke="#2f86d6" stroke-width="0.8"/>')


def spade(x, y, angle=0):
    """A spade whose blade tip is at x,y, leaning by angle degrees."""
    return (f'<g transform="translate({x} {y}) rotate({angle})" stroke="{OUTLINE}" stroke-width="1.5" '
            f'stroke-linejoin="round">'
            f'<rect x="-2.5" y="-78" width="5" height="62" rx="2" fill="#c98a4b"/>'
            f'<path d="M-9 -84 H9 V-78 H-9 Z" fill="#e0493d"/>'
            f'<path d="M-11 -18 H11 V-4 Q0 6 -11 -4 Z" fill="#b9c4cc"/>'
            f'<path d="M-6 -15 V-6" stroke="#fff" stroke-width="1.4" opacity="0.8"/></g>')


def seed_packet(x, y, angle=0, s=1.0):
    return (f'<g transform="translate({x} {y}) rotate({angle}) scale({s})" stroke="{OUTLINE}" '
            f'stroke-width="1.2">'
            f'<rect x="-14" y="-20" width="28" height="38" rx="2" fill="#fff3c4"/>'
            f'<path d="M-14 -20 L-10 -24 L-6 -20 L-2 -24 L2 -20 L6 -24 L10 -20 L14 -24 V-20" fill="#fff3c4"/>'
            f'</g>' + f'<g transform="translate({x} {y - 4 * s}) rotate({angle}) scale({s * 0.28})">'
            + flower_head(0, 0, 30) + '</g>')


def feed_bag(tilt=0):
    """A small bag of plant food held at its top corner (the origin)."""
    return (f'<g transform="rotate({tilt})" stroke="{OUTLINE}" stroke-width="1.4" stroke-linejoin="round">'
            f'<path d="M-6 -4 L18 -4 L22 30 Q8 36 -8 30 Z" fill="#ffe08a"/>'
            f'<path d="M-6 -4 L-2 -9 L2 -4 L6 -9 L10 -4 L14 -9 L18 -4" fill="#ffe08a"/>'
            f'<circle cx="7" cy="15" r="8" fill="#fff" stroke="#7fc45a"/>'
            f'</g><g transform="rotate({tilt}) translate(7 15)">{leaf(-4, 4, 10, -50)}</g>')


def granules(points):
    return "".join(f'<circle cx="{x:.1f}" cy="{y:.1f}" r="1.7" fill="#c98a4b" stroke="#8a5a2b" '
                   f'stroke-width="0.6"/>' for x, y in points)


def bowl_of_seeds(x, y, s=1.0):
    out = [f'<g transform="translate({x} {y}) scale({s})">']
    for i, (sx, sy, a) in enumerate([(-16, -6, -20), (-8, -10, 10), (0, -12, -5), (8, -10, 25),
                                     (16, -6, -15), (-12, -2, 40), (-3, -4, -30), (6, -3, 15),
                                     (13, -1, 50), (-20, 0, 5), (20, 0, -40), (0, -18, 20),
                                     (-8, -16, -35), (9, -16, 30)]):
        out.append(seed(sx, sy, 0.62, a))
    out.append('<path d="M-26 -2 H26 Q24 22 0 24 Q-24 22 -26 -2 Z" fill="#e66b3a" stroke="#9c3f1c" '
               'stroke-width="1.6"/>'
               '<path d="M-20 6 Q0 12 20 6" fill="none" stroke="#ffd1a8" stroke-width="2.4" '
               'stroke-linecap="round"/></g>')
    return "".join(out)


# --- Ann ------------------------------------------------------------------------------------

def _arm(path, behind=False):
    return (f'<path d="{path}" fill="none" stroke="{OUTLINE}" stroke-width="9" stroke-linecap="round"/>'
            f'<path d="{path}" fill="none" stroke="{SKIN}" stroke-width="6" stroke-linecap="round"/>')


def _hand(x, y):
    return f'<circle cx="{x}" cy="{y}" r="4.6" fill="{SKIN}" stroke="{OUTLINE}" stroke-width="1.5"/>'


# Arm shapes by pose: (back arm path, back hand, front arm path, front hand). Shoulders are at
# 111,122 (back) and 129,122 (front) in Ann's frame; she faces right.
POSES = {
    "down": ("M111 123 C104 132 100 142 97 150", (97, 151),
             "M129 123 C137 132 142 141 147 149", (147, 150)),
    "hold": ("M111 123 C104 132 100 142 97 150", (97, 151),
             "M129 123 C141 130 152 129 161 121", (162, 121)),
    "water": ("M111 123 C101 132 95 142 93 151", (93, 152),
              "M129 123 C140 129 149 129 157 125", (158, 125)),
    "drop": ("M111 123 C104 132 100 142 97 150", (97, 151),
             "M129 123 C142 126 154 124 166 118", (167, 118)),
    "dig": ("M111 124 C122 134 138 136 150 128", (151, 128),
            "M129 124 C140 136 150 144 158 146", (159, 146)),
    "pull": ("M111 124 C124 138 140 146 152 148", (153, 148),
             "M129 124 C140 138 150 148 160 150", (161, 150)),
    "feed": ("M111 123 C104 132 100 142 97 150", (97, 151),
             "M129 123 C141 124 151 118 159 108", (160, 107)),
    "cheer": ("M111 121 C103 112 99 102 96 90", (96, 88),
              "M129 121 C137 112 141 102 144 90", (144, 88)),
    "wave": ("M111 123 C104 132 100 142 97 150", (97, 151),
             "M129 121 C139 114 146 104 150 92", (151, 90)),
    "bowl": ("M111 124 C110 136 116 142 124 144", (125, 144),
             "M129 124 C134 136 140 142 146 143", (147, 143)),
}


def _face(expression, look):
    ex, ey = {"ahead": (0, 0), "up": (0.6, -1.4), "down": (0.8, 1.0), "right": (1.3, 0)}[look]
    eyes = ""
    if expression == "joy":
        eyes = ('<path d="M109.5 98 Q113 93.5 116.5 98 M123.5 98 Q127 93.5 130.5 98" fill="none" '
                'stroke="#2b1d14" stroke-width="2" stroke-linecap="round"/>')
    else:
        eyes = (f'<circle cx="{113 + ex}" cy="{97 + ey}" r="2.6" fill="#2b1d14"/>'
                f'<circle cx="{127 + ex}" cy="{97 + ey}" r="2.6" fill="#2b1d14"/>'
                f'<circle cx="{113.9 + ex}" cy="{96.1 + ey}" r="0.9" fill="#fff"/>'
                f'<circle cx="{127.9 + ex}" cy="{96.1 + ey}" r="0.9" fill="#fff"/>')
    mouth = {
        "smile": '<path d="M114 104 Q120 110 126 104" fill="none" stroke="#a3452f" stroke-width="1.8" '
                 'stroke-linecap="round"/>',
        "joy": '<path d="M113.5 103.5 Q120 113 126.5 103.5 Z" fill="#c2413a" stroke="#a3452f" '
               'stroke-width="1.4" stroke-linejoin="round"/>'
               '<path d="M116 108 Q120 110.5 124 108" fill="#ff8f8f" stroke="none"/>',
        "open": '<path d="M114 103.5 Q120 112 126 103.5 Z" fill="#c2413a" stroke="#a3452f" '
                'stroke-width="1.4" stroke-linejoin="round"/>',
        "oh": '<ellipse cx="120" cy="106" rx="3" ry="3.6" fill="#c2413a" stroke="#a3452f" '
              'stroke-width="1.3"/>',
        "effort": '<path d="M115 105 H125" stroke="#a3452f" stroke-width="2" stroke-linecap="round"/>',
    }[expression]
    return eyes + mouth


def ann(x, y, s=1.0, pose="down", expression="smile", look="ahead", lean=0, flip=False, prop=""):
    """Ann standing with her feet at x,y, s times her launch pad size.

    prop is SVG drawn in front, in Ann's own frame (for example a can placed at the front hand).
    """
    back, back_hand, front, front_hand = POSES[pose]
    sx = -s if flip else s
    out = [f'<g transform="translate({x} {y}) scale({sx} {s}) translate(-120 -183)">',
           f'<g transform="rotate({lean} 120 183)">',
           f'<g stroke="{OUTLINE}" stroke-width="1.5" stroke-linejoin="round">',
           # legs and shoes
           f'<rect x="108" y="160" width="8" height="20" rx="3" fill="{SKIN}"/>',
           f'<rect x="124" y="160" width="8" height="20" rx="3" fill="{SKIN}"/>',
           '<path d="M104 182 q0 -6 8 -6 h6 v7 h-14 z" fill="#3b4cc0"/>',
           '<path d="M122 183 v-7 h6 q8 0 8 6 z" fill="#3b4cc0"/>']
    behind_dress = pose not in ("cheer", "bowl")
    if behind_dress:
        out.append(_arm(back) + _hand(*back_hand))
    out.append('<path d="M110 118 H130 L146 164 Q120 170 94 164 Z" fill="url(#dress)"/>')
    out.append('<path d="M112 118 H128 L126 128 H114 Z" fill="#fff" stroke="none" opacity="0.92"/>')
    out.append('<g fill="#fff" stroke="none" opacity="0.85"><circle cx="108" cy="150" r="2"/>'
               '<circle cx="120" cy="156" r="2"/><circle cx="132" cy="148" r="2"/>'
               '<circle cx="116" cy="140" r="2"/><circle cx="127" cy="136" r="2"/>'
               '<circle cx="136" cy="158" r="2"/><circle cx="102" cy="160" r="2"/></g>')
    if not behind_dress:
        out.append(_arm(back) + _hand(*back_hand))
    # neck and head
    out.append(f'<rect x="116" y="110" width="8" height="10" fill="{SKIN}" stroke="none"/>')
    out.append(f'<path d="M96 96 C92 74 148 74 144 96 C146 108 138 114 132 112 L108 112 C102 114 94 '
               f'108 96 96 Z" fill="{HAIR}"/>')
    out.append(f'<circle cx="98" cy="104" r="8" fill="{HAIR}"/><circle cx="142" cy="104" r="8" fill="{HAIR}"/>')
    out.append('<circle cx="101" cy="96" r="3.5" fill="#ff5a8a"/><circle cx="139" cy="96" r="3.5" fill="#ff5a8a"/>')
    out.append(f'<circle cx="120" cy="96" r="18" fill="{FACE}"/>')
    out.append(f'<path d="M102 92 C104 76 136 76 138 92 C130 86 124 84 120 88 C114 84 108 86 102 92 Z" '
               f'fill="{HAIR}"/>')
    out.append('<g stroke="none"><circle cx="108" cy="104" r="3.5" fill="#ff8f8f" opacity="0.6"/>'
               '<circle cx="132" cy="104" r="3.5" fill="#ff8f8f" opacity="0.6"/></g>')
    out.append(_face(expression, look))
    out.append(_arm(front) + _hand(*front_hand))
    out.append(prop)
    out.append('</g></g></g>')
    return "".join(out)


def hand_of(x, y, s, pose, which="front", flip=False):
    """Where one of Ann's hands lands in the picture, for props drawn outside her group."""
    back, back_hand, front, front_hand = POSES[pose]
    hx, hy = front_hand if which == "front" else back_hand
    sx = -s if flip else s
    return x + (hx - 120) * sx, y + (hy - 183) * s


def _mix(a, b, t):
    t = max(0.0, min(1.0, t))
    ca = [int(a[i:i + 2], 16) for i in (1, 3, 5)]
    cb = [int(b[i:i + 2], 16) for i in (1, 3, 5)]
    return "#" + "".join(f"{round(x + (y - x) * t):02x}" for x, y in zip(ca, cb))
