#!/usr/bin/env bash
# Installs what Lumiscribe needs, builds it into build/, installs the shipped pictures and
# tunes into the install folder where they are missing, and starts the screen saver with
# the given switch: /s (the default) full screen, /c the Setup dialog, /a the password.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/common.sh

install_packages "${BUILD_PACKAGES[@]}" fluid-soundfont-gm qt6-wayland
build_project

install_dir="${XDG_DATA_HOME:-$HOME/.local/share}/Corvanta/Lumiscribe"
mkdir -p "$install_dir"
for file in build/assets/*.mid build/assets/default.jpg build/assets/bg.jpg; do
    # A file already in the install folder is the user's: never overwrite it.
    [ -e "$install_dir/$(basename "$file")" ] || cp "$file" "$install_dir/"
done

exec build/src/lumiscribe "${1:-/s}"
