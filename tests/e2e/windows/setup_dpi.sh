#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Setup dialog at 100 %, 150 % and 200 %: its client area and every control grow with the
# DPI, each control keeping its place in the client area within 2 pixels of its place at
# 100 % grown. Screenshots of each go to Testing/screenshots/setup-<percent>.png.
E2E_SCREEN=1600x1200x24
source "$(dirname "$0")/lib.sh"

shots=${E2E_OUTPUT:-$E2E_ROOT}/screenshots
mkdir -p "$shots"
fresh_install
write_list 'C:\pictures\one.jpg' 'C:\pictures\two.png'
client_is() { [ "$(probe layout | cut -d '|' -f 1)" = "$1" ]; }
for percent in 100 150 200; do
    set_dpi $((96 * percent / 100))
    open_setup "$SCR" /c
    # MulDiv's rounding: 455 * 1.5 = 682.5 makes 683.
    size="client $(((604 * percent + 50) / 100)) $(((455 * percent + 50) / 100))"
    wait_until client_is "$size" || fail "$percent %: $(probe layout | cut -d '|' -f 1), not $size"
    read -r x y < <(probe_answer centre "$(id IDC_CMDOK)") || fail "$percent %: no Close button"
    wait_until area_is "1x1+$((x - 30 * percent / 100))+$y" FFFFC0 || fail "$percent %: not painted"
    import -window root "$shots/setup-$percent.png"
    probe_answer layout | tr "|" "\n" >"$E2E_ROOT/layout-$percent.txt"
    click_control IDC_CMDOK
    expect_end "$SETUP_PID" "Close at $percent %"
done

# The sound-off box stands over the run of spaces in its label, whose width the label's font
# at that DPI decides; it grows with the text, not with the pixels.
for percent in 150 200; do
    awk -v percent="$percent" -v skip="$(id IDC_CBOSOUNDOFF)" '
        function abs(v) { return v < 0 ? -v : v }
        $1 == "client" || $1 == skip { next }
        NR == FNR { for (i = 2; i <= 5; i++) base[$1, i] = $i; next }
        {
            for (i = 2; i <= 5; i++) {
                if (abs($i - base[$1, i] * percent / 100) > 2) {
                    printf "control %s at %s %s %s %s, at 100 %%: %s %s %s %s\n", $1, $2, $3,
                        $4, $5, base[$1, 2], base[$1, 3], base[$1, 4], base[$1, 5]
                    wrong = 1
                    next
                }
            }
        }
        END { exit wrong }' "$E2E_ROOT/layout-100.txt" \
        "$E2E_ROOT/layout-$percent.txt" >"$E2E_ROOT/moved.txt" ||
        fail "$percent %: $(head -n 5 "$E2E_ROOT/moved.txt")"
done
pass "setup dpi"
