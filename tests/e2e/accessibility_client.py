# SPDX-FileCopyrightText: 2026 The Vistral developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

"""Vistral over AT-SPI as a screen reader meets it, run by accessibility_e2e.sh.
Exit status 0 passed, 1 failed."""
import subprocess
import sys
import time

import pyatspi
from gi.repository import Gio, GLib

RESULTS = [f"{group}, {unit}" for group in ("Средно време за посетител", "Общо време за сайта")
           for unit in ("Часове", "Минути", "Секунди")]
OVERFLOW = ("Препълване: резултатът е твърде голям и не може да бъде показан.\n"
            "Поправете въведените числа и опитайте отново.")
failures = 0
activated = []  # (role, name, source) of each window:activate event


def check(label, got, want):
    global failures
    print("ok  " if got == want else "FAIL", f"{label}: {got!r}",
          "" if got == want else f"want {want!r}")
    failures += got != want


def wait_for(what, find):
    """Runs the event loop until find() gives something, for 20 s at most."""
    for _ in range(400):
        while GLib.MainContext.default().iteration(False):
            pass
        if found := find():
            return found
        time.sleep(0.05)
    print(f"FAIL no {what} within 20 s")
    sys.exit(1)


def children(parent, role):
    return [c for c in parent if c is not None and c.getRole() == role]


def told_activated(accessible):
    """Whether a window:activate event came for accessible. Asked once its state
    shows it active: the program tells the event before it answers the question
    that shows the state, so by then the event is here."""
    while GLib.MainContext.default().iteration(False):
        pass
    return any(source == accessible for _, _, source in activated)


def xdotool(*args):
    subprocess.run(["xdotool", *map(str, args)], check=True)


def centre(accessible):
    x, y, width, height = accessible.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return x + width // 2, y + height // 2


def run(program):
    # The window opens and is activated, as a window manager does with a new window:
    # once the program is on the accessibility bus, so that the activation is told.
    window = wait_for("window", lambda: subprocess.run(
        ["xdotool", "search", "--onlyvisible", "--pid", str(program.pid)],
        capture_output=True, text=True).stdout.split())
    app = wait_for("the program on the accessibility bus", lambda: [
        app for app in pyatspi.Registry.getDesktop(0)
        if app is not None and app.get_process_id() == program.pid])[0]
    xdotool("windowfocus", "--sync", window[0])
    frame = wait_for("the window active", lambda: [
        f for f in children(app, pyatspi.ROLE_FRAME) if f.getState().contains(pyatspi.STATE_ACTIVE)])[0]
    check("announced", (frame.name, told_activated(frame)),
          ("ИТ - времена,  статистика в сайт", True))

    # Each number field by its name: the inputs editable, the results and the
    # description read-only and offering no editing; the buttons by their names.
    boxes = children(frame, pyatspi.ROLE_TEXT)
    check("text boxes: name, read-only, editable, offers editing",
          [(b.name, b.getState().contains(pyatspi.STATE_READ_ONLY),
            b.getState().contains(pyatspi.STATE_EDITABLE),
            "EditableText" in pyatspi.listInterfaces(b)) for b in boxes],
          [(name, False, True, True) for name in ("Средно престой [s]", "Брой посещения")] +
          [(name, True, False, False)
           for name in RESULTS + ["ИТ - средно време за престой в сайт"]])
    calculate, clear = buttons = children(frame, pyatspi.ROLE_PUSH_BUTTON)
    check("buttons", [b.name for b in buttons], ["Изчисли", "Изтрий"])
    # The description reads line by line as it shows, wrapped at its width.
    text = boxes[-1].queryText()
    whole, line = text.getText(0, -1), text.getTextAtOffset(0, pyatspi.TEXT_BOUNDARY_LINE_START)[0]
    check("description: start, first line part of the first paragraph",
          (whole[:20], 0 < len(line) < whole.index("\n") and whole.startswith(line)),
          ("Да се създаде проект", True))

    # Typed through the text interface; "Изчисли" pressed through its action (the
    # first, "Press"): the overflow message arrives as an alert with its text.
    for box in boxes[:2]:
        box.queryEditableText().insertText(0, "99999", 5)
    # The five-character limit holds for assistive technology too.
    boxes[0].queryEditableText().insertText(5, "7", 1)
    boxes[1].queryEditableText().setTextContents("1234567")
    check("limit", [b.queryText().getText(0, -1) for b in boxes[:2]], ["99999", "99999"])
    calculate.queryAction().doAction(0)
    alert = wait_for("message", lambda: [
        a for a in children(app, pyatspi.ROLE_ALERT) if a.getState().contains(pyatspi.STATE_ACTIVE)])[0]
    check("message", (alert.name, [c.name for c in children(alert, pyatspi.ROLE_LABEL)],
                      told_activated(alert)), ("Vistral", [OVERFLOW], True))
    next(b for c in alert for b in children(c, pyatspi.ROLE_PUSH_BUTTON)).queryAction().doAction(0)
    wait_for("message closed", lambda: frame.getApplication().childCount == 1)

    # A line of the description selected with a triple click; after a pause (so
    # the press is no fourth click) press, move and release with none. Once the
    # input has rested, the window must still take a click on "Изтрий".
    x, y = centre(boxes[-1])
    xdotool("mousemove", x, y - 45, "click", "--repeat", 3, 1, "sleep", 0.6, "mousedown", 1,
            "mousemove", x, y - 120, "mouseup", 1, "sleep", 1, "mousemove", *centre(clear),
            "click", 1)
    wait_for("fields cleared after the drag",
             lambda: all(b.queryText().getText(0, -1) == "" for b in boxes[:-1]))


def announce_screen_reader():
    """Says on the session bus that a screen reader runs, as one does when it
    starts: programs then make themselves known on the accessibility bus."""
    Gio.bus_get_sync(Gio.BusType.SESSION).call_sync(
        "org.a11y.Bus", "/org/a11y/bus", "org.freedesktop.DBus.Properties", "Set",
        GLib.Variant("(ssv)", ("org.a11y.Status", "ScreenReaderEnabled", GLib.Variant("b", True))),
        None, Gio.DBusCallFlags.NONE, -1, None)


def main():
    announce_screen_reader()
    pyatspi.Registry.registerEventListener(lambda event: activated.append(
        (event.source.getRoleName(), event.source.name, event.source)), "window:activate")
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
