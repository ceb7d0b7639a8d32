#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The Vistral developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Builds the Debian package with CPack, checks its name and control fields, that
# hardening-check finds the packaged program a PIE with stack protection,
# read-only relocations and immediate binding, and that lintian says nothing
# about it (no tag at all, informational ones included), installs it and
# starts the installed program under a private Xvfb until its window shows,
# then closes the window and expects exit status 0.
#
#   package_check.sh BUILD_DIR VERSION PATH/TO/x11_close
#
# Under CI=true as root the package is installed for real with apt-get (and
# removed again afterwards, unless it was installed before); elsewhere it is
# unpacked into a scratch root with dpkg -x and run from there.
#
# Exit status: 0 passed, 1 failed, 77 skipped (tools missing outside CI).
#
# The checks are conditions in single quotes, evaluated by check_that(), so the
# variables they name are used there.
# shellcheck disable=SC2016,SC2034
set -uo pipefail

build=$(cd "$1" && pwd)
version=$2
x11_close=$3
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=../e2e/xsession.sh
source "$here/../e2e/xsession.sh"

need_tools cpack dpkg-deb dpkg-shlibdeps file lintian hardening-check Xvfb xdotool

work=$(mktemp -d)
installed_by_test=
cleanup() {
    local status=$?
    stop_session
    if [[ -n $installed_by_test ]]; then
        apt-get -o DPkg::Lock::Timeout=600 purge -y -qq vistral >/dev/null 2>&1 || echo "could not remove the package" >&2
    fi
    rm -rf "$work"
    return $status
}
trap cleanup EXIT


arch=$(dpkg --print-architecture)
deb=$work/vistral_${version}_${arch}.deb
(cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work") >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; fail "cpack -G DEB failed"; }
[[ -f $deb ]] || { ls "$work"; fail "no $(basename "$deb") was made"; }
echo "built $(basename "$deb") ($(stat -c %s "$deb") bytes)"

control() { dpkg-deb -f "$deb" "$1"; }
depends=$(control Depends)
echo "Depends: $depends"
check_that "package name and version" '[[ $(control Package) == vistral && $(control Version) == "$version" ]]'
check_that "architecture $arch" '[[ $(control Architecture) == "$arch" ]]'
check_that "depends on fonts-liberation2" '[[ $depends == *fonts-liberation2* ]]'
check_that "recommends qt6-wayland" '[[ $(control Recommends) == qt6-wayland ]]'
check_that "library dependencies read off the binary (Qt Widgets, libstdc++)" \
    '[[ $depends == *libqt6widgets6* && $depends == *libstdc++6* ]]'
check_that "section, maintainer and description" \
    '[[ -n $(control Section) && -n $(control Maintainer) && -n $(control Description) ]]'
homepage=$(sed -n 's/^VISTRAL_HOMEPAGE:STRING=//p' "$build/CMakeCache.txt")
check_that "Homepage only the one the build was given (${homepage:-none})" \
    '[[ $(control Homepage) == "$homepage" ]]'
contents=$(dpkg-deb -c "$deb" | awk '{ print $6 }')
for path in ./usr/bin/Vistral ./usr/share/applications/ ./usr/share/metainfo/ \
    ./usr/share/icons/hicolor/32x32/apps/ ./usr/share/man/man1/Vistral.1.gz \
    ./usr/share/man/bg/man1/Vistral.1.gz ./usr/share/doc/vistral/copyright \
    ./usr/share/doc/vistral/changelog.gz; do
    check_that "package holds $path" 'grep -q "^${path//./\\.}" <<<"$contents"'
done
dpkg -x "$deb" "$work/unpacked" || fail "dpkg -x failed"
hardening=$(hardening-check "$work/unpacked/usr/bin/Vistral")
sed 's/^/     /' <<<"$hardening"
for feature in "Position Independent Executable" "Stack protected" "Read-only relocations" \
    "Immediate binding"; do
    check_that "hardening-check: $feature" 'grep -q "^ $feature: yes" <<<"$hardening"'
done
# Every tag counts, down to the notes (I:) and pedantic remarks (P:).
lint=$(lintian --display-info --pedantic "$deb" 2>&1 | grep -v '^running with root privileges')
[[ -n $lint ]] && sed 's/^/     /' <<<"$lint"
check_that "lintian: no tag at all" '! grep -q "^[A-Z]: " <<<"$lint"'

if [[ -n ${CI:-} && $(id -u) -eq 0 ]]; then
    if dpkg-query -W -f='${db:Status-Status}' vistral 2>/dev/null | grep -qx installed; then
        echo "vistral was installed before the test; it is reinstalled and left in place"
    else
        installed_by_test=1
    fi
    DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 install -y -qq "$deb" >"$work/apt.log" 2>&1 ||
        { cat "$work/apt.log"; fail "apt-get install $deb failed"; }
    program=/usr/bin/Vistral
else
    dpkg -x "$deb" "$work/root" || fail "dpkg -x failed"
    program=$work/root/usr/bin/Vistral
fi
check_that "installed program at $program" '[[ -x $program ]]'

start_xvfb
start_program "$program"
# The installed program's main window, found by its title.
window=$(timeout 20 xdotool search --sync --onlyvisible --name "$VISTRAL_TITLE\$" | head -n1)
if [[ -z $window ]]; then
    cat "$XSESSION_DIR/program.log"
    fail "the installed program showed no window titled '$VISTRAL_TITLE'"
fi
echo "window $window: $(xdotool getwindowname "$window")"
close_window "$x11_close" "$window"
check_that "exit status after closing" '[[ ${PROGRAM_STATUS:-running} == 0 ]]'

if ((failures)); then
    echo "$failures check(s) failed"
    exit 1
fi
echo "all checks passed"
