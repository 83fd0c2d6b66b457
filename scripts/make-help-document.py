#!/usr/bin/env python3
"""Writes examples/help/tools.rtf: the example's help document, with a small
picture (a device-independent bitmap, which both the system's rich edit
control and Wine's show) and a web address the help pane opens on a double
click. Run it again after changing the text or the drawing."""
import pathlib
import struct

W, H = 48, 32


def pixel(x, y):
    # A toolbox: a dark blue lid over a lighter body with a handle.
    if 4 <= y <= 8 and 18 <= x <= 29:
        return (51, 51, 153)
    if 9 <= y <= 12 and 4 <= x <= 43:
        return (51, 51, 153)
    if 13 <= y <= 28 and 4 <= x <= 43:
        return (230, 180, 60) if (x + y) % 7 else (200, 150, 40)
    return (255, 255, 255)


def dib():
    header = struct.pack("<IiiHHIIiiII", 40, W, H, 1, 24, 0, 0, 2835, 2835, 0, 0)
    rows = []
    for y in range(H - 1, -1, -1):  # bottom-up rows
        row = b"".join(bytes((b, g, r)) for r, g, b in (pixel(x, y) for x in range(W)))
        rows.append(row + b"\0" * ((4 - len(row) % 4) % 4))
    return header + b"".join(rows)


def main():
    data = dib().hex()
    lines = [data[i:i + 128] for i in range(0, len(data), 128)]
    rtf = (
        "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}\r\n"
        "{\\colortbl ;\\red51\\green51\\blue153;}\r\n"
        "\\pard\\cf1\\b\\fs24 Tools and viewers\\b0\\cf0\\par\r\n"
        "\\fs18\\par\r\n"
        "{\\pict\\dibitmap0\\picw%d\\pich%d\\picwgoal%d\\pichgoal%d\r\n%s\r\n}\\par\r\n"
        "\\par\r\n"
        "Every workstation of the lab gets these small programs. Each writes a note "
        "into C:\\\\TarnDemo, so you can see what ran.\\par\r\n"
        "\\par\r\n"
        "Choose one of the two image viewers; the Notepad item follows what the "
        "computer already has.\\par\r\n"
        "\\par\r\n"
        "More about the lab's software: https://example.org/lab/software\\par\r\n"
        "}\r\n" % (W, H, W * 15, H * 15, "\r\n".join(lines)))
    target = pathlib.Path(__file__).resolve().parent.parent / "examples" / "help" / "tools.rtf"
    target.write_bytes(rtf.encode("ascii"))


if __name__ == "__main__":
    main()
