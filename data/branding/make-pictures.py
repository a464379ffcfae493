#!/usr/bin/env python3
"""Draws the default brand's pictures with ImageMagick (run once; the PNG files
are committed). Shapes are drawn at four times their size and scaled down, so
edges stay smooth at 32 pixels.

    data/branding/make-pictures.py      # writes the PNG files beside itself,
                                        # and the program's icon src/app/Varnox.ico
"""
import math
import os
import subprocess
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
BOLD = "DejaVu-Sans-Bold"
SANS = "DejaVu-Sans"

BLUE, BLUE_DARK, BLUE_LIGHT = "#2B6CB0", "#1C4570", "#5A9BE0"
RED, RED_DARK = "#D64045", "#9E2428"
GREEN, GREEN_DARK = "#2F9E55", "#1D6B38"
GREY, GREY_DARK, PAPER = "#8A96A3", "#4A5560", "#FFFFFF"
# Glyphs and the warning picture are opaque on the system's button face
# colour: the toolbar takes the bottom-left pixel as the transparent colour,
# and smooth edges blend into the face they are drawn on.
FACE = "#F0F0F0"


def run(*args):
    subprocess.run(["convert", *args], check=True)


def polygon(points):
    return "polygon " + " ".join(f"{x:.2f},{y:.2f}" for x, y in points)


def badge_x(cx, cy, r):
    """Red round badge with a white cross: "destroy"."""
    d = r * 0.42
    return [
        f"fill {RED} stroke {RED_DARK} stroke-width 4 circle {cx},{cy} {cx + r},{cy}",
        f"stroke white stroke-width 9 stroke-linecap round line {cx - d},{cy - d} {cx + d},{cy + d} "
        f"line {cx + d},{cy - d} {cx - d},{cy + d}",
    ]


def document():
    return [
        f"fill {PAPER} stroke {GREY_DARK} stroke-width 5 stroke-linejoin round "
        + polygon([(22, 8), (78, 8), (102, 32), (102, 118), (22, 118)]),
        f"fill #DDE3EA " + polygon([(78, 8), (78, 32), (102, 32)]),
        f"stroke {GREY} stroke-width 5 stroke-linecap round line 36,50 86,50 line 36,66 86,66 line 36,82 70,82",
    ]


def drive(top=40):
    return [
        f"fill #C9D1DA stroke {GREY_DARK} stroke-width 5 roundrectangle 8,{top} 120,{top + 66} 12,12",
        f"fill #A9B4C0 stroke none rectangle 12,{top + 36} 116,{top + 62}",
        f"fill {GREEN} stroke {GREEN_DARK} stroke-width 2 circle 26,{top + 49} 32,{top + 49}",
        f"stroke {GREY_DARK} stroke-width 5 stroke-linecap round line 26,{top + 20} 102,{top + 20}",
    ]


def gear():
    cx = cy = 64
    points = []
    teeth = 8
    for i in range(teeth * 4):
        angle = (i / (teeth * 4)) * 2 * math.pi
        radius = 56 if (i % 4) in (1, 2) else 42
        points.append((cx + radius * math.cos(angle), cy + radius * math.sin(angle)))
    return [
        f"fill {GREY} stroke {GREY_DARK} stroke-width 5 stroke-linejoin round " + polygon(points),
        f"fill white stroke {GREY_DARK} stroke-width 5 circle 64,64 64,82",
    ]


def refresh():
    cx = cy = 64
    r = 38

    def at(angle, radius=r):
        a = math.radians(angle)
        return cx + radius * math.cos(a), cy + radius * math.sin(a)

    parts = []
    for start in (195, 15):
        end = start + 125
        # The arc as a filled ring segment (the renderer strokes open paths closed).
        steps = [start + (end - start) * i / 24 for i in range(25)]
        ring = [at(a, r + 7) for a in steps] + [at(a, r - 7) for a in reversed(steps)]
        parts.append(f"fill {GREEN} stroke none " + polygon(ring))
        x1, y1 = at(end)
        # Arrow head at the end of the arc, pointing along it (clockwise).
        a = math.radians(end)
        tangent = (-math.sin(a), math.cos(a))
        tip = (x1 + 22 * tangent[0], y1 + 22 * tangent[1])
        parts.append(f"fill {GREEN} stroke {GREEN_DARK} stroke-width 3 stroke-linejoin round "
                     + polygon([at(end, r + 17), tip, at(end, r - 17)]))
    return parts


def log():
    parts = [
        f"fill #FFF6D8 stroke {GREY_DARK} stroke-width 5 roundrectangle 20,16 108,120 8,8",
        f"fill {BLUE} stroke {BLUE_DARK} stroke-width 4 roundrectangle 20,12 108,32 6,6",
    ]
    for y in (50, 66, 82, 98):
        parts.append(f"stroke {GREY} stroke-width 5 stroke-linecap round line 34,{y} 94,{y}")
    parts.append(f"fill {RED} stroke none circle 34,50 38,50")
    return parts


def round_symbol(colour, dark, text, size, dy=0):
    return [
        f"fill {colour} stroke {dark} stroke-width 5 circle 64,64 64,8",
        f"fill white stroke none font {BOLD} font-size {size} gravity center text 0,{dy} '{text}'",
    ]


def power():
    return [
        f"fill {RED} stroke {RED_DARK} stroke-width 5 circle 64,64 64,8",
        "fill white stroke none " + polygon(
            [(64 + 36 * math.cos(math.radians(a)), 66 + 36 * math.sin(math.radians(a))) for a in range(-55, 236, 5)]
            + [(64 + 25 * math.cos(math.radians(a)), 66 + 25 * math.sin(math.radians(a))) for a in range(235, -56, -5)]),
        "stroke white stroke-width 11 stroke-linecap round line 64,28 64,62",
    ]


GLYPHS = {
    "ButtonWipe": document() + badge_x(92, 92, 28),
    "ButtonDriveWipe": drive(14) + badge_x(92, 96, 28),
    "ButtonFreeSpaceWipe": [
        f"fill {BLUE} stroke {BLUE_DARK} stroke-width 5 stroke-linejoin round path "
        "'M 58,64 L 58,12 A 52,52 0 1,0 108,80 Z'",
        f"fill {RED} stroke {RED_DARK} stroke-width 5 stroke-linejoin round path "
        "'M 68,56 L 68,6 A 50,50 0 0,1 116,70 Z'",
    ],
    "ButtonOptions": gear(),
    "ButtonRefresh": refresh(),
    "ButtonLog": log(),
    "ButtonHelp": round_symbol(BLUE, BLUE_DARK, "?", 80, 2),
    "ButtonAbout": round_symbol(BLUE, BLUE_DARK, "i", 80, 2),
    "ButtonExit": power(),
}


def draw(size, commands, out, background="none"):
    text = "".join("push graphic-context\n" + command + "\npop graphic-context\n" for command in commands)
    run("-size", f"{size[0]}x{size[1]}", f"xc:{background}", "-draw", text, out)


def glyph(name, commands):
    with tempfile.TemporaryDirectory() as tmp:
        big = os.path.join(tmp, "big.png")
        normal = os.path.join(tmp, "normal.png")
        disabled = os.path.join(tmp, "disabled.png")
        draw((128, 128), commands, big)
        run(big, "-filter", "Lanczos", "-resize", "32x32", normal)
        # Disabled: grey, lighter and fainter, same shape.
        run(normal, "-colorspace", "Gray", "-channel", "RGB", "-level", "-60%,100%", "+channel",
            "-channel", "A", "-evaluate", "multiply", "0.6", "+channel", "-colorspace", "sRGB", disabled)
        run(normal, disabled, "+append", "-background", FACE, "-alpha", "remove", "-alpha", "off",
            os.path.join(HERE, name + ".png"))


def shield(x, y, scale, fill=BLUE_LIGHT, edge="white"):
    def p(px, py):
        return (x + px * scale, y + py * scale)
    outline = [p(0, 8), p(40, 0), p(80, 8), p(80, 44), p(40, 96), p(0, 44)]
    return [
        f"fill {fill} stroke {edge} stroke-width {3 * scale} stroke-linejoin round " + polygon(outline),
        f"fill none stroke white stroke-width {9 * scale} stroke-linecap round stroke-linejoin round "
        + "polyline " + " ".join(f"{a:.1f},{b:.1f}" for a, b in [p(20, 26), p(40, 66), p(60, 26)]),
    ]


def splash():
    out = os.path.join(HERE, "Splash.png")
    with tempfile.TemporaryDirectory() as tmp:
        base = os.path.join(tmp, "base.png")
        run("-size", "480x300", "gradient:#1E4E86-#0E2440", base)
        commands = shield(44, 70, 1.35) + [
            f"fill white font {BOLD} font-size 58 text 180,150 'Varnox'",
            f"fill #BFD6F0 font {SANS} font-size 19 text 183,186 'Secure data destruction'",
            f"stroke {RED} stroke-width 4 line 183,206 330,206",
            f"fill #8FAED0 font {SANS} font-size 13 text 24,280 'Version 1.0'",
            f"fill #8FAED0 font {SANS} font-size 13 gravity SouthEast text 24,14 'Starting...'",
        ]
        draw((480, 300), commands, os.path.join(tmp, "top.png"))
        run(base, os.path.join(tmp, "top.png"), "-composite", "-alpha", "off", out)


def about():
    out = os.path.join(HERE, "About.png")
    with tempfile.TemporaryDirectory() as tmp:
        base = os.path.join(tmp, "base.png")
        run("-size", "440x240", "gradient:#FFFFFF-#E3ECF6", base)
        commands = [f"fill {BLUE_DARK} stroke none rectangle 0,0 130,240"] + shield(25, 60, 1.0) + [
            f"fill {BLUE_DARK} font {BOLD} font-size 34 text 152,62 'Varnox'",
            f"fill {GREY_DARK} font {SANS} font-size 14 text 154,88 'Version 1.0.0'",
            f"stroke {RED} stroke-width 3 line 154,104 290,104",
            f"fill #333B44 font {SANS} font-size 13 text 154,132 'Destroys files, folders, free space'",
            f"fill #333B44 font {SANS} font-size 13 text 154,150 'and whole drives beyond recovery.'",
            f"fill {GREY_DARK} font {SANS} font-size 12 text 154,214 'Copyright (c) 2026 Varnox'",
        ]
        draw((440, 240), commands, os.path.join(tmp, "top.png"))
        run(base, os.path.join(tmp, "top.png"), "-composite", "-alpha", "off", out)


def program_icon():
    """The program's icon (Explorer, the Start menu, Apps and the window frames): the
    brand's shield, dark-edged so that it stands on light and dark backgrounds."""
    out = os.path.join(HERE, "..", "..", "src", "app", "Varnox.ico")
    with tempfile.TemporaryDirectory() as tmp:
        big = os.path.join(tmp, "big.png")
        draw((512, 512), shield(58, 14, 4.95, BLUE, BLUE_DARK), big)
        sizes = []
        for size in (256, 48, 32, 24, 16):
            sizes.append(os.path.join(tmp, f"{size}.png"))
            run(big, "-filter", "Lanczos", "-resize", f"{size}x{size}", "-strip", "-depth", "8", sizes[-1])
        run(*sizes, out)


def exclamation():
    with tempfile.TemporaryDirectory() as tmp:
        big = os.path.join(tmp, "big.png")
        draw((192, 192), [
            f"fill #F5B82E stroke #A8740A stroke-width 9 stroke-linejoin round "
            + polygon([(96, 14), (182, 170), (10, 170)]),
            "fill #2B2B2B stroke none roundrectangle 86,58 106,124 8,8",
            "fill #2B2B2B stroke none circle 96,146 96,157",
        ], big)
        run(big, "-filter", "Lanczos", "-resize", "48x48", "-background", FACE, "-alpha", "remove", "-alpha", "off",
            os.path.join(HERE, "Exclamation.png"))


if __name__ == "__main__":
    for name, commands in GLYPHS.items():
        glyph(name, commands)
    splash()
    about()
    exclamation()
    program_icon()
    # 8 bits per channel: small files every decoder takes.
    for name in os.listdir(HERE):
        if name.endswith(".png"):
            run(os.path.join(HERE, name), "-strip", "-depth", "8", os.path.join(HERE, name))
