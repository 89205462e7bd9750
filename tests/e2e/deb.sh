#!/usr/bin/env bash
# The .deb as a user installs it, in a clean root of a Debian release (scripts/in-debian --plain):
# apt-get installs it with what it depends on, and the program on the PATH opens its window, writes
# chalk with its installed cursor files, and ends from its menu with status 0.
#   tests/e2e/deb.sh PACKAGE.deb
set -euo pipefail
deb=$(readlink -f "$1")
echo "installing $(basename "$deb") on Debian $(cat /etc/debian_version)"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "$deb" >/dev/null
ZAV_APP=$(command -v zav-blackboard) || { echo "FAIL: no zav-blackboard on the PATH" >&2; exit 1; }
export ZAV_APP
. "$(dirname "$0")/lib.sh"
pass "installed: $ZAV_APP -> $(readlink -f "$ZAV_APP")"

start_xvfb
start_app
drag 1 60 100 300 20
wait_until "$DEADLINE" has_chalk_on_row 255,255,255 100 80 300 || fail "no chalk from the installed program"
! grep -q 'カーソルファイル' "$WORK/app.err" || fail "a cursor file was not used: $(cat "$WORK/app.err")"
click_at 482 424
wait_until "$DEADLINE" has_popup || fail "no menu from the eraser"
xdotool key x
wait_exit "$DEADLINE"
[ "$EXIT_STATUS" = 0 ] || fail "終了 ended with status $EXIT_STATUS"
pass "the installed program opens, writes with its cursor files and ends from its menu"
