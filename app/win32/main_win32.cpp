// SPDX-FileCopyrightText: 2026 The Vistral developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The process entry point over Win32: the window class on the one thread, then
// the window and the event loop. The DPI awareness and the look of the standard
// controls come from the manifest; the command line is ignored.
#include <windows.h>

#include "app/start.h"
#include "app/win32/native.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*commandLine*/,
                    int /*show*/) {
    platform::win32::setUp(instance);
    return app::start();
}
