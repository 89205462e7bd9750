#!/usr/bin/env bash
# Builds a static Qt for 64-bit Windows from Debian's own qt6-base source, with Debian's MinGW-w64
# and the host's moc, rcc and uic, once per machine. Prints the folder it is in.
#
#   scripts/lanes/windows/qt.sh            the cache: $ZAV_QT_WINDOWS, or $XDG_CACHE_HOME/zav-blackboard/...
#   ZAV_QT_SOURCE=DIR ZAV_QT_WINDOWS=OUT scripts/lanes/windows/qt.sh
#                                 a changed Qt: built from the unpacked qt6-base in DIR, into OUT;
#                                 built again whenever DIR's contents change
#   ZAV_QT_DSC=FILE scripts/lanes/windows/qt.sh
#                                 from the source package FILE names (a sources file's own copy)
#                                 instead of fetching Debian's
#
# The source comes through a private apt source list; the system's apt sources are not touched.
# About 25 minutes on two cores; later calls find it built and return at once.
#
# The same source gives the same libraries wherever the cache is: Qt is configured for a fixed
# prefix and installed into the cache (its CMake packages are relocatable), the source and build
# folders are mapped to fixed names in everything compiled, and every time stamp is the source
# package's own (SOURCE_DATE_EPOCH from its changelog).
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)
# shellcheck source=scripts/lib/qt-build.sh
. "$ROOT/scripts/lib/qt-build.sh"

# The same Debian version as the host's Qt, whose moc, rcc and uic the build uses.
DEBIAN_VERSION=$(dpkg-query -W -f='${Version}' qt6-base-dev-tools)
QT_VERSION=${DEBIAN_VERSION%%+*}
CACHE=${XDG_CACHE_HOME:-$HOME/.cache}/zav-blackboard
QT_DIR=${ZAV_QT_WINDOWS:-$CACHE/qt-$QT_VERSION-windows-x64-static}
# The prefix Qt is configured for: a name, never a folder of this machine.
QT_PREFIX=/usr/x86_64-w64-mingw32/qt6-static

# Beside what every Qt of ours leaves out (scripts/lib/qt-build.sh): without Direct2D, Qt 6.4's
# DirectWrite font database is not built but the Windows plugin still refers to it: it goes too
# (GDI's, Qt 6.4's default, stays).
# The item views and the tab widget stay: the Windows Vista style, which the program's menu is
# drawn in, cannot be built without them. So does the session manager: through it Qt answers
# Windows' request to close (Restart Manager, for an installer, and logging off).
QT_OPTIONS=(
    "${QT_COMMON_OPTIONS[@]}" -DFEATURE_itemviews=ON -DFEATURE_tabwidget=ON -DFEATURE_sessionmanager=ON
    -DFEATURE_opengl=OFF -DFEATURE_dynamicgl=OFF -DFEATURE_direct2d=OFF -DFEATURE_directwrite3=OFF
)
say() { echo "qt-windows: $*" >&2; }

if [ -n "${ZAV_QT_SOURCE:-}" ] && [ -z "${ZAV_QT_WINDOWS:-}" ]; then
    say "a changed Qt goes into a folder of its own: set ZAV_QT_WINDOWS too"
    exit 1
fi
if [ -n "${ZAV_QT_DSC:-}" ]; then
    [ -f "$ZAV_QT_DSC" ] || { say "no source package at $ZAV_QT_DSC"; exit 1; }
    ZAV_QT_DSC=$(cd "$(dirname "$ZAV_QT_DSC")" && pwd)/$(basename "$ZAV_QT_DSC")
    DEBIAN_VERSION=$(sed -n 's/^Version: //p' "$ZAV_QT_DSC")
    QT_VERSION=${DEBIAN_VERSION%%+*}
    host_version=$(dpkg-query -W -f='${Version}' qt6-base-dev-tools)
    if [ "$host_version" != "$DEBIAN_VERSION" ]; then
        say "the source package is qt6-base $DEBIAN_VERSION, the host's moc, rcc and uic are $host_version"
        # Another Qt than the host's goes beside it, not over it.
        [ -n "${ZAV_QT_WINDOWS:-}" ] || QT_DIR=$CACHE/qt-$DEBIAN_VERSION-windows-x64-static
    fi
fi

# A Qt built with other options, from another source or from a changed tree whose contents have
# changed since is built again.
# Changes every Qt of ours needs, applied in order to Debian's source (a changed tree is taken as
# it is).
find_patches qt
[ -z "${ZAV_QT_SOURCE:-}" ] || PATCHES=()
STAMP="qt6-base $DEBIAN_VERSION ${QT_OPTIONS[*]} prefix $QT_PREFIX, paths mapped$(patches_stamp)"
if [ -n "${ZAV_QT_SOURCE:-}" ]; then
    say "reading the changed tree in $ZAV_QT_SOURCE"
    STAMP="$STAMP from a changed tree $(tree_digest "$ZAV_QT_SOURCE")"
fi

# wintab DIR: Debian's source leaves out the Wacom tablet headers that the Windows platform plugin
# includes; Wine's are the same interface, given the macros they expect from Wine's own headers.
wintab() {
    mkdir -p "$1"
    {
        echo '#pragma once'
        echo '#include <windows.h>'
        echo '#define API WINAPI'
        echo '#define WINELIB_NAME_AW(func) func##W'
        echo '#define DECL_WINELIB_TYPE_AW(type) typedef WINELIB_NAME_AW(type) type;'
        cat /usr/include/wine/wine/windows/wintab.h
    } >"$1/wintab.h"
    cp /usr/include/wine/wine/windows/pktdef.h "$1/"
}

# keep_sources DIR: what whoever hands the program on must hand on with it, kept beside the Qt
# built from it: the source package in DIR (or a changed source tree, packed as it is), the
# headers added to it, and the notices of the libraries the built Qt carries (for the licences
# folder).
keep_sources() {
    local kept=$QT_DIR/zav-sources
    rm -rf "$kept.new"
    mkdir -p "$kept.new"
    if [ -n "${ZAV_QT_SOURCE:-}" ]; then
        tar -C "$(dirname "$ZAV_QT_SOURCE")" --sort=name --mtime="@$SOURCE_DATE_EPOCH" --owner=0 --group=0 \
            --numeric-owner --mode=u+rwX,go=rX -cf - "$(basename "$ZAV_QT_SOURCE")" | xz -T1 >"$kept.new/qt6-base-changed.tar.xz"
    else
        cp "$1"/qt6-base_*.dsc "$1"/qt6-base_*.tar.* "$kept.new/"
        keep_patches "$kept.new/patches"
        wintab "$kept.new/src/3rdparty/wintab"
    fi
    "$ROOT/scripts/lanes/shared/qt-notices.py" "$({ compgen -G "$kept.new/qt6-base*.orig.tar.*" || compgen -G "$kept.new/qt6-base-changed.tar.*"; } | head -n1)" \
        "$kept.new/Qt-third-party.txt"
    rm -rf "$kept"
    mv "$kept.new" "$kept"
}

# The stamp is written last: a build cut short is started again. A Qt built before its sources
# were kept beside it gets them now, without being built again.
# A Qt named by ZAV_QT_WINDOWS alone, built by these steps elsewhere, is taken as it is.
if [ "$(cat "$QT_DIR/zav-stamp" 2>/dev/null)" = "$STAMP" ] ||
   { [ -n "${ZAV_QT_WINDOWS:-}" ] && [ -z "${ZAV_QT_SOURCE:-}" ] &&
     [ -f "$QT_DIR/lib/cmake/Qt6/qt.toolchain.cmake" ]; }; then
    if [ ! -f "$QT_DIR/zav-sources/Qt-third-party-sources.txt" ]; then
        say "fetching Debian's qt6-base source to keep beside the Qt built from it"
        fetched=$(mktemp -d)
        get_source "$fetched" "$DEBIAN_VERSION"
        keep_sources "$fetched"
        rm -rf "$fetched"
    fi
    [ "$(cat "$QT_DIR/zav-stamp" 2>/dev/null)" != "$STAMP" ] || keep_patches "$QT_DIR/zav-sources/patches"
    echo "$QT_DIR"
    exit 0
fi

WORK=$CACHE/qt-work
rm -rf "$WORK"
mkdir -p "$WORK"
cd "$WORK"

if [ -n "${ZAV_QT_SOURCE:-}" ]; then
    SRC=$(cd "$ZAV_QT_SOURCE" && pwd)
else
    get_source "$WORK" "$DEBIAN_VERSION"
    dpkg-source -x qt6-base_*.dsc src >unpack.log 2>&1 || { cat unpack.log >&2; exit 1; }
    SRC=$WORK/src
    apply_patches "$SRC"
fi
# Every time stamp in the libraries (rcc's among them) is the source's own.
if [ -f "$SRC/debian/changelog" ]; then
    SOURCE_DATE_EPOCH=$(dpkg-parsechangelog -l "$SRC/debian/changelog" -STimestamp)
else
    SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-0}
fi
export SOURCE_DATE_EPOCH
[ -f "$SRC/src/3rdparty/wintab/wintab.h" ] || wintab "$SRC/src/3rdparty/wintab"

mkdir -p "$CACHE"
cp "$ROOT/cmake/mingw-w64-x86_64.cmake" "$CACHE/mingw-w64-x86_64.cmake"

build_qt "a static Qt for Windows" 25 -DCMAKE_TOOLCHAIN_FILE="$CACHE/mingw-w64-x86_64.cmake"
keep_sources "$WORK"
finish_qt
