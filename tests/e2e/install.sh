#!/usr/bin/env bash
# Installed into a prefix and started through its link from an unrelated folder, the program
# finds its cursor files in its own directory.
. "$(dirname "$0")/lib.sh"

prefix=$WORK/prefix
cmake --install "$ZAV_BUILD_DIR" --prefix "$prefix" >/dev/null || fail "cmake --install failed"
[ -L "$prefix/bin/zav-blackboard" ] || fail "no link in bin/"
program_dir=$(dirname "$(readlink -f "$prefix/bin/zav-blackboard")")
for f in zav-blackboard チョーク.cur 黒板消し.cur; do
    [ -f "$program_dir/$f" ] || fail "$f is not in the program directory $program_dir"
done
pass "installed: $prefix/bin/zav-blackboard -> $program_dir"

start_xvfb
mkdir "$WORK/elsewhere"
cd "$WORK/elsewhere"
start_app -- "$prefix/bin/zav-blackboard"
drag 1 60 100 300 20
wait_until "$DEADLINE" has_chalk_on_row 255,255,255 100 80 300 || fail "no chalk from the installed program"
drag 3 60 200 300 20
wait_until "$DEADLINE" pixel_is 462 420 224,224,224 || fail "no eraser stroke"
! grep -q 'カーソルファイル' "$WORK/app.err" || fail "a cursor fell back: $(cat "$WORK/app.err")"
pass "started from another folder: chalk drawn, cursor files found"

# Proof that it is the installed directory that is read: take the file away, and that path is named.
mv "$program_dir/チョーク.cur" "$WORK/"
drag 1 60 300 200 20
wait_until "$DEADLINE" grep -q "$program_dir/チョーク.cur" "$WORK/app.err" || fail "the installed path was not the one read"
alive || fail "the program ended"
pass "the chalk cursor is read from $program_dir"
