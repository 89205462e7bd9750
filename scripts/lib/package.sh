# shellcheck shell=bash disable=SC2034 # its variables are read by the packers that source it
# What the Windows and web packers share: the build folder's facts, a stage holding the tree it
# was built from, the build record's head, and the sources file. Sourced after setup.sh; the
# packer defines fail MESSAGE.

# package_begin BUILD_DIR: BUILD (its full path), VERSION, QT_SOURCES (what was kept beside the Qt
# it links: the source package, the changes made to it, its notices) and QT_DIR, from its cache;
# STAGE, a folder removed at exit, holding the tree it was built from (tree.tar, source.txt);
# SOURCE_DATE_EPOCH, that tree's. Files are made in UTC, the C locale and a fresh umask.
package_begin() {
    BUILD=$(cd "$1" && pwd)
    VERSION=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$BUILD/CMakeCache.txt")
    local notices
    notices=$(sed -n 's/^ZAV_QT_NOTICES:FILEPATH=//p' "$BUILD/CMakeCache.txt")
    [ -f "$notices" ] || fail "$BUILD was configured without ZAV_QT_NOTICES"
    QT_SOURCES=$(dirname "$notices")
    QT_DIR=$(dirname "$QT_SOURCES")
    STAGE=$(mktemp -d)
    trap 'rm -rf "$STAGE"' EXIT
    export LC_ALL=C.UTF-8 TZ=UTC
    umask 022
    # The tree packed is the tree that was built: the one recorded when the build was configured.
    built_tree "$BUILD" "$STAGE" || exit 1
}

# record_head PACKAGE...: the build record's first lines: what was built from which tree and when,
# with which Qt, and the versions of these Debian packages (RECORDED_PACKAGES when none are given).
record_head() {
    local qt_source
    qt_source=$(cd "$QT_SOURCES" && { compgen -G 'qt6-base_*.dsc' || compgen -G 'qt6-base-changed.tar.*' || true; })
    echo "Format: zav-buildinfo 1"
    echo "Source: zav-blackboard"
    echo "Version: $VERSION"
    cat "$STAGE/source.txt"
    echo "Source-Date-Epoch: $SOURCE_DATE_EPOCH"
    echo "Qt-Source: $qt_source"
    echo "Qt-Build: $(cat "$QT_DIR/zav-stamp" 2>/dev/null || echo "a Qt built elsewhere, in $(basename "$QT_DIR")")"
    echo "Build-Tools:"
    recorded_packages "$@" | sed 's/^/ /'
}

# sources_file OUT FOLDER README RECORD: OUT, the sources file: one FOLDER holding the program's tree
# as built, the Qt source kept beside that Qt, how to rebuild (README with its @VERSION@ filled in)
# and the build record so far ($STAGE/record) as RECORD.
sources_file() {
    local out=$1 folder=$2 readme=$3 record=$4
    mkdir -p "$STAGE/$folder/zav-blackboard-$VERSION"
    tar -x -C "$STAGE/$folder/zav-blackboard-$VERSION" -f "$STAGE/tree.tar"
    cp -r "$QT_SOURCES" "$STAGE/$folder/qt6-base"
    rm "$STAGE/$folder/qt6-base/Qt-third-party.txt"
    sed "s|@VERSION@|$VERSION|g" "$readme" >"$STAGE/$folder/README.txt"
    cp "$STAGE/record" "$STAGE/$folder/$record"
    tar -C "$STAGE" --sort=name --mtime="@$SOURCE_DATE_EPOCH" --owner=0 --group=0 --numeric-owner \
        --mode=u+rwX,go=rX --format=gnu -cf - "$folder" | xz -T1 -1 >"$out"
}
