#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The Vistral developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# tools/sign.sh on copies of the build's Vistral.exe and MSI (target msi):
#   - without a certificate it changes nothing;
#   - with a throw-away self-signed one, made here, it signs both in place, and
#     osslsigncode verifies the SHA-256 signatures against that certificate.
#
#   sign_check.sh BUILD_DIR VERSION 64|32
#
# Exit status: 0 passed, 1 failed, 77 skipped (tools missing outside CI).
# shellcheck disable=SC2016 # check_that evaluates the single-quoted conditions
set -uo pipefail

build=$1
version=$2
bits=$3
here=$(cd "$(dirname "$0")" && pwd)
sign=$here/../../tools/sign.sh
# shellcheck source-path=SCRIPTDIR source=../e2e/xsession.sh
source "$here/../e2e/xsession.sh"

need_tools osslsigncode openssl wixl

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cmake --build "$build" --target msi >"$work/msi.log" 2>&1 || { cat "$work/msi.log"; fail "target msi failed"; }
cp "$build/app/Vistral.exe" "$build/vistral-$version-win$bits.msi" "$work/"
files=("$work/Vistral.exe" "$work/vistral-$version-win$bits.msi")
sha256sum "${files[@]}" >"$work/unsigned.sha256"

env -u VISTRAL_SIGN_PKCS12 bash "$sign" "${files[@]}" || fail "sign.sh without a certificate failed"
check_that "without a certificate nothing is signed" 'sha256sum --quiet -c "$work/unsigned.sha256"'

printf 'throw-away\n' >"$work/password"
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Vistral test signer" \
    -addext "extendedKeyUsage=codeSigning" -keyout "$work/key.pem" -out "$work/cert.pem" 2>/dev/null &&
    openssl pkcs12 -export -inkey "$work/key.pem" -in "$work/cert.pem" -out "$work/cert.p12" \
        -passout "file:$work/password" || fail "making the throw-away certificate failed"
VISTRAL_SIGN_PKCS12=$work/cert.p12 VISTRAL_SIGN_PASSWORD_FILE=$work/password \
    bash "$sign" "${files[@]}" || fail "sign.sh failed"
for file in "${files[@]}"; do
    verified=0
    osslsigncode verify -CAfile "$work/cert.pem" -in "$file" >"$work/verify.log" 2>&1 &&
        grep -q "Message digest algorithm *: SHA256" "$work/verify.log" &&
        grep -q "Text description: Vistral" "$work/verify.log" && verified=1
    check_that "$(basename "$file") signed (SHA-256, \"Vistral\"), verified against the certificate" \
        '((verified))'
    ((verified)) || cat "$work/verify.log"
done

if ((failures)); then
    echo "$failures check(s) failed"
    exit 1
fi
echo "all checks passed"
