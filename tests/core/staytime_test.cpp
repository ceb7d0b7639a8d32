// SPDX-FileCopyrightText: 2026 The Vistral developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The stay-time breakdown: the table of average and total times, the limits of
// the range, and properties checked on large random samples against a breakdown
// worked out in whole numbers.
#include "calc/staytime.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cfenv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "calc/numeric.h"
#include "test_support.h"

namespace {

using calc::HmsBreakdown;
using testsupport::show;

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
// The first duration that no longer breaks down: it rounds to 2^31 seconds.
constexpr double kFirstTooLong = 2147483647.5;

std::string describe(const std::optional<HmsBreakdown>& b) {
    if (!b) {
        return "OverflowError";
    }
    return std::to_string(b->hours) + ":" + std::to_string(b->minutes) + ":" +
           std::to_string(b->seconds);
}

template <typename Compute>
std::optional<HmsBreakdown> outcome(Compute compute) {
    try {
        return compute();
    } catch (const calc::OverflowError&) {
        return std::nullopt;
    }
}

std::optional<HmsBreakdown> breakDown(double t) {
    return outcome([t] { return calc::breakDownSeconds(t); });
}

// The breakdown worked out in whole numbers: t rounded half to even by the
// hardware's own rounding, then split with integer division.
std::optional<HmsBreakdown> wholeNumberBreakdown(double t) {
    const double rounded = std::nearbyint(t);  // the tests run under FE_TONEAREST
    if (!(rounded >= 0.0 && rounded <= 2147483647.0)) {
        return std::nullopt;
    }
    const auto r = static_cast<std::int64_t>(rounded);
    return HmsBreakdown{static_cast<std::int32_t>(r / 3600),
                        static_cast<std::int32_t>(r % 3600 / 60),
                        static_cast<std::int16_t>(r % 60)};
}

struct TableRow {
    std::string name;
    double averageStay;
    double visits;  // converted with roundToInt32 before totalTime
    std::optional<HmsBreakdown> average;
    std::optional<HmsBreakdown> total;
};

constexpr std::nullopt_t kOverflow = std::nullopt;

TEST(StayTime, DescribedTable) {
    const std::vector<TableRow> rows = {
        {"100 s, 10 visits", 100, 10, HmsBreakdown{0, 1, 40}, HmsBreakdown{0, 16, 40}},
        {"3661 s, 1 visit", 3661, 1, HmsBreakdown{1, 1, 1}, HmsBreakdown{1, 1, 1}},
        {"3599.5 s -> 1:0:0", 3599.5, 1, HmsBreakdown{1, 0, 0}, HmsBreakdown{1, 0, 0}},
        {"59.5 s -> 0:1:0", 59.5, 1, HmsBreakdown{0, 1, 0}, HmsBreakdown{0, 1, 0}},
        {"58.5 s -> 0:0:58", 58.5, 1, HmsBreakdown{0, 0, 58}, HmsBreakdown{0, 0, 58}},
        {"89.6 s, 3 visits", 89.6, 3, HmsBreakdown{0, 1, 30}, HmsBreakdown{0, 4, 29}},
        {"12.5 s, 2.5 visits rounded to 2", 12.5, 2.5, HmsBreakdown{0, 0, 12},
         HmsBreakdown{0, 0, 25}},
        {"-100 s, 2 visits", -100, 2, HmsBreakdown{0, 1, 40}, HmsBreakdown{0, 3, 20}},
        {"0 s, 0 visits", 0, 0, HmsBreakdown{0, 0, 0}, HmsBreakdown{0, 0, 0}},
        {"99999 s, 21474 visits", 99999, 21474, HmsBreakdown{27, 46, 39},
         HmsBreakdown{596494, 2, 6}},
        {"99999 s, 99999 visits: the total overflows", 99999, 99999, HmsBreakdown{27, 46, 39},
         kOverflow},
        {"9E99 s: both overflow", 9e99, 1, kOverflow, kOverflow},
        {"10 s, 3E9 visits: converting the visits overflows", 10, 3e9, HmsBreakdown{0, 0, 10},
         kOverflow},
    };
    for (const TableRow& row : rows) {
        SCOPED_TRACE(row.name);
        const auto average = outcome([&] { return calc::averageTime(row.averageStay); });
        EXPECT_EQ(describe(average), describe(row.average)) << "averageTime";
        const auto total = outcome(
            [&] { return calc::totalTime(row.averageStay, calc::roundToInt32(row.visits)); });
        EXPECT_EQ(describe(total), describe(row.total)) << "totalTime";
    }
}

TEST(StayTime, BreakDownSecondsAtTheEdges) {
    struct Row {
        std::string name;
        double t;
        std::optional<HmsBreakdown> expected;
    };
    const std::vector<Row> rows = {
        {"0 -> 0:0:0", 0.0, HmsBreakdown{0, 0, 0}},
        {"-0 -> 0:0:0", -0.0, HmsBreakdown{0, 0, 0}},
        {"smallest subnormal -> 0:0:0", std::numeric_limits<double>::denorm_min(),
         HmsBreakdown{0, 0, 0}},
        {"0.5 -> 0:0:0", 0.5, HmsBreakdown{0, 0, 0}},
        {"1.5 -> 0:0:2", 1.5, HmsBreakdown{0, 0, 2}},
        {"59.4 -> 0:0:59", 59.4, HmsBreakdown{0, 0, 59}},
        {"59.5 -> 0:1:0", 59.5, HmsBreakdown{0, 1, 0}},
        {"3599.4 -> 0:59:59", 3599.4, HmsBreakdown{0, 59, 59}},
        {"3599.5 -> 1:0:0", 3599.5, HmsBreakdown{1, 0, 0}},
        {"3600.5 -> 1:0:0", 3600.5, HmsBreakdown{1, 0, 0}},
        {"3601.5 -> 1:0:2", 3601.5, HmsBreakdown{1, 0, 2}},
        {"7199.5 -> 2:0:0", 7199.5, HmsBreakdown{2, 0, 0}},
        {"86399.5 -> 24:0:0", 86399.5, HmsBreakdown{24, 0, 0}},
        {"2147483647 -> 596523:14:7", 2147483647.0, HmsBreakdown{596523, 14, 7}},
        {"just below 2147483647.5 -> 596523:14:7", std::nextafter(kFirstTooLong, 0.0),
         HmsBreakdown{596523, 14, 7}},
        {"2147483646.5 -> 596523:14:6", 2147483646.5, HmsBreakdown{596523, 14, 6}},
        {"2147483647.5: OverflowError", kFirstTooLong, kOverflow},
        {"just above 2147483647.5: OverflowError", std::nextafter(kFirstTooLong, kInf), kOverflow},
        {"2147483648: OverflowError", 2147483648.0, kOverflow},
        {"1e300: OverflowError", 1e300, kOverflow},
        {"infinity: OverflowError", kInf, kOverflow},
        {"NaN: OverflowError", kNaN, kOverflow},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(describe(breakDown(row.t)), describe(row.expected));
    }
}

TEST(StayTime, AverageAndTotalTakeTheAbsoluteValue) {
    struct Row {
        std::string name;
        std::optional<HmsBreakdown> actual;
        std::optional<HmsBreakdown> expected;
    };
    const std::vector<Row> rows = {
        {"average of -3661 s", outcome([] { return calc::averageTime(-3661); }),
         HmsBreakdown{1, 1, 1}},
        {"average of -59.5 s", outcome([] { return calc::averageTime(-59.5); }),
         HmsBreakdown{0, 1, 0}},
        {"average of -0 s", outcome([] { return calc::averageTime(-0.0); }), HmsBreakdown{0, 0, 0}},
        {"average of -2147483647 s", outcome([] { return calc::averageTime(-2147483647.0); }),
         HmsBreakdown{596523, 14, 7}},
        {"average of -2147483647.5 s", outcome([] { return calc::averageTime(-kFirstTooLong); }),
         kOverflow},
        {"average of -infinity", outcome([] { return calc::averageTime(-kInf); }), kOverflow},
        {"average of NaN", outcome([] { return calc::averageTime(kNaN); }), kOverflow},
        {"total of 1 s x -5 visits", outcome([] { return calc::totalTime(1, -5); }),
         HmsBreakdown{0, 0, 5}},
        {"total of -1 s x -5 visits", outcome([] { return calc::totalTime(-1, -5); }),
         HmsBreakdown{0, 0, 5}},
        {"total of 0.5 s x 3 visits (1.5 s)", outcome([] { return calc::totalTime(0.5, 3); }),
         HmsBreakdown{0, 0, 2}},
        {"total of 1 s x 2147483647 visits", outcome([] { return calc::totalTime(1, 2147483647); }),
         HmsBreakdown{596523, 14, 7}},
        {"total of 1 s x -2147483648 visits (2^31 s)",
         outcome([] { return calc::totalTime(1, -2147483647 - 1); }), kOverflow},
        {"total of 65536 s x 32768 visits (2^31 s)",
         outcome([] { return calc::totalTime(65536, 32768); }), kOverflow},
        {"total of 65536 s x 32767 visits", outcome([] { return calc::totalTime(65536, 32767); }),
         HmsBreakdown{596505, 1, 52}},
        {"total of 1e-300 s x 2147483647 visits",
         outcome([] { return calc::totalTime(1e-300, 2147483647); }), HmsBreakdown{0, 0, 0}},
        {"total of 1e300 s x 0 visits", outcome([] { return calc::totalTime(1e300, 0); }),
         HmsBreakdown{0, 0, 0}},
        {"total of -0 s x 5 visits", outcome([] { return calc::totalTime(-0.0, 5); }),
         HmsBreakdown{0, 0, 0}},
        {"total of infinity x 0 visits is NaN", outcome([] { return calc::totalTime(kInf, 0); }),
         kOverflow},
        {"total of 1e300 s x 2 visits", outcome([] { return calc::totalTime(1e300, 2); }),
         kOverflow},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(describe(row.actual), describe(row.expected));
    }
}

// Compares breakDownSeconds with the whole-number breakdown on every duration
// given; reports the first few disagreements and any minutes or seconds out of
// 0..59.
class BreakdownCheck {
  public:
    BreakdownCheck() { EXPECT_EQ(std::fegetround(), FE_TONEAREST); }

    void check(double t) {
        ++count_;
        const auto actual = breakDown(t);
        const auto expected = wholeNumberBreakdown(t);
        const bool inRange = !actual || (actual->minutes >= 0 && actual->minutes <= 59 &&
                                         actual->seconds >= 0 && actual->seconds <= 59);
        if ((actual != expected || !inRange) && ++failures_ <= 10) {
            ADD_FAILURE() << "t = " << show(t) << ": expected " << describe(expected) << ", got "
                          << describe(actual);
        }
    }
    int count() const { return count_; }

  private:
    int count_ = 0;
    int failures_ = 0;
};

TEST(StayTimeProperty, RandomDurationsBreakDownLikeWholeNumbers) {
    std::mt19937_64 random(11);
    std::uniform_real_distribution<double> anywhere(0.0, kFirstTooLong);
    std::uniform_real_distribution<double> logScale(-30.0, 31.0);
    std::uniform_int_distribution<std::int64_t> whole(0, 2147483647);
    std::uniform_real_distribution<double> fraction(0.0, 1.0);
    std::uniform_int_distribution<int> kind(0, 3);
    BreakdownCheck check;
    for (int i = 0; i < 200'000; ++i) {
        double t = 0.0;
        switch (kind(random)) {
            case 0:
                t = anywhere(random);
                break;
            case 1:
                t = std::exp2(logScale(random));
                break;
            case 2:
                t = static_cast<double>(whole(random)) + fraction(random);
                break;
            default: {
                // Next to a whole minute or hour, where a rounding carries over.
                const double boundary = static_cast<double>(whole(random) / 60 * 60);
                const double offsets[] = {-0.5, 0.5, -0.4999999, 0.4999999, 0.0};
                t = boundary + offsets[static_cast<std::size_t>(i) % 5];
                t = i % 3 == 0 ? std::nextafter(t, 0.0)
                               : (i % 3 == 1 ? std::nextafter(t, kInf) : t);
                break;
            }
        }
        if (t >= 0.0 && t < kFirstTooLong) {
            check.check(t);
        }
    }
    EXPECT_GT(check.count(), 190'000);
}

TEST(StayTimeProperty, EveryTieOfADenseRangeBreaksDownLikeWholeNumbers) {
    BreakdownCheck check;
    // The first two million ties, k + 0.5, and the last million below the limit.
    for (std::int64_t k = 0; k < 2'000'000; ++k) {
        check.check(static_cast<double>(k) + 0.5);
    }
    for (std::int64_t k = 2147483647 - 1'000'000; k < 2147483647; ++k) {
        check.check(static_cast<double>(k) + 0.5);
    }
    EXPECT_EQ(check.count(), 3'000'000);
}

TEST(StayTimeProperty, RandomTiesUpTo2To31BreakDownLikeWholeNumbers) {
    std::mt19937_64 random(12);
    std::uniform_int_distribution<std::int64_t> whole(0, 2147483646);
    BreakdownCheck check;
    for (int i = 0; i < 200'000; ++i) {
        const double tie = static_cast<double>(whole(random)) + 0.5;
        check.check(tie);
        check.check(std::nextafter(tie, 0.0));
        check.check(std::nextafter(tie, kInf));
    }
}

TEST(StayTimeProperty, EveryDurationFrom2147483647AndAHalfUpOverflows) {
    std::mt19937_64 random(13);
    std::uniform_real_distribution<double> logScale(31.0, 1023.0);
    int failures = 0;
    for (int i = 0; i < 100'000 && failures < 10; ++i) {
        const double t =
            i == 0 ? kFirstTooLong : std::max(kFirstTooLong, std::exp2(logScale(random)));
        if (breakDown(t)) {
            ADD_FAILURE() << "t = " << show(t) << " broke down as " << describe(breakDown(t));
            ++failures;
        }
    }
}

}  // namespace
