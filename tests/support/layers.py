#!/usr/bin/env python3
"""Guards the source layout, in every platform's files: each folder of src/ includes only the
folders src/layers.txt puts below it (no circles); only src/system/ includes an operating system's
own headers; and src/system/, the bottom, includes none of Qt's widgets or private headers.

    layers.py [SRC [QTWIDGETS_INCLUDE_DIR]]   QtWidgets' headers, to know them by name
"""
import pathlib
import re
import sys

src = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).parents[2] / "src")
widgets_dir = pathlib.Path(sys.argv[2]) if len(sys.argv) > 2 else None

# Each folder and the folders it may include, as layers.txt has them.
ALLOWED = {}
for line in (src / "layers.txt").read_text(encoding="utf-8").splitlines():
    if line and not line.startswith("#"):
        folder, _, below = line.partition(":")
        ALLOWED[folder.strip()] = set(below.split())

SYSTEM_HEADERS = re.compile(r"#\s*include\s*<(unistd\.h|fcntl\.h|sys/[^>]*|windows\.h|[a-z]*api\.h)>")
INCLUDE = re.compile(r'#\s*include\s*"([a-z]+)/[^"]+"')
QT_HEADER = re.compile(r"#\s*include\s*<([^>]+)>")
# The widgets' own headers (QWidget, QApplication, QtWidgets/...) and Qt's private ones.
WIDGET_HEADERS = {p.name for p in widgets_dir.iterdir()} if widgets_dir and widgets_dir.is_dir() else set()


def above_widgets(header):
    return header.startswith(("private/", "qpa/", "QtWidgets/")) or header in WIDGET_HEADERS


faults = []
for path in sorted(src.rglob("*")):
    if path.suffix not in (".h", ".cpp"):
        continue
    folder = path.relative_to(src).parts[0]
    if folder not in ALLOWED:
        faults.append(f"{path}: folder {folder}/ has no place in layers.txt")
        continue
    for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
        line = line.strip()
        match = INCLUDE.match(line)
        if match and match[1] != folder and match[1] not in ALLOWED[folder]:
            faults.append(f"{path}:{number}: {folder}/ must not include {match[1]}/")
        if SYSTEM_HEADERS.match(line) and folder != "system":
            faults.append(f"{path}:{number}: system headers belong in system/")
        header = QT_HEADER.match(line)
        if header and folder == "system" and above_widgets(header[1]):
            faults.append(f"{path}:{number}: system/ is below the widgets and Qt's internals: not <{header[1]}>")
for fault in faults:
    print(fault)
sys.exit(1 if faults else 0)
