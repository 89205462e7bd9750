# shellcheck shell=bash disable=SC2034 # its lists are read by the scripts that source it
# Sourced by scripts/run and scripts/test: installs what is missing from Debian 12's archive.

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD_DIR=${ZAV_BUILD_DIR:-$ROOT/build}

BUILD_PACKAGES=(cmake g++ make qt6-base-dev qt6-base-dev-tools libgl-dev libx11-dev fonts-rocknroll python3-fonttools)

# ensure_packages NAME...: installs the ones not yet installed (as root), or says how and stops.
ensure_packages() {
    local missing=() name
    for name in "$@"; do
        dpkg-query -W -f='${Status}' "$name" 2>/dev/null | grep -q 'install ok installed' || missing+=("$name")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    if [ "$(id -u)" = 0 ]; then
        echo "Installing: ${missing[*]}"
        export DEBIAN_FRONTEND=noninteractive
        apt-get update -qq
        apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
    else
        echo "These Debian packages are missing. Install them, then run this again:" >&2
        echo "  sudo apt-get install -y --no-install-recommends ${missing[*]}" >&2
        exit 1
    fi
}

# ensure_locale NAME: a locale the tests run programs in (ja_JP.UTF-8: a Japanese desktop, a
# Japanese Windows under Wine), generated when missing (as root), or says how and stops.
ensure_locale() {
    locale -a 2>/dev/null | grep -qix "${1/%UTF-8/utf8}" && return 0
    if [ "$(id -u)" = 0 ]; then
        echo "Generating the locale $1"
        grep -qx "$1 UTF-8" /etc/locale.gen 2>/dev/null || echo "$1 UTF-8" >>/etc/locale.gen
        locale-gen "$1" >/dev/null
    else
        echo "The locale $1 is missing. Generate it, then run this again:" >&2
        echo "  sudo localedef -i ${1%%.*} -f UTF-8 $1" >&2
        exit 1
    fi
}

configure_and_build() {
    cmake -S "$ROOT" -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
    cmake --build "$BUILD_DIR" -j "$(nproc)" -- --no-print-directory
}

# The Debian packages whose versions decide the bytes of a Windows build and its packages: named
# in the build record, and compared with it when a sources file is rebuilt.
RECORDED_PACKAGES=(g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix-runtime
                   gcc-mingw-w64-base binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev mingw-w64-common
                   qt6-base-dev-tools qt6-base-dev cmake ninja-build g++ wixl msitools libmsi0 libgcab-1.0-0
                   python3-fonttools fonts-rocknroll python3.11-minimal zlib1g xz-utils tar faketime)
# The same for the web build.
WEB_RECORDED_PACKAGES=(emscripten clang-14 lld-14 binaryen nodejs qt6-base-dev-tools qt6-base-dev cmake ninja-build g++
                       python3-fonttools fonts-rocknroll fonts-noto-cjk python3.11-minimal zlib1g xz-utils tar)
# recorded_packages [NAME...]: the lines naming them (RECORDED_PACKAGES when none are given).
recorded_packages() {
    [ $# -gt 0 ] || set -- "${RECORDED_PACKAGES[@]}"
    dpkg-query -W -f='${Package} (= ${Version})\n' "$@" 2>/dev/null | LC_ALL=C sort || true
}

# checksums FILE...: the lines of a build record that name them (those in $STAGE by their path in it).
checksums() {
    local file shown
    for file in "$@"; do
        shown=${file#"$STAGE"/}
        [ "$shown" != "$file" ] || shown=$(basename "$file")
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
    "$ROOT/scripts/source-tree" --archive "$2/tree.tar" "$ROOT" >"$2/source.txt"
    local built
    built=$(sed -n 's/^Tree: //p' "$1/source.txt")
    if [ "$(sed -n 's/^Tree: //p' "$2/source.txt")" != "$built" ]; then
        echo "$1 was built from another tree ($built) than $ROOT holds now: configure and build it again" >&2
        return 1
    fi
    SOURCE_DATE_EPOCH=$(sed -n 's/^Source-Date-Epoch: //p' "$1/source.txt")
    export SOURCE_DATE_EPOCH
}
