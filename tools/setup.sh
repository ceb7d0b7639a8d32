#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The Vistral developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Installs the Debian packages Vistral needs, those that are missing only.
#   tools/setup.sh run    what building and running the program needs
#   tools/setup.sh test   that, plus what every test, sanitizer and fuzz run needs,
#                         and the Windows builds, 64-bit and 32-bit: cross-built,
#                         run under wine, packed
set -euo pipefail

mode=${1:-run}

run_packages=(
    g++ cmake make pkg-config
    qt6-base-dev libgl-dev
    fonts-liberation2
)
test_packages=(
    libgtest-dev libbenchmark-dev
    clang libclang-rt-14-dev
    xvfb xauth xdotool xclip x11-utils libx11-dev libxdamage-dev imagemagick
    dbus at-spi2-core python3-pyatspi
    desktop-file-utils appstream dpkg-dev file lintian reuse man-db
    locales
)
# wine32 comes from Debian's i386 architecture (about 150 MB): it runs the 32-bit
# program and its installer.
windows_packages=(
    g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix googletest python3
    wine wine64 wine32:i386 nsis
)

packages=("${run_packages[@]}")
if [[ $mode == test ]]; then
    packages+=("${test_packages[@]}" "${windows_packages[@]}")
fi

sudo=()
if [[ $(id -u) -ne 0 ]]; then
    sudo=(sudo)
fi

if [[ $mode == test ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    "${sudo[@]}" dpkg --add-architecture i386
fi

missing=()
for p in "${packages[@]}"; do
    if [[ $(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null) != installed ]]; then
        missing+=("$p")
    fi
done

if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" apt-get update -qq
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive \
        apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The reading of numbers must not depend on the locale; the tests prove it under
# a locale whose decimal separator is a comma.
if [[ $mode == test ]] && ! locale -a 2>/dev/null | grep -qix 'bg_BG.utf8'; then
    "${sudo[@]}" sed -i 's/^# *\(bg_BG.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    "${sudo[@]}" locale-gen bg_BG.UTF-8 >/dev/null
fi
