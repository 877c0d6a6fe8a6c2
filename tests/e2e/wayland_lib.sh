# SPDX-License-Identifier: GPL-3.0-or-later
# Shared by the end-to-end tests in a Wayland session. Each test starts a compositor of its
# own (sway, headless and drawn in software) and runs the real binary in it as an
# unprivileged user, with the empty settings, data and runtime folders of lib.sh. Nothing
# here needs an X server: the programs run without DISPLAY.
#
# A test is run like the X11 ones (`bash test.sh path/to/lumiscribe assets-folder`) and
# begins with
#
#     source "$(dirname "$0")/wayland_lib.sh"
#     wayland_start [OUTPUTS [WIDTHxHEIGHT]]
#
# Everything of lib.sh is at hand (fail, pass, install_assets, write_settings, write_list,
# setting, is_running, wait_for_exit, pixel, E2E_ROOT, STATE_DIR, ...). After wayland_start,
# `start_lumiscribe` and `screenshot` (and so `wait_for_screen_area`) work in the Wayland
# session instead of the X server.
#
# The functions:
#   wayland_start [N [WxH]]   starts the compositor with N outputs (default 1) of WxH pixels
#                             (default 1024x768), named HEADLESS-1 to HEADLESS-N and placed
#                             side by side from the left, HEADLESS-1 at the origin; the size
#                             of the whole layout is in WAYLAND_WIDTH and WAYLAND_HEIGHT.
#                             With WAYLAND_XWAYLAND=1 set before, the compositor runs XWayland
#                             and DISPLAY of the session names it (WAYLAND_X_DISPLAY); lines in
#                             the array WAYLAND_CONFIG_EXTRA are added to its configuration,
#                             as a desktop session's own ("exec PROGRAM" starts a program as
#                             the session starts it).
#   wayland_idle_protocol     the idle protocol that the compositor offers and that the idle
#                             starter prefers, as its start-up line names it.
#   wayland_run CMD...        runs CMD in the session as the test user and waits for it.
#   wayland_spawn CMD...      starts CMD in the session as the test user in the background;
#                             LAST_PID is CMD's own pid, and the cleanup ends it.
#   wayland_program PATH      copies the program PATH where the test user may run it and
#                             prints its new path (start_lumiscribe does this for lumiscribe).
#   start_lumiscribe ARGS...  starts lumiscribe with ARGS in the session; its pid in LAST_PID,
#                             its output in "$E2E_ROOT/out.<number of ARGS>.log".
#   screenshot FILE           every output as one PNG, laid out as the compositor places them,
#                             with the cursor where one shows.
#   wayland_key KEY...        presses and releases each named key (xkb names: space, x, Escape)
#                             on a new virtual keyboard, once the client has bound it.
#   wayland_pointer_at X Y    gives the seat a pointer (a headless compositor has none) resting
#                             at X, Y of the outputs' layout until the test ends (LAST_PID
#                             stays as it was).
#   wayland_pointer CMD...    plays pointer commands on a new pointer once the clients have
#                             bound it: "move X Y $WAYLAND_WIDTH $WAYLAND_HEIGHT", "by DX DY",
#                             "click", "wait MS" (tests/e2e/wayland_pointer.cpp). The pointer
#                             helper comes from LUMI_WAYLAND_POINTER (the build sets it).
#   wayland_msg ARGS...       swaymsg ARGS in the session (commands and queries to the
#                             compositor).
#   wayland_has_view TITLE    true while a window is mapped whose whole title matches the
#                             regular expression TITLE (a plain word matches itself).
#   wayland_wait_for_view TITLE [LIMIT]
#                             waits up to LIMIT seconds (default 10) for such a window.
#
# The user: as root (sway refuses to run as root) the session belongs to the system user
# "lumiscribe-e2e", made when it is missing, and the folder of the test is handed to it
# before each command; as anyone else, to the user running the test.
#
# Where the compositor cannot be had (sway, grim or wtype missing, no user to run it as, or
# sway ending at its start) the test reports itself skipped (exit 77).

E2E_SESSION=wayland
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

WAYLAND_USER=lumiscribe-e2e
WAYLAND_ENV=()

wayland_skip() {
    echo "SKIP: $*"
    exit 77
}

# Makes the system user of the session when it is missing. Another test may make it at the
# same moment, so a failed useradd counts when the user exists afterwards.
wayland_make_user() {
    for _ in 1 2 3 4 5; do
        getent passwd "$WAYLAND_USER" >/dev/null && return 0
        useradd --system --user-group --no-create-home --home-dir /nonexistent \
            --shell /usr/sbin/nologin "$WAYLAND_USER" 2>/dev/null && return 0
        sleep 0.5
    done
    getent passwd "$WAYLAND_USER" >/dev/null
}

# Hands the test's folder to the user of the session, so that the program may write its
# settings and state there whoever wrote the files last.
wayland_hand_over_files() {
    [ "$(id -u)" -eq 0 ] || return 0
    chown -R "$WAYLAND_USER:" "$E2E_ROOT"
}

# Runs a command as the user of the session with the session's environment only.
wayland_as_user() {
    if [ "$(id -u)" -eq 0 ]; then
        setpriv --reuid="$WAYLAND_USER" --regid="$WAYLAND_USER" --clear-groups \
            env -i "${WAYLAND_ENV[@]}" "$@"
    else
        env -i "${WAYLAND_ENV[@]}" "$@"
    fi
}

wayland_run() {
    wayland_hand_over_files
    wayland_as_user "$@"
}

wayland_spawn() {
    wayland_hand_over_files
    # A simple command put in the background, so that $! is the command's own pid and the
    # cleanup ends the command itself (a function in the background would be a subshell).
    if [ "$(id -u)" -eq 0 ]; then
        setpriv --reuid="$WAYLAND_USER" --regid="$WAYLAND_USER" --clear-groups \
            env -i "${WAYLAND_ENV[@]}" "$@" &
    else
        env -i "${WAYLAND_ENV[@]}" "$@" &
    fi
    LAST_PID=$!
    E2E_PIDS+=("$LAST_PID")
}

wayland_program() {
    local target
    target="$E2E_ROOT/bin/$(basename "$1")"
    mkdir -p "$E2E_ROOT/bin"
    # Renamed into place: a copy still running from before keeps its own file.
    cp "$1" "$target.new"
    mv -f "$target.new" "$target"
    echo "$target"
}

wayland_msg() {
    wayland_as_user swaymsg "$@"
}

wayland_start() {
    local outputs=${1:-1} size=${2:-1024x768}
    local width=${size%x*} tool
    WAYLAND_OUTPUTS=$outputs
    WAYLAND_WIDTH=$((outputs * width))
    WAYLAND_HEIGHT=${size#*x}
    for tool in sway swaymsg grim wtype; do
        command -v "$tool" >/dev/null ||
            wayland_skip "$tool is not installed (tools/test.sh installs sway, grim and wtype)"
    done
    if [ "$(id -u)" -eq 0 ]; then
        wayland_make_user || wayland_skip "no user $WAYLAND_USER to run the compositor as"
    else
        WAYLAND_USER=$(id -un)
    fi
    mkdir -p "$E2E_ROOT/home"
    WAYLAND_ENV=(PATH=/usr/local/bin:/usr/bin:/bin LANG=C.UTF-8 HOME="$E2E_ROOT/home"
        XDG_RUNTIME_DIR="$XDG_RUNTIME_DIR" XDG_CONFIG_HOME="$XDG_CONFIG_HOME"
        XDG_DATA_HOME="$XDG_DATA_HOME")

    # No bar, no borders, no X server unless asked; the outputs side by side from the left.
    local config="$E2E_ROOT/sway.config" n
    {
        if [ "${WAYLAND_XWAYLAND:-0}" = 1 ]; then
            command -v Xwayland >/dev/null ||
                wayland_skip "Xwayland is not installed (tools/test.sh installs xwayland)"
            echo "xwayland enable"
            # The session's programs learn the X display from the compositor.
            echo "exec sh -c 'echo \$DISPLAY >$E2E_ROOT/x-display'"
        else
            echo "xwayland disable"
        fi
        echo "default_border none"
        echo "default_floating_border none"
        for n in $(seq 1 "$outputs"); do
            echo "output HEADLESS-$n mode $size position $(((n - 1) * width)) 0"
        done
        printf '%s\n' "${WAYLAND_CONFIG_EXTRA[@]}"
    } >"$config"

    wayland_spawn env WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 \
        WLR_HEADLESS_OUTPUTS="$outputs" sway --config "$config" >"$E2E_ROOT/sway.log" 2>&1
    local sway_pid=$LAST_PID
    disown "$sway_pid" # its end by the cleanup is no news

    local deadline=$(e2e_deadline 30) socket ipc
    while [ $SECONDS -lt $deadline ] && is_running "$sway_pid"; do
        socket=$(find "$XDG_RUNTIME_DIR" -maxdepth 1 -type s -name 'wayland-*' -printf '%f\n' | head -n 1)
        ipc=$(find "$XDG_RUNTIME_DIR" -maxdepth 1 -type s -name 'sway-ipc.*' | head -n 1)
        if [ -n "$socket" ] && [ -n "$ipc" ] &&
            [ "$(WAYLAND_ENV+=(WAYLAND_DISPLAY="$socket" SWAYSOCK="$ipc");
                wayland_as_user swaymsg -t get_outputs 2>/dev/null | grep -c '"name": "HEADLESS-')" = "$outputs" ]; then
            WAYLAND_ENV+=(WAYLAND_DISPLAY="$socket" SWAYSOCK="$ipc")
            [ "${WAYLAND_XWAYLAND:-0}" = 1 ] || return 0
            wayland_wait_for_x_display "$sway_pid"
            return 0
        fi
        sleep 0.2
    done
    cat "$E2E_ROOT/sway.log" >&2
    is_running "$sway_pid" || wayland_skip "the compositor cannot run here (its log is above)"
    fail "the compositor did not offer $outputs outputs in 30 s"
}

# Waits until the compositor's XWayland accepts clients, and adds its DISPLAY to the session.
wayland_wait_for_x_display() {
    local deadline=$(e2e_deadline 300)
    while [ $SECONDS -lt $deadline ] && is_running "$1"; do
        if [ -s "$E2E_ROOT/x-display" ]; then
            WAYLAND_X_DISPLAY=$(head -n 1 "$E2E_ROOT/x-display")
            if wayland_as_user env DISPLAY="$WAYLAND_X_DISPLAY" xdpyinfo >/dev/null 2>&1; then
                WAYLAND_ENV+=(DISPLAY="$WAYLAND_X_DISPLAY")
                return 0
            fi
        fi
        sleep 0.2
    done
    cat "$E2E_ROOT/sway.log" >&2
    fail "XWayland did not start"
}

wayland_idle_protocol() {
    command -v wayland-info >/dev/null ||
        fail "wayland-info is not installed (tools/test.sh installs wayland-utils)"
    # grep reads all of it: with -q it would stop at the match, and wayland-info, killed by
    # the closed pipe, would fail the pipeline.
    if wayland_run wayland-info 2>/dev/null | grep "interface: 'ext_idle_notifier_v1'" >/dev/null; then
        echo ext-idle-notify-v1
    else
        echo org_kde_kwin_idle
    fi
}

start_lumiscribe() {
    local program
    program=$(wayland_program "$LUMISCRIBE")
    wayland_spawn "$program" "$@" >"$E2E_ROOT/out.$#.log" 2>&1
}

screenshot() {
    # One output at a time: grim's capture of all outputs at once may return, for one of them,
    # a frame from before its latest window showed (sway 1.7, headless).
    local n parts=()
    for n in $(seq 1 "$WAYLAND_OUTPUTS"); do
        parts+=("$1.$n.png")
        wayland_run grim -c -t png -o "HEADLESS-$n" "${parts[-1]}"
    done
    /usr/bin/convert "${parts[@]}" +append "$1"
    rm -f "${parts[@]}"
}

wayland_key() {
    local arguments=(-s 1500) key
    for key in "$@"; do
        arguments+=(-k "$key")
    done
    wayland_run wtype "${arguments[@]}"
}

wayland_pointer_program() {
    [ -n "${LUMI_WAYLAND_POINTER:-}" ] && [ -x "$LUMI_WAYLAND_POINTER" ] ||
        fail "the pointer helper is not built (it needs libwayland-dev; tools/test.sh installs it)"
    wayland_program "$LUMI_WAYLAND_POINTER"
}

wayland_pointer_at() {
    local program last_pid=${LAST_PID:-}
    program=$(wayland_pointer_program)
    wayland_spawn "$program" move "$1" "$2" "$WAYLAND_WIDTH" "$WAYLAND_HEIGHT" hold
    disown "$LAST_PID" # its end by the cleanup is no news
    LAST_PID=$last_pid
}

wayland_pointer() {
    local program
    program=$(wayland_pointer_program)
    wayland_run "$program" wait 1500 "$@"
}

wayland_has_view() {
    # Where the criteria match no window, swaymsg fails.
    wayland_msg "[title=\"^$1\$\"] nop" >/dev/null 2>&1
}

wayland_wait_for_view() {
    local title=$1 limit=${2:-10}
    local deadline=$(e2e_deadline "$limit")
    while [ $SECONDS -lt $deadline ]; do
        wayland_has_view "$title" && return 0
        sleep 0.2
    done
    return 1
}
