#!/usr/bin/python3
"""The built program hardened as Debian builds its packages.

    hardening.py linux PROGRAM       hardening-check (devscripts) on the program, for each feature
                                     this system's dpkg-buildflags turns on with hardening=+all
    hardening.py windows BUILD_DIR   the .exe's header (ASLR with high entropy, DEP), the stack
                                     protector's checks linked in (the link map), and every source
                                     of the program compiled with -fstack-protector-strong and
                                     _FORTIFY_SOURCE (the compile commands)
"""
import json
import os
import struct
import subprocess
import sys

# hardening-check's option that leaves out each of dpkg-buildflags' features. Control-flow
# protection (the branch feature: CET on amd64) is read from the code instead: hardening-check looks
# for the program's CET property, which the linker sets only where every object has it, and Debian
# 13's C library start files do not (no program of Debian's has it, /usr/bin/ls included).
LEAVE_OUT = {"pie": ["--nopie"], "stackprotector": ["--nostackprotector"], "fortify": ["--nofortify"],
             "relro": ["--norelro"], "bindnow": ["--nobindnow"]}
CET = ["--nocfprotection", "--nobranchprotection"]

DYNAMIC_BASE, HIGH_ENTROPY_VA, NX_COMPAT = 0x40, 0x20, 0x100


def compiled_without(build, flags):
    """How many of the program's sources the build compiles, and which of them lack which flag."""
    sources = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "src")) + os.sep
    compiled, missing = 0, []
    for entry in json.load(open(os.path.join(build, "compile_commands.json"))):
        path = os.path.normpath(os.path.join(entry["directory"], entry["file"]))
        if not path.startswith(sources):
            continue
        compiled += 1
        command = (entry.get("command") or " ".join(entry["arguments"])).split()
        missing += [f"{os.path.relpath(path, sources)} is compiled without {flag}" for flag in flags
                    if flag not in command]
    if not compiled:
        missing.append("no source of the program in the compile commands")
    return compiled, missing


def linux(program):
    environment = dict(os.environ, DEB_BUILD_MAINT_OPTIONS="hardening=+all")
    query = subprocess.run(["dpkg-buildflags", "--query-features", "hardening"], env=environment, check=True,
                           capture_output=True, text=True).stdout
    enabled = set()
    for paragraph in query.split("\n\n"):
        fields = dict(line.split(": ", 1) for line in paragraph.splitlines() if ": " in line)
        if fields.get("Enabled") == "yes":
            enabled.add(fields["Feature"])
    options = [option for feature, left_out in LEAVE_OUT.items() if feature not in enabled for option in left_out]
    # Only the options this hardening-check knows: it checks no more than those.
    known = subprocess.run(["hardening-check", "--help"], capture_output=True, text=True).stdout
    options = [option for option in options + CET if option in known]
    checked = subprocess.run(["hardening-check", *options, program], capture_output=True, text=True)
    print(checked.stdout, end="")
    if checked.returncode != 0:
        sys.exit(f"FAIL: {program} is not hardened as dpkg-buildflags says ({', '.join(sorted(enabled))})")
    if "stackclash" in enabled:
        # Seen in the code only in a function with a large frame: read from the build's flags.
        _, missing = compiled_without(os.path.dirname(os.path.abspath(program)), ["-fstack-clash-protection"])
        if missing:
            sys.exit("FAIL: " + "; ".join(missing))
        print(" Stack clash protection: yes (every source compiled with -fstack-clash-protection)")
    if "branch" in enabled and os.uname().machine == "x86_64":
        # Compiled with -fcf-protection, a function begins with the instruction an indirect
        # branch may land on.
        main = subprocess.run(["objdump", "-d", "--no-show-raw-insn", "--disassemble=main", program],
                              check=True, capture_output=True, text=True).stdout
        first = [line.split("\t")[-1].strip() for line in main.splitlines() if line.startswith(" ")][:1]
        if first != ["endbr64"]:
            sys.exit(f"FAIL: {program}'s main begins with {first}, not endbr64: no control-flow protection")
        print(" Control-flow protection: yes (main begins with endbr64)")
    print(f"ok - hardened: {', '.join(sorted(enabled))}")


def windows(build):
    problems = []
    program = os.path.join(build, "zav-blackboard.exe")
    with open(program, "rb") as file:
        data = file.read()
    header = struct.unpack_from("<I", data, 0x3C)[0]
    characteristics = struct.unpack_from("<H", data, header + 24 + 70)[0]
    for flag, name in ((DYNAMIC_BASE, "ASLR"), (HIGH_ENTROPY_VA, "high-entropy ASLR"), (NX_COMPAT, "DEP")):
        if not characteristics & flag:
            problems.append(f"the .exe's header does not ask for {name}")
    link_map = open(os.path.join(build, "zav-blackboard.map"), encoding="utf-8", errors="replace").read()
    if "__stack_chk_fail" not in link_map:
        problems.append("the link took no stack protector's checks (__stack_chk_fail)")
    compiled, missing = compiled_without(build, ["-fstack-protector-strong", "-D_FORTIFY_SOURCE=2"])
    problems += missing
    if problems:
        sys.exit("FAIL: " + "; ".join(problems))
    print(f"ok - the .exe asks for high-entropy ASLR and DEP, links the stack protector, and its {compiled} "
          "sources are compiled with -fstack-protector-strong and -D_FORTIFY_SOURCE=2")


if __name__ == "__main__":
    {"linux": linux, "windows": windows}[sys.argv[1]](sys.argv[2])
