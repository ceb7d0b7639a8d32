#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The Vistral developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Signs Windows programs and packages in place with Authenticode (SHA-256),
# with Debian's osslsigncode, when a certificate is given:
#
#   VISTRAL_SIGN_PKCS12=cert.p12 VISTRAL_SIGN_PASSWORD_FILE=password \
#       tools/sign.sh FILE...
#
# FILE is an .exe or an .msi. VISTRAL_SIGN_PKCS12 names the certificate with its
# private key (PKCS#12), VISTRAL_SIGN_PASSWORD_FILE a file holding its password.
# VISTRAL_SIGN_TIMESTAMP_URL, if set, is the RFC 3161 time-stamping service of the
# certificate's authority: a time-stamped signature stays valid after the
# certificate expires. Without VISTRAL_SIGN_PKCS12 nothing is signed and the
# exit status is 0.
set -euo pipefail

if [[ -z ${VISTRAL_SIGN_PKCS12:-} ]]; then
    echo "sign.sh: no certificate (VISTRAL_SIGN_PKCS12 unset), nothing signed"
    exit 0
fi
: "${VISTRAL_SIGN_PASSWORD_FILE:?sign.sh: VISTRAL_SIGN_PASSWORD_FILE names the file with the password}"

timestamp=()
if [[ -n ${VISTRAL_SIGN_TIMESTAMP_URL:-} ]]; then
    timestamp=(-ts "$VISTRAL_SIGN_TIMESTAMP_URL")
fi
# osslsigncode writes a new file; it takes the place of the unsigned one.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
for file; do
    signed=$scratch/$(basename "$file")
    if ! osslsigncode sign -pkcs12 "$VISTRAL_SIGN_PKCS12" -readpass "$VISTRAL_SIGN_PASSWORD_FILE" \
        -h sha256 -n Vistral "${timestamp[@]}" -in "$file" -out "$signed" >/dev/null; then
        echo "sign.sh: signing $file failed" >&2
        exit 1
    fi
    cat "$signed" >"$file"
    echo "sign.sh: signed $file"
done
