#!/usr/bin/python3
"""Points a Windows executable's header at its load configuration (the `_load_config_used`
structure it links), which GNU ld 2.40 leaves out of the header's data directories, so that
Windows reads the structure's DependentLoadFlags.

    scripts/lanes/windows/pe-load-config.py PROGRAM.exe NM      NM: the MinGW-w64 nm, to find the structure
"""
import struct
import subprocess
import sys

LOAD_CONFIG = 10  # the data directory's index


def main():
    program, nm = sys.argv[1:]
    symbols = subprocess.run([nm, program], check=True, capture_output=True, text=True).stdout
    found = [line.split()[0] for line in symbols.splitlines() if line.endswith(" _load_config_used")]
    if len(found) != 1:
        sys.exit(f"pe-load-config: {program} links no _load_config_used")
    with open(program, "r+b") as file:
        data = bytearray(file.read())
        header = struct.unpack_from("<I", data, 0x3C)[0]
        sections, optional_size = struct.unpack_from("<H12xH", data, header + 6)
        optional = header + 24
        if struct.unpack_from("<H", data, optional)[0] != 0x20B:
            sys.exit(f"pe-load-config: {program} is not a 64-bit executable")
        image_base = struct.unpack_from("<Q", data, optional + 24)[0]
        rva = int(found[0], 16) - image_base
        for n in range(sections):
            size, address, _, raw = struct.unpack_from("<IIII", data, optional + optional_size + 40 * n + 8)
            if address <= rva < address + size:
                offset = raw + rva - address
                break
        else:
            sys.exit(f"pe-load-config: _load_config_used lies in no section of {program}")
        length = struct.unpack_from("<I", data, offset)[0]
        struct.pack_into("<II", data, optional + 112 + 8 * LOAD_CONFIG, rva, length)
        file.seek(0)
        file.write(data)


if __name__ == "__main__":
    main()
