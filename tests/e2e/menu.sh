#!/usr/bin/env bash
# The eraser's popup menu: erase all, rewrite the date, quit; and its shortcuts.
. "$(dirname "$0")/lib.sh"

FAKETIME_LIB=$(compgen -G '/usr/lib/*/faketime/libfaketime.so.1' | head -n1 || true)
[ -n "$FAKETIME_LIB" ] || fail "libfaketime is not installed"
echo "@2026-12-25 10:00:00" >"$WORK/clock"

start_xvfb
start_app LD_PRELOAD="$FAKETIME_LIB" FAKETIME_TIMESTAMP_FILE="$WORK/clock" FAKETIME_NO_CACHE=1

shot
strip=$(crop_sum 514 8 118 392)
drag 1 60 100 300 20
wait_until "$DEADLINE" has_chalk_on_row 255,255,255 100 80 300 || fail "no chalk"

# Clicking the eraser opens the menu at the pointer.
click_at 482 424
wait_until "$DEADLINE" has_popup || fail "no popup after clicking the eraser"
popup_at 482 424 || fail "popup at $X,$Y, not at the pointer"
pass "clicking the eraser opens the popup at the pointer ($X,$Y)"

# Escape dismisses it and changes nothing.
shot
board=$(crop_sum 8 8 505 392)
xdotool key Escape
wait_until "$DEADLINE" no_popup || fail "Escape left the popup open"
shot
[ "$(crop_sum 8 8 505 392)" = "$board" ] || fail "dismissing the popup changed the board"
alive || fail "the program ended"
pass "Escape dismisses the popup without change"

# 全部消す: the board is all board colour, the date strip unchanged.
click_at 482 424
wait_until "$DEADLINE" has_popup || fail "no popup the second time"
xdotool key a
wait_until "$DEADLINE" board_is_clear || fail "the board is not all board colour after 全部消す"
[ "$(crop_sum 514 8 118 392)" = "$strip" ] || fail "全部消す changed the date strip"
[ "$(pixel 462 420)" = 128,128,0 ] || fail "the eraser should still be on the tray"
pass "全部消す wipes the board and leaves the date"

# Ctrl+D with the popup closed writes the date again, read from the clock now.
echo "@2027-01-04 10:00:00" >"$WORK/clock"
xdotool key ctrl+d
wait_until "$DEADLINE" strip_differs "$strip" \
    || fail "Ctrl+D did not rewrite the date"
pass "Ctrl+D rewrites the date with the popup closed"

# After a right drag the eraser is in hand: clicking where it stood opens nothing.
drag 3 100 200 200 20
wait_until "$DEADLINE" pixel_is 462 420 224,224,224 || fail "the eraser is still on the tray"
click_at 482 424
! wait_until 2 has_popup || fail "a popup opened with the eraser in hand"
pass "with the eraser in hand, its empty place opens nothing"

# A double click on the eraser: the second click lands on the open menu, 3 px into it, and
# chooses nothing; the board keeps its chalk. A deliberate click later chooses as usual.
click_at 194 424
wait_until "$DEADLINE" pixel_is 462 420 128,128,0 || fail "the eraser did not come back"
drag 1 60 100 300 20
wait_until "$DEADLINE" has_chalk_on_row 255,0,255 100 80 300 || fail "no chalk before the double click"
shot
board=$(crop_sum 8 8 505 392)
move 482 424
xdotool click 1 mousemove_relative 3 3 click 1
wait_until "$DEADLINE" has_popup || fail "no popup after the double click"
sleep 0.6 # longer than the double-click time, so the next click is a new one
shot
[ "$(crop_sum 8 8 505 392)" = "$board" ] || fail "the double click on the eraser changed the board"
has_popup || fail "the double click closed the menu"
pass "the second click of a double click on the eraser chooses nothing"
xdotool click 1
wait_until "$DEADLINE" board_is_clear || fail "a deliberate click on 全部消す did not erase"
wait_until "$DEADLINE" no_popup || fail "the menu stayed open after choosing"
pass "a deliberate click on 全部消す still erases"

# The shortcuts shown in the open menu act there too, closing it.
drag 1 60 100 300 20
wait_until "$DEADLINE" has_chalk_on_row 255,0,255 100 80 300 || fail "no chalk before Ctrl+A"
click_at 482 424
wait_until "$DEADLINE" has_popup || fail "no popup for Ctrl+A"
xdotool key ctrl+a
wait_until "$DEADLINE" board_is_clear || fail "Ctrl+A in the open menu did not erase"
wait_until "$DEADLINE" no_popup || fail "Ctrl+A left the menu open"
shot
strip=$(crop_sum 514 8 118 392)
echo "@2027-02-14 10:00:00" >"$WORK/clock"
click_at 482 424
wait_until "$DEADLINE" has_popup || fail "no popup for Ctrl+D"
xdotool key ctrl+d
wait_until "$DEADLINE" strip_differs "$strip" || fail "Ctrl+D in the open menu did not rewrite the date"
wait_until "$DEADLINE" no_popup || fail "Ctrl+D left the menu open"
pass "Ctrl+A and Ctrl+D act in the open menu"

# 終了 ends the program with status 0.
click_at 122 424
wait_until "$DEADLINE" pixel_is 462 420 128,128,0 || fail "the eraser did not come back"
click_at 482 424
wait_until "$DEADLINE" has_popup || fail "no popup for 終了"
xdotool key x
wait_exit "$DEADLINE"
[ "$EXIT_STATUS" = 0 ] || fail "終了 ended with status $EXIT_STATUS"
pass "終了 ends the program with status 0"

# Ctrl+X in the open menu ends it too.
start_app LD_PRELOAD="$FAKETIME_LIB" FAKETIME_TIMESTAMP_FILE="$WORK/clock" FAKETIME_NO_CACHE=1
click_at 482 424
wait_until "$DEADLINE" has_popup || fail "no popup for Ctrl+X"
xdotool key ctrl+x
wait_exit "$DEADLINE"
[ "$EXIT_STATUS" = 0 ] || fail "Ctrl+X in the open menu: status $EXIT_STATUS"
pass "Ctrl+X in the open menu ends the program with status 0"
