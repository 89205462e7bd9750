#!/usr/bin/env bash
# Packs the cross-built Windows program for handing out, from one folder that CMake's install
# rules fill: the program with its cursor files, a notice and the licences of all it carries.
#   OUT/zav-blackboard-<version>-windows-x64.zip           that folder, for anyone to unpack
#   OUT/zav-blackboard-<version>-windows-x64.msi           the installer a school's IT deploys
#   OUT/zav-blackboard-<version>-windows-sources.tar.xz    the sources of the program and its Qt
#   OUT/zav-blackboard-<version>-buildinfo.txt             the build record: the tree, the time,
#                                                          the Debian packages, what was made
# The same tree, SOURCE_DATE_EPOCH and Debian packages give the same bytes, unsigned.
#
#   scripts/lanes/windows/package.sh BUILD_DIR [OUT_DIR]     OUT_DIR: BUILD_DIR when not given
#   ZAV_SIGN_PKCS12=FILE ZAV_SIGN_PASSWORD=... [ZAV_SIGN_TIMESTAMP=URL] scripts/lanes/windows/package.sh ...
#                                                   signs the .exe before it is packed, and the .msi;
#                                                   only a build of a committed tree
#   ZAV_MSI_VERSION=X.Y.Z                           the installer's version, instead of the build's
set -euo pipefail
. "$(dirname "$0")/../../lib/setup.sh"
. "$ROOT/scripts/lib/package.sh"
fail() { echo "windows-package: $*" >&2; exit 1; }
package_begin "$1"
OUT=$(mkdir -p "${2:-$BUILD}" && cd "${2:-$BUILD}" && pwd)
name=zav-blackboard-$VERSION-windows-x64
sources=zav-blackboard-$VERSION-windows-sources
title=$(sed -n 's/^ZAV_TITLE:INTERNAL=//p' "$BUILD/CMakeCache.txt")
if [ -n "${ZAV_SIGN_PKCS12:-}" ] && ! grep -qx 'Uncommitted-Changes: no' "$BUILD/source.txt"; then
    fail "only a build of a committed tree is signed: $BUILD has uncommitted changes"
fi

# sign_and_strip FILE KEY_OPTION...: FILE.signed, FILE signed with that key, and FILE.stripped,
# that signature taken off again.
sign_and_strip() {
    local file=$1
    shift
    osslsigncode sign "$@" -h sha256 -n "$title" -in "$file" -out "$file.signed" >/dev/null
    osslsigncode remove-signature -in "$file.signed" -out "$file.stripped" >/dev/null
}

# sign FILE: Authenticode, when a certificate is given; a timestamp keeps the signature valid
# after the certificate expires. The password goes through a pipe, never on a command line. A
# signed file must be the unsigned one and its signature, nothing else.
sign() {
    [ -n "${ZAV_SIGN_PKCS12:-}" ] || return 0
    sign_and_strip "$1" -pkcs12 "$ZAV_SIGN_PKCS12" -readpass <(printf '%s' "${ZAV_SIGN_PASSWORD:-}") \
        ${ZAV_SIGN_TIMESTAMP:+-ts "$ZAV_SIGN_TIMESTAMP"}
    cmp -s "$1" "$1.stripped" || fail "signing $(basename "$1") changed more than its signature"
    mv "$1.signed" "$1"
    rm "$1.stripped"
}

# signing_layout FILE: FILE as osslsigncode leaves it when a signature is taken off (an .exe
# padded to 8 bytes with its checksum set, an installer's compound file laid out its own way),
# so that a signed file is the unsigned one and its signature, nothing else. A throwaway key signs
# it and the signature is taken off again; what comes out does not depend on the key.
signing_layout() {
    if [ ! -f "$STAGE/layout.p12" ]; then
        openssl req -x509 -newkey rsa:2048 -nodes -keyout "$STAGE/layout.key" -out "$STAGE/layout.crt" \
            -days 1 -subj /CN=layout 2>/dev/null
        openssl pkcs12 -export -inkey "$STAGE/layout.key" -in "$STAGE/layout.crt" -out "$STAGE/layout.p12" -passout pass:
    fi
    sign_and_strip "$1" -pkcs12 "$STAGE/layout.p12" -pass ""
    mv "$1.stripped" "$1"
    rm "$1.signed"
}

# same_times DIR: every file and folder below DIR at SOURCE_DATE_EPOCH, with the modes a fresh
# umask gives (the cabinet and the archives take them from the files).
same_times() {
    chmod -R u+rwX,go=rX "$1"
    find "$1" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
}

# The folder.
cmake --install "$BUILD" --prefix "$STAGE/$name" --strip >/dev/null
signing_layout "$STAGE/$name/zav-blackboard.exe"
same_times "$STAGE/$name"

# zip_folder OUT: the folder as one zip, its Japanese names in UTF-8 as Explorer reads them.
zip_folder() { "$ROOT/scripts/lanes/shared/reproducible-zip.py" "$1" "$STAGE" "$name"; }

# The installer. wixl writes the product's code page into the summary information only, never
# into the database's string pool, and converts every string to the code page of its locale: a
# string of kanji fails the conversion and is stored empty, and one that starts in ASCII
# ("ZAV 黒板") makes it copy from a null pointer. So wixl and msibuild convert as for Japanese
# (CP932), and the database is then told that its strings are CP932 (_ForceCodepage), which
# Windows Installer reads on any system. Neither tool reads SOURCE_DATE_EPOCH: their clock is set
# to it (the summary information's times), the cabinet takes the files' times, and the package
# code, which wixl draws at random whatever the source says, is derived from what the package
# holds and written over it.
msi_version=${ZAV_MSI_VERSION:-$(sed -n 's/^ZAV_NUMERIC_VERSION:INTERNAL=//p' "$BUILD/CMakeCache.txt")}
upgrade_code=$(sed -n 's/.*UpgradeCode="\([^"]*\)".*/\1/p' "$ROOT/resources/windows/zav-blackboard.wxs")
uuid5() { python3 -c "import uuid, sys; print(str(uuid.uuid5(uuid.UUID(sys.argv[1]), sys.argv[2])).upper())" "$@"; }
product_code=$(uuid5 "$upgrade_code" "$msi_version")
clock=$(date -u -d "@$SOURCE_DATE_EPOCH" '+%Y-%m-%d %H:%M:%S')
printf '\r\n\r\n932\t_ForceCodepage\r\n' >"$STAGE/_ForceCodepage.idt"
# wixl finds files by paths relative to where it runs.
cp "$BUILD/pictures/zav-windows.ico" "$STAGE/zav.ico"
touch -d "@$SOURCE_DATE_EPOCH" "$STAGE/zav.ico"
# msi OUT: the installer of the folder in the stage.
msi() {
    local contents package_code
    contents=$(cd "$STAGE/$name" && find . -type f -print0 | LC_ALL=C sort -z | xargs -0 sha256sum | sha256sum)
    package_code=$(uuid5 "$upgrade_code" "package $msi_version ${contents%% *}")
    sed -e "s|@VERSION@|$msi_version|g" -e "s|@PRODUCT_CODE@|$product_code|g" -e "s|@FOLDER@|$name|g" \
        -e "s|@ICON@|zav.ico|g" -e "s|@TITLE@|$title|g" \
        "$ROOT/resources/windows/zav-blackboard.wxs" >"$STAGE/zav.wxs"
    listed=$(grep -o 'Source="[^"]*"' "$STAGE/zav.wxs" | sed "s|Source=\"$name/||; s|\"$||" | sort)
    staged=$(cd "$STAGE/$name" && find . -type f | sed 's|^\./||' | sort)
    [ "$listed" = "$staged" ] || { diff <(echo "$listed") <(echo "$staged") >&2;
                                   fail "the installer lists other files than the folder holds"; }
    rm -f "$1"
    (cd "$STAGE" && WINDOWS_LANGUAGE=ja env -u LD_PRELOAD -u FAKETIME faketime "$clock" wixl -a x64 -o "$1" zav.wxs)
    template=$(WINDOWS_LANGUAGE=ja msiinfo suminfo "$1" | sed -n 's/^Template: //p')
    # The summary information's strings are written as given: the subject in its code page, CP932.
    WINDOWS_LANGUAGE=ja env -u LD_PRELOAD -u FAKETIME faketime "$clock" msibuild "$1" -i "$STAGE/_ForceCodepage.idt" \
        -s "$(printf '%s %s' "$title" "$msi_version" | iconv -t CP932)" ZAV "$template" "{$package_code}"
    signing_layout "$1"
}

zip_folder "$OUT/$name.zip"
msi "$OUT/$name.msi"
{
    record_head
    echo "Checksums-Sha256:"
    (cd "$STAGE" && checksums "$name/zav-blackboard.exe")
    checksums "$OUT/$name.zip" "$OUT/$name.msi"
} >"$STAGE/record"
sources_file "$OUT/$sources.tar.xz" "$sources" "$ROOT/resources/windows/sources-README.txt" \
    "zav-blackboard-$VERSION-buildinfo.txt"
{ cat "$STAGE/record"; checksums "$OUT/$sources.tar.xz"; } >"$OUT/zav-blackboard-$VERSION-buildinfo.txt"

# Signed: the .exe before it is packed, then the zip and the installer again around it. The
# record keeps the unsigned files' sums (what a rebuild gives) and adds the signed ones.
if [ -n "${ZAV_SIGN_PKCS12:-}" ]; then
    sign "$STAGE/$name/zav-blackboard.exe"
    touch -d "@$SOURCE_DATE_EPOCH" "$STAGE/$name/zav-blackboard.exe"
    zip_folder "$OUT/$name.zip"
    msi "$OUT/$name.msi"
    sign "$OUT/$name.msi"
    { echo "Checksums-Sha256-Signed:"
      (cd "$STAGE" && checksums "$name/zav-blackboard.exe")
      checksums "$OUT/$name.zip" "$OUT/$name.msi"; } >>"$OUT/zav-blackboard-$VERSION-buildinfo.txt"
fi

echo "$OUT/$name.zip"
echo "$OUT/$name.msi"
echo "$OUT/$sources.tar.xz"
echo "$OUT/zav-blackboard-$VERSION-buildinfo.txt"
