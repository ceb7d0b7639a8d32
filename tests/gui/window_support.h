// SPDX-FileCopyrightText: 2026 The Vistral developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Finding the window's controls by their object names, and showing the window
// the way the program does, for the GUI tests.
#pragma once

#include <QApplication>
#include <QLineEdit>
#include <QRect>
#include <QStringList>
#include <QTest>
#include <QWidget>
#include <array>
#include <string_view>
#include <utility>

#include "app/qt/native.h"
#include "ui/main_window.h"

namespace test {

// Every control's rectangle in logical pixels: the window's twips divided by 15,
// written out here so that the tests do not take them from the window's own table.
inline const std::array<std::pair<const char*, QRect>, 22> kControlPixels{{
    {"Label1_0", {64, 0, 305, 25}},     {"Label1_1", {16, 64, 145, 25}},
    {"Text2_0", {160, 64, 81, 27}},     {"Label1_2", {16, 88, 145, 25}},
    {"Text2_1", {160, 88, 81, 27}},     {"Label1_6", {256, 40, 193, 25}},
    {"Label1_3", {256, 64, 65, 25}},    {"Label1_4", {320, 64, 65, 25}},
    {"Label1_5", {384, 64, 65, 25}},    {"Text2_2", {256, 88, 65, 27}},
    {"Text2_3", {320, 88, 65, 27}},     {"Text2_4", {384, 88, 65, 27}},
    {"Command1_0", {16, 144, 113, 25}}, {"Label1_10", {256, 136, 193, 25}},
    {"Label1_7", {256, 160, 65, 25}},   {"Label1_8", {320, 160, 65, 25}},
    {"Label1_9", {384, 160, 65, 25}},   {"Command1_1", {128, 184, 113, 25}},
    {"Text2_5", {256, 184, 65, 27}},    {"Text2_6", {320, 184, 65, 27}},
    {"Text2_7", {384, 184, 65, 27}},    {"Text1_0", {8, 224, 449, 121}},
}};

inline QString toQString(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

// The window's widget, and the widget of the control focused at start.
inline QWidget& widget(ui::Vistral& vistral) {
    return vistral.window().native().window;
}

inline QWidget& firstFocus(ui::Vistral& vistral) {
    return *vistral.window().native().control(vistral.firstFocus());
}

template <typename Widget = QWidget>
Widget* control(const QWidget& window, const QString& name) {
    return window.findChild<Widget*>(name, Qt::FindDirectChildrenOnly);
}

inline QLineEdit* field(const QWidget& window, int i) {
    return control<QLineEdit>(window, QStringLiteral("Text2_%1").arg(i));
}

// The texts of Text2 0 to 7, as a person reads them.
inline QStringList fieldTexts(const QWidget& window) {
    QStringList texts;
    for (int i = 0; i < 8; ++i) {
        texts << field(window, i)->text();
    }
    return texts;
}

// Shows the window active, with the focus in the task description as at start-up.
[[nodiscard]] inline bool showActive(ui::Vistral& vistral) {
    QWidget& window = widget(vistral);
    firstFocus(vistral).setFocus();
    window.show();
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window) &&
           QApplication::focusWidget() == &firstFocus(vistral);
}

inline QString focusName() {
    const QWidget* focus = QApplication::focusWidget();
    return focus != nullptr ? focus->objectName() : QStringLiteral("(none)");
}

// Types `text` one character per key event, as a keyboard delivers it: a
// character outside the Basic Multilingual Plane comes as one event with two
// UTF-16 units.
inline void typeText(QWidget* widget, QStringView text) {
    for (const uint code : text.toUcs4()) {
        const char32_t c = code;
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString::fromUcs4(&c, 1),
                            Qt::NoModifier);
    }
}

}  // namespace test
