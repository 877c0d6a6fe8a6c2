# SPDX-License-Identifier: GPL-3.0-or-later
# Shared by tools/run.sh and tools/test.sh: installs Debian packages by name.

# Runs a command as root: directly when we are root, through sudo otherwise.
as_root() {
    if [ "$(id -u)" -eq 0 ]; then
        "$@"
    else
        sudo "$@"
    fi
}

# Installs the named Debian packages that are not installed yet.
install_packages() {
    local missing=()
    local package
    for package in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed"; then
            missing+=("$package")
        fi
    done
    if [ ${#missing[@]} -eq 0 ]; then
        return 0
    fi
    echo "Installing: ${missing[*]}"
    as_root apt-get update -q
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
}

# What the build needs.
BUILD_PACKAGES=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins
    qt6-image-formats-plugins libgl-dev libfluidsynth-dev libasound2-dev libglib2.0-dev libpulse-dev
    libxcb1-dev libxcb-xtest0-dev
    libcrypt-dev libgtest-dev libxcb-screensaver0-dev libwayland-dev wayland-protocols
    plasma-wayland-protocols
    abcmidi fonts-liberation)

# What the fuzz targets need besides the build: clang, and libFuzzer with the sanitizer
# runtimes, which clang only recommends.
FUZZ_PACKAGES=(clang libclang-rt-14-dev)

# Configures and builds the project into build/.
build_project() {
    cmake -G Ninja -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo && ninja -C build
}
