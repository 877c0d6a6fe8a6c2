#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# `lumiscribe-xscreensaver --add-to-xscreensaver` without a display: it makes a missing
# ~/.xscreensaver, adds its entry to an existing one after a backup, leaves a file that lists
# it alone, and fails with exit status 1 and the file unchanged where it cannot write. Then the
# real XScreenSaver daemon, as the user "nobody", starts the saver from the entry it wrote.
source "$(dirname "$0")/lib.sh"
command -v xscreensaver >/dev/null || fail "the xscreensaver package is not installed"

chmod 755 "$E2E_ROOT"
home="$E2E_ROOT/home"
mkdir -p "$home" "$E2E_ROOT/bin" "$INSTALL_DIR"
saver="$E2E_ROOT/bin/lumiscribe-xscreensaver"
cp "$LUMI_XSCREENSAVER" "$saver"
add() {
    env -u DISPLAY -u WAYLAND_DISPLAY HOME="$home" "$saver" --add-to-xscreensaver \
        >"$E2E_ROOT/out.txt" 2>"$E2E_ROOT/err.txt"
}
entry="  \"Lumiscribe\"  $saver --root \\n"

# No file yet.
add || fail "adding to a missing file failed: $(cat "$E2E_ROOT/err.txt")"
[ "$(cat "$home/.xscreensaver")" = "programs:\\"$'\n'"$entry" ] ||
    fail "the new file holds: $(cat "$home/.xscreensaver")"
grep -q "was made for it" "$E2E_ROOT/out.txt" || fail "the message: $(cat "$E2E_ROOT/out.txt")"

# A file as XScreenSaver writes it: the entry comes first, every other line keeps its bytes.
printf '%s\n' '# XScreenSaver Preferences File' 'mode:		one' 'selected:	0' 'timeout:	0:30:00' \
    'lock:		False' 'fade:		False' 'unfade:		False' 'splash:		False' \
    'programs:								      \' \
    '				maze --root				    \n\' \
    '- GL: 				superquadrics --root			    \n' '' >"$home/.xscreensaver"
cp "$home/.xscreensaver" "$E2E_ROOT/before"
add || fail "adding to a file failed: $(cat "$E2E_ROOT/err.txt")"
cmp -s "$home/.xscreensaver.lumiscribe-backup" "$E2E_ROOT/before" || fail "no exact backup"
diff <(sed 10d "$home/.xscreensaver") "$E2E_ROOT/before" >/dev/null ||
    fail "other lines changed: $(diff "$home/.xscreensaver" "$E2E_ROOT/before")"
[ "$(sed -n 10p "$home/.xscreensaver")" = "$entry\\" ] ||
    fail "the entry is not the first program: $(sed -n 10p "$home/.xscreensaver")"
grep -q "is kept in $home/.xscreensaver.lumiscribe-backup" "$E2E_ROOT/out.txt" ||
    fail "the message: $(cat "$E2E_ROOT/out.txt")"

# Listed already: nothing is written.
cp "$home/.xscreensaver" "$E2E_ROOT/after"
add || fail "a listed saver was refused: $(cat "$E2E_ROOT/err.txt")"
cmp -s "$home/.xscreensaver" "$E2E_ROOT/after" || fail "a listed saver was added again"
grep -q "already in XScreenSaver's list" "$E2E_ROOT/out.txt" || fail "the message: $(cat "$E2E_ROOT/out.txt")"

# A home that cannot take the file.
if env HOME="$E2E_ROOT/nowhere" "$saver" --add-to-xscreensaver >"$E2E_ROOT/out.txt" 2>"$E2E_ROOT/err.txt"; then
    fail "a file that cannot be written was reported as added"
fi
grep -q "^lumiscribe-xscreensaver: Lumiscribe could not be added" "$E2E_ROOT/err.txt" ||
    fail "the failure says: $(cat "$E2E_ROOT/err.txt")"
[ ! -s "$E2E_ROOT/out.txt" ] || fail "a failure printed on the standard output"

# The daemon runs the saver it lists first.
chown -R nobody "$E2E_ROOT"
chmod -R a+rX "$E2E_ROOT"
chmod 700 "$XDG_RUNTIME_DIR"
as_nobody() {
    runuser -u nobody -- env HOME="$home" DISPLAY="$DISPLAY" \
        XDG_CONFIG_HOME="$XDG_CONFIG_HOME" XDG_DATA_HOME="$XDG_DATA_HOME" \
        XDG_RUNTIME_DIR="$XDG_RUNTIME_DIR" "$@"
}
as_nobody xscreensaver -no-splash >"$E2E_ROOT/daemon.log" 2>&1 &
E2E_PIDS+=($!)
trap 'as_nobody xscreensaver-command -exit >/dev/null 2>&1 || true; cleanup' EXIT
deadline=$(e2e_deadline 60)  # the daemon starts slowly on a busy machine
until as_nobody xscreensaver-command -version >/dev/null 2>&1; do
    [ $SECONDS -lt $deadline ] || fail "the daemon did not start: $(cat "$E2E_ROOT/daemon.log")"
    sleep 0.3
done
as_nobody xscreensaver-command -activate >/dev/null
deadline=$(e2e_deadline 60)
until pgrep -f "$saver --root" >/dev/null; do
    [ $SECONDS -lt $deadline ] || fail "the daemon did not start the saver: $(tail -5 "$E2E_ROOT/daemon.log")"
    sleep 0.3
done
as_nobody xscreensaver-command -deactivate >/dev/null
deadline=$(e2e_deadline 60)
while pgrep -f "$saver --root" >/dev/null; do
    [ $SECONDS -lt $deadline ] || fail "the saver outlived the deactivation"
    sleep 0.2
done
pass "add to XScreenSaver"
