#!/usr/bin/env bash
# What a blind pupil hears on the board's page: Orca itself, in Japanese, reading Chromium on Xvfb
# with its accessibility on, as the desktop's test hears the window. Runs on a session bus of its
# own, with the accessibility bus started on it.
#
#   tests/e2e/web-orca.sh SITE_FOLDER
if [ -z "${ZAV_ACCESS_BUS:-}" ]; then
    ZAV_ACCESS_BUS=1 exec dbus-run-session -- bash "$0" "$@"
fi
SITE=$(cd "$1" && pwd)
HERE=$(cd "$(dirname "$0")" && pwd)
export ZAV_APP=/usr/bin/chromium
. "$HERE/lib.sh"
export LANG=ja_JP.UTF-8

start_xvfb 1280x1024x24
/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
BUS_PID=$!
"$HERE/../../scripts/lanes/web/serve.py" "$SITE" >"$WORK/server" &
SERVER_PID=$!
trap 'kill "$BUS_PID" "$SERVER_PID" 2>/dev/null || true; cleanup' EXIT
wait_until "$DEADLINE" test -s "$WORK/server" || fail "the page is not served"
start_orca

opened=$(mark)
# A window of 1000 x 800 at the screen's corner: the board at scale 1.5, centred in it.
chromium --no-sandbox --no-first-run --disable-background-networking --disable-component-update --disable-sync \
    --disable-features=Translate --force-renderer-accessibility --use-gl=swiftshader --enable-unsafe-swiftshader \
    --user-data-dir="$WORK/profile" --window-position=0,0 --window-size=1000,800 \
    --app="$(head -n1 "$WORK/server")" >/dev/null 2>"$WORK/app.err" &
APP_PID=$!
wait_until 60 heard_any "$opened" 'ZAV 黒板' || fail "Orca did not say the page: $(said_since "$opened")"
# The board takes the focus as the page loads, once the program has started.
wait_until 60 heard "$opened" '黒板 画像.' '白のチョークを持っています。' \
    || fail "as the page opened: Orca said $(said_since "$opened")"
pass "Orca on the page: the board, with the chalk in hand"

since=$(mark)
xdotool key Tab
wait_until "$DEADLINE" heard_any "$since" '黄色のチョーク' || fail "Tab into the tray: Orca said $(said_since "$since")"
said_since "$since" | grep -q 'プッシュボタン\|ボタン' || fail "Tab into the tray: no button in $(said_since "$since")"
pass "Orca on the page: Tab names the stick in focus, as a button"

since=$(mark)
xdotool key space
wait_until "$DEADLINE" heard_any "$since" '黄色のチョークを持っています。' \
    || fail "Space on yellow: Orca said $(said_since "$since")"
pass "Orca on the page: a pick is heard"

weekdays=(日 月 火 水 木 金 土)
today="$(date +%-m)月$(date +%-d)日(${weekdays[$(date +%w)]})"
/usr/bin/python3 - "$today" <<'PYTHON' || fail "the date is not on the page's accessibility tree as text"
import sys
import pyatspi

def texts(node):
    try:
        if node.getRole() in (pyatspi.ROLE_PARAGRAPH, pyatspi.ROLE_STATIC, pyatspi.ROLE_TEXT):
            text = node.queryText()
            yield text.getText(0, text.characterCount)
    except NotImplementedError:
        pass
    for child in node:
        if child is not None:
            yield from texts(child)

apps = [app for app in pyatspi.Registry.getDesktop(0) if app is not None and "hromium" in (app.name or "")]
sys.exit(0 if any(sys.argv[1] in text for app in apps for text in texts(app)) else 1)
PYTHON
pass "the date is on the page as text a screen reader reads"
