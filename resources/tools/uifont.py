"""Cuts a face for the window's own texts, for where the system offers none (a web browser gives
a page no Japanese face): the printable ASCII characters and every other character written in
the program's string literals, from Noto Sans CJK JP, named ZAV UI.

    uifont.py SOURCE.ttc OUTPUT.otf SOURCE-FILE...
"""
import re
import sys

from datefont import cut

LITERAL = re.compile(r'"((?:[^"\\\n]|\\.)*)"')


def main():
    source, output, *files = sys.argv[1:]
    characters = {chr(c) for c in range(0x20, 0x7F)}
    for name in files:
        with open(name, encoding="utf-8") as text:
            for literal in LITERAL.findall(text.read()):
                characters.update(c for c in literal if ord(c) > 0x7F)
    cut(source, "".join(sorted(characters)), output, "ZAV UI", "ZAVUI-Regular", number=0)


if __name__ == "__main__":
    main()
