#!/usr/bin/env bash
# The .deb holds the program directory, the link, the desktop entry, icons and AppStream data,
# and the validators pass on them.
set -euo pipefail
: "${ZAV_BUILD_DIR:?}"
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$WORK" && cpack -G DEB --config "$ZAV_BUILD_DIR/CPackConfig.cmake" -B "$WORK/out" >/dev/null) || fail "cpack failed"
deb=$(ls "$WORK"/out/*.deb)
dpkg-deb -x "$deb" "$WORK/root"
(cd "$WORK/root" && find . ! -type d | sort) >"$WORK/files"
cat >"$WORK/expected" <<'LIST'
./usr/bin/zav-blackboard
./usr/lib/zav-blackboard/zav-blackboard
./usr/lib/zav-blackboard/チョーク.cur
./usr/lib/zav-blackboard/黒板消し.cur
./usr/share/applications/jp.zav.blackboard.desktop
./usr/share/doc/zav-blackboard/changelog.gz
./usr/share/doc/zav-blackboard/copyright
./usr/share/icons/hicolor/128x128/apps/jp.zav.blackboard.png
./usr/share/icons/hicolor/32x32/apps/jp.zav.blackboard.png
./usr/share/icons/hicolor/64x64/apps/jp.zav.blackboard.png
./usr/share/man/man1/zav-blackboard.1.gz
./usr/share/metainfo/jp.zav.blackboard.metainfo.xml
LIST
diff -u "$WORK/expected" "$WORK/files" || fail "unexpected file list"
[ "$(readlink "$WORK/root/usr/bin/zav-blackboard")" = ../lib/zav-blackboard/zav-blackboard ] || fail "bad link"
for size in 32 64 128; do
    identify "$WORK/root/usr/share/icons/hicolor/${size}x${size}/apps/jp.zav.blackboard.png" | grep -q " ${size}x${size} " \
        || fail "icon ${size} is not ${size}x${size}"
done
depends=$(dpkg-deb -f "$deb" Depends)
grep -q libqt6widgets6 <<<"$depends" || fail "Depends lacks Qt: $depends"
# The date's face is in the program: no font to recommend, and its licence in the copyright file.
[ -z "$(dpkg-deb -f "$deb" Recommends)" ] || fail "Recommends: $(dpkg-deb -f "$deb" Recommends)"
[ "$(grep '^License:' "$WORK/root/usr/share/doc/zav-blackboard/copyright" | sort -u | tr '\n' ' ')" = "License: GPL-3+ License: OFL-1.1 " ] \
    || fail "the copyright file's licences: $(grep '^License:' "$WORK/root/usr/share/doc/zav-blackboard/copyright")"
echo "ok - the .deb holds the expected files; Depends: $depends"

# scripts/test installs the validators: one that is missing is a failure, not a pass.
for tool in desktop-file-validate appstreamcli lintian; do
    command -v "$tool" >/dev/null || fail "$tool is not installed"
done
out=$(desktop-file-validate "$WORK/root/usr/share/applications/jp.zav.blackboard.desktop" 2>&1) || fail "$out"
[ -z "$out" ] || fail "desktop-file-validate: $out"
echo "ok - desktop-file-validate"
# The board has no web site of its own, so AppStream 1.0 (Debian 13) warns that the metainfo names
# no homepage; that one warning stands until it has one, whose address then goes into the metainfo.
status=0
appstreamcli validate --no-net "$WORK/root/usr/share/metainfo/jp.zav.blackboard.metainfo.xml" >"$WORK/as" 2>&1 ||
    status=$?
! grep -E '^[EW]:' "$WORK/as" | grep -qv ':~: url-homepage-missing$' || fail "appstreamcli: $(cat "$WORK/as")"
[ "$status" = 0 ] || grep -q ':~: url-homepage-missing$' "$WORK/as" || fail "appstreamcli: $(cat "$WORK/as")"
echo "ok - appstreamcli validate"
# Lintian runs the same AppStream validator, checked above with its one warning.
lintian --suppress-tags appstream-metadata-validation-failed "$deb" >"$WORK/lintian" 2>&1 || true
! grep -qE '^[EW]:' "$WORK/lintian" || fail "lintian: $(cat "$WORK/lintian")"
echo "ok - lintian: no errors, no warnings"

# One version everywhere: the package, its AppStream release, changelog and manual page.
version=$(dpkg-deb -f "$deb" Version)
grep -q "<release version=\"$version\"" "$WORK/root/usr/share/metainfo/jp.zav.blackboard.metainfo.xml" \
    || fail "the AppStream release is not $version"
zcat "$WORK/root/usr/share/doc/zav-blackboard/changelog.gz" | head -n1 | grep -qF "zav-blackboard ($version)" \
    || fail "the changelog does not start at $version"
zcat "$WORK/root/usr/share/man/man1/zav-blackboard.1.gz" | head -n1 | grep -qF "\"$version\"" \
    || fail "the manual page is not for $version"
strings -e l "$WORK/root/usr/lib/zav-blackboard/zav-blackboard" | grep -qx "$version" \
    || fail "the program does not carry $version"
echo "ok - version $version in the package, AppStream data, changelog, manual page and program"
