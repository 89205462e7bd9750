#!/usr/bin/env bash
# The Windows build as a Windows user and a school's IT meet it, under Wine on Xvfb.
# The zip: unpacked into a folder with a Japanese name and started from another working folder, it
# opens at its size, writes chalk, picks a stick, opens the eraser's menu at the click, erases all,
# ends with Ctrl+X; it finds its cursor files beside the .exe and uses a replaced one at the next
# move; the folder holds the notice and the licences.
# The installer: signed when asked; installed silently into a fresh prefix that sees no font but
# DejaVu, over an earlier version, it puts the program and its Start menu entries in place; the
# program started from its entry finds its cursor files and writes the date in the same face as
# here; silent removal leaves nothing.
#   ZAV_APP=.../zav-blackboard-<version>-windows-x64.zip ZAV_MSI=....msi ZAV_WIN_BUILD=build-windows \
#       ZAV_CURSORIMAGE=.../cursorimage tests/e2e/windows.sh
. "$(dirname "$0")/lib.sh"

: "${ZAV_CURSORIMAGE:?ZAV_CURSORIMAGE must name the cursorimage helper}"
: "${ZAV_MSI:?ZAV_MSI must name the installer}" "${ZAV_WIN_BUILD:?ZAV_WIN_BUILD must name the Windows build}"
PACKAGE=$(cd "$(dirname "$0")/../../scripts/lanes/windows" && pwd)/package.sh

# One folder in the zip: the .exe with its cursor files beside it, a notice and the licences.
mkdir -p "$WORK/unpacked" "$WORK/elsewhere"
unzip -q "$ZAV_APP" -d "$WORK/unpacked"
[ "$(ls "$WORK/unpacked")" = "$(basename "$ZAV_APP" .zip)" ] || fail "the zip does not hold one folder named as it is"
DIR="$WORK/ZAV 黒板"
mv "$WORK/unpacked/$(basename "$ZAV_APP" .zip)" "$DIR"
[ "$(cd "$DIR" && find . -type f | sort | tr '\n' ' ')" = "./README.txt ./licences/LGPL-3.txt ./licences/LICENSE.txt \
./licences/OFL-1.1.txt ./licences/Qt-third-party.txt ./licences/copyright.txt ./zav-blackboard.exe ./チョーク.cur ./黒板消し.cur " ] \
    || fail "the folder holds $(cd "$DIR" && find . -type f)"
sources=$(basename "$ZAV_APP" -x64.zip)-sources.tar.xz
grep -q "$sources" "$DIR/README.txt" || fail "the notice does not say where the sources are"
grep -q 'GNU LESSER GENERAL PUBLIC LICENSE' "$DIR/licences/LGPL-3.txt" && grep -q '^License: LGPL-3$' "$DIR/licences/copyright.txt" \
    && grep -q 'Version 3, 29 June 2007' "$DIR/licences/LICENSE.txt" && grep -q '^FreeType' "$DIR/licences/Qt-third-party.txt" \
    && grep -q '^Files: mingw-w64/mingw-w64-libraries/winpthreads/\*' "$DIR/licences/copyright.txt" \
    && grep -q '^License: GPL-3+ with GCC-exception-3.1' "$DIR/licences/copyright.txt" \
    || fail "a licence text is missing"
pass "the zip holds one folder: the program, its cursor files, the notice and the licences"
SPARE="$WORK/spare" && mkdir "$SPARE" && cp "$DIR/チョーク.cur" "$SPARE/"
cd "$WORK/elsewhere"

# Wine names the program's windows after the .exe.
popup_window() {
    xdotool search --onlyvisible --pid "$APP_PID" --classname '^zav-blackboard\.exe$' 2>/dev/null | grep -vx "$WID" | head -n1
}
# The hotspot of the cursor shown at the pointer: "4 27" chalk, "15 15" eraser.
hotspot_is() { [ "$("$ZAV_CURSORIMAGE" | cut -d' ' -f3,4)" = "$1" ]; }
# left_move X Y: one move with the left button held.
left_move() { move "$1" "$2"; xdotool mousedown 1; move $(($1 + 4)) "$2"; xdotool mouseup 1; }

windows_path() { echo "Z:${1//\//\\}"; }
msi_property() { msiinfo export "$1" Property | sed -n "s/^$2\t//p" | tr -d '\r'; }
start_xvfb

# The property that turns press-and-hold off is on every native window the program makes, the
# first and one made again: the window test that needs real native windows.
(cd "$ZAV_WIN_BUILD" && wine tst_window.exe penServiceProperty -o "$(windows_path "$WORK/property.txt"),txt" \
    >/dev/null 2>&1 </dev/null) || true
grep -q '^PASS   : TestWindow::penServiceProperty()' "$WORK/property.txt" 2>/dev/null ||
    fail "the window property: $(cat "$WORK/property.txt" 2>/dev/null)"
pass "every native window of the program turns press-and-hold off"

start_app -- wine "$DIR/zav-blackboard.exe"

eval "$(xdotool getwindowgeometry --shell "$WID")"
[ "${WIDTH}x$HEIGHT" = 641x449 ] || fail "client area ${WIDTH}x$HEIGHT, not 641x449"
pixel_is 2 2 64,0,0 || fail "no dark-red frame: $(pixel 2 2)"
pass "the window opens with a 641x449 client area"

drag 1 60 100 300 20
wait_until "$DEADLINE" has_chalk_on_row 255,255,255 100 80 300 || fail "a left drag wrote no chalk"
wait_until "$DEADLINE" hotspot_is "4 27" || fail "the board's cursor is not the chalk: $("$ZAV_CURSORIMAGE")"
pass "a left drag writes chalk"

# The chalk cursor file replaced beside the .exe (by the eraser's picture): the next move uses it,
# so the file was found in the Japanese-named folder and read again when it changed.
cp "$DIR/黒板消し.cur" "$DIR/チョーク.cur"
left_move 100 300
wait_until "$DEADLINE" hotspot_is "15 15" || fail "the replaced cursor file was not used: $("$ZAV_CURSORIMAGE")"
cp "$SPARE/チョーク.cur" "$DIR/チョーク.cur"
left_move 120 300
wait_until "$DEADLINE" hotspot_is "4 27" || fail "the restored cursor file was not used"
pass "cursor files are read from beside the .exe, a replaced one at the next move"

# Taken away: the built-in cursor, and one line that names the file, Japanese folder and all.
rm "$DIR/チョーク.cur"
left_move 140 300
wait_until "$DEADLINE" grep -qF "$(basename "$DIR")" "$WORK/app.err" || fail "no error line naming the missing file"
grep -q 'チョーク.cur を使えません' "$WORK/app.err" || fail "the error line is not readable: $(cat "$WORK/app.err")"
wait_until "$DEADLINE" has_chalk_on_row 255,255,255 300 130 150 || fail "no chalk without the cursor file"
cp "$SPARE/チョーク.cur" "$DIR/"
pass "a missing cursor file is named in one readable line, and chalk goes on"

click_at 122 424
wait_until "$DEADLINE" pixel_is 122 424 224,224,224 || fail "the yellow stick stayed on the tray"
drag 1 60 200 300 20
wait_until "$DEADLINE" has_chalk_on_row 255,255,0 200 80 300 || fail "the drag after picking yellow is not yellow"
pass "a click on a stick picks its colour"

# The date strip, for the date's face on a PC without Japanese fonts, below.
shot
strip=$(crop_sum 513 8 120 392)
strip_day=$(date +%F)

click_at 482 424
wait_until "$DEADLINE" has_popup || fail "no popup after clicking the eraser"
popup_at 482 424 || fail "popup at $X,$Y, not at the click"
xdotool key a
wait_until "$DEADLINE" board_is_clear || fail "全部消す did not clear the board"
pass "the eraser's menu opens at the click, and 全部消す clears the board"

xdotool key ctrl+x
wait_exit "$DEADLINE"
[ "$EXIT_STATUS" = 0 ] || fail "Ctrl+X ended with status $EXIT_STATUS"
pass "Ctrl+X ends the program with status 0"

# An installer replacing the program's files asks it to close through Restart Manager: it agrees,
# and ends cleanly, with nothing to ask.
start_app -- wine "$DIR/zav-blackboard.exe"
status=0
(cd "$ZAV_WIN_BUILD" && wine closeapp.exe "ZAV 黒板" </dev/null) || status=$?
[ "$status" = 0 ] || fail "asked to close for an installer, the window answered $status"
wait_exit "$DEADLINE"
[ "$EXIT_STATUS" = 0 ] || fail "asked to close for an installer, it ended with status $EXIT_STATUS"
pass "asked to close for an installer, it ends with status 0"

# Signed when asked, with a throwaway certificate: the .exe in the zip and in the installer, and
# the installer; unsigned otherwise. That installer is made as an earlier version.
openssl req -x509 -newkey rsa:2048 -nodes -keyout "$WORK/key.pem" -out "$WORK/cert.pem" -days 2 \
    -subj "/CN=ZAV test" 2>/dev/null
openssl pkcs12 -export -inkey "$WORK/key.pem" -in "$WORK/cert.pem" -out "$WORK/cert.p12" -passout pass:test
ZAV_SIGN_PKCS12="$WORK/cert.p12" ZAV_SIGN_PASSWORD=test ZAV_MSI_VERSION=0.9.0 \
    "$PACKAGE" "$ZAV_WIN_BUILD" "$WORK/earlier" >/dev/null
EARLIER="$WORK/earlier/$(basename "$ZAV_MSI")"
unzip -q "$WORK/earlier/$(basename "$ZAV_APP")" '*/zav-blackboard.exe' -d "$WORK/signed-zip"
msiextract -C "$WORK/signed-msi" "$EARLIER" >/dev/null
for signed in "$EARLIER" "$WORK"/signed-zip/*/zav-blackboard.exe "$(find "$WORK/signed-msi" -name zav-blackboard.exe)"; do
    osslsigncode verify -CAfile "$WORK/cert.pem" -in "$signed" >"$WORK/verify" 2>&1 \
        || fail "$signed is not signed: $(cat "$WORK/verify")"
done
! osslsigncode verify -CAfile "$WORK/cert.pem" -in "$ZAV_MSI" >/dev/null 2>&1 || fail "signed without a certificate"
pass "with a certificate the .exe and the installer are signed; without one, not"

# Every GUID in the installer's tables in the form Windows Installer documents: braces, upper case.
for table in Property Upgrade Component; do msiinfo export "$ZAV_MSI" "$table"; done |
    grep -oiE '\{?[0-9a-f]{8}(-[0-9a-f]{4}){3}-[0-9a-f]{12}\}?' >"$WORK/guids"
[ "$(wc -l <"$WORK/guids")" -ge 5 ] && ! grep -vxE '\{[0-9A-F]{8}(-[0-9A-F]{4}){3}-[0-9A-F]{12}\}' "$WORK/guids" ||
    fail "GUIDs not in Windows Installer's form: $(tr '\n' ' ' <"$WORK/guids")"
pass "every GUID in the installer is upper case, in braces"
LC_ALL=C grep -qaF "$(printf 'ZAV 黒板 %s' "$(msi_property "$ZAV_MSI" ProductVersion)" | iconv -t CP932)" "$ZAV_MSI" ||
    fail "the installer's subject is not in its code page, CP932"
pass "the installer's summary is in its code page"

# The installer in a fresh prefix, as on a PC without Japanese fonts: fontconfig sees only DejaVu.
dejavu_only
# A Japanese Windows: Wine's shortcuts keep their target in the system's code page too, and with
# another one Wine cannot follow a shortcut into "ZAV 黒板" (Windows itself keeps it in UTF-16).
export WINEPREFIX="$WORK/fresh" FONTCONFIG_FILE="$WORK/fonts.conf" LANG=ja_JP.UTF-8
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe=d" # no menu entries on this desktop
wineboot --init >/dev/null 2>&1 </dev/null
status=0
wine msiexec /i "$(windows_path "$EARLIER")" /qn >/dev/null 2>&1 </dev/null || status=$?
[ "$status" = 0 ] || fail "the earlier version's silent install ended with $status"
status=0
wine msiexec /i "$(windows_path "$ZAV_MSI")" /qn >/dev/null 2>&1 </dev/null || status=$?
[ "$status" = 0 ] || fail "the silent install ended with $status"
wineserver --wait
INSTALLED="$WINEPREFIX/drive_c/Program Files/ZAV 黒板"
[ "$(cd "$INSTALLED" && find . -type f | sort | tr '\n' ' ')" = "$(cd "$DIR" && find . -type f | sort | tr '\n' ' ')" ] \
    || fail "Program Files holds $(cd "$INSTALLED" && find . -type f)"
# Add or Remove Programs: one entry, the later version's, with the publisher, and the icon that
# Windows Installer registers for it. (The registry keeps names as \x escapes.)
entries=$(sed -n '/^\[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\/,/^$/p' "$WINEPREFIX/system.reg")
[ "$(grep -c '^"DisplayName"="ZAV \\x9ed2\\x677f"' <<<"$entries")" = 1 ] || fail "Add or Remove Programs: $entries"
grep -q "^\"DisplayVersion\"=\"$(msi_property "$ZAV_MSI" ProductVersion)\"" <<<"$entries" && grep -q '^"Publisher"="ZAV"' <<<"$entries" \
    || fail "the entry in Add or Remove Programs: $entries"
icon=$(sed -n 's/^"ProductIcon"="C:\\\\\(.*\)"$/\1/p' "$WINEPREFIX/system.reg" | sed 's/\\\\/\//g')
[ -n "$icon" ] && [ -f "$WINEPREFIX/drive_c/$icon" ] || fail "no icon for Add or Remove Programs: '$icon'"
# The Start menu: all users' on Windows; Wine's msi puts it in the user's.
menu=$(find "$WINEPREFIX/drive_c" -path '*/Start Menu/Programs/ZAV 黒板' -type d)
[ "$(find "$menu" -mindepth 1 -printf "%f\n" 2>/dev/null | LC_ALL=C sort | tr '\n' ' ')" = "ZAV 黒板.lnk もっと大きく表示（2 倍）.lnk 大きく表示（1.5 倍）.lnk " ] \
    || fail "the Start menu holds $(ls "$menu" 2>/dev/null)"
pass "installed silently over the earlier version: one entry, Program Files\\ZAV 黒板, three Start menu entries"

# Started from its Start menu entry, as a teacher does. Its chalk cursor file is replaced (by the
# eraser's picture) first: the program finds its files beside it in Program Files.
cp "$INSTALLED/黒板消し.cur" "$INSTALLED/チョーク.cur"
wine start /unix "$menu/ZAV 黒板.lnk" >/dev/null 2>&1 </dev/null
find_program() { APP_PID=$(pgrep -f 'Program Files.ZAV 黒板.zav-blackboard\.exe' | head -n1) && [ -n "$APP_PID" ] && has_main_window; }
wait_until "$DEADLINE" find_program || fail "the Start menu entry started no window"
WID=$(main_window)
wait_until "$DEADLINE" pixel_is 260 200 0,64,0 || fail "the installed program's board was not painted"
[ "$(crop_sum 513 8 120 392)" = "$strip" ] || [ "$(date +%F)" != "$strip_day" ] \
    || fail "without Japanese fonts the date is not drawn in the face it has here"
left_move 100 300
wait_until "$DEADLINE" hotspot_is "15 15" || fail "the installed program did not use its own cursor file: $("$ZAV_CURSORIMAGE")"
cp "$DIR/チョーク.cur" "$INSTALLED/チョーク.cur"
xdotool key ctrl+x
wait_until "$DEADLINE" ended || fail "the installed program did not end"
APP_PID=
pass "started from the Start menu, it finds its cursor files and writes the date in its own face"

status=0
wine msiexec /x "$(msi_property "$ZAV_MSI" ProductCode)" /qn >/dev/null 2>&1 </dev/null || status=$?
[ "$status" = 0 ] || fail "the silent removal ended with $status"
wineserver --wait
left=$(find "$WINEPREFIX/drive_c" -path '*ZAV 黒板*'; grep -a -i -e 'ZAV \\x9ed2' -e 'Software\\\\ZAV' "$WINEPREFIX"/*.reg || true)
[ -z "$left" ] || fail "left behind: $left"
pass "removed silently, with nothing left behind"
