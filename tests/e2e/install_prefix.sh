#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# `cmake --install` into an empty prefix installs exactly the files of an installation, each
# well-formed: the executables (which answer --help and --version without a display), the
# shipped tunes and pictures as built, the desktop entry and its icon in every size, the
# screen-saver entry, the idle starter's autostart entry and user service, the manual pages,
# the help page, the XScreenSaver configuration file, the AppStream metadata (valid, with its
# two screenshots as the build draws them), the copyright file and the changelog.
source "$(dirname "$0")/lib.sh"
: "${LUMI_BUILD_DIR:?the build folder is not named}"
for tool in desktop-file-validate xmllint appstreamcli; do
    command -v "$tool" >/dev/null || fail "$tool is not installed"
done

prefix="$E2E_ROOT/prefix"
cmake --install "$LUMI_BUILD_DIR" --prefix "$prefix" >"$E2E_ROOT/install.log" 2>&1 ||
    fail "cmake --install failed: $(tail -5 "$E2E_ROOT/install.log")"

icon_sizes=(16 32 48 64 128 256)
expected=(bin/lumiscribe bin/lumiscribe-xscreensaver bin/lumiscribe-idle
    libexec/xscreensaver/lumiscribe-xscreensaver
    share/applications/com.corvanta.Lumiscribe.desktop share/applications/screensavers/lumiscribe.desktop
    share/metainfo/com.corvanta.Lumiscribe.metainfo.xml
    share/doc/lumiscribe/copyright share/doc/lumiscribe/changelog.gz
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
desktop="$prefix/share/applications/com.corvanta.Lumiscribe.desktop"
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

# The AppStream metadata, with the ID of the desktop entry, and its screenshots: the display in
# 16:9 and the Setup dialog, at the sizes that the metadata gives.
metainfo="$prefix/share/metainfo/com.corvanta.Lumiscribe.metainfo.xml"
appstreamcli validate --no-net "$metainfo" >"$E2E_ROOT/appstream.txt" 2>&1 ||
    fail "the AppStream metadata is not valid: $(cat "$E2E_ROOT/appstream.txt")"
[ "$(xmllint --xpath 'string(/component/id)' "$metainfo")" = com.corvanta.Lumiscribe ] || fail "AppStream ID"
[ "$(xmllint --xpath 'string(/component/launchable)' "$metainfo")" = com.corvanta.Lumiscribe.desktop ] ||
    fail "the metadata launches another desktop entry"
[ "$(xmllint --xpath 'string(/component/project_license)' "$metainfo")" = GPL-3.0-or-later ] || fail "licence"
[[ "$(xmllint --xpath 'string(/component/url[@type="homepage"])' "$metainfo")" == https://* ]] ||
    fail "the metadata has no https homepage"
[ "$(xmllint --xpath 'string(/component/releases/release[1]/@version)' "$metainfo")" = 1.02 ] || fail "release"
for shot in 1 2; do
    url=$(xmllint --xpath "string(/component/screenshots/screenshot[$shot]/image)" "$metainfo")
    [[ "$url" == https://*/screenshots/*.png ]] || fail "screenshot $shot is at $url"
    image="$LUMI_BUILD_DIR/assets/screenshots/$(basename "$url")"
    size=$(xmllint --xpath "concat(/component/screenshots/screenshot[$shot]/image/@width, 'x', /component/screenshots/screenshot[$shot]/image/@height)" "$metainfo")
    [ "$(/usr/bin/identify -format "%m %wx%h" "$image")" = "PNG $size" ] ||
        fail "$image is $(/usr/bin/identify -format "%m %wx%h" "$image"), not $size"
done
[ "$(xmllint --xpath "string(/component/screenshots/screenshot[1]/image/@width)" "$metainfo")" = 1280 ] &&
    [ "$(xmllint --xpath "string(/component/screenshots/screenshot[1]/image/@height)" "$metainfo")" = 720 ] ||
    fail "the display's screenshot is not 1280 x 720"
display_shot="$LUMI_BUILD_DIR/assets/screenshots/display.png"
[ "$(pixel "$display_shot" 640 360)" != "$(pixel "$display_shot" 1279 0)" ] || fail "the display's screenshot is blank"

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
        # All of the page is read: grep -q would close the pipe on man, and fail the pipeline.
        MANWIDTH=80 man -l "$file" 2>/dev/null | grep "lumiscribe" >/dev/null || fail "$page.6 renders empty"
    fi
done
pass "install into a prefix"
