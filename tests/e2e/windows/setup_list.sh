#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The picture list of the Setup dialog: Add Files takes the pictures chosen in Windows' open
# dialog, Delete File (here by Enter, which clicks the button in focus) the selected row, Clear
# All every row; each writes List.txt at once (quoted full paths ended by CR LF) and updates
# the count. The title bar's close button then ends the dialog without asking, though the
# list is empty.
source "$(dirname "$0")/lib.sh"

first='C:\Corvanta\Lumiscribe\first.png'
folder='C:\Corvanta\Lumiscribe\chosen'
# Waits until List.txt holds exactly the entries given, each quoted and ended by CR LF.
expect_list() {
    local entry
    for entry in "$@"; do printf '"%s"\r\n' "$entry"; done >"$E2E_ROOT/expected.txt"
    wait_until cmp -s "$INSTALL_DIR/List.txt" "$E2E_ROOT/expected.txt" ||
        fail "List.txt is not $*: $(od -c "$INSTALL_DIR/List.txt" | head -n 5)"
    expect_controls <<<"IDC_LBLNUM text $#"
}
# Types the text into the open dialog's name box (control 1148) and waits until it holds it.
type_name() {
    xdotool type "$1"
    wait_until probe_is "$1" text 1148 Open || fail "the name box does not hold $1"
}

fresh_install
mkdir "$INSTALL_DIR/chosen"
for picture in first.png chosen/a.jpg chosen/b.gif chosen/c.png; do
    convert -size 8x8 xc:red "$INSTALL_DIR/$picture"
done
write_list "$first"
open_setup "$SCR" /c

click_control IDC_CMDADD
wait_until probe_is 1148 focus Open || fail "no open dialog with its name box in focus"
type_name "$folder"
xdotool key Return
type_name '"a.jpg" "b.gif"'
xdotool key Return
expect_list "$first" "$folder\\a.jpg" "$folder\\b.gif"
expect_controls <<CONTROLS
IDC_LIST1 rows $first|$folder\\a.jpg|$folder\\b.gif
CONTROLS

read -r x y < <(probe_answer row "$(id IDC_LIST1)" 1) || fail "row 1 is not shown"
xdotool mousemove "$x" "$y" click 1
expect_controls <<<"IDC_LIST1 selected 1"
focus_control IDC_CMDDELETE
xdotool key Return
expect_list "$first" "$folder\\b.gif"

click_control IDC_CMDCLEAR
expect_list
expect_controls <<<"IDC_LIST1 rows "

read -r x y < <(probe_answer closebox) || fail "no title bar"
xdotool mousemove "$x" "$y" click 1
expect_end "$SETUP_PID" "the title bar's close button"
pass "setup list"
