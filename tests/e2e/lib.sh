# SPDX-License-Identifier: GPL-3.0-or-later
# Shared by the end-to-end tests: each test runs the real binary in the X server named by
# DISPLAY, with its own empty settings, data and runtime folders.
set -euo pipefail

LUMISCRIBE=${1:?usage: test.sh path/to/lumiscribe assets-folder}
ASSETS=${2:?usage: test.sh path/to/lumiscribe assets-folder}

# The tests of a Wayland session (wayland_lib.sh) start a compositor of their own instead.
if [ -z "${DISPLAY:-}" ] && [ "${E2E_SESSION:-x11}" = x11 ]; then
    echo "SKIP: no X server (DISPLAY is not set)"
    exit 77
fi

# A window manager that an earlier test killed leaves its properties on the root window, and
# xdotool would then ask that absent manager to activate a window and wait for it in vain.
wm_check=$(xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | awk '/window id/ {print $NF}' || true)
if [ -n "$wm_check" ] && ! xprop -id "$wm_check" >/dev/null 2>&1; then
    for property in $(xprop -root | grep -oE '^_(NET|OB|OPENBOX)_[A-Z_]+'); do
        xprop -root -remove "$property"
    done
fi

E2E_ROOT=$(mktemp -d)
export XDG_CONFIG_HOME="$E2E_ROOT/config"
export XDG_DATA_HOME="$E2E_ROOT/data"
export XDG_RUNTIME_DIR="$E2E_ROOT/runtime"
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
INSTALL_DIR="$XDG_DATA_HOME/Corvanta/Lumiscribe"
SETTINGS_FILE="$XDG_CONFIG_HOME/Lumiscribe.ini"
STATE_DIR="$XDG_RUNTIME_DIR/lumiscribe"

# Tests wait for a state or an event, never for a time. Every deadline is at least
# E2E_PATIENCE seconds (5 minutes unless set), so that a loaded machine fails no test: a
# deadline passes only when the awaited state never comes.
E2E_PATIENCE=${E2E_PATIENCE:-300}

# The value of SECONDS at which a wait of at least $1 seconds gives up.
e2e_deadline() {
    local limit=$1
    [ "$limit" -ge "$E2E_PATIENCE" ] || limit=$E2E_PATIENCE
    echo $((SECONDS + limit))
}

E2E_PIDS=()
cleanup() {
    local pid
    for pid in "${E2E_PIDS[@]}"; do
        kill -9 "$pid" 2>/dev/null || true
    done
    rm -rf "$E2E_ROOT"
}
trap cleanup EXIT

# Fails the test; what the programs it started wrote goes along, for the reader of a CI log.
fail() {
    echo "FAIL: $*" >&2
    local log
    for log in "$E2E_ROOT"/*.log "$E2E_ROOT"/*.out "$E2E_ROOT"/*.err; do
        [ -s "$log" ] || continue
        echo "--- the last lines of ${log##*/}:" >&2
        tail -n 20 "$log" >&2
    done
    exit 1
}

# Copies the shipped pictures and tunes into the install folder.
install_assets() {
    mkdir -p "$INSTALL_DIR"
    cp "$ASSETS"/*.mid "$ASSETS"/default.jpg "$ASSETS"/bg.jpg "$INSTALL_DIR"/
}

# Starts lumiscribe with the given arguments in the background; its pid is in LAST_PID.
start_lumiscribe() {
    "$LUMISCRIBE" "$@" >"$E2E_ROOT/out.$#.log" 2>&1 &
    LAST_PID=$!
    E2E_PIDS+=("$LAST_PID")
}

# Waits up to $2 seconds (default 10) for a visible window titled exactly $1; prints its id.
wait_for_window() {
    local title=$1 limit=${2:-10} id
    local deadline=$(e2e_deadline "$limit")
    while [ $SECONDS -lt $deadline ]; do
        id=$(xdotool search --onlyvisible --name "^${title}\$" 2>/dev/null | head -n 1 || true)
        if [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        sleep 0.2
    done
    return 1
}

# The number of visible windows titled exactly $1.
count_windows() {
    xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | wc -l
}

# True while process $1 runs (a process that ended but was not yet reaped does not run).
is_running() {
    local state
    state=$(ps -o stat= -p "$1" 2>/dev/null || true)
    [ -n "$state" ] && [ "${state:0:1}" != Z ]
}

# Waits up to $2 seconds for process $1 to end; fails when it is still running.
wait_for_exit() {
    local pid=$1 limit=${2:-10}
    local deadline=$(e2e_deadline "$limit")
    while [ $SECONDS -lt $deadline ]; do
        is_running "$pid" || return 0
        sleep 0.1
    done
    return 1
}

# Reads a value of section [Config] of the settings file.
setting() {
    awk -F= -v key="$1" '/^\[/{section=$0} section=="[Config]" && $1==key {sub(/^[^=]*=/, ""); print}' \
        "$SETTINGS_FILE"
}

# Takes a screenshot of the whole screen into $1 (PNG).
screenshot() {
    /usr/bin/import -window root "$1"
}

# The colour of pixel ($2, $3) of image $1 as "r,g,b".
pixel() {
    /usr/bin/convert "$1" -format "%[fx:int(255*p{$2,$3}.r)],%[fx:int(255*p{$2,$3}.g)],%[fx:int(255*p{$2,$3}.b)]" info:
}

pass() {
    echo "PASS: $*"
}

# Writes the settings of section [Config] given as KEY=VALUE arguments ("SetReg=2" marks
# the store as initialised, so the first-run values are not written over them).
write_settings() {
    { echo "[Config]"; printf '%s\n' "$@"; } >"$SETTINGS_FILE"
}

# Writes the picture list file with the given paths.
write_list() {
    mkdir -p "$INSTALL_DIR"
    : >"$INSTALL_DIR/List.txt"
    local path
    for path in "$@"; do
        printf '"%s"\r\n' "$path" >>"$INSTALL_DIR/List.txt"
    done
}

# The visible canvas of picture $1 shown 1:1: the picture without its last column and row,
# centred on the 1024 x 768 screen. Writes it as "$1.canvas.png" and prints its area (WxH+X+Y).
expected_area() {
    local picture=$1 width height
    read -r width height < <(/usr/bin/identify -format "%w %h" "$picture")
    /usr/bin/convert "$picture" -crop "$((width - 1))x$((height - 1))+0+0" +repage "$picture.canvas.png"
    local left top
    left=$(python3 -c "print(round(1024 / 2 - $width / 2))")
    top=$(python3 -c "print(round(768 / 2 - $height / 2))")
    echo "$((width - 1))x$((height - 1))+$left+$top"
}

# Waits up to $3 seconds until the screen area $2 (WxH+X+Y) equals picture $1 pixel for pixel.
wait_for_screen_area() {
    local expected=$1 area=$2 limit=${3:-15}
    local deadline=$(e2e_deadline "$limit")
    while [ $SECONDS -lt $deadline ]; do
        screenshot "$E2E_ROOT/screen.png"
        /usr/bin/convert "$E2E_ROOT/screen.png" -crop "$area" +repage "$E2E_ROOT/area.png"
        if [ "$(/usr/bin/compare -metric AE "$E2E_ROOT/area.png" "$expected" null: 2>&1)" = 0 ]; then
            return 0
        fi
        sleep 0.3
    done
    return 1
}

# Starts openbox as the window manager of DISPLAY for the rest of the test (the cleanup ends
# it) and waits until it manages windows.
start_window_manager() {
    local deadline=$(e2e_deadline 30) check openbox_pid=
    while [ $SECONDS -lt $deadline ]; do
        # Started again when it ended: on a busy machine the X server may refuse a connection
        # for a moment, and openbox then gives up at once.
        if [ -z "$openbox_pid" ] || ! kill -0 "$openbox_pid" 2>/dev/null; then
            openbox --sm-disable --replace >>"$E2E_ROOT/openbox.log" 2>&1 &
            openbox_pid=$!
            E2E_PIDS+=("$openbox_pid")
            disown "$openbox_pid"  # its end by the cleanup is no news
        fi
        # A window manager killed before leaves its check window's id behind on the root.
        check=$(xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | awk '/window id/ {print $NF}')
        if [ -n "$check" ] && xprop -id "$check" _NET_WM_NAME 2>/dev/null | grep -q Openbox; then
            return 0
        fi
        sleep 0.1
    done
    cat "$E2E_ROOT/openbox.log" >&2
    fail "openbox did not start"
}

# Gives the keyboard focus to window $1 and waits until it has it.
focus_window() {
    local deadline=$(e2e_deadline 5)
    while [ $SECONDS -lt $deadline ]; do
        xdotool windowactivate "$1" 2>/dev/null || xdotool windowfocus "$1" 2>/dev/null || true
        if [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ]; then
            sleep 0.2  # let the toolkit see the focus before keys arrive
            return 0
        fi
        sleep 0.1
    done
    fail "window $1 did not take the keyboard focus"
}
