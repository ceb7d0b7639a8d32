#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The Vistral developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# The Windows program carries the protections Windows expects, read from its PE
# header as Windows reads them: ASLR (DYNAMIC_BASE) with the base relocations it
# needs kept, high-entropy ASLR on 64-bit, DEP (NX_COMPAT) and Terminal Server
# awareness; gcc's stack protector and _FORTIFY_SOURCE checks are linked in (the
# messages libssp reports a smashed stack or buffer with); and no time stamp.
#
#   hardening_check.sh PATH/TO/Vistral.exe
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

# Both widths of the program are read with the 64-bit tools.
need_tools x86_64-w64-mingw32-objdump strings

header=$(x86_64-w64-mingw32-objdump -p "$exe") || fail "objdump cannot read $exe"
# The flags objdump names under DllCharacteristics, one a line.
flags=$(awk '/^DllCharacteristics/ { on = 1; next } on && /^\t/ { print $1; next } { on = 0 }' <<<"$header")
echo "DllCharacteristics: $(grep '^DllCharacteristics' <<<"$header" | awk '{ print $2 }') ($(echo $flags))"
expected=(DYNAMIC_BASE NX_COMPAT TERMINAL_SERVICE_AWARE)
grep -q '(PE32+)' <<<"$header" && expected+=(HIGH_ENTROPY_VA)
for flag in "${expected[@]}"; do
    check_that "DllCharacteristics has $flag" 'grep -qx "$flag" <<<"$flags"'
done
check_that "base relocations kept for ASLR" \
    '! grep -q "relocations stripped" <<<"$header" &&
     grep -Eq "^Entry 5 [0-9a-f]+ 0*[1-9a-f][0-9a-f]* Base Relocation Directory" <<<"$header"'
texts=$(strings -a "$exe")
check_that "stack protector linked in" 'grep -qF "*** stack smashing detected ***" <<<"$texts"'
check_that "_FORTIFY_SOURCE checks linked in" 'grep -qF "*** buffer overflow detected ***" <<<"$texts"'
check_that "no time stamp in the PE header" \
    'grep -q "^Time/Date.*1970" <<<"$header"'

if ((failures)); then
    echo "$failures check(s) failed"
    exit 1
fi
echo "all checks passed"
