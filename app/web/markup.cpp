// SPDX-FileCopyrightText: 2026 The Vistral developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/web/markup.h"

namespace platform::page {

namespace {

using Style = decltype(Element::style);

// Decimal digits of a small whole number, as the style writes them.
template <typename T>
void appendNumber(T& text, int value) {
    if (value < 0) {
        text += u'-';
    }
    std::array<char16_t, 12> digits{};
    std::size_t count = 0;
    unsigned magnitude =
        value < 0 ? 0U - static_cast<unsigned>(value) : static_cast<unsigned>(value);
    do {
        digits[digits.size() - ++count] = static_cast<char16_t>(u'0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    text += std::u16string_view(digits.data() + digits.size() - count, count);
}

void pixels(Style& style, std::u16string_view name, int value) {
    style += name;
    style += u':';
    appendNumber(style, value);
    style += u"px;";
}

void colour(Style& style, std::u16string_view name, Rgb rgb) {
    constexpr std::u16string_view kDigits = u"0123456789abcdef";
    style += name;
    style += u":#";
    for (const int part : {rgb.red, rgb.green, rgb.blue}) {
        style += kDigits[static_cast<std::size_t>(part >> 4)];
        style += kDigits[static_cast<std::size_t>(part & 15)];
    }
    style += u';';
}

void attribute(Element& element, std::u16string_view name, std::u16string_view value) {
    element.attributes += name;
    element.attributes += u'\0';
    element.attributes += value;
    element.attributes += u'\0';
}

// A control stands at its rectangle in pixels at 96 dots per inch.
Element control(std::u16string_view tag, std::u16string_view className, const TwipsRect& rect,
                std::u16string_view text) {
    Element element{tag, {}, {}, {}, text};
    const PixelRect p = toPixels(rect);
    pixels(element.style, u"left", p.left);
    pixels(element.style, u"top", p.top);
    pixels(element.style, u"width", p.width);
    pixels(element.style, u"height", p.height);
    attribute(element, u"class", className);
    return element;
}

void textAlign(Style& style, Alignment alignment) {
    style += alignment == Alignment::Centre ? u"text-align:center;" : u"text-align:left;";
}

}  // namespace

Element windowElement(const Window::Description& d) {
    Element window{u"div", {}, {}, {}, {}};
    window.id += d.name;
    const PixelRect client = toPixels({0, 0, d.clientWidth, d.clientHeight});
    pixels(window.style, u"width", client.width);
    pixels(window.style, u"height", client.height);
    colour(window.style, u"background", d.background);
    // Liberation Serif has the metrics of Times New Roman and Cyrillic letters.
    window.style += u"font-family:\"";
    window.style += d.font.family;
    window.style += u"\", \"Liberation Serif\", \"Tinos\", serif;font-size:";
    appendNumber(window.style, d.font.points);
    window.style += u"pt;font-weight:";
    appendNumber(window.style, d.font.weight);
    window.style += u';';
    attribute(window, u"role", u"region");
    attribute(window, u"aria-label", d.title);
    return window;
}

Element labelElement(const TwipsRect& rect, std::u16string_view text, Rgb background,
                     Alignment alignment) {
    Element label = control(u"div", u"label", rect, text);
    colour(label.style, u"background", background);
    textAlign(label.style, alignment);
    return label;
}

Element textBoxElement(const TwipsRect& rect, Alignment alignment, bool readOnly) {
    Element box = control(u"input", u"box", rect, {});
    textAlign(box.style, alignment);
    attribute(box, u"type", u"text");
    attribute(box, u"autocomplete", u"off");
    attribute(box, u"spellcheck", u"false");
    if (readOnly) {
        attribute(box, u"readonly", u"");
    } else {
        // The input boxes bring up the numeric keyboard on a phone.
        attribute(box, u"inputmode", u"decimal");
    }
    return box;
}

Element descriptionElement(const TwipsRect& rect, std::u16string_view text) {
    Element box = control(u"textarea", u"description", rect, text);
    attribute(box, u"readonly", u"");
    attribute(box, u"spellcheck", u"false");
    return box;
}

Element buttonElement(const TwipsRect& rect, std::u16string_view caption, Rgb face) {
    Element button = control(u"button", u"button", rect, caption);
    colour(button.style, u"background-color", face);
    colour(button.style, u"border-color", face);
    attribute(button, u"type", u"button");
    return button;
}

void setNames(Element& element, std::u16string_view objectName,
              std::u16string_view accessibleName) {
    element.id += objectName;
    if (element.tag == u"input" || element.tag == u"textarea") {
        attribute(element, u"aria-label", accessibleName);
    }
}

}  // namespace platform::page
