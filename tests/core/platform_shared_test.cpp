// SPDX-FileCopyrightText: 2026 The Vistral developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Twips to pixels, shared by every toolkit's platform layer, at the standard and at
// higher densities. (The character count behind the input limit is checked where a
// person meets it: typing and pasting into the real boxes of both builds.)
#include <gtest/gtest.h>


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
    {"title label at 144 dpi: half pixels up", {960, 0, 4575, 375}, 144, {96, 0, 458, 38}},
    {"Text2 0 at 144 dpi", {2400, 960, 1215, 405}, 144, {240, 96, 122, 41}},
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

}  // namespace
