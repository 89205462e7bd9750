#!/usr/bin/env bash
# Keyboard and screen-reader use: every control named and operable through AT-SPI, and the tray
# worked from the keyboard, checked from screenshots; and what a blind teacher hears from Orca, the
# screen reader itself, in Japanese. Runs on a session bus of its own, with the accessibility bus
# started on it.
if [ -z "${ZAV_ACCESS_BUS:-}" ]; then
    ZAV_ACCESS_BUS=1 exec dbus-run-session -- bash "$0" "$@"
fi
. "$(dirname "$0")/lib.sh"
ATSPI="/usr/bin/python3 $(dirname "$0")/atspi.py"
export LANG=ja_JP.UTF-8
# item_heard MARK ITEM SHORTCUT: a menu item said with its shortcut: one line (Orca 43), or the
# item and then the shortcut (Orca 48).
item_heard() { heard "$1" "$2 $3." || heard "$1" "$2." "$3."; }

start_xvfb
/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
BUS_PID=$!
trap 'kill "$BUS_PID" 2>/dev/null || true; cleanup' EXIT
start_app QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
start_orca

since=$(mark)
# A click on the date strip (it does nothing) makes the window active, as a person does first.
click_at 600 300
wait_until "$DEADLINE" heard "$since" 'ZAV 黒板 *.' || fail "Orca did not say the window: $(said_since "$since")"
wait_until "$DEADLINE" heard "$since" '黒板 *.' '白のチョークを持っています。' \
    || fail "Orca did not say the board and what is in hand, alone: $(said_since "$since")"
# How to use it: Orca 43 reads it as the window's description; Qt 6.8 announces it as the window
# becomes active, for Orca 48 reads no window's description.
wait_until "$DEADLINE" heard_any "$since" '左ボタンを押したまま' || fail "Orca did not say how to write as the window opened"
[ "$(said_since "$since" | grep -c '左ボタンを押したまま')" = 1 ] || fail "Orca said how to write more than once"
pass "Orca: the window with how to use it, once; the board with the chalk in hand, alone"

$ATSPI tree >"$WORK/tree" || fail "$(cat "$WORK/tree")"
weekdays=(日 月 火 水 木 金 土)
today="$(date +%-m)月$(date +%-d)日(${weekdays[$(date +%w)]})"
[ "$($ATSPI date)" = "$today	$today" ] || fail "the date strip reads '$($ATSPI date)', not $today"
pass "names, roles and states: the frame, the board, six sticks, the eraser, the date as one line"

# A stick's action does what a click does: yellow leaves the tray, white comes back, and every
# picture on the tray says so.
$ATSPI press 黄色のチョーク
wait_until "$DEADLINE" pixel_is 122 424 224,224,224 || fail "the yellow stick is still on the tray"
[ "$(pixel 50 424)" = 255,255,255 ] || fail "the white stick did not come back"
! $ATSPI states 黄色のチョーク | grep -q showing || fail "yellow still shows: $($ATSPI states 黄色のチョーク)"
[ "$($ATSPI description 白のチョーク)" = "黄色のチョークを持っています。" ] \
    || fail "the white stick says '$($ATSPI description 白のチョーク)'"
pass "the action on a stick picks that colour, and the pictures on the tray say so"

# A screen reader is told: blue leaves the tray and yellow comes back as blue is picked.
$ATSPI announced 青のチョーク >"$WORK/heard"
grep -qx 'object:state-changed:showing 青のチョーク' "$WORK/heard" || fail "blue's pick was not announced: $(cat "$WORK/heard")"
grep -qx 'object:state-changed:showing 黄色のチョーク' "$WORK/heard" || fail "yellow's return was not announced: $(cat "$WORK/heard")"
! grep -q '赤のチョーク' "$WORK/heard" || fail "red was announced though it did not change: $(cat "$WORK/heard")"
# Said as an announcement (Qt 6.8 on), or through the tray's description, told as changed.
grep -qx -e 'object:announcement ZAV 黒板 青のチョークを持っています。' \
    -e 'object:property-change:accessible-description チョーク入れ' "$WORK/heard" \
    || fail "the chalk in hand was not told: $(cat "$WORK/heard")"
$ATSPI press 黄色のチョーク
wait_until "$DEADLINE" pixel_is 122 424 224,224,224 || fail "yellow was not taken up again"
pass "picking a colour is announced for the sticks that go on and off the tray, and the chalk in hand"

# The chalk in hand, from what shows: the tray and the board describe it.
[ "$($ATSPI description チョーク入れ)" = "黄色のチョークを持っています。" ] \
    || fail "the tray says '$($ATSPI description チョーク入れ)'"
$ATSPI description 黒板 | grep -q '^黄色のチョークを持っています。' || fail "the board says '$($ATSPI description 黒板)'"
# Rubbing out: the eraser leaves the tray, announced as leaving; nothing is ever checked.
$ATSPI listen 2500 "$WORK/listening" >"$WORK/heard" &
listener=$!
wait_until "$DEADLINE" test -f "$WORK/listening" || fail "the listener did not start"
drag 3 60 350 120 20
wait "$listener"
grep -q ' 黒板消し$' "$WORK/heard" || fail "the eraser's leaving was not announced: $(cat "$WORK/heard")"
! grep -q 'checked' "$WORK/heard" || fail "something was announced as checked: $(cat "$WORK/heard")"
[ "$($ATSPI description チョーク入れ)" = "黒板消しを持っています。" ] || fail "the tray says '$($ATSPI description チョーク入れ)'"
$ATSPI press 黄色のチョーク
wait_until "$DEADLINE" pixel_is 122 424 224,224,224 || fail "yellow was not taken up after rubbing out"
pass "the tray and the board say what is in hand; nothing is announced as checked"

# Focus starts on the board without a mark; the mouse-driven look is unchanged until a key is used.
focused_is() { [ "$($ATSPI focused)" = "$1" ]; }
shot
[ "$(pixel 10 200)" = "$board_colour" ] || fail "a focus mark shows before any key: $(pixel 10 200)"
tray=$(crop_sum 10 404 620 40)
since=$(mark)
xdotool key Tab
wait_until "$DEADLINE" focused_is 白のチョーク || fail "Tab into the tray focused '$($ATSPI focused)'"
wait_until "$DEADLINE" heard "$since" 'チョーク入れ *.' '白のチョーク *.' '黄色のチョークを持っています。' \
    || fail "Tab into the tray: Orca said $(said_since "$since")"
tray_marked() { shot && [ "$(crop_sum 10 404 620 40)" != "$tray" ]; }
wait_until "$DEADLINE" tray_marked || fail "the focused stick shows no mark"
xdotool key shift+Tab
wait_until "$DEADLINE" focused_is 黒板 || fail "Shift+Tab focused '$($ATSPI focused)', not the board"
wait_until "$DEADLINE" pixel_differs 10 200 "$board_colour" || fail "the board shows no focus mark"
[ "$(crop_sum 10 404 620 40)" = "$tray" ] || fail "the stick's mark stayed after focus left it"
xdotool key Tab
wait_until "$DEADLINE" focused_is 白のチョーク || fail "Tab back into the tray focused '$($ATSPI focused)'"
wait_until "$DEADLINE" pixel_is 10 200 "$board_colour" || fail "the board's mark stayed"
xdotool key Right
wait_until "$DEADLINE" focused_is 赤紫のチョーク || fail "Right focused '$($ATSPI focused)'"
xdotool key End
wait_until "$DEADLINE" focused_is 黒板消し || fail "End focused '$($ATSPI focused)'"
xdotool key Home
wait_until "$DEADLINE" focused_is 白のチョーク || fail "Home focused '$($ATSPI focused)'"
pass "Tab and Shift+Tab go between the board and the tray, marked; Left, Right, Home and End move over the tray"

# Space picks the stick in focus; focus moves on to the next picture on the tray.
xdotool key Right
since=$(mark)
xdotool key space
wait_until "$DEADLINE" pixel_is 194 424 224,224,224 || fail "Space did not take up magenta"
[ "$(pixel 122 424)" = 255,255,0 ] || fail "yellow did not come back"
wait_until "$DEADLINE" focused_is 赤のチョーク || fail "after Space focus is on '$($ATSPI focused)'"
# Heard through the picture that takes the focus: Qt 6.4 cannot have a changed description spoken.
wait_until "$DEADLINE" heard "$since" '赤のチョーク *.' '赤紫のチョークを持っています。' \
    || fail "Space: Orca said $(said_since "$since")"
drag 1 60 300 300 20
wait_until "$DEADLINE" has_chalk_on_row 255,0,255 300 80 300 || fail "the chalk picked with Space does not write magenta"
pass "Space picks the stick in focus, and the next drag writes in its colour"

# Enter on the eraser opens the menu beside it, not at the pointer.
move 600 300
xdotool key End Return
wait_until "$DEADLINE" has_popup || fail "Enter on the eraser opened no menu"
IFS=, read -r ex ey ew _ <<<"$($ATSPI extents 黒板消し)"
eval "$(xdotool getwindowgeometry --shell "$(popup_window)")"
[ "$X,$Y" = "$((ex + ew)),$ey" ] || fail "the menu is at $X,$Y, not beside the eraser at $((ex + ew)),$ey"
# Its items are read without their access keys, with their shortcuts.
since=$(mark)
xdotool key Down
wait_until "$DEADLINE" item_heard "$since" 全部消す Ctrl+A || fail "the menu's first item: Orca said $(said_since "$since")"
xdotool key Escape
wait_until "$DEADLINE" no_popup || fail "Escape did not close the menu"
wait_until "$DEADLINE" focused_is 黒板消し || fail "focus did not come back to the eraser"
pass "Enter on the eraser opens the menu beside it; Escape returns to the eraser"

# The eraser's action opens the same menu; its date item rewrites the date, read out anew.
$ATSPI press 黒板消し
wait_until "$DEADLINE" has_popup || fail "the eraser's action opened no menu"
xdotool key Escape
wait_until "$DEADLINE" no_popup || fail "Escape did not close the menu"
pass "the eraser's action opens the menu"

"$ZAV_WMCLOSE" "$WID"
wait_exit "$DEADLINE"
[ "$EXIT_STATUS" = 0 ] || fail "status $EXIT_STATUS"
