#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The Vistral developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# The built program as a screen reader meets it, through the real accessibility
# bus: a private Xvfb and a private D-Bus session, in which the first client to
# ask starts at-spi-bus-launcher, as on a desktop, and accessibility_client.py
# (Debian's python3-pyatspi) is the screen reader. The bus ends with the session.
#
#   accessibility_e2e.sh PATH/TO/Vistral
#
# Exit status: 0 passed, 1 failed, 77 skipped (tools missing outside CI).
set -uo pipefail

vistral=$1
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=xsession.sh
source "$here/xsession.sh"
# Debian's own Python, the one python3-pyatspi is installed for.
python=/usr/bin/python3

need_tools Xvfb xdotool dbus-run-session /usr/libexec/at-spi-bus-launcher "$python"
"$python" -c 'import pyatspi' 2>/dev/null || need_tools python3-pyatspi
[[ -x $vistral ]] || fail "no program at $vistral"

start_xvfb
dbus-run-session -- "$python" "$here/accessibility_client.py" "$vistral"
