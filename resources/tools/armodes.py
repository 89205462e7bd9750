#!/usr/bin/python3
"""Sets every member of ar archives (a .deb is one) to mode 644, as dpkg-deb writes them.

    armodes.py ARCHIVE...
"""
import sys

HEADER = 60  # a member's header; its mode is bytes 40 to 48, in octal


def main():
    for path in sys.argv[1:]:
        with open(path, "r+b") as archive:
            data = bytearray(archive.read())
            if not data.startswith(b"!<arch>\n"):
                sys.exit(f"armodes: {path} is not an ar archive")
            at = 8
            while at + HEADER <= len(data):
                data[at + 40:at + 48] = b"100644  "
                size = int(data[at + 48:at + 58])
                at += HEADER + size + (size & 1)
            archive.seek(0)
            archive.write(data)


if __name__ == "__main__":
    main()
