#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# "/c" and "/c:<window>" open the Setup dialog with the stored settings and the picture list.
# A key and a click each store their control's setting at once; Enter on a check box and Esc
# do nothing; Ctrl+Tab brings the next tab. Restore Settings stores the restore values but
# leaves the controls and List.txt as they are. Help and Our Website open the help page
# through the shell: the one beside the program, else the one in the install folder. Close
# ends a dialog with pictures at once; with none it asks first, and No keeps the dialog.
source "$(dirname "$0")/lib.sh"

# Help pages open in a stand-in browser that records the page's path. The prefix has no
# program for .html pages (its HTML engine is off) and Wine reads no HKCU\Software\Classes.
opened=$E2E_ROOT/opened.txt
windows_path() { "$LUMI_WINE" winepath -w "$1" 2>/dev/null | tr -d '\r'; }
"$LUMI_WINE" reg add 'HKCR\.html' /ve /d LumiscribeTestPage /f >>"$E2E_ROOT/wine.log" 2>&1
"$LUMI_WINE" reg add 'HKCR\LumiscribeTestPage\shell\open\command' /ve /f /d \
    "\"$(windows_path "$PROBE")\" record \"$(windows_path "$opened")\" \"%1\"" \
    >>"$E2E_ROOT/wine.log" 2>&1 || fail "cannot register the stand-in browser"
# A copy of the program, so that a help page can lie beside it.
cp "$SCR" "$E2E_ROOT/lumiscribe.scr"

fresh_install
write_list 'C:\pictures\one.jpg' 'C:\pictures\two.png' 'D:\three.gif'
cp "$INSTALL_DIR/List.txt" "$E2E_ROOT/List.before"
write_settings SetReg=2 Delay=30 BG=2 Calendar=1 SoundOff=15 MIDI3=0 MouseSen=7 Music=1
echo '<html></html>' >"$INSTALL_DIR/help.html"
open_setup "$E2E_ROOT/lumiscribe.scr" /c
expect_controls <<'CONTROLS'
IDC_LBLDELAY text 30 seconds
IDC_HSBDELAY scroll 30
IDC_TXTMOUSES text 7
IDC_OPTBG0 check 0
IDC_OPTBG0+2 check 1
IDC_CMDADDBG enabled 0
IDC_CHKCALENDAR check 1
IDC_CHKMUSIC check 1
IDC_CHKMIDI0+2 check 0
IDC_CHKMIDI0+3 check 1
IDC_CBOSOUNDOFF text 15
IDC_LIST1 rows C:\pictures\one.jpg|C:\pictures\two.png|D:\three.gif
IDC_LBLNUM text 3
CONTROLS

# Keys: Space on the check box, then Enter and Esc, which change nothing, then Right on the
# delay bar, which is stored only if the dialog still takes keys.
focus_control IDC_CHKCALENDAR
xdotool key space Return Escape
focus_control IDC_HSBDELAY
xdotool key Right
expect_stored <<'STORED'
Delay 31
Calendar 0
STORED
expect_controls <<'CONTROLS'
IDC_CHKCALENDAR check 0
IDC_LBLDELAY text 31 seconds
CONTROLS
# Clicks: the white background, and a tune on the tab that Ctrl+Tab brings.
click_control IDC_OPTBG0
xdotool key ctrl+Tab
wait_until probe_is 1 visible "$(id IDC_CHKMIDI0+2)" || fail "Ctrl+Tab did not bring Music"
click_control IDC_CHKMIDI0+2
expect_stored <<'STORED'
BG 0
MIDI3 1
STORED
xdotool key ctrl+Tab ctrl+Tab
wait_until probe_is 1 visible "$(id IDC_CMDRESTORE)" || fail "Ctrl+Tab did not come round"

click_control IDC_CMDRESTORE
answer_box "Corvanta Lumiscribe" "Settings have been restored" 1
expect_stored <<'STORED'
Delay 5
MouseSen 4
BG 3
Calendar 0
Music 1
SoundOff 0
BGFile C:\Corvanta\Lumiscribe\bg.jpg
STORED
expect_stored < <(printf 'MIDI%d 1\n' {1..10})
expect_controls <<'CONTROLS'
IDC_LBLDELAY text 31 seconds
IDC_OPTBG0 check 1
IDC_LBLNUM text 3
CONTROLS
cmp -s "$INSTALL_DIR/List.txt" "$E2E_ROOT/List.before" || fail "Restore changed List.txt"

# Each button opens the help page that is there when it is clicked.
while read -r button page; do
    [ "$page" = beside ] && page=$E2E_ROOT/help.html && touch "$page"
    [ "$page" = installed ] && page=$INSTALL_DIR/help.html
    click_control "$button"
    wait_until grep -qxF "$(windows_path "$page")" <(tr -d '\r' <"$opened" 2>/dev/null) ||
        fail "$button opened \"$(tail -n 1 "$opened" 2>/dev/null)\", not $page"
    rm -f "$opened"
done <<'BUTTONS'
IDC_CMDHELP installed
IDC_CMDWEBSITE installed
IDC_CMDHELP beside
IDC_CMDWEBSITE beside
BUTTONS

click_control IDC_CMDOK
expect_end "$SETUP_PID" "Close with three pictures"

# Without settings or a list: the first-run values, no count, and Close asks.
fresh_install
open_setup "$SCR" /c:1234
expect_controls <<'CONTROLS'
IDC_LBLDELAY text 5 seconds
IDC_TXTMOUSES text 4
IDC_OPTBG0+3 check 1
IDC_CMDADDBG enabled 1
IDC_LBLBG text C:\Corvanta\Lumiscribe\bg.jpg
IDC_CHKCALENDAR check 0
IDC_CBOSOUNDOFF text Never
IDC_LIST1 rows 
IDC_LBLNUM text 
CONTROLS
warning="There are no pictures in the list. This will create an error!  Do you wish to close anyway?"
click_control IDC_CMDOK
answer_box "No File Warning" "$warning" 7
expect_controls <<<"IDC_LBLNUM visible 1"
click_control IDC_CMDOK
answer_box "No File Warning" "$warning" 6
expect_end "$SETUP_PID" "Close with no pictures, Yes"
pass "setup dialog"
