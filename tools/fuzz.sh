#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the fuzz targets of fuzz/ with clang into build-fuzz/ and runs each of them for a
# number of seconds, starting from a copy of its seed corpus fuzz/corpus/<name>/ (the
# repository's corpus is never changed). An input that crashes a target or breaks one of its
# properties is kept as build-fuzz/crashes/<name>-crash-<hash>; rerun a target on such a file
# to see the report again: build-fuzz/fuzz/<name>_fuzzer build-fuzz/crashes/<file>.
#
# Usage: tools/fuzz.sh [seconds per target, default 30] [name...]   (default: every target)
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/common.sh

seconds=${1:-30}
shift $(($# > 0 ? 1 : 0))
install_packages "${BUILD_PACKAGES[@]}" "${FUZZ_PACKAGES[@]}"
cmake -G Ninja -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++ -DLUMI_FUZZ=ON >/dev/null
ninja -C build-fuzz

names=("$@")
if [ ${#names[@]} -eq 0 ]; then
    for source in fuzz/*_fuzzer.cpp; do
        source=${source##*/}
        names+=("${source%_fuzzer.cpp}")
    done
fi

# In memory where possible: the picture list target writes files, and a disk that syncs them
# slows it down a hundredfold.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
    work=$(mktemp -d -p /dev/shm)
else
    work=$(mktemp -d)
fi
trap 'rm -rf "$work"' EXIT
mkdir -p build-fuzz/crashes
failed=()
for name in "${names[@]}"; do
    mkdir -p "$work/$name/corpus" "$work/$name/tmp"
    if [ -d "fuzz/corpus/$name" ]; then
        cp -r "fuzz/corpus/$name/." "$work/$name/corpus/"
    fi
    log="$work/$name/log"
    echo "Fuzzing $name for $seconds s"
    # A target's own files go to a temporary folder that is removed with the rest.
    # The HEIF decoder may decode a picture of up to 16384 pixels a side whatever the file
    # declares, which under the sanitizers takes gigabytes and many seconds: its limits leave
    # room for that, so that only a decode beyond it counts as a fault.
    limits=(-timeout=20 -rss_limit_mb=2048)
    [ "$name" != heif_decode ] || limits=(-timeout=120 -rss_limit_mb=8192)
    if TMPDIR="$work/$name/tmp" "build-fuzz/fuzz/${name}_fuzzer" -max_total_time="$seconds" \
        "${limits[@]}" -print_final_stats=1 \
        -artifact_prefix="build-fuzz/crashes/$name-" "$work/$name/corpus" >"$log" 2>&1; then
        grep -E '^(stat::number_of_executed_units|stat::new_units_added)' "$log" | tr '\n' ' '
        echo
    else
        tail -n 60 "$log"
        failed+=("$name")
    fi
done

if [ ${#failed[@]} -gt 0 ]; then
    echo "Fuzzing found faults in: ${failed[*]} (inputs in build-fuzz/crashes/)" >&2
    exit 1
fi
