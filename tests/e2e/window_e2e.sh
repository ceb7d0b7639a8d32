#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The Vistral developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# End-to-end test of the built program on a real X server, driven as a person
# drives it: keys and mouse clicks through xdotool, the result boxes read back
# by selecting and copying their text, the window closed by its close request.
#
#   window_e2e.sh PATH/TO/Vistral PATH/TO/x11_close
#
# Exit status: 0 passed, 1 failed, 77 skipped (tools missing outside CI).
set -uo pipefail

vistral=$1
x11_close=$2
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=xsession.sh
source "$here/xsession.sh"

need_tools Xvfb xdotool xclip xprop xwininfo
[[ -x $vistral ]] || fail "no program at $vistral"
[[ -x $x11_close ]] || fail "no close helper at $x11_close"

# Points inside each control, in the window's client area: the centre of the
# control's rectangle (twips / 15). Text2 1 overlaps the bottom 3 pixels of
# Text2 0, so the point of Text2 0 stays above them.
declare -A at=(
    [Text2_0]="200 75" [Text2_1]="200 103"
    [Text2_2]="288 101" [Text2_3]="352 101" [Text2_4]="416 101"
    [Text2_5]="288 197" [Text2_6]="352 197" [Text2_7]="416 197"
    [Command1_0]="72 156" [Command1_1]="184 196"
)
results=(Text2_2 Text2_3 Text2_4 Text2_5 Text2_6 Text2_7)
# shellcheck disable=SC2034  # passed to check_fields by name
all_fields=(Text2_0 Text2_1 "${results[@]}")

check() {
    local what=$1 got=$2 want=$3
    if [[ $got == "$want" ]]; then
        echo "ok   $what: '$got'"
    else
        echo "FAIL $what: got '$got', want '$want'"
        failures=$((failures + 1))
    fi
}

click() {
    # shellcheck disable=SC2086
    xdotool mousemove --window "$WINDOW" ${at[$1]} click 1
}

# Put the text on the clipboard from outside the program.
set_clipboard() {
    printf '%s' "$1" | xclip -selection clipboard -i >/dev/null 2>&1
}

# Reads what a box shows: click into it, select all, copy, read the clipboard.
# An empty box copies nothing, so a marker put on the clipboard beforehand
# that is still there means "empty"; the wait for a copy is short when the
# box is expected to be empty and long otherwise.
readonly marker='<nothing was copied>'
read_field() {
    local field=$1 expected=$2 tries=200 i text
    [[ -z $expected ]] && tries=12
    set_clipboard "$marker"
    click "$field"
    xdotool key --clearmodifiers ctrl+a ctrl+c
    for ((i = 0; i < tries; i++)); do
        text=$(xclip -o -selection clipboard 2>/dev/null)
        [[ $text != "$marker" ]] && break
        sleep 0.05
    done
    [[ $text == "$marker" ]] && text=
    printf '%s' "$text"
}

check_fields() {
    local label=$1
    shift
    local -a fields=("${!1}") wants=("${!2}")
    local i
    for i in "${!fields[@]}"; do
        check "$label ${fields[i]}" "$(read_field "${fields[i]}" "${wants[i]}")" "${wants[i]}"
    done
}

# Replaces the text of an input box by typing, as a person does.
type_into() {
    click "$1"
    xdotool key --clearmodifiers ctrl+a BackSpace
    xdotool type --delay 30 "$2"
}

# Viewable top-level windows of the program other than the main window.
other_windows() {
    local id
    for id in $(xdotool search --onlyvisible --pid "$PROGRAM_PID" 2>/dev/null); do
        [[ $id != "$WINDOW" ]] && echo "$id"
    done
}

start_xvfb
start_program "$vistral"
wait_window
echo "window $WINDOW: $(xdotool getwindowname "$WINDOW")"
check "window class" "$(xprop -id "$WINDOW" WM_CLASS | sed 's/.*= //')" '"Vistral", "Vistral"'

# --- What a window manager is told: size, place, fixed border, buttons, icon.
read -r screen_w screen_h < <(xwininfo -root | awk '/Width:/ { w = $2 } /Height:/ { h = $2 }
                                                  END { print w, h }')
geometry=$(xwininfo -id "$WINDOW" | awk '/Absolute upper-left X:/ { x = $4 }
    /Absolute upper-left Y:/ { y = $4 } /Width:/ { w = $2 } /Height:/ { h = $2 }
    END { print w "x" h "+" x "+" y }')
# No window manager, so no frame: the client area itself is centred.
check "client area, centred on the screen" "$geometry" \
    "464x354+$(((screen_w - 464) / 2))+$(((screen_h - 354) / 2))"
hints=$(xprop -id "$WINDOW" WM_NORMAL_HINTS)
check "minimum size" "$(sed -n 's/.*minimum size: //p' <<<"$hints")" "464 by 354"
check "maximum size" "$(sed -n 's/.*maximum size: //p' <<<"$hints")" "464 by 354"
# _MOTIF_WM_HINTS = flags, functions, decorations, ...: neither the minimise nor
# the maximise function (8, 16) nor their buttons (32, 64); closing (32) allowed.
read -r functions decorations < <(xprop -id "$WINDOW" _MOTIF_WM_HINTS |
    sed 's/.*= //; s/,//g' | awk '{ print $2, $3 }')
check "window functions: close, no minimise, no maximise" \
    "$(((functions & 32) != 0)) $(((functions & 8) != 0)) $(((functions & 16) != 0))" "1 0 0"
check "title bar: no minimise or maximise button" \
    "$(((decorations & 32) != 0)) $(((decorations & 64) != 0))" "0 0"
check "window icon" "$(xprop -id "$WINDOW" _NET_WM_ICON | grep -o 'Icon ([0-9]* x [0-9]*)' |
    tr '\n' ' ')" "Icon (32 x 32) "
# A window manager gives a new window the focus; Xvfb runs none.
xdotool windowfocus --sync "$WINDOW"

# --- 100 s a visit, 10 visits: typed after Tab from the description box.
xdotool key Tab
xdotool type --delay 30 100
xdotool key Tab
xdotool type --delay 30 10
click Command1_0
want=(0 1 40 0 16 40)
check_fields "100, 10:" results[@] want[@]
want=(100 10)
# shellcheck disable=SC2034  # passed to check_fields by name
inputs=(Text2_0 Text2_1)
check_fields "100, 10:" inputs[@] want[@]

# --- The read-only result boxes refuse typing and pasting.
click Text2_3
xdotool key --clearmodifiers End
xdotool type --delay 30 7
set_clipboard 9
xdotool key --clearmodifiers ctrl+v
check "typing and pasting into Text2_3" "$(read_field Text2_3 1)" 1

# --- An input box takes five characters at most.
type_into Text2_1 1234567
check "typing 1234567 into Text2_1" "$(read_field Text2_1 12345)" 12345
type_into Text2_1 10

# --- Clear with a click.
click Command1_1
want=("" "" "" "" "" "" "" "")
check_fields "after clicking Изтрий:" all_fields[@] want[@]

# Presses "Изчисли", expects the overflow message and dismisses it with Return.
overflow_round() {
    local label=$1 message='' i
    click Command1_0
    for ((i = 0; i < 200; i++)); do
        message=$(other_windows | head -n1)
        [[ -n $message ]] && break
        sleep 0.05
    done
    if [[ -z $message ]]; then
        check "$label: overflow message shown" "none" "a window"
        return
    fi
    check "$label: the message is transient for the main window" \
        "$(xprop -id "$message" WM_TRANSIENT_FOR | grep -o '0x[0-9a-f]*' | xargs printf '%d')" \
        "$WINDOW"
    echo "message window $message: $(xdotool getwindowname "$message")"
    xdotool windowfocus --sync "$message"
    xdotool key Return
    for ((i = 0; i < 200; i++)); do
        [[ -z $(other_windows) ]] && break
        sleep 0.05
    done
    check "$label: message gone after Return" "$(other_windows | wc -l)" 0
    kill -0 "$PROGRAM_PID" 2>/dev/null || fail "the program ended after the overflow message"
}

# --- Overflow in the total: the message shows, the program goes on with the
# inputs as typed, the new average, and no total (it showed 0 16 40 before).
type_into Text2_0 100
type_into Text2_1 10
click Command1_0
check "100, 10 again: Text2_6" "$(read_field Text2_6 16)" 16
type_into Text2_0 99999
type_into Text2_1 99999
overflow_round "99999, 99999"
want=(99999 99999 27 46 39 "" "" "")
check_fields "99999, 99999:" all_fields[@] want[@]

# --- After the message the focus is back on "Изчисли": Tab leads to "Изтрий",
# and Enter there clears every field.
overflow_round "again"
xdotool key Tab Return
want=("" "" "" "" "" "" "" "")
check_fields "after the message, Tab and Enter:" all_fields[@] want[@]

# --- Close as the window manager's close box would; the program must end with 0.
close_window "$x11_close" "$WINDOW"
check "exit status after closing" "${PROGRAM_STATUS:-still running}" 0

if ((failures)); then
    echo "--- program output"
    cat "$XSESSION_DIR/program.log"
    echo "$failures check(s) failed"
    exit 1
fi
echo "all checks passed"
