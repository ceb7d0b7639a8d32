#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The Vistral developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Start-up bench: time from exec to the first paint of the window, and peak
# resident memory, for Vistral beside the toolkit's floor (a bare Qt window with
# the same controls, built here) and a peer calculator from Debian (galculator,
# installed here when missing). One private Xvfb without a window manager; the
# programs take turns in every round, so drifts of the machine hit all alike.
#
# On Linux every program runs with two sets of fonts, in turns in the same rounds:
# the base set, this machine's fonts without fonts-noto-core and
# fonts-urw-base35, and the desktop set, with them (some four hundred faces, as on
# a desktop; the bench installs both packages when missing). Each set is a
# private fontconfig configuration (FONTCONFIG_FILE) that reads the system's
# rules from /etc/fonts/conf.d, less those of the two packages in the base set,
# names the font directories itself and keeps its cache in the bench's own
# directory, filled before the first run as a desktop's is.
#
#   bash bench/startup/run.sh [--runs N] [--build DIR] [--peer PROGRAM]
#   bash bench/startup/run.sh --windows WINDIR [--runs N] [--build DIR]
#
# Prints a markdown table for each set of fonts: median and spread (min-max) of
# N runs (default 7), each program's ratio to the bare Qt window, and whether
# Vistral meets its targets: first paint within 1.10x the bare window and under
# half of the peer, peak RSS within 1.1x the bare window.
#
# With --windows, the same for the Windows build under wine: Vistral.exe beside
# a bare Win32 window with the same controls, both from the Windows build
# directory WINDIR (app/Vistral.exe, bench/startup/bare_window_win32.exe; a
# relative WINDIR is taken from the top of the repository, as DIR is), built with
#   cmake -S . -B build/windows --toolchain cmake/mingw-w64.cmake \
#       -DCMAKE_BUILD_TYPE=Release -DVISTRAL_BENCH=ON && cmake --build build/windows
# They run in one fresh wine prefix whose wineserver, and whose desktop process,
# are started before the timed runs (Windows has both running before any program
# starts); the probe is the Linux build's. Target: first paint within 1.15x the
# bare Win32 window.
set -euo pipefail
cd "$(dirname "$0")/../.."

runs=7
build=build/bench
peer=galculator
windows=
usage="usage: $0 [--runs N] [--build DIR] [--peer PROGRAM | --windows WINDIR]"
while (($#)); do
    case $1 in
        --runs) runs=$2; shift 2 ;;
        --build) build=$2; shift 2 ;;
        --peer) peer=$2; shift 2 ;;
        --windows) windows=$2; shift 2 ;;
        *) echo "$usage" >&2; exit 2 ;;
    esac
done

if [[ -n $windows ]]; then
    names=("Vistral.exe" "bare Win32 window")
    programs=("$windows/app/Vistral.exe" "$windows/bench/startup/bare_window_win32.exe")
    for program in "${programs[@]}"; do
        [[ -f $program ]] || { echo "$program is missing: build $windows first" >&2; exit 2; }
    done
    packages=(wine wine64 fonts-liberation2 xvfb libx11-dev libxdamage-dev)
else
    names=("Vistral" "bare Qt window" "$peer")
    packages=(xvfb xdotool libx11-dev libxdamage-dev fontconfig fonts-noto-core fonts-urw-base35)
fi
# The packages whose fonts the desktop set has and the base set has not.
desktop_fonts=(fonts-noto-core fonts-urw-base35)

sudo=()
[[ $(id -u) -ne 0 ]] && sudo=(sudo)
needed=()
[[ -n $windows ]] || command -v "$peer" >/dev/null || needed+=("$peer")
for p in "${packages[@]}"; do
    dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null | grep -qx installed || needed+=("$p")
done
if ((${#needed[@]})); then
    echo "Installing: ${needed[*]}" >&2
    "${sudo[@]}" apt-get -o DPkg::Lock::Timeout=600 update -qq
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive \
        apt-get -o DPkg::Lock::Timeout=600 install -y -qq --no-install-recommends "${needed[@]}" >&2
fi

# Built as a user runs it: a release build, the same as tools/run.sh makes.
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DVISTRAL_TESTS=OFF >/dev/null
if [[ -n $windows ]]; then
    cmake --build "$build" -j"$(nproc)" --target first_paint >&2
else
    cmake --build "$build" -j"$(nproc)" --target Vistral first_paint bare_window >&2
fi

# shellcheck source=../../tests/e2e/xsession.sh
source tests/e2e/xsession.sh
# shellcheck source=../../tests/windows/wineprefix.sh
source tests/windows/wineprefix.sh
finish() {
    local status=$?
    stop_wine_prefix
    (exit "$status")
    stop_session
}
trap finish EXIT
start_xvfb 1024x768x24
# A session without a desktop bus or an accessibility service, the same for all.
export NO_AT_BRIDGE=1
home=$XSESSION_DIR/home
mkdir -p "$home"
export HOME=$home XDG_CONFIG_HOME=$home/.config XDG_CACHE_HOME=$home/.cache

probe=$build/bench/startup/first_paint

# make_font_set DIR [PACKAGE...]: a fontconfig configuration in DIR with the
# system's fonts and rules less those of the PACKAGEs, and its cache filled.
make_font_set() {
    local dir=$1 file
    shift
    local -A excluded=()
    local package
    for package in "$@"; do
        while read -r file; do excluded[$file]=1; done < <(dpkg -L "$package")
    done
    mkdir -p "$dir/conf.d" "$dir/cache"
    for file in /etc/fonts/conf.d/*.conf; do
        [[ -n ${excluded[$file]:-} ]] || ln -s "$(readlink -f "$file")" "$dir/conf.d/${file##*/}"
    done
    {
        echo '<?xml version="1.0"?>'
        echo '<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">'
        echo '<fontconfig>'
        # Every directory that holds files, so that a package's own can be left out.
        find /usr/share/fonts /usr/local/share/fonts -type f -printf '%h\n' 2>/dev/null | sort -u |
            while read -r file; do
                [[ -n ${excluded[$file]:-} ]] || echo "  <dir>$file</dir>"
            done
        echo "  <cachedir>$dir/cache</cachedir>"
        echo "  <include>$dir/conf.d</include>"
        echo '</fontconfig>'
    } >"$dir/fonts.conf"
    FONTCONFIG_FILE=$dir/fonts.conf fc-cache
}
if [[ -n $windows ]]; then
    echo "Making a wine prefix" >&2
    make_wine_prefix "$XSESSION_DIR/wine"
    wineserver -p
    # Wine ends its desktop process (explorer.exe) a moment after the last
    # program that used it and starts it anew with the next one, a cost Windows
    # never has that would fall on either program by chance. A console program
    # waiting for input keeps the desktop for the whole bench.
    mkfifo "$XSESSION_DIR/keep"
    "$WINE64" cmd.exe <"$XSESSION_DIR/keep" >/dev/null 2>&1 &
    exec 3>"$XSESSION_DIR/keep"
    runner=("$WINE64")
    commands=("${programs[@]}")
    sets=("")
    set_files=("")
else
    runner=()
    commands=("$build/app/Vistral" "$build/bench/startup/bare_window" "$(command -v "$peer")")
    echo "Making the sets of fonts" >&2
    make_font_set "$XSESSION_DIR/fonts-base" "${desktop_fonts[@]}"
    make_font_set "$XSESSION_DIR/fonts-desktop"
    sets=("base" "desktop")
    set_files=("$XSESSION_DIR/fonts-base/fonts.conf" "$XSESSION_DIR/fonts-desktop/fonts.conf")
fi
count=${#names[@]}

# measure J: program J % count with the set of fonts J / count.
measure() {
    local i=$(($1 % count)) s=$(($1 / count))
    if [[ -n ${set_files[s]} ]]; then
        FONTCONFIG_FILE=${set_files[s]} "$probe" "${runner[@]}" "${commands[i]}"
    else
        "$probe" "${runner[@]}" "${commands[i]}"
    fi || fail "could not measure ${names[i]}"
}
label() {
    local s=$(($1 / count))
    echo "${names[$1 % count]}${sets[s]:+ (${sets[s]} fonts)}"
}
total=$((count * ${#sets[@]}))

# One unrecorded run each fills the caches (files, fonts, the peer's settings).
for ((j = 0; j < total; j++)); do
    measure "$j" >/dev/null
done

declare -a paint cpu rss
for ((r = 0; r < runs; r++)); do
    for ((k = 0; k < total; k++)); do
        j=$(((r + k) % total))
        line=$(measure "$j")
        echo "run $((r + 1)) $(label "$j"): $line" >&2
        paint[j]+="$(sed 's/.*first_paint_ms=\([0-9.]*\).*/\1/' <<<"$line") "
        cpu[j]+="$(sed 's/.*cpu_ms=\([0-9.]*\).*/\1/' <<<"$line") "
        rss[j]+="$(sed 's/.*peak_rss_kib=\([0-9]*\).*/\1/' <<<"$line") "
    done
done

# "median min max" of a list of numbers.
stats() {
    tr ' ' '\n' <<<"$1" | grep . | sort -g |
        awk '{ v[NR] = $1 } END { m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2;
                                  print m, v[1], v[NR] }'
}
median() { stats "$1" | cut -d' ' -f1; }

if [[ -n $windows ]]; then
    base="bare Win32"
    where="wine $("$WINE64" --version) in one prefix, Xvfb without a window manager"
else
    base="bare Qt"
    where="Xvfb without a window manager"
fi
echo
echo "Start-up under $where, $(nproc) cores, load average" \
    "$(cut -d' ' -f1 /proc/loadavg) at the end: median of $runs interleaved runs (min-max)."
if [[ -n $windows ]]; then
    echo "CPU time is the program's own process; the wineserver's and the desktop process's are not counted."
fi
for s in "${!sets[@]}"; do
    o=$((s * count))
    base_paint=$(median "${paint[o + 1]}")
    base_cpu=$(median "${cpu[o + 1]}")
    base_rss=$(median "${rss[o + 1]}")
    echo
    if [[ -n ${set_files[s]} ]]; then
        fonts=$(FONTCONFIG_FILE=${set_files[s]} fc-list | wc -l)
        if ((s == 0)); then
            echo "The ${sets[s]} set of fonts ($fonts faces: without ${desktop_fonts[*]}):"
        else
            echo "The ${sets[s]} set of fonts ($fonts faces):"
        fi
        echo
    fi
    echo "| program | first paint | CPU time to first paint | peak RSS | vs $base: paint / CPU / RSS |"
    echo "|---|---|---|---|---|"
    for ((i = 0; i < count; i++)); do
        read -r pm pmin pmax <<<"$(stats "${paint[o + i]}")"
        read -r cm cmin cmax <<<"$(stats "${cpu[o + i]}")"
        read -r rm rmin rmax <<<"$(stats "${rss[o + i]}")"
        awk -v name="${names[i]}" -v pm="$pm" -v pmin="$pmin" -v pmax="$pmax" \
            -v cm="$cm" -v cmin="$cmin" -v cmax="$cmax" -v rm="$rm" -v rmin="$rmin" -v rmax="$rmax" \
            -v pb="$base_paint" -v cb="$base_cpu" -v rb="$base_rss" 'BEGIN {
            printf "| %s | %.1f ms (%.1f-%.1f) | %.1f ms (%.1f-%.1f) | %.1f MiB (%.1f-%.1f) | %.2fx / %.2fx / %.2fx |\n",
                   name, pm, pmin, pmax, cm, cmin, cmax, rm / 1024, rmin / 1024, rmax / 1024,
                   pm / pb, cm / cb, rm / rb }'
    done
    echo
    if [[ -n $windows ]]; then
        awk -v v="$(median "${paint[0]}")" -v b="$base_paint" 'BEGIN {
            printf "- first paint within 1.15x the bare Win32 window: %s (%.2fx)\n", v <= 1.15 * b ? "yes" : "NO", v / b
        }'
        continue
    fi
    awk -v v="$(median "${paint[o]}")" -v b="$base_paint" -v p="$(median "${paint[o + 2]}")" \
        -v vr="$(median "${rss[o]}")" -v br="$base_rss" -v peer="$peer" 'BEGIN {
        printf "- first paint within 1.10x the bare Qt window: %s (%.2fx)\n", v <= 1.10 * b ? "yes" : "NO", v / b
        printf "- first paint under half of %s: %s (%.2fx)\n", peer, v < 0.5 * p ? "yes" : "NO", v / p
        printf "- peak RSS within 1.1x the bare Qt window: %s (%.2fx)\n", vr <= 1.1 * br ? "yes" : "NO", vr / br
    }'
done
