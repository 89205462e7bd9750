#!/usr/bin/env bash
# Names the program's source tree as it is on disk, committed or not, by the id git gives the
# tree of every file it does not ignore. Prints:
#   Tree: <that id>
#   Commit: <the commit checked out>
#   Uncommitted-Changes: yes|no
# Outside a checkout (an unpacked sources file) the commit and changes are those the build record
# beside the tree gives for the same tree id, or "unknown".
#
#   scripts/lanes/shared/source-tree.sh [--archive OUT.tar] [ROOT]     OUT.tar: that very tree, as a tar
set -euo pipefail
archive=
if [ "${1:-}" = --archive ]; then archive=$2; shift 2; fi
ROOT=$(cd "${1:-$(dirname "${BASH_SOURCE[0]}")/../../..}" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# A private index, so that nothing staged in the checkout is touched.
export GIT_INDEX_FILE=$scratch/index GIT_WORK_TREE=$ROOT
if [ "$(git -C "$ROOT" rev-parse --show-toplevel 2>/dev/null)" = "$ROOT" ]; then
    GIT_DIR=$(git -C "$ROOT" rev-parse --absolute-git-dir)
    export GIT_DIR
    git read-tree HEAD
    git add -A
    tree=$(git write-tree)
    commit=$(git rev-parse HEAD)
    changes=$([ "$tree" = "$(git rev-parse 'HEAD^{tree}')" ] && echo no || echo yes)
else
    export GIT_DIR=$scratch/git
    git init -q
    git add -A
    tree=$(git write-tree)
    commit=unknown changes=unknown
    for record in "$ROOT"/../*-buildinfo.txt; do
        [ -f "$record" ] && grep -qx "Tree: $tree" "$record" || continue
        commit=$(sed -n 's/^Commit: //p' "$record")
        changes=$(sed -n 's/^Uncommitted-Changes: //p' "$record")
    done
fi
[ -z "$archive" ] || git archive --format=tar -o "$archive" "$tree"
printf 'Tree: %s\nCommit: %s\nUncommitted-Changes: %s\n' "$tree" "$commit" "$changes"
