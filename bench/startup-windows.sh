#!/usr/bin/env bash
# Start-up on Windows, under Wine on Xvfb: the blackboard against a bare Qt window showing the
# same text (bench/barewindow.cpp), both built with the same static Qt by scripts/windows, started
# alternately. Each figure is the complete first frame: from starting the program, and from the
# creation of its window, until the X server reports no more drawing (bench/firstframe.cpp).
# Two settings, each in a fresh Wine prefix: a PC with few faces (fontconfig shows DejaVu and
# RocknRoll One alone) and one with the host's faces (a Japanese Windows PC has many more).
#   bench/startup-windows.sh [WINDOWS_BUILD_DIR] [RUNS]
set -euo pipefail
BUILD=$(cd "${1:-build-windows}" && pwd)
RUNS=${2:-7}
WORK=$(mktemp -d)
XVFB=
trap 'wineserver --kill 2>/dev/null || true; [ -z "$XVFB" ] || kill "$XVFB" 2>/dev/null; rm -rf "$WORK"' EXIT
# Built first: a missing library (libxdamage-dev, which scripts/windows installs) ends the run here.
g++ -O1 "$(dirname "$0")/firstframe.cpp" -lX11 -lXdamage -o "$WORK/firstframe"
Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp -noreset 5>"$WORK/display" 2>/dev/null &
XVFB=$!
for _ in $(seq 200); do [ -s "$WORK/display" ] && break; sleep 0.05; done
[ -s "$WORK/display" ] || { echo "Xvfb did not start" >&2; exit 1; }
DISPLAY=":$(cat "$WORK/display")"
export DISPLAY
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

mkdir -p "$WORK/fonts-cache"
cat >"$WORK/few.conf" <<CONF
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig>
  <dir>/usr/share/fonts/truetype/dejavu</dir>
  <dir>/usr/share/fonts/truetype/rocknroll</dir>
  <cachedir>$WORK/fonts-cache</cachedir>
  <include ignore_missing="yes">/etc/fonts/conf.d</include>
</fontconfig>
CONF

# A frame is complete once nothing has been drawn for half a second.
measure() { "$WORK/firstframe" 500 wine "$BUILD/$1.exe" 2>/dev/null; }
median() { sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }

# setting NAME [FONTCONFIG_FILE]: both programs, alternately, in a fresh prefix.
setting() {
    local name=$1 ours bare
    export WINEPREFIX=$WORK/prefix-${name// /-}
    if [ -n "${2:-}" ]; then export FONTCONFIG_FILE=$2; else unset FONTCONFIG_FILE; fi
    wineboot --init >/dev/null 2>&1 </dev/null
    # One Wine server for all runs, as on Windows the system is already up.
    wineserver --persistent 2>/dev/null </dev/null || true
    wine cmd /c exit >/dev/null 2>&1 </dev/null
    measure zav-blackboard >/dev/null
    measure zav-bare-window >/dev/null
    : >"$WORK/ours"; : >"$WORK/bare"
    for _ in $(seq "$RUNS"); do
        measure zav-blackboard >>"$WORK/ours"
        measure zav-bare-window >>"$WORK/bare"
    done
    wineserver --kill 2>/dev/null || true
    wineserver --wait 2>/dev/null || true
    ours=$(cut -d' ' -f1 "$WORK/ours" | median) bare=$(cut -d' ' -f1 "$WORK/bare" | median)
    echo "== $name: $(fc-list | wc -l) faces, a fresh prefix, median of $RUNS"
    printf 'ZAV 黒板      first frame %4s ms from the start, %4s ms from its window\n' \
        "$ours" "$(cut -d' ' -f2 "$WORK/ours" | median)"
    printf 'bare window  first frame %4s ms from the start, %4s ms from its window\n' \
        "$bare" "$(cut -d' ' -f2 "$WORK/bare" | median)"
    awk -v o="$ours" -v b="$bare" 'BEGIN { printf "ratio %.2f (goal: at most 1.20)\n", o / b }'
}

setting "few faces" "$WORK/few.conf"
setting "the host's faces"
