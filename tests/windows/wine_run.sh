#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The Vistral developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Runs a Windows program under wine in the prefix PREFIX, made on first use:
#
#   wine_run.sh PREFIX PROGRAM.exe [ARGS...]
#
# The toolchain file makes it the emulator of cross-built programs, so ctest runs
# them in a prefix of the build tree and never in ~/.wine. Tests started together
# wait for one another while the prefix is made. The exit status is the program's.
set -euo pipefail

prefix=$1
shift
# shellcheck source-path=SCRIPTDIR
source "$(dirname "$0")/wineprefix.sh"

# -o: wineboot's wineserver, which outlives the command, must not hold the lock.
# shellcheck disable=SC2016  # the inner script expands its own arguments
flock -o "$prefix.lock" bash -c '
    source "$1"
    [[ -f $2/system.reg ]] || make_wine_prefix "$2"' _ "$(dirname "$0")/wineprefix.sh" "$prefix"
use_wine_prefix "$prefix"
exec "$(wine_loader "$1")" "$@"
