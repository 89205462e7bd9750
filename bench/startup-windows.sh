#!/usr/bin/env bash
# Start-up on Windows, under Wine on Xvfb: the blackboard against a bare Qt window showing the
# same text (bench/barewindow.cpp), both built with the same static Qt by scripts/windows, started
# alternately. Each figure is the complete first frame: from starting the program, and from the
# creation of its window, until the X server reports no more drawing (bench/firstframe.cpp).
#   bench/startup-windows.sh [WINDOWS_BUILD_DIR] [RUNS]
set -euo pipefail
BUILD=$(cd "${1:-build-windows}" && pwd)
RUNS=${2:-7}
WORK=$(mktemp -d)
Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp -noreset 5>"$WORK/display" 2>/dev/null &
XVFB=$!
export WINEPREFIX=${ZAV_WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/zav-blackboard/wine}
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
trap 'wineserver --kill 2>/dev/null; kill $XVFB 2>/dev/null; rm -rf "$WORK"' EXIT
for _ in $(seq 200); do [ -s "$WORK/display" ] && break; sleep 0.05; done
export DISPLAY=":$(cat "$WORK/display")"
g++ -O1 "$(dirname "$0")/firstframe.cpp" -lX11 -lXdamage -o "$WORK/firstframe"
# One Wine server for all runs, as on Windows the system is already up.
wineserver --persistent 2>/dev/null || true # or it is already running
wine cmd /c exit >/dev/null 2>&1 </dev/null

# A frame is complete once nothing has been drawn for half a second.
measure() { "$WORK/firstframe" 500 wine "$BUILD/$1.exe" 2>/dev/null; }
median() { sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }

measure zav-blackboard >/dev/null
measure zav-bare-window >/dev/null
: >"$WORK/ours"; : >"$WORK/bare"
for _ in $(seq "$RUNS"); do
    measure zav-blackboard >>"$WORK/ours"
    measure zav-bare-window >>"$WORK/bare"
done
ours=$(cut -d' ' -f1 "$WORK/ours" | median) bare=$(cut -d' ' -f1 "$WORK/bare" | median)
printf 'ZAV 黒板      first frame %4s ms from the start, %4s ms from its window   (median of %s)\n' \
    "$ours" "$(cut -d' ' -f2 "$WORK/ours" | median)" "$RUNS"
printf 'bare window  first frame %4s ms from the start, %4s ms from its window\n' \
    "$bare" "$(cut -d' ' -f2 "$WORK/bare" | median)"
awk -v o="$ours" -v b="$bare" 'BEGIN { printf "ratio %.2f (goal: at most 1.20)\n", o / b }'
