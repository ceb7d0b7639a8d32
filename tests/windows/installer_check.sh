#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The Vistral developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# The installers' round trips under wine, in a fresh 64-bit prefix on a private
# Xvfb, with the NSIS installer that cpack builds from BUILD_DIR (64-bit or
# 32-bit, as the build is), then with the MSI of the build's target msi:
#   - the NSIS installer's pages speak Bulgarian under a Bulgarian locale,
#     English under another;
#   - /S, and msiexec /i /qn, install the files, the Start-menu shortcut and the
#     entry in Add/Remove Programs where Windows expects a program of its width:
#     the 64-bit one under Program Files and in the 64-bit registry view, the
#     32-bit one under Program Files (x86) and in the 32-bit view;
#   - the installed program shows its window and, closed, ends with status 0;
#   - a later version of the MSI replaces it in place;
#   - the uninstaller with /S, and msiexec /x /qn, leave no file, shortcut or
#     registry key behind.
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

need_tools cpack makensis wixl msiinfo python3 Xvfb xdotool wineserver "$WINE64"
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

if ((bits == 64)); then
    program_files='Program Files' view=64 other_view=32 msi_arch=x64
else
    program_files='Program Files (x86)' view=32 other_view=64 msi_arch=x86
fi
folder="C:\\$program_files\\Vistral"
dir="$WINEPREFIX/drive_c/$program_files/Vistral"
uninstall='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'

# check_installed KEY SHORTCUT FILE...: the FILEs in the program's folder, the
# shortcut to the program, the uninstall entry KEY in the program's registry view
# only; sets ENTRY to the entry's values.
check_installed() {
    local key=$1 shortcut=$2 file
    shift 2
    for file; do
        check_that "installed $file" '[[ -s $dir/$file ]]'
    done
    check_that "installed the build's Vistral.exe byte for byte (a signature survives packing)" \
        'cmp -s "$dir/Vistral.exe" "$build/app/Vistral.exe"'
    check_that "Start-menu shortcut Vistral to the program" \
        '[[ -f $shortcut ]] && grep -qaF "$folder\Vistral.exe" "$shortcut"'
    ENTRY=$("$WINE64" reg query "$key" /reg:$view | tr -d '\r')
    check_that "uninstall entry: DisplayName" '[[ $(value DisplayName) == Vistral ]]'
    check_that "uninstall entry: DisplayVersion $version" '[[ $(value DisplayVersion) == "$version" ]]'
    check_that "uninstall entry: Publisher" '[[ $(value Publisher) == "The Vistral developers" ]]'
    check_that "no uninstall entry in the $other_view-bit registry view" \
        '! "$WINE64" reg query "$key" /reg:$other_view >/dev/null 2>&1'
}
value() { sed -n "s/^ *$1 *REG_[A-Z_]* *//p" <<<"$ENTRY"; }

check_program_runs() {
    start_program "$wine" "$folder\Vistral.exe"
    wait_window
    # taskkill without /F sends WM_CLOSE to the program's windows, as the close box does.
    close_by_taskkill() { "$WINE64" taskkill /IM Vistral.exe >/dev/null 2>&1; }
    close_window close_by_taskkill "$WINDOW"
    check_that "the installed program ends with status 0 when closed" '[[ $PROGRAM_STATUS == 0 ]]'
}

# check_removed KEY SHORTCUT
check_removed() {
    check_that "uninstalled: no folder $program_files\Vistral" '[[ ! -e $dir ]]'
    check_that "uninstalled: no shortcut" '[[ ! -e $2 ]]'
    check_that "uninstalled: no uninstall entry" '! "$WINE64" reg query "$1" /reg:$view >/dev/null 2>&1'
}

"$wine" "$installer" /S || fail "the silent install failed"
key="$uninstall\Vistral"
shortcut="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Vistral.lnk"
check_installed "$key" "$shortcut" Vistral.exe Uninstall.exe LICENSE.txt LICENSES/GPL-3.0-or-later.txt
check_that "uninstall entry: DisplayIcon" '[[ $(value DisplayIcon) == "$folder\Vistral.exe,0" ]]'
check_that "uninstall entry: EstimatedSize in KiB" '[[ $(value EstimatedSize) =~ ^0x0*[1-9a-f] ]]'
check_that "uninstall entry: UninstallString" \
    '[[ $(value UninstallString) == "\"$folder\Uninstall.exe\"" ]]'
check_program_runs
"$wine" "$folder\Uninstall.exe" /S || fail "the silent uninstall failed"
wineserver -w # the uninstaller works on from a copy in the temporary folder
check_removed "$key" "$shortcut"

# The MSI (that it is the same bytes when built again is the release's check).
# Windows Installer writes the uninstall entry under the product code and
# publishes the icon as the product's ProductIcon. Windows puts the shortcut of a
# per-machine package into the Start menu of all users, wine's msi into the
# user's (it ignores ALLUSERS).
cmake --build "$build" --target msi >"$work/msi.log" 2>&1 || { cat "$work/msi.log"; fail "target msi failed"; }
msi=$build/vistral-$version-win$bits.msi

product_code() { msiinfo export "$1" Property | tr -d '\r' | sed -n 's/^ProductCode\t//p'; }
code=$(product_code "$msi")
key="$uninstall\\$code"
shortcut=$(echo "$WINEPREFIX"/drive_c/users/*/AppData/Roaming/Microsoft/Windows/Start\ Menu/Programs)/Vistral.lnk
"$WINE64" msiexec /i "$msi" /qn || fail "msiexec /i /qn failed"
check_installed "$key" "$shortcut" Vistral.exe LICENSE.txt LICENSES/GPL-3.0-or-later.txt
check_that "uninstall entry: UninstallString" '[[ $(value UninstallString) == "MsiExec.exe /X$code" ]]'
check_that "the product's icon" '"$WINE64" reg query "HKLM\Software\Classes\Installer\Products" /s |
    grep -qF "ProductIcon    REG_SZ    C:\\windows\\Installer\\$code\\vistral.ico" &&
    [[ -s $WINEPREFIX/drive_c/windows/Installer/$code/vistral.ico ]]'
check_program_runs

# The next version (Windows Installer reads three parts) has a ProductCode of its own.
IFS=. read -r major minor build_number _ <<<"$version"
next_version=$major.$minor.$((build_number + 1)).0
sed -e "s/\"$version\"/\"$next_version\"/" -e "s/${code:1:36}/00000000-0000-0000-0000-000000000001/" \
    "$build/vistral.wxs" >"$work/next.wxs"
python3 "$here/../../cmake/make_msi.py" wixl "$work/next.wxs" $msi_arch "$build/msi-stage" \
    "$build/app/win32/vistral.ico" "$work/next.msi" || fail "packing the next version failed"
"$WINE64" msiexec /i "$work/next.msi" /qn || fail "msiexec /i /qn of the next version failed"
next_key="$uninstall\\$(product_code "$work/next.msi")"
check_that "the next version replaces this one" \
    '! "$WINE64" reg query "$key" /reg:$view >/dev/null 2>&1 && [[ -s $dir/Vistral.exe && -f $shortcut ]] &&
     "$WINE64" reg query "$next_key" /reg:$view | grep -qF "REG_SZ    $next_version"'
"$WINE64" msiexec /x "$work/next.msi" /qn || fail "msiexec /x /qn failed"
check_removed "$next_key" "$shortcut"
check_that "uninstalled: nothing left to Windows Installer" \
    '! "$WINE64" reg query "HKLM\Software\Classes\Installer\Products" /s 2>/dev/null | grep -q Vistral &&
     [[ ! -e $WINEPREFIX/drive_c/windows/Installer/$code ]]'

if ((failures)); then
    echo "$failures check(s) failed"
    exit 1
fi
echo "all checks passed"
