#!/usr/bin/env bash
# Unusual displays: scale factors (from the environment, or --scale as a projector user gives it),
# no Japanese font at all, and the widest date in the strip.
. "$(dirname "$0")/lib.sh"

FAKETIME_LIB=$(compgen -G '/usr/lib/*/faketime/libfaketime.so.1' | head -n1 || true)
[ -n "$FAKETIME_LIB" ] || fail "libfaketime is not installed"
start_xvfb 1400x1000x24

stop_app() {
    "$ZAV_WMCLOSE" "$WID"
    wait_exit "$DEADLINE"
    [ "$EXIT_STATUS" = 0 ] || fail "status $EXIT_STATUS on closing"
}

# S X: X logical pixels at scale S, in device pixels.
at() { awk -v s="$1" -v x="$2" 'BEGIN { printf "%d", x * s + 0.5 }'; }

# open_with HOW: "NAME=VALUE" in the environment, or "--scale VALUE" on the command line.
open_with() {
    if [[ $1 == --* ]]; then start_app -- "$ZAV_APP" "${1%% *}" "${1#* }"; else start_app "$1"; fi
}

for how in QT_SCALE_FACTOR=1 QT_SCALE_FACTOR=1.25 "--scale 1.5" "--scale 2"; do
    scale=${how##*[= ]}
    open_with "$how"
    eval "$(xdotool getwindowgeometry --shell "$WID")"
    want_w=$(at "$scale" 641) want_h=$(at "$scale" 449)
    [ $((WIDTH - want_w)) -ge -1 ] && [ $((WIDTH - want_w)) -le 1 ] && [ $((HEIGHT - want_h)) -ge -1 ] \
        && [ $((HEIGHT - want_h)) -le 1 ] || fail "$how: window ${WIDTH}x$HEIGHT, not ${want_w}x$want_h"
    # Colours at scaled places (start_app looked at 260,200 unscaled, inside the board at any scale).
    shot
    [ "$(pixel "$(at "$scale" 3)" "$(at "$scale" 200)")" = 64,0,0 ] || fail "$how: no frame"
    [ "$(pixel "$(at "$scale" 122)" "$(at "$scale" 424)")" = 255,255,0 ] || fail "$how: yellow stick not in place"
    # Crisp: the yellow stick's body and outline hold only the palette's colours, no blends.
    colours=$(convert "$WORK/shot.png" -crop "$(at "$scale" 60)x$(at "$scale" 20)+$(at "$scale" 92)+$(at "$scale" 414)" +repage \
        -format %k info:)
    [ "$colours" -le 3 ] || fail "$how: the stick is blurred ($colours colours)"
    # Chalk with specks that show.
    y=$(at "$scale" 150)
    move "$(at "$scale" 60)" "$y"; xdotool mousedown 1
    for ((x = 60; x <= 260; x += 20)); do move "$(at "$scale" $x)" "$y"; done
    xdotool mouseup 1
    wait_until "$DEADLINE" has_chalk_on_row 255,255,255 "$y" "$(at "$scale" 80)" "$(at "$scale" 260)" || fail "$how: no chalk"
    shot
    size=$(at "$scale" 7)
    specks=0
    for ((x = 80; x <= 260; x += 20)); do
        specks=$((specks + $(count_colour "$board_colour" $(($(at "$scale" $x) - size / 2)) $((y - size / 2)) "$size" "$size")))
    done
    [ "$specks" -ge 10 ] || fail "$how: specks do not show ($specks board pixels in the dabs)"
    pass "$how: ${WIDTH}x$HEIGHT, crisp sticks, chalk with specks"
    stop_app
done

# Below 1 Qt 6.4 cannot draw the window right: the factor is refused, and the window is whole.
for how in QT_SCALE_FACTOR=0.75 QT_SCALE_FACTOR=0.5 "--scale 0.5"; do
    open_with "$how"
    eval "$(xdotool getwindowgeometry --shell "$WID")"
    [ "${WIDTH}x$HEIGHT" = 641x449 ] || fail "$how: window ${WIDTH}x$HEIGHT, not 641x449"
    [ "$(grep -c -- "${how%%[= ]*}" "$WORK/app.err")" = 1 ] || fail "$how: not one line on stderr"
    shot
    [ "$(pixel 600 420)" = 224,224,224 ] || fail "$how: the tray is not grey"
    [ "$(pixel 122 424)" = 255,255,0 ] || fail "$how: yellow stick not in place"
    [ "$(count_colour 255,255,255 513 8 120 392)" -gt 1000 ] || fail "$how: no date"
    drag 1 60 150 260 20
    wait_until "$DEADLINE" has_chalk_on_row 255,255,255 150 80 260 || fail "$how: chalk not under the pointer"
    pass "$how refused in one line; the window is drawn whole at 1"
    stop_app
done

# The widest date, Wednesday 29 December, fits the strip: five lines, nothing at its edges.
echo "@2027-12-29 10:00:00" >"$WORK/clock"
start_app LD_PRELOAD="$FAKETIME_LIB" FAKETIME_TIMESTAMP_FILE="$WORK/clock"
shot
# The strip's visible part: x 513..632, y 8..399.
[ "$(count_colour 255,255,255 513 8 120 392)" -gt 1000 ] || fail "no date text"
for edge in "513 8 1 392" "632 8 1 392" "513 8 120 1" "513 399 120 1"; do
    # shellcheck disable=SC2086
    [ "$(count_colour 255,255,255 $edge)" = 0 ] || fail "date text touches the strip's edge at $edge"
done
bands=$(convert "$WORK/shot.png" -crop 120x392+513+8 +repage -threshold 60% -scale 1x392! -depth 8 gray:- \
    | od -An -v -tu1 | tr -s ' ' '\n' | awk 'NF { lit = $1 > 0; if (lit && !was) n++; was = lit } END { print n }')
[ "$bands" = 5 ] || fail "the date has $bands lines, not 5"
strip=$(crop_sum 513 8 120 392)
pass "12 月 29 日 (水) fits the strip in five lines"
stop_app

# No Japanese face at all, in a private fontconfig set-up that sees only DejaVu (and renders as
# the system's does).
dejavu_only
start_app FONTCONFIG_FILE="$WORK/fonts.conf" LD_PRELOAD="$FAKETIME_LIB" FAKETIME_TIMESTAMP_FILE="$WORK/clock"
shot
[ "$(crop_sum 513 8 120 392)" = "$strip" ] || fail "without Japanese fonts the date is not drawn as with them"
! grep -q '^zav-blackboard:' "$WORK/app.err" || fail "it complained: $(cat "$WORK/app.err")"
drag 1 60 100 300 20
wait_until "$DEADLINE" has_chalk_on_row 255,255,255 100 80 300 || fail "no chalk without Japanese fonts"
pass "no Japanese font: the date in the program's own face, as with one, and nothing on stderr"
stop_app
