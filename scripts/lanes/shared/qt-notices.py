#!/usr/bin/python3
"""Writes the notices of the libraries a static Qt for Windows carries inside it, from Qt's own
attribution files in its source, for the licences folder beside the program; and beside them
(OUTPUT-sources.txt) which source files of Qt's belong to which library, to check a link by.

    scripts/lanes/shared/qt-notices.py [--web] QTBASE_SOURCE.tar.xz OUTPUT.txt
        --web: for the Qt for WebAssembly, which carries no Windows headers
    scripts/lanes/shared/qt-notices.py --check LINK.map OUTPUT-sources.txt
        fails when the link map shows an object of a library that OUTPUT.txt does not list

Only what the program's static Qt links (Core, Gui, Widgets and the Windows or WebAssembly
platform) is listed:
the attributions of other platforms and of the features that build leaves out are skipped.
"""
import json
import posixpath
import re
import sys
import tarfile

COMPILED = (".c", ".cc", ".cpp")

LINKED = [
    "unicode-character-database", "unicode-cldr", "siphash", "doubleconversion", "easing", "tinycbor", "pcre2",
    "pcre2-sljit", "zlib", "md4", "md5", "sha1", "sha3_endian", "sha3_keccak", "rfc6234", "blake2",
    "freetype", "freetype-zlib", "freetype-bdf", "freetype-pcf", "harfbuzz-ng", "libpng",
    "grayraster", "smooth-scaling-algorithm", "xserverhelper", "aglfn", "icc-sRGB-color-profile",
]

WINTAB = """Wacom tablet interface headers (wintab.h, pktdef.h), from Wine
Used in the Windows platform plugin, which Debian's source leaves them out of.
Copyright: 1991-1998 LCS/Telegraphics; the Wine project
License: LGPL-2.1-or-later (the Wine headers)
"""


def sources_of(attributions, compiled):
    """Lines "ID FILE" for each compiled file of each attribution: the files it names, or every one
    below its folder when that is a third-party folder (elsewhere the folder is Qt's own)."""
    lines = set()
    for key, (folder, entry) in attributions.items():
        named = entry.get("Files")
        if isinstance(named, str):
            named = re.split(r"[\s,]+", named.strip())
        if named:
            wanted = [posixpath.basename(f) for f in named if f.endswith(COMPILED)]
        elif "3rdparty" in folder.split("/"):
            wanted = [posixpath.basename(f) for f in compiled if f.startswith(folder + "/")]
        else:
            wanted = []
        lines.update(f"{key} {name}" for name in wanted)
    return sorted(lines)


def check(link_map, sources):
    """Every object the link took from a Qt archive that is built from a bundled library's file
    must belong to a library listed here."""
    owners = {}
    for line in open(sources, encoding="utf-8"):
        key, name = line.split()
        owners.setdefault(name, set()).add(key)
    unlisted = set()
    linked = set()
    for member in re.findall(r"^\S*/lib(Qt6\w*)\.a\((\S+)\.obj\)", open(link_map, encoding="utf-8", errors="replace").read(), re.M):
        archive, name = member
        keys = owners.get(name, set())
        if keys and not keys & set(LINKED):
            unlisted.add(f"{'/'.join(sorted(keys))} ({archive}: {name})")
        elif archive.startswith("Qt6Bundled") and not keys:
            unlisted.add(f"an unknown library ({archive}: {name})")
        linked |= keys
    if unlisted:
        sys.exit("qt-notices: linked, but without a notice: " + ", ".join(sorted(unlisted)))
    if not linked:
        sys.exit(f"qt-notices: {link_map} shows no object of a library Qt bundles: is it a link map?")


def main():
    if sys.argv[1:2] == ["--check"]:
        check(*sys.argv[2:])
        return
    web = sys.argv[1:2] == ["--web"]
    source, output = sys.argv[2:] if web else sys.argv[1:]
    linked = LINKED
    attributions = {}
    texts = {}
    compiled = []
    with tarfile.open(source, "r:xz") as tar:
        for member in tar:
            if not member.isfile():
                continue
            name = member.name
            base = posixpath.basename(name)
            if base.endswith(COMPILED):
                compiled.append(name)
            if base == "qt_attribution.json":
                entries = json.loads(tar.extractfile(member).read().decode("utf-8"), strict=False)
                for entry in entries if isinstance(entries, list) else [entries]:
                    attributions[entry.get("Id")] = (posixpath.dirname(name), entry)
            elif any(word in base.upper() for word in ("LICENSE", "LICENCE", "COPYING", "NOTICE", "README")) \
                    or base.endswith(".txt") or base in ("FTL.TXT",):
                texts[name] = tar.extractfile(member).read().decode("utf-8", "replace")
    missing = [wanted for wanted in linked if wanted not in attributions]
    if missing:
        sys.exit(f"qt-notices: no attribution for {', '.join(missing)} in {source}")

    parts = ["The libraries that Qt carries inside this program, with their notices, as Qt's own\n"
             "attribution files in its source give them.\n"]
    for wanted in linked:
        folder, entry = attributions[wanted]
        # Public-domain code names no licence file: its copyright line says it all.
        files = entry.get("LicenseFiles") or ([entry["LicenseFile"]] if entry.get("LicenseFile") else [])
        body = [f"{entry.get('Name')} {entry.get('Version', '')}".rstrip(),
                entry.get("QtUsage", "").strip(),
                f"Copyright: {entry.get('Copyright', '').strip()}",
                f"License: {entry.get('LicenseId') or entry.get('License')}"]
        for file in files:
            path = posixpath.normpath(posixpath.join(folder, file))
            if path not in texts:
                sys.exit(f"qt-notices: {wanted}: no licence text {path}")
            body.append("\n" + texts[path].strip())
        parts.append("\n".join(body))
    if not web:
        parts.append(WINTAB)
    with open(output, "w", encoding="utf-8") as out:
        out.write(("\n\n" + "-" * 78 + "\n\n").join(parts) + "\n")
    with open(output.removesuffix(".txt") + "-sources.txt", "w", encoding="utf-8") as out:
        out.writelines(line + "\n" for line in sources_of(attributions, compiled))


if __name__ == "__main__":
    main()
