# SPDX-FileCopyrightText: 2026 The Vistral developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# shellcheck shell=bash
# Sourced by the scripts that run Windows programs under wine.
#
#   use_wine_prefix DIR    exports what every wine command of the script then
#                          uses: the 64-bit prefix DIR, nothing offered for
#                          download (no Mono, no Gecko), no menu entries or file
#                          associations written into $HOME, quiet debug channels
#   make_wine_prefix DIR   the same, after making a fresh prefix in DIR
#   stop_wine_prefix       ends every process of the prefix and its wineserver
#   wine_loader PROGRAM    prints the loader that runs PROGRAM.exe in its own
#                          process: WINE64 for a 64-bit program, WINE32 for a
#                          32-bit one (wine64 would start it in a process of its
#                          own, which a test waiting for its window cannot follow)
#
# WINE64 names the 64-bit loader, which runs 64-bit programs without any 32-bit
# support installed; WINE32 the 32-bit one of Debian's wine32, which runs 32-bit
# programs in the same 64-bit prefix, as 64-bit Windows does.

WINE64=${WINE64:-$(command -v wine64 || echo /usr/lib/wine/wine64)}
WINE32=${WINE32:-/usr/lib/wine/wine}
export WINE64 WINE32

wine_loader() {
    local header machine
    # The PE header's offset is at 0x3c; its machine field follows "PE\0\0".
    header=$(od -An -t u4 -j 60 -N 4 "$1" | tr -d ' ')
    machine=$(od -An -t x2 -j $((header + 4)) -N 2 "$1" | tr -d ' ')
    if [[ $machine == 014c ]]; then
        echo "$WINE32"
    else
        echo "$WINE64"
    fi
}

use_wine_prefix() {
    export WINEPREFIX=$1
    export WINEARCH=win64
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
}

make_wine_prefix() {
    use_wine_prefix "$1"
    mkdir -p "$WINEPREFIX"
    "$WINE64" wineboot -i >/dev/null 2>&1
    wineserver -w
}

stop_wine_prefix() {
    if [[ -n ${WINEPREFIX:-} ]]; then
        wineserver -k 2>/dev/null || true
    fi
}
