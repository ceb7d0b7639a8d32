// SPDX-FileCopyrightText: 2026 The Vistral developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// What every toolkit's platform layer shares: twips to pixels at the standard and
// at higher densities, and the character count behind the input limit.
#include <gtest/gtest.h>

#include <string_view>

#include "app/platform.h"

namespace {

using platform::PixelRect;
using platform::TwipsRect;

struct PixelRow {
    const char* name;
    TwipsRect twips;
    int dpi;
    PixelRect pixels;
};

// At 96 dpi every value of the window divides by 15; at 144 by 10, where a half
// pixel rounds up and the size is what lies between the rounded edges.
constexpr PixelRow kPixelRows[] = {
    {"client area at 96 dpi", {0, 0, 6960, 5310}, 96, {0, 0, 464, 354}},
    {"client area at 144 dpi", {0, 0, 6960, 5310}, 144, {0, 0, 696, 531}},
    {"client area at 120 dpi", {0, 0, 6960, 5310}, 120, {0, 0, 580, 443}},
    {"title label at 96 dpi", {960, 0, 4575, 375}, 96, {64, 0, 305, 25}},
    {"title label at 144 dpi: half pixels up", {960, 0, 4575, 375}, 144, {96, 0, 458, 38}},
    {"Text2 0 at 144 dpi", {2400, 960, 1215, 405}, 144, {240, 96, 122, 41}},
    {"description at 96 dpi", {120, 3360, 6735, 1815}, 96, {8, 224, 449, 121}},
    {"description at 192 dpi", {120, 3360, 6735, 1815}, 192, {16, 448, 898, 242}},
};

TEST(PlatformShared, TwipsBecomePixelsAtTheScreensDensity) {
    for (const PixelRow& row : kPixelRows) {
        SCOPED_TRACE(row.name);
        const PixelRect got = platform::toPixels(row.twips, row.dpi);
        EXPECT_EQ(got, row.pixels) << got.left << "," << got.top << " " << got.width << "x"
                                   << got.height;
    }
}

struct CountRow {
    const char* name;
    std::u16string_view text;
    std::size_t characters;
    bool fitsFive;
};

constexpr CountRow kCountRows[] = {
    {"empty", u"", 0, true},
    {"five digits", u"99999", 5, true},
    {"six digits", u"999999", 6, false},
    {"Cyrillic, one unit each", u"Часове", 6, false},
    {"a pair is one character", u"\U0001F600", 1, true},
    {"four digits and a pair", u"1234\U0001F600", 5, true},
    {"five digits and a pair", u"12345\U0001F600", 6, false},
    {"lone high surrogate", u"1234\xD800", 5, true},
    {"low before high is two", u"123\xDC00\xD800", 5, true},
    {"three pairs and two lone units", u"\U0001F600\U0001F600\U0001F600\xDC00\xD800", 5, true},
};

TEST(PlatformShared, CharactersAreCountedAsAPersonCountsThem) {
    for (const CountRow& row : kCountRows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(platform::characterCount(row.text), row.characters);
        EXPECT_EQ(platform::fitsLimit(row.text, 5), row.fitsFive);
        EXPECT_TRUE(platform::fitsLimit(row.text, platform::kNoLimit));
    }
}

}  // namespace
