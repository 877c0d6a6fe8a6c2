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
    libxcb1-dev libxcb-xtest0-dev libgtest-dev libxcb-screensaver0-dev libwayland-dev
    wayland-protocols plasma-wayland-protocols libheif-dev libexif-dev
    abcmidi fonts-liberation)

# The major number of this machine's Debian release (12, 13), from /etc/os-release.
debian_release() {
    (
        . /etc/os-release
        echo "${VERSION_ID%%.*}"
    )
}

# Prints the package names that differ between the supported releases, chosen for this
# machine's release; a name that only one release has never appears in the lists above.
release_packages() {
    case "$(debian_release)" in
        12) echo clang-14 libclang-rt-14-dev ;;
        13) echo clang-19 libclang-rt-19-dev ;;
        *) echo clang libclang-rt-dev ;;
    esac
}

# The decoders of HEIC (HEVC) and AVIF (AV1) pictures for libheif: inside libheif1 on Debian 12,
# plugins of their own packages from libheif 1.17 on (Debian 13).
heif_decoder_packages() {
    case "$(debian_release)" in
        12) ;;
        *) echo libheif-plugin-libde265 libheif-plugin-dav1d ;;
    esac
}

# What the fuzz targets need besides the build: clang, and libFuzzer with the sanitizer
# runtimes, which clang only recommends (the runtime of the clang that `clang` names).
read -r -a FUZZ_PACKAGES <<<"clang $(release_packages)"

read -r -a heif_decoders <<<"$(heif_decoder_packages)"
BUILD_PACKAGES+=("${heif_decoders[@]}")

# Configures and builds the project into build/.
build_project() {
    cmake -G Ninja -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo && ninja -C build
}
