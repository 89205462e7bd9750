#!/usr/bin/env bash
# Writing, rubbing out and picking colours, as a person does it with the mouse.
. "$(dirname "$0")/lib.sh"

start_xvfb
# Qt logs each pointer move it is delivered: a busy X server merges moves still queued, and
# the check is one dab per move that arrived.
start_app QT_LOGGING_RULES=qt.qpa.input.events=true

# Board pixel (x, y) is window pixel (x + 8, y + 8). A left drag along y = 100.
drag 1 60 100 300 20
released() { grep -q 'mouse release' "$WORK/app.err"; }
wait_until "$DEADLINE" released || fail "the drag was not delivered"
mapfile -t delivered < <(sed -n 's/.*XI2 mouse motion \([0-9]*\),100,.*/\1/p' "$WORK/app.err" | sort -un)
last_dab() { has_dab 255,255,255 "${delivered[-1]}" 100; }
wait_until "$DEADLINE" last_dab || fail "no chalk at the last move, ${delivered[-1]},100"
# The press at x = 60 lays nothing: only moves draw.
[ "$(count_colour 255,255,255 57 97 7 7)" = 0 ] || fail "the press itself laid a dab"
dabs=0 moves=0
for x in "${delivered[@]}"; do
    [ "$x" -gt 60 ] || continue
    moves=$((moves + 1))
    [ "$(count_colour 255,255,255 $((x - 3)) 97 7 7)" -ge 20 ] && dabs=$((dabs + 1))
done
[ "$moves" -ge 8 ] || fail "only $moves of 12 moves were delivered"
[ "$dabs" = "$moves" ] || fail "only $dabs dabs for $moves delivered moves"
for ((x = 80; x <= 300; x += 20)); do
    [[ " ${delivered[*]} " == *" $x "* ]] && continue
    [ "$(count_colour 255,255,255 $((x - 3)) 97 7 7)" = 0 ] || fail "a dab at $x,100 where no move arrived"
done
specks=0
for x in "${delivered[@]}"; do
    [ "$x" -gt 60 ] && specks=$((specks + $(count_colour "$board_colour" $((x - 2)) 98 5 5)))
done
[ "$specks" -ge "$moves" ] || fail "only $specks board-coloured specks among the dabs"
# A fast drag leaves gaps: nothing is drawn between the dabs.
[ "$(pixel 70 100)" = "$board_colour" ] || fail "chalk between dabs at 70,100"
[ "$(pixel 50 424)" = 224,224,224 ] || fail "white should still be in hand"
pass "a left drag leaves grainy white dabs along its path"

# Another window over the board, then gone: the chalk it covered comes back. (Qt's backing store
# answers these exposes; tst_window checks that the board's own repaints come from its image.)
eval "$(xdotool getwindowgeometry --shell "$WID")"
board=$(crop_sum 8 8 505 392)
xmessage -geometry "400x300+$((X + 40))+$((Y + 40))" -timeout 60 "cover" 2>/dev/null &
cover=$!
board_differs() { shot && [ "$(crop_sum 8 8 505 392)" != "$board" ]; }
board_is_back() { shot && [ "$(crop_sum 8 8 505 392)" = "$board" ]; }
wait_until "$DEADLINE" board_differs || fail "the covering window did not show"
kill "$cover"; wait "$cover" 2>/dev/null || true
wait_until "$DEADLINE" board_is_back || fail "chalk under the covering window was lost"
# Taken off the screen and put back, as minimising and restoring do.
xdotool windowunmap --sync "$WID"
xdotool windowmap --sync "$WID"
wait_until "$DEADLINE" board_is_back || fail "chalk lost when the window was unmapped and mapped again"
pass "a window covering the board, or the window unmapped and mapped again, loses no chalk"

# Pick up yellow: it leaves the tray, white comes back, and the next drag is yellow.
click_at 122 424
wait_until "$DEADLINE" pixel_is 122 424 224,224,224 || fail "the yellow stick stayed on the tray"
[ "$(pixel 50 424)" = 255,255,255 ] || fail "the white stick did not come back"
drag 1 60 200 300 20
wait_until "$DEADLINE" has_chalk_on_row 255,255,0 200 80 300 || fail "the drag after picking yellow is not yellow"
pass "clicking the yellow stick takes it up; the next drag is yellow"

# Rub out the white line: board colour returns and the eraser leaves the tray.
drag 3 60 100 300 5
wait_until "$DEADLINE" pixel_is 462 420 224,224,224 || fail "the eraser is still on the tray"
# The eraser leaves the tray at the first move; wait for the last one to be handled too.
line_gone() { shot && [ "$(count_colour 255,255,255 50 90 260 20)" = 0 ]; }
wait_until "$DEADLINE" line_gone || fail "chalk left after rubbing out"
[ "$(pixel 122 424)" = 255,255,0 ] || fail "every stick should be back on the tray"
pass "a right drag rubs the chalk out and takes up the eraser"

# Both buttons held: nothing is drawn.
shot
before=$(crop_sum 8 8 505 392)
move 100 300
xdotool mousedown 1 mousedown 3
for ((x = 100; x <= 300; x += 20)); do move "$x" 300; done
xdotool mouseup 3 mouseup 1
# Then a move with no button: still nothing.
for ((x = 100; x <= 300; x += 20)); do move "$x" 320; done
# A marker click to be sure every earlier event was handled.
click_at 194 424
wait_until "$DEADLINE" pixel_is 194 424 224,224,224 || fail "magenta was not taken up"
shot
[ "$(crop_sum 8 8 505 392)" = "$before" ] || fail "both buttons or no button drew on the board"
pass "both buttons held, or none, draw nothing"

"$ZAV_WMCLOSE" "$WID"
wait_exit "$DEADLINE"
[ "$EXIT_STATUS" = 0 ] || fail "status $EXIT_STATUS"

# A program directory whose cursor files are gone: drags still draw, the program goes on.
mkdir "$WORK/bare"
cp "$ZAV_APP" "$WORK/bare/"
start_app -- "$WORK/bare/zav-blackboard"
drag 1 60 100 200 20
wait_until "$DEADLINE" has_chalk_on_row 255,255,255 100 80 200 || fail "no chalk without cursor files"
drag 3 60 150 200 20
wait_until "$DEADLINE" pixel_is 462 420 224,224,224 || fail "no eraser without cursor files"
alive || fail "the program ended without its cursor files"
[ "$(grep -c 'チョーク.cur' "$WORK/app.err")" = 1 ] || fail "expected one line naming チョーク.cur"
grep -q '黒板消し.cur' "$WORK/app.err" || fail "no line naming 黒板消し.cur"
pass "without cursor files: drawing goes on with built-in cursors, one line each on stderr"

# The files come back while it runs: the next event uses them (the hotspot of the file is used).
cp "$ZAV_BUILD_DIR/チョーク.cur" "$ZAV_BUILD_DIR/黒板消し.cur" "$WORK/bare/"
drag 1 60 250 120 20
wait_until "$DEADLINE" has_chalk_on_row 255,255,255 250 80 120 || fail "no chalk after the files came back"
alive || fail "the program ended"
grep -c "カーソルファイル" "$WORK/app.err" | grep -qx 2 || fail "more fallback messages after the files came back"
pass "cursor files put back: drawing goes on, no further fallback"
