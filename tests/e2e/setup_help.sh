#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Help in the Setup dialog opens the help page that ships with the program, through the
# desktop's opener (a stand-in here that notes what it is asked to open); without any opener
# a message box names the page.
source "$(dirname "$0")/lib.sh"
install_assets
start_window_manager
write_settings SetReg=2
write_list "$INSTALL_DIR/default.jpg"

standin="$E2E_ROOT/standin"
mkdir -p "$standin"
cat >"$standin/xdg-open" <<STANDIN
#!/bin/sh
printf '%s\n' "\$@" >>"$E2E_ROOT/opened"
STANDIN
chmod +x "$standin/xdg-open"

PATH="$standin:$PATH" start_lumiscribe /c
dialog=$(wait_for_window "Lumiscribe Screensaver") || fail "no Setup dialog appeared"
focus_window "$dialog"
xdotool key alt+h
deadline=$(e2e_deadline 10)
while [ ! -s "$E2E_ROOT/opened" ] && [ $SECONDS -lt $deadline ]; do sleep 0.2; done
[ -s "$E2E_ROOT/opened" ] || fail "Help opened nothing"
url=$(head -n 1 "$E2E_ROOT/opened")
[[ "$url" == file:///*/help.html ]] || fail "Help opened \"$url\", not a help.html file"
page=${url#file://}
[ -f "$page" ] || fail "Help opened \"$page\", which does not exist"
grep -q "<title>Lumiscribe Help</title>" "$page" || fail "Help opened another page: $page"
[ "$(count_windows "Corvanta Lumiscribe")" = 0 ] || fail "a message box came up beside the browser"
pass "Help opens $page"
kill "$LAST_PID"
wait_for_exit "$LAST_PID" 5 || fail "the dialog did not end"

# No opener at all: the page's path in a message box.
PATH="$standin/none" start_lumiscribe /c
dialog=$(wait_for_window "Lumiscribe Screensaver") || fail "no Setup dialog appeared"
focus_window "$dialog"
xdotool key alt+h
box=$(wait_for_window "Corvanta Lumiscribe") || fail "no message box without a browser"
pass "without a browser, a message box"
