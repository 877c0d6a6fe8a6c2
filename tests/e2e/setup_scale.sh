#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Setup dialog on a scaled X11 desktop (Xft.dpi) grows as a whole by Xft.dpi / 96, times
# a QT_SCALE_FACTOR that the user set; without Xft.dpi, or at 96 dpi, it keeps its size.
source "$(dirname "$0")/lib.sh"
install_assets
start_window_manager
write_settings SetReg=2
write_list "$INSTALL_DIR/default.jpg"

# The X server's resources are shared with the tests that follow: put back what was there.
saved_resources=$(xrdb -query 2>/dev/null || true)
restore_resources() {
    if [ -n "$saved_resources" ]; then
        printf '%s\n' "$saved_resources" | xrdb -nocpp -load
    else
        xprop -root -remove RESOURCE_MANAGER 2>/dev/null || true
    fi
    cleanup
}
trap restore_resources EXIT

# $1: Xft.dpi or "none"; $2: QT_SCALE_FACTOR or ""; $3: the dialog's expected size "WxH".
check_size() {
    local dpi=$1 factor=$2 expected=$3
    if [ "$dpi" = none ]; then
        xprop -root -remove RESOURCE_MANAGER 2>/dev/null || true
    else
        printf 'Xft.dpi:\t%s\n' "$dpi" | xrdb -nocpp -merge
    fi
    if [ -n "$factor" ]; then
        QT_SCALE_FACTOR=$factor start_lumiscribe /c
    else
        start_lumiscribe /c
    fi
    local dialog hints
    dialog=$(wait_for_window "Lumiscribe Screensaver") || fail "$dpi dpi: no Setup dialog appeared"
    # The fixed size that the dialog asks of the window manager, in device pixels.
    hints=$(xprop -id "$dialog" WM_NORMAL_HINTS)
    local size
    size=$(sed -n 's/.*program specified minimum size: \([0-9]*\) by \([0-9]*\).*/\1x\2/p' <<<"$hints")
    [ "$size" = "$expected" ] ||
        fail "$dpi dpi, QT_SCALE_FACTOR \"$factor\": the dialog is $size, not $expected"
    kill "$LAST_PID"
    wait_for_exit "$LAST_PID" 5 || fail "the dialog did not end"
    pass "$dpi dpi, QT_SCALE_FACTOR \"$factor\": $size"
}

check_size none "" 604x455
check_size 120 "" 755x569
check_size 192 "" 1208x910
check_size 120 2 1510x1138
