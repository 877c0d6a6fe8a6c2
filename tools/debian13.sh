#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs tools/test.sh inside a Debian 13 system made with debootstrap, on any Debian machine
# (Debian 12 included), as root: the build with every unit and end-to-end test (compositors
# included), then the Debian package built, installed and started there.
#
#   tools/debian13.sh [stage...]      # default: build package
#
# The system lives in build-debian13/root and is made once; later runs reuse it and only
# install what is missing. debootstrap and the system's apt use the Debian registry that this
# machine's own apt sources name, so nothing here names a host. The checkout (with changes
# not yet committed) is copied to /src inside it; the system's build folders stay there
# between runs.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/common.sh

if [ "$(id -u)" -ne 0 ]; then
    echo "tools/debian13.sh: debootstrap and chroot need root; run it through sudo" >&2
    exit 1
fi

stages=("$@")
[ ${#stages[@]} -gt 0 ] || stages=(build package)
release=trixie
root=${LUMI_DEBIAN13_ROOT:-$PWD/build-debian13/root}

# Prints "URI SUITE" for each Debian entry of this machine's apt sources, in their order, in
# both source formats: one-line ("deb URI SUITE COMPONENTS") and deb822 (.sources).
apt_source_entries() {
    local file
    for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [ -f "$file" ] || continue
        awk '$1 == "deb" {
                 i = 2
                 if ($i ~ /^\[/) { while ($i !~ /\]$/) i++; i++ }
                 print $i, $(i + 1)
             }' "$file"
    done
    for file in /etc/apt/sources.list.d/*.sources; do
        [ -f "$file" ] || continue
        # Paragraphs are separated by empty lines; a paragraph may list several URIs and
        # suites, and "Enabled: no" switches it off.
        awk 'function flush() {
                 if (types ~ /(^| )deb( |$)/ && enabled != "no")
                     for (u = 1; u <= nu; u++) for (s = 1; s <= ns; s++) print uris[u], suites[s]
                 types = ""; enabled = ""; nu = 0; ns = 0
             }
             /^[ \t]*$/ { flush(); next }
             /^#/ { next }
             tolower($1) == "types:" { types = substr($0, index($0, ":") + 1) }
             tolower($1) == "enabled:" { enabled = tolower($2) }
             tolower($1) == "uris:" { for (i = 2; i <= NF; i++) uris[++nu] = $i }
             tolower($1) == "suites:" { for (i = 2; i <= NF; i++) suites[++ns] = $i }
             END { flush() }' "$file"
    done
}

# The registry of Debian's own packages: the first source whose suite is a release name of
# Debian's (bookworm, trixie, stable, ...), not its updates or security suites.
debian_registry() {
    apt_source_entries | awk '$2 ~ /^(buster|bullseye|bookworm|trixie|forky|sid|oldstable|stable|testing|unstable)$/ {
        print $1; exit }'
}

# The registry of Debian's security updates, where this machine's sources name one.
debian_security_registry() {
    apt_source_entries | awk '$2 ~ /-security$/ { print $1; exit }'
}

registry=$(debian_registry)
if [ -z "$registry" ]; then
    echo "tools/debian13.sh: this machine's apt sources name no Debian registry" >&2
    exit 1
fi
security=$(debian_security_registry)

install_packages debootstrap rsync

mounted=()
unmount_all() {
    local index
    for ((index = ${#mounted[@]} - 1; index >= 0; index--)); do
        umount -l "${mounted[index]}" 2>/dev/null || true
    done
    mounted=()
}
trap unmount_all EXIT

# Mounts what the tests need inside the system: the kernel's file systems, the devices (for
# the pseudo-terminals and /dev/shm of the compositors) and a fresh /tmp.
mount_into() {
    local type=$1 source=$2 target=$root$3
    shift 3
    mkdir -p "$target"
    if [ "$type" = bind ]; then
        mount --rbind "$source" "$target" && mount --make-rslave "$target"
    else
        mount -t "$type" "$@" "$source" "$target"
    fi
    mounted+=("$target")
}

if [ ! -e "$root/.lumi-debootstrapped" ]; then
    echo "Making a Debian 13 system in $root from $registry"
    rm -rf "$root"
    mkdir -p "$root"
    debootstrap --variant=minbase "$release" "$root" "$registry" >"$root.debootstrap.log" 2>&1 || {
        tail -20 "$root.debootstrap.log" >&2
        echo "tools/debian13.sh: debootstrap failed; the whole log is $root.debootstrap.log" >&2
        exit 1
    }
    touch "$root/.lumi-debootstrapped"
fi
{
    printf 'Types: deb\nURIs: %s\nSuites: %s %s-updates\nComponents: main\n' \
        "$registry" "$release" "$release"
    printf 'Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg\n'
    if [ -n "$security" ]; then
        printf '\nTypes: deb\nURIs: %s\nSuites: %s-security\nComponents: main\n' \
            "$security" "$release"
        printf 'Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg\n'
    fi
} >"$root/etc/apt/sources.list.d/debian.sources"
rm -f "$root/etc/apt/sources.list"
# Package installations inside the system start no services.
printf '#!/bin/sh\nexit 101\n' >"$root/usr/sbin/policy-rc.d"
chmod 755 "$root/usr/sbin/policy-rc.d"
cp /etc/resolv.conf "$root/etc/resolv.conf" 2>/dev/null || true

mount_into proc proc /proc
mount_into sysfs sysfs /sys
mount_into bind /dev /dev
mount_into tmpfs tmpfs /tmp -o mode=1777
mount_into tmpfs tmpfs /run -o mode=755

# The checkout as it is, without this machine's build folders.
mkdir -p "$root/src"
rsync -a --delete --exclude='/build*' --exclude='/.git' ./ "$root/src/"

# The system's own apt lists are read once per run; tools/test.sh then installs by name.
chroot "$root" apt-get update -q >/dev/null
chroot "$root" env -i HOME=/root PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    LANG=C.UTF-8 TERM=dumb CI="${CI:-}" DEBIAN_FRONTEND=noninteractive \
    bash -c 'cd /src && tools/test.sh "$@"' tools/test.sh "${stages[@]}"
