#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Signs Windows programs in place with osslsigncode (Authenticode, SHA-256) when a certificate
# is given in the environment; does nothing, silently, when none is:
#
#   LUMI_SIGN_PKCS12=cert.pfx LUMI_SIGN_PASSWORD=... [LUMI_SIGN_TIMESTAMP=url] \
#       tools/windows_sign.sh program.exe...
#
# LUMI_SIGN_TIMESTAMP names an RFC 3161 time-stamping service (none by default): with it a
# signature stays valid after the certificate expires. A program that already carries a
# signature is left as it is, so that a build that is up to date stays so. tools/windows.sh
# signs lumiscribe.scr and the installer with it, and makensis the uninstaller before packing
# it (src/windows/installer).
set -euo pipefail

[ -n "${LUMI_SIGN_PKCS12:-}" ] || exit 0
if [ ! -r "$LUMI_SIGN_PKCS12" ]; then
    echo "windows_sign.sh: cannot read the certificate $LUMI_SIGN_PKCS12" >&2
    exit 1
fi
timestamp=()
[ -z "${LUMI_SIGN_TIMESTAMP:-}" ] || timestamp=(-ts "$LUMI_SIGN_TIMESTAMP")

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
for program in "$@"; do
    if osslsigncode extract-signature -in "$program" -out "$scratch/signature" >/dev/null 2>&1; then
        rm -f "$scratch/signature"
        continue
    fi
    # The password goes through a pipe, never on a command line that others can list.
    osslsigncode sign -pkcs12 "$LUMI_SIGN_PKCS12" -readpass <(printf '%s' "${LUMI_SIGN_PASSWORD:-}") \
        -h sha256 -n Lumiscribe "${timestamp[@]}" -in "$program" -out "$scratch/signed" >/dev/null ||
        { echo "windows_sign.sh: cannot sign $program" >&2; exit 1; }
    # Written over the file itself, which keeps its mode.
    cat "$scratch/signed" >"$program"
    rm -f "$scratch/signed"
    echo "Signed $program"
done
