#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package that CPack builds from the existing build: lintian finds no error and no
# warning in it; it carries its copyright file and its changelog. Installed with dpkg into a
# root of its own (so that the machine running the tests is left as it was) over a package of
# 1.02 from before, it takes out the one line of XScreenSaver's defaults that that package had
# added, and then never touches them again; the installed `lumiscribe /s`, started with an
# empty install folder, fills that folder from its shipped files and shows the welcome picture.
source "$(dirname "$0")/lib.sh"
: "${LUMI_BUILD_DIR:?the build folder is not named}"
if [ "$(id -u)" -ne 0 ]; then
    echo "SKIP: installing with dpkg --root needs root"
    exit 77
fi
for tool in cpack lintian dpkg-parsechangelog; do
    command -v "$tool" >/dev/null || fail "$tool is not installed"
done
sources="$(cd "$(dirname "$0")/../.." && pwd)"

(cd "$LUMI_BUILD_DIR" && cpack -G DEB -B "$E2E_ROOT/package") >"$E2E_ROOT/cpack.log" 2>&1 ||
    fail "cpack failed: $(tail -5 "$E2E_ROOT/cpack.log")"
package=$(ls "$E2E_ROOT"/package/lumiscribe_1.02_*.deb) || fail "no package lumiscribe_1.02_<arch>.deb"
depends=$(dpkg-deb -f "$package" Depends)
for needed in libqt6widgets6 qt6-qpa-plugins qt6-wayland libfluidsynth3 "fluid-soundfont-gm | timgm6mb-soundfont" libxcb1; do
    [[ "$depends" == *"$needed"* ]] || fail "the package does not depend on $needed: $depends"
done

# lintian, as Debian's archive runs it: no error, no warning (information and pedantic notes
# are allowed).
lintian --fail-on error,warning --tag-display-limit 0 "$package" >"$E2E_ROOT/lintian.txt" 2>&1 ||
    fail "lintian: $(cat "$E2E_ROOT/lintian.txt")"

# A root with an empty package database, XScreenSaver's defaults with the line that the
# package of 1.02 before this one added, and that package installed (a stand-in by name and
# version).
root="$E2E_ROOT/root"
defaults="$root/etc/X11/app-defaults"
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates" "$defaults"
: >"$root/var/lib/dpkg/status"
old_entry='  "Lumiscribe"  lumiscribe-xscreensaver --root                     \n\'
printf '%s\n' '*mode: random' '*programs:    \' '    maze --root    \n\' \
    '  "Lumiscribe"  lumiscribe-xscreensaver -root \n\' '    qix --root    \n' \
    '*pointerHysteresis: 10' >"$E2E_ROOT/defaults.orig"
for variant in -nogl -gl; do
    LINE="$old_entry" awk '{ print } /^\*programs:/ { print ENVIRON["LINE"] }' \
        "$E2E_ROOT/defaults.orig" >"$defaults/XScreenSaver$variant"
done
chmod 640 "$defaults/XScreenSaver-nogl"
ln -s XScreenSaver-nogl "$defaults/XScreenSaver"
mkdir -p "$E2E_ROOT/old/DEBIAN"
printf '%s\n' 'Package: lumiscribe' 'Version: 1.02' 'Architecture: all' \
    'Maintainer: Corvanta <support@corvanta.example>' 'Description: the package of 1.02 before' \
    >"$E2E_ROOT/old/DEBIAN/control"
dpkg-deb --root-owner-group -b "$E2E_ROOT/old" "$E2E_ROOT/old.deb" >/dev/null || fail "no stand-in package"
run_dpkg() {
    dpkg --root="$root" --force-script-chrootless --force-depends --log=/dev/null "$@" \
        >>"$E2E_ROOT/dpkg.log" 2>&1 || fail "dpkg $*: $(tail -5 "$E2E_ROOT/dpkg.log")"
}
run_dpkg -i "$E2E_ROOT/old.deb"
run_dpkg -i "$package"
for variant in -nogl -gl; do
    cmp -s "$defaults/XScreenSaver$variant" "$E2E_ROOT/defaults.orig" ||
        fail "the upgrade did not take out exactly the old line of XScreenSaver$variant: $(diff "$E2E_ROOT/defaults.orig" "$defaults/XScreenSaver$variant")"
done
[ "$(stat -c %a "$defaults/XScreenSaver-nogl")" = 640 ] || fail "the defaults lost their permissions"
[ -L "$defaults/XScreenSaver" ] || fail "the link to the defaults was replaced"
# Once the old line is out, the defaults are never touched again, not even rewritten.
before=$(stat -c '%i %y %s' "$defaults"/XScreenSaver-*)
run_dpkg -i "$package"
[ "$(stat -c '%i %y %s' "$defaults"/XScreenSaver-*)" = "$before" ] || fail "a reinstallation touched the defaults"

# The copyright file and the changelog, built from packaging/debian/changelog.
doc="$root/usr/share/doc/lumiscribe"
cmp -s "$doc/copyright" "$sources/packaging/debian/copyright" || fail "no copyright file"
head -n 1 "$doc/copyright" | grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
    fail "the copyright file is not machine-readable"
cmp -s "$doc/changelog.gz" <(gzip -9 -n -c "$sources/packaging/debian/changelog") ||
    fail "changelog.gz is not packaging/debian/changelog compressed with gzip -9n"
[ "$(dpkg-parsechangelog -l "$sources/packaging/debian/changelog" -S Version)" = 1.02 ] ||
    fail "the changelog's newest entry is not 1.02"
[ "$(readlink -f "$root/usr/libexec/xscreensaver/lumiscribe-xscreensaver")" = "$root/usr/bin/lumiscribe-xscreensaver" ] ||
    fail "the saver is not in XScreenSaver's folder of savers"
[ -f "$root/usr/share/xscreensaver/config/lumiscribe-xscreensaver.xml" ] || fail "no configuration file"
# The idle starter, started with the session through its autostart entry in /etc (a file the
# user may edit, kept on upgrades) or as a user service.
[ -x "$root/usr/bin/lumiscribe-idle" ] || fail "no idle starter"
dpkg-deb --ctrl-tarfile "$package" | tar -xO ./conffiles | grep -qx /etc/xdg/autostart/lumiscribe-idle.desktop ||
    fail "the autostart entry is not a configuration file of the package"
[ -f "$root/etc/xdg/autostart/lumiscribe-idle.desktop" ] || fail "no autostart entry in /etc/xdg/autostart"
[ -f "$root/usr/lib/systemd/user/lumiscribe-idle.service" ] || fail "no user service"
[ -f "$root/usr/share/doc/lumiscribe/help.html" ] || fail "no help page"

# The installed saver, found on the search path, adds itself to XScreenSaver's list by name.
mkdir -p "$E2E_ROOT/home"
env -u DISPLAY HOME="$E2E_ROOT/home" PATH="$root/usr/bin:$PATH" "$root/usr/bin/lumiscribe-xscreensaver" \
    --add-to-xscreensaver >/dev/null || fail "the installed saver could not add itself to XScreenSaver"
[ "$(sed -n 2p "$E2E_ROOT/home/.xscreensaver")" = '  "Lumiscribe"  lumiscribe-xscreensaver --root \n' ] ||
    fail "the installed saver's entry: $(cat "$E2E_ROOT/home/.xscreensaver")"

# The first start of the installed program, with an empty install folder.
[ ! -e "$INSTALL_DIR" ] || fail "the install folder is not empty"
LUMISCRIBE="$root/usr/bin/lumiscribe"
start_lumiscribe /s
wait_for_window Lumiscribe >/dev/null || fail "no display window"
for file in 1.mid 10.mid default.jpg bg.jpg; do
    cmp -s "$root/usr/share/lumiscribe/$file" "$INSTALL_DIR/$file" || fail "$file was not copied"
done
[ ! -e "$INSTALL_DIR/List.txt" ] || fail "a picture list appeared"

# The welcome picture (800 x 600), centred on the screen without its last column and row.
# Two JPEG decoders may round a few values apart, hence a small tolerance.
read -r screen_width screen_height < <(xdpyinfo | awk '/dimensions:/{split($2, d, "x"); print d[1], d[2]}')
area="799x599+$((screen_width / 2 - 400))+$((screen_height / 2 - 300))"
/usr/bin/convert "$root/usr/share/lumiscribe/default.jpg" -crop 799x599+0+0 +repage "$E2E_ROOT/welcome.png"
deadline=$(e2e_deadline 20)
until [ "$(/usr/bin/import -window root "$E2E_ROOT/screen.png" && /usr/bin/convert "$E2E_ROOT/screen.png" \
    -crop "$area" +repage png:- | /usr/bin/compare -metric AE -fuzz 2% - "$E2E_ROOT/welcome.png" null: 2>&1)" = 0 ]; do
    [ $SECONDS -lt $deadline ] || fail "the welcome picture is not shown at $area"
    sleep 0.5
done
is_running "$LAST_PID" || fail "the display ended"
kill "$LAST_PID"

run_dpkg -r lumiscribe
[ "$(stat -c '%i %y %s' "$defaults"/XScreenSaver-*)" = "$before" ] || fail "the removal touched the defaults"
[ ! -e "$root/usr/bin/lumiscribe" ] || fail "removing the package left the program"
pass "Debian package"
