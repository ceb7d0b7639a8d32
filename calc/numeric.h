// SPDX-FileCopyrightText: 2026 The Vistral developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Numeric rules of the calculator: how a field's text becomes a number, how a
// number becomes a whole 32- or 16-bit integer, and how an integer is shown.
//
// Every operation here is a pure function of its arguments. None depends on the
// process locale; like all of the program, they expect the default
// floating-point rounding mode (to nearest), which nothing changes.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace calc {

// The one run-time error of the program: a rounded value does not fit the integer
// width asked for, or a number read from text lies beyond the range of a double.
class OverflowError : public std::overflow_error {
  public:
    OverflowError();
};

// Reads the longest leading number of `text` and ignores the rest.
//
//  - Blank, tab, line feed and carriage return are removed from the whole text
//    first: "1 2" reads 12.
//  - Decimal form: an optional "+" or "-", digits with at most one "." as the
//    decimal point, then an optional exponent: "E", "e", "D" or "d", an optional
//    sign and digits. An exponent letter without digits after it is not part of
//    the number ("1E" and "1E+" read 1). The period is the only decimal
//    separator whatever the locale: "1,5" reads 1.
//  - Prefixed form: "&H" with hexadecimal digits or "&O" with octal digits (the
//    letters in either case) is a non-negative whole number of any length. A sign
//    before the prefix leaves no digits to read: "-&H10" reads 0.
//  - Any other character ends the number (a no-break space, a full-width digit).
//    Text with no digit before that point reads 0.
//
// The digits are converted to the nearest double (ties to even). A number too
// small for a double reads as the nearest double (zero); a number beyond the
// range of a double raises OverflowError.
double readNumber(std::u16string_view text);

// Rounds `x` to the nearest whole number, an exact half to the even neighbour
// (2.5 -> 2, 3.5 -> 4, -0.5 -> 0), and raises OverflowError when the result lies
// outside the 32-bit range or `x` is not a number or infinite.
std::int32_t roundToInt32(double x);

// As roundToInt32, for the 16-bit range.
std::int16_t roundToInt16(double x);

// Rounds `dividend` as roundToInt32 does (which may raise OverflowError), then
// divides by `divisor`, discarding the fraction (toward zero): 3599.5 / 3600 is 1.
// `divisor` must be positive.
std::int32_t divideWhole(double dividend, std::int32_t divisor);

// Plain decimal digits: a leading "-" only when negative, no blanks, no leading
// zeros, no group separators; "0" for zero.
std::u16string formatInt(std::int32_t n);

}  // namespace calc
