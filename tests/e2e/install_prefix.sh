#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# `cmake --install` into an empty prefix installs exactly the files of an installation, each
# well-formed: the executables (which answer --help and --version without a display), the
# shipped tunes and pictures as built, the desktop entry and its icon in every size, the
# screen-saver entry, the idle starter's autostart entry and user service, the manual pages,
# the help page and the XScreenSaver configuration file.
source "$(dirname "$0")/lib.sh"
: "${LUMI_BUILD_DIR:?the build folder is not named}"
for tool in desktop-file-validate xmllint; do
    command -v "$tool" >/dev/null || fail "$tool is not installed"
done

prefix="$E2E_ROOT/prefix"
cmake --install "$LUMI_BUILD_DIR" --prefix "$prefix" >"$E2E_ROOT/install.log" 2>&1 ||
    fail "cmake --install failed: $(tail -5 "$E2E_ROOT/install.log")"

icon_sizes=(16 32 48 64 128 256)
expected=(bin/lumiscribe bin/lumiscribe-xscreensaver bin/lumiscribe-idle
    libexec/xscreensaver/lumiscribe-xscreensaver
    share/applications/lumiscribe.desktop share/applications/screensavers/lumiscribe.desktop
    etc/xdg/autostart/lumiscribe-idle.desktop
    lib/systemd/user/lumiscribe-idle.service
    lib/systemd/user/graphical-session.target.wants/lumiscribe-idle.service
    share/man/man6/lumiscribe.6.gz share/man/man6/lumiscribe-xscreensaver.6.gz
    share/man/man6/lumiscribe-idle.6.gz
    share/xscreensaver/config/lumiscribe-xscreensaver.xml
    share/lumiscribe/default.jpg share/lumiscribe/bg.jpg share/doc/lumiscribe/help.html)
for n in 1 2 3 4 5 6 7 8 9 10; do
    expected+=("share/lumiscribe/$n.mid")
done
for size in "${icon_sizes[@]}"; do
    expected+=("share/icons/hicolor/${size}x${size}/apps/lumiscribe.png")
done
diff <(printf '%s\n' "${expected[@]}" | sort) <(cd "$prefix" && find . ! -type d | sed 's|^\./||' | sort) ||
    fail "the installed files differ from the expected ones (< expected, > installed)"

# The executables, and XScreenSaver's link to the saver.
for program in lumiscribe lumiscribe-xscreensaver lumiscribe-idle; do
    [ -x "$prefix/bin/$program" ] || fail "$program is not executable"
    [ "$(env -u DISPLAY "$prefix/bin/$program" --version)" = "Lumiscribe 1.02" ] ||
        fail "$program --version"
    env -u DISPLAY "$prefix/bin/$program" --help >"$E2E_ROOT/help.txt" || fail "$program --help failed"
    head -n 1 "$E2E_ROOT/help.txt" | grep -q "^Usage: $program " || fail "$program --help: $(head -n 1 "$E2E_ROOT/help.txt")"
done
[ "$(readlink -f "$prefix/libexec/xscreensaver/lumiscribe-xscreensaver")" = "$prefix/bin/lumiscribe-xscreensaver" ] ||
    fail "the saver's link does not lead to the installed saver"

# The shipped tunes and pictures, byte for byte as built.
for file in "$ASSETS"/*.mid "$ASSETS/default.jpg" "$ASSETS/bg.jpg"; do
    cmp -s "$file" "$prefix/share/lumiscribe/$(basename "$file")" || fail "$(basename "$file") differs"
done

# The desktop entry and its icon.
desktop="$prefix/share/applications/lumiscribe.desktop"
desktop-file-validate "$desktop" || fail "the desktop entry is not valid"
grep -qx "Name=Lumiscribe Setup" "$desktop" || fail "the desktop entry is not named Lumiscribe Setup"
grep -qx "Exec=lumiscribe /c" "$desktop" || fail "the desktop entry does not run lumiscribe /c"
grep -qx "Icon=lumiscribe" "$desktop" || fail "the desktop entry names another icon"
# The entry that the screen savers of MATE and Xfce list.
saver="$prefix/share/applications/screensavers/lumiscribe.desktop"
desktop-file-validate "$saver" || fail "the screen-saver entry is not valid"
grep -qx "Exec=lumiscribe-xscreensaver -root" "$saver" || fail "the screen-saver entry runs another command"
grep -qx "Categories=Screensaver;" "$saver" || fail "the screen-saver entry is not in category Screensaver"
for size in "${icon_sizes[@]}"; do
    icon="$prefix/share/icons/hicolor/${size}x${size}/apps/lumiscribe.png"
    [ "$(/usr/bin/identify -format "%m %wx%h" "$icon")" = "PNG ${size}x${size}" ] ||
        fail "the ${size}x${size} icon is $(/usr/bin/identify -format "%m %wx%h" "$icon")"
done
[ "$(pixel "$prefix/share/icons/hicolor/256x256/apps/lumiscribe.png" 0 0)" != \
  "$(pixel "$prefix/share/icons/hicolor/256x256/apps/lumiscribe.png" 128 128)" ] ||
    fail "the icon is blank"

# The idle starter's autostart entry, and its user service, which the graphical session wants.
autostart="$prefix/etc/xdg/autostart/lumiscribe-idle.desktop"
desktop-file-validate "$autostart" || fail "the autostart entry is not valid"
grep -qx "Exec=lumiscribe-idle" "$autostart" || fail "the autostart entry does not run lumiscribe-idle"
service="$prefix/lib/systemd/user/lumiscribe-idle.service"
grep -qx "ExecStart=lumiscribe-idle" "$service" || fail "the user service does not run lumiscribe-idle"
grep -qx "PartOf=graphical-session.target" "$service" || fail "the user service outlives the session"
[ "$(readlink -f "$prefix/lib/systemd/user/graphical-session.target.wants/lumiscribe-idle.service")" = "$service" ] ||
    fail "the graphical session does not want the user service"

# The XScreenSaver configuration file.
xml="$prefix/share/xscreensaver/config/lumiscribe-xscreensaver.xml"
xmllint --noout "$xml" || fail "the XScreenSaver configuration file is not well-formed XML"
[ "$(xmllint --xpath 'string(/screensaver/@name)' "$xml")" = lumiscribe-xscreensaver ] ||
    fail "the configuration file names another command"
[ "$(xmllint --xpath 'string(/screensaver/@_label)' "$xml")" = Lumiscribe ] || fail "label"
[ "$(xmllint --xpath 'string(/screensaver/command/@arg)' "$xml")" = --root ] || fail "command argument"
xmllint --xpath 'string(/screensaver/_description)' "$xml" | grep -q "Lumiscribe Setup" ||
    fail "the description does not say where the options are set"

# The manual pages: compressed, section 6, rendered without warnings where man is installed.
for page in lumiscribe lumiscribe-xscreensaver lumiscribe-idle; do
    file="$prefix/share/man/man6/$page.6.gz"
    gzip -t "$file" || fail "$page.6.gz is not gzip"
    zcat "$file" | grep -q "^\.TH ${page^^} 6 " || fail "$page.6 is not a page of section 6"
    if command -v man >/dev/null; then
        warnings=$(MANWIDTH=80 man --warnings -l "$file" 2>&1 >/dev/null)
        [ -z "$warnings" ] || fail "man warns about $page.6: $warnings"
        MANWIDTH=80 man -l "$file" 2>/dev/null | grep -q "lumiscribe" || fail "$page.6 renders empty"
    fi
done
pass "install into a prefix"
