#!/usr/bin/env bash
# Builds a static Qt for WebAssembly from Debian's own qt6-base source, with Debian's emscripten
# and the host's moc, rcc and uic, once per machine. Prints the folder it is in.
#
#   scripts/lanes/web/qt.sh              the cache: $ZAV_QT_WEB, or $XDG_CACHE_HOME/zav-blackboard/...
#   ZAV_QT_DSC=FILE scripts/lanes/web/qt.sh
#                               from the source package FILE names (a sources file's own copy)
#                               instead of fetching Debian's
#
# About 10 minutes on two cores; later calls find it built and return at once.
#
# Qt's CMake finds emscripten the way the upstream SDK lays it out (an EMSDK folder whose
# .emscripten names the root, with emcc in it); Debian installs it elsewhere, so the Qt carries
# a small folder of that shape, emsdk/, linking into Debian's. Whoever builds against this Qt
# sets EMSDK to it.
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)
# shellcheck source=scripts/lib/qt-build.sh
. "$ROOT/scripts/lib/qt-build.sh"

DEBIAN_VERSION=$(dpkg-query -W -f='${Version}' qt6-base-dev-tools)
EMSCRIPTEN_VERSION=$(dpkg-query -W -f='${Version}' emscripten)
QT_VERSION=${DEBIAN_VERSION%%+*}
CACHE=${XDG_CACHE_HOME:-$HOME/.cache}/zav-blackboard
QT_DIR=${ZAV_QT_WEB:-$CACHE/qt-$QT_VERSION-web-static}
# The prefix Qt is configured for: a name, never a folder of this machine.
QT_PREFIX=/usr/wasm32-emscripten/qt6-static
EMSCRIPTEN_ROOT=/usr/share/emscripten
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}
# emcc runs on Debian's Python, as Debian built it to, rather than whichever python3 comes first on
# the PATH: a version manager's shim before it costs a tenth of a second a call, and Qt's
# configure calls emcc and em-config a few thousand times.
export EMSDK_PYTHON=${EMSDK_PYTHON:-/usr/bin/python3}

# What every Qt of ours leaves out (scripts/lib/qt-build.sh), and the test library, which no test
# runs in a browser.
QT_OPTIONS=("${QT_COMMON_OPTIONS[@]}" -DFEATURE_testlib=OFF)
say() { echo "qt-web: $*" >&2; }

# Changes this Qt needs, applied in order to the unpacked source.
find_patches qt qt-web

if [ -n "${ZAV_QT_DSC:-}" ]; then
    [ -f "$ZAV_QT_DSC" ] || { say "no source package at $ZAV_QT_DSC"; exit 1; }
    ZAV_QT_DSC=$(cd "$(dirname "$ZAV_QT_DSC")" && pwd)/$(basename "$ZAV_QT_DSC")
    DEBIAN_VERSION=$(sed -n 's/^Version: //p' "$ZAV_QT_DSC")
    QT_VERSION=${DEBIAN_VERSION%%+*}
fi

# emsdk_layout DIR: the folder Qt's CMake reads emscripten's place and version from.
emsdk_layout() {
    rm -rf "$1"
    mkdir -p "$1/emscripten"
    echo "EMSCRIPTEN_ROOT = emsdk_path + '/emscripten'" >"$1/.emscripten"
    ln -s /usr/bin/emcc "$1/emscripten/emcc"
    ln -s "$EMSCRIPTEN_ROOT/cmake" "$1/emscripten/cmake"
}

STAMP="qt6-base $DEBIAN_VERSION emscripten $EMSCRIPTEN_VERSION ${QT_OPTIONS[*]} prefix $QT_PREFIX, paths mapped"
STAMP="$STAMP$(patches_stamp)"

# notices: the notices of the libraries the built Qt carries, from the source package kept beside it.
notices() {
    "$ROOT/scripts/lanes/shared/qt-notices.py" --web "$(compgen -G "$QT_DIR/zav-sources/qt6-base*.orig.tar.*" | head -n1)" \
        "$QT_DIR/zav-sources/Qt-third-party.txt"
}

# The stamp is written last: a build cut short is started again.
if [ "$(cat "$QT_DIR/zav-stamp" 2>/dev/null)" = "$STAMP" ]; then
    [ -f "$QT_DIR/zav-sources/Qt-third-party.txt" ] || notices
    keep_patches "$QT_DIR/zav-sources/patches"
    echo "$QT_DIR"
    exit 0
fi

WORK=$CACHE/qt-web-work
rm -rf "$WORK"
mkdir -p "$WORK"
cd "$WORK"
get_source "$WORK" "$DEBIAN_VERSION"
dpkg-source -x qt6-base_*.dsc src >unpack.log 2>&1 || { cat unpack.log >&2; exit 1; }
SRC=$WORK/src
apply_patches "$SRC"
SOURCE_DATE_EPOCH=$(dpkg-parsechangelog -l "$SRC/debian/changelog" -STimestamp)
export SOURCE_DATE_EPOCH

emsdk_layout "$WORK/emsdk"
export EMSDK=$WORK/emsdk
build_qt "a static Qt for WebAssembly" 10 \
    -DCMAKE_TOOLCHAIN_FILE="$EMSCRIPTEN_ROOT/cmake/Modules/Platform/Emscripten.cmake" \
    -DQT_QMAKE_TARGET_MKSPEC=wasm-emscripten
emsdk_layout "$QT_DIR/emsdk"
# What whoever hands the program on must hand on with it: the source package, the changes made
# to it, and the notices of the libraries the built Qt carries.
mkdir -p "$QT_DIR/zav-sources"
cp "$WORK"/qt6-base_*.dsc "$WORK"/qt6-base_*.tar.* "$QT_DIR/zav-sources/"
keep_patches "$QT_DIR/zav-sources/patches"
notices
finish_qt
