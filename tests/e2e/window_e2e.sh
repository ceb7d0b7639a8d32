#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The Vistral developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# End-to-end test of the built program on a real X server, driven as a person
# drives it: keys and mouse clicks through xdotool, the result boxes read back
# by selecting and copying their text, colours sampled from the window's pixels,
# the window closed by its close request. The same checks drive the Linux build
# and the Windows ones under wine, which run in a fresh prefix made here, and the
# Linux build under Wayland: with --wayland it runs on Qt's Wayland platform in a
# weston inside the Xvfb, driven through weston's window, its windows read from
# weston's scene graph and its clipboard through weston's Xwayland. What a
# person does in the window and sees there is the table window_rows.txt, which
# the browser's driver reads too; what a window manager is told and the pixels of
# the window are this driver's own.
#
#   window_e2e.sh [--wayland] PATH/TO/x11_close PROGRAM [ARGS...]
#   e.g. window_e2e.sh build/dev/tests/e2e/x11_close build/dev/app/Vistral
#        window_e2e.sh .../x11_close /usr/lib/wine/wine64 build/windows/app/Vistral.exe
#        window_e2e.sh --wayland .../x11_close build/dev/app/Vistral
#
# Exit status: 0 passed, 1 failed, 77 skipped (tools missing outside CI).
set -uo pipefail

wayland=
if [[ $1 == --wayland ]]; then
    wayland=1
    shift
fi
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
need_tools Xvfb xdotool xclip xprop xwininfo xset xmodmap convert ${wine:+wineserver openbox} \
    ${wayland:+weston weston-debug Xwayland}
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
# Where the client area's top left stands in WINDOW: under weston, WINDOW is
# weston's output and the program's window stands somewhere on it.
origin_x=0 origin_y=0
# The clipboard the program uses, as xclip reaches it.
clip=(xclip)

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

# A point of the client area, in WINDOW.
to_window() {
    local x y
    read -r x y <<<"$1"
    echo "$((x + origin_x)) $((y + origin_y))"
}

click() {
    # shellcheck disable=SC2046
    xdotool mousemove --window "$WINDOW" $(to_window "${at[$1]}") click 1
}

# Put the text on the clipboard from outside the program.
set_clipboard() {
    printf '%s' "$1" | "${clip[@]}" -selection clipboard -i >/dev/null 2>&1
}

# Reads what the focused box shows: select all, copy, read the clipboard. An
# empty box copies nothing, so a marker put on the clipboard beforehand that is
# still there means "empty"; the wait for a copy (wine's reaches the X clipboard
# later) is short when the box is expected to be empty and long otherwise.
#
# Under weston a text put on the clipboard from X reaches the program only after
# weston's Xwayland has passed it on, in its own time. There the copy is seen
# instead by the time at which the clipboard last changed hands, which each copy
# of the program's renews.
readonly marker='<nothing was copied>'
# The clipboard's text (or ARGS' target). Wine under a window manager at times
# answers a request only once the next one arrives, so a request unanswered
# within 2 s gives way to a new one.
clipboard_out() {
    local i status
    for ((i = 0; i < 5; i++)); do
        timeout 2 "${clip[@]}" -o -selection clipboard "$@" 2>/dev/null
        status=$?
        ((status != 124)) && return "$status"
    done
    return 1
}

# What tells that the program has copied: under weston the time at which the
# clipboard last changed hands, elsewhere the text, once it is no longer the marker
# put there beforehand.
clipboard_mark() {
    if [[ -n $wayland ]]; then
        clipboard_out -t TIMESTAMP | od -An -tx1
    else
        clipboard_out
    fi
}

copy_focused() {
    local expected=$1 tries=200 i text='' before
    [[ -z $expected ]] && tries=12
    before=$marker
    if [[ -n $wayland ]]; then
        before=$(clipboard_mark)
    else
        set_clipboard "$marker"
    fi
    xdotool key --clearmodifiers ctrl+a ctrl+c
    for ((i = 0; i < tries; i++)); do
        if [[ $(clipboard_mark) != "$before" ]]; then
            text=$(clipboard_out)
            break
        fi
        sleep 0.05
    done
    printf '%s' "$text"
}

read_field() {
    click "$1"
    copy_focused "$2"
}

# Types TEXT key by key where the focus is, at the end of the text there.
#
# For a character that the keyboard map lacks, xdotool maps a spare key, presses
# it and takes the mapping back at once; a program that reads the map only after
# that (wine on a loaded machine) gets no character. Such a character is typed
# here on a spare key of its own, which keeps it until the focused box shows the
# character, and the next key comes only then.
type_keys() {
    local text=$1 plain='' character before spare i j
    for ((i = 0; i < ${#text}; i++)); do
        character=${text:i:1}
        if [[ $character == [\ -~] ]]; then
            plain+=$character
            continue
        fi
        [[ -n $plain ]] && xdotool type --delay 30 "$plain"
        plain=
        before=$(copy_focused unknown)
        xdotool key End
        spare=$(xmodmap -pke | awk 'NF == 3 { print $2 }' | head -n1)
        xmodmap -e "keycode $spare = U$(printf '%X' "'$character")"
        xdotool key "U$(printf '%X' "'$character")"
        for ((j = 0; j < 40; j++)); do
            [[ $(copy_focused "$before$character") == "$before$character" ]] && break
            sleep 0.05
        done
        xdotool key End
        xmodmap -e "keycode $spare ="
    done
    [[ -n $plain ]] && xdotool type --delay 30 "$plain"
}

# Replaces the text of an input box by typing, as a person does.
type_into() {
    click "$1"
    xdotool key --clearmodifiers ctrl+a BackSpace
    type_keys "$2"
}

# Viewable top-level windows of the program other than the main window.
other_windows() {
    local id
    if [[ -n $wayland ]]; then
        wayland_toplevels | awk -v main="$main_surface" '$1 != main { print $1 }'
        return
    fi
    for id in $(xdotool search --onlyvisible --pid "$PROGRAM_PID" 2>/dev/null); do
        [[ $id != "$WINDOW" ]] && echo "$id"
    done
}

# The colour at each point of the window's client area, as hex RGB.
pixels() {
    local shot=$XSESSION_DIR/window.png point format=''
    import -window "$WINDOW" "$shot"
    for point in "$@"; do
        point=$(to_window "$point")
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

# The first message window shown within 10 s, or nothing.
wait_message() {
    local message i
    for ((i = 0; i < 200; i++)); do
        message=$(other_windows | head -n1)
        [[ -n $message ]] && break
        sleep 0.05
    done
    printf '%s' "$message"
}

# Dismisses the message with Return and checks that the program goes on.
dismiss_message() {
    local label=$1 message=$2 i
    # Weston gives a new window the keyboard; Xvfb runs no window manager.
    [[ -z $wayland ]] && xdotool windowfocus --sync "$message"
    xdotool key Return
    for ((i = 0; i < 200; i++)); do
        [[ -z $(other_windows) ]] && break
        sleep 0.05
    done
    check "$label: message gone after Return" "$(other_windows | wc -l)" 0
    kill -0 "$PROGRAM_PID" 2>/dev/null || fail "the program ended after the overflow message"
}

# Expects the overflow message and dismisses it with Return.
overflow_message() {
    local label=$1 message
    message=$(wait_message)
    if [[ -z $message ]]; then
        check "$label: overflow message shown" "none" "a window"
        return
    fi
    if [[ -z $wayland ]]; then
        check "$label: the message is transient for the main window" \
            "$(xprop -id "$message" WM_TRANSIENT_FOR | grep -o '0x[0-9a-f]*' | xargs printf '%d')" \
            "$WINDOW"
        echo "message window $message: $(xdotool getwindowname "$message")"
    fi
    dismiss_message "$label" "$message"
}

# Holds KEY down on the focused button for about 2 s, long enough for the server
# to repeat it many times, then lets it go, counting the messages that open
# meanwhile (a new window each). The one click opens the overflow message once,
# when the key goes down or when it is let go; a repeat may close the message but
# must never open another. One still shown at the end is dismissed with Return.
hold_key() {
    local key=$1 label=$2 opened=0 shown='' now i
    xdotool keydown "$key"
    for ((i = 0; i < 40; i++)); do
        now=$(other_windows | head -n1)
        [[ -n $now && $now != "$shown" ]] && opened=$((opened + 1))
        shown=$now
        sleep 0.05
    done
    xdotool keyup "$key"
    if ((opened == 0)); then
        shown=$(wait_message)
        [[ -n $shown ]] && opened=1
    fi
    check "$label: messages opened while $key was held" "$opened" 1
    now=$(other_windows | head -n1)
    [[ -n $now ]] && dismiss_message "$label" "$now"
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
        typekeys) type_keys "$rest" ;;
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
        hold) hold_key "$rest" "$row" ;;
        *) fail "unknown step: $1" ;;
    esac
}

# What a window manager is told: size, place, fixed border, buttons, icon.
check_x11_window() {
    local screen_w screen_h width height left top centre_top hints functions decorations
    wait_window
    echo "window $WINDOW: $(xdotool getwindowname "$WINDOW")"
    check "window class" "$(xprop -id "$WINDOW" WM_CLASS | sed 's/.*= //')" "$class"
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
}

# The window under weston: its size with its own title bar, and that bar: the
# icon, the title and a close button, and nothing where Qt's bar would offer to
# minimise and maximise. Sets the origin of the client area on weston's output.
main_surface='' main_place=''
wayland_place() {
    wayland_toplevels | awk -v main="$main_surface" '$1 == main { print $2, $3, $4 - $2 "x" $5 - $3 }'
}

# The title bar's pixels, as "icon title close between": whether the icon shows
# colour, the title and the cross dark pixels, and what differs between the title
# and the cross (0: nothing there).
title_bar() {
    local left top
    read -r left top _ <<<"$main_place"
    import -window "$WINDOW" "$XSESSION_DIR/output.png"
    convert "$XSESSION_DIR/output.png" -crop "464x30+$left+$top" +repage \
        \( +clone -crop 22x22+6+4 -colorspace HSL -channel G -separate \
        -format '%[fx:maxima > 0.5] ' -write info: +delete \) \
        \( +clone -crop 300x20+82+5 -colorspace Gray -format '%[fx:minima < 0.5] ' \
        -write info: +delete \) \
        \( +clone -crop 12x12+441+9 -colorspace Gray -format '%[fx:minima < 0.5] ' \
        -write info: +delete \) \
        -crop 50x26+385+2 -colorspace Gray -format '%[fx:maxima - minima]' info:
}

check_wayland_window() {
    local i seen left top
    for ((i = 0; i < 400; i++)); do
        main_surface=$(wayland_toplevels | awk -v title="$VISTRAL_TITLE" \
            'index($0, title) { print $1; exit }')
        [[ -n $main_surface ]] && break
        kill -0 "$PROGRAM_PID" 2>/dev/null || break
        sleep 0.05
    done
    [[ -n $main_surface ]] || fail "no window titled '$VISTRAL_TITLE' on weston within 20 s"
    main_place=$(wayland_place)
    read -r left top _ <<<"$main_place"
    WINDOW=$WESTON_WINDOW
    origin_x=$left origin_y=$((top + 30))
    check "window with its title bar" "${main_place##* }" "464x384"
    # Weston follows the X pointer by its moves from where it entered weston's
    # window: the pointer enters it afresh (the output is smaller than the screen).
    xdotool mousemove 1000 700 mousemove --window "$WINDOW" 1 1
    # A click into the description, which has the focus already, makes the window
    # active: its title turns black. (Without a window manager the keyboard goes
    # where the pointer is, to weston; focusing weston's window instead leaves
    # weston deaf.)
    click Text1_0
    for ((i = 0; i < 40; i++)); do
        seen=$(title_bar)
        [[ $seen == "1 1 1 0" ]] && break
        sleep 0.05
    done
    read -ra seen <<<"$seen"
    check "title bar: the icon" "${seen[0]}" 1
    check "title bar: the title, black" "${seen[1]}" 1
    check "title bar: the close button" "${seen[2]}" 1
    check "title bar: nothing between the title and the close button" "${seen[3]}" 0
    # A double click on the bar, and a click where Qt's own bar has its maximise
    # button, neither maximise nor move the window: checked at the end.
    # shellcheck disable=SC2046
    xdotool mousemove --window "$WINDOW" $(to_window "200 -15") click --repeat 2 1 \
        mousemove --window "$WINDOW" $(to_window "418 -15") click 1
}

# The close button of the window's own title bar.
click_close() {
    # shellcheck disable=SC2046
    xdotool mousemove --window "$WINDOW" $(to_window "447 -15") click 1
}

start_xvfb
# Keys held down repeat, as on a desktop.
xset r on
if [[ -n $wine ]]; then
    # shellcheck source=../windows/wineprefix.sh
    source "$here/../windows/wineprefix.sh"
    trap 'stop_wine_prefix; stop_session' EXIT
    make_wine_prefix "$XSESSION_DIR/wine"
    # Wine hides a window only once a window manager has withdrawn it (WM_STATE);
    # without one it waits 2 s each time, and a message closed by a key stays on
    # the screen, dead, that long: a key pressed then reaches the main window.
    start_window_manager
    class='"vistral.exe", "vistral.exe"'
else
    class='"Vistral", "Vistral"'
fi
if [[ -n $wayland ]]; then
    start_weston
    clip=(xclip -display "$XWAYLAND_DISPLAY")
    start_program "${program[@]}"
    check_wayland_window
else
    start_program "${program[@]}"
    check_x11_window
fi

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
check "text drawn in Label1 1" "$(convert "$XSESSION_DIR/window.png" \
    -crop "140x24+$((16 + origin_x))+$((64 + origin_y))" \
    -colorspace Gray -format '%[fx:minima < 0.3]' info:)" 1

# A window manager gives a new window the focus; Xvfb runs none.
[[ -z $wayland ]] && xdotool windowfocus --sync "$WINDOW"

# --- What a person does and sees, from the table every driver reads, a row at a
# time. Under weston some rows are left out, as the session cannot do what they
# need: a row that puts text on the clipboard from outside (weston's Xwayland
# passes it on at a moment nothing shows), or that types a character the keyboard
# map lacks (its key exists only on the X server; weston keeps the map of the X
# server's layout). Under wine every row runs, the held key too, as the window
# manager lets wine hide a closed message at once (see start_window_manager above).
skipped_here() {
    if [[ -n $wayland ]]; then
        grep -q -e '^clipboard' -e '^type[^ ]* .*[^ -~]'
    else
        return 1
    fi
}

run_row() {
    local line
    ((${#steps[@]})) || return 0
    if skipped_here <<<"$(printf '%s\n' "${steps[@]}")"; then
        echo "skip ${steps[0]#row } (weston)"
        return 0
    fi
    for line in "${steps[@]}"; do
        run_step "$line"
    done
}

row= steps=()
while IFS= read -r line; do
    [[ -z $line || $line == "#"* ]] && continue
    if [[ $line == "row "* ]]; then
        run_row
        steps=()
    fi
    steps+=("$line")
done <"$here/window_rows.txt"
run_row

# --- Close as the window manager's close box would; the program must end with 0.
if [[ -n $wayland ]]; then
    check "the window where it was, at its size" "$(wayland_place)" "$main_place"
    close_window click_close ""
else
    close_window "$x11_close" "$WINDOW"
fi
check "exit status after closing" "${PROGRAM_STATUS:-still running}" 0

if ((failures)); then
    echo "--- program output"
    cat "$XSESSION_DIR/program.log"
    echo "$failures check(s) failed"
    exit 1
fi
echo "all checks passed"
