#!/usr/bin/env python3
"""Zips a folder so that the same files always give the same bytes:
  release-zip.py <folder> <zip file> <SOURCE_DATE_EPOCH>
Entries in byte order of their paths ("/" separators), files only (every
folder of the release holds a file), each with the given time (UTC), mode
0644 (0755 for programs), made on "Unix", deflated at level 9, and no extra
fields: nothing of the machine, the user or the moment of the build."""
import os
import sys
import time
import zipfile


def entries(root):
    found = []
    for folder, _, files in os.walk(root):
        for name in files:
            path = os.path.join(folder, name)
            found.append(os.path.relpath(path, root).replace(os.sep, "/"))
    return sorted(found, key=lambda name: name.encode("utf-8"))


def main():
    root, target, epoch = sys.argv[1], sys.argv[2], int(sys.argv[3])
    # The zip format's earliest time is 1980.
    stamp = time.gmtime(max(epoch, 315532800))[:6]
    partial = target + ".partial"
    with zipfile.ZipFile(partial, "w") as archive:
        for name in entries(root):
            info = zipfile.ZipInfo(name, date_time=stamp)
            info.compress_type = zipfile.ZIP_DEFLATED
            info.create_system = 3
            mode = 0o755 if name.lower().endswith((".exe", ".cmd")) else 0o644
            info.external_attr = (0o100000 | mode) << 16
            with open(os.path.join(root, name), "rb") as source:
                archive.writestr(info, source.read(), compresslevel=9)
    os.replace(partial, target)


if __name__ == "__main__":
    main()
