# SPDX-License-Identifier: GPL-3.0-or-later
# Adds Lumiscribe to, or takes it out of, the list of savers in XScreenSaver's system-wide
# defaults (/etc/X11/app-defaults/XScreenSaver and its GL and non-GL variants).
# xscreensaver-settings lists the savers of that "programs:" resource and merges the ones new
# there into each user's own list, so a saver named there appears for every user without an
# edit of ~/.xscreensaver; its configuration file in /usr/share/xscreensaver/config gives its
# label and description. Both steps are idempotent and honour DPKG_ROOT.

lumiscribe_entry='  "Lumiscribe"  lumiscribe-xscreensaver --root                     \n\'

lumiscribe_defaults_files() {
    for variant in "" -gl -nogl; do
        file="${DPKG_ROOT:-}/etc/X11/app-defaults/XScreenSaver$variant"
        # The plain name is a link to one of the variants on Debian; edit each file once.
        if [ -f "$file" ] && [ ! -L "$file" ]; then
            echo "$file"
        fi
    done
}

lumiscribe_register() {
    lumiscribe_defaults_files | while read -r file; do
        grep -q 'lumiscribe-xscreensaver' "$file" && continue
        grep -q '^\*programs:' "$file" || continue
        LUMISCRIBE_ENTRY="$lumiscribe_entry" awk \
            '{ print } /^\*programs:/ && !done { print ENVIRON["LUMISCRIBE_ENTRY"]; done = 1 }' \
            "$file" >"$file.lumiscribe-new"
        chmod 644 "$file.lumiscribe-new"
        mv "$file.lumiscribe-new" "$file"
    done
}

lumiscribe_unregister() {
    lumiscribe_defaults_files | while read -r file; do
        grep -q 'lumiscribe-xscreensaver' "$file" || continue
        grep -v 'lumiscribe-xscreensaver --root' "$file" >"$file.lumiscribe-new" || true
        chmod 644 "$file.lumiscribe-new"
        mv "$file.lumiscribe-new" "$file"
    done
}
