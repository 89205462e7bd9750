# shellcheck shell=bash disable=SC2034 # its lists are read by the scripts that source it
# The build record: which Debian packages a release was made with, the sums of what it holds, the
# tree it was built from; and a rebuild in an unpacked sources file checked against its record.
# Sourced by setup.sh.

# The Debian packages whose versions decide the bytes of a Windows build and its packages: named
# in the build record, and compared with it when a sources file is rebuilt.
RECORDED_PACKAGES=(g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix-runtime
                   gcc-mingw-w64-base binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev mingw-w64-common
                   qt6-base-dev-tools qt6-base-dev cmake ninja-build g++ wixl msitools libmsi0 libgcab-1.0-0
                   python3-fonttools fonts-rocknroll python3.11-minimal zlib1g xz-utils tar faketime)
# The same for the web build.
WEB_RECORDED_PACKAGES=(emscripten clang-14 lld-14 binaryen nodejs qt6-base-dev-tools qt6-base-dev cmake ninja-build g++
                       python3-fonttools fonts-rocknroll fonts-noto-cjk brotli gzip python3.11-minimal zlib1g xz-utils tar)
# recorded_packages [NAME...]: the lines naming them (RECORDED_PACKAGES when none are given).
recorded_packages() {
    [ $# -gt 0 ] || set -- "${RECORDED_PACKAGES[@]}"
    dpkg-query -W -f='${Package} (= ${Version})\n' "$@" 2>/dev/null | LC_ALL=C sort || true
}

# checksums FILE...: the lines of a build record that name them: a relative path as given, an
# absolute one by the file's name.
checksums() {
    local file shown
    for file in "$@"; do
        shown=$file
        [ "${file#/}" = "$file" ] || shown=$(basename "$file")
        printf ' %s %s %s\n' "$(sha256sum <"$file" | cut -d' ' -f1)" "$(stat -c %s "$file")" "$shown"
    done
}

# rebuild_from_record SUFFIX PACKAGE...: run in an unpacked sources file, whose build record
# (zav-blackboard-<version>SUFFIX) and Qt source package lie beside the tree: takes the record's
# SOURCE_DATE_EPOCH and that Qt source (unless ZAV_QT_DSC or ZAV_QT_SOURCE names another), and says
# which of these Debian packages have other versions than the record names.
rebuild_from_record() {
    local suffix=$1 record differing
    shift
    record=$(compgen -G "$ROOT/../zav-blackboard-*$suffix" | grep -E "/zav-blackboard-[^-/]+$suffix\$" | head -n1 || true)
    [ -n "$record" ] || return 0
    echo "== rebuilding what $(basename "$record") records"
    export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(sed -n 's/^Source-Date-Epoch: //p' "$record")}
    if [ -z "${ZAV_QT_SOURCE:-}" ] && [ -z "${ZAV_QT_DSC:-}" ]; then
        ZAV_QT_DSC=$(compgen -G "$ROOT/../qt6-base/qt6-base_*.dsc" | head -n1)
        export ZAV_QT_DSC
    fi
    differing=$(diff <(sed -n '/^Build-Tools:/,/^[^ ]/s/^ //p' "$record") <(recorded_packages "$@") |
                sed -n 's/^> /  now /p; s/^< /  was /p')
    [ -z "$differing" ] || printf 'These Debian packages differ from the record; the bytes may too:\n%s\n' "$differing"
}

# built_tree BUILD_DIR STAGE: the tree BUILD_DIR was configured from, as STAGE/tree.tar with its
# description in STAGE/source.txt, and its SOURCE_DATE_EPOCH exported; fails when the tree on
# disk is no longer that one.
built_tree() {
    [ -f "$1/source.txt" ] || { echo "$1 has no record of its source tree: configure it again" >&2; return 1; }
    "$ROOT/scripts/lanes/shared/source-tree.sh" --archive "$2/tree.tar" "$ROOT" >"$2/source.txt"
    local built
    built=$(sed -n 's/^Tree: //p' "$1/source.txt")
    if [ "$(sed -n 's/^Tree: //p' "$2/source.txt")" != "$built" ]; then
        echo "$1 was built from another tree ($built) than $ROOT holds now: configure and build it again" >&2
        return 1
    fi
    SOURCE_DATE_EPOCH=$(sed -n 's/^Source-Date-Epoch: //p' "$1/source.txt")
    export SOURCE_DATE_EPOCH
}
