#!/usr/bin/env bash
# A hostile surrounding: a FIFO raced over the cursor file while the user draws, and a program
# folder whose name is not UTF-8.
. "$(dirname "$0")/lib.sh"

start_xvfb
GOOD=$ZAV_BUILD_DIR/チョーク.cur

# install_to DIR: the program and its cursor files in a folder of their own.
install_to() {
    mkdir -p "$1"
    cp "$ZAV_APP" "$1/zav-blackboard"
    cp "$ZAV_BUILD_DIR/チョーク.cur" "$ZAV_BUILD_DIR/黒板消し.cur" "$1/"
}

# Blocked in a system call on a FIFO (opening or reading it)?
blocked_on_fifo() { grep -Eq 'fifo|pipe' "/proc/$APP_PID/wchan" 2>/dev/null; }

# --- A FIFO and the good file renamed over チョーク.cur, again and again, while chalk is drawn.
PROG=$WORK/prog
install_to "$PROG"
start_app -- "$PROG/zav-blackboard"
mkfifo "$WORK/fifo"
cp "$GOOD" "$WORK/good.cur"
# As fast as renames go, for four seconds.
/usr/bin/python3 - "$WORK/fifo" "$WORK/good.cur" "$PROG" <<'PY' &
import os, shutil, sys, time
fifo, good, prog = sys.argv[1:]
target = os.path.join(prog, "チョーク.cur")
end = time.monotonic() + 4
while time.monotonic() < end:
    staged = os.path.join(prog, "staged")
    os.link(fifo, staged)
    os.rename(staged, target)
    shutil.copyfile(good, staged)
    os.rename(staged, target)
PY
SWAPPER=$!
move 40 60
xdotool mousedown 1
blocked=0
for round in 1 2 3 4 5 6; do
    for ((x = 40; x <= 460; x += 10)); do move "$x" $((40 + 20 * round)); done
    blocked_on_fifo && blocked=1
done
xdotool mouseup 1
wait "$SWAPPER"
cp "$GOOD" "$PROG/staged2" && mv -f "$PROG/staged2" "$PROG/チョーク.cur"
[ "$blocked" = 0 ] && ! blocked_on_fifo || fail "the program is blocked on the FIFO ($(cat /proc/$APP_PID/wchan))"
# Still answering: a fresh stroke shows.
drag 1 60 330 300 20
wait_until "$DEADLINE" has_chalk_on_row 255,255,255 330 80 300 || fail "no chalk after the FIFO race: the window does not repaint"
alive || fail "the program ended during the FIFO race"
pass "a FIFO raced over the cursor file never blocks the window"
"$ZAV_WMCLOSE" "$WID"; wait_exit "$DEADLINE"

# --- A program folder named in Shift-JIS bytes (黒板 is 8D 95 94 C2).
SJIS=$WORK/$'\x8d\x95\x94\xc2'
install_to "$SJIS"
start_app -- "$SJIS/zav-blackboard"
drag 1 60 100 300 20
drag 3 60 200 300 20
wait_until "$DEADLINE" has_chalk_on_row 255,255,255 100 80 300 || fail "no chalk from the Shift-JIS folder"
! grep -q 'カーソルファイル' "$WORK/app.err" || fail "its own cursor files were not used: $(cat "$WORK/app.err")"
"$ZAV_WMCLOSE" "$WID"; wait_exit "$DEADLINE"
# Without its cursor files there, it says so about that folder, never about the root.
rm "$SJIS/チョーク.cur"
start_app -- "$SJIS/zav-blackboard"
drag 1 60 100 300 20
wait_until "$DEADLINE" has_chalk_on_row 255,255,255 100 80 300 || fail "no chalk without the cursor file"
wait_until "$DEADLINE" grep -q 'カーソルファイル' "$WORK/app.err" || fail "no line about the missing cursor file"
grep 'カーソルファイル' "$WORK/app.err" | grep -q "$WORK/" || fail "the line names another folder: $(cat "$WORK/app.err")"
pass "a Shift-JIS program folder finds its own cursor files"
