"""Cuts the date's face from RocknRoll One: only the characters a date can hold, under a name of
its own, so that the program always finds this copy rather than whatever a system calls by the
original's name. The copyright and licence names stay, as the SIL Open Font License asks.

    datefont.py SOURCE.ttf CHARACTERS OUTPUT.ttf
"""
import sys

from fontTools import subset
from fontTools.ttLib import TTFont

FAMILY = "ZAV Date"
NAMES = {1: FAMILY, 3: FAMILY + " Regular", 4: FAMILY + " Regular", 6: "ZAVDate-Regular"}


def main():
    source, characters, output = sys.argv[1:]
    options = subset.Options()
    options.name_IDs = ["*"]
    options.name_languages = ["*"]
    # Its times stay RocknRoll One's: the face depends on its source alone, not on when it is cut.
    font = TTFont(source, recalcTimestamp=False)
    cutter = subset.Subsetter(options)
    cutter.populate(text=characters)
    cutter.subset(font)
    names = font["name"]
    names.names = [n for n in names.names if n.nameID not in (16, 17, 21, 22)]
    for record in names.names:
        if record.nameID in NAMES:
            record.string = NAMES[record.nameID]
    missing = [c for c in characters if ord(c) not in font.getBestCmap()]
    if missing:
        sys.exit(f"datefont: {source} lacks {''.join(missing)}")
    font.save(output)


if __name__ == "__main__":
    main()
