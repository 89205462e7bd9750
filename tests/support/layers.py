#!/usr/bin/env python3
"""Guards the source layout: each folder of src/ includes only the folders below it (no circles),
and only src/system/ includes an operating system's own headers."""
import pathlib
import re
import sys

# Each folder and the folders it may include; the order has no cycle.
ALLOWED = {
    "system": set(),
    "forms": set(),
    "handlers": {"forms"},
    "pictures": {"forms", "system"},
    "input": {"handlers"},
    "accessibility": set(),
    "widgets": {"forms", "handlers", "pictures", "input", "accessibility", "system"},
    "shell": {"system"},
    "app": {"shell", "widgets", "accessibility", "handlers", "pictures", "forms", "system"},
}
SYSTEM_HEADERS = re.compile(r"#\s*include\s*<(unistd\.h|fcntl\.h|sys/[^>]*|windows\.h|[a-z]*api\.h)>")
INCLUDE = re.compile(r'#\s*include\s*"([a-z]+)/[^"]+"')

src = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).parents[2] / "src")
faults = []
for path in sorted(src.rglob("*")):
    if path.suffix not in (".h", ".cpp"):
        continue
    folder = path.relative_to(src).parts[0]
    if folder not in ALLOWED:
        faults.append(f"{path}: folder {folder}/ has no place in the layers")
        continue
    for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
        match = INCLUDE.match(line.strip())
        if match and match[1] != folder and match[1] not in ALLOWED[folder]:
            faults.append(f"{path}:{number}: {folder}/ must not include {match[1]}/")
        if SYSTEM_HEADERS.match(line.strip()) and folder != "system":
            faults.append(f"{path}:{number}: system headers belong in system/")
for fault in faults:
    print(fault)
sys.exit(1 if faults else 0)
