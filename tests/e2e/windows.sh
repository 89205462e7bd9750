#!/usr/bin/env bash
# The Windows build as a Windows user meets it, under Wine on Xvfb: its zip unpacked into a folder
# with a Japanese name and started from another working folder, it opens at its size, writes chalk, picks
# a stick, opens the eraser's menu at the click, erases all, ends with Ctrl+X; it finds its cursor
# files beside the .exe and uses a replaced one at the next move.
#   ZAV_APP=build-windows/zav-blackboard-<version>-windows-x64.zip ZAV_CURSORIMAGE=.../cursorimage \
#       tests/e2e/windows.sh
. "$(dirname "$0")/lib.sh"

: "${ZAV_CURSORIMAGE:?ZAV_CURSORIMAGE must name the cursorimage helper}"

# One folder in the zip: the .exe with its cursor files beside it.
mkdir -p "$WORK/unpacked" "$WORK/elsewhere"
unzip -q "$ZAV_APP" -d "$WORK/unpacked"
[ "$(ls "$WORK/unpacked")" = "$(basename "$ZAV_APP" .zip)" ] || fail "the zip does not hold one folder named as it is"
DIR="$WORK/ZAV 黒板"
mv "$WORK/unpacked/$(basename "$ZAV_APP" .zip)" "$DIR"
[ "$(ls "$DIR" | sort | tr '\n' ' ')" = "zav-blackboard.exe チョーク.cur 黒板消し.cur " ] || fail "the folder holds $(ls "$DIR")"
SPARE="$WORK/spare" && mkdir "$SPARE" && cp "$DIR/チョーク.cur" "$SPARE/"
cd "$WORK/elsewhere"

# Wine names the program's windows after the .exe.
popup_window() {
    xdotool search --onlyvisible --pid "$APP_PID" --classname '^zav-blackboard\.exe$' 2>/dev/null | grep -vx "$WID" | head -n1
}
# The hotspot of the cursor shown at the pointer: "4 27" chalk, "15 15" eraser.
hotspot_is() { [ "$("$ZAV_CURSORIMAGE" | cut -d' ' -f3,4)" = "$1" ]; }
# left_move X Y: one move with the left button held.
left_move() { move "$1" "$2"; xdotool mousedown 1; move $(($1 + 4)) "$2"; xdotool mouseup 1; }

start_xvfb
start_app -- wine "$DIR/zav-blackboard.exe"

eval "$(xdotool getwindowgeometry --shell "$WID")"
[ "${WIDTH}x$HEIGHT" = 641x449 ] || fail "client area ${WIDTH}x$HEIGHT, not 641x449"
pixel_is 2 2 64,0,0 || fail "no dark-red frame: $(pixel 2 2)"
pass "the window opens with a 641x449 client area"

drag 1 60 100 300 20
wait_until "$DEADLINE" has_chalk_on_row 255,255,255 100 80 300 || fail "a left drag wrote no chalk"
wait_until "$DEADLINE" hotspot_is "4 27" || fail "the board's cursor is not the chalk: $("$ZAV_CURSORIMAGE")"
pass "a left drag writes chalk"

# The chalk cursor file replaced beside the .exe (by the eraser's picture): the next move uses it,
# so the file was found in the Japanese-named folder and read again when it changed.
cp "$DIR/黒板消し.cur" "$DIR/チョーク.cur"
left_move 100 300
wait_until "$DEADLINE" hotspot_is "15 15" || fail "the replaced cursor file was not used: $("$ZAV_CURSORIMAGE")"
cp "$SPARE/チョーク.cur" "$DIR/チョーク.cur"
left_move 120 300
wait_until "$DEADLINE" hotspot_is "4 27" || fail "the restored cursor file was not used"
pass "cursor files are read from beside the .exe, a replaced one at the next move"

# Taken away: the built-in cursor, and one line that names the file, Japanese folder and all.
rm "$DIR/チョーク.cur"
left_move 140 300
wait_until "$DEADLINE" grep -qF "$(basename "$DIR")" "$WORK/app.err" || fail "no error line naming the missing file"
grep -q 'チョーク.cur を使えません' "$WORK/app.err" || fail "the error line is not readable: $(cat "$WORK/app.err")"
wait_until "$DEADLINE" has_chalk_on_row 255,255,255 300 130 150 || fail "no chalk without the cursor file"
cp "$SPARE/チョーク.cur" "$DIR/"
pass "a missing cursor file is named in one readable line, and chalk goes on"

click_at 122 424
wait_until "$DEADLINE" pixel_is 122 424 224,224,224 || fail "the yellow stick stayed on the tray"
drag 1 60 200 300 20
wait_until "$DEADLINE" has_chalk_on_row 255,255,0 200 80 300 || fail "the drag after picking yellow is not yellow"
pass "a click on a stick picks its colour"

click_at 482 424
wait_until "$DEADLINE" has_popup || fail "no popup after clicking the eraser"
popup_at 482 424 || fail "popup at $X,$Y, not at the click"
xdotool key a
wait_until "$DEADLINE" board_is_clear || fail "全部消す did not clear the board"
pass "the eraser's menu opens at the click, and 全部消す clears the board"

xdotool key ctrl+x
wait_exit "$DEADLINE"
[ "$EXIT_STATUS" = 0 ] || fail "Ctrl+X ended with status $EXIT_STATUS"
pass "Ctrl+X ends the program with status 0"
