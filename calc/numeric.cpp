// SPDX-FileCopyrightText: 2026 The Vistral developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "calc/numeric.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <limits>
#include <string>
#include <system_error>

// Whether the C++ library converts text to double with std::from_chars.
#if defined(_LIBCPP_VERSION)
#define VISTRAL_HAS_FROM_CHARS_DOUBLE 0
#include <locale.h>  // newlocale
#include <stdlib.h>  // strtod_l
#else
#define VISTRAL_HAS_FROM_CHARS_DOUBLE 1
#endif

namespace calc {

OverflowError::OverflowError() : std::overflow_error("overflow") {}

namespace {

// Reads the text one character at a time, skipping the characters that count
// nowhere in a number.
class Cursor {
  public:
    explicit Cursor(std::u16string_view text) : text_(text) { skipIgnored(); }

    // The current character, or 0 at the end of the text.
    char16_t peek() const { return pos_ < text_.size() ? text_[pos_] : u'\0'; }
    void advance() {
        ++pos_;
        skipIgnored();
    }
    bool accept(char16_t c) {
        if (peek() != c) {
            return false;
        }
        advance();
        return true;
    }

  private:
    static bool ignored(char16_t c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r'; }
    void skipIgnored() {
        while (pos_ < text_.size() && ignored(text_[pos_])) {
            ++pos_;
        }
    }

    std::u16string_view text_;
    std::size_t pos_ = 0;
};

bool isDecimalDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

char16_t upper(char16_t c) {
    return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 32) : c;
}

// The value of `c` as a digit of base 8 or 16, or -1.
int digitValue(char16_t c, int base) {
    int v = -1;
    if (isDecimalDigit(c)) {
        v = c - u'0';
    } else if (upper(c) >= u'A' && upper(c) <= u'F') {
        v = upper(c) - u'A' + 10;
    }
    return v < base ? v : -1;
}

// A whole number in base 8 or 16 of any length, rounded to the nearest double.
// The digits are gathered as bits: the leading 53 significant bits exactly, then
// one rounding bit and a sticky bit for everything after it.
double readPrefixed(Cursor& in, int base) {
    const int bitsPerDigit = base == 16 ? 4 : 3;
    constexpr int kMantissaBits = std::numeric_limits<double>::digits;  // 53
    std::uint64_t mantissa = 0;
    int mantissaBits = 0;
    long long droppedBits = 0;  // significant bits after the leading 53
    bool roundBit = false;
    bool sticky = false;
    for (int d = digitValue(in.peek(), base); d >= 0; d = digitValue(in.peek(), base)) {
        in.advance();
        for (int b = bitsPerDigit - 1; b >= 0; --b) {
            const bool bit = ((d >> b) & 1) != 0;
            if (mantissaBits == 0 && !bit) {
                continue;  // leading zero
            }
            if (mantissaBits < kMantissaBits) {
                mantissa = (mantissa << 1) | (bit ? 1U : 0U);
                ++mantissaBits;
            } else {
                if (droppedBits == 0) {
                    roundBit = bit;
                } else {
                    sticky = sticky || bit;
                }
                ++droppedBits;
            }
        }
    }
    if (roundBit && (sticky || (mantissa & 1U) != 0)) {
        ++mantissa;  // may carry to 2^53, which is still exact
    }
    constexpr long long kMaxExponent = std::numeric_limits<double>::max_exponent;  // 1024
    if (mantissaBits + droppedBits > kMaxExponent ||
        (mantissaBits + droppedBits == kMaxExponent && mantissa >> kMantissaBits != 0)) {
        throw OverflowError();
    }
    return std::ldexp(static_cast<double>(mantissa), static_cast<int>(droppedBits));
}

#if !VISTRAL_HAS_FROM_CHARS_DOUBLE
// The "C" locale, made once and kept for the life of the program.
locale_t cLocale() {
    static const locale_t c = newlocale(LC_ALL_MASK, "C", nullptr);
    return c;
}
#endif

// The decimal form. The significant digits S (from the first non-zero one) and a
// power of ten E are gathered in one pass, so that the value is S * 10^E.
//
// In the common case, at most 19 digits making S <= 2^53 and |E| <= 22, both S and
// 10^|E| are exact doubles and one multiplication or division gives the nearest
// double. Otherwise std::from_chars (correctly rounded, independent of the
// locale) converts a plain copy "-SeE"; the digits are copied only then. Its
// libstdc++ code is the same on Linux and Windows and never calls the C library,
// whose strtod on Windows (msvcrt.dll) is not correctly rounded. libc++ (the web
// build's C++ library) has no from_chars for double; there the C library's
// strtod_l converts under the "C" locale: its C library (musl) rounds correctly
// too, so every build reads the same double.
double readDecimal(Cursor& in) {
    bool negative = false;
    if (in.accept(u'-')) {
        negative = true;
    } else {
        in.accept(u'+');
    }

    constexpr int kLeadingDigits = 19;  // always fit in 64 bits
    std::uint64_t leading = 0;          // the first kLeadingDigits significant digits
    long long significantDigits = 0;
    std::string moreDigits;  // all of S once it is longer than kLeadingDigits
    long long scale = 0;     // minus the number of digits after the point
    bool anyDigit = false;
    bool seenPoint = false;
    for (;; in.advance()) {
        const char16_t c = in.peek();
        if (isDecimalDigit(c)) {
            anyDigit = true;
            if (seenPoint) {
                --scale;
            }
            if (significantDigits == 0 && c == u'0') {
                continue;  // a leading zero
            }
            if (significantDigits < kLeadingDigits) {
                leading = leading * 10 + static_cast<std::uint64_t>(c - u'0');
            } else {
                if (significantDigits == kLeadingDigits) {
                    moreDigits = std::to_string(leading);
                }
                moreDigits += static_cast<char>(c);
            }
            ++significantDigits;
        } else if (c == u'.' && !seenPoint) {
            seenPoint = true;
        } else {
            break;
        }
    }
    if (!anyDigit) {
        return 0.0;
    }

    // Exponent: only when digits follow the letter and its sign. The letter is
    // the last character of the number otherwise, so reading stops there anyway.
    long long exponent = 0;
    const char16_t letter = upper(in.peek());
    if (letter == u'E' || letter == u'D') {
        in.advance();
        bool negativeExponent = false;
        if (in.accept(u'-')) {
            negativeExponent = true;
        } else {
            in.accept(u'+');
        }
        // Saturates far beyond any exponent that could matter, so that a long
        // run of exponent digits cannot overflow.
        constexpr long long kExponentCap = 1'000'000'000;
        for (char16_t c = in.peek(); isDecimalDigit(c); c = in.peek()) {
            exponent = std::min(exponent * 10 + (c - u'0'), kExponentCap);
            in.advance();
        }
        if (negativeExponent) {
            exponent = -exponent;
        }
    }
    const double zero = negative ? -0.0 : 0.0;
    if (significantDigits == 0) {
        return zero;
    }
    const long long power = exponent + scale;

    constexpr std::uint64_t kExactLimit = std::uint64_t{1} << std::numeric_limits<double>::digits;
    constexpr std::array<double, 23> kPowersOfTen = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                                     1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                                     1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    constexpr long long kExactPowers = kPowersOfTen.size() - 1;
    if (significantDigits <= kLeadingDigits && leading <= kExactLimit && power >= -kExactPowers &&
        power <= kExactPowers) {
        double value = static_cast<double>(leading);
        if (power < 0) {
            value /= kPowersOfTen[static_cast<std::size_t>(-power)];
        } else {
            value *= kPowersOfTen[static_cast<std::size_t>(power)];
        }
        return negative ? -value : value;
    }

    std::string plain = negative ? "-" : "";
    plain += significantDigits <= kLeadingDigits ? std::to_string(leading) : moreDigits;
    plain += 'e';
    plain += std::to_string(power);
#if VISTRAL_HAS_FROM_CHARS_DOUBLE
    double value = 0.0;
    const auto [end, error] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    if (error == std::errc::result_out_of_range) {
        // from_chars says the same for both ends of the range. The magnitude is
        // 0.S * 10^(power + digits of S).
        if (power + significantDigits > 0) {
            throw OverflowError();
        }
        return zero;  // below the smallest double: the nearest is zero
    }
    return value;
#else
    // strtod reads the magnitude and the sign goes on after: musl rounds some
    // negative numbers near the smallest subnormal toward zero (-3 * 2^-1075 and a
    // hair more reads as -2^-1074, not -2^-1073), while it rounds every magnitude
    // correctly. Beyond the largest double strtod gives an infinity.
    const double magnitude = strtod_l(plain.c_str() + (negative ? 1 : 0), nullptr, cLocale());
    if (std::isinf(magnitude)) {
        throw OverflowError();
    }
    return negative ? -magnitude : magnitude;
#endif
}

// Rounds to the nearest whole number, an exact half to the even neighbour,
// without touching the floating-point environment.
double roundHalfEven(double x) {
    const double r = std::round(x);  // half away from zero
    if (std::fabs(r - x) == 0.5) {
        return 2.0 * std::round(x / 2.0);
    }
    return r;
}

template <typename Int>
Int roundChecked(double x) {
    const double r = roundHalfEven(x);
    // Compared as doubles: both limits of a 16- or 32-bit integer are exact, and a
    // NaN fails both comparisons. Only a value in range is ever converted.
    if (!(r >= static_cast<double>(std::numeric_limits<Int>::min()) &&
          r <= static_cast<double>(std::numeric_limits<Int>::max()))) {
        throw OverflowError();
    }
    return static_cast<Int>(r);
}

}  // namespace

double readNumber(std::u16string_view text) {
    Cursor in(text);
    if (in.accept(u'&')) {
        const char16_t letter = upper(in.peek());
        if (letter == u'H' || letter == u'O') {
            in.advance();
            return readPrefixed(in, letter == u'H' ? 16 : 8);
        }
        return 0.0;
    }
    return readDecimal(in);
}

std::int32_t roundToInt32(double x) {
    return roundChecked<std::int32_t>(x);
}

std::int16_t roundToInt16(double x) {
    return roundChecked<std::int16_t>(x);
}

std::int32_t divideWhole(double dividend, std::int32_t divisor) {
    return roundToInt32(dividend) / divisor;
}

std::u16string formatInt(std::int32_t n) {
    std::array<char, 16> digits{};
    const auto end = std::to_chars(digits.data(), digits.data() + digits.size(), n).ptr;
    return std::u16string(digits.data(), end);
}

}  // namespace calc
