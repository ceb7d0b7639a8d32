#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The Vistral developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# The built program as assistive technology meets it, through the real
# accessibility bus: a private D-Bus session, its own AT-SPI bus from
# at-spi-bus-launcher, a private Xvfb, and accessibility_client.py (Debian's
# python3-pyatspi) as the screen reader.
#
#   accessibility_e2e.sh PATH/TO/Vistral
#
# Exit status: 0 passed, 1 failed, 77 skipped (tools missing outside CI).
set -uo pipefail

vistral=$1
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=xsession.sh
source "$here/xsession.sh"
launcher=/usr/libexec/at-spi-bus-launcher
# Debian's own Python, the one python3-pyatspi is installed for.
python=/usr/bin/python3

need_tools Xvfb xdotool dbus-run-session dbus-send "$launcher" "$python"
"$python" -c 'import pyatspi' 2>/dev/null || need_tools python3-pyatspi
[[ -x $vistral ]] || fail "no program at $vistral"

# Everything runs inside a D-Bus session of its own, which ends with the script.
if [[ -z ${VISTRAL_A11Y_SESSION:-} ]]; then
    VISTRAL_A11Y_SESSION=1 exec dbus-run-session -- bash "$0" "$vistral"
fi

launcher_pid=
end_session() {
    local status=$?
    if [[ -n $launcher_pid ]]; then
        kill "$launcher_pid" 2>/dev/null
        wait "$launcher_pid" 2>/dev/null
    fi
    stop_session
    exit "$status"
}
trap end_session EXIT
start_xvfb

# The accessibility bus, as a desktop session starts it. The launcher also puts
# the bus's address on the X root window, where Qt finds it and turns its
# accessibility on, as for any program on such a desktop.
"$launcher" --launch-immediately >"$XSESSION_DIR/launcher.log" 2>&1 &
launcher_pid=$!
for ((i = 0; i < 200; i++)); do
    dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.NameHasOwner string:org.a11y.Bus 2>/dev/null |
        grep -q 'boolean true' && break
    sleep 0.05
done
((i < 200)) || fail "at-spi-bus-launcher did not start: $(cat "$XSESSION_DIR/launcher.log")"

"$python" "$here/accessibility_client.py" "$vistral"
