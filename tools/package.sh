#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what the build and the packaging need, builds into build/ and makes the Debian
# package build/lumiscribe_<version>_<arch>.deb with CPack. Install it with
#     sudo apt install ./build/lumiscribe_<version>_<arch>.deb
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/common.sh

install_packages "${BUILD_PACKAGES[@]}" dpkg-dev file
build_project
(cd build && cpack -G DEB)
ls -1 build/lumiscribe_*.deb
