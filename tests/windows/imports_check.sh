#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The Vistral developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# The Windows program imports nothing that Windows 7 SP1 lacks: every function of
# its import table is in the list of those it may import, by DLL. A DLL of the
# compiler's (libstdc++-6, libgcc_s_seh-1, libwinpthread-1) would have to be
# shipped beside it, and a function of a later Windows keeps it from starting on
# an earlier one. Its manifest names its processor. Prints its size as built and
# stripped, as the installer and the zip hold it.
#
#   imports_check.sh PATH/TO/Vistral.exe PATH/TO/windows7_imports.txt
#
# Exit status: 0 passed, 1 failed, 77 skipped (tools missing outside CI).
# The checks are conditions in single quotes, evaluated by check_that(), so the
# variables they name are used there.
# shellcheck disable=SC2016,SC2034
set -uo pipefail

exe=$1
allowed_list=$2
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source-path=SCRIPTDIR source=../e2e/xsession.sh
source "$here/../e2e/xsession.sh"

# Both widths of the program are read with the 64-bit tools.
need_tools x86_64-w64-mingw32-objdump x86_64-w64-mingw32-strip

# "dll function" a line, from the import table.
imports=$(x86_64-w64-mingw32-objdump -p "$exe" | awk '
    /DLL Name:/ { dll = tolower($3); next }
    dll != "" && /^\t[0-9a-f]+\t +[0-9]+ +[A-Za-z_]/ { print dll, $3 }' | sort -u)
[[ -n $imports ]] || fail "no import table in $exe"
check_that "$(wc -l <<<"$imports") imported functions, none that Windows 7 SP1 lacks" \
    '[[ -z $(comm -23 <(echo "$imports") <(grep -v "^#" "$allowed_list" | sort -u)) ]]'
comm -23 <(echo "$imports") <(grep -v '^#' "$allowed_list" | sort -u) | sed 's/^/  not in the list: /'

# The manifest names the program's own processor architecture.
architecture=$(x86_64-w64-mingw32-objdump -f "$exe" | sed -n 's/^architecture: \([^,]*\).*/\1/p')
manifest=amd64
[[ $architecture == i386 ]] && manifest=x86
check_that "the manifest names the $manifest processor ($architecture)" \
    'grep -qa "processorArchitecture=\"$manifest\"" "$exe"'

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
