#!/usr/bin/env bash
# Touch and pen on the real program: Xvfb has neither, so a generic input plugin feeds the
# events through Qt's window-system path; everything is checked from screenshots.
. "$(dirname "$0")/lib.sh"
: "${ZAV_PLUGIN_DIR:?ZAV_PLUGIN_DIR must name the folder holding generic/libzavinject.so}"

mkfifo "$WORK/inject"
start_xvfb
start_app QT_PLUGIN_PATH="$ZAV_PLUGIN_DIR" QT_QPA_GENERIC_PLUGINS=zavinject ZAV_INJECT="$WORK/inject"
exec 7<>"$WORK/inject"
SENT=0
lines_done() { [ -f "$WORK/inject.done" ] && [ "$(wc -l <"$WORK/inject.done")" -ge "$1" ]; }
# send LINE...: one event per line, then waits until the program has handled them all.
send() {
    local line
    for line in "$@"; do echo "$line" >&7; SENT=$((SENT + 1)); done
    wait_until "$DEADLINE" lines_done "$SENT" || fail "the program did not take: $*"
    ! grep -q '^error' "$WORK/inject.done" || fail "injection: $(grep '^error' "$WORK/inject.done")"
}
# All positions are window coordinates, as the screenshots are.

# Three fingers write at the same time, each along its own row.
send "touch 1:60:60:0:p 2:60:100:0:p 3:60:140:0:p"
for x in 80 100 120 140 160; do send "touch 1:$x:60:0:u 2:$x:100:0:u 3:$x:140:0:u"; done
send "touch 1:160:60:0:r 2:160:100:0:r 3:160:140:0:r"
for y in 60 100 140; do
    for x in 80 120 160; do
        wait_until "$DEADLINE" has_dab 255,255,255 "$x" "$y" || fail "no chalk under finger at $x,$y"
    done
done
pass "three fingers write together"

# The pen's tip writes; hovering draws nothing.
send "pen pen 0 60 200" "pen pen 0 100 200"
shot
[ "$(count_colour 255,255,255 50 190 60 20)" = 0 ] || fail "a hovering pen drew"
send "pen pen 1 60 240"
for x in 80 100 120 140; do send "pen pen 1 $x 240"; done
send "pen pen 0 140 240" "leave pen"
for x in 80 120 140; do wait_until "$DEADLINE" has_dab 255,255,255 "$x" 240 || fail "no chalk under the pen at $x"; done
pass "the pen's tip writes, hovering does not"

# The pen's eraser end rubs the finger rows out, and the eraser leaves the tray.
send "pen eraser 0 70 100" "pen eraser 1 70 100"
for x in 70 80 90 100 110 120 130 140 150 160 170; do send "pen eraser 1 $x 100"; done
send "pen eraser 0 170 100" "leave eraser"
shot
[ "$(count_colour 255,255,255 75 96 90 9)" = 0 ] || fail "chalk left under the pen's eraser"
[ "$(pixel 462 420)" = 224,224,224 ] || fail "the eraser is still on the tray after rubbing out with the pen"
wait_until "$DEADLINE" has_dab 255,255,255 "120" "60" || fail "the eraser end rubbed out more than its path"
pass "the pen's eraser end rubs out"

# The flat of a hand (30 mm across, from the screen's size) resting beside a hovering pen draws
# nothing: palm rejection.
read -r px mm < <(xdpyinfo | sed -n 's/.*dimensions: *\([0-9]*\)x[0-9]* pixels (\([0-9]*\)x.*/\1 \2/p')
hand=$(( 30 * px / mm ))
hand_slides() {
    send "touch 9:100:60:$hand:p"
    for x in 110 120 130 140 150 160; do send "touch 9:$x:60:$hand:u"; done
    send "touch 9:160:60:$hand:r"
}
shot
before=$(crop_sum 8 8 505 392)
send "enter pen" "pen pen 0 300 300"
hand_slides
shot
[ "$(crop_sum 8 8 505 392)" = "$before" ] || fail "a hand beside the hovering pen changed the board"
pass "a hand (${hand} px) beside a hovering pen leaves the board as it was"

# Half a second after the pen has gone the same hand, put down again, wipes a wide band along
# its way.
send "leave pen"
sleep 0.6 # the quiet time after the pen is the subject here
hand_slides
shot
[ "$(count_colour 255,255,255 105 55 56 11)" = 0 ] || fail "chalk left on the hand's way (${hand} px across)"
wait_until "$DEADLINE" has_dab 255,255,255 "120" "140" || fail "the hand rubbed out beyond its width"
pass "after the pen has gone, the flat of a hand (${hand} px) rubs out"

# A tap on the red stick picks it up; a finger then writes red.
send "touch 4:266:424:0:p" "touch 4:266:424:0:r"
wait_until "$DEADLINE" pixel_is 266 424 224,224,224 || fail "tapping the red stick did not pick it up"
send "touch 5:300:300:0:p" "touch 5:320:300:0:u" "touch 5:320:300:0:r"
wait_until "$DEADLINE" has_dab 255,0,0 "320" "300" || fail "the finger did not write red"
pass "a tap on a stick picks it up"

# A tap on the eraser opens the menu where the finger was, even with the pointer elsewhere.
move 600 20
send "touch 6:482:424:0:p" "touch 6:482:424:0:r"
wait_until "$DEADLINE" has_popup || fail "tapping the eraser opened no menu"
popup_at 482 424 || fail "menu at $X,$Y, not at the tap"
xdotool key Escape
wait_until "$DEADLINE" no_popup || fail "Escape left the menu open"
alive || fail "the program ended"
[ -z "${ZAV_E2E_SHOT:-}" ] || { shot; cp "$WORK/shot.png" "$ZAV_E2E_SHOT"; }
pass "a tap on the eraser opens the menu at the tap"
