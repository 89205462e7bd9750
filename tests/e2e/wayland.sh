#!/usr/bin/env bash
# A Wayland desktop without server-side decorations: weston, on its X11 backend inside Xvfb,
# with XWayland. The program goes through XWayland there, so the desktop's own frame keeps the
# fixed 641 x 449 and shows only a close button; chalk, the popup at the click and closing work.
. "$(dirname "$0")/lib.sh"

start_xvfb 1800x1300x24
export XDG_RUNTIME_DIR=$WORK/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
printf '[core]\nidle-time=0\n[shell]\npanel-position=none\n' >"$WORK/weston.ini"
SOCKET=zav-wayland
weston --backend=x11-backend.so --use-pixman --xwayland --socket="$SOCKET" --config="$WORK/weston.ini" \
    --width=1700 --height=1200 >"$WORK/weston.log" 2>&1 &
WESTON_PID=$!
trap 'kill "$WESTON_PID" 2>/dev/null || true; cleanup' EXIT
xwayland_display() { sed -n 's/.*xserver listening on display \(:[0-9]*\).*/\1/p' "$WORK/weston.log"; }
weston_ready() { [ -S "$XDG_RUNTIME_DIR/$SOCKET" ] && [ -n "$(xwayland_display)" ]; }
wait_until "$DEADLINE" weston_ready || fail "weston did not start: $(cat "$WORK/weston.log")"
OUTER=$DISPLAY
DISPLAY=$(xwayland_display)
export DISPLAY

# A Wayland session as a desktop sets it up; the platform is left for the program to choose.
unset QT_QPA_PLATFORM
start_app WAYLAND_DISPLAY="$SOCKET" XDG_SESSION_TYPE=wayland
# Weston's window manager sets the window in its frame a moment after it shows (on a busy
# machine, after it is painted): until then the window is at the frame's corner, and a click sent
# to the window would land where it no longer is. Weston 14 says where in _NET_FRAME_EXTENTS;
# Weston 10 says nothing, and the window is away from its frame's corner once it is set there.
in_frame() {
    local extents x y
    extents=$(xprop -id "$WID" _NET_FRAME_EXTENTS | sed -n 's/.*= \([0-9]*\), [0-9]*, \([0-9]*\), [0-9]*$/\1,\2/p')
    x=$(xwininfo -id "$WID" | sed -n 's/^ *Relative upper-left X: *//p')
    y=$(xwininfo -id "$WID" | sed -n 's/^ *Relative upper-left Y: *//p')
    if [ -n "$extents" ]; then
        [ "$x,$y" = "$extents" ]
    else
        ! xwininfo -tree -id "$WID" | grep -q 'Parent window id: .*(the root window)' && [ "$x,$y" != 0,0 ]
    fi
}
wait_until "$DEADLINE" in_frame || fail "weston did not set the window in its frame"
info=$(xwininfo -id "$WID")
grep -q 'Width: 641$' <<<"$info" && grep -q 'Height: 449$' <<<"$info" || fail "not 641 x 449: $info"
hints=$(xprop -id "$WID" WM_NORMAL_HINTS)
grep -q 'minimum size: 641 by 449' <<<"$hints" && grep -q 'maximum size: 641 by 449' <<<"$hints" \
    || fail "the frame is not told the size is fixed: $hints"
pass "on a Wayland desktop the window comes through XWayland at a fixed 641 x 449"

drag 1 60 100 300 20
wait_until "$DEADLINE" has_chalk_on_row 255,255,255 100 80 300 || fail "no chalk under weston"
pass "chalk under weston"

# Where the click is sent, read before the popup shows: weston then gives XWayland its own
# pointer's place, which on a busy machine may come back as the pointer's.
move 462 420
eval "$(xdotool getmouselocation --shell)"
px=$X py=$Y
xdotool click 1
wait_until "$DEADLINE" has_popup || fail "the eraser opened no popup under weston"
eval "$(xdotool getwindowgeometry --shell "$(popup_window)")"
[ "$X,$Y" = "$px,$py" ] || fail "the popup opened at $X,$Y, the click was at $px,$py"
xdotool key Escape
wait_until "$DEADLINE" no_popup || fail "Escape did not close the popup"
pass "the popup opens at the click under weston"

# What weston shows on its output, kept when asked for (to look at the frame).
if [ -n "${ZAV_E2E_SHOTS:-}" ]; then
    DISPLAY=$OUTER import -window root "$ZAV_E2E_SHOTS/wayland-outer.png"
fi
"$ZAV_WMCLOSE" "$WID"
wait_exit "$DEADLINE"
[ "$EXIT_STATUS" = 0 ] || fail "closing under weston: status $EXIT_STATUS"
pass "closing the window ends the program under weston"

