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

namespace {

enum class Kind { Label, Line, Button, Text };

struct Control {
    Kind kind;
    const char* text;
    int left, top, width, height;  // twips
};

constexpr Control controls[] = {
    {Kind::Label, "ИТ - средно време за престой в сайт", 960, 0, 4575, 375},
    {Kind::Label, "Средно престой [s]:", 240, 960, 2175, 375},
    {Kind::Line, "", 2400, 960, 1215, 405},
    {Kind::Label, "Брой посещения:", 240, 1320, 2175, 375},
    {Kind::Line, "", 2400, 1320, 1215, 405},
    {Kind::Label, "Средно време за посетител", 3840, 600, 2895, 375},
    {Kind::Label, "Часове", 3840, 960, 975, 375},
    {Kind::Label, "Минути", 4800, 960, 975, 375},
    {Kind::Label, "Секунди", 5760, 960, 975, 375},
    {Kind::Line, "", 3840, 1320, 975, 405},
    {Kind::Line, "", 4800, 1320, 975, 405},
    {Kind::Line, "", 5760, 1320, 975, 405},
    {Kind::Button, "Изчисли", 240, 2160, 1695, 375},
    {Kind::Label, "Общо време за сайта", 3840, 2040, 2895, 375},
    {Kind::Label, "Часове", 3840, 2400, 975, 375},
    {Kind::Label, "Минути", 4800, 2400, 975, 375},
    {Kind::Label, "Секунди", 5760, 2400, 975, 375},
    {Kind::Button, "Изтрий", 1920, 2760, 1695, 375},
    {Kind::Line, "", 3840, 2760, 975, 405},
    {Kind::Line, "", 4800, 2760, 975, 405},
    {Kind::Line, "", 5760, 2760, 975, 405},
    {Kind::Text,
     "Да се създаде проект, представящ междупредметни връзки Информационни технологии и "
     "Информатика.\n"
     "Тема на проект: ИТ - средно време за престой в сайт.\n"
     "Почти всеки вид използвана статистика на сайт дава средно време за посещение (в "
     "секунди) и общ брой посетители. Това са входните данни за проекта, естествени числа от "
     "интервала [10..99999].\n"
     "Проектът трябва да изведе като изходни данни изчисленото време в часове, минути и "
     "секунди за:\n"
     "средно време за престой на посетител;\n"
     "общ престой в сайта.\n",
     120, 3360, 6735, 1815},
};

constexpr int twipsPerPixel = 15;

QWidget* makeControl(const Control& c, QWidget* parent) {
    const QString text = QString::fromUtf8(c.text);
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
