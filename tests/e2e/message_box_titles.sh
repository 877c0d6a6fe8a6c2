#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Under a window manager, each of the Setup dialog's message boxes is wide enough for its
# whole title beside the title bar's buttons.
source "$(dirname "$0")/lib.sh"
install_assets
start_window_manager

artifacts=${E2E_ARTIFACTS:-$(cd "$(dirname "$LUMISCRIBE")/.." && pwd)/Testing}
mkdir -p "$artifacts"

start_lumiscribe /c
dialog=$(wait_for_window "Lumiscribe Screensaver") || fail "no Setup dialog appeared"
sleep 0.5

# The width that openbox's title font (sans 8 bold, its default) gives a text.
title_text_width() {
    /usr/bin/convert -font DejaVu-Sans-Bold -pointsize 8 -density 96 label:"$1" -format %w info:
}

# Clicks the dialog at ($2, $3), waits for the box titled $1, checks its frame and answers
# it with key $4.
check_box() {
    local title=$1 x=$2 y=$3 answer=$4 box left right top bottom
    focus_window "$dialog"
    xdotool mousemove --window "$dialog" "$x" "$y" click 1
    box=$(wait_for_window "$title") || fail "no box \"$title\" after a click at $x,$y"
    sleep 0.5
    read -r left right top bottom < <(xprop -id "$box" _NET_FRAME_EXTENTS |
        sed -n 's/.*= \([0-9]*\), \([0-9]*\), \([0-9]*\), \([0-9]*\)$/\1 \2 \3 \4/p')
    [ -n "$top" ] || fail "openbox did not frame \"$title\""
    eval "$(xdotool getwindowgeometry --shell "$box")"
    local frame=$((WIDTH + left + right)) text
    text=$(title_text_width "$title")
    # The title bar holds the window icon, minimise, maximise and close, each about as wide
    # as the bar is high, and a few pixels of padding around the title.
    local needed=$((text + 4 * top + 16))
    local shot="$artifacts/message_box_${title// /_}.png"
    /usr/bin/import -window root -crop "$((frame + 40))x$((HEIGHT + top + 40))+$((X - left - 20))+$((Y - top - 20))" \
        "$shot"
    echo "screenshot: $shot (frame $frame px, title $text px, needed $needed px)"
    [ "$frame" -ge "$needed" ] || fail "\"$title\" is $frame px wide, its title needs $needed px"
    focus_window "$box"
    xdotool key "$answer"
    local deadline=$(e2e_deadline 5)
    while [ "$(count_windows "$title")" != 0 ]; do
        [ $SECONDS -lt $deadline ] || fail "the box \"$title\" did not close"
        sleep 0.1
    done
}

check_box "Corvanta Lumiscribe Pictures" 207 267 Return  # Delete File with an empty list
check_box "Corvanta Lumiscribe" 345 385 Return           # Restore Settings
check_box "Lumiscribe Pictures Screensaver" 139 430 Return  # About
check_box "No File Warning" 560 430 n                    # Close with an empty list, then No
is_running "$LAST_PID" || fail "answering No ended the process"
pass "message box titles"
