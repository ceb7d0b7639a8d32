// SPDX-FileCopyrightText: 2026 The Vistral developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The program's entry point on a web page.
//
// On the desktop app::start keeps the window on its stack and the event loop runs
// inside Window::run until the program ends. A page has its own event loop, which
// runs only after main has returned: there Window::run shows the window and
// returns, and every click arrives later as a call of its own (vistral_click). So
// the window is not on main's stack but in static storage, made once and never
// destroyed: the runtime stays alive after main (emscripten's default), and its
// static destructors never run. The other ways keep the window in stack memory
// that is not safe to keep: emscripten_exit_with_live_runtime unwinds main by a
// JavaScript exception, after which later calls reuse that stack memory, and an
// ASYNCIFY sleep inside run that never ends would be in flight while every
// click's message needs a sleep of its own.
#include "ui/main_window.h"

int main() {
    static ui::Vistral vistral;
    return vistral.window().run(vistral.firstFocus());
}
