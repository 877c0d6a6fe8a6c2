# SPDX-License-Identifier: GPL-3.0-or-later
# Shared by the end-to-end tests of lumiscribe.scr: each runs it under Wine in an Xvfb server of
# its own without a window manager, in the prefix of tools/windows.sh (WINEPREFIX), with a
# wineserver of its own that ends with the test.
set -euo pipefail
# A command of the test itself that fails ends it; this says which.
trap 'echo "FAIL: \"$BASH_COMMAND\" failed at line $LINENO of $(basename "$0")" >&2' ERR

SCR=${1:?usage: test.sh lumiscribe.scr host_window.exe setup_probe.exe}
HOST_WINDOW=${2:?usage: test.sh lumiscribe.scr host_window.exe setup_probe.exe}
PROBE=${3:?usage: test.sh lumiscribe.scr host_window.exe setup_probe.exe}
[ -n "${LUMI_WINE:-}" ] && [ -n "${WINEPREFIX:-}" ] || { echo "SKIP: no Wine prefix"; exit 77; }
WINESERVER=$(dirname "$LUMI_WINE")/wineserver

# Tests wait for a state, never for a time; a deadline passes only when the state never comes.
E2E_PATIENCE=${E2E_PATIENCE:-180}
E2E_ROOT=$(mktemp -d)
E2E_PIDS=()
cleanup() {
    local pid
    for pid in "${E2E_PIDS[@]}" "${XVFB_PID:-}"; do
        { kill -9 "$pid" && wait "$pid"; } 2>/dev/null || true
    done
    "$WINESERVER" -k 2>/dev/null || true
    rm -rf "$E2E_ROOT"
}
trap cleanup EXIT

# Fails the test, showing what the programs wrote.
fail() {
    echo "FAIL: $*" >&2
    tail -n 20 "$E2E_ROOT"/*.log >&2 || true
    exit 1
}
pass() { echo "PASS: $*"; }

# Polls the command until it succeeds; fails when E2E_PATIENCE seconds pass first.
wait_until() {
    local deadline=$((SECONDS + E2E_PATIENCE))
    until "$@"; do
        [ "$SECONDS" -lt "$deadline" ] || return 1
        sleep 0.1
    done
}

# -displayfd picks a free display and writes its number once the server listens.
# A test may ask for a larger screen (E2E_SCREEN) before it sources this file.
Xvfb -displayfd 3 -screen 0 "${E2E_SCREEN:-1024x768x24}" -nolisten tcp 3>"$E2E_ROOT/display" 2>/dev/null &
XVFB_PID=$!
wait_until test -s "$E2E_ROOT/display" || fail "Xvfb did not start"
export DISPLAY=":$(head -n 1 "$E2E_ROOT/display")"

# The wineserver of an earlier test goes with its desktop process on that test's display.
# Without a window manager Wine's windows are unmanaged; managed ones would wait for it.
"$WINESERVER" -k 2>/dev/null || true
"$WINESERVER" -w
"$LUMI_WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >"$E2E_ROOT/wine.log" 2>&1
# Every test starts at 100 % (96 dpi), whatever an earlier one chose (set_dpi).
set_dpi() {
    "$LUMI_WINE" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f \
        >>"$E2E_ROOT/wine.log" 2>&1
}
set_dpi 96

# The install folder in the prefix, and the settings key.
INSTALL_DIR="$WINEPREFIX/drive_c/Corvanta/Lumiscribe"
SETTINGS_KEY='HKCU\Software\VB and VBA Program Settings\Lumiscribe\Config'
# Starts from no settings and an install folder that holds only what the test puts there.
fresh_install() {
    rm -rf "$INSTALL_DIR"
    mkdir -p "$INSTALL_DIR"
    "$LUMI_WINE" reg delete 'HKCU\Software\VB and VBA Program Settings\Lumiscribe' /f \
        >>"$E2E_ROOT/wine.log" 2>&1 || true
}
# Writes List.txt with the entries given, each quoted and ended by CR LF.
write_list() {
    local entry
    for entry in "$@"; do printf '"%s"\r\n' "$entry"; done >"$INSTALL_DIR/List.txt"
}
# Starts a Windows program in the background; its pid in LAST_PID, its output in <name>.log.
start_program() {
    "$LUMI_WINE" "${@:2}" >"$E2E_ROOT/$1.log" 2>&1 &
    LAST_PID=$!
    E2E_PIDS+=("$LAST_PID")
}

# Waits for the process to end; its exit status in EXIT_STATUS.
wait_for_exit() {
    wait_until eval "! kill -0 $1 2>/dev/null" || return 1
    wait "$1" && EXIT_STATUS=0 || EXIT_STATUS=$?
}

# Prints the X windows of the title once there are at least $2 (1 unless given).
wait_for_window() {
    local search="xdotool search --onlyvisible --name '^$1\$' 2>/dev/null | tee '$E2E_ROOT/window'"
    wait_until eval "[ \$($search | wc -l) -ge ${2:-1} ]" || return 1
    cat "$E2E_ROOT/window"
}

# Runs lumiscribe.scr with the arguments and expects it to end with status 0 by itself.
expect_quick_end() {
    start_program scr "$SCR" "$@"
    wait_for_exit "$LAST_PID" || fail "'$*' kept running"
    [ "$EXIT_STATUS" -eq 0 ] || fail "'$*' ended with status $EXIT_STATUS"
}

# Stores settings given as NAME=VALUE strings under the settings key.
write_settings() {
    local setting
    for setting in "$@"; do
        "$LUMI_WINE" reg add "$SETTINGS_KEY" /v "${setting%%=*}" /d "${setting#*=}" /f \
            >>"$E2E_ROOT/wine.log" 2>&1 || fail "cannot store $setting"
    done
}
# Succeeds when the screen's area WxH+L+T shows only the colour given as hex RRGGBB.
area_is() {
    import -window root "$E2E_ROOT/screen.png" && [ "$(convert "$E2E_ROOT/screen.png" -crop "$1" \
        +repage -unique-colors -format '%w %[hex:p{0,0}]' info:)" = "1 $2" ]
}

# ---- The Setup dialog, seen through setup_probe.exe ----

RESOURCE_H=$(dirname "${BASH_SOURCE[0]}")/../../../src/windows/resources/resource.h
# The number of a control of resource.h, "IDC_NAME" or "IDC_NAME+offset".
id() {
    local number
    number=$(awk -v name="${1%%+*}" '$1 == "#define" && $2 == name {print $3}' "$RESOURCE_H")
    [ -n "$number" ] || fail "no control $1 in resource.h"
    [[ "$1" != *+* ]] || number=$((number + ${1#*+}))
    echo "$number"
}
not() { ! "$@"; }
# What the probe answers (setup_probe.cpp), its lines joined by "|".
probe() { "$LUMI_WINE" "$PROBE" "$@" </dev/null 2>/dev/null | tr -d '\r' | paste -sd '|'; }
# Prints the probe's answer to the query given once it gives one (a probe started while the
# system is busy may give none); fails when none comes within E2E_PATIENCE seconds.
probe_answer() {
    local answer deadline=$((SECONDS + E2E_PATIENCE))
    until answer=$(probe "$@") && [ -n "$answer" ]; do
        [ "$SECONDS" -lt "$deadline" ] || return 1
        sleep 0.1
    done
    echo "$answer"
}
# Succeeds when the probe answers the first argument to the query that follows it.
probe_is() {
    local answer
    answer=$(probe "${@:2}") && [ "$answer" = "$1" ]
}
# Waits for each control of the table on standard input, "IDC_NAME query answer", to answer so.
expect_controls() {
    local control query expected
    while read -r control query expected; do
        wait_until probe_is "$expected" "$query" "$(id "$control")" || fail "$control $query is" \
            "\"$(probe "$query" "$(id "$control")")\", not \"$expected\""
    done
}
# Clicks the middle of control IDC_NAME, of the dialog or of the window titled $2.
click_control() {
    local x y
    read -r x y < <(probe_answer centre "$(id "$1")" "${@:2}") || fail "no control $1 to click"
    xdotool mousemove "$x" "$y" click 1
}
# Presses Tab until control IDC_NAME has the focus, each time once the focus has moved.
focus_control() {
    local wanted before presses=0
    wanted=$(id "$1")
    until probe_is "$wanted" focus; do
        presses=$((presses + 1))
        [ "$presses" -le 40 ] || fail "Tab never brings the focus to $1"
        before=$(probe focus)
        xdotool key Tab
        wait_until not probe_is "$before" focus || fail "Tab does not move the focus"
    done
}
# Starts the Setup dialog of the program given (lumiscribe.scr) with the arguments given
# and waits until it shows its first tab; its pid in SETUP_PID.
open_setup() {
    start_program setup "$1" "${@:2}"
    SETUP_PID=$LAST_PID
    wait_until probe_is 0 tab "$(id IDC_SSTAB1)" || fail "'${*:2}' shows no Setup dialog"
}
# Waits for the message box of title $1 and text $2 (its text is control 65535), then clicks
# its button of number $3 (1 OK, 6 Yes, 7 No).
answer_box() {
    wait_until probe_is "$2" text 65535 "$1" || fail "no box \"$1\": \"$2\""
    local x y
    read -r x y < <(probe_answer centre "$3" "$1") || fail "no button $3 in the box \"$1\""
    xdotool mousemove "$x" "$y" click 1
    wait_until not probe_is "$2" text 65535 "$1" || fail "the box \"$1\" stays"
}
# The value of a setting under the settings key; nothing when it is not stored.
stored() {
    "$LUMI_WINE" reg query "$SETTINGS_KEY" /v "$1" </dev/null 2>/dev/null | tr -d '\r' |
        awk -v name="$1" '$1 == name && $2 == "REG_SZ" {print substr($0, index($0, "REG_SZ") + 10)}'
}
stored_is() { [ "$(stored "$1")" = "$2" ]; }
# Waits for each setting of the table on standard input, "NAME value", to be stored so.
expect_stored() {
    local name value
    while read -r name value; do
        wait_until stored_is "$name" "$value" ||
            fail "$name is \"$(stored "$name")\", not \"$value\""
    done
}
# Waits for the process to end by itself with status 0.
expect_end() {
    wait_for_exit "$1" || fail "$2: it kept running"
    [ "$EXIT_STATUS" -eq 0 ] || fail "$2: it ended with status $EXIT_STATUS"
}
