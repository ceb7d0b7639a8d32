#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The Vistral developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Installs the build into a scratch DESTDIR and checks what a desktop sees:
# every file in its place, the desktop entry valid without a word from
# desktop-file-validate, the AppStream metadata valid without a single warning,
# the version and licence in the metadata the project's own, and no web address
# but those the build was given; the manual pages, the copyright file and the
# changelog in their places, the pages without a warning from man.
#
#   install_check.sh BUILD_DIR VERSION APP_ID
#
# Exit status: 0 passed, 1 failed, 77 skipped (validators missing outside CI).
#
# The checks are conditions in single quotes, evaluated by check_that(), so the
# variables they name are used there.
# shellcheck disable=SC2016,SC2034
set -uo pipefail

build=$1
version=$2
app_id=$3
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=../e2e/xsession.sh
source "$here/../e2e/xsession.sh"

need_tools desktop-file-validate appstreamcli man

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
DESTDIR=$root cmake --install "$build" --prefix /usr >"$root.log" 2>&1 ||
    { cat "$root.log"; rm -f "$root.log"; fail "cmake --install failed"; }
rm -f "$root.log"
usr=$root/usr


desktop=$usr/share/applications/$app_id.desktop
metainfo=$usr/share/metainfo/$app_id.metainfo.xml
check_that "bin/Vistral is an executable" '[[ -x $usr/bin/Vistral ]]'
check_that "desktop entry $app_id.desktop" '[[ -f $desktop ]]'
check_that "AppStream metadata $app_id.metainfo.xml" '[[ -f $metainfo ]]'
# Width x height from a PNG's header.
png_size() {
    od -An -tu1 -j16 -N8 "$1" | awk '{ print $1*16777216 + $2*65536 + $3*256 + $4 "x" \
                                             $5*16777216 + $6*65536 + $7*256 + $8 }'
}
for size in 32 64 128 256; do
    icon=$usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png
    check_that "icon ${size}x${size}" '[[ -f $icon && $(png_size "$icon") == "${size}x${size}" ]]'
done

# English and Bulgarian manual pages: filled in with this version, and nothing
# for man to warn about (the same check as lintian's).
for page in man/man1/Vistral.1.gz man/bg/man1/Vistral.1.gz; do
    check_that "manual page $page, version $version, no warning" \
        '[[ -f $usr/share/$page ]] && zgrep -q "\"Vistral $version\"" "$usr/share/$page" &&
         [[ -z $(man --warnings -E UTF-8 -l -Tutf8 -Z "$usr/share/$page" 2>&1 >/dev/null) ]]'
done
doc=$usr/share/doc/vistral
check_that "machine-readable copyright file" \
    '[[ $(head -n1 "$doc/copyright") == "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/" ]]'
check_that "changelog.gz starts with version $version" \
    '[[ $(zcat "$doc/changelog.gz" | head -n1) == "vistral ($version) "* ]]'

# A tool that prints an error or a warning fails the check, even when its exit
# status is 0; hints and notes are shown but pass, unless --silent asks for no
# output at all.
validate() {
    local silent='' name output status
    [[ $1 == --silent ]] && silent=1 && shift
    name=$1
    shift
    output=$("$@" 2>&1)
    status=$?
    [[ -n $output ]] && sed 's/^/     /' <<<"$output"
    check_that "$name" '((status == 0)) && [[ -z $silent || -z $output ]] &&
        ! grep -qiE "(^|: )(error|warning)|^[EW]: " <<<"$output"'
}
validate --silent "desktop-file-validate prints nothing" desktop-file-validate "$desktop"
validate "appstreamcli validate --pedantic" appstreamcli validate --no-net --pedantic "$metainfo"
validate "appstreamcli validate-tree" appstreamcli validate-tree --no-net "$usr"

field() { sed -n "s/^$1=//p" "$desktop"; }
check_that "desktop Exec is the installed program" '[[ $(field Exec) == Vistral && -x $usr/bin/$(field TryExec) ]]'
check_that "desktop Icon is the installed icon" '[[ $(field Icon) == "$app_id" ]]'
check_that "desktop Categories" '[[ $(field Categories) == "Utility;Calculator;" ]]'
check_that "desktop Name" '[[ $(field Name) == Vistral ]]'
check_that "metainfo release is $version" 'grep -q "<release version=\"$version\"" "$metainfo"'
check_that "metainfo launchable is the desktop entry" \
    'grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo"'
check_that "metainfo project licence" \
    'grep -q "<project_license>GPL-3.0-or-later</project_license>" "$metainfo"'
check_that "no unfilled @placeholder@" '! grep -l "@[A-Z_]*@" "$desktop" "$metainfo"'
# The addresses the build was configured with, none by default; no other may appear.
cached() { sed -n "s/^$1:STRING=//p" "$build/CMakeCache.txt"; }
given=$(printf '%s\n' "$(cached VISTRAL_HOMEPAGE)" "$(cached VISTRAL_SCREENSHOT_URL)" | sed '/^$/d' | sort -u)
shown=${given:-none}
check_that "web addresses only those given (${shown//$'\n'/, })" \
    '[[ $(grep -oh "http[^<\"[:space:]]*" "$desktop" "$metainfo" | sort -u) == "$given" ]]'

if ((failures)); then
    echo "$failures check(s) failed"
    exit 1
fi
echo "all checks passed"
