# shellcheck shell=bash
# Sourced by scripts/lanes/windows/qt.sh and scripts/lanes/web/qt.sh: what building a static Qt from Debian's own
# qt6-base source takes on any target. The sourcing script defines say().

# What every static Qt of ours is built with: Core, Gui and Widgets with only what the board uses,
# optimised for size, and the libraries Qt bundles, so that nothing from the host's /usr/lib slips
# into a build for another system. The board shows one window of pictures and a menu: no item
# views, text editors, graphics view or MDI, no dialogs, no style sheets; it reads PNG, and its
# ICO and CUR files through Qt's ICO reader; it keeps no settings, starts no processes and watches
# no files. Left on though
# the board calls none of them: actions, push buttons and the widget text control (Qt 6.4's menu
# and label are built on them), XPM pictures (its styles draw with them), and the main window with
# its tool bars, docks and menu bar, and the message box (Qt 6.4's Widgets cannot be built without
# them: its compatibility and accessibility code use them whatever is configured).
# shellcheck disable=SC2034 # read by the scripts that source this one
QT_COMMON_OPTIONS=(
    -DBUILD_SHARED_LIBS=OFF -DCMAKE_BUILD_TYPE=Release -DFEATURE_optimize_size=ON
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
    -DFEATURE_pkg_config=OFF
    -DFEATURE_system_zlib=OFF -DFEATURE_system_png=OFF -DFEATURE_system_freetype=OFF
    -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_doubleconversion=OFF
    -DFEATURE_zstd=OFF -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF -DFEATURE_icu=OFF
    -DFEATURE_dbus=OFF -DFEATURE_network=OFF -DFEATURE_sql=OFF
    -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF
    -DFEATURE_mimetype=OFF -DFEATURE_process=OFF -DFEATURE_sharedmemory=OFF
    -DFEATURE_systemsemaphore=OFF -DFEATURE_filesystemwatcher=OFF
    -DFEATURE_jalalicalendar=OFF -DFEATURE_hijricalendar=OFF -DFEATURE_islamiccivilcalendar=OFF
    -DFEATURE_sortfilterproxymodel=OFF -DFEATURE_identityproxymodel=OFF
    -DFEATURE_transposeproxymodel=OFF -DFEATURE_concatenatetablesproxymodel=OFF
    -DFEATURE_stringlistmodel=OFF
    -DFEATURE_textodfwriter=OFF -DFEATURE_textmarkdownreader=OFF -DFEATURE_textmarkdownwriter=OFF
    -DFEATURE_pdf=OFF -DFEATURE_movie=OFF -DFEATURE_undocommand=OFF -DFEATURE_sessionmanager=OFF
    -DFEATURE_systemtrayicon=OFF -DFEATURE_desktopservices=OFF -DFEATURE_imageformat_ppm=OFF
    -DFEATURE_imageformat_xbm=OFF -DFEATURE_standarditemmodel=OFF -DFEATURE_filesystemmodel=OFF
    -DFEATURE_vulkan=OFF -DFEATURE_whatsthis=OFF
    -DFEATURE_itemviews=OFF -DFEATURE_textedit=OFF -DFEATURE_graphicsview=OFF -DFEATURE_mdiarea=OFF
    -DFEATURE_calendarwidget=OFF -DFEATURE_datetimeedit=OFF
    -DFEATURE_combobox=OFF -DFEATURE_fontcombobox=OFF -DFEATURE_completer=OFF
    -DFEATURE_style_stylesheet=OFF -DFEATURE_colordialog=OFF -DFEATURE_filedialog=OFF
    -DFEATURE_fontdialog=OFF -DFEATURE_inputdialog=OFF -DFEATURE_progressdialog=OFF
    -DFEATURE_errormessage=OFF -DFEATURE_wizard=OFF
    -DFEATURE_splashscreen=OFF -DFEATURE_lcdnumber=OFF -DFEATURE_dial=OFF
    -DFEATURE_keysequenceedit=OFF -DFEATURE_tabwidget=OFF -DFEATURE_toolbox=OFF
    -DFEATURE_splitter=OFF -DFEATURE_statusbar=OFF -DFEATURE_sizegrip=OFF
    -DFEATURE_commandlinkbutton=OFF
)

# find_patches FOLDER...: PATCHES, the changes in these folders of patches/, in order: those every
# Qt of ours needs (patches/qt/), then a target's own.
find_patches() {
    PATCHES=()
    local folder patch
    for folder in "$@"; do
        for patch in "$ROOT/patches/$folder"/*.patch; do
            [ -f "$patch" ] && PATCHES+=("$patch")
        done
    done
}

# patches_stamp: what the stamp says of PATCHES, so that a changed patch builds Qt again. Only
# the changes count: a patch's header is notes (DEP-3), and mending them builds nothing again.
patches_stamp() {
    [ ${#PATCHES[@]} -eq 0 ] ||
        echo " patched $(for patch in "${PATCHES[@]}"; do sed -n '/^--- /,$p' "$patch"; done |
                         sha256sum | cut -d' ' -f1)"
}

# apply_patches SRC: PATCHES applied to the unpacked source in SRC.
apply_patches() {
    local patch
    for patch in ${PATCHES[@]+"${PATCHES[@]}"}; do
        say "applying $(basename "$patch")"
        patch -d "$1" -p1 --quiet --forward <"$patch"
    done
}

# keep_patches DIR: PATCHES into DIR, each in the folder of patches/ it came from, in place of
# any kept before (a Qt found built keeps the patches' headers as they are now).
keep_patches() {
    local patch folder
    rm -rf "$1"
    for patch in ${PATCHES[@]+"${PATCHES[@]}"}; do
        folder=$1/$(basename "$(dirname "$patch")")
        mkdir -p "$folder"
        cp "$patch" "$folder/"
    done
}

# tree_digest DIR: one SHA-256 of every file's name, mode and contents below DIR.
tree_digest() {
    (cd "$1" && find . \( -type f -o -type l \) -printf '%p %m %l\n' | LC_ALL=C sort &&
     find . -type f -print0 | LC_ALL=C sort -z | xargs -0 sha256sum) | sha256sum | cut -d' ' -f1
}

# fetch_source DIR VERSION: Debian's qt6-base source package of VERSION into DIR, through a
# private apt source list; the system's apt sources are not touched.
fetch_source() {
    mkdir -p "$1/lists/partial"
    cat >"$1/sources.list" <<'LIST'
deb-src http://deb.debian.org/debian bookworm main
deb-src http://deb.debian.org/debian bookworm-updates main
deb-src http://deb.debian.org/debian-security bookworm-security main
LIST
    local apt=(apt-get -q -o Dir::Etc::SourceList="$1/sources.list" -o Dir::Etc::SourceParts=-
               -o Dir::State::Lists="$1/lists" -o APT::Sandbox::User="$(id -un)")
    "${apt[@]}" update >/dev/null
    (cd "$1" && "${apt[@]}" source --download-only "qt6-base=$2" >/dev/null)
}

# get_source DIR VERSION: the source package into DIR: the one ZAV_QT_DSC names, or Debian's.
get_source() {
    if [ -n "${ZAV_QT_DSC:-}" ]; then
        say "taking the source package $ZAV_QT_DSC"
        local files
        mapfile -t files < <(sed -n '/^Files:/,/^[^ ]/s/^ [0-9a-f]* [0-9]* //p' "$ZAV_QT_DSC")
        (cd "$(dirname "$ZAV_QT_DSC")" && cp "$(basename "$ZAV_QT_DSC")" "${files[@]}" "$1/")
    else
        say "fetching Debian's qt6-base source"
        fetch_source "$1" "$2"
    fi
}

# build_with_progress BUILD_DIR MINUTES: ninja in BUILD_DIR, saying how far it has got each tenth
# of the way; the failing step in full.
build_with_progress() {
    say "building (about $2 minutes on two cores)"
    local status ninja_pid shown=0 progress done_steps all_steps tenth
    set +e
    NINJA_STATUS='@@ %f/%t ' ninja -C "$1" -j "$(nproc)" >build.log 2>&1 &
    ninja_pid=$!
    while kill -0 "$ninja_pid" 2>/dev/null; do
        sleep 20
        progress=$(grep -o '^@@ [0-9]*/[0-9]*' build.log | tail -1 | tr -d '@ ')
        if [ -n "$progress" ]; then
            done_steps=${progress%/*} all_steps=${progress#*/}
            tenth=$((done_steps * 10 / all_steps))
            if [ "$tenth" -gt "$shown" ]; then
                shown=$tenth
                say "built $done_steps of $all_steps steps"
            fi
        fi
    done
    wait "$ninja_pid"
    status=$?
    set -e
    if [ "$status" -ne 0 ]; then
        grep -A30 '^FAILED' build.log | head -60 >&2
        say "build failed: $PWD/build.log"
        exit 1
    fi
}

# build_qt WHAT MINUTES [CMAKE OPTION...]: the unpacked source in $SRC configured in $WORK/build
# for $QT_PREFIX with QT_OPTIONS and the options given (the target's toolchain), built, and
# installed into $QT_DIR, which it replaces. WHAT names the Qt in what it says. The libraries name
# the source and build folders by fixed names, never this machine's.
build_qt() {
    local what=$1 minutes=$2
    shift 2
    local map="-ffile-prefix-map=$SRC=/usr/src/qt6-base -ffile-prefix-map=$WORK/build=/usr/src/qt6-base-build"
    say "configuring ($what into $QT_DIR)"
    cmake -G Ninja -S "$SRC" -B "$WORK/build" "$@" \
        -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
        -DCMAKE_C_FLAGS="$map" -DCMAKE_CXX_FLAGS="$map" \
        -DCMAKE_INSTALL_PREFIX="$QT_PREFIX" "${QT_OPTIONS[@]}" >"$WORK/configure.log" 2>&1 ||
        { tail -40 "$WORK/configure.log" >&2; say "configure failed: $WORK/configure.log"; exit 1; }
    build_with_progress "$WORK/build" "$minutes"
    say "installing"
    rm -rf "$QT_DIR"
    cmake --install "$WORK/build" --prefix "$QT_DIR" >"$WORK/install.log"
}

# finish_qt: the stamp written, last, so that a build cut short is started again; the work folder
# removed; the Qt's folder printed.
finish_qt() {
    echo "$STAMP" >"$QT_DIR/zav-stamp"
    cd /
    rm -rf "$WORK"
    say "done"
    echo "$QT_DIR"
}
