# SPDX-License-Identifier: GPL-3.0-or-later
# Shared by the end-to-end tests of the Windows program: each test runs lumiscribe.scr under
# Wine in an Xvfb server of its own, without a window manager, in the Wine prefix that
# tools/windows.sh made (WINEPREFIX), with a wineserver of its own that ends with the test.
#   test.sh path/to/lumiscribe.scr path/to/host_window.exe
set -euo pipefail

SCR=${1:?usage: test.sh lumiscribe.scr host_window.exe}
HOST_WINDOW=${2:?usage: test.sh lumiscribe.scr host_window.exe}
if [ -z "${LUMI_WINE:-}" ] || [ -z "${WINEPREFIX:-}" ]; then
    echo "SKIP: no Wine prefix (run through tools/windows.sh e2e)"
    exit 77
fi
WINESERVER=$(dirname "$LUMI_WINE")/wineserver
[ -x "$WINESERVER" ] || WINESERVER=wineserver

# Tests wait for a state, never for a time; a deadline passes only when the state never comes.
E2E_PATIENCE=${E2E_PATIENCE:-180}
E2E_ROOT=$(mktemp -d)
E2E_PIDS=()
cleanup() {
    local pid
    for pid in "${E2E_PIDS[@]}"; do
        { kill -9 "$pid" && wait "$pid"; } 2>/dev/null || true
    done
    "$WINESERVER" -k 2>/dev/null || true
    [ -z "${XVFB_PID:-}" ] || kill "$XVFB_PID" 2>/dev/null || true
    rm -rf "$E2E_ROOT"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    local log
    for log in "$E2E_ROOT"/*.log; do
        [ -s "$log" ] || continue
        echo "--- ${log##*/}:" >&2
        tail -n 20 "$log" >&2
    done
    exit 1
}

pass() {
    echo "PASS: $*"
}

# Polls the command until it succeeds; fails when E2E_PATIENCE seconds pass first.
wait_until() {
    local deadline=$((SECONDS + E2E_PATIENCE))
    until "$@"; do
        [ "$SECONDS" -lt "$deadline" ] || return 1
        sleep 0.1
    done
}

# The X server; -displayfd picks a free display number and writes it once the server listens.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$E2E_ROOT/display" \
    >"$E2E_ROOT/xvfb.log" 2>&1 &
XVFB_PID=$!
wait_until test -s "$E2E_ROOT/display" || fail "Xvfb did not start"
export DISPLAY=":$(head -n 1 "$E2E_ROOT/display")"

# A wineserver of this test, on this display: the one of an earlier test goes, with its
# desktop process. Without a window manager Wine's windows are unmanaged (Managed N);
# otherwise closing one would wait for the manager.
"$WINESERVER" -k 2>/dev/null || true
"$WINESERVER" -w
"$LUMI_WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >"$E2E_ROOT/wine.log" 2>&1 \
    || fail "the Wine prefix does not take the X11 settings"

# Starts a Windows program in the background: its pid in LAST_PID, its output in
# $E2E_ROOT/<name>.log.
start_program() {
    local name=$1
    shift
    "$LUMI_WINE" "$@" >"$E2E_ROOT/$name.log" 2>&1 &
    LAST_PID=$!
    E2E_PIDS+=("$LAST_PID")
}

# Waits for the process to end; its exit status in EXIT_STATUS.
wait_for_exit() {
    local pid=$1
    wait_until eval "! kill -0 $pid 2>/dev/null" || return 1
    EXIT_STATUS=0
    wait "$pid" || EXIT_STATUS=$?
}

# Prints the X window of the title, once it appears.
wait_for_window() {
    local title=$1
    wait_until eval "xdotool search --onlyvisible --name '^$title\$' >'$E2E_ROOT/window' 2>/dev/null"
    head -n 1 "$E2E_ROOT/window"
}

# Runs lumiscribe.scr with the arguments and expects it to end with status 0 by itself.
expect_quick_end() {
    start_program scr "$SCR" "$@"
    wait_for_exit "$LAST_PID" || fail "'$*' kept running"
    [ "$EXIT_STATUS" -eq 0 ] || fail "'$*' ended with status $EXIT_STATUS"
}

# The colour "r,g,b" of a pixel of a screenshot.
pixel() {
    convert "$1" -format "%[fx:int(255*r)],%[fx:int(255*g)],%[fx:int(255*b)]" \
        -crop "1x1+$2+$3" info:
}
