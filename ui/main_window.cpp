// SPDX-FileCopyrightText: 2026 The Vistral developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ui/main_window.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace ui {

namespace {

using platform::Alignment;
using platform::Rgb;
using platform::TwipsRect;
enum class Kind : std::uint8_t { Label, TextBox, Button, DescriptionBox };

// One control of the window. Text boxes have no back colour of their own (the
// toolkit's applies); the index of a button is the index its click passes on.
struct ControlSpec {
    Kind kind;
    std::u16string_view array;
    int index;
    std::u16string_view text;
    TwipsRect rect;
    std::optional<Rgb> back;
    Alignment alignment;
    bool readOnly;
    int charLimit;
    // The labels (Label1 indices, -1 for none) whose texts name a number field.
    std::array<int, 2> namedBy;
};

constexpr std::u16string_view kLabel1 = u"Label1";
constexpr std::u16string_view kText2 = u"Text2";
constexpr std::u16string_view kCommand1 = u"Command1";
constexpr std::u16string_view kText1 = u"Text1";

constexpr Rgb kWindowBack{192, 192, 255};
constexpr Rgb kHeading{255, 192, 128};
constexpr Rgb kColumn{255, 128, 0};
constexpr Rgb kCalculate{128, 255, 128};
constexpr Rgb kClear{255, 128, 128};

constexpr int kClientWidth = 6960;  // twips
constexpr int kClientHeight = 5310;
constexpr std::u16string_view kTitle = u"ИТ - времена,  статистика в сайт";
constexpr int kInputLimit = 5;
constexpr int kNone = -1;

constexpr std::u16string_view kDescription =
    u"Да се създаде проект, представящ междупредметни връзки Информационни технологии и "
    u"Информатика.\n"
    u"Тема на проект: ИТ - средно време за престой в сайт.\n"
    u"Почти всеки вид използвана статистика на сайт дава средно време за посещение (в секунди) и "
    u"общ брой посетители. Това са входните данни за проекта, естествени числа от интервала "
    u"[10..99999].\n"
    u"Проектът трябва да изведе като изходни данни изчисленото време в часове, минути и секунди "
    u"за:\n"
    u"средно време за престой на посетител;\n"
    u"общ престой в сайта.\n";

constexpr auto L = Kind::Label;
constexpr auto T = Kind::TextBox;
constexpr auto B = Kind::Button;
constexpr auto D = Kind::DescriptionBox;
constexpr std::optional<Rgb> kDefault = std::nullopt;
constexpr auto Left = Alignment::Left;
constexpr auto Centre = Alignment::Centre;
constexpr bool kReadOnly = true;
constexpr bool kEditable = false;
constexpr int kNoLimit = platform::kNoLimit;

// clang-format off
constexpr std::array kControls{
//          kind array      idx text                                     left  top   width height  back         align    read-only  limit         named by
    ControlSpec{L, kLabel1,   0,  u"ИТ - средно време за престой в сайт",  {960,  0,    4575, 375},   kHeading,    Centre,  kEditable, kNoLimit,    {kNone, kNone}},
    ControlSpec{L, kLabel1,   1,  u"Средно престой [s]:",                  {240,  960,  2175, 375},   kHeading,    Left,    kEditable, kNoLimit,    {kNone, kNone}},
    ControlSpec{T, kText2,    0,  u"",                                     {2400, 960,  1215, 405},   kDefault,    Left,    kEditable, kInputLimit, {1, kNone}},
    ControlSpec{L, kLabel1,   2,  u"Брой посещения:",                      {240,  1320, 2175, 375},   kHeading,    Left,    kEditable, kNoLimit,    {kNone, kNone}},
    ControlSpec{T, kText2,    1,  u"",                                     {2400, 1320, 1215, 405},   kDefault,    Left,    kEditable, kInputLimit, {2, kNone}},
    ControlSpec{L, kLabel1,   6,  u"Средно време за посетител",            {3840, 600,  2895, 375},   kHeading,    Centre,  kEditable, kNoLimit,    {kNone, kNone}},
    ControlSpec{L, kLabel1,   3,  u"Часове",                               {3840, 960,  975,  375},   kColumn,     Centre,  kEditable, kNoLimit,    {kNone, kNone}},
    ControlSpec{L, kLabel1,   4,  u"Минути",                               {4800, 960,  975,  375},   kColumn,     Centre,  kEditable, kNoLimit,    {kNone, kNone}},
    ControlSpec{L, kLabel1,   5,  u"Секунди",                              {5760, 960,  975,  375},   kColumn,     Centre,  kEditable, kNoLimit,    {kNone, kNone}},
    ControlSpec{T, kText2,    2,  u"",                                     {3840, 1320, 975,  405},   kDefault,    Centre,  kReadOnly, kNoLimit,    {6, 3}},
    ControlSpec{T, kText2,    3,  u"",                                     {4800, 1320, 975,  405},   kDefault,    Centre,  kReadOnly, kNoLimit,    {6, 4}},
    ControlSpec{T, kText2,    4,  u"",                                     {5760, 1320, 975,  405},   kDefault,    Centre,  kReadOnly, kNoLimit,    {6, 5}},
    ControlSpec{B, kCommand1, 0,  u"Изчисли",                              {240,  2160, 1695, 375},   kCalculate,  Centre,  kEditable, kNoLimit,    {kNone, kNone}},
    ControlSpec{L, kLabel1,   10, u"Общо време за сайта",                  {3840, 2040, 2895, 375},   kHeading,    Centre,  kEditable, kNoLimit,    {kNone, kNone}},
    ControlSpec{L, kLabel1,   7,  u"Часове",                               {3840, 2400, 975,  375},   kColumn,     Centre,  kEditable, kNoLimit,    {kNone, kNone}},
    ControlSpec{L, kLabel1,   8,  u"Минути",                               {4800, 2400, 975,  375},   kColumn,     Centre,  kEditable, kNoLimit,    {kNone, kNone}},
    ControlSpec{L, kLabel1,   9,  u"Секунди",                              {5760, 2400, 975,  375},   kColumn,     Centre,  kEditable, kNoLimit,    {kNone, kNone}},
    ControlSpec{B, kCommand1, 1,  u"Изтрий",                               {1920, 2760, 1695, 375},   kClear,      Centre,  kEditable, kNoLimit,    {kNone, kNone}},
    ControlSpec{T, kText2,    5,  u"",                                     {3840, 2760, 975,  405},   kDefault,    Centre,  kReadOnly, kNoLimit,    {10, 7}},
    ControlSpec{T, kText2,    6,  u"",                                     {4800, 2760, 975,  405},   kDefault,    Centre,  kReadOnly, kNoLimit,    {10, 8}},
    ControlSpec{T, kText2,    7,  u"",                                     {5760, 2760, 975,  405},   kDefault,    Centre,  kReadOnly, kNoLimit,    {10, 9}},
    ControlSpec{D, kText1,    0,  kDescription,                            {120,  3360, 6735, 1815},  kDefault,    Left,    kReadOnly, kNoLimit,    {kNone, kNone}},
};
// clang-format on

struct ControlRef {
    std::u16string_view array;
    int index;
};

// Tab goes along this order, Shift+Tab back, around again; labels never take the focus.
constexpr std::array<ControlRef, 11> kFocusOrder{{
    {kText1, 0},
    {kText2, 0},
    {kText2, 1},
    {kText2, 2},
    {kText2, 3},
    {kText2, 4},
    {kCommand1, 0},
    {kCommand1, 1},
    {kText2, 5},
    {kText2, 6},
    {kText2, 7},
}};

constexpr platform::Font kWindowFont{u"Times New Roman", 12, 400, 204};

std::size_t position(ControlRef ref) {
    for (std::size_t i = 0; i < kControls.size(); ++i) {
        if (kControls[i].array == ref.array && kControls[i].index == ref.index) {
            return i;
        }
    }
    return kControls.size();
}

// A label's text as the name of what it describes: without a closing colon.
std::u16string_view nameFromLabel(int labelIndex) {
    std::u16string_view text = kControls[position({kLabel1, labelIndex})].text;
    if (text.ends_with(u':')) {
        text.remove_suffix(1);
    }
    return text;
}

// The name assistive technology reads: a label and a button say their text, a
// number field what the labels above and beside it say, the description the title
// of the window's top label.
std::u16string accessibleName(const ControlSpec& c) {
    if (c.kind == Kind::Label || c.kind == Kind::Button) {
        return std::u16string(c.text);
    }
    if (c.kind == Kind::DescriptionBox) {
        return std::u16string(kControls[position({kLabel1, 0})].text);
    }
    std::u16string name;
    for (int label : c.namedBy) {
        if (label != kNone) {
            name += name.empty() ? u"" : u", ";
            name += nameFromLabel(label);
        }
    }
    return name;
}

std::u16string objectName(const ControlSpec& c) {
    std::u16string name(c.array);
    name += u'_';
    for (char digit : std::to_string(c.index)) {
        name += static_cast<char16_t>(digit);
    }
    return name;
}

}  // namespace

std::u16string Vistral::Fields::getText(int i) const {
    return window_.text(boxes.at(static_cast<std::size_t>(i)));
}

void Vistral::Fields::setText(int i, std::u16string_view text) {
    window_.setText(boxes.at(static_cast<std::size_t>(i)), text);
}

Vistral::Vistral()
    : window_({u"Vistral", kTitle, kClientWidth, kClientHeight, kWindowBack, kWindowFont}) {
    std::array<platform::Control, kControls.size()> controls{};
    for (std::size_t i = 0; i < kControls.size(); ++i) {
        const ControlSpec& c = kControls[i];
        switch (c.kind) {
            case Kind::Label:
                controls[i] = window_.addLabel(c.rect, c.text, c.back.value(), c.alignment);
                break;
            case Kind::TextBox:
                controls[i] = window_.addTextBox(c.rect, c.alignment, c.readOnly, c.charLimit);
                fields_.boxes.at(static_cast<std::size_t>(c.index)) = controls[i];
                break;
            case Kind::Button: {
                const auto index = static_cast<std::int16_t>(c.index);
                controls[i] = window_.addButton(c.rect, c.text, c.back.value(),
                                                [this, index] { actions_.Command1_Click(index); });
                break;
            }
            case Kind::DescriptionBox:
                controls[i] = window_.addDescriptionBox(c.rect, c.text);
                description_ = controls[i];
                break;
        }
        window_.setNames(controls[i], objectName(c), accessibleName(c));
    }

    std::array<platform::Control, kFocusOrder.size()> order{};
    for (std::size_t i = 0; i < kFocusOrder.size(); ++i) {
        order[i] = controls.at(position(kFocusOrder[i]));
    }
    window_.setFocusOrder(order);
}

}  // namespace ui
