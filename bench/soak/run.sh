#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The Vistral developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Soak bench: the real window through 5,000 calculate/clear rounds with the
# overflow message every tenth round (bench/soak/soak.cpp), in three settings:
# Qt's offscreen platform; a private Xvfb (xvfb-run); and that Xvfb with
# assistive technology served, on a private D-Bus session whose accessibility
# bus is started first, as a desktop starts it.
#
#   bash bench/soak/run.sh [--build DIR] [--rounds N]
#   bash bench/soak/run.sh --x11 PROGRAM [--rounds N]
#
# DIR is a configured build with VISTRAL_BENCH on (default build/dev); the soak
# target is built there. Prints a markdown table of the resident size (VmRSS) and
# the peak so far (VmHWM) at the start, after 1,000 rounds and after N (default
# 5,000), and the growth from 1,000 rounds to N.
#
# With --x11 it drives the built PROGRAM instead from outside, on a bare Xvfb
# (bench/soak/x11_soak.sh): N (default 1,000) overflow messages opened by a mouse
# click on "Изчисли" and closed by Return, and prints a table row of the resident
# size after 50, 150, 300, 600 and 1,000 of them, and the growth from 50 to N.
set -euo pipefail
cd "$(dirname "$0")/../.."

build=build/dev
rounds=
program=
while (($#)); do
    case $1 in
        --build) build=$2; shift 2 ;;
        --rounds) rounds=$2; shift 2 ;;
        --x11) program=$2; shift 2 ;;
        *) echo "usage: $0 [--build DIR] [--rounds N] | --x11 PROGRAM [--rounds N]" >&2; exit 2 ;;
    esac
done
if [[ -n $program ]]; then
    out=$(bash bench/soak/x11_soak.sh --rounds "${rounds:-1000}" "$program")
    echo "$out" >&2
    echo "| program | 50 | 150 | 300 | 600 | 1,000 messages | growth 50 to ${rounds:-1000} |"
    echo "|---|---|---|---|---|---|---|"
    awk -v program="$program" '
        { for (i = 1; i <= NF; i++) { split($i, kv, "="); v[kv[1]] = kv[2] }
          rss[v["rounds"]] = v["rss_kib"]; last = v["rounds"] }
        END {
            printf "| `%s` |", program
            split("50 150 300 600 1000", at, " ")
            for (i = 1; i <= 5; i++)
                printf (at[i] in rss) ? " %.1f MiB |" : " - |", rss[at[i]] / 1024
            printf " %+.2f MiB |\n", (rss[last] - rss[50]) / 1024
        }' <<<"$out"
    exit 0
fi
rounds=${rounds:-5000}
for tool in xvfb-run dbus-run-session dbus-send; do
    command -v "$tool" >/dev/null || { echo "$tool is missing" >&2; exit 2; }
done
cmake --build "$build" -j2 --target soak >&2
soak=$(realpath "$build/bench/soak/soak")

offscreen() { QT_QPA_PLATFORM=offscreen "$soak" "$rounds"; }
xvfb() { xvfb-run -a "$soak" "$rounds"; }
# The first call to the accessibility bus starts it; the bridge finds it running.
# The program and the rounds reach the inner shell as its $0 and $1.
accessible() {
    # shellcheck disable=SC2016
    dbus-run-session -- sh -c 'dbus-send --session --print-reply --dest=org.a11y.Bus \
        /org/a11y/bus org.a11y.Bus.GetAddress >/dev/null &&
        QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 xvfb-run -a "$0" "$1"' "$soak" "$rounds"
}

echo "| setting | start: RSS | 1,000 rounds: RSS / peak | $rounds rounds: RSS / peak | growth 1,000 to $rounds |"
echo "|---|---|---|---|---|"
for setting in offscreen xvfb accessible; do
    out=$("$setting" 2>/dev/null) || { echo "$setting: the soak failed" >&2; exit 1; }
    echo "$setting:" $'\n'"$out" >&2
    awk -v rounds="$rounds" '
        /^platform=/ { split($1, p, "="); split($2, a, "="); name = p[2] ", accessibility " a[2] }
        /^rounds=/ {
            for (i = 1; i <= NF; i++) { split($i, kv, "="); v[kv[1]] = kv[2] }
            rss[v["rounds"]] = v["rss_kib"] / 1024; peak[v["rounds"]] = v["peak_rss_kib"] / 1024
        }
        END {
            printf "| %s | %.1f MiB | %.1f / %.1f MiB | %.1f / %.1f MiB | %+.2f MiB |\n", name,
                   rss[0], rss[1000], peak[1000], rss[rounds], peak[rounds], rss[rounds] - rss[1000]
        }' <<<"$out"
done
