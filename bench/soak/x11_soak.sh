#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The Vistral developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Memory over many overflow messages, the built program driven from outside on a
# bare X server: a private Xvfb without a window manager or session bus. 99999
# and 99999 are typed into the inputs; then every round clicks "Изчисли" with the
# mouse, waits for the message window, gives it the focus and presses Return, and
# waits for the message to close. The program's resident size (VmRSS of its
# /proc status) is read after rounds 50, 150, 300, 600 and 1,000 and the last.
#
#   bash bench/soak/x11_soak.sh [--rounds N] PROGRAM    (default 1000 rounds)
#   e.g. bash bench/soak/x11_soak.sh build/rel/app/Vistral
#
# Prints a line per reading:  rounds=<n> rss_kib=<KiB> seconds=<s>
# Exits 1 if a message does not open or close within 1,000 checks (10 s and more).
set -euo pipefail

rounds=1000
if [[ ${1:-} == --rounds ]]; then
    rounds=$2
    shift 2
fi
[[ $# == 1 && -x $1 ]] || { echo "usage: $0 [--rounds N] PROGRAM" >&2; exit 2; }
program=$(realpath "$1")
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=../../tests/e2e/xsession.sh
source "$here/../../tests/e2e/xsession.sh"
need_tools Xvfb xdotool

# Centres of the two inputs and of "Изчисли", in the window's client area.
stay="200 75" visits="200 103" calculate="72 156"

# The program's viewable windows other than the main window.
messages() {
    xdotool search --onlyvisible --pid "$PROGRAM_PID" 2>/dev/null | grep -vx "$WINDOW" || true
}

message_open() { [[ -n $(messages) ]]; }
message_gone() { [[ -z $(messages) ]]; }

# Runs the check until it holds, 1,000 times at most, 10 ms apart.
wait_for() {
    local i
    for ((i = 0; i < 1000; i++)); do
        "$@" && return 0
        sleep 0.01
    done
    return 1
}

rss_kib() {
    awk '/^VmRSS:/ { print $2 }' "/proc/$PROGRAM_PID/status"
}

start_xvfb
start_program "$program"
wait_window
xdotool windowfocus --sync "$WINDOW"
for box in "$stay" "$visits"; do
    # shellcheck disable=SC2086
    xdotool mousemove --window "$WINDOW" $box click 1 key --clearmodifiers ctrl+a BackSpace \
        type 99999
done

start=$SECONDS
for ((round = 1; round <= rounds; round++)); do
    # shellcheck disable=SC2086
    xdotool mousemove --window "$WINDOW" $calculate click 1
    wait_for message_open || fail "round $round: no message within 10 s"
    xdotool windowfocus --sync "$(messages | head -n1)" key Return
    wait_for message_gone || fail "round $round: the message stayed open"
    case $round in
        50 | 150 | 300 | 600 | 1000 | "$rounds")
            echo "rounds=$round rss_kib=$(rss_kib) seconds=$((SECONDS - start))"
            ;;
    esac
done
