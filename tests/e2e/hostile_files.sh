#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A named pipe where the display expects its background picture, its settings, its picture
# list or a listed picture: the pipe would block an open for good. The display's window
# appears all the same and says once on standard error what it refused; Setup opens too.
source "$(dirname "$0")/lib.sh"
install_assets

# Deadlines of minutes: the test is about never, not about how soon.
LIMIT=300

run_case() {
    local name=$1 expected=$2 window
    start_lumiscribe /s
    window=$(wait_for_window Lumiscribe "$LIMIT") || fail "$name: no display window appeared"
    is_running "$LAST_PID" || fail "$name: the display ended by itself"
    xdotool key --window "$window" space
    kill -TERM "$LAST_PID"
    wait_for_exit "$LAST_PID" "$LIMIT" || fail "$name: the display did not end on SIGTERM"
    grep -q "$expected" "$E2E_ROOT/out.1.log" ||
        fail "$name: no line saying \"$expected\": $(cat "$E2E_ROOT/out.1.log")"
    # The display ended through its own close-down: the running flag is back to 0.
    [ "$(cat "$STATE_DIR/screensaver-running")" = 0 ] || fail "$name: the flag still reads 1"
    pass "$name"
}

# The background picture.
mkfifo "$E2E_ROOT/bg.jpg"
write_settings SetReg=2 BG=3 "BGFile=$E2E_ROOT/bg.jpg"
run_case "a pipe as the background picture" "background picture.*named pipe, not a regular file"

# Listed pictures: more pipes than the loader has threads, then a picture.
mkfifo "$E2E_ROOT/one.jpg" "$E2E_ROOT/two.jpg" "$E2E_ROOT/three.jpg"
write_settings SetReg=2 BG=1
write_list "$E2E_ROOT/one.jpg" "$E2E_ROOT/two.jpg" "$E2E_ROOT/three.jpg" "$INSTALL_DIR/default.jpg"
run_case "pipes as listed pictures" "one.jpg: it is a named pipe, not a regular file"

# A sparse file of 2 GiB as the background and as a listed picture: skipped by its size, each
# with its own line.
truncate -s 2G "$E2E_ROOT/big.jpg"
write_settings SetReg=2 BG=3 "BGFile=$E2E_ROOT/big.jpg"
write_list "$E2E_ROOT/big.jpg" "$INSTALL_DIR/default.jpg"
run_case "a 2 GiB file as the background and a listed picture" \
    "background picture $E2E_ROOT/big.jpg: the file is 2147483648 bytes, more than"
grep -q "the picture $E2E_ROOT/big.jpg: the file is 2147483648 bytes, more than" \
    "$E2E_ROOT/out.1.log" || fail "no line about the listed 2 GiB file"
rm -f "$E2E_ROOT/big.jpg"
write_settings SetReg=2 BG=1

# The picture list.
rm -f "$INSTALL_DIR/List.txt"
mkfifo "$INSTALL_DIR/List.txt"
run_case "a pipe as the picture list" "picture list.*named pipe, not a regular file"
rm -f "$INSTALL_DIR/List.txt"

# The settings file itself: read as no settings, and no write replaces it.
rm -f "$SETTINGS_FILE"
mkfifo "$SETTINGS_FILE"
run_case "a pipe as the settings file" "settings file.*named pipe, not a regular file"
[ -p "$SETTINGS_FILE" ] || fail "the settings file was replaced"

# Setup with the settings file a pipe opens its dialog.
start_lumiscribe /c
wait_for_window "Lumiscribe Screensaver" "$LIMIT" >/dev/null || fail "Setup did not open"
kill -TERM "$LAST_PID"
wait_for_exit "$LAST_PID" "$LIMIT" || fail "Setup did not end on SIGTERM"
pass "Setup with a pipe as the settings file"
