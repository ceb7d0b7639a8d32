// SPDX-FileCopyrightText: 2026 The Vistral developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// readNumber against a second reading of the same rules, written another way:
// the characters that count nowhere are dropped first, a regular expression picks
// the leading number, and the C library converts it under the "C" locale. The
// texts are random (with a fixed seed) or, for the shortest ones, all of them.
#include <gtest/gtest.h>
#include <locale.h>  // newlocale, freelocale
#include <stdlib.h>  // strtod_l, __mingw_strtod

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <random>
#include <regex>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "calc/numeric.h"
#include "octal_as_hex.h"
#include "test_support.h"

namespace {

using testsupport::bitsOf;
using testsupport::exactDecimal;
using testsupport::octalAsHex;
using testsupport::show;
using testsupport::u16;
using testsupport::UniformInt;

struct Outcome {
    bool overflow = false;
    double value = 0.0;

    friend bool operator==(const Outcome& a, const Outcome& b) {
        return a.overflow == b.overflow && (a.overflow || bitsOf(a.value) == bitsOf(b.value));
    }
};

std::string describe(const Outcome& outcome) {
    return outcome.overflow ? std::string("OverflowError") : show(outcome.value);
}

Outcome readWithProgram(std::u16string_view text) {
    try {
        return {false, calc::readNumber(text)};
    } catch (const calc::OverflowError&) {
        return {true, 0.0};
    }
}

// The C library's strtod under the "C" locale, correctly rounded.
#ifdef _WIN32
// Windows' msvcrt.dll rounds some long or extreme numbers wrongly, and so does its
// _strtod_l. mingw-w64's own strtod (David Gay's gdtoa) rounds correctly; it reads
// the decimal point of the process locale, which these tests leave at "C".
class CStrtod {
  public:
    double operator()(const char* text, char** end) const { return __mingw_strtod(text, end); }
};
#else
class CStrtod {
  public:
    CStrtod() : cLocale_(newlocale(LC_ALL_MASK, "C", nullptr)) {}
    ~CStrtod() { freelocale(cLocale_); }
    CStrtod(const CStrtod&) = delete;
    CStrtod& operator=(const CStrtod&) = delete;

    double operator()(const char* text, char** end) const {
#ifdef __EMSCRIPTEN__
        // The web's C library (musl) rounds some negative numbers near the
        // smallest subnormal toward zero; it rounds every magnitude correctly.
        if (text[0] == '-') {
            return -strtod_l(text + 1, end, cLocale_);
        }
#endif
        return strtod_l(text, end, cLocale_);
    }

  private:
    locale_t cLocale_;
};
#endif

class ReferenceReader {
  public:
    Outcome read(std::u16string_view text) const {
        std::string ascii;
        for (const char16_t c : text) {
            if (c == u' ' || c == u'\t' || c == u'\n' || c == u'\r') {
                continue;
            }
            // No character outside ASCII belongs to a number.
            ascii += c < 0x80 ? static_cast<char>(c) : '\x7f';
        }
        constexpr auto kAtStart = std::regex_constants::match_continuous;
        std::smatch match;
        std::string cText;
        const bool prefixed = !ascii.empty() && ascii.front() == '&';
        if (prefixed && std::regex_search(ascii, match, hex_, kAtStart)) {
            cText = "0x0" + match[1].str();
        } else if (prefixed && std::regex_search(ascii, match, octal_, kAtStart)) {
            cText = "0x0" + octalAsHex(match[1].str());
        } else if (std::regex_search(ascii, match, decimal_, kAtStart)) {
            cText = match[1].str() + match[2].str();
            if (match[3].matched) {
                cText += "e" + match[3].str();
            }
        } else {
            return {false, 0.0};
        }
        char* end = nullptr;
        const double value = strtod_(cText.c_str(), &end);
        if (end != cText.c_str() + cText.size()) {
            ADD_FAILURE() << "the reference reader could not convert '" << cText << "'";
        }
        if (std::isinf(value)) {
            return {true, 0.0};
        }
        return {false, value};
    }

  private:
    CStrtod strtod_;
    const std::regex hex_{"&[Hh]([0-9A-Fa-f]*)"};
    const std::regex octal_{"&[Oo]([0-7]*)"};
    const std::regex decimal_{"([+-]?)([0-9]+\\.?[0-9]*|\\.[0-9]+)(?:[EeDd]([+-]?[0-9]+))?"};
};

// Compares the program with the reference reader on every text; reports the
// first few disagreements.
//
// It also folds every reading into a digest (64-bit FNV-1a over the bit patterns,
// an overflow as the bits of infinity, which no reading gives). The digests below
// are the same for every build, Linux, Windows and the web: the same texts read
// as the same doubles on all of them. The texts are drawn with UniformInt, which
// every C++ library draws alike; changing a test's texts changes its digest, and
// the failure shows the new one.
class Agreement {
  public:
    void check(std::u16string_view text) {
        ++count_;
        const Outcome expected = reference_.read(text);
        const Outcome actual = readAndFold(text);
        if (!(expected == actual) && ++failures_ <= 10) {
            ADD_FAILURE() << "text " << show(text) << ": expected " << describe(expected)
                          << ", readNumber gave " << describe(actual);
        }
    }
    // Checks the text against a value worked out by other means, and the
    // reference reader against the same value.
    void expect(std::u16string_view text, const Outcome& expected) {
        ++count_;
        const Outcome actual = readAndFold(text);
        if (!(expected == actual) && ++failures_ <= 10) {
            ADD_FAILURE() << "text " << show(text) << ": expected " << describe(expected)
                          << ", readNumber gave " << describe(actual);
        }
        if (!(reference_.read(text) == expected)) {
            ADD_FAILURE() << "the reference reader disagrees on " << show(text);
        }
    }
    int count() const { return count_; }
    void expectDigest(std::string_view recorded) const {
        char digest[24];
        std::snprintf(digest, sizeof digest, "%016llx", static_cast<unsigned long long>(digest_));
        EXPECT_EQ(std::string(digest), recorded) << "the digest of " << count_ << " readings";
    }

  private:
    Outcome readAndFold(std::u16string_view text) {
        const Outcome outcome = readWithProgram(text);
        const auto bits =
            bitsOf(outcome.overflow ? std::numeric_limits<double>::infinity() : outcome.value);
        for (int shift = 0; shift < 64; shift += 8) {
            digest_ ^= (bits >> shift) & 0xFF;
            digest_ *= 0x100000001b3;  // the FNV prime
        }
        return outcome;
    }

    ReferenceReader reference_;
    int count_ = 0;
    int failures_ = 0;
    std::uint64_t digest_ = 0xcbf29ce484222325;  // the FNV offset basis
};

const std::u16string kAlphabet = u"0123456789+-.,eEdD&hHoOabcf \t\r\n";

std::u16string randomText(std::mt19937_64& random, std::u16string_view alphabet,
                          std::size_t length) {
    UniformInt<std::size_t> pick(0, alphabet.size() - 1);
    std::u16string text;
    for (std::size_t i = 0; i < length; ++i) {
        text += alphabet[pick(random)];
    }
    return text;
}

TEST(ReadNumberProperty, AgreesWithTheReferenceOnEveryTextOfUpToThreeCharacters) {
    Agreement agreement;
    std::u16string text;
    agreement.check(text);
    for (const char16_t a : kAlphabet) {
        agreement.check(std::u16string{a});
        for (const char16_t b : kAlphabet) {
            agreement.check(std::u16string{a, b});
            for (const char16_t c : kAlphabet) {
                agreement.check(std::u16string{a, b, c});
            }
        }
    }
    EXPECT_GT(agreement.count(), 30'000);
    agreement.expectDigest("420718fac905b2ac");
}

TEST(ReadNumberProperty, AgreesWithTheReferenceOnRandomShortTexts) {
    std::mt19937_64 random(1);
    UniformInt<std::size_t> length(0, 8);
    Agreement agreement;
    for (int i = 0; i < 80'000; ++i) {
        agreement.check(randomText(random, kAlphabet, length(random)));
    }
    agreement.expectDigest("7ef343814ee95127");
}

TEST(ReadNumberProperty, AgreesWithTheReferenceOnTextsWithForeignCharacters) {
    // Characters that end a number: a no-break space, full-width and Arabic-Indic
    // digits, type letters, a vertical tab, letters that are not digits.
    const std::u16string alphabet =
        kAlphabet + u"\u00A0\uFF11\u0663%!#@\vxAF" + std::u16string(1, u'\0');
    std::mt19937_64 random(2);
    UniformInt<std::size_t> length(0, 8);
    Agreement agreement;
    for (int i = 0; i < 40'000; ++i) {
        agreement.check(randomText(random, alphabet, length(random)));
    }
    agreement.expectDigest("5a9cb97ebb0aec21");
}

TEST(ReadNumberProperty, AgreesWithTheReferenceOnLongDecimalNumbers) {
    // Up to 40 significant digits and exponents across the whole range of a
    // double, subnormals and overflow included.
    std::mt19937_64 random(3);
    UniformInt<int> digitCount(1, 40);
    UniformInt<int> digit(0, 9);
    UniformInt<int> exponent(-370, 330);
    UniformInt<int> choice(0, 3);
    Agreement agreement;
    for (int i = 0; i < 20'000; ++i) {
        std::string text = choice(random) == 0 ? "-" : "";
        const int n = digitCount(random);
        const int point = choice(random) == 0 ? -1 : UniformInt<int>(0, n)(random);
        for (int k = 0; k < n; ++k) {
            if (k == point) {
                text += '.';
            }
            text += static_cast<char>('0' + digit(random));
        }
        text += "EeDd"[choice(random)];
        text += std::to_string(exponent(random));
        agreement.check(u16(text));
    }
    agreement.expectDigest("70716cf373fb62c0");
}

TEST(ReadNumberProperty, AgreesWithTheReferenceOnLongPrefixedNumbers) {
    std::mt19937_64 random(4);
    UniformInt<int> length(1, 300);
    UniformInt<int> hexDigit(0, 15);
    UniformInt<int> octalDigit(0, 7);
    UniformInt<int> coin(0, 1);
    Agreement agreement;
    for (int i = 0; i < 5'000; ++i) {
        const int n = length(random);
        std::string text = coin(random) != 0 ? "&H" : "&o";
        const bool hex = text[1] == 'H';
        // A run of zeros in the middle makes ties and near ties common.
        const int zerosFrom = UniformInt<int>(0, n)(random);
        const int zerosTo = UniformInt<int>(zerosFrom, n)(random);
        for (int k = 0; k < n; ++k) {
            const int d = (k >= zerosFrom && k < zerosTo && k + 1 < n)
                              ? 0
                              : (hex ? hexDigit(random) : octalDigit(random));
            text += "0123456789abcdef"[d];
        }
        agreement.check(u16(text));
    }
    agreement.expectDigest("67b13e3cfc74430f");
}

// The exact midpoint m + 1/2 ulp between a double and the next one up, written
// out in decimal, reads as the neighbour with the even significand; a hair above
// it reads as the upper neighbour and a hair below as the lower one. Checked
// for random doubles of every magnitude, subnormals and the largest included.
TEST(ReadNumberProperty, ExactDecimalTiesRoundToEven) {
    std::mt19937_64 random(5);
    UniformInt<std::uint64_t> significand(0, (std::uint64_t{1} << 52) - 1);
    UniformInt<std::uint64_t> biasedExponent(0, 2046);
    Agreement agreement;
    for (int i = 0; i < 1'500; ++i) {
        std::uint64_t field = biasedExponent(random);
        if (i == 0) {
            field = 2046;  // the largest double, whose upper neighbour is infinity
        } else if (i < 10) {
            field = 0;  // subnormals
        }
        const std::uint64_t fraction =
            i == 0 ? (std::uint64_t{1} << 52) - 1 : (i == 1 ? 0 : significand(random));
        // The double is m * 2^e with a whole m; its upper neighbour is (m+1) * 2^e.
        const std::uint64_t m = field == 0 ? fraction : fraction | (std::uint64_t{1} << 52);
        const int e = field == 0 ? -1074 : static_cast<int>(field) - 1075;
        const double lower = std::ldexp(static_cast<double>(m), e);
        const double upper = std::nextafter(lower, std::numeric_limits<double>::infinity());
        const bool upperOverflows = std::isinf(upper);
        const auto tie = exactDecimal(2 * m + 1, e - 1);
        const std::string sign = i % 2 == 0 ? "" : "-";
        const double s = i % 2 == 0 ? 1.0 : -1.0;
        const Outcome toLower{false, s * lower};
        const Outcome toUpper{upperOverflows, upperOverflows ? 0.0 : s * upper};
        const bool lowerIsEven = m % 2 == 0;
        agreement.expect(u16(sign + tie.text()), lowerIsEven ? toLower : toUpper);
        agreement.expect(u16(sign + tie.justAbove()), toUpper);
        agreement.expect(u16(sign + tie.justBelow()), toLower);
    }
    agreement.expectDigest("9b52b8993c1b8432");
}

// Where x87 arithmetic rounds twice. A text S x 10^p or S / 10^p with S <= 2^53
// and p <= 22 is read with one multiplication or division of exact doubles; in
// SSE2 that rounds once, to the nearest double. With x87's 64-bit significands
// the result is first rounded to 64 bits, and where that lands exactly halfway
// between two doubles the second rounding can go the wrong way. The cases are
// found with exact integer arithmetic and their correct double worked out the
// same way, so no floating-point reading takes part in the expectation.
class WideNumber {
  public:
    explicit WideNumber(std::uint64_t n)
        : limbs_{static_cast<std::uint32_t>(n), static_cast<std::uint32_t>(n >> 32)} {}

    void multiplyBy(std::uint32_t factor) {
        std::uint64_t carry = 0;
        for (std::uint32_t& limb : limbs_) {
            carry += std::uint64_t{limb} * factor;
            limb = static_cast<std::uint32_t>(carry);
            carry >>= 32;
        }
    }
    // Divides with the quotient rounded down; gives whether anything was left over.
    bool divideBy(std::uint32_t divisor) {
        std::uint64_t rest = 0;
        for (auto limb = limbs_.rbegin(); limb != limbs_.rend(); ++limb) {
            rest = rest << 32 | *limb;
            *limb = static_cast<std::uint32_t>(rest / divisor);
            rest %= divisor;
        }
        return rest != 0;
    }
    void shiftLeftByLimbs(std::size_t count) {
        std::rotate(limbs_.rbegin(), limbs_.rbegin() + static_cast<std::ptrdiff_t>(count),
                    limbs_.rend());
    }
    // The binary digits, the most significant first, without leading zeros.
    std::string digits() const {
        std::string text;
        for (auto limb = limbs_.rbegin(); limb != limbs_.rend(); ++limb) {
            for (int k = 31; k >= 0; --k) {
                text += (*limb >> k & 1U) != 0 ? '1' : '0';
            }
        }
        return text.substr(std::min(text.find('1'), text.size()));
    }

  private:
    std::array<std::uint32_t, 6> limbs_{};  // 192 bits
};

// A significand and a power of two: significand x 2^exponent.
struct Binary {
    std::uint64_t significand;
    int exponent;
};

// Rounds the significand to `bits` bits, to nearest, a tie to even.
Binary roundTo(Binary value, bool sticky, int bits) {
    int drop = 0;
    while (value.significand >> bits >> drop != 0) {
        ++drop;
    }
    if (drop == 0) {
        return value;
    }
    const std::uint64_t half = std::uint64_t{1} << (drop - 1);
    const std::uint64_t rest = value.significand & ((half << 1) - 1);
    std::uint64_t kept = value.significand >> drop;
    if (rest > half || (rest == half && (sticky || (kept & 1U) != 0))) {
        ++kept;
    }
    return roundTo({kept, value.exponent + drop}, false, bits);  // a carry may need one more bit
}

// N x 2^shift, N exact but for `sticky` (nonzero bits beyond N), as the double it is
// nearest to and as x87 rounds it: to 64 bits first, then to 53.
struct Roundings {
    double once;
    double twice;
};

Roundings roundings(const WideNumber& n, bool sticky, int shift) {
    const std::string digits = n.digits();
    const int length = static_cast<int>(digits.size());
    // The top 64 bits, and the rest: its first bit and whether any other is set.
    const int kept = std::min(length, 64);
    const Binary top{std::stoull(digits.substr(0, static_cast<std::size_t>(kept)), nullptr, 2),
                     shift + length - kept};
    const bool half = length > 64 && digits[64] == '1';
    const bool beyondHalf = sticky || (length > 65 && digits.find('1', 65) != std::string::npos);
    const Binary once = roundTo(top, half || beyondHalf, 53);
    Binary wide = top;
    if (half && (beyondHalf || (top.significand & 1U) != 0)) {
        wide = top.significand == ~std::uint64_t{0}
                   ? Binary{std::uint64_t{1} << 63, top.exponent + 1}
                   : Binary{top.significand + 1, top.exponent};
    }
    const Binary twice = roundTo(wide, false, 53);
    return {std::ldexp(static_cast<double>(once.significand), once.exponent),
            std::ldexp(static_cast<double>(twice.significand), twice.exponent)};
}

Roundings timesPowerOfTen(std::uint64_t s, int p) {
    WideNumber n(s);
    for (int i = 0; i < p; ++i) {
        n.multiplyBy(5);
    }
    return roundings(n, false, p);
}

Roundings overPowerOfTen(std::uint64_t s, int p) {
    constexpr int kScaleLimbs = 4;  // 2^128 leaves more than 64 bits in the quotient
    constexpr int kScale = 32 * kScaleLimbs;
    WideNumber n(s);
    n.shiftLeftByLimbs(kScaleLimbs);
    bool sticky = false;
    for (int i = 0; i < p; ++i) {
        sticky = n.divideBy(5) || sticky;
    }
    return roundings(n, sticky, -kScale - p);
}

TEST(ReadNumberProperty, ReadsOnceRoundedWhereExtendedPrecisionWouldRoundTwice) {
    Agreement agreement;
    // Found by hand: 2758517867656 / 10^11 and 5146 / 10^18.
    for (const auto& [text, s, p] : {std::tuple{u"27.58517867656", 2758517867656ULL, 11},
                                     std::tuple{u"514.6e-17", 5146ULL, 18}}) {
        const Roundings r = overPowerOfTen(s, p);
        EXPECT_NE(r.once, r.twice) << show(std::u16string_view(text));
        agreement.expect(text, {false, r.once});
    }
    // Every power of ten the one-operation reading uses, both ways, with
    // significands of 30 to 53 bits.
    std::mt19937_64 random(6);
    int cases = 0;
    for (int p = 1; p <= 22; ++p) {
        for (const bool divide : {false, true}) {
            int found = 0;
            for (int tries = 0; found < 4 && tries < 40'000; ++tries) {
                const std::uint64_t s =
                    (random() >> (11 + tries % 24)) | (std::uint64_t{1} << (52 - tries % 24));
                const Roundings r = divide ? overPowerOfTen(s, p) : timesPowerOfTen(s, p);
                if (r.once == r.twice) {
                    continue;
                }
                ++found;
                agreement.expect(u16(std::to_string(s) + (divide ? "e-" : "e") + std::to_string(p)),
                                 {false, r.once});
            }
            cases += found;
        }
    }
    // Products of at most 64 bits are exact in x87, and so are too few bits of a
    // quotient to reach a tie: the smallest powers have no case. The raw output
    // of mt19937_64 is the same everywhere, so every build checks the same cases.
    EXPECT_EQ(cases, 127);
}

}  // namespace
