#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The Vistral developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Installs the Debian packages Vistral needs, those that are missing only.
#   tools/setup.sh run    what building and running the program needs
#   tools/setup.sh test   that, plus what every test, sanitizer and fuzz run needs:
#                         the Windows builds, 64-bit and 32-bit (cross-built, run
#                         under wine, packed), and the web page's (web-test)
#   tools/setup.sh web    what building and serving the web page needs: Debian's
#                         emscripten (with its prebuilt system libraries) and node
#   tools/setup.sh web-test
#                         that, plus the browsers that drive the page (Chromium,
#                         Firefox ESR, WebKitGTK's MiniBrowser through
#                         WebKitWebDriver), its fonts, and the npm drivers (npm ci)
#   tools/setup.sh release
#                         what tools/release.sh needs to build every artifact: the
#                         Debian package, both Windows programs with their
#                         installers, zips and MSIs, and the web site
set -euo pipefail

mode=${1:-run}

# dpkg-dev's dpkg-buildflags gives the hardening flags of every Linux build.
run_packages=(
    g++ cmake make pkg-config dpkg-dev
    qt6-base-dev libgl-dev
    fonts-liberation2
)
test_packages=(
    libgtest-dev libbenchmark-dev
    clang libclang-rt-14-dev
    xvfb xauth xdotool xclip x11-utils x11-xserver-utils libx11-dev libxdamage-dev imagemagick
    weston xwayland qt6-wayland openbox
    dbus at-spi2-core python3-pyatspi
    desktop-file-utils appstream dpkg-dev devscripts file lintian reuse man-db
    locales
)
# wine32 comes from Debian's i386 architecture (about 150 MB): it runs the 32-bit
# program and its installer.
windows_packages=(
    g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix googletest python3
    wine wine64 wine32:i386 nsis
    wixl msitools osslsigncode openssl
)
# What a release is built with, without the test tools.
release_packages=(
    git file
    g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix nsis wixl osslsigncode
)

web_packages=(
    emscripten cmake make python3 nodejs googletest
)
# MiniBrowser runs on an Xvfb of its test's own; xdotool presses the keys its
# driver cannot.
web_test_packages=(
    chromium firefox-esr webkit2gtk-driver xvfb xdotool fonts-liberation2
)

case $mode in
    run) packages=("${run_packages[@]}") ;;
    test)
        packages=("${run_packages[@]}" "${test_packages[@]}" "${windows_packages[@]}"
            "${web_packages[@]}" "${web_test_packages[@]}")
        ;;
    web) packages=("${web_packages[@]}") ;;
    web-test) packages=("${web_packages[@]}" "${web_test_packages[@]}") ;;
    release)
        packages=("${run_packages[@]}" "${release_packages[@]}" "${web_packages[@]}")
        ;;
    *)
        echo "usage: tools/setup.sh [run|test|web|web-test|release]" >&2
        exit 2
        ;;
esac

sudo=()
if [[ $(id -u) -ne 0 ]]; then
    sudo=(sudo)
fi
# Another apt-get or an unattended upgrade may hold dpkg's lock: wait for it.
apt_get=("${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600)

if [[ $mode == test ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    "${sudo[@]}" dpkg --add-architecture i386
fi

# On CI only, on a machine used once: where the mirror served an i386 list that
# its signed index does not vouch for (its Release names another size), the
# packages of that list are taken as served, if every one of them is the
# version Debian's verified amd64 lists publish too; the list is removed
# afterwards, so that apt keeps nothing it could not check.
install_from_unsigned_lists() {
    local served url list lists=() ok=1 plan='' p v
    served=$(mktemp -d)
    for url in $(sed -n 's|.*Failed to fetch \(http[^ ]*/binary-i386/Packages\.xz\) .*|\1|p' "$update_log" | sort -u); do
        list=/var/lib/apt/lists/$(sed 's|^[a-z]*://||; s|\.xz$||; s|/|_|g' <<<"$url")
        echo "warning: taking $url as served, its size does not match the signed index" >&2
        lists+=("$list")
        /usr/lib/apt/apt-helper download-file "$url" "$served/Packages.xz" &&
            /usr/lib/apt/apt-helper cat-file "$served/Packages.xz" | "${sudo[@]}" tee "$list" >/dev/null ||
            { ok=0; break; }
    done
    rm -rf "$served"
    ((${#lists[@]})) || return 1
    # Each i386 package from those lists must exist at the same version for amd64.
    ((ok)) && plan=$("${apt_get[@]}" install -s --no-install-recommends "$@" 2>&1) || ok=0
    while read -r p v; do
        apt-cache madison "$p:amd64" | awk -F' *[|] *' -v v="$v" '$2 == v {f = 1} END {exit !f}' ||
            { echo "$p $v is not in the signed amd64 lists" >&2; ok=0; }
    done < <(sed -n 's/^Inst \([^ :]*\):i386 .*(\([^ ]*\) [^)]*-security[^)]*).*/\1 \2/p' <<<"$plan")
    ((ok)) && "${apt_get[@]}" install -y -qq --no-install-recommends "$@" || ok=0
    "${sudo[@]}" rm -f "${lists[@]}"
    ((ok))
}

status=0
missing=()
for p in "${packages[@]}"; do
    if [[ $(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null) != installed ]]; then
        missing+=("$p")
    fi
done

if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    # A mirror in the middle of a sync serves lists that do not match their
    # index: try again a little later, then go on with the lists there are (the
    # install says what it cannot find).
    update_log=$(mktemp)
    for try in 1 2 3; do
        "${apt_get[@]}" update -qq 2> >(tee "$update_log" >&2) && break
        if ((try == 3)); then
            echo "apt-get update failed three times; going on with the lists there are" >&2
        else
            sleep 20
        fi
    done
    # The packages of the i386 architecture (wine32) come in an install of their
    # own: where that architecture's lists cannot be had, all else is still set up.
    native=() foreign=()
    for p in "${missing[@]}"; do
        if [[ $p == *:i386 ]]; then foreign+=("$p"); else native+=("$p"); fi
    done
    if ((${#native[@]})); then
        "${apt_get[@]}" install -y -qq --no-install-recommends "${native[@]}"
    fi
    if ((${#foreign[@]})) && ! "${apt_get[@]}" install -y -qq --no-install-recommends "${foreign[@]}" &&
        ! { [[ ${CI:-} == true ]] && install_from_unsigned_lists "${foreign[@]}"; }; then
        echo "could not install ${foreign[*]}: the 32-bit Windows tests will fail" >&2
        status=1
    fi
    rm -f "$update_log"
fi

# The browser driver from npm, at the versions package-lock.json pins (Node's own
# npm; Debian's npm package where Node came without one).
if [[ $mode == web-test || $mode == test ]]; then
    if ! command -v npm >/dev/null; then
        "${apt_get[@]}" install -y -qq --no-install-recommends npm
    fi
    root=$(dirname "$0")/..
    if [[ ! -d $root/node_modules/puppeteer-core ||
        $root/package-lock.json -nt $root/node_modules/.package-lock.json ]]; then
        (cd "$root" && npm ci --no-audit --no-fund)
    fi
fi

# The reading of numbers must not depend on the locale; the tests prove it under
# a locale whose decimal separator is a comma.
if [[ $mode == test ]] && ! locale -a 2>/dev/null | grep -qix 'bg_BG.utf8'; then
    "${sudo[@]}" sed -i 's/^# *\(bg_BG.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    "${sudo[@]}" locale-gen bg_BG.UTF-8 >/dev/null
fi

exit $status
