// SPDX-FileCopyrightText: 2026 The Vistral developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The window and its controls as elements of the page: the tag, the attributes,
// the inline style and the text of each, from the values the platform operations
// receive. One mapping serves both ends: the build writes the page's first frame
// from it before any script runs (prepaint.cpp), and the running program puts
// the same style, attributes and text on the elements it takes over
// (platform_web.cpp). Standard library only.
//
// The texts are written into buffers of a fixed size, without allocating: code
// without anything to destroy when an exception passes needs no exception
// trampolines in the WebAssembly, which made it a third larger.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "app/platform.h"

namespace platform::page {

// A text of at most N UTF-16 units; what does not fit is cut off (the window's
// texts fit with room to spare).
template <std::size_t N>
class Text {
  public:
    Text& operator+=(std::u16string_view more) noexcept {
        const std::size_t count = more.size() < N - size_ ? more.size() : N - size_;
        for (std::size_t i = 0; i < count; ++i) {
            units_[size_ + i] = more[i];
        }
        size_ += count;
        return *this;
    }
    Text& operator+=(char16_t unit) noexcept { return *this += std::u16string_view(&unit, 1); }

    std::u16string_view view() const noexcept { return {units_.data(), size_}; }

  private:
    std::array<char16_t, N> units_{};
    std::size_t size_ = 0;
};

struct Element {
    std::u16string_view tag;
    // Its id, the control's object name; the window's is its name.
    Text<32> id;
    // CSS declarations, "left:16px;top:64px;...".
    Text<224> style;
    // Name and value of each attribute besides id and style, each ended by
    // U+0000; a boolean attribute has the empty value.
    Text<320> attributes;
    // What the element shows: a label's or a button's text, the description's.
    std::u16string_view text;
};

Element windowElement(const Window::Description& description);
Element labelElement(const TwipsRect& rect, std::u16string_view text, Rgb background,
                     Alignment alignment);
Element textBoxElement(const TwipsRect& rect, Alignment alignment, bool readOnly);
Element descriptionElement(const TwipsRect& rect, std::u16string_view text);
Element buttonElement(const TwipsRect& rect, std::u16string_view caption, Rgb face);

// Gives a control its id and the name assistive technology reads: boxes have no
// text of their own that names them, labels and buttons do.
void setNames(Element& element, std::u16string_view objectName, std::u16string_view accessibleName);

}  // namespace platform::page
