#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The installer, silent (/S), for the current user and then with /ALLUSERS: it puts every file
# in place, writes the Installed apps entry and makes the program the screen saver, and leaves
# the user's List.txt and pictures as they are; the screen saver it set runs "/s", and the
# Start-menu shortcut runs "/c". The silent uninstaller removes what was added and keeps the
# user's list, pictures and settings.
source "$(dirname "$0")/lib.sh"
[ -n "${LUMI_SETUP:-}" ] || { echo "SKIP: no installer in this build"; exit 77; }
SHIPPED=$(dirname "$SCR")/shipped
# The program as the installer packs it, without its debugging information.
INSTALLED_SCR=$(dirname "$SCR")/installer/lumiscribe.scr
VERSION=$(basename "$LUMI_SETUP" | sed 's/^Lumiscribe-\(.*\)-setup\.exe$/\1/')

UNINSTALL_KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Lumiscribe'
DESKTOP_KEY='HKCU\Control Panel\Desktop'
windows_echo() { "$LUMI_WINE" cmd /c echo "$1" 2>/dev/null | tr -d '\r'; }
unix_path() { "$LUMI_WINE" winepath -u "$1" 2>/dev/null | tr -d '\r'; }
PROGRAM_WIN=$(windows_echo '%LOCALAPPDATA%\Programs\Lumiscribe')
PROGRAM_DIR=$(unix_path "$PROGRAM_WIN")
SHORTCUT=$(unix_path "$(windows_echo '%APPDATA%')\\Microsoft\\Windows\\Start Menu\\Programs")/"Lumiscribe Setup.lnk"
SYSTEM_WIN='C:\windows\system32\lumiscribe.scr'
SYSTEM_COPY=$(unix_path "$SYSTEM_WIN")
[ -n "$PROGRAM_WIN" ] && [ -n "$PROGRAM_DIR" ] && [ -n "$SYSTEM_COPY" ] || fail "no prefix folders"

# Prints the data of a registry value; fails when there is none.
registry_value() {
    "$LUMI_WINE" reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' |
        sed -n "s/^    $2    REG_[A-Z_]*    //p" | grep .
}

# Rows "file|what it equals once installed|whether the uninstaller keeps it"; an empty second
# column: it only has to exist. $1 is yes when the install copies into System32.
expected_files() {
    cat <<ROWS
$PROGRAM_DIR/lumiscribe.scr|$INSTALLED_SCR|gone
$PROGRAM_DIR/help.html|$SHIPPED/help.html|gone
$PROGRAM_DIR/Uninstall.exe||gone
$SHORTCUT||gone
$INSTALL_DIR/help.html|$SHIPPED/help.html|gone
$INSTALL_DIR/bg.jpg|$SHIPPED/bg.jpg|kept
$INSTALL_DIR/default.jpg|$E2E_ROOT/default.jpg|kept
$INSTALL_DIR/List.txt|$E2E_ROOT/List.txt|kept
ROWS
    for number in $(seq 1 10); do echo "$INSTALL_DIR/$number.mid|$SHIPPED/$number.mid|gone"; done
    [ "$1" = no ] || echo "$SYSTEM_COPY|$INSTALLED_SCR|gone"
}

# The installer's switches | the screen saver it sets | whether it copies into System32. The
# tables go through descriptors of their own, so that no Windows program reads them.
while IFS='|' read -r -u 3 switches screensaver system_copy; do
    round="install ${switches:-for the current user}"
    # A user's own default.jpg, listed in a picture list of theirs.
    fresh_install
    convert -size 40x30 xc:blue "$INSTALL_DIR/default.jpg"
    write_list 'C:\Corvanta\Lumiscribe\default.jpg'
    cp "$INSTALL_DIR/default.jpg" "$INSTALL_DIR/List.txt" "$E2E_ROOT/"

    start_program setup "$LUMI_SETUP" /S $switches
    wait_for_exit "$LAST_PID" && [ "$EXIT_STATUS" -eq 0 ] || fail "$round: status ${EXIT_STATUS:-}"
    while IFS='|' read -r file content _; do
        [ -f "$file" ] || fail "$round: no $file"
        [ -z "$content" ] || cmp -s "$file" "$content" || fail "$round: $file is not $content"
    done < <(expected_files "$system_copy")
    while IFS='|' read -r -u 4 key name value; do
        actual=$(registry_value "$key" "$name") || fail "$round: no $name in $key"
        [ "$actual" = "$value" ] || fail "$round: $name is \"$actual\", not \"$value\""
    done 4<<VALUES
$UNINSTALL_KEY|DisplayName|Lumiscribe
$UNINSTALL_KEY|DisplayVersion|$VERSION
$UNINSTALL_KEY|Publisher|Corvanta
$UNINSTALL_KEY|DisplayIcon|$PROGRAM_WIN\lumiscribe.scr,0
$UNINSTALL_KEY|InstallLocation|$PROGRAM_WIN
$UNINSTALL_KEY|UninstallString|"$PROGRAM_WIN\Uninstall.exe"
$UNINSTALL_KEY|QuietUninstallString|"$PROGRAM_WIN\Uninstall.exe" /S
$UNINSTALL_KEY|NoModify|0x1
$UNINSTALL_KEY|NoRepair|0x1
$DESKTOP_KEY|SCRNSAVE.EXE|$screensaver
$DESKTOP_KEY|ScreenSaveActive|1
VALUES
    size=$(registry_value "$UNINSTALL_KEY" EstimatedSize) || fail "$round: no EstimatedSize"
    [ $((size)) -ge $(($(stat -c %s "$INSTALLED_SCR") / 1024)) ] || fail "$round: EstimatedSize $size KB"

    # The screen saver that Windows would start, full screen until a key.
    start_program scr "$screensaver" /s
    wait_for_window Lumiscribe >/dev/null || fail "$round: no full-screen window"
    xdotool key x
    wait_for_exit "$LAST_PID" && [ "$EXIT_STATUS" -eq 0 ] || fail "$round: a key did not end /s"
    # The shortcut, as the Start menu opens it.
    start_program shortcut start /wait /unix "$SHORTCUT"
    # It opens the Setup dialog, which its title bar's close (Alt+F4) closes with status 0.
    wait_for_window "Lumiscribe Screensaver" >/dev/null || fail "$round: no Setup dialog"
    xdotool key alt+F4
    wait_for_exit "$LAST_PID" && [ "$EXIT_STATUS" -eq 0 ] || fail "$round: /c ended with $EXIT_STATUS"

    # The uninstaller starts a copy of itself in the temporary folder and ends; the copy
    # removes the Installed apps entry last.
    start_program uninstall "$PROGRAM_WIN\\Uninstall.exe" /S
    wait_for_exit "$LAST_PID" && [ "$EXIT_STATUS" -eq 0 ] || fail "$round: uninstaller $EXIT_STATUS"
    wait_until eval '! registry_value "$UNINSTALL_KEY" DisplayName >/dev/null' ||
        fail "$round: the Installed apps entry stayed"
    while IFS='|' read -r file content after; do
        case $after in
            gone) [ ! -e "$file" ] || fail "$round: the uninstaller left $file" ;;
            kept) cmp -s "$file" "${content:-$file}" || fail "$round: the uninstaller changed $file" ;;
        esac
    done < <(expected_files "$system_copy")
    [ ! -e "$PROGRAM_DIR" ] || fail "$round: the uninstaller left $PROGRAM_DIR"
    ! registry_value "$DESKTOP_KEY" SCRNSAVE.EXE >/dev/null || fail "$round: SCRNSAVE.EXE stayed"
    registry_value "$SETTINGS_KEY" SetReg >/dev/null || fail "$round: the settings are gone"
    pass "$round"
done 3<<ROUNDS
|$PROGRAM_WIN\lumiscribe.scr|no
/ALLUSERS|$SYSTEM_WIN|yes
ROUNDS
