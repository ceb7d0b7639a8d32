// SPDX-FileCopyrightText: 2026 The Vistral developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The numeric rules: reading a number from a field's text, rounding to a 32- or
// 16-bit integer, whole division and the text of an integer. Each group is a
// table of named rows.
#include "calc/numeric.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <locale>
#include <optional>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "test_support.h"

namespace {

using testsupport::exactDecimal;
using testsupport::sameDouble;
using testsupport::show;
using testsupport::u16;

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kDenormMin = std::numeric_limits<double>::denorm_min();
constexpr double kTwo53 = 9007199254740992.0;

// ---------------------------------------------------------------------------
// readNumber

// What reading a text gives: a value, compared bit for bit, or OverflowError.
struct Reading {
    bool overflow = false;
    double value = 0.0;
};
Reading reads(double value) {
    return {false, value};
}
constexpr Reading kOverflow{true, 0.0};

struct ReadRow {
    std::string name;
    std::u16string text;
    Reading expected;
};

void expectReadings(const std::vector<ReadRow>& rows) {
    for (const ReadRow& row : rows) {
        SCOPED_TRACE(row.name + "  [text " + show(row.text) + "]");
        if (row.expected.overflow) {
            EXPECT_THROW(calc::readNumber(row.text), calc::OverflowError);
            continue;
        }
        try {
            EXPECT_TRUE(sameDouble(row.expected.value, calc::readNumber(row.text)));
        } catch (const calc::OverflowError&) {
            ADD_FAILURE() << "raised OverflowError, expected " << show(row.expected.value);
        }
    }
}

std::u16string repeated(char c, std::size_t n) {
    return std::u16string(n, static_cast<char16_t>(c));
}

TEST(ReadNumber, DescribedEdgeCases) {
    expectReadings({
        {"empty text -> 0", u"", reads(0)},
        {"'abc' -> 0", u"abc", reads(0)},
        {"'-' -> 0", u"-", reads(0)},
        {"'12abc' -> 12", u"12abc", reads(12)},
        {"' 7' -> 7", u" 7", reads(7)},
        {"'1 2' -> 12", u"1 2", reads(12)},
        {"'1,5' -> 1", u"1,5", reads(1)},
        {"'1.5' -> 1.5", u"1.5", reads(1.5)},
        {"'-100' -> -100", u"-100", reads(-100)},
        {"'.5' -> 0.5", u".5", reads(0.5)},
        {"'1E3' -> 1000", u"1E3", reads(1000)},
        {"'&H10' -> 16", u"&H10", reads(16)},
        {"'&h1f' -> 31", u"&h1f", reads(31)},
        {"'&O10' -> 8", u"&O10", reads(8)},
    });
}

TEST(ReadNumber, DecimalForms) {
    expectReadings({
        {"point then exponent: '1.e1' -> 10", u"1.e1", reads(10)},
        {"trailing point: '5.' -> 5", u"5.", reads(5)},
        {"plus, leading point, negative exponent: '+.5e-1' -> 0.05", u"+.5e-1", reads(0.05)},
        {"plus sign: '+5' -> 5", u"+5", reads(5)},
        {"minus and leading point: '-.5' -> -0.5", u"-.5", reads(-0.5)},
        {"lone point: '.' -> 0", u".", reads(0)},
        {"lone plus: '+' -> 0", u"+", reads(0)},
        {"sign and point: '+.' -> 0", u"+.", reads(0)},
        {"sign and point: '-.' -> 0", u"-.", reads(0)},
        {"two signs: '+-5' -> 0", u"+-5", reads(0)},
        {"two signs: '-+5' -> 0", u"-+5", reads(0)},
        {"two minus signs: '--5' -> 0", u"--5", reads(0)},
        {"second point ends: '1.5.3' -> 1.5", u"1.5.3", reads(1.5)},
        {"second point ends: '1..5' -> 1", u"1..5", reads(1)},
        {"leading zeros: '007' -> 7", u"007", reads(7)},
        {"leading and trailing zeros: '-007.50' -> -7.5", u"-007.50", reads(-7.5)},
        {"zero: '0.0' -> 0", u"0.0", reads(0)},
        {"negative zero keeps its sign: '-0' -> -0", u"-0", reads(-0.0)},
        {"sign of exponent: '1e+3' -> 1000", u"1e+3", reads(1000)},
        {"negative exponent: '1e-3' -> 0.001", u"1e-3", reads(0.001)},
        {"exponent without mantissa: 'e5' -> 0", u"e5", reads(0)},
        {"exponent after a lone point: '.e5' -> 0", u".e5", reads(0)},
        {"second exponent ends: '1e2e3' -> 100", u"1e2e3", reads(100)},
        {"point in the exponent ends: '1.5e2.5' -> 150", u"1.5e2.5", reads(150)},
        {"twenty digits: '12345678901234567890'", u"12345678901234567890",
         reads(12345678901234567890.0)},
        {"'0.1' is the double nearest 0.1", u"0.1", reads(0.1)},
        {"'0.3' is the double nearest 0.3", u"0.3", reads(0.3)},
        {"'123.456'", u"123.456", reads(123.456)},
        {"'2.5e-3'", u"2.5e-3", reads(2.5e-3)},
        {"underscore ends: '1_000' -> 1", u"1_000", reads(1)},
    });
}

TEST(ReadNumber, BlankTabLineFeedAndCarriageReturnCountNowhere) {
    expectReadings({
        {"leading blank: ' 7' -> 7", u" 7", reads(7)},
        {"trailing blank: '7 ' -> 7", u"7 ", reads(7)},
        {"blank between digits: '1 2' -> 12", u"1 2", reads(12)},
        {"tab, CR, LF everywhere: '\\t-\\t1\\r\\n2' -> -12", u"\t-\t1\r\n2", reads(-12)},
        {"carriage return between digits: '1\\r5' -> 15", u"1\r5", reads(15)},
        {"line feeds around the point: '1\\n.\\n5' -> 1.5", u"1\n.\n5", reads(1.5)},
        {"blank after the sign: '- 5' -> -5", u"- 5", reads(-5)},
        {"blanks around the exponent letter: '1 E 3' -> 1000", u"1 E 3", reads(1000)},
        {"blanks around the exponent sign: '1E - 3' -> 0.001", u"1E - 3", reads(0.001)},
        {"blanks inside the hex prefix: '& H 1 0' -> 16", u"& H 1 0", reads(16)},
        {"tab, CR, LF inside an octal number: '&\\tO\\r1\\n7' -> 15", u"&\tO\r1\n7", reads(15)},
        {"only blanks -> 0", u"   ", reads(0)},
        {"only CR LF -> 0", u"\r\n", reads(0)},
        {"blanks everywhere: '1 . 5 e 1' -> 15", u"1 . 5 e 1", reads(15)},
    });
}

TEST(ReadNumber, AnyOtherCharacterEndsTheNumber) {
    expectReadings({
        {"no-break space ends: '1\\u00A02' -> 1", u"1\u00A02", reads(1)},
        {"leading no-break space: '\\u00A07' -> 0", u"\u00A07", reads(0)},
        {"thin space ends: '1\\u20092' -> 1", u"1\u20092", reads(1)},
        {"ideographic space ends: '1\\u30002' -> 1", u"1\u30002", reads(1)},
        {"vertical tab ends: '1\\v2' -> 1", u"1\v2", reads(1)},
        {"form feed ends: '1\\f2' -> 1", u"1\f2", reads(1)},
        {"NUL character ends: '1\\u00002' -> 1",
         std::u16string(u"1\0"
                        u"2",
                        3),
         reads(1)},
        {"full-width digits are not digits -> 0", u"\uFF11\uFF12", reads(0)},
        {"full-width digit ends: '1\\uFF12' -> 1", u"1\uFF12", reads(1)},
        {"Arabic-Indic three is not a digit -> 0", u"\u0663", reads(0)},
        {"Arabic-Indic digit ends: '5\\u0663' -> 5", u"5\u0663", reads(5)},
        {"digit outside the BMP ends: '1\\U0001D7D82' -> 1", u"1\U0001D7D82", reads(1)},
        {"type letter %: '5%' -> 5", u"5%", reads(5)},
        {"type letter &: '5&' -> 5", u"5&", reads(5)},
        {"type letter !: '5!' -> 5", u"5!", reads(5)},
        {"type letter #: '5#' -> 5", u"5#", reads(5)},
        {"type letter @: '5@' -> 5", u"5@", reads(5)},
        {"type letter first: '%5' -> 0", u"%5", reads(0)},
        {"comma as thousands separator: '1,000' -> 1", u"1,000", reads(1)},
        {"'inf' is not a number -> 0", u"inf", reads(0)},
        {"'-Infinity' is not a number -> 0", u"-Infinity", reads(0)},
        {"'nan' is not a number -> 0", u"nan", reads(0)},
        {"C hex form: '0x10' -> 0", u"0x10", reads(0)},
        {"C hex float form: '0x1p3' -> 0", u"0x1p3", reads(0)},
    });
}

TEST(ReadNumber, ExponentLetters) {
    expectReadings({
        {"'1D3' -> 1000", u"1D3", reads(1000)},
        {"'1d3' -> 1000", u"1d3", reads(1000)},
        {"'2.5D-1' -> 0.25", u"2.5D-1", reads(0.25)},
        {"'.5D1' -> 5", u".5D1", reads(5)},
        {"letter without digits: '1E' -> 1", u"1E", reads(1)},
        {"letter and sign without digits: '1E+' -> 1", u"1E+", reads(1)},
        {"letter and minus without digits: '1E-' -> 1", u"1E-", reads(1)},
        {"'1D' -> 1", u"1D", reads(1)},
        {"'1d+' -> 1", u"1d+", reads(1)},
        {"'1E+x' -> 1", u"1E+x", reads(1)},
        {"'1Ex5' -> 1", u"1Ex5", reads(1)},
        {"two exponent signs: '1E+-3' -> 1", u"1E+-3", reads(1)},
        {"two exponent letters: '1EE3' -> 1", u"1EE3", reads(1)},
        {"'1ED3' -> 1", u"1ED3", reads(1)},
        {"point in the exponent ends: '1E3.5' -> 1000", u"1E3.5", reads(1000)},
        {"second exponent ends: '1E3E3' -> 1000", u"1E3E3", reads(1000)},
        {"no mantissa: 'E3' -> 0", u"E3", reads(0)},
        {"no mantissa: 'D3' -> 0", u"D3", reads(0)},
        {"'1E0' -> 1", u"1E0", reads(1)},
        {"'1E-0' -> 1", u"1E-0", reads(1)},
        {"'1E+03' -> 1000", u"1E+03", reads(1000)},
        {"many leading zeros in the exponent", u"1E0000000000000000000005", reads(1e5)},
        {"huge negative exponent -> 0", u"1E-4000000000000000000000", reads(0)},
        {"huge positive exponent -> OverflowError", u"1E4000000000000000000000", kOverflow},
        {"zero with a huge exponent: '0E400' -> 0", u"0E400", reads(0)},
        {"zeros with a huge exponent -> 0", u"0.000E99999999999", reads(0)},
        {"negative zero with a huge exponent -> -0", u"-0E400", reads(-0.0)},
    });
}

TEST(ReadNumber, PrefixedNumbers) {
    expectReadings({
        {"'&H10' -> 16", u"&H10", reads(16)},
        {"lower-case prefix: '&h10' -> 16", u"&h10", reads(16)},
        {"mixed-case digits: '&hFf' -> 255", u"&hFf", reads(255)},
        {"'&HfF' -> 255", u"&HfF", reads(255)},
        {"'&HE' -> 14", u"&HE", reads(14)},
        {"'&HA' -> 10", u"&HA", reads(10)},
        {"'&H0' -> 0", u"&H0", reads(0)},
        {"'&O17' -> 15", u"&O17", reads(15)},
        {"lower-case prefix: '&o17' -> 15", u"&o17", reads(15)},
        {"8 is not octal: '&O8' -> 0", u"&O8", reads(0)},
        {"8 ends the octal digits: '&O78' -> 7", u"&O78", reads(7)},
        {"9 ends the octal digits: '&O19' -> 1", u"&O19", reads(1)},
        {"prefix without digits: '&H' -> 0", u"&H", reads(0)},
        {"prefix without digits: '&O' -> 0", u"&O", reads(0)},
        {"lone ampersand: '&' -> 0", u"&", reads(0)},
        {"unknown prefix: '&X10' -> 0", u"&X10", reads(0)},
        {"unknown prefix: '&B101' -> 0", u"&B101", reads(0)},
        {"G ends the hex digits: '&H1G' -> 1", u"&H1G", reads(1)},
        {"no 16-bit wrap: '&HFFFF' -> 65535", u"&HFFFF", reads(65535)},
        {"no 16-bit wrap: '&H8000' -> 32768", u"&H8000", reads(32768)},
        {"no 16-bit wrap: '&O177777' -> 65535", u"&O177777", reads(65535)},
        {"no 32-bit wrap: '&HFFFFFFFF' -> 4294967295", u"&HFFFFFFFF", reads(4294967295.0)},
        {"no 64-bit wrap: '&H10000000000000000' -> 2^64", u"&H10000000000000000",
         reads(18446744073709551616.0)},
        {"minus before the prefix: '-&H10' -> 0", u"-&H10", reads(0)},
        {"plus before the prefix: '+&H10' -> 0", u"+&H10", reads(0)},
        {"minus after the prefix: '&H-10' -> 0", u"&H-10", reads(0)},
        {"plus after the prefix: '&H+10' -> 0", u"&H+10", reads(0)},
        {"no fraction in hex: '&H.8' -> 0", u"&H.8", reads(0)},
        {"point ends the hex digits: '&H1.8' -> 1", u"&H1.8", reads(1)},
        {"E is a hex digit, not an exponent: '&H1E3' -> 483", u"&H1E3", reads(483)},
        {"D is a hex digit, not an exponent: '&H1D2' -> 466", u"&H1D2", reads(466)},
        {"no exponent in octal: '&O1E3' -> 1", u"&O1E3", reads(1)},
        {"two ampersands: '&&H10' -> 0", u"&&H10", reads(0)},
        {"second prefix ends: '&H10&H10' -> 16", u"&H10&H10", reads(16)},
        {"many leading zeros", u"&H00000000000000000000010", reads(16)},
        {"a decimal number ends at the ampersand: '1&H10' -> 1", u"1&H10", reads(1)},
    });
}

TEST(ReadNumber, LongPrefixedNumbersRoundToTheNearestDouble) {
    const double dblMax = std::numeric_limits<double>::max();
    expectReadings({
        {"2^53-1 is exact", u"&H1FFFFFFFFFFFFF", reads(kTwo53 - 1)},
        {"2^53+1 is a tie, to even 2^53", u"&H20000000000001", reads(kTwo53)},
        {"2^53+3 is a tie, to even 2^53+4", u"&H20000000000003", reads(kTwo53 + 4)},
        {"2^53+5 is a tie, to even 2^53+4", u"&H20000000000005", reads(kTwo53 + 4)},
        {"2^57+16 is a tie, to even 2^57", u"&H200000000000010", reads(kTwo53 * 16)},
        {"2^57+17 is past the tie: 2^57+32", u"&H200000000000011", reads(kTwo53 * 16 + 32)},
        {"2^57+15 is short of the tie: 2^57", u"&H20000000000000F", reads(kTwo53 * 16)},
        {"a far nonzero digit breaks the tie upwards", u"&H20000000000001000000000000000001",
         reads(std::ldexp(kTwo53 + 2, 72))},
        {"2^64-1 -> 2^64", u"&HFFFFFFFFFFFFFFFF", reads(18446744073709551616.0)},
        {"tie below 2^64, to even", u"&HFFFFFFFFFFFFF400", reads(18446744073709547520.0)},
        {"tie next to 2^64, to even 2^64", u"&HFFFFFFFFFFFFFC00", reads(18446744073709551616.0)},
        {"octal 2^53+1 is a tie, to even 2^53", u"&O400000000000000001", reads(kTwo53)},
        {"octal 2^53+3 is a tie, to even 2^53+4", u"&O400000000000000003", reads(kTwo53 + 4)},
        {"a thousand leading zeros", u"&H" + repeated('0', 1000) + u"1", reads(1)},
        {"largest double", u"&HFFFFFFFFFFFFF8" + repeated('0', 242), reads(dblMax)},
        {"just below the tie above the largest double", u"&HFFFFFFFFFFFFFB" + repeated('F', 242),
         reads(dblMax)},
        {"the tie above the largest double overflows", u"&HFFFFFFFFFFFFFC" + repeated('0', 242),
         kOverflow},
        {"2^1023", u"&H8" + repeated('0', 255), reads(std::ldexp(1.0, 1023))},
        {"2^1024-1 rounds to 2^1024 and overflows", u"&H" + repeated('F', 256), kOverflow},
        {"2^1024 overflows", u"&H1" + repeated('0', 256), kOverflow},
        {"octal 2^1023", u"&O1" + repeated('0', 341), reads(std::ldexp(1.0, 1023))},
        {"octal 2^1023-1 rounds to 2^1023", u"&O" + repeated('7', 341),
         reads(std::ldexp(1.0, 1023))},
        {"octal 2^1024-1 overflows", u"&O1" + repeated('7', 341), kOverflow},
        {"octal 2^1024 overflows", u"&O2" + repeated('0', 341), kOverflow},
    });
}

TEST(ReadNumber, RangeOfADouble) {
    const double dblMax = std::numeric_limits<double>::max();
    const double dblMin = std::numeric_limits<double>::min();
    const double largestSubnormal = dblMin - kDenormMin;
    // The ties between neighbouring doubles at both ends of the range, written
    // out exactly.
    const auto aboveMax = exactDecimal((std::uint64_t{1} << 54) - 1, 970);  // 2^1024 - 2^970
    const auto halfDenormMin = exactDecimal(1, -1075);
    const auto belowMin = exactDecimal((std::uint64_t{1} << 53) - 1, -1075);  // 2^-1022 - 2^-1075
    expectReadings({
        {"'1E400' overflows", u"1E400", kOverflow},
        {"'-1E400' overflows", u"-1E400", kOverflow},
        {"'1E308' is finite", u"1E308", reads(1e308)},
        {"largest double '1.7976931348623157E308'", u"1.7976931348623157E308", reads(dblMax)},
        {"'-1.7976931348623157E308'", u"-1.7976931348623157E308", reads(-dblMax)},
        {"'1.7976931348623158E308' rounds down to the largest double", u"1.7976931348623158E308",
         reads(dblMax)},
        {"'1.8E308' overflows", u"1.8E308", kOverflow},
        {"'-1.8E308' overflows", u"-1.8E308", kOverflow},
        {"the tie above the largest double overflows", u16(aboveMax.text()), kOverflow},
        {"just above that tie overflows", u16(aboveMax.justAbove()), kOverflow},
        {"just below that tie is the largest double", u16(aboveMax.justBelow()), reads(dblMax)},
        {"310 digits overflow without an exponent", u"1" + repeated('0', 309), kOverflow},
        {"'0.1E310' overflows", u"0.1E310", kOverflow},
        {"'0.01E310' is 1E308", u"0.01E310", reads(1e308)},
        {"'0.001E311' is 1E308", u"0.001E311", reads(1e308)},
        {"leading zeros do not count: 1000 zeros then '1.8E308'", repeated('0', 1000) + u"1.8E308",
         kOverflow},
        {"1000 zeros then '1E308'", repeated('0', 1000) + u"1E308", reads(1e308)},
        {"'1E-400' -> 0", u"1E-400", reads(0)},
        {"'-1E-400' -> -0", u"-1E-400", reads(-0.0)},
        {"subnormal '1E-310'", u"1E-310", reads(1e-310)},
        {"smallest subnormal '4.9406564584124654E-324'", u"4.9406564584124654E-324",
         reads(kDenormMin)},
        {"'5E-324' is the smallest subnormal", u"5E-324", reads(kDenormMin)},
        {"'2.4703282292062327E-324' is below half of it -> 0", u"2.4703282292062327E-324",
         reads(0)},
        {"'2.4703282292062328E-324' is above half of it", u"2.4703282292062328E-324",
         reads(kDenormMin)},
        {"exactly half the smallest subnormal is a tie, to even 0", u16(halfDenormMin.text()),
         reads(0)},
        {"just above that tie", u16(halfDenormMin.justAbove()), reads(kDenormMin)},
        {"just below that tie", u16(halfDenormMin.justBelow()), reads(0)},
        {"'1000E-326' is twice the smallest subnormal", u"1000E-326", reads(2 * kDenormMin)},
        {"'100E-326' -> 0", u"100E-326", reads(0)},
        {"largest subnormal '2.2250738585072011E-308'", u"2.2250738585072011E-308",
         reads(largestSubnormal)},
        {"'2.2250738585072012E-308' is the smallest normal", u"2.2250738585072012E-308",
         reads(dblMin)},
        {"tie between the largest subnormal and the smallest normal, to even", u16(belowMin.text()),
         reads(dblMin)},
        {"just below that tie", u16(belowMin.justBelow()), reads(largestSubnormal)},
        {"401 places after the point -> 0", u"0." + repeated('0', 400) + u"1", reads(0)},
        {"401 places after the point, scaled back", u"0." + repeated('0', 400) + u"1E401",
         reads(1)},
        {"401 digits scaled back", u"1" + repeated('0', 400) + u"E-400", reads(1)},
    });
}

TEST(ReadNumber, DecimalTiesRoundToEven) {
    const auto onePlusHalfUlp = exactDecimal((std::uint64_t{1} << 53) + 1, -53);
    const auto oneMinusHalfUlp = exactDecimal((std::uint64_t{1} << 54) - 1, -54);
    expectReadings({
        {"2^53+1 is a tie, to even 2^53", u"9007199254740993", reads(kTwo53)},
        {"2^53+3 is a tie, to even 2^53+4", u"9007199254740995", reads(kTwo53 + 4)},
        {"a tie broken upwards by the 20th decimal", u"9007199254740993.00000000000000000001",
         reads(kTwo53 + 2)},
        {"just below 2^53+1", u"9007199254740992.99999999999999999999", reads(kTwo53)},
        {"1 + 2^-53 is a tie, to even 1", u16(onePlusHalfUlp.text()), reads(1)},
        {"just above 1 + 2^-53", u16(onePlusHalfUlp.justAbove()), reads(std::nextafter(1.0, 2.0))},
        {"just below 1 + 2^-53", u16(onePlusHalfUlp.justBelow()), reads(1)},
        {"1 - 2^-54 is a tie, to even 1", u16(oneMinusHalfUlp.text()), reads(1)},
        {"just below 1 - 2^-54", u16(oneMinusHalfUlp.justBelow()), reads(std::nextafter(1.0, 0.0))},
        {"negative tie, to even", u"-9007199254740993", reads(-kTwo53)},
    });
}

TEST(ReadNumber, MillionDigitTexts) {
    constexpr std::size_t kMiB = std::size_t{1} << 20;
    const std::u16string scale = u16("E-" + std::to_string(kMiB));
    expectReadings({
        {"a one followed by a million zeros overflows", u"1" + repeated('0', kMiB), kOverflow},
        {"a million zeros after the point, then 1 -> 0", u"0." + repeated('0', kMiB) + u"1",
         reads(0)},
        {"a million nines after the point -> 1", u"0." + repeated('9', kMiB), reads(1)},
        {"a million threes, scaled -> 1/3", repeated('3', kMiB) + scale, reads(1.0 / 3.0)},
        {"a tie followed by a million zeros stays a tie",
         u"9007199254740993." + repeated('0', kMiB), reads(kTwo53)},
        {"a nonzero digit a million places after a tie breaks it",
         u"9007199254740993." + repeated('0', kMiB) + u"1", reads(kTwo53 + 2)},
        {"a million nines after a number just below a tie",
         u"9007199254740992." + repeated('9', kMiB), reads(kTwo53)},
        {"a million blanks before the number", repeated(' ', kMiB) + u"5", reads(5)},
        {"a million zeros in the exponent", u"1E" + repeated('0', kMiB) + u"5", reads(1e5)},
        {"a million leading zeros in hex", u"&H" + repeated('0', kMiB) + u"FF", reads(255)},
        {"a million hex digits overflow", u"&H1" + repeated('0', kMiB), kOverflow},
    });
}

// The reading ignores the process locale: under a locale whose decimal separator
// is a comma, the period is still the decimal point and a comma still ends the
// number.
class UnderACommaLocale : public ::testing::Test {
  protected:
    void SetUp() override {
#if defined(__EMSCRIPTEN__)
        GTEST_SKIP() << "the web's C library (musl) has no locale with a decimal comma";
#elif defined(_WIN32)
        // The C runtime's name for Bulgarian. libstdc++ on Windows knows no named
        // locale but "C", so only the C locale changes.
        if (std::setlocale(LC_ALL, "Bulgarian_Bulgaria.1251") == nullptr) {
            GTEST_SKIP() << "the C runtime has no Bulgarian locale";
        }
#else
        try {
            std::locale::global(std::locale("bg_BG.UTF-8"));
        } catch (const std::runtime_error&) {
            GTEST_SKIP() << "the locale bg_BG.UTF-8 is not installed (locale-gen bg_BG.UTF-8)";
        }
        if (std::setlocale(LC_ALL, "bg_BG.UTF-8") == nullptr) {
            GTEST_SKIP() << "the locale bg_BG.UTF-8 is not installed (locale-gen bg_BG.UTF-8)";
        }
#endif
        // The locale really reads "1,5" as one and a half: the rows below mean something.
        ASSERT_STREQ(std::localeconv()->decimal_point, ",");
        ASSERT_EQ(std::strtod("1,5", nullptr), 1.5);
    }
    void TearDown() override {
        std::locale::global(std::locale::classic());
        std::setlocale(LC_ALL, "C");
    }
};

TEST_F(UnderACommaLocale, ReadNumberStillUsesThePeriod) {
    expectReadings({
        {"'1.5' -> 1.5", u"1.5", reads(1.5)},
        {"'1,5' -> 1", u"1,5", reads(1)},
        {"'-0.25E1' -> -2.5", u"-0.25E1", reads(-2.5)},
        {"'1 234,5' -> 1234", u"1 234,5", reads(1234)},
        {"'0.1' is the double nearest 0.1", u"0.1", reads(0.1)},
        {"'&H10' -> 16", u"&H10", reads(16)},
    });
}

TEST_F(UnderACommaLocale, FormatIntHasNoGroupSeparator) {
    EXPECT_EQ(calc::formatInt(1234567), u"1234567");
    EXPECT_EQ(calc::formatInt(-2147483647 - 1), u"-2147483648");
}

// ---------------------------------------------------------------------------
// roundToInt32 and roundToInt16

// What rounding gives: a whole number, or OverflowError (nullopt).
struct RoundRow {
    std::string name;
    double x;
    std::optional<std::int32_t> expected;
};
constexpr std::nullopt_t kOverflows = std::nullopt;

template <typename Round>
void expectRoundings(Round round, const std::vector<RoundRow>& rows) {
    for (const RoundRow& row : rows) {
        SCOPED_TRACE(row.name + "  [x = " + show(row.x) + "]");
        if (!row.expected) {
            EXPECT_THROW(round(row.x), calc::OverflowError);
            continue;
        }
        try {
            EXPECT_EQ(round(row.x), *row.expected);
        } catch (const calc::OverflowError&) {
            ADD_FAILURE() << "raised OverflowError, expected " << *row.expected;
        }
    }
}

void expectInt32(const std::vector<RoundRow>& rows) {
    expectRoundings([](double x) { return calc::roundToInt32(x); }, rows);
}
void expectInt16(const std::vector<RoundRow>& rows) {
    expectRoundings([](double x) { return std::int32_t{calc::roundToInt16(x)}; }, rows);
}

double below(double x) {
    return std::nextafter(x, -kInf);
}
double above(double x) {
    return std::nextafter(x, kInf);
}

TEST(RoundToInt32, DescribedCases) {
    expectInt32({
        {"2.5 -> 2", 2.5, 2},
        {"3.5 -> 4", 3.5, 4},
        {"-0.5 -> 0", -0.5, 0},
        {"2147483647.4 -> 2147483647", 2147483647.4, 2147483647},
        {"2147483647.5 -> OverflowError", 2147483647.5, kOverflows},
        {"3E9 -> OverflowError", 3e9, kOverflows},
    });
}

TEST(RoundToInt32, TiesGoToTheEvenNeighbour) {
    expectInt32({
        {"0.5 -> 0", 0.5, 0},
        {"1.5 -> 2", 1.5, 2},
        {"-1.5 -> -2", -1.5, -2},
        {"-2.5 -> -2", -2.5, -2},
        {"-3.5 -> -4", -3.5, -4},
        {"58.5 -> 58", 58.5, 58},
        {"59.5 -> 60", 59.5, 60},
        {"1000000.5 -> 1000000", 1000000.5, 1000000},
        {"1000001.5 -> 1000002", 1000001.5, 1000002},
        {"2147483645.5 -> 2147483646", 2147483645.5, 2147483646},
        {"2147483646.5 -> 2147483646", 2147483646.5, 2147483646},
        {"-2147483646.5 -> -2147483646", -2147483646.5, -2147483646},
        {"-2147483647.5 -> -2147483648", -2147483647.5, -2147483647 - 1},
        {"just below 0.5 -> 0", below(0.5), 0},
        {"just above 0.5 -> 1", above(0.5), 1},
        {"just below 1.5 -> 1", below(1.5), 1},
        {"just below 2.5 -> 2", below(2.5), 2},
        {"just above 2.5 -> 3", above(2.5), 3},
        {"just below -0.5 -> -1", below(-0.5), -1},
        {"just above -2.5 -> -2", above(-2.5), -2},
        {"just below -2.5 -> -3", below(-2.5), -3},
        {"just above 2146483646.5 -> 2146483647", above(2146483646.5), 2146483647},
    });
}

TEST(RoundToInt32, LimitsOfThe32BitRange) {
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
    expectInt32({
        {"2147483647 fits", 2147483647.0, kMax},
        {"just below 2147483647 -> 2147483647", below(2147483647.0), kMax},
        {"just above 2147483647 -> 2147483647", above(2147483647.0), kMax},
        {"just below 2147483648: OverflowError", below(2147483648.0), kOverflows},
        {"just below 2147483647.5 -> 2147483647", below(2147483647.5), kMax},
        {"2147483647.5 rounds to 2147483648: OverflowError", 2147483647.5, kOverflows},
        {"just above 2147483647.5: OverflowError", above(2147483647.5), kOverflows},
        {"2147483648: OverflowError", 2147483648.0, kOverflows},
        {"just below 2147483646.5 -> 2147483646", below(2147483646.5), 2147483646},
        {"just above 2147483646.5 -> 2147483647", above(2147483646.5), kMax},
        {"-2147483648 fits", -2147483648.0, kMin},
        {"just above -2147483648 -> -2147483648", above(-2147483648.0), kMin},
        {"just below -2147483648 -> -2147483648", below(-2147483648.0), kMin},
        {"just above -2147483649: OverflowError", above(-2147483649.0), kOverflows},
        {"-2147483648.5 rounds to even -2147483648", -2147483648.5, kMin},
        {"just above -2147483648.5 -> -2147483648", above(-2147483648.5), kMin},
        {"just below -2147483648.5: OverflowError", below(-2147483648.5), kOverflows},
        {"-2147483649: OverflowError", -2147483649.0, kOverflows},
        {"-2147483649.5 rounds to even -2147483650: OverflowError", -2147483649.5, kOverflows},
        {"4294967296 (no wrap to 0): OverflowError", 4294967296.0, kOverflows},
        {"4294967295 (no wrap to -1): OverflowError", 4294967295.0, kOverflows},
        {"-4294967296: OverflowError", -4294967296.0, kOverflows},
    });
}

TEST(RoundToInt32, NotANumberInfiniteHugeAndTiny) {
    expectInt32({
        {"NaN: OverflowError", kNaN, kOverflows},
        {"negative NaN: OverflowError", -kNaN, kOverflows},
        {"+infinity: OverflowError", kInf, kOverflows},
        {"-infinity: OverflowError", -kInf, kOverflows},
        {"1e300: OverflowError", 1e300, kOverflows},
        {"-1e300: OverflowError", -1e300, kOverflows},
        {"largest double: OverflowError", std::numeric_limits<double>::max(), kOverflows},
        {"2^52+1: OverflowError", 4503599627370497.0, kOverflows},
        {"-(2^52+1): OverflowError", -4503599627370497.0, kOverflows},
        {"2^52-0.5: OverflowError", 4503599627370495.5, kOverflows},
        {"2^63: OverflowError", 9223372036854775808.0, kOverflows},
        {"2^64: OverflowError", 18446744073709551616.0, kOverflows},
        {"-0 -> 0", -0.0, 0},
        {"smallest subnormal -> 0", kDenormMin, 0},
        {"negative smallest subnormal -> 0", -kDenormMin, 0},
        {"0.49999999999999994 -> 0", 0.49999999999999994, 0},
    });
}

TEST(RoundToInt16, DescribedCases) {
    expectInt16({
        {"28.8 -> 29", 28.8, 29},
        {"12.5 -> 12", 12.5, 12},
        {"-0.5 -> 0", -0.5, 0},
    });
}

TEST(RoundToInt16, TiesGoToTheEvenNeighbour) {
    expectInt16({
        {"0.5 -> 0", 0.5, 0},
        {"1.5 -> 2", 1.5, 2},
        {"2.5 -> 2", 2.5, 2},
        {"-2.5 -> -2", -2.5, -2},
        {"-3.5 -> -4", -3.5, -4},
        {"59.5 -> 60", 59.5, 60},
        {"32765.5 -> 32766", 32765.5, 32766},
        {"32766.5 -> 32766", 32766.5, 32766},
        {"-32766.5 -> -32766", -32766.5, -32766},
        {"-32767.5 -> -32768", -32767.5, -32768},
        {"just above 0.5 -> 1", above(0.5), 1},
        {"just below 2.5 -> 2", below(2.5), 2},
        {"just above 2.5 -> 3", above(2.5), 3},
    });
}

TEST(RoundToInt16, LimitsOfThe16BitRange) {
    expectInt16({
        {"32767 fits", 32767.0, 32767},
        {"just below 32767 -> 32767", below(32767.0), 32767},
        {"just above 32767 -> 32767", above(32767.0), 32767},
        {"just below 32768: OverflowError", below(32768.0), kOverflows},
        {"32767.4 -> 32767", 32767.4, 32767},
        {"just below 32767.5 -> 32767", below(32767.5), 32767},
        {"32767.5 rounds to 32768: OverflowError", 32767.5, kOverflows},
        {"just above 32767.5: OverflowError", above(32767.5), kOverflows},
        {"32768: OverflowError", 32768.0, kOverflows},
        {"just above 32766.5 -> 32767", above(32766.5), 32767},
        {"-32768 fits", -32768.0, -32768},
        {"just above -32768 -> -32768", above(-32768.0), -32768},
        {"just below -32768 -> -32768", below(-32768.0), -32768},
        {"just above -32769: OverflowError", above(-32769.0), kOverflows},
        {"-32768.5 rounds to even -32768", -32768.5, -32768},
        {"just above -32768.5 -> -32768", above(-32768.5), -32768},
        {"just below -32768.5: OverflowError", below(-32768.5), kOverflows},
        {"-32769: OverflowError", -32769.0, kOverflows},
        {"-32769.5 rounds to even -32770: OverflowError", -32769.5, kOverflows},
        {"65535 (no wrap to -1): OverflowError", 65535.0, kOverflows},
        {"65536 (no wrap to 0): OverflowError", 65536.0, kOverflows},
        {"2147483647: OverflowError", 2147483647.0, kOverflows},
        {"4294967296: OverflowError", 4294967296.0, kOverflows},
    });
}

TEST(RoundToInt16, NotANumberInfiniteHugeAndTiny) {
    expectInt16({
        {"NaN: OverflowError", kNaN, kOverflows},
        {"+infinity: OverflowError", kInf, kOverflows},
        {"-infinity: OverflowError", -kInf, kOverflows},
        {"1e300: OverflowError", 1e300, kOverflows},
        {"-1e300: OverflowError", -1e300, kOverflows},
        {"2^52+1: OverflowError", 4503599627370497.0, kOverflows},
        {"-0 -> 0", -0.0, 0},
        {"smallest subnormal -> 0", kDenormMin, 0},
    });
}

// Both roundings against the hardware's own rounding to nearest even, on random
// values near and across both limits of both widths and on random bit patterns
// (NaNs and infinities among them).
TEST(RoundToIntProperty, AgreesWithTheHardwareRoundingAndTheRange) {
    ASSERT_EQ(std::fegetround(), FE_TONEAREST);
    std::mt19937_64 random(7);
    std::uniform_int_distribution<std::int64_t> around32(-2147483652LL, 2147483652LL);
    std::uniform_int_distribution<std::int64_t> around16(-32772, 32772);
    std::uniform_int_distribution<std::uint64_t> bits;
    std::uniform_real_distribution<double> fraction(0.0, 1.0);
    std::uniform_int_distribution<int> kind(0, 5);
    // The rounding, or nullopt for OverflowError.
    auto outcome = [](auto round, double x) -> std::optional<std::int32_t> {
        try {
            return round(x);
        } catch (const calc::OverflowError&) {
            return std::nullopt;
        }
    };
    auto expected = [](double x, double lowest, double highest) -> std::optional<std::int32_t> {
        const double r = std::nearbyint(x);
        if (!(r >= lowest && r <= highest)) {
            return std::nullopt;
        }
        return static_cast<std::int32_t>(r);
    };
    int failures = 0;
    for (int i = 0; i < 200'000 && failures < 10; ++i) {
        double x = 0.0;
        const int k = kind(random);
        if (k == 5) {
            x = testsupport::fromBits(bits(random));
        } else {
            const double whole =
                static_cast<double>(i % 2 == 0 ? around32(random) : around16(random));
            const double offsets[] = {0.0, 0.5, fraction(random), below(0.5), above(0.5)};
            x = whole + offsets[k];
        }
        const auto got32 = outcome([](double v) { return calc::roundToInt32(v); }, x);
        const auto got16 = outcome([](double v) { return std::int32_t{calc::roundToInt16(v)}; }, x);
        const auto want32 = expected(x, -2147483648.0, 2147483647.0);
        const auto want16 = expected(x, -32768.0, 32767.0);
        if (got32 != want32 || got16 != want16) {
            ADD_FAILURE() << "x = " << show(x) << ": 32-bit "
                          << (got32 ? std::to_string(*got32) : "overflow") << ", 16-bit "
                          << (got16 ? std::to_string(*got16) : "overflow");
            ++failures;
        }
    }
}

// ---------------------------------------------------------------------------
// divideWhole

struct DivideRow {
    std::string name;
    double dividend;
    std::int32_t divisor;
    std::optional<std::int32_t> expected;
};

TEST(DivideWhole, RoundsFirstThenTruncatesTowardZero) {
    const std::vector<DivideRow> rows = {
        {"3599.4 / 3600 -> 0", 3599.4, 3600, 0},
        {"3599.5 / 3600 -> 1 (rounded before dividing)", 3599.5, 3600, 1},
        {"119.6 / 60 -> 2", 119.6, 60, 2},
        {"-0.4 / 60 -> 0", -0.4, 60, 0},
        {"59.5 / 60 -> 1", 59.5, 60, 1},
        {"58.5 / 60 -> 0", 58.5, 60, 0},
        {"7199.4 / 3600 -> 1", 7199.4, 3600, 1},
        {"-3599.4 / 3600 -> 0 (toward zero)", -3599.4, 3600, 0},
        {"-3599.5 / 3600 -> -1 (rounded to -3600 first)", -3599.5, 3600, -1},
        {"-7199 / 3600 -> -1 (toward zero, not down)", -7199.0, 3600, -1},
        {"-61 / 60 -> -1", -61.0, 60, -1},
        {"-119.6 / 60 -> -2", -119.6, 60, -2},
        {"2147483647 / 3600 -> 596523", 2147483647.0, 3600, 596523},
        {"-2147483648 / 3600 -> -596523", -2147483648.0, 3600, -596523},
        {"-2147483648.5 / 1 -> -2147483648", -2147483648.5, 1, -2147483647 - 1},
        {"1.5 / 1 -> 2", 1.5, 1, 2},
        {"0.5 / 1 -> 0", 0.5, 1, 0},
        {"2147483647.5 / 60: OverflowError", 2147483647.5, 60, kOverflows},
        {"-2147483649 / 3600: OverflowError", -2147483649.0, 3600, kOverflows},
        {"NaN / 60: OverflowError", kNaN, 60, kOverflows},
        {"infinity / 3600: OverflowError", kInf, 3600, kOverflows},
    };
    for (const DivideRow& row : rows) {
        SCOPED_TRACE(row.name);
        if (!row.expected) {
            EXPECT_THROW(calc::divideWhole(row.dividend, row.divisor), calc::OverflowError);
            continue;
        }
        try {
            EXPECT_EQ(calc::divideWhole(row.dividend, row.divisor), *row.expected);
        } catch (const calc::OverflowError&) {
            ADD_FAILURE() << "raised OverflowError, expected " << *row.expected;
        }
    }
}

// ---------------------------------------------------------------------------
// formatInt

TEST(FormatInt, PlainDecimalDigits) {
    struct Row {
        const char* name;
        std::u16string text;
        std::u16string expected;
    };
    const std::vector<Row> rows = {
        {"0 -> '0'", calc::formatInt(0), u"0"},
        {"-5 -> '-5'", calc::formatInt(-5), u"-5"},
        {"596494 -> '596494'", calc::formatInt(596494), u"596494"},
        {"10 -> '10' (zero kept inside)", calc::formatInt(10), u"10"},
        {"-1 -> '-1'", calc::formatInt(-1), u"-1"},
        {"1000000 -> '1000000' (no separator)", calc::formatInt(1000000), u"1000000"},
        {"largest 32-bit", calc::formatInt(std::numeric_limits<std::int32_t>::max()),
         u"2147483647"},
        {"smallest 32-bit", calc::formatInt(std::numeric_limits<std::int32_t>::min()),
         u"-2147483648"},
        {"largest 16-bit", calc::formatInt(std::numeric_limits<std::int16_t>::max()), u"32767"},
        {"smallest 16-bit", calc::formatInt(std::numeric_limits<std::int16_t>::min()), u"-32768"},
        {"16-bit 59", calc::formatInt(std::int16_t{59}), u"59"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(row.text, row.expected);
    }
}

TEST(FormatInt, ReadsBackAsTheSameNumber) {
    std::mt19937_64 random(20240611);
    std::uniform_int_distribution<std::int32_t> anyInt32(std::numeric_limits<std::int32_t>::min(),
                                                         std::numeric_limits<std::int32_t>::max());
    int failures = 0;
    for (int i = 0; i < 100'000 && failures < 10; ++i) {
        const std::int32_t n = i < 200 ? i - 100 : anyInt32(random);
        const std::u16string text = calc::formatInt(n);
        const std::string expected = std::to_string(n);
        if (text != u16(expected) || calc::readNumber(text) != static_cast<double>(n)) {
            ADD_FAILURE() << n << " formats as " << show(text);
            ++failures;
        }
    }
}

}  // namespace
