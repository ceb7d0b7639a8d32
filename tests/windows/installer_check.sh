#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The Vistral developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# The installer's round trip under wine, in a fresh 64-bit prefix on a private
# Xvfb, with the installer that cpack builds from BUILD_DIR (64-bit or 32-bit, as
# the build is):
#   - its pages speak Bulgarian under a Bulgarian locale, English under another;
#   - /S installs the files, the Start-menu shortcut and the entry in Add/Remove
#     Programs where Windows expects a program of its width: the 64-bit one under
#     Program Files and in the 64-bit registry view, the 32-bit one under
#     Program Files (x86) and in the 32-bit view;
#   - the installed program shows its window and, closed, ends with status 0;
#   - the uninstaller with /S leaves no file, shortcut or registry key behind.
#
#   installer_check.sh BUILD_DIR VERSION 64|32
#
# Exit status: 0 passed, 1 failed, 77 skipped (tools missing outside CI).
# The checks are conditions in single quotes, evaluated by check_that(), so the
# variables they name are used there.
# shellcheck disable=SC2016,SC2034
set -uo pipefail

build=$1
version=$2
bits=$3
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source-path=SCRIPTDIR source=../e2e/xsession.sh
source "$here/../e2e/xsession.sh"
# shellcheck source-path=SCRIPTDIR source=wineprefix.sh
source "$here/wineprefix.sh"

need_tools cpack makensis Xvfb xdotool wineserver "$WINE64"
((bits == 64)) || need_tools "$WINE32"

work=$(mktemp -d)
cleanup() {
    stop_wine_prefix
    stop_session
    rm -rf "$work"
}
trap cleanup EXIT

cpack -G NSIS --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; fail "cpack -G NSIS failed"; }
installer=$work/vistral-$version-win$bits.exe
echo "installer: $(stat -c %s "$installer") bytes"
# The installer and the program are of the same width, and so is their loader.
wine=$(wine_loader "$installer")

start_xvfb 1024x768x24
make_wine_prefix "$work/prefix"

# The caption of the installer's first page when wine runs under locale $1.
installer_caption() {
    local id='' i
    start_program env LANG="$1" LC_ALL="$1" "$wine" "$installer"
    for ((i = 0; i < 200; i++)); do
        id=$(xdotool search --onlyvisible --pid "$PROGRAM_PID" 2>/dev/null | head -n1)
        [[ -n $id ]] && break
        sleep 0.1
    done
    [[ -n $id ]] && xdotool getwindowname "$id"
    kill "$PROGRAM_PID" 2>/dev/null
    wait "$PROGRAM_PID" 2>/dev/null
}
check_that "the installer speaks Bulgarian under bg_BG" \
    '[[ $(installer_caption bg_BG.UTF-8) == "Инсталиране на Vistral"* ]]'
check_that "and English under de_DE" '[[ $(installer_caption de_DE.UTF-8) == "Vistral Setup"* ]]'

"$wine" "$installer" /S || fail "the silent install failed"
if ((bits == 64)); then
    program_files='Program Files' view=64 other_view=32
else
    program_files='Program Files (x86)' view=32 other_view=64
fi
folder="C:\\$program_files\\Vistral"
dir="$WINEPREFIX/drive_c/$program_files/Vistral"
shortcut="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Vistral.lnk"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Vistral'
for file in Vistral.exe Uninstall.exe LICENSE.txt LICENSES/GPL-3.0-or-later.txt; do
    check_that "installed $file" '[[ -s $dir/$file ]]'
done
check_that "Start-menu shortcut Vistral to the program" \
    '[[ -f $shortcut ]] && grep -qaF "$folder\Vistral.exe" "$shortcut"'

entry=$("$WINE64" reg query "$key" /reg:$view | tr -d '\r')
value() { sed -n "s/^ *$1 *REG_[A-Z_]* *//p" <<<"$entry"; }
check_that "uninstall entry: DisplayName" '[[ $(value DisplayName) == Vistral ]]'
check_that "uninstall entry: DisplayVersion $version" '[[ $(value DisplayVersion) == "$version" ]]'
check_that "uninstall entry: Publisher" '[[ $(value Publisher) == "The Vistral developers" ]]'
check_that "uninstall entry: DisplayIcon" '[[ $(value DisplayIcon) == "$folder\Vistral.exe,0" ]]'
check_that "uninstall entry: EstimatedSize in KiB" '[[ $(value EstimatedSize) =~ ^0x0*[1-9a-f] ]]'
check_that "uninstall entry: UninstallString" \
    '[[ $(value UninstallString) == "\"$folder\Uninstall.exe\"" ]]'
check_that "no uninstall entry in the $other_view-bit registry view" \
    '! "$WINE64" reg query "$key" /reg:$other_view >/dev/null 2>&1'

start_program "$wine" "$folder\Vistral.exe"
wait_window
# taskkill without /F sends WM_CLOSE to the program's windows, as the close box does.
close_by_taskkill() { "$WINE64" taskkill /IM Vistral.exe >/dev/null 2>&1; }
close_window close_by_taskkill "$WINDOW"
check_that "the installed program ends with status 0 when closed" '[[ $PROGRAM_STATUS == 0 ]]'

"$wine" "$folder\Uninstall.exe" /S || fail "the silent uninstall failed"
wineserver -w # the uninstaller works on from a copy in the temporary folder
check_that "uninstalled: no folder $program_files\Vistral" '[[ ! -e $dir ]]'
check_that "uninstalled: no shortcut" '[[ ! -e $shortcut ]]'
check_that "uninstalled: no uninstall entry" '! "$WINE64" reg query "$key" /reg:$view >/dev/null 2>&1'

if ((failures)); then
    echo "$failures check(s) failed"
    exit 1
fi
echo "all checks passed"
