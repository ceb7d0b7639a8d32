# SPDX-FileCopyrightText: 2026 The Vistral developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

"""Vistral as a screen reader meets it, over the AT-SPI bus of the running
session (see accessibility_e2e.sh): starts the program, hears its window open,
reads the tree, types through the text interface, presses "Изчисли" through its
action and hears the overflow alert. Then the drag from the description that
once locked the window, driven with xdotool, and a click that must still work.

    accessibility_client.py PATH/TO/Vistral     exit status 0 passed, 1 failed
"""
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

TITLE = "ИТ - времена,  статистика в сайт"
INPUTS = ["Средно престой [s]", "Брой посещения"]
RESULTS = [f"{group}, {unit}" for group in ("Средно време за посетител", "Общо време за сайта")
           for unit in ("Часове", "Минути", "Секунди")]
OVERFLOW = ("Препълване: резултатът е твърде голям и не може да бъде показан.\n"
            "Поправете въведените числа и опитайте отново.")
failures = 0


def check(label, got, want):
    global failures
    print(f"{'ok  ' if got == want else 'FAIL'} {label}: {got!r}" +
          ("" if got == want else f", want {want!r}"))
    failures += got != want


def has(accessible, state):
    return accessible.getState().contains(state)


def text_of(accessible):
    return accessible.queryText().getText(0, -1)


def by_name(parent, role, name):
    return next((c for c in parent if c.getRole() == role and c.name == name), None)


activated = []


def heard(event):
    activated.append((event.source.getRoleName(), event.source.name, event.source))


def wait_for(what, find, seconds=20):
    """Runs the event loop until find() gives something; fails after `seconds`."""
    context = GLib.MainContext.default()
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        while context.pending():
            context.iteration(False)
        found = find()
        if found:
            return found
        time.sleep(0.05)
    print(f"FAIL no {what} within {seconds} s")
    sys.exit(1)


def xdotool(*args):
    subprocess.run(["xdotool", *map(str, args)], check=True)


def press(button):
    action = button.queryAction()
    action.doAction(next(i for i in range(action.nActions) if action.getName(i) == "Press"))


def run(program):
    # The window opens and becomes active (as a window manager makes a new window).
    window_id = wait_for("window", lambda: subprocess.run(
        ["xdotool", "search", "--onlyvisible", "--pid", str(program.pid)],
        capture_output=True, text=True).stdout.split())[0]
    xdotool("windowfocus", "--sync", window_id)
    role, name, frame = wait_for("window:activate", lambda: activated)[0]
    check("announced on opening", (role, name), ("frame", TITLE))
    app = frame.getApplication()

    # The tree: each number field by its name, the inputs editable and the results
    # read-only (offering no editing), the buttons by name, the description as
    # read-only text that can be read line by line as it is shown.
    fields = [by_name(frame, pyatspi.ROLE_TEXT, name) for name in INPUTS + RESULTS]
    check("number fields found by name", [f is not None for f in fields], [True] * 8)
    description = next(c for c in frame if has(c, pyatspi.STATE_MULTI_LINE))
    check("(read-only, editable, offers editing) by field and description",
          [(has(f, pyatspi.STATE_READ_ONLY), has(f, pyatspi.STATE_EDITABLE),
            "EditableText" in pyatspi.listInterfaces(f)) for f in fields + [description]],
          [(False, True, True)] * 2 + [(True, False, False)] * 7)
    calculate = by_name(frame, pyatspi.ROLE_PUSH_BUTTON, "Изчисли")
    clear = by_name(frame, pyatspi.ROLE_PUSH_BUTTON, "Изтрий")
    check("buttons", [calculate is not None, clear is not None], [True, True])
    text = text_of(description)
    line = description.queryText().getTextAtOffset(0, pyatspi.TEXT_BOUNDARY_LINE_START)[0]
    check("description: start, first line a part of the first paragraph",
          (text[:20], text.startswith(line), 0 < len(line) < text.index("\n")),
          ("Да се създаде проект", True, True))

    # Typing through the text interface.
    for field in fields[:2]:
        field.queryEditableText().insertText(0, "99999", 5)
    check("inputs", [text_of(f) for f in fields[:2]], ["99999", "99999"])

    # "Изчисли" pressed through its action: the overflow arrives as an alert.
    activated.clear()
    press(calculate)
    role, name, alert = wait_for("message", lambda: [a for a in activated if a[0] != "frame"])[0]
    check("message", (role, name), ("alert", "Vistral"))
    check("alert text", [c.name for c in alert if c.getRole() == pyatspi.ROLE_LABEL], [OVERFLOW])
    press(by_name(next(c for c in alert if c.childCount), pyatspi.ROLE_PUSH_BUTTON, "OK"))
    wait_for("alert closed", lambda: app.childCount == 1)
    check("results after the overflow", [text_of(f) for f in fields[2:]],
          ["27", "46", "39", "", "", ""])

    # A line of the description selected with a triple click; after a pause (so the
    # press is no fourth click), press, move and release with none. Once the input
    # has stopped for a moment, the window must still take a click on "Изтрий".
    x, y, width, _ = description.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    xdotool("mousemove", x + width // 4, y + 15, "click", "--repeat", "3", "1", "sleep", "0.6",
            "mousedown", "1", "mousemove", x + width // 2, y - 60, "mouseup", "1", "sleep", "1")
    x, y, width, height = clear.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    xdotool("mousemove", x + width // 2, y + height // 2, "click", "1")
    wait_for("fields cleared after the drag", lambda: all(text_of(f) == "" for f in fields))


def main():
    pyatspi.Registry.registerEventListener(heard, "window:activate")
    program = subprocess.Popen([sys.argv[1]])
    try:
        run(program)
    finally:
        program.terminate()
        program.wait()
    print("all checks passed" if not failures else f"{failures} check(s) failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
