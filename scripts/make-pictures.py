#!/usr/bin/env python3
"""Draws the program's pictures: a cairn of flat grey stones by a blue tarn.

Writes, into resources/:
  header.bmp     49 x 49, 24-bit, white ground (wizard header, About dialog)
  about_menu.bmp 12 x 17, 24-bit, ground RGB 192,192,192, which loading with
                 LR_LOADMAP3DCOLORS turns into the menu's face colour
  tarn.ico       16, 32 and 48 pixels with a transparent ground

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


def main():
    render(FULL_CAIRN, 49, 49, "white", 2.0, "BMP3:" + os.path.join(RESOURCES, "header.bmp"))
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


if __name__ == "__main__":
    main()
