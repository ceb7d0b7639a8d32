// SPDX-FileCopyrightText: 2026 The Vistral developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The controls of the bench's bare windows, Qt's and Win32's: Vistral's kinds,
// texts and places, written out here so that the floor shares no code with the
// program it is the floor of.
#pragma once

namespace bare {

enum class Kind { Label, Line, Button, Text };

struct Control {
    Kind kind;
    const char16_t* text;
    int left, top, width, height;  // twips
};

constexpr Control controls[] = {
    {Kind::Label, u"ИТ - средно време за престой в сайт", 960, 0, 4575, 375},
    {Kind::Label, u"Средно престой [s]:", 240, 960, 2175, 375},
    {Kind::Line, u"", 2400, 960, 1215, 405},
    {Kind::Label, u"Брой посещения:", 240, 1320, 2175, 375},
    {Kind::Line, u"", 2400, 1320, 1215, 405},
    {Kind::Label, u"Средно време за посетител", 3840, 600, 2895, 375},
    {Kind::Label, u"Часове", 3840, 960, 975, 375},
    {Kind::Label, u"Минути", 4800, 960, 975, 375},
    {Kind::Label, u"Секунди", 5760, 960, 975, 375},
    {Kind::Line, u"", 3840, 1320, 975, 405},
    {Kind::Line, u"", 4800, 1320, 975, 405},
    {Kind::Line, u"", 5760, 1320, 975, 405},
    {Kind::Button, u"Изчисли", 240, 2160, 1695, 375},
    {Kind::Label, u"Общо време за сайта", 3840, 2040, 2895, 375},
    {Kind::Label, u"Часове", 3840, 2400, 975, 375},
    {Kind::Label, u"Минути", 4800, 2400, 975, 375},
    {Kind::Label, u"Секунди", 5760, 2400, 975, 375},
    {Kind::Button, u"Изтрий", 1920, 2760, 1695, 375},
    {Kind::Line, u"", 3840, 2760, 975, 405},
    {Kind::Line, u"", 4800, 2760, 975, 405},
    {Kind::Line, u"", 5760, 2760, 975, 405},
    {Kind::Text,
     u"Да се създаде проект, представящ междупредметни връзки Информационни технологии и "
     u"Информатика.\n"
     u"Тема на проект: ИТ - средно време за престой в сайт.\n"
     u"Почти всеки вид използвана статистика на сайт дава средно време за посещение (в "
     u"секунди) и общ брой посетители. Това са входните данни за проекта, естествени числа от "
     u"интервала [10..99999].\n"
     u"Проектът трябва да изведе като изходни данни изчисленото време в часове, минути и "
     u"секунди за:\n"
     u"средно време за престой на посетител;\n"
     u"общ престой в сайта.\n",
     120, 3360, 6735, 1815},
};

}  // namespace bare
