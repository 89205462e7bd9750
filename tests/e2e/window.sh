#!/usr/bin/env bash
# The program opens its window as a blackboard and ends cleanly when asked to close.
. "$(dirname "$0")/lib.sh"

start_xvfb
start_app

info=$(xwininfo -id "$WID")
grep -q 'Width: 641$' <<<"$info" || fail "client width: $info"
grep -q 'Height: 449$' <<<"$info" || fail "client height: $info"
[ "$(xdotool getwindowname "$WID")" = "ZAV 黒板" ] || fail "title is '$(xdotool getwindowname "$WID")'"
hints=$(xprop -id "$WID" WM_NORMAL_HINTS)
grep -q 'minimum size: 641 by 449' <<<"$hints" || fail "no fixed minimum size: $hints"
grep -q 'maximum size: 641 by 449' <<<"$hints" || fail "no fixed maximum size: $hints"
pass "641 x 449, titled, fixed size"

shot
[ "$(pixel 3 200)" = 64,0,0 ] || fail "frame is $(pixel 3 200)"
[ "$(pixel 300 3)" = 64,0,0 ] || fail "frame top is $(pixel 300 3)"
[ "$(pixel 260 200)" = "$board_colour" ] || fail "board is $(pixel 260 200)"
[ "$(pixel 625 399)" = "$board_colour" ] || fail "date strip is $(pixel 625 399)"
[ "$(pixel 600 420)" = 224,224,224 ] || fail "tray is $(pixel 600 420)"
[ "$(pixel 0 430)" = 128,128,128 ] || fail "tray border is $(pixel 0 430)"
[ "$(pixel 50 424)" = 224,224,224 ] || fail "the white stick should be in hand"
[ "$(pixel 122 424)" = 255,255,0 ] || fail "yellow stick is $(pixel 122 424)"
[ "$(pixel 462 420)" = 128,128,0 ] || fail "eraser is $(pixel 462 420)"
white=$(count_colour 255,255,255 513 8 120 392)
[ "$white" -gt 800 ] || fail "only $white white pixels of date text in the strip"
pass "frame, board, date strip with white text, tray with five sticks and the eraser"

"$ZAV_WMCLOSE" "$WID"
wait_exit "$DEADLINE"
[ "$EXIT_STATUS" = 0 ] || fail "closing the window ended with status $EXIT_STATUS"
pass "a close request ends the program with status 0"

# Where no display can be opened: one clear line and status 1, not an abort.
status=0
env -u WAYLAND_DISPLAY DISPLAY=:9999 "$ZAV_APP" >"$WORK/out" 2>"$WORK/err" || status=$?
[ "$status" = 1 ] || fail "without a display the status was $status"
[ "$(wc -l <"$WORK/err")" = 1 ] || fail "expected one line on stderr: $(cat "$WORK/err")"
grep -q 'DISPLAY=:9999' "$WORK/err" || fail "the message does not name the display: $(cat "$WORK/err")"
status=0
env -u DISPLAY -u WAYLAND_DISPLAY "$ZAV_APP" 2>"$WORK/err" || status=$?
[ "$status" = 1 ] && [ "$(wc -l <"$WORK/err")" = 1 ] || fail "with DISPLAY unset: status $status, $(cat "$WORK/err")"
status=0
QT_QPA_PLATFORM=no-such-platform "$ZAV_APP" 2>"$WORK/err" || status=$?
[ "$status" = 1 ] && [ "$(wc -l <"$WORK/err")" = 1 ] && grep -q '起動できません' "$WORK/err" \
    || fail "with an unknown platform: status $status, $(cat "$WORK/err")"
pass "no display, or no usable platform: one line, status 1"

# --version and --help answer on standard output, without a display, and end with status 0.
version=$(env -u DISPLAY -u WAYLAND_DISPLAY "$ZAV_APP" --version) || fail "--version failed"
[ "$version" = "ZAV 黒板 $(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$ZAV_BUILD_DIR/CMakeCache.txt")" ] \
    || fail "--version said: $version"
env -u DISPLAY -u WAYLAND_DISPLAY "$ZAV_APP" --help | grep -q -- '--scale 倍率' || fail "--help does not tell of --scale"
# Output that cannot be written is a failure, said on stderr.
for option in --help --version; do
    status=0
    "$ZAV_APP" $option >/dev/full 2>"$WORK/err" || status=$?
    [ "$status" = 1 ] && grep -q -- "$option を書き出せません" "$WORK/err" || fail "$option >/dev/full: status $status, $(cat "$WORK/err")"
done
pass "--version and --help answer without a window, and fail when their answer cannot be written"
