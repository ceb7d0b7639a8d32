# SPDX-FileCopyrightText: 2026 The Vistral developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# shellcheck shell=bash
# Shared by the scripts that drive Vistral on a real X server: the end-to-end
# and package tests, the screenshot script and the start-up bench. Source it.
#
#   need_tools TOOL...      missing tools: exit 77 (skipped) on a developer's
#                           machine, exit 1 under CI=true, where they must be there
#   start_xvfb [WxHxD]      starts a private Xvfb on a free display, exports DISPLAY
#   stop_session            ends what start_xvfb and start_program started; start_xvfb
#                           installs it as the EXIT trap unless the script has its own
#                           trap, which must then call it
#   start_program CMD...    starts CMD in the background, sets PROGRAM_PID
#   wait_window             waits until the program's main window is mapped, sets WINDOW
#   close_window CLOSER ID  asks window ID to close as a window manager's close box
#                           does (CLOSER is the x11_close tool), waits up to 10 s for
#                           the program to end and sets PROGRAM_STATUS ("" if it
#                           did not end)
#   start_window_manager    starts openbox on the Xvfb (Debian's configuration) and
#                           waits until it manages the screen; it keeps WM_STATE
#                           on the windows it manages, as a desktop's does
#   start_weston            starts weston inside the Xvfb (its X11 backend, with
#                           Xwayland for the clipboard), sets WESTON_WINDOW (its
#                           output's X window) and XWAYLAND_DISPLAY, and exports
#                           WAYLAND_DISPLAY with QT_QPA_PLATFORM=wayland
#   wayland_toplevels       the program's top-level windows under weston, a line
#                           each: surface id, left, top, right, bottom, title
#   check_that LABEL COND   evaluates COND; prints ok or FAIL and counts failures
#   fail MESSAGE            prints MESSAGE and exits 1

XSESSION_SKIP=77
XVFB_PID=
WESTON_PID=
WM_PID=
PROGRAM_PID=
XSESSION_DIR=
PROGRAM_STATUS=
failures=0

# The main window's title ends with this text (an address may stand before it).
readonly VISTRAL_TITLE='ИТ - времена,  статистика в сайт'

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

need_tools() {
    local missing=() tool
    for tool in "$@"; do
        command -v "$tool" >/dev/null 2>&1 || missing+=("$tool")
    done
    ((${#missing[@]} == 0)) && return 0
    if [[ -n ${CI:-} ]]; then
        fail "missing tools under CI: ${missing[*]} (bash tools/setup.sh test installs them)"
    fi
    echo "SKIP: missing tools: ${missing[*]}" >&2
    exit "$XSESSION_SKIP"
}

stop_session() {
    local status=$?
    if [[ -n $PROGRAM_PID ]] && kill -0 "$PROGRAM_PID" 2>/dev/null; then
        kill "$PROGRAM_PID" 2>/dev/null || true
        wait "$PROGRAM_PID" 2>/dev/null || true
    fi
    if [[ -n $WESTON_PID ]]; then
        kill "$WESTON_PID" 2>/dev/null || true
        wait "$WESTON_PID" 2>/dev/null || true
    fi
    if [[ -n $WM_PID ]]; then
        kill "$WM_PID" 2>/dev/null || true
        wait "$WM_PID" 2>/dev/null || true
    fi
    if [[ -n $XVFB_PID ]]; then
        kill "$XVFB_PID" 2>/dev/null || true
        wait "$XVFB_PID" 2>/dev/null || true
    fi
    if [[ -n $XSESSION_DIR ]]; then
        rm -rf "$XSESSION_DIR"
    fi
    PROGRAM_PID='' WESTON_PID='' WM_PID='' XVFB_PID='' XSESSION_DIR=''
    return "$status"
}

start_xvfb() {
    local screen=${1:-1024x768x24} i
    XSESSION_DIR=$(mktemp -d)
    [[ -z $(trap -p EXIT) ]] && trap stop_session EXIT
    # -displayfd makes Xvfb pick a free display itself and write its number
    # once it accepts connections, so parallel tests never collide.
    Xvfb -displayfd 9 -screen 0 "$screen" -nolisten tcp -noreset \
        9>"$XSESSION_DIR/display" 2>"$XSESSION_DIR/xvfb.log" &
    XVFB_PID=$!
    for ((i = 0; i < 200; i++)); do
        if [[ -s $XSESSION_DIR/display ]]; then
            DISPLAY=":$(head -n1 "$XSESSION_DIR/display")"
            export DISPLAY
            unset WAYLAND_DISPLAY
            export QT_QPA_PLATFORM=xcb
            return 0
        fi
        kill -0 "$XVFB_PID" 2>/dev/null || break
        sleep 0.05
    done
    cat "$XSESSION_DIR/xvfb.log" >&2
    fail "Xvfb did not start"
}

start_window_manager() {
    local i
    # Its settings and cache in the session's folder, not in $HOME.
    XDG_CONFIG_HOME=$XSESSION_DIR/config XDG_CACHE_HOME=$XSESSION_DIR/cache \
        openbox --sm-disable --config-file /etc/xdg/openbox/rc.xml \
        >"$XSESSION_DIR/openbox.log" 2>&1 &
    WM_PID=$!
    for ((i = 0; i < 200; i++)); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
        kill -0 "$WM_PID" 2>/dev/null || break
        sleep 0.05
    done
    cat "$XSESSION_DIR/openbox.log" >&2
    fail "openbox did not start"
}

start_weston() {
    local runtime=$XSESSION_DIR/runtime i
    mkdir -m 700 "$runtime"
    export XDG_RUNTIME_DIR=$runtime
    # A plain black desktop without a panel or animations; the debug protocol
    # lets weston-debug list the windows.
    printf '%s\n' '[core]' 'xwayland=true' '[shell]' 'background-color=0xff000000' \
        'panel-position=none' 'animation=none' 'startup-animation=none' \
        'focus-animation=none' 'close-animation=none' >"$XSESSION_DIR/weston.ini"
    weston --backend=x11-backend.so --width=800 --height=600 --socket=vistral \
        --config="$XSESSION_DIR/weston.ini" --debug --log="$XSESSION_DIR/weston.log" \
        >/dev/null 2>&1 &
    WESTON_PID=$!
    for ((i = 0; i < 400; i++)); do
        XWAYLAND_DISPLAY=$(sed -n 's/.*xserver listening on display \(:[0-9]*\).*/\1/p' \
            "$XSESSION_DIR/weston.log" 2>/dev/null)
        WESTON_WINDOW=$(xwininfo -root -children 2>/dev/null |
            awk '/"Weston Compositor/ { print $1 }')
        [[ -S $runtime/vistral && -n $XWAYLAND_DISPLAY && -n $WESTON_WINDOW ]] && break
        kill -0 "$WESTON_PID" 2>/dev/null || break
        sleep 0.05
    done
    if [[ -z $XWAYLAND_DISPLAY || -z $WESTON_WINDOW ]]; then
        cat "$XSESSION_DIR/weston.log" >&2
        fail "weston did not start"
    fi
    export WAYLAND_DISPLAY=vistral QT_QPA_PLATFORM=wayland
}

wayland_toplevels() {
    weston-debug scene-graph 2>/dev/null | awk -v pid="$PROGRAM_PID" '
        /role xdg_toplevel, PID / {
            mine = index($0, "PID " pid ",") > 0
            id = $0; sub(/.*surface ID /, "", id); sub(/,.*/, "", id)
            title = $0; sub(/^[^\047]*\047/, "", title); sub(/\047 of .*/, "", title)
            next
        }
        mine && /position:/ {
            gsub(/[(),>-]/, " ")
            print id, $2, $3, $4, $5, title
            mine = 0
        }'
}

start_program() {
    "$@" >"$XSESSION_DIR/program.log" 2>&1 &
    PROGRAM_PID=$!
}

# The top-level window of PROGRAM_PID whose title ends with the main window's
# title; fails when none is mapped within 20 seconds or the program exits.
wait_window() {
    local i id
    for ((i = 0; i < 400; i++)); do
        kill -0 "$PROGRAM_PID" 2>/dev/null || {
            cat "$XSESSION_DIR/program.log" >&2
            fail "the program exited before its window showed"
        }
        for id in $(xdotool search --onlyvisible --pid "$PROGRAM_PID" 2>/dev/null); do
            if [[ $(xdotool getwindowname "$id" 2>/dev/null) == *"$VISTRAL_TITLE" ]]; then
                # shellcheck disable=SC2034  # read by the scripts that source this
                WINDOW=$id
                return 0
            fi
        done
        sleep 0.05
    done
    cat "$XSESSION_DIR/program.log" >&2
    fail "no window titled '$VISTRAL_TITLE' within 20 s"
}

close_window() {
    local closer=$1 id=$2 i
    PROGRAM_STATUS=
    "$closer" "$id" || fail "could not send the close request"
    for ((i = 0; i < 200; i++)); do
        if ! kill -0 "$PROGRAM_PID" 2>/dev/null; then
            wait "$PROGRAM_PID"
            # shellcheck disable=SC2034  # read by the scripts that source this
            PROGRAM_STATUS=$?
            PROGRAM_PID=
            return 0
        fi
        sleep 0.05
    done
}

check_that() {
    if eval "$2"; then
        echo "ok   $1"
    else
        echo "FAIL $1"
        failures=$((failures + 1))
    fi
}
