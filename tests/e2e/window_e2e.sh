#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The Vistral developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# End-to-end test of the built program on a real X server, driven as a person
# drives it: keys and mouse clicks through xdotool, the result boxes read back
# by selecting and copying their text, colours sampled from the window's pixels,
# the window closed by its close request. The same checks drive the Linux build
# and the Windows ones under wine, which run in a fresh prefix made here. What a
# person does in the window and sees there is the table window_rows.txt, which
# the browser's driver reads too; what a window manager is told and the pixels of
# the window are this driver's own.
#
#   window_e2e.sh PATH/TO/x11_close PROGRAM [ARGS...]
#   e.g. window_e2e.sh build/dev/tests/e2e/x11_close build/dev/app/Vistral
#        window_e2e.sh .../x11_close /usr/lib/wine/wine64 build/windows/app/Vistral.exe
#
# Exit status: 0 passed, 1 failed, 77 skipped (tools missing outside CI).
set -uo pipefail

x11_close=$1
shift
program=("$@")
# Typed text beyond ASCII reaches the program (and wine) through the input
# method of its locale: every build runs under the same UTF-8 one.
export LC_ALL=C.UTF-8
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=xsession.sh
source "$here/xsession.sh"

wine=
[[ ${program[-1],,} == *.exe ]] && wine=1
need_tools Xvfb xdotool xclip xprop xwininfo convert ${wine:+wineserver}
[[ -x ${program[0]} ]] || fail "no program at ${program[0]}"
[[ -f ${program[-1]} ]] || fail "no program at ${program[-1]}"
[[ -x $x11_close ]] || fail "no close helper at $x11_close"

# Points inside each control, in the window's client area: the centre of the
# control's rectangle (twips / 15). Text2 1 overlaps the bottom 3 pixels of
# Text2 0, so the point of Text2 0 stays above them.
declare -A at=(
    [Text2_0]="200 75" [Text2_1]="200 103"
    [Text2_2]="288 101" [Text2_3]="352 101" [Text2_4]="416 101"
    [Text2_5]="288 197" [Text2_6]="352 197" [Text2_7]="416 197"
    [Command1_0]="72 156" [Command1_1]="184 196" [Text1_0]="200 280"
)
# The focus mark of a button: a point of the black line around it.
declare -A focus_mark=([Command1_0]="70 168" [Command1_1]="182 208")

check() {
    local what=$1 got=$2 want=$3
    # A box that took a paste past its limit may hold thousands of characters.
    ((${#got} > 80)) && got="${got:0:40}... (${#got} characters)"
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

# Reads what the focused box shows: select all, copy, read the clipboard. An
# empty box copies nothing, so a marker put on the clipboard beforehand that is
# still there means "empty"; the wait for a copy (wine's reaches the X clipboard
# later) is short when the box is expected to be empty and long otherwise.
readonly marker='<nothing was copied>'
copy_focused() {
    local expected=$1 tries=200 i text
    [[ -z $expected ]] && tries=12
    set_clipboard "$marker"
    xdotool key --clearmodifiers ctrl+a ctrl+c
    for ((i = 0; i < tries; i++)); do
        text=$(xclip -o -selection clipboard 2>/dev/null)
        [[ $text != "$marker" ]] && break
        sleep 0.05
    done
    [[ $text == "$marker" ]] && text=
    printf '%s' "$text"
}

read_field() {
    click "$1"
    copy_focused "$2"
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

# The colour at each point of the window's client area, as hex RGB.
pixels() {
    local shot=$XSESSION_DIR/window.png point format=''
    import -window "$WINDOW" "$shot"
    for point in "$@"; do
        format+="%[hex:p{${point/ /,}}] "
    done
    convert "$shot" -format "${format% }" info:
}

# The colours at the points once they are WANT, or after 2 s what they are then:
# painting may lag behind the window's mapping and a change of focus.
settled_pixels() {
    local want=$1 seen i
    shift
    for ((i = 0; i < 40; i++)); do
        seen=$(pixels "$@")
        [[ $seen == "$want" ]] && break
        sleep 0.05
    done
    printf '%s' "$seen"
}

# Expects the overflow message and dismisses it with Return.
overflow_message() {
    local label=$1 message='' i
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

# One step of the table: a verb, a control and a text (see window_rows.txt).
run_step() {
    local verb=${1%% *} rest='' control text got
    [[ $1 == *" "* ]] && rest=${1#* }
    control=${rest%% *}
    text=
    [[ $rest == *" "* ]] && text=${rest#* }
    [[ $text == '""' ]] && text=
    case $verb in
        row) row=$rest ;;
        click) click "$rest" ;;
        type) type_into "$control" "$text" ;;
        typekeys) xdotool type --delay 30 "$rest" ;;
        key)
            # shellcheck disable=SC2086  # one key a word
            xdotool key --clearmodifiers $rest
            ;;
        clipboard) set_clipboard "$rest" ;;
        clipboard-fill) set_clipboard "$(head -c "$control" /dev/zero | tr '\0' "$text")" ;;
        expect) check "$row: $control" "$(read_field "$control" "$text")" "$text" ;;
        expect-focused)
            [[ $rest == '""' ]] && rest=
            check "$row: the focused box" "$(copy_focused "$rest")" "$rest"
            ;;
        expect-focused-start)
            got=$(copy_focused "$rest")
            check "$row: the focused box starts" "${got:0:${#rest}}" "$rest"
            ;;
        expect-focus)
            check "$row: focus mark on $rest" \
                "$(settled_pixels 000000 "${focus_mark[$rest]}")" 000000
            ;;
        overflow-message) overflow_message "$row" ;;
        *) fail "unknown step: $1" ;;
    esac
}

start_xvfb
if [[ -n $wine ]]; then
    # shellcheck source=../windows/wineprefix.sh
    source "$here/../windows/wineprefix.sh"
    trap 'stop_wine_prefix; stop_session' EXIT
    make_wine_prefix "$XSESSION_DIR/wine"
    class='"vistral.exe", "vistral.exe"'
else
    class='"Vistral", "Vistral"'
fi
start_program "${program[@]}"
wait_window
echo "window $WINDOW: $(xdotool getwindowname "$WINDOW")"
check "window class" "$(xprop -id "$WINDOW" WM_CLASS | sed 's/.*= //')" "$class"

# --- What a window manager is told: size, place, fixed border, buttons, icon.
read -r screen_w screen_h < <(xwininfo -root | awk '/Width:/ { w = $2 } /Height:/ { h = $2 }
                                                  END { print w, h }')
read -r width height left top < <(xwininfo -id "$WINDOW" | awk '/Absolute upper-left X:/ { x = $4 }
    /Absolute upper-left Y:/ { y = $4 } /Width:/ { w = $2 } /Height:/ { h = $2 }
    END { print w, h, x, y }')
check "client area, centred across the screen" "${width}x$height+$left" \
    "464x354+$(((screen_w - 464) / 2))"
centre_top=$(((screen_h - 354) / 2))
if [[ -n $wine ]]; then
    # Without a window manager wine keeps the frame to itself and the X window is
    # the client area: the centred frame puts it half a title bar lower.
    check_that "client area half a title bar below the middle" \
        "((top > centre_top && top < centre_top + 20))"
else
    # No window manager, so no frame: the client area itself is centred.
    check "client area, centred down the screen" "$top" "$centre_top"
fi
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
check "window icon" "$(xprop -id "$WINDOW" _NET_WM_ICON | grep -c 'Icon (32 x 32)')" 1

# --- What a person sees: colours sampled where no text stands, and text drawn
# in a label (without a font that covers it, the text may be missing from the
# screen while the clipboard still reads right).
colours=(
    "window back colour|5 60|C0C0FF"
    "Label1 0 back colour|66 22|FFC080"
    "Label1 3 back colour|258 85|FF8000"
    "Изчисли face|22 150|80FF80"
    "Изтрий face|134 190|FF8080"
    "read-only Text2 2, white|262 110|FFFFFF"
)
points=() wants=()
for row in "${colours[@]}"; do
    IFS='|' read -r _ point want <<<"$row"
    points+=("$point") wants+=("$want")
done
read -ra seen < <(settled_pixels "${wants[*]}" "${points[@]}")
for i in "${!colours[@]}"; do
    IFS='|' read -r what point want <<<"${colours[i]}"
    check "$what at $point" "${seen[i]}" "$want"
done
check "text drawn in Label1 1" "$(convert "$XSESSION_DIR/window.png" -crop 140x24+16+64 \
    -colorspace Gray -format '%[fx:minima < 0.3]' info:)" 1

# A window manager gives a new window the focus; Xvfb runs none.
xdotool windowfocus --sync "$WINDOW"

# --- What a person does and sees, from the table every driver reads.
row=
while IFS= read -r line; do
    [[ -z $line || $line == "#"* ]] && continue
    run_step "$line"
done <"$here/window_rows.txt"

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
