#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Without XDG_RUNTIME_DIR, and with the fallback folder in /tmp taken by another user, the
# display says why in one line and still keeps to one instance, through a folder of its own.
source "$(dirname "$0")/lib.sh"
install_assets

if [ "$(id -u)" != 0 ]; then
    echo "SKIP: only root can give a folder to another user"
    exit 77
fi
export TMPDIR="$E2E_ROOT/tmp"
taken=$TMPDIR/lumiscribe-$(id -u)
mkdir -p -m 700 "$taken"
chown 65534:65534 "$taken"

export HOME="$E2E_ROOT/home"
mkdir -p "$HOME"
unset XDG_RUNTIME_DIR

LIMIT=300
start_lumiscribe /s
first=$LAST_PID
wait_for_window Lumiscribe "$LIMIT" >/dev/null || fail "the first display did not appear"
grep -q "XDG_RUNTIME_DIR is not set and $taken belongs to another user; using $HOME/.cache/lumiscribe-runtime" \
    "$E2E_ROOT/out.1.log" || fail "no true reason: $(cat "$E2E_ROOT/out.1.log")"

start_lumiscribe /s
wait_for_exit "$LAST_PID" "$LIMIT" || fail "a second /s kept running"
[ "$(count_windows Lumiscribe)" = 1 ] || fail "a second /s showed a window"
is_running "$first" || fail "the first display ended"
[ -z "$(ls -A "$taken")" ] || fail "the other user's folder was written"
pass "runtime folder fallback"
