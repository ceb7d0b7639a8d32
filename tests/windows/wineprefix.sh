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
#
# WINE64 names the 64-bit loader, which runs 64-bit programs without any 32-bit
# support installed.

WINE64=${WINE64:-$(command -v wine64 || echo /usr/lib/wine/wine64)}
export WINE64

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
