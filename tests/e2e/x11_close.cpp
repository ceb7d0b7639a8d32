// SPDX-FileCopyrightText: 2026 The Vistral developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Asks a top-level window to close, the way a window manager's close box does:
// a WM_DELETE_WINDOW client message. Xvfb runs no window manager, and
// `xdotool windowclose` destroys the window behind the program's back instead.
//
//   x11_close WINDOW_ID     (decimal or 0x-prefixed hexadecimal)
//
// Exits 0 when the message was sent, 1 when the window or the display is
// missing, 2 on a usage error.

#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>

#include "tools/x11/close_request.h"

namespace {

bool windowExists(Display* display, Window window) {
    XWindowAttributes attributes;
    return XGetWindowAttributes(display, window, &attributes) != 0;
}

int ignoreErrors(Display*, XErrorEvent*) {
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s WINDOW_ID\n", argv[0]);
        return 2;
    }
    char* end = nullptr;
    const unsigned long id = std::strtoul(argv[1], &end, 0);
    if (end == argv[1] || *end != '\0' || id == 0) {
        std::fprintf(stderr, "%s: not a window id: %s\n", argv[0], argv[1]);
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "%s: cannot open the display\n", argv[0]);
        return 1;
    }
    XSetErrorHandler(ignoreErrors);
    const Window window = id;
    if (!windowExists(display, window)) {
        std::fprintf(stderr, "%s: no window %s\n", argv[0], argv[1]);
        XCloseDisplay(display);
        return 1;
    }

    sendCloseRequest(display, window);
    XSync(display, False);
    XCloseDisplay(display);
    return 0;
}
