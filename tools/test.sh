#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what the build and the tests need and runs every test, in five stages:
#   1. build: build/, the program as it ships; every test under CTest: the unit tests on Qt's
#      offscreen platform, the end-to-end tests of the real binary in an Xvfb server that this
#      script starts and stops, and in headless Wayland compositors that the tests start;
#   2. windows: tools/windows.sh, the core, the Windows edition and lumiscribe.scr built for
#      64-bit Windows with the MinGW-w64 cross compiler into build-windows/; their unit tests
#      and the program's end-to-end tests (each in an Xvfb server of its own) run under Wine;
#   3. sanitizers: build-asan/, the same build and tests with AddressSanitizer and
#      UndefinedBehaviorSanitizer, in an Xvfb server of their own; leaks inside system
#      libraries are suppressed by tools/lsan.supp;
#   4. fuzz: tools/fuzz.sh, every fuzz target for 30 s from its seed corpus;
#   5. debian13: tools/debian13.sh, the stages "build" and "package" inside a Debian 13 system
#      made with debootstrap (on a Debian 13 machine the stage runs them on the machine itself).
# A sixth stage, "package", builds the Debian package from build/, installs it with apt and
# starts the installed program; only the Debian 13 stage runs it.
#
#   tools/test.sh [stage...]    # default: build windows sanitizers fuzz debian13
#
# Every stage runs and prints its wall time; the script fails when any stage failed.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/common.sh

install_packages "${BUILD_PACKAGES[@]}" "${FUZZ_PACKAGES[@]}" timgm6mb-soundfont xvfb xauth \
    xdotool imagemagick x11-utils x11-xserver-utils procps desktop-file-utils libxml2-utils \
    dpkg-dev file xscreensaver openbox libheif-examples libavif-bin
# The package's tests: lintian on the package, and AppStream's validator of its metadata.
install_packages lintian appstream
# The tests in a Wayland session: a headless compositor, its screenshots and keys, Qt's
# wayland platform, and the client library of the tests' pointer.
install_packages sway grim wtype qt6-wayland libwayland-dev wayland-utils xwayland
# The idle starter's tests: compositors and services that run headless, and a session bus.
install_packages kwin-wayland mutter dbus-daemon dbus-bin
# The Debian 13 stage on a Debian 12 machine: the making of that system, and the copy of the
# checkout into it.
[ "$(debian_release)" = 13 ] || install_packages debootstrap rsync
# The music through a real sound server: PipeWire with its PulseAudio service, the PulseAudio
# tools that load a null sink and record it, and sox to measure the recordings.
install_packages pipewire pipewire-pulse wireplumber pulseaudio-utils sox

work=$(mktemp -d)
xvfb_pid=
stop_x_server() {
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
        xvfb_pid=
    fi
}
debian13_pid=
trap 'stop_x_server; rm -rf "$work"; [ -z "$debian13_pid" ] || kill "$debian13_pid" 2>/dev/null' EXIT

# Starts a private Xvfb for the end-to-end tests and points DISPLAY at it. The server picks a
# free display number itself and writes it once it accepts clients, so the tests can never
# meet another server that happened to use the same number. It never resets (-noreset): a
# server resets whenever its last client leaves, as between two tests, and on a loaded machine
# it then refused the next test's first client for seconds.
start_x_server() {
    : >"$work/display"
    Xvfb -displayfd 3 -noreset -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" \
        >/dev/null 2>&1 &
    xvfb_pid=$!
    # Up to 5 minutes: a loaded machine may take long, and a server that fails ends at once.
    for _ in $(seq 1 3000); do
        if [ -s "$work/display" ]; then
            export DISPLAY=":$(head -n 1 "$work/display")"
            return 0
        fi
        kill -0 "$xvfb_pid" 2>/dev/null || break
        sleep 0.1
    done
    echo "Xvfb did not start" >&2
    return 1
}

# Runs CTest in build folder $1 inside a fresh X server, with the environment variables given
# as further arguments (NAME=value).
run_tests() {
    start_x_server || return 1
    local status=0
    env "${@:2}" ctest --test-dir "$1" --output-on-failure --timeout 300 -j2 || status=$?
    stop_x_server
    return "$status"
}

stage_build() {
    build_project && run_tests build
}

# Installs what it needs itself, so that the Debian 13 system never gets the cross compiler
# and Wine from the installations above.
stage_windows() {
    bash tools/windows.sh
}

# The sanitizers write every report into a file of the reports folder, named after the
# program and its process, and a sanitizer that reports ends its program with a failure. A
# report from a program whose end no test looks at (a helper, a process that a test leaves
# behind) thus still fails the stage. The same options hold while building, because the build
# runs a program of the project to paint the preview still.
reports="$PWD/build-asan/sanitizer-reports"
sanitizer_options=(
    ASAN_OPTIONS="detect_stack_use_after_return=1:log_path=$reports/report:log_exe_name=1"
    UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:log_path=$reports/report:log_exe_name=1"
    LSAN_OPTIONS="suppressions=$PWD/tools/lsan.supp:print_suppressions=0"
)
stage_sanitizers() {
    local status=0
    # World-writable: the XScreenSaver test runs the saver as another user.
    rm -rf "$reports" && mkdir -p "$reports" && chmod 1777 "$reports" || return 1
    cmake -G Ninja -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMI_SANITIZE=ON &&
        env "${sanitizer_options[@]}" ninja -C build-asan &&
        run_tests build-asan "${sanitizer_options[@]}" || status=1
    local report
    for report in "$reports"/*; do
        [ -e "$report" ] || continue
        echo "=== Sanitizer report ${report##*/}" >&2
        cat "$report" >&2
        status=1
    done
    return "$status"
}

stage_fuzz() {
    tools/fuzz.sh 30
}

# The Debian 13 system runs only the first stage and the package: the sanitizers and the
# fuzzers test the program's own code, which is the same on both releases. Its making and its
# package installations wait mostly for the network and the disk, so they start in the
# background with the fuzz stage (prepare_debian13) and this stage waits for them.
debian13_log="$PWD/build-debian13/prepare.log"
prepare_debian13() {
    [ "$(debian_release)" != 13 ] || return 0
    mkdir -p build-debian13
    as_root nice -n 10 bash tools/debian13.sh packages >"$debian13_log" 2>&1 &
    debian13_pid=$!
}
stage_debian13() {
    if [ "$(debian_release)" = 13 ]; then
        stage_build && stage_package
        return
    fi
    if [ -n "$debian13_pid" ]; then
        local prepared=0
        wait "$debian13_pid" || prepared=$?
        debian13_pid=
        if [ "$prepared" -ne 0 ]; then
            cat "$debian13_log" >&2
            echo "The Debian 13 system could not be made ready; its log is above" >&2
            return 1
        fi
    fi
    as_root bash tools/debian13.sh build package
}

# Only the package installations at the start of this script: a system made ready for later.
stage_packages() {
    :
}

# Builds the package from build/, installs it with apt as a user would (which brings in what it
# depends on) and starts the installed display with an empty install folder.
stage_package() {
    (cd build && cpack -G DEB >cpack.log) || { tail -20 build/cpack.log >&2; return 1; }
    local package
    package=$(ls build/lumiscribe_*.deb | head -n 1)
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "./$package" >/dev/null &&
        start_x_server || return 1
    local status=0
    bash tests/e2e/full_screen_start.sh /usr/bin/lumiscribe /usr/share/lumiscribe || status=$?
    stop_x_server
    [ "$status" -eq 0 ] && echo "The package $package installs and runs"
}

stages=("$@")
[ ${#stages[@]} -gt 0 ] || stages=(build windows sanitizers fuzz debian13)
wants_debian13=0
for stage in "${stages[@]}"; do
    [ "$stage" != debian13 ] || wants_debian13=1
done
failed=()
for stage in "${stages[@]}"; do
    if ! declare -F "stage_$stage" >/dev/null; then
        echo "tools/test.sh: no stage \"$stage\" (build, windows, sanitizers, fuzz, debian13," \
            "package, packages)" >&2
        exit 2
    fi
    # The Debian 13 system is made ready beside the fuzzers, which start no window and no
    # sound: its making takes the disk and the processors, and the end-to-end tests of the
    # stages before run on a machine of their own.
    [ "$stage" != fuzz ] || [ "$wants_debian13" = 0 ] || prepare_debian13
    started=$SECONDS
    echo "=== Stage $stage"
    # A stage chains its steps with && itself: `set -e` does not act inside an if.
    if ! "stage_$stage"; then
        failed+=("$stage")
    fi
    echo "=== Stage $stage took $((SECONDS - started)) s"
done
if [ ${#failed[@]} -gt 0 ]; then
    echo "Failed stages: ${failed[*]}" >&2
    exit 1
fi
