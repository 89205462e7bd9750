# shellcheck shell=bash disable=SC2034 # its lists are read by the scripts that source it
# Sourced by every entry point in scripts/: where the tree is, and what is missing from Debian's
# archive installed; with the build record's code (record.sh) for the lanes that pack.

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
BUILD_DIR=${ZAV_BUILD_DIR:-$ROOT/build}

# What building takes, and what the tests add (scripts/test); by names Debian 12 and 13 both have.
BUILD_PACKAGES=(cmake g++ make qt6-base-dev qt6-base-dev-tools libgl-dev libx11-dev fonts-rocknroll python3-fonttools)
TEST_PACKAGES=(qt6-base-private-dev xvfb xauth xdotool x11-utils imagemagick procps faketime diffoscope-minimal python3
               dbus libbenchmark-dev fonts-dejavu-core dpkg-dev file desktop-file-utils appstream lintian devscripts
               clang libclang-rt-dev at-spi2-core python3-pyatspi weston xwayland qt6-wayland orca locales
               clang-format clang-tidy shellcheck git)
# What installing a .deb and seeing its window take (tests/e2e/deb.sh).
SHOW_PACKAGES=(xvfb xauth xdotool x11-utils imagemagick procps dbus)
# What making and entering a Debian root take (scripts/in-debian).
ROOT_PACKAGES=(mmdebstrap debian-archive-keyring util-linux)

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
        # One lane installs at a time (.ci/run builds the Qts beside the Linux lane).
        (
            flock 9
            apt-get update -qq
            apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
        ) 9>"${TMPDIR:-/tmp}/zav-blackboard-packages.lock"
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
        (
            flock 9
            grep -qx "$1 UTF-8" /etc/locale.gen 2>/dev/null || echo "$1 UTF-8" >>/etc/locale.gen
            locale-gen "$1" >/dev/null
        ) 9>"${TMPDIR:-/tmp}/zav-blackboard-packages.lock"
    else
        echo "The locale $1 is missing. Generate it, then run this again:" >&2
        echo "  sudo localedef -i ${1%%.*} -f UTF-8 $1" >&2
        exit 1
    fi
}

# configure_and_build [CMAKE_ARGUMENTS...]: the Linux preset (CMakePresets.json) in $BUILD_DIR,
# built with the generator CMake chose (CMAKE_GENERATOR, or its default).
configure_and_build() {
    cmake -S "$ROOT" --preset linux -B "$BUILD_DIR" "$@" >/dev/null
    cmake --build "$BUILD_DIR" -j "$(nproc)"
}

# shellcheck source=scripts/lib/record.sh
. "$ROOT/scripts/lib/record.sh"
