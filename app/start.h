// SPDX-FileCopyrightText: 2026 The Vistral developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Start-up. Each toolkit's process entry point (main over Qt, wWinMain over
// Win32) sets the toolkit up on the one user-interface thread, then calls start.
#pragma once

namespace app {

// Creates the one window, shows it centred with the focus in the task
// description and runs the event loop until the window is closed. Gives the
// process exit status.
int start();

}  // namespace app
