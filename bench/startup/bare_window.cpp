// SPDX-FileCopyrightText: 2026 The Vistral developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The floor of the start-up bench: a plain Qt Widgets window with the same
// controls as Vistral's (11 labels, 8 line edits, 2 push buttons, 1 plain text
// edit) at the same places, with the same texts and font, and no logic, no
// colours, no style sheet, no icon. Whatever Vistral spends beyond this
// window is its own.

#include <QApplication>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QWidget>

#include "bare_controls.h"

namespace {

using bare::Control;
using bare::controls;
using bare::Kind;

constexpr int twipsPerPixel = 15;

QWidget* makeControl(const Control& c, QWidget* parent) {
    const QString text = QString::fromUtf16(c.text);
    switch (c.kind) {
        case Kind::Label:
            return new QLabel(text, parent);
        case Kind::Line:
            return new QLineEdit(text, parent);
        case Kind::Button:
            return new QPushButton(text, parent);
        case Kind::Text:
            return new QPlainTextEdit(text, parent);
    }
    return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QString::fromUtf8("ИТ - времена,  статистика в сайт"));
    window.setFont(QFont(QStringLiteral("Times New Roman"), 12));
    window.setFixedSize(6960 / twipsPerPixel, 5310 / twipsPerPixel);
    for (const Control& c : controls) {
        makeControl(c, &window)
            ->setGeometry(c.left / twipsPerPixel, c.top / twipsPerPixel, c.width / twipsPerPixel,
                          c.height / twipsPerPixel);
    }
    window.show();
    return app.exec();
}
