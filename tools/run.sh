#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The Vistral developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Sets up what is missing, builds Vistral and starts it.
#   tools/run.sh          the desktop program
#   tools/run.sh --web    the web page: builds the site into build/web/site and
#                         serves it on 127.0.0.1 (VISTRAL_PORT, 8765 unless busy),
#                         opened in the desktop's browser where there is a display
set -euo pipefail
cd "$(dirname "$0")/.."

if [[ ${1:-} == --web ]]; then
    bash tools/setup.sh web
    emcmake cmake -S . -B build/web -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build build/web --target site -j"$(nproc)"
    exec 3< <(node tools/serve.mjs build/web/site "${VISTRAL_PORT:-8765}")
    server=$!
    trap 'kill "$server" 2>/dev/null' EXIT
    read -r url <&3
    echo "Vistral is served on $url (Ctrl+C stops it)"
    if [[ -n ${DISPLAY:-} || -n ${WAYLAND_DISPLAY:-} ]] && command -v xdg-open >/dev/null; then
        xdg-open "$url" >/dev/null 2>&1 || true
    fi
    wait "$server"
    exit
fi

bash tools/setup.sh run
cmake -S . -B build/run -DCMAKE_BUILD_TYPE=Release -DVISTRAL_TESTS=OFF -DVISTRAL_BENCH=OFF >/dev/null
cmake --build build/run --target Vistral -j"$(nproc)"

if [[ -z ${DISPLAY:-} && -z ${WAYLAND_DISPLAY:-} ]]; then
    echo "Built build/run/app/Vistral; there is no display to show its window on." >&2
    exit 1
fi
exec build/run/app/Vistral
