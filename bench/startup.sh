#!/usr/bin/env bash
# Start-up of the blackboard against a bare Qt widget window, in one run on one Xvfb:
# time until the window is mapped, resident memory once shown, CPU used while idle.
#   bench/startup.sh [BUILD_DIR] [RUNS]
set -euo pipefail
BUILD=${1:-build}
RUNS=${2:-15}
WORK=$(mktemp -d)
Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp -noreset 5>"$WORK/display" 2>/dev/null &
XVFB=$!
trap 'kill $XVFB 2>/dev/null; rm -rf "$WORK"' EXIT
for _ in $(seq 200); do [ -s "$WORK/display" ] && break; sleep 0.05; done
DISPLAY=":$(cat "$WORK/display")"
export DISPLAY
for _ in $(seq 200); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.05; done
xdpyinfo >/dev/null 2>&1 || { echo "Xvfb on $DISPLAY does not answer" >&2; exit 1; }

now_ms() { date +%s%3N; }
rss_kib() { awk '/^VmRSS:/ { print $2 }' "/proc/$1/status"; }
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }

# measure PROGRAM TITLE: prints "startup_ms rss_kib idle_ticks" for one run.
measure() {
    local start pid wid=
    start=$(now_ms)
    "$1" 2>"$WORK/stderr" &
    pid=$!
    until wid=$(xdotool search --onlyvisible --pid "$pid" --name "$2" 2>/dev/null | head -n1) && [ -n "$wid" ]; do
        kill -0 "$pid" 2>/dev/null || { echo "$1 did not start:" >&2; cat "$WORK/stderr" >&2; exit 1; }
        [ $(( $(now_ms) - start )) -lt 30000 ] || { echo "$1 showed no window" >&2; exit 1; }
        sleep 0.002
    done
    local shown=$(( $(now_ms) - start ))
    sleep 1
    local rss t0 t1
    rss=$(rss_kib "$pid")
    t0=$(cpu_ticks "$pid")
    sleep 2
    t1=$(cpu_ticks "$pid")
    kill "$pid"; wait "$pid" 2>/dev/null || true
    echo "$shown $rss $((t1 - t0))"
}

median() { sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }

# Warm the font and library caches once, so neither side pays for the first start alone.
measure "$BUILD/zav-blackboard" '^ZAV 黒板$' >/dev/null
measure "$BUILD/bench/zav-bare-window" '^bare$' >/dev/null
: >"$WORK/ours"; : >"$WORK/bare"
for _ in $(seq "$RUNS"); do
    measure "$BUILD/zav-blackboard" '^ZAV 黒板$' >>"$WORK/ours"
    measure "$BUILD/bench/zav-bare-window" '^bare$' >>"$WORK/bare"
done
for who in ours bare; do
    printf '%-5s  window shown %4s ms   resident %6s KiB   idle CPU over 2 s %s ticks   (median of %s)\n' "$who" \
        "$(cut -d' ' -f1 "$WORK/$who" | median)" "$(cut -d' ' -f2 "$WORK/$who" | median)" \
        "$(cut -d' ' -f3 "$WORK/$who" | median)" "$RUNS"
done
