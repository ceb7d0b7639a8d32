// SPDX-FileCopyrightText: 2026 The Vistral developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Start-up: the one window and the event loop. The program's own work begins with
// a click; the error guard around each click is in the platform layer.
#include "app/start.h"
#include "ui/main_window.h"

namespace app {

int start() {
    ui::Vistral vistral;
    return vistral.window().run(vistral.firstFocus());
}

}  // namespace app
