"""Cuts the date's face from RocknRoll One: only the characters a date can hold, under a name of
its own, so that the program always finds this copy rather than whatever a system calls by the
original's name. The copyright and licence names stay, as the SIL Open Font License asks.

    datefont.py SOURCE.ttf CHARACTERS OUTPUT.ttf
"""
import sys

from fontTools import subset
from fontTools.ttLib import TTFont


def cut(source, characters, output, family, postscript, number=-1):
    """Writes the face number `number` of SOURCE (a collection's), cut to CHARACTERS and named
    FAMILY, to OUTPUT; stops when SOURCE lacks one of them."""
    options = subset.Options()
    options.name_IDs = ["*"]
    options.name_languages = ["*"]
    # Its times stay the source's: the face depends on its source alone, not on when it is cut.
    font = TTFont(source, recalcTimestamp=False, fontNumber=number)
    cutter = subset.Subsetter(options)
    cutter.populate(text=characters)
    cutter.subset(font)
    names = font["name"]
    names.names = [n for n in names.names if n.nameID not in (16, 17, 21, 22)]
    renamed = {1: family, 3: family + " Regular", 4: family + " Regular", 6: postscript}
    for record in names.names:
        if record.nameID in renamed:
            record.string = renamed[record.nameID]
    missing = [c for c in characters if ord(c) not in font.getBestCmap()]
    if missing:
        sys.exit(f"{sys.argv[0]}: {source} lacks {''.join(missing)}")
    font.save(output)


def main():
    source, characters, output = sys.argv[1:]
    cut(source, characters, output, "ZAV Date", "ZAVDate-Regular")


if __name__ == "__main__":
    main()
