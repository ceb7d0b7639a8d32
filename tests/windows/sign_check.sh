#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The Vistral developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# tools/sign.sh on copies of the build's Vistral.exe and MSI (target msi): without
# a certificate it changes nothing; with a throw-away self-signed one, made here,
# it signs both, and osslsigncode verifies them against that certificate.
#
#   sign_check.sh BUILD_DIR VERSION 64|32
#
# Exit status: 0 passed, 1 failed, 77 skipped (tools missing outside CI).
# shellcheck disable=SC2016 # check_that evaluates the single-quoted conditions
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source-path=SCRIPTDIR source=../e2e/xsession.sh
source "$here/../e2e/xsession.sh"
need_tools osslsigncode openssl wixl
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cmake --build "$1" --target msi >"$work/msi.log" 2>&1 || { cat "$work/msi.log"; fail "target msi failed"; }
cp "$1/app/Vistral.exe" "$1/vistral-$2-win$3.msi" "$work/"
files=("$work/Vistral.exe" "$work/vistral-$2-win$3.msi")
sha256sum "${files[@]}" >"$work/unsigned.sha256"
env -u VISTRAL_SIGN_PKCS12 bash "$here/../../tools/sign.sh" "${files[@]}"
check_that "without a certificate nothing is signed" 'sha256sum --quiet -c "$work/unsigned.sha256"'

echo throw-away >"$work/password"
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Vistral test signer" \
    -addext "extendedKeyUsage=codeSigning" -keyout "$work/key.pem" -out "$work/cert.pem" 2>/dev/null
openssl pkcs12 -export -inkey "$work/key.pem" -in "$work/cert.pem" -out "$work/cert.p12" \
    -passout "file:$work/password" || fail "making the throw-away certificate failed"
VISTRAL_SIGN_PKCS12=$work/cert.p12 VISTRAL_SIGN_PASSWORD_FILE=$work/password \
    bash "$here/../../tools/sign.sh" "${files[@]}" || fail "sign.sh failed"
for file in "${files[@]}"; do
    osslsigncode verify -CAfile "$work/cert.pem" -in "$file" >"$work/verify.log" 2>&1 || cat "$work/verify.log"
    check_that "$(basename "$file") signed (SHA-256, \"Vistral\"), verified against the certificate" \
        'grep -q "^Signature verification: ok" "$work/verify.log" &&
         grep -q "Message digest algorithm *: SHA256" "$work/verify.log" &&
         grep -q "Text description: Vistral" "$work/verify.log"'
done

((failures == 0)) || fail "$failures check(s) failed"
echo "all checks passed"
