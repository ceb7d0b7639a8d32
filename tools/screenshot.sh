#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The Vistral developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Regenerates docs/screenshot.png: the real window under a private Xvfb, after
# typing 100 (seconds a visit) and 10 (visits) and pressing "Изчисли".
#
#   bash tools/screenshot.sh [--build DIR] [OUTPUT.png]
#
# Builds Vistral first when needed (in build/run by default, the README's run
# build). Xvfb runs no window manager, so the picture is the client area alone,
# without a title bar or frame.
set -euo pipefail
cd "$(dirname "$0")/.."

build=build/run
if [[ ${1:-} == --build ]]; then
    build=$2
    shift 2
fi
output=${1:-docs/screenshot.png}

# shellcheck source=../tests/e2e/xsession.sh
source tests/e2e/xsession.sh
# A missing tool is an error here, not a skipped test.
# shellcheck disable=SC2034  # read by need_tools
XSESSION_SKIP=1
need_tools Xvfb xdotool import cmake

if [[ ! -x $build/app/Vistral ]] || ! cmake --build "$build" --target Vistral >/dev/null 2>&1; then
    cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DVISTRAL_TESTS=OFF -DVISTRAL_BENCH=OFF \
        >/dev/null
    cmake --build "$build" --target Vistral -j"$(nproc)"
fi

start_xvfb 1024x768x24
start_program "$build/app/Vistral"
wait_window
# A window manager would give the new window the focus; Xvfb has none.
xdotool windowfocus --sync "$WINDOW"

# From the description box, which has the focus at start, Tab leads to the two
# input boxes; the button "Изчисли" sits at (16, 144), 113 x 25 pixels.
xdotool key Tab
xdotool type --delay 30 100
xdotool key Tab
xdotool type --delay 30 10
xdotool mousemove --window "$WINDOW" 72 156 click 1
# Away from the window, so that no control is drawn under the mouse pointer.
xdotool mousemove 1000 750
sleep 0.5

mkdir -p "$(dirname "$output")"
import -window "$WINDOW" -strip -define png:exclude-chunks=date,time "png:$output"
echo "wrote $output ($(identify -format '%wx%h' "$output"))"
