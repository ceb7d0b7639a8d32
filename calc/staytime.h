// SPDX-FileCopyrightText: 2026 The Vistral developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The stay-time breakdown: a duration in seconds, possibly fractional, split
// into whole hours, minutes and rounded seconds, and the two durations the
// calculator shows.
#pragma once

#include <cstdint>

namespace calc {

struct HmsBreakdown {
    std::int32_t hours;    // 0 to 596523
    std::int32_t minutes;  // 0 to 59
    std::int16_t seconds;  // 0 to 59

    friend bool operator==(const HmsBreakdown&, const HmsBreakdown&) = default;
};

// Splits `t` seconds (not negative) in double precision, in this order:
//   hours   = divideWhole(t, 3600)          t rounded half to even, then truncated
//   rest    = t - 3600 * hours              keeps the fraction; down to -0.5
//   minutes = divideWhole(rest, 60)
//   rest2   = rest - 60 * minutes
//   seconds = roundToInt16(rest2)
// A value that would round up to a full 60 seconds or minutes is already counted
// in the minutes or hours, so minutes and seconds stay within 0 to 59.
// Raises OverflowError when `t` rounds to more than 2147483647.
HmsBreakdown breakDownSeconds(double t);

// The average time per visitor: the breakdown of |averageStay|.
HmsBreakdown averageTime(double averageStay);

// The total time on the site: the breakdown of |averageStay * visits|, the
// product taken in double precision.
HmsBreakdown totalTime(double averageStay, std::int32_t visits);

}  // namespace calc
