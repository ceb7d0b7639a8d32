// SPDX-FileCopyrightText: 2026 The Vistral developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// What every toolkit's implementation of the platform operations shares, in the
// standard library alone: twips to pixels and the character count of the input
// limit. The error guard is in error_guard.cpp.
#include "app/platform.h"

namespace platform {

namespace {

bool isHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool isLowSurrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

}  // namespace

int twipsToPixels(int twips, int dotsPerInch) {
    // Twips and densities are small and positive: no overflow, and adding half the
    // divisor rounds to the nearest pixel.
    return (twips * dotsPerInch + kTwipsPerInch / 2) / kTwipsPerInch;
}

PixelRect toPixels(const TwipsRect& twips, int dotsPerInch) {
    const int left = twipsToPixels(twips.left, dotsPerInch);
    const int top = twipsToPixels(twips.top, dotsPerInch);
    return {left, top, twipsToPixels(twips.left + twips.width, dotsPerInch) - left,
            twipsToPixels(twips.top + twips.height, dotsPerInch) - top};
}

std::size_t characterCount(std::u16string_view text) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!(isLowSurrogate(text[i]) && i > 0 && isHighSurrogate(text[i - 1]))) {
            ++count;
        }
    }
    return count;
}

bool fitsLimit(std::u16string_view text, int limit) {
    return limit == kNoLimit || characterCount(text) <= static_cast<std::size_t>(limit);
}

}  // namespace platform
