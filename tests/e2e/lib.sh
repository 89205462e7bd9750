# shellcheck shell=bash
# Shared by the end-to-end tests: a private Xvfb, the program under test, screenshots and pixels.
# Every wait polls for its condition with a deadline; nothing relies on a fixed sleep alone.
set -euo pipefail

: "${ZAV_APP:?ZAV_APP must name the built zav-blackboard}"
ZAV_WMCLOSE=${ZAV_WMCLOSE:-} # the wmclose helper, for the tests that close as a window manager does
DEADLINE=${ZAV_E2E_DEADLINE:-30}
WORK=$(mktemp -d)
XVFB_PID=
APP_PID=
WID=
ORCA_PID=

cleanup() {
    # The program, and whatever it writes into $WORK (a browser's profile), gone before $WORK goes.
    [ -n "$APP_PID" ] && kill "$APP_PID" 2>/dev/null && wait "$APP_PID" 2>/dev/null || true
    [ -n "$ORCA_PID" ] && kill "$ORCA_PID" 2>/dev/null || true
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
    # A browser's helper processes may write into its profile a moment after the browser has gone.
    local tries=0
    until rm -rf "$WORK" 2>/dev/null || [ $((tries += 1)) -ge 20 ]; do sleep 0.25; done
    rm -rf "$WORK" 2>/dev/null || true
}
trap cleanup EXIT

# fail MESSAGE: says what went wrong, with the program's stderr; the last screenshot is kept
# in $ZAV_E2E_SHOTS when that names a directory.
fail() {
    echo "FAIL: $*" >&2
    if [ -n "${ZAV_E2E_SHOTS:-}" ] && [ -f "$WORK/shot.png" ]; then
        cp "$WORK/shot.png" "$ZAV_E2E_SHOTS/$(basename "$0" .sh)-fail.png"
    fi
    [ -f "$WORK/app.err" ] && sed 's/^/  app: /' "$WORK/app.err" >&2
    exit 1
}
pass() { echo "ok - $*"; }

# wait_until SECONDS COMMAND...: true once COMMAND succeeds, false at the deadline.
wait_until() {
    local limit=$1; shift
    local end=$((SECONDS + limit))
    until "$@" >/dev/null 2>&1; do
        [ $SECONDS -lt $end ] || return 1
        sleep 0.05
    done
}

start_xvfb() {
    local geometry=${1:-1024x768x24}
    Xvfb -displayfd 5 -screen 0 "$geometry" -nolisten tcp -noreset 5>"$WORK/display" 2>"$WORK/xvfb.err" &
    XVFB_PID=$!
    wait_until "$DEADLINE" test -s "$WORK/display" || fail "Xvfb did not start"
    DISPLAY=":$(cat "$WORK/display")"
    export DISPLAY
    wait_until "$DEADLINE" xdpyinfo || fail "Xvfb does not answer"
}

# dejavu_only: $WORK/fonts.conf, a private fontconfig set-up that sees no font but DejaVu (as a
# PC without Japanese fonts) and renders as the system's does.
dejavu_only() {
    mkdir -p "$WORK/fonts-cache"
    cat >"$WORK/fonts.conf" <<CONF
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig>
  <dir>/usr/share/fonts/truetype/dejavu</dir>
  <cachedir>$WORK/fonts-cache</cachedir>
  <include ignore_missing="yes">/etc/fonts/conf.d</include>
</fontconfig>
CONF
}

main_window() { xdotool search --onlyvisible --pid "$APP_PID" --name '^ZAV 黒板$' 2>/dev/null | head -n1; }
has_main_window() { [ -n "$(main_window)" ]; }

# start_app [ENV=VALUE...] [-- PROGRAM [ARGUMENT...]]: starts the program and waits for its window
# to map.
start_app() {
    local -a program=("$ZAV_APP")
    local -a envs=()
    while [ $# -gt 0 ]; do
        if [ "$1" = -- ]; then shift; program=("$@"); break; else envs+=("$1"); shift; fi
    done
    env ${envs[@]+"${envs[@]}"} "${program[@]}" 2>"$WORK/app.err" &
    APP_PID=$!
    wait_until "$DEADLINE" has_main_window || fail "the window did not appear"
    WID=$(main_window)
    # Painted: the board's green shows at its centre.
    wait_until "$DEADLINE" pixel_is 260 200 0,64,0 || fail "the board was not painted"
}

# Running, and not a zombie waiting to be reaped.
alive() { local state; state=$(ps -o stat= -p "$APP_PID") && [[ $state != Z* ]]; }
ended() { ! alive; }

# wait_exit SECONDS: waits for the program to end; its exit status goes to EXIT_STATUS.
# shellcheck disable=SC2034 # read by the test that waited
wait_exit() {
    EXIT_STATUS=timeout
    wait_until "$1" ended || return 0
    EXIT_STATUS=0
    wait "$APP_PID" || EXIT_STATUS=$?
    APP_PID=
}

# shellcheck disable=SC2120 # a window other than the program's, where a test names one
shot() { import -window "${1:-$WID}" "$WORK/shot.png" 2>/dev/null; }

# pixel X Y: "R,G,B" of the window's client area, from a fresh screenshot when asked to.
pixel() { convert "$WORK/shot.png" -format "%[fx:int(255*p{$1,$2}.r+.5)],%[fx:int(255*p{$1,$2}.g+.5)],%[fx:int(255*p{$1,$2}.b+.5)]" info:; }
pixel_is() { shot && [ "$(pixel "$1" "$2")" = "$3" ]; }
pixel_differs() { shot && [ "$(pixel "$1" "$2")" != "$3" ]; }

# count_colour R,G,B X Y W H: pixels of exactly that colour in the area of the last screenshot.
count_colour() {
    convert "$WORK/shot.png" -crop "$4x$5+$2+$3" +repage -fill black +opaque "rgb($1)" -fill white -opaque "rgb($1)" \
        -format '%[fx:int(mean*w*h+.5)]' info:
}

# has_dab R,G,B X Y: a fresh screenshot shows a dab of that colour centred at (X, Y); specks
# may take any pixel of it, the pointer's own included.
has_dab() { shot && [ "$(count_colour "$1" $(($2 - 3)) $(($3 - 3)) 7 7)" -ge 20 ]; }
# has_chalk_on_row R,G,B Y X0 X1: a dab of that colour somewhere on row Y between X0 and X1. After a
# drag this is the check that holds on a loaded machine: a busy X server merges queued pointer
# moves, so the move at any one point may never be delivered.
has_chalk_on_row() { shot && [ "$(count_colour "$1" $(($3 - 3)) $(($2 - 3)) $(($4 - $3 + 7)) 7)" -ge 20 ]; }

# crop_sum X Y W H: a fingerprint of an area of the last screenshot.
crop_sum() { convert "$WORK/shot.png" -crop "$3x$4+$1+$2" +repage rgb:- | md5sum | cut -d' ' -f1; }

# Pointer actions in window coordinates.
move() { xdotool mousemove --window "$WID" "$1" "$2"; }
click_at() { move "$1" "$2"; xdotool click "${3:-1}"; }
# drag BUTTON X0 Y X1 STEP: press, move along a row in steps, release.
drag() {
    local button=$1 x=$2 y=$3 x1=$4 step=$5
    move "$x" "$y"
    xdotool mousedown "$button"
    for ((; x <= x1; x += step)); do move "$x" "$y"; done
    xdotool mouseup "$button"
}

# Windows of the program other than the main one: the popup menu when it is open.
popup_window() {
    xdotool search --onlyvisible --pid "$APP_PID" --classname '^zav-blackboard$' 2>/dev/null | grep -vx "$WID" | head -n1
}
has_popup() { [ -n "$(popup_window)" ]; }
# popup_at X Y: the open popup's corner is at the window point (X, Y); $X,$Y then say where it is.
popup_at() {
    eval "$(xdotool getwindowgeometry --shell "$WID")"
    local want_x=$((X + $1)) want_y=$((Y + $2))
    eval "$(xdotool getwindowgeometry --shell "$(popup_window)")"
    [ "$X" = "$want_x" ] && [ "$Y" = "$want_y" ]
}
no_popup() { ! has_popup; }

# The board, from a fresh screenshot, is all board colour.
board_is_clear() { shot && [ "$(count_colour "$board_colour" 8 8 505 392)" = $((505 * 392)) ]; }
# The date strip's fingerprint differs from $1.
strip_differs() { shot && [ "$(crop_sum 514 8 118 392)" != "$1" ]; }

board_colour=0,64,0

# start_orca: Orca, headless, on the session's accessibility bus: a speech server that discards
# the text and writes down every utterance in $WORK/spoken, and settings of its own; returns once
# it has started. Its process is ORCA_PID.
start_orca() {
    local support
    support=$(cd "$(dirname "${BASH_SOURCE[0]}")/../support" && pwd)
    mkdir -p "$WORK/orca"
    echo '{"general": {"speechServerFactory": "orca_quiet", "speechFactoryModules": ["orca_quiet"],
           "enableBraille": false, "enableSound": false, "firstStart": false}, "pronunciations": {}, "keybindings": {},
           "profiles": {"default": {"profile": ["Default", "default"]}}}' >"$WORK/orca/user-settings.conf"
    : >"$WORK/spoken"
    GTK_A11Y=none PYTHONPATH="$support" ORCA_QUIET_LOG="$WORK/spoken" orca --user-prefs "$WORK/orca" >/dev/null 2>&1 &
    ORCA_PID=$!
    wait_until "$DEADLINE" grep -qx 'Screen reader on.' "$WORK/spoken" || fail "Orca did not start"
}
# What Orca said since the mark, one utterance a line.
said_since() { tail -n +"$(($1 + 1))" "$WORK/spoken"; }
mark() { wc -l <"$WORK/spoken"; }
# heard MARK LINE...: Orca said these lines one after the other, since the mark. A * in a line
# stands for words (a role, which Orca 43 says in its own Japanese and Orca 48 in AT-SPI's words:
# "プッシュボタン", "button"); a line's closing full stop, which Orca 48 leaves off some lines that
# Orca 43 ends with one, is not compared.
heard() {
    local since=$1 tab=$'\t' pattern=$'\t' line
    shift
    for line in "$@"; do
        line=$(printf '%s' "${line%.}" | sed 's/[][\.^$+?(){}|/]/\\&/g; s/\*/[^[:cntrl:]]+/g')
        pattern+="$line$tab"
    done
    said_since "$since" | sed 's/\.$//' | tr '\n' '\t' | sed 's/^/\t/' | grep -qE -- "$pattern"
}
# heard_any MARK TEXT: Orca said something holding TEXT since the mark.
heard_any() { said_since "$1" | grep -qF -- "$2"; }
