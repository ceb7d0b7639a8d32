// SPDX-FileCopyrightText: 2026 The Vistral developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The Qt objects behind a platform::Window, for the Qt implementation and the
// tests that drive the real widgets.
#pragma once

#include <QMessageBox>
#include <QString>
#include <QWidget>
#include <cstddef>
#include <memory>
#include <vector>

#include "app/platform.h"

namespace platform {

namespace qt {

// The modal message of a window, made at its first message and shown again for
// every one after it.
class MessageBox final : public QMessageBox {
  public:
    explicit MessageBox(QWidget& owner);

    // Shows the message and returns once it is dismissed.
    void showModal(const QString& title, const QString& text);
};

}  // namespace qt

struct Window::Native {
    // Under Wayland, the top level that holds the window's own title bar and the
    // window (app/qt/title_bar_qt.cpp); empty elsewhere. Declared before the
    // window, so that the window has left it before it goes.
    std::unique_ptr<QWidget> frame;
    QWidget window;
    // By Control: the widget each add function made, in order.
    std::vector<QWidget*> controls;
    // The message box, a child of the window; made at the first message.
    qt::MessageBox* message = nullptr;

    QWidget* control(Control c) const { return controls.at(static_cast<std::size_t>(c)); }
};

namespace qt {

// The look every window of the program shares, whatever the desktop: the Fusion
// style with its standard light palette, so that text on the light back colours
// stays dark under a dark desktop theme, and Liberation Serif (metric-compatible,
// with Cyrillic) wherever "Times New Roman" is missing. Call once, after the
// QApplication is made and before any widget.
void useStandardLook();

// Makes the window known to assistive technology as a window named by its title,
// and the read-only boxes as text that can be read and selected but not changed
// (app/qt/accessible_qt.cpp). Every Window does this before making its controls.
void useAccessibleInterfaces();

// Whether the window draws its own title bar: under Wayland, where Qt's would
// offer to minimise and maximise a window that cannot be either.
bool drawsOwnTitleBar();

// Puts the window, not yet shown, below a title bar of its own (the icon, the
// title and a close button) in a new top level without Qt's title bar, and keeps
// that top level from being maximised or made full screen. The window keeps its
// size; the top level is that much taller.
std::unique_ptr<QWidget> frameWithTitleBar(QWidget& window);

}  // namespace qt

}  // namespace platform
