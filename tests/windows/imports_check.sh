#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The Vistral developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# The Windows program imports only DLLs that every Windows has: KERNEL32, USER32,
# GDI32, the C runtime (msvcrt.dll, or the api-ms-win-crt-* sets of the UCRT),
# and COMCTL32, UxTheme and SHCORE. Any other (libstdc++-6, libgcc_s_seh-1,
# libwinpthread-1) would have to be shipped beside it. Prints its size as built
# and stripped, as the installer and the zip hold it.
#
#   imports_check.sh PATH/TO/Vistral.exe
#
# Exit status: 0 passed, 1 failed, 77 skipped (tools missing outside CI).
# The checks are conditions in single quotes, evaluated by check_that(), so the
# variables they name are used there.
# shellcheck disable=SC2016,SC2034
set -uo pipefail

exe=$1
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source-path=SCRIPTDIR source=../e2e/xsession.sh
source "$here/../e2e/xsession.sh"

need_tools x86_64-w64-mingw32-objdump x86_64-w64-mingw32-strip

dlls=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p')
[[ -n $dlls ]] || fail "no import table in $exe"
allowed='^(kernel32|user32|gdi32|msvcrt|api-ms-win-crt-[a-z0-9-]+|comctl32|uxtheme|shcore)\.dll$'
for dll in $dlls; do
    check_that "imports $dll" '[[ ${dll,,} =~ $allowed ]]'
done

stripped=$(mktemp)
trap 'rm -f "$stripped"' EXIT
x86_64-w64-mingw32-strip -o "$stripped" "$exe"
echo "size of $(basename "$exe"): $(stat -c %s "$exe") bytes as built," \
    "$(stat -c %s "$stripped") stripped (aim: at most $((512 * 1024)))"

if ((failures)); then
    echo "$failures check(s) failed"
    exit 1
fi
echo "all checks passed"
