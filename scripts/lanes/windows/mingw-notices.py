#!/usr/bin/python3
"""Prints the copyright stanzas of what MinGW-w64 links statically into a Windows program: its C
runtime and start-up code and winpthreads (from Debian's mingw-w64 copyright file), and GCC's
libgcc, libstdc++ and libssp under the GCC Runtime Library Exception (from gcc-mingw-w64-base's),
with the licence texts they name, for the program's copyright file.

    scripts/lanes/windows/mingw-notices.py [DOC_FOLDER]      DOC_FOLDER: /usr/share/doc
"""
import re
import sys

LINKED = re.compile(r"^(\*|mingw-w64-crt/.*|mingw-w64-libraries/winpthreads/(?!tests).*)$")


def paragraphs(path):
    return [p for p in re.split(r"\n\s*\n", open(path, encoding="utf-8").read()) if p.strip()]


def field(paragraph, name):
    match = re.search(rf"^{name}:[ \t]*(.*(?:\n[ \t].*)*)", paragraph, re.M)
    return match.group(1) if match else None


def mingw(doc):
    """The stanzas whose files are linked, and the stand-alone licence texts they name."""
    stanzas, licences, named = [], {}, set()
    for paragraph in paragraphs(f"{doc}/mingw-w64-common/copyright")[1:]:
        files = field(paragraph, "Files")
        licence = (field(paragraph, "License") or "").split("\n")[0].strip()
        if files is None:
            licences[licence] = paragraph
        elif any(LINKED.match(f) for f in files.split()):
            # Under a folder of their own, beside the program's "Files: *".
            stanzas.append(re.sub(r"^Files:.*(?:\n[ \t].*)*",
                                  lambda m: re.sub(r"(?<=[: \t])(?=[\w*])", "mingw-w64/", m.group(0)[6:]).join(["Files:", ""]),
                                  paragraph, count=1, flags=re.M))
            if "\n" not in field(paragraph, "License"):
                named.update(re.split(r"\s+(?:and|or)\s+", licence))
    missing = named - licences.keys()
    if missing:
        sys.exit(f"mingw-notices: no text for {', '.join(sorted(missing))}")
    return stanzas, [licences[name] for name in sorted(named)]


def gcc(doc):
    """libgcc, libstdc++ and libssp (the stack protector's checks): GPL-3+ with the GCC Runtime
    Library Exception, whose text is quoted."""
    text = open(f"{doc}/gcc-mingw-w64-base/copyright", encoding="utf-8").read()
    exception = re.search(r"^ *GCC RUNTIME LIBRARY EXCEPTION$.*?requirements of the license of GCC\.$",
                          text, re.M | re.S)
    if not exception:
        sys.exit("mingw-notices: no GCC Runtime Library Exception in gcc-mingw-w64-base's copyright file")
    body = "\n".join(" " + line.strip() if line.strip() else " ." for line in exception.group(0).split("\n"))
    return ("Files: gcc/libgcc/* gcc/libstdc++-v3/* gcc/libssp/*\n"
            "Copyright: Free Software Foundation, Inc.\n"
            "License: GPL-3+ with GCC-exception-3.1\n"
            "Comment: GCC's runtime libraries, linked statically by MinGW-w64's g++.\n"
            " From Debian's gcc-mingw-w64-base copyright file.\n"
            "\n"
            "License: GPL-3+ with GCC-exception-3.1\n"
            " The GNU General Public License version 3 or later (LICENSE.txt beside this file),\n"
            " with this additional permission:\n .\n" + body)


def main():
    doc = sys.argv[1] if len(sys.argv) > 1 else "/usr/share/doc"
    stanzas, licences = mingw(doc)
    comment = ("Comment: MinGW-w64's C runtime, start-up code and winpthreads, linked statically.\n"
               " From Debian's mingw-w64 copyright file.")
    stanzas[0] = stanzas[0].rstrip() + "\n" + comment
    print("\n\n".join([*stanzas, gcc(doc), *licences]))


if __name__ == "__main__":
    main()
