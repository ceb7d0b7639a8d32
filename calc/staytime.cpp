// SPDX-FileCopyrightText: 2026 The Vistral developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "calc/staytime.h"

#include <cmath>

#include "calc/numeric.h"

namespace calc {

namespace {
constexpr std::int32_t kSecondsPerHour = 3600;
constexpr std::int32_t kSecondsPerMinute = 60;
}  // namespace

HmsBreakdown breakDownSeconds(double t) {
    const std::int32_t hours = divideWhole(t, kSecondsPerHour);
    const double rest = t - double{kSecondsPerHour} * hours;
    const std::int32_t minutes = divideWhole(rest, kSecondsPerMinute);
    const double rest2 = rest - double{kSecondsPerMinute} * minutes;
    return {hours, minutes, roundToInt16(rest2)};
}

HmsBreakdown averageTime(double averageStay) {
    return breakDownSeconds(std::fabs(averageStay));
}

HmsBreakdown totalTime(double averageStay, std::int32_t visits) {
    return breakDownSeconds(std::fabs(averageStay * visits));
}

}  // namespace calc
