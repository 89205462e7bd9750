#!/usr/bin/python3
"""Packs a folder as a zip that comes out the same byte for byte from the same files: entries in
sorted order, every time stamp SOURCE_DATE_EPOCH, fixed attributes (folders and programs 755,
other files 644), names in UTF-8 as Explorer reads them.

    SOURCE_DATE_EPOCH=N scripts/lanes/shared/reproducible-zip.py OUT.zip PARENT NAME     packs PARENT/NAME as NAME/
"""
import os
import stat
import sys
import time
import zipfile


def main():
    out, parent, name = sys.argv[1:]
    # A zip's times are local DOS times from 1980 on: the epoch is written as that moment in UTC.
    stamp = time.gmtime(max(int(os.environ["SOURCE_DATE_EPOCH"]), 315532800))[:6]
    entries = []
    for folder, dirs, files in os.walk(os.path.join(parent, name)):
        relative = os.path.relpath(folder, parent).replace(os.sep, "/")
        entries.append((relative + "/", None))
        entries += [(f"{relative}/{file}", os.path.join(folder, file)) for file in files]
    with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as archive:
        for entry, path in sorted(entries):
            info = zipfile.ZipInfo(entry, stamp)
            info.create_system = 3  # the attributes below are Unix modes
            if path is None:
                info.external_attr = (stat.S_IFDIR | 0o755) << 16 | 0x10
                archive.writestr(info, b"")
                continue
            executable = os.stat(path).st_mode & 0o100 or entry.endswith(".exe")
            info.external_attr = (stat.S_IFREG | (0o755 if executable else 0o644)) << 16
            info.compress_type = zipfile.ZIP_DEFLATED
            with open(path, "rb") as data:
                archive.writestr(info, data.read(), compresslevel=9)


if __name__ == "__main__":
    main()
