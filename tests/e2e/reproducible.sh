#!/usr/bin/env bash
# The same sources give the same bytes: builds once more, elsewhere and otherwise, and compares
# every file handed out byte for byte, showing what diffoscope finds on a difference.
#   reproducible.sh windows BUILD_DIR   scripts/windows' unsigned zip (and its .exe), MSI, sources
#                                       file and build record, against a second scripts/windows
#   reproducible.sh web BUILD_DIR       scripts/web's zip (and its .js and .wasm), sources file and
#                                       build record, against a second scripts/web
#   reproducible.sh deb BUILD_DIR       cpack's .deb of BUILD_DIR, against one of a second build
# The second build is a copy of the tree in a folder of another name and length, with another
# cache folder (the built Qt linked into it), umask, time zone and locale, and a clock a day ahead.
# No file handed out names the build folder, the cache folder or the home folder.
set -euo pipefail
kind=$1
BUILD=$(cd "$2" && pwd)
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
WORK=$(mktemp -d /tmp/zav-reproducible-XXXXXXXXXXXXXXXX)
trap 'rm -rf "$WORK"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
pass() { echo "ok - $*"; }
cache_of() { sed -n "s/^$1:[A-Z]*=//p" "$BUILD/CMakeCache.txt"; }

# The tree as it is, committed or not, with its history (for the commit's id and time).
AGAIN=$WORK/another-folder/zav
mkdir -p "$AGAIN"
(cd "$ROOT" && { git ls-files -z -co --exclude-standard; printf '.git\0'; } | tar --null -cf - -T -) | tar -x -C "$AGAIN"
export XDG_CACHE_HOME=$WORK/cache
# again COMMAND...: COMMAND in the copy, as another user with other settings, a day later.
again() {
    (cd "$AGAIN" && umask "${UMASK:-077}" && TZ=Asia/Tokyo LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8 faketime -f +1d "$@")
}

# with_built_qt: the Qt the first build used, in the second build's cache.
with_built_qt() {
    local qt
    qt=$(dirname "$(dirname "$(cache_of ZAV_QT_NOTICES)")")
    mkdir -p "$XDG_CACHE_HOME/zav-blackboard"
    cp -al "$qt" "$XDG_CACHE_HOME/zav-blackboard/" 2>/dev/null || cp -a "$qt" "$XDG_CACHE_HOME/zav-blackboard/"
}

case $kind in
web | windows)
    version=$(cache_of CMAKE_PROJECT_VERSION)
    with_built_qt
    again env "ZAV_${kind^^}_PACKAGES_ONLY=1" "scripts/$kind" >"$WORK/build.log" 2>&1 ||
        { tail -40 "$WORK/build.log" >&2; fail "the second build failed"; }
    first=$BUILD
    if [ "$kind" = web ]; then
        second=$AGAIN/build-wasm
        files=(zav-blackboard-"$version"-web.zip zav-blackboard-"$version"-web-sources.tar.xz
               zav-blackboard-"$version"-web-buildinfo.txt)
    else
        second=$AGAIN/build-windows
        files=(zav-blackboard-"$version"-windows-x64.zip zav-blackboard-"$version"-windows-x64.msi
               zav-blackboard-"$version"-windows-sources.tar.xz zav-blackboard-"$version"-buildinfo.txt)
    fi
    ;;
deb)
    again cmake -S . -B build -DCMAKE_BUILD_TYPE="$(cache_of CMAKE_BUILD_TYPE)" -DZAV_WERROR="$(cache_of ZAV_WERROR)" \
        -DBUILD_TESTING=OFF -DZAV_BUILD_BENCH=OFF >"$WORK/build.log" 2>&1 &&
        again cmake --build build -j "$(nproc)" >>"$WORK/build.log" 2>&1 ||
        { tail -40 "$WORK/build.log" >&2; fail "the second build failed"; }
    (cd "$WORK" && cpack -G DEB --config "$BUILD/CPackConfig.cmake" -B "$WORK/first" >/dev/null) || fail "cpack failed"
    # Packed under another umask too: every mode in the package is the build's.
    again cpack -G DEB --config "$AGAIN/build/CPackConfig.cmake" -B "$WORK/second" >/dev/null ||
        fail "cpack failed again"
    first=$WORK/first second=$WORK/second
    files=("$(cd "$first" && ls ./*.deb)")
    ;;
*) fail "reproducible.sh windows|web|deb BUILD_DIR" ;;
esac

for file in "${files[@]}"; do
    [ -f "$first/$file" ] && [ -f "$second/$file" ] || fail "$file was not made twice"
    if ! cmp -s "$first/$file" "$second/$file"; then
        diffoscope --text - "$first/$file" "$second/$file" 2>&1 | head -n 150 >&2 || true
        fail "$file differs between the two builds"
    fi
done
pass "two builds of the same tree give the same bytes: ${files[*]}"

# What the files hold, unpacked: none of this machine's folders is named in it.
mkdir "$WORK/contents"
for file in "${files[@]}"; do
    into=$WORK/contents/$file
    mkdir "$into"
    case $file in
    *.zip) unzip -q "$first/$file" -d "$into" ;;
    *.msi) msiextract -C "$into" "$first/$file" >/dev/null && cp "$first/$file" "$into/" ;;
    *.tar.xz) tar -xJf "$first/$file" -C "$into" ;;
    *.deb) dpkg-deb -x "$first/$file" "$into" ;;
    *) cp "$first/$file" "$into/" ;;
    esac
done
found=$(/usr/bin/python3 - "$WORK/contents" "$BUILD" "$ROOT" "$AGAIN" "$XDG_CACHE_HOME" "$HOME/.cache" <<'PY'
import os, re, sys
top, paths = sys.argv[1], sys.argv[2:]
# A folder is named by its path when no more of a name follows: /src/zav/build and "/src/zav" name
# /src/zav, /src/zav-blackboard does not.
named = [(path, re.compile(re.escape(path.encode()) + rb"(?![-.\w\x80-\xff])" + b"|" +
                           re.escape(path.encode("utf-16-le")) + rb"(?![-.\w]\x00)")) for path in paths]
for folder, _, files in os.walk(top):
    for file in files:
        data = open(os.path.join(folder, file), "rb").read()
        for path, pattern in named:
            if pattern.search(data):
                print(f"{os.path.relpath(os.path.join(folder, file), top)} names {path}")
PY
)
[ -z "$found" ] || fail "$found"
pass "no file handed out names the build, cache or home folder"
