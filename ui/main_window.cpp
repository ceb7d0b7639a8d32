// SPDX-FileCopyrightText: 2026 The Vistral developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ui/main_window.h"

#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringList>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "app/platform.h"

namespace ui {

namespace {

using platform::Alignment;
using platform::Rgb;
using platform::TwipsRect;

enum class Kind : std::uint8_t { Label, TextBox, Button, DescriptionBox };

// One control of the window. Text boxes have no back colour of their own (the
// toolkit's applies); the index of a button is the index its click passes on.
struct Control {
    Kind kind;
    QStringView array;
    int index;
    QStringView text;
    TwipsRect rect;
    std::optional<Rgb> back;
    Alignment alignment;
    bool readOnly;
    int charLimit;
    // The labels (Label1 indices, -1 for none) whose texts name a number field.
    std::array<int, 2> namedBy;
};

constexpr QStringView kLabel1 = u"Label1";
constexpr QStringView kText2 = u"Text2";
constexpr QStringView kCommand1 = u"Command1";
constexpr QStringView kText1 = u"Text1";

constexpr Rgb kWindowBack{192, 192, 255};
constexpr Rgb kHeading{255, 192, 128};
constexpr Rgb kColumn{255, 128, 0};
constexpr Rgb kCalculate{128, 255, 128};
constexpr Rgb kClear{255, 128, 128};

constexpr int kClientWidth = 6960;  // twips
constexpr int kClientHeight = 5310;
constexpr QStringView kTitle = u"ИТ - времена,  статистика в сайт";
constexpr int kInputLimit = 5;
constexpr int kNone = -1;

constexpr QStringView kDescription =
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
    Control{L, kLabel1,   0,  u"ИТ - средно време за престой в сайт",  {960,  0,    4575, 375},   kHeading,    Centre,  kEditable, kNoLimit,    {kNone, kNone}},
    Control{L, kLabel1,   1,  u"Средно престой [s]:",                  {240,  960,  2175, 375},   kHeading,    Left,    kEditable, kNoLimit,    {kNone, kNone}},
    Control{T, kText2,    0,  u"",                                     {2400, 960,  1215, 405},   kDefault,    Left,    kEditable, kInputLimit, {1, kNone}},
    Control{L, kLabel1,   2,  u"Брой посещения:",                      {240,  1320, 2175, 375},   kHeading,    Left,    kEditable, kNoLimit,    {kNone, kNone}},
    Control{T, kText2,    1,  u"",                                     {2400, 1320, 1215, 405},   kDefault,    Left,    kEditable, kInputLimit, {2, kNone}},
    Control{L, kLabel1,   6,  u"Средно време за посетител",            {3840, 600,  2895, 375},   kHeading,    Centre,  kEditable, kNoLimit,    {kNone, kNone}},
    Control{L, kLabel1,   3,  u"Часове",                               {3840, 960,  975,  375},   kColumn,     Centre,  kEditable, kNoLimit,    {kNone, kNone}},
    Control{L, kLabel1,   4,  u"Минути",                               {4800, 960,  975,  375},   kColumn,     Centre,  kEditable, kNoLimit,    {kNone, kNone}},
    Control{L, kLabel1,   5,  u"Секунди",                              {5760, 960,  975,  375},   kColumn,     Centre,  kEditable, kNoLimit,    {kNone, kNone}},
    Control{T, kText2,    2,  u"",                                     {3840, 1320, 975,  405},   kDefault,    Centre,  kReadOnly, kNoLimit,    {6, 3}},
    Control{T, kText2,    3,  u"",                                     {4800, 1320, 975,  405},   kDefault,    Centre,  kReadOnly, kNoLimit,    {6, 4}},
    Control{T, kText2,    4,  u"",                                     {5760, 1320, 975,  405},   kDefault,    Centre,  kReadOnly, kNoLimit,    {6, 5}},
    Control{B, kCommand1, 0,  u"Изчисли",                              {240,  2160, 1695, 375},   kCalculate,  Centre,  kEditable, kNoLimit,    {kNone, kNone}},
    Control{L, kLabel1,   10, u"Общо време за сайта",                  {3840, 2040, 2895, 375},   kHeading,    Centre,  kEditable, kNoLimit,    {kNone, kNone}},
    Control{L, kLabel1,   7,  u"Часове",                               {3840, 2400, 975,  375},   kColumn,     Centre,  kEditable, kNoLimit,    {kNone, kNone}},
    Control{L, kLabel1,   8,  u"Минути",                               {4800, 2400, 975,  375},   kColumn,     Centre,  kEditable, kNoLimit,    {kNone, kNone}},
    Control{L, kLabel1,   9,  u"Секунди",                              {5760, 2400, 975,  375},   kColumn,     Centre,  kEditable, kNoLimit,    {kNone, kNone}},
    Control{B, kCommand1, 1,  u"Изтрий",                               {1920, 2760, 1695, 375},   kClear,      Centre,  kEditable, kNoLimit,    {kNone, kNone}},
    Control{T, kText2,    5,  u"",                                     {3840, 2760, 975,  405},   kDefault,    Centre,  kReadOnly, kNoLimit,    {10, 7}},
    Control{T, kText2,    6,  u"",                                     {4800, 2760, 975,  405},   kDefault,    Centre,  kReadOnly, kNoLimit,    {10, 8}},
    Control{T, kText2,    7,  u"",                                     {5760, 2760, 975,  405},   kDefault,    Centre,  kReadOnly, kNoLimit,    {10, 9}},
    Control{D, kText1,    0,  kDescription,                            {120,  3360, 6735, 1815},  kDefault,    Left,    kReadOnly, kNoLimit,    {kNone, kNone}},
};
// clang-format on

struct ControlRef {
    QStringView array;
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

QFont windowFont() {
    QFont font(QStringLiteral("Times New Roman"), 12, QFont::Normal);
    font.setStyleHint(QFont::Serif);
    return font;
}

std::size_t position(ControlRef ref) {
    for (std::size_t i = 0; i < kControls.size(); ++i) {
        if (kControls[i].array == ref.array && kControls[i].index == ref.index) {
            return i;
        }
    }
    return kControls.size();
}

// A label's text as the name of what it describes: without a closing colon.
QString nameFromLabel(int labelIndex) {
    QStringView text = kControls[position({kLabel1, labelIndex})].text;
    if (text.endsWith(u':')) {
        text.chop(1);
    }
    return text.toString();
}

}  // namespace

std::u16string Vistral::Fields::getText(int i) const {
    return platform::fieldText(*boxes.at(static_cast<std::size_t>(i)));
}

void Vistral::Fields::setText(int i, std::u16string_view text) {
    platform::setFieldText(*boxes.at(static_cast<std::size_t>(i)), text);
}

Vistral::Vistral(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Vistral"));
    platform::makeTopLevelWindow(*this, kTitle, kClientWidth, kClientHeight, kWindowBack,
                                 windowFont());

    std::array<QWidget*, kControls.size()> widgets{};
    for (std::size_t i = 0; i < kControls.size(); ++i) {
        const Control& c = kControls[i];
        QWidget* widget = nullptr;
        switch (c.kind) {
            case Kind::Label:
                widget = platform::addLabel(*this, c.rect, c.text, c.back.value(), c.alignment);
                break;
            case Kind::TextBox: {
                QLineEdit* box =
                    platform::addTextBox(*this, c.rect, c.alignment, c.readOnly, c.charLimit);
                fields_.boxes.at(static_cast<std::size_t>(c.index)) = box;
                QStringList name;
                for (int label : c.namedBy) {
                    if (label != kNone) {
                        name << nameFromLabel(label);
                    }
                }
                box->setAccessibleName(name.join(u", "));
                widget = box;
                break;
            }
            case Kind::Button: {
                QPushButton* button = platform::addButton(*this, c.rect, c.text, c.back.value());
                const auto index = static_cast<std::int16_t>(c.index);
                platform::deliverClicks(*button, [this, index] { actions_.Command1_Click(index); });
                widget = button;
                break;
            }
            case Kind::DescriptionBox:
                description_ = platform::addDescriptionBox(*this, c.rect, c.text);
                description_->setAccessibleName(kControls[position({kLabel1, 0})].text.toString());
                widget = description_;
                break;
        }
        widget->setObjectName(c.array.toString() + u'_' + QString::number(c.index));
        widgets[i] = widget;
    }

    std::array<QWidget*, kFocusOrder.size()> order{};
    for (std::size_t i = 0; i < kFocusOrder.size(); ++i) {
        order[i] = widgets.at(position(kFocusOrder[i]));
    }
    platform::setFocusOrder(order);
}

QWidget& Vistral::firstFocus() const {
    return *description_;
}

}  // namespace ui
