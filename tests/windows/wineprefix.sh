# SPDX-FileCopyrightText: 2026 The Vistral developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Sourced by the scripts that run Windows programs under wine. make_wine_prefix
# DIR makes a fresh 64-bit prefix in DIR and exports what every wine command of
# the script then uses: nothing is offered for download (no Mono, no Gecko), no
# menu entries or file associations are written into $HOME, and wine keeps its
# debug channels quiet. WINE64 names the 64-bit loader, which runs 64-bit
# programs without any 32-bit support installed.

WINE64=${WINE64:-$(command -v wine64 || echo /usr/lib/wine/wine64)}
export WINE64

make_wine_prefix() {
    export WINEPREFIX=$1
    export WINEARCH=win64
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
    mkdir -p "$WINEPREFIX"
    "$WINE64" wineboot -i >/dev/null 2>&1
    wineserver -w
}

# Ends every process of the prefix and its wineserver.
stop_wine_prefix() {
    if [[ -n ${WINEPREFIX:-} ]]; then
        wineserver -k 2>/dev/null || true
    fi
}
