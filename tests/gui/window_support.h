// Finding the window's controls by their object names, and showing the window
// the way the program does, for the GUI tests.
#pragma once

#include <QApplication>
#include <QLineEdit>
#include <QStringList>
#include <QTest>
#include <QWidget>

#include "ui/main_window.h"

namespace test {

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
[[nodiscard]] inline bool showActive(ui::Vistral& window) {
    window.firstFocus().setFocus();
    window.show();
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window) &&
           QApplication::focusWidget() == &window.firstFocus();
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
