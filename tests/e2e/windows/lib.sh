# SPDX-License-Identifier: GPL-3.0-or-later
# Shared by the end-to-end tests of lumiscribe.scr: each runs it under Wine in an Xvfb server of
# its own without a window manager, in the prefix of tools/windows.sh (WINEPREFIX), with a
# wineserver of its own that ends with the test.
set -euo pipefail

SCR=${1:?usage: test.sh lumiscribe.scr host_window.exe}
HOST_WINDOW=${2:?usage: test.sh lumiscribe.scr host_window.exe}
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
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$E2E_ROOT/display" 2>/dev/null &
XVFB_PID=$!
wait_until test -s "$E2E_ROOT/display" || fail "Xvfb did not start"
export DISPLAY=":$(head -n 1 "$E2E_ROOT/display")"

# The wineserver of an earlier test goes with its desktop process on that test's display.
# Without a window manager Wine's windows are unmanaged; managed ones would wait for it.
"$WINESERVER" -k 2>/dev/null || true
"$WINESERVER" -w
"$LUMI_WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >"$E2E_ROOT/wine.log" 2>&1

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
