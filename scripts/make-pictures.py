#!/usr/bin/env python3
"""Draws the program's pictures: a cairn of flat grey stones by a blue tarn.

Writes, into resources/:
  header.bmp     49 x 49, 24-bit, white ground (wizard header, About dialog)
  header_150.bmp, header_200.bmp  the header at 150 % (74 x 74) and 200 %
                 (98 x 98), for windows on screens of those scales
  about_menu.bmp 12 x 17, 24-bit, ground RGB 192,192,192, which loading with
                 LR_LOADMAP3DCOLORS turns into the menu's face colour
  tarn.ico       16, 32 and 48 pixels with a transparent ground
  account_*.ico  16 and 32 pixels: the account list's person in its states
                 (new, existing, disabled greyed, deleted with a red cross),
                 the property sheet's and a spare one
  changed_folder.ico  16 and 32 pixels: a folder with a warning mark

Each picture is drawn eight times larger and then scaled down, so the stones
get soft edges. Needs ImageMagick's "convert"; the results are committed, so
the build does not. Run from anywhere: python3 scripts/make-pictures.py
"""
import os
import subprocess
import tempfile

RESOURCES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources")
OVERSAMPLE = 8
OUTLINE = "#39414a"
WATER = "#2f76c0"
WATER_LIGHT = "#8cc4f0"

# Stones bottom up: centre x, centre y, half width, half height, colour, in a
# 100 x 100 box.
FULL_CAIRN = [
    (50, 77, 35, 11, "#6f7882"),
    (46, 59, 27, 9.5, "#8f98a1"),
    (54, 43, 20, 8.5, "#747d87"),
    (48, 29, 14, 7, "#a3aab1"),
    (51, 17, 8.5, 5.5, "#7c8590"),
]
# Three larger stones, light between dark, stay apart at 16 pixels and in
# the menu.
SMALL_CAIRN = [
    (50, 73, 44, 14, "#5f6873"),
    (50, 47, 31, 12, "#aab1b8"),
    (50, 22, 18, 10, "#6c7580"),
]


def draw_commands(stones, width, height, outline, details):
    """ImageMagick -draw primitives for a cairn in a width x height canvas."""
    sx = width / 100.0
    sy = height / 100.0
    s = min(sx, sy)
    commands = []
    # The tarn: a flat ellipse of water under the cairn, with two ripples
    # where there is room for them.
    commands.append(f"fill {WATER} stroke none ellipse {50 * sx:.1f},{91 * sy:.1f} "
                    f"{48 * sx:.1f},{8 * sy:.1f} 0,360")
    if not details:
        return commands + stone_commands(stones, sx, sy, s, outline, details)
    commands.append(f"fill none stroke {WATER_LIGHT} stroke-width {2.5 * s:.1f} "
                    f"line {14 * sx:.1f},{93 * sy:.1f} {30 * sx:.1f},{93 * sy:.1f}")
    commands.append(f"fill none stroke {WATER_LIGHT} stroke-width {2.5 * s:.1f} "
                    f"line {72 * sx:.1f},{95 * sy:.1f} {88 * sx:.1f},{95 * sy:.1f}")
    return commands + stone_commands(stones, sx, sy, s, outline, details)


def stone_commands(stones, sx, sy, s, outline, details):
    """The stones bottom up, each outlined, with a light fleck if `details`."""
    commands = []
    for cx, cy, rx, ry, colour in stones:
        commands.append(f"fill {colour} stroke {OUTLINE} stroke-width {outline * s:.1f} "
                        f"ellipse {cx * sx:.1f},{cy * sy:.1f} {rx * sx:.1f},{ry * sy:.1f} 0,360")
        if not details:
            continue
        # A light fleck on the upper left of each stone.
        commands.append(f"fill #ffffff55 stroke none ellipse {(cx - rx * 0.35) * sx:.1f},"
                        f"{(cy - ry * 0.4) * sy:.1f} {rx * 0.35 * sx:.1f},"
                        f"{ry * 0.25 * sy:.1f} 0,360")
    return commands


def render(stones, width, height, ground, outline, target):
    """Draws large, scales down to width x height and writes `target`."""
    details = stones is FULL_CAIRN
    big_w, big_h = width * OVERSAMPLE, height * OVERSAMPLE
    args = ["convert", "-size", f"{big_w}x{big_h}", "xc:none"]
    for command in draw_commands(stones, big_w, big_h, outline, details):
        args += ["-draw", command]
    args += ["-filter", "Triangle", "-resize", f"{width}x{height}!"]
    if ground != "none":
        args += ["-background", ground, "-flatten", "-alpha", "off", "-type", "TrueColor"]
    args.append(target)
    subprocess.run(args, check=True)


# The person of the account icons: colours of head and body, outline.
PERSON_NEW = ("#f2c9a0", "#2f76c0", "#1d3f66")
PERSON_EXISTING = ("#f2c9a0", "#3a9a4a", "#1e5228")
PERSON_GREY = ("#d4d4d4", "#a0a0a0", "#707070")
PERSON_GREY_EXISTING = ("#d4d4d4", "#9db3a0", "#6a7a6c")
PERSON_SHEET = ("#f2c9a0", "#c07a2f", "#663f1d")
PERSON_SPARE = ("#f2c9a0", "#7a5ab0", "#3f2a66")
CROSS = "#d02020"

# file name, person colours, extra mark
ACCOUNT_ICONS = [
    ("account_new.ico", PERSON_NEW, None),
    ("account_new_disabled.ico", PERSON_GREY, None),
    ("account_existing.ico", PERSON_EXISTING, None),
    ("account_existing_disabled.ico", PERSON_GREY_EXISTING, None),
    ("account_deleted.ico", PERSON_EXISTING, "cross"),
    ("account_sheet.ico", PERSON_SHEET, "card"),
    ("account_spare.ico", PERSON_SPARE, None),
]


def person_commands(size, colours, mark):
    """A head and shoulders in a size x size canvas, with an optional mark."""
    s = size / 100.0
    skin, body, outline = colours
    width = 6 * s
    commands = []
    if mark == "card":
        commands.append(f"fill #fff6e0 stroke #8a6a40 stroke-width {width:.1f} "
                        f"roundrectangle {4 * s:.1f},{10 * s:.1f} {96 * s:.1f},{96 * s:.1f} "
                        f"{10 * s:.1f},{10 * s:.1f}")
    # Shoulders: the upper half of a wide ellipse, closed at the bottom edge.
    commands.append(f"fill {body} stroke {outline} stroke-width {width:.1f} "
                    f"ellipse {50 * s:.1f},{98 * s:.1f} {40 * s:.1f},{42 * s:.1f} 180,360")
    commands.append(f"fill {skin} stroke {outline} stroke-width {width:.1f} "
                    f"circle {50 * s:.1f},{33 * s:.1f} {50 * s:.1f},{12 * s:.1f}")
    if mark == "cross":
        for a, b in (((52, 52), (96, 96)), ((96, 52), (52, 96))):
            commands.append(f"fill none stroke {CROSS} stroke-width {14 * s:.1f} "
                            f"line {a[0] * s:.1f},{a[1] * s:.1f} {b[0] * s:.1f},{b[1] * s:.1f}")
    return commands


def folder_warning_commands(size):
    """A yellow folder with a warning triangle in its lower right corner."""
    s = size / 100.0
    w = 5 * s
    return [
        f"fill #e0b040 stroke #8a6a10 stroke-width {w:.1f} "
        f"polygon {4 * s:.1f},{20 * s:.1f} {38 * s:.1f},{20 * s:.1f} {46 * s:.1f},{30 * s:.1f} "
        f"{90 * s:.1f},{30 * s:.1f} {90 * s:.1f},{84 * s:.1f} {4 * s:.1f},{84 * s:.1f}",
        f"fill #f4d470 stroke #8a6a10 stroke-width {w:.1f} "
        f"polygon {4 * s:.1f},{40 * s:.1f} {90 * s:.1f},{40 * s:.1f} {90 * s:.1f},{84 * s:.1f} "
        f"{4 * s:.1f},{84 * s:.1f}",
        f"fill #ffd000 stroke #202020 stroke-width {w:.1f} "
        f"polygon {72 * s:.1f},{46 * s:.1f} {98 * s:.1f},{97 * s:.1f} {46 * s:.1f},{97 * s:.1f}",
        f"fill none stroke #202020 stroke-width {9 * s:.1f} "
        f"line {72 * s:.1f},{64 * s:.1f} {72 * s:.1f},{80 * s:.1f}",
        f"fill #202020 stroke none circle {72 * s:.1f},{89 * s:.1f} {72 * s:.1f},{85 * s:.1f}",
    ]


def render_icon(commands_for, target, scratch):
    """An icon of 16 and 32 pixels, each drawn large and scaled down."""
    sizes = []
    for size in (16, 32):
        big = size * OVERSAMPLE
        path = os.path.join(scratch, f"{os.path.basename(target)}{size}.png")
        args = ["convert", "-size", f"{big}x{big}", "xc:none"]
        for command in commands_for(big):
            args += ["-draw", command]
        args += ["-filter", "Triangle", "-resize", f"{size}x{size}!", "PNG32:" + path]
        subprocess.run(args, check=True)
        sizes.append(path)
    subprocess.run(["convert"] + sizes + [target], check=True)


def render_account_icons():
    with tempfile.TemporaryDirectory() as scratch:
        for name, colours, mark in ACCOUNT_ICONS:
            render_icon(lambda big, c=colours, m=mark: person_commands(big, c, m),
                        os.path.join(RESOURCES, name), scratch)
        render_icon(folder_warning_commands, os.path.join(RESOURCES, "changed_folder.ico"),
                    scratch)


def main():
    render(FULL_CAIRN, 49, 49, "white", 2.0, "BMP3:" + os.path.join(RESOURCES, "header.bmp"))
    # Drawn afresh at each scale rather than stretched, so the outlines
    # stay as fine as at 100 %.
    for percent, outline in ((150, 3.0), (200, 4.0)):
        size = (49 * percent + 50) // 100
        render(FULL_CAIRN, size, size, "white", outline,
               "BMP3:" + os.path.join(RESOURCES, f"header_{percent}.bmp"))
    render(SMALL_CAIRN, 12, 17, "rgb(192,192,192)", 4.0,
           "BMP3:" + os.path.join(RESOURCES, "about_menu.bmp"))
    with tempfile.TemporaryDirectory() as scratch:
        sizes = []
        for size, stones, outline in ((16, SMALL_CAIRN, 5.0), (32, FULL_CAIRN, 2.5),
                                      (48, FULL_CAIRN, 2.0)):
            path = os.path.join(scratch, f"icon{size}.png")
            render(stones, size, size, "none", outline, "PNG32:" + path)
            sizes.append(path)
        # Each size stored as a 32-bit bitmap with alpha, which every
        # version of the system reads.
        subprocess.run(["convert"] + sizes + [os.path.join(RESOURCES, "tarn.ico")], check=True)
    render_account_icons()


if __name__ == "__main__":
    main()
