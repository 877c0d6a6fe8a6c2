#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# "Add Folder…" in the real Setup dialog: the folder chooser opens in the user's pictures
# folder, the chosen folder becomes one entry of "List.txt" with a closing "/", after the
# entry that was there, and Close then ends the process without a question. The screen saver
# then shows the folder's pictures in the order of their names: "day 2/sea", "IMG_2", "IMG_10".
source "$(dirname "$0")/lib.sh"
install_assets
start_window_manager
write_settings SetReg=2
write_list "$INSTALL_DIR/default.jpg"

# The user's pictures folder, as the desktop's user folders name it.
pictures="$E2E_ROOT/My Pictures"
holiday="$pictures/Holiday 2026"
mkdir -p "$holiday/day 2"
/usr/bin/convert -size 300x200 -depth 8 gradient:red-blue PNG24:"$holiday/IMG_10.png"
/usr/bin/convert -size 201x150 -depth 8 gradient:green-white PNG24:"$holiday/IMG_2.png"
/usr/bin/convert -size 120x90 -depth 8 plasma:fractal -seed 7 PNG24:"$holiday/day 2/sea.png"
echo "XDG_PICTURES_DIR=\"$pictures\"" >"$XDG_CONFIG_HOME/user-dirs.dirs"

start_lumiscribe /c
dialog=$(wait_for_window "Lumiscribe Screensaver") || fail "no Setup dialog appeared"
sleep 0.5
xdotool mousemove --window "$dialog" 545 266 click 1  # "Add Folder…", right of "Files in List"
chooser=$(wait_for_window "Find Directory") || fail "Add Folder did not open the folder chooser"
focus_window "$chooser"
# A name without a folder: found only when the chooser opened in the pictures folder.
xdotool type --delay 20 "Holiday 2026"
xdotool key Return
for _ in $(seq 1 50); do
    [ "$(count_windows "Find Directory")" = 0 ] && break
    sleep 0.1
done
[ "$(count_windows "Find Directory")" = 0 ] || fail "the chooser did not take \"Holiday 2026\""

expected=$(printf '"%s"\r\n"%s"\r\n' "$INSTALL_DIR/default.jpg" "$pictures/Holiday 2026/" | od -c)
for _ in $(seq 1 20); do
    [ "$(od -c <"$INSTALL_DIR/List.txt")" = "$expected" ] && break
    sleep 0.1
done
[ "$(od -c <"$INSTALL_DIR/List.txt")" = "$expected" ] ||
    fail "List.txt holds $(od -c <"$INSTALL_DIR/List.txt"), not $expected"

# The list with its folder entry, for a person to look at.
artifacts=${E2E_ARTIFACTS:-$(cd "$(dirname "$LUMISCRIBE")/.." && pwd)/Testing}
mkdir -p "$artifacts"
/usr/bin/import -window "$dialog" "$artifacts/setup_add_folder.png"
echo "screenshot: $artifacts/setup_add_folder.png"

xdotool mousemove --window "$dialog" 560 430 click 1  # Close: the list is not empty
wait_for_exit "$LAST_PID" 10 || fail "Close did not end the process"

write_settings SetReg=2 BG=0 Delay=2 Music=0 MouseSen=4
start_lumiscribe /s
wait_for_window Lumiscribe >/dev/null || fail "no display window"
for picture in "$holiday/day 2/sea.png" "$holiday/IMG_2.png" "$holiday/IMG_10.png"; do
    area=$(expected_area "$picture")
    wait_for_screen_area "$picture.canvas.png" "$area" 20 || fail "$picture was not shown in turn"
done
pass "setup add folder"
