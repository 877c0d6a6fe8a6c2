#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the core, the Windows edition with its program lumiscribe.scr, its installer
# Lumiscribe-<version>-setup.exe, and their tests for 64-bit Windows with the MinGW-w64 cross
# compiler (cmake/mingw-w64-x86_64.cmake) and NSIS into build-windows/ and runs them under Wine
# through CTest. As root, or as a user who may use sudo for the package installations:
#
#   tools/windows.sh [stage...]    # stages: unit, e2e (both by default)
#
# With a code-signing certificate in LUMI_SIGN_PKCS12 (a .pfx or .p12 file), its password in
# LUMI_SIGN_PASSWORD and optionally a time-stamping service in LUMI_SIGN_TIMESTAMP,
# lumiscribe.scr is signed before the installer packs it, and the installer and its uninstaller
# too (tools/windows_sign.sh); without a certificate nothing is signed.
#
# The program's icon and preview still, and the pictures and tunes shipped with it, are painted
# and converted by programs of the native (Qt) build, which the cross build cannot run: those
# targets are built first in build/ (configured here when it is missing), and the cross build
# takes them from there.
# Wine runs in a prefix of its own, made in a temporary folder that is also its HOME and TMPDIR
# (where the wineserver keeps its socket) and that is removed at the end together with the
# wineserver: no run depends on an earlier one or on the caller's ~/.wine, and none leaves
# anything behind. The unit tests need no display, so DISPLAY is unset and Wine can never
# open a window on the caller's screen or wait for an X server that has gone; each end-to-end
# test starts an Xvfb server of its own.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/common.sh

# GoogleTest's sources, which this build compiles with the cross compiler, Wine's 64-bit
# loader, NSIS for the installer and osslsigncode for the signatures.
install_packages cmake ninja-build file g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix \
    googletest wine wine64 python3 nsis osslsigncode "${BUILD_PACKAGES[@]}"
# The end-to-end tests: an X server, its keys and clicks, window queries and screenshots.
install_packages xvfb xauth xdotool x11-utils imagemagick

# The native build's assets: the icon, the shipped pictures and tunes, and the preview still.
[ -f build/CMakeCache.txt ] || cmake -G Ninja -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build --target lumi_icon lumi_tunes lumi_pictures src/preview/preview.png

# Runs the tests of CTest's arguments, and those that failed once more, by name: under load
# Wine now and then ends a program before it has started (status 1, no output at all), which
# says nothing of the program. A test that fails twice fails the stage.
run_tests() {
    ctest --test-dir build-windows --output-on-failure --no-tests=error "$@" && return 0
    echo "tools/windows.sh: running the failed tests once more:" >&2
    sed 's/^[0-9]*:/    /' build-windows/Testing/Temporary/LastTestsFailed.log >&2
    ctest --test-dir build-windows --output-on-failure --rerun-failed
}

# The unit tests of the core, labelled "unit" (tests/CMakeLists.txt).
stage_unit() {
    run_tests -j2 -L unit
}

# The end-to-end tests of lumiscribe.scr (tests/e2e/windows), one after another, each in an
# X server of its own, in this run's Wine prefix.
stage_e2e() {
    run_tests -L e2e
}

stages=("$@")
[ ${#stages[@]} -gt 0 ] || stages=(unit e2e)
for stage in "${stages[@]}"; do
    if ! declare -F "stage_$stage" >/dev/null; then
        echo "tools/windows.sh: no stage \"$stage\" (unit, e2e)" >&2
        exit 2
    fi
done

scratch=$(mktemp -d)
wineserver=
stop_wine() {
    [ -z "$wineserver" ] || "$wineserver" -k 2>/dev/null || true
    rm -rf "$scratch"
}
trap stop_wine EXIT
unset DISPLAY WAYLAND_DISPLAY
# mscoree and mshtml switched off: a fresh prefix then never offers to install Wine's .NET
# and HTML engines, which nothing here uses.
export HOME=$scratch TMPDIR=$scratch WINEPREFIX=$scratch/prefix WINEDEBUG=-all \
    WINEDLLOVERRIDES="mscoree,mshtml="

cmake -G Ninja -S . -B build-windows -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DLUMI_NATIVE_ASSETS="$PWD/build"
# The Wine loader that CMake runs the programs with, and the wineserver beside it (a server of
# another Wine would refuse that loader).
wine=$(sed -n 's/^LUMI_WINE:FILEPATH=//p' build-windows/CMakeCache.txt)
if [ ! -x "$wine" ]; then
    echo "tools/windows.sh: no Wine loader found" >&2
    exit 1
fi
wineserver=$(dirname "$wine")/wineserver
[ -x "$wineserver" ] || wineserver=wineserver

# The prefix is made before anything runs in it, and one server then stays up (-p) until the
# end: without it every program started a server of its own, and the build (which lists each
# test program's tests) and every test waited for it. The first program under that server
# starts the prefix's services, which live as long as the server and keep the standard output
# and error of the program that started them: that is wineboot here, writing into a log, and
# never a test, whose output pipe CMake and CTest would otherwise wait on until their
# timeout. The log shows only on failure: it reports a missing 32-bit Wine, which nothing
# here needs.
log=$scratch/wineboot.log
if ! { "$wine" wineboot -i && "$wineserver" -w && "$wineserver" -p && "$wine" wineboot; } \
    >"$log" 2>&1; then
    cat "$log" >&2
    exit 1
fi

if [ -n "${LUMI_SIGN_PKCS12:-}" ]; then
    ninja -C build-windows lumiscribe_scr lumi_installed_scr
    tools/windows_sign.sh build-windows/src/windows/lumiscribe.scr \
        build-windows/src/windows/installer/lumiscribe.scr
    ninja -C build-windows
    tools/windows_sign.sh build-windows/Lumiscribe-*-setup.exe
else
    echo "tools/windows.sh: no certificate in LUMI_SIGN_PKCS12: nothing is signed"
    ninja -C build-windows
fi

# Every program is 64-bit: Wine's 64-bit loader ends a 32-bit one at once with status 0, so
# that its tests would neither be found nor fail.
programs=0
while IFS= read -r -d '' program; do
    programs=$((programs + 1))
    case "$(file -b "$program")" in
        "PE32+ executable "*x86-64*) ;;
        *)
            echo "tools/windows.sh: $program is no 64-bit Windows program: $(file -b "$program")" >&2
            exit 1
            ;;
    esac
done < <(find build-windows \( -name '*.exe' -o -name '*.scr' \) -print0)
setups=(build-windows/Lumiscribe-*-setup.exe)
if [ "$programs" -eq 0 ] || [ ! -f build-windows/src/windows/lumiscribe.scr ] ||
    [ ! -f "${setups[0]}" ]; then
    echo "tools/windows.sh: the build made no program, no lumiscribe.scr or no installer" >&2
    exit 1
fi

for stage in "${stages[@]}"; do
    "stage_$stage"
done
