#!/usr/bin/env bash
# Packs the program built for the web for handing out, from the folder CMake's install rules fill
# (the page, the program, its cursor files, its icon and the licences of all it carries):
#   OUT/zav-blackboard-<version>-web.zip              that folder, for any web server
#   OUT/zav-blackboard-<version>-web-sources.tar.xz   the sources of the program and of its Qt
#   OUT/zav-blackboard-<version>-web-buildinfo.txt    the build record: the tree, the time, the
#                                                     Debian packages, what was made
# The same tree, SOURCE_DATE_EPOCH and Debian packages give the same bytes.
#
#   scripts/lanes/web/package.sh BUILD_DIR SITE_DIR [OUT_DIR]     OUT_DIR: BUILD_DIR when not given
set -euo pipefail
. "$(dirname "$0")/../../lib/setup.sh"
. "$ROOT/scripts/lib/package.sh"
fail() { echo "web-package: $*" >&2; exit 1; }
package_begin "$1"
SITE=$(cd "$2" && pwd)
OUT=$(mkdir -p "${3:-$BUILD}" && cd "${3:-$BUILD}" && pwd)
name=zav-blackboard-$VERSION-web
sources=zav-blackboard-$VERSION-web-sources

cp -r "$SITE" "$STAGE/$name"
"$ROOT/scripts/lanes/shared/reproducible-zip.py" "$OUT/$name.zip" "$STAGE" "$name"
{
    record_head "${WEB_RECORDED_PACKAGES[@]}"
    echo "Checksums-Sha256:"
    (cd "$STAGE" && checksums "$name/zav-blackboard.js" "$name/zav-blackboard.wasm")
    checksums "$OUT/$name.zip"
} >"$STAGE/record"
sources_file "$OUT/$sources.tar.xz" "$sources" "$ROOT/resources/web/sources-README.txt" "$name-buildinfo.txt"
{ cat "$STAGE/record"; checksums "$OUT/$sources.tar.xz"; } >"$OUT/$name-buildinfo.txt"

echo "$OUT/$name.zip"
echo "$OUT/$sources.tar.xz"
echo "$OUT/$name-buildinfo.txt"
