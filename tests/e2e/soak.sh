#!/usr/bin/env bash
# Twenty thousand pointer moves with the buttons held: the program lives on and its memory stays flat.
. "$(dirname "$0")/lib.sh"

rss_kib() { awk '/^VmRSS:/ { print $2 }' "/proc/$APP_PID/status"; }

start_xvfb
start_app

# moves BUTTON COUNT: one xdotool process sends COUNT moves in a zigzag over the board.
moves() {
    local button=$1 count=$2 i args=()
    for ((i = 0; i < count; ++i)); do
        args+=(mousemove --window "$WID" $((20 + (i * 7) % 480)) $((20 + (i * 13) % 370)))
    done
    xdotool mousedown "$button"
    xdotool "${args[@]}"
    xdotool mouseup "$button"
}

moves 1 1000
moves 3 1000
# Everything sent so far has been handled once a click on a stick shows on the tray.
click_at 122 424
wait_until "$DEADLINE" pixel_is 122 424 224,224,224 || fail "the program stopped answering"
early=$(rss_kib)
for _ in $(seq 9); do
    moves 1 1000
    moves 3 1000
done
click_at 194 424
wait_until "$DEADLINE" pixel_is 194 424 224,224,224 || fail "the program stopped answering"
late=$(rss_kib)
alive || fail "the program ended"
echo "resident memory: $early KiB after 2,000 moves, $late KiB after 20,000"
[ $((late - early)) -le 2048 ] || fail "resident memory grew by $((late - early)) KiB"
pass "20,000 moves: alive, memory flat"
