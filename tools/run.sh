#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The Vistral developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Sets up what is missing, builds Vistral and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/setup.sh run
cmake -S . -B build/run -DCMAKE_BUILD_TYPE=Release -DVISTRAL_TESTS=OFF -DVISTRAL_BENCH=OFF >/dev/null
cmake --build build/run --target Vistral -j"$(nproc)"

if [[ -z ${DISPLAY:-} && -z ${WAYLAND_DISPLAY:-} ]]; then
    echo "Built build/run/app/Vistral; there is no display to show its window on." >&2
    exit 1
fi
exec build/run/app/Vistral
