// SPDX-FileCopyrightText: 2026 The Vistral developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Small helpers shared by the core tests: exact comparison of doubles and a
// printable form of a field's text.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace testsupport {

// A double as "%.17g (%a)", enough to tell any two doubles apart.
inline std::string show(double x) {
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, "%.17g (%a)", x, x);
    return buffer;
}

// A text in single quotes, every character outside printable ASCII as \uXXXX;
// a long text is cut in the middle.
inline std::string show(std::u16string_view text) {
    constexpr std::size_t kKeep = 60;
    std::string out = "'";
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.size() > 2 * kKeep && i == kKeep) {
            out += "...(" + std::to_string(text.size()) + " characters)...";
            i = text.size() - kKeep;
        }
        const char16_t c = text[i];
        if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "\\u%04X", static_cast<unsigned>(c));
            out += buffer;
        }
    }
    return out + "'";
}

// The bits of a double and back (what std::bit_cast does; the web build's C++
// library has no std::bit_cast).
inline std::uint64_t bitsOf(double x) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &x, sizeof bits);
    return bits;
}

inline double fromBits(std::uint64_t bits) {
    double x = 0.0;
    std::memcpy(&x, &bits, sizeof x);
    return x;
}

// Whole numbers from `low` to `high` (fewer than 2^64 of them), each equally
// likely, made from the raw output of the generator alone: used as
// std::uniform_int_distribution is, which would do, but each C++ library draws
// its numbers its own way (libstdc++ and libc++ differ), and tests that record
// digests of what they read need the same texts on every build; the sequence of
// std::mt19937_64 itself is fixed by the standard.
template <typename Int>
class UniformInt {
  public:
    UniformInt(Int low, Int high)
        : low_(static_cast<std::uint64_t>(low)),
          span_(static_cast<std::uint64_t>(high) - low_ + 1) {}

    Int operator()(std::mt19937_64& random) const {
        // Draws above the last whole multiple of the span are drawn again, so no
        // number is more likely than another.
        const std::uint64_t limit = kMax - kMax % span_;
        std::uint64_t draw = random();
        while (draw >= limit) {
            draw = random();
        }
        return static_cast<Int>(low_ + draw % span_);
    }

  private:
    static constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();
    std::uint64_t low_;
    std::uint64_t span_;
};

// The same double, bit for bit (so 0 and -0 differ, and so would two NaNs).
inline ::testing::AssertionResult sameDouble(double expected, double actual) {
    if (bitsOf(expected) == bitsOf(actual)) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << "expected " << show(expected) << ", got " << show(actual);
}

// A text of ASCII characters as the UTF-16 text of a field.
inline std::u16string u16(std::string_view ascii) {
    return {ascii.begin(), ascii.end()};
}

// A number m * 2^e written exactly in decimal: `digits` * 10^`-scale`. Every
// such number has a finite decimal form, so the ties between two neighbouring
// doubles can be written out digit for digit.
struct ExactDecimal {
    std::string digits;  // no leading zeros
    int scale = 0;       // digits after the decimal point

    // The number itself, as "digitsE-scale".
    std::string text() const { return digits + "E-" + std::to_string(scale); }
    // The number plus one unit in the next decimal place.
    std::string justAbove() const { return digits + "1E-" + std::to_string(scale + 1); }
    // The number minus one unit in the next decimal place.
    std::string justBelow() const {
        std::string lower = digits;
        std::size_t i = lower.size();
        while (lower[--i] == '0') {
            lower[i] = '9';
        }
        --lower[i];
        if (lower.size() > 1 && lower.front() == '0') {
            lower.erase(0, 1);
        }
        return lower + "9E-" + std::to_string(scale + 1);
    }
};

inline ExactDecimal exactDecimal(std::uint64_t m, int e) {
    // Base 10^9, least significant limb first.
    constexpr std::uint64_t kBase = 1'000'000'000;
    std::vector<std::uint64_t> limbs;
    for (std::uint64_t v = m; limbs.empty() || v != 0; v /= kBase) {
        limbs.push_back(v % kBase);
    }
    auto multiply = [&limbs](std::uint64_t factor) {
        std::uint64_t carry = 0;
        for (std::uint64_t& limb : limbs) {
            const std::uint64_t product = limb * factor + carry;
            limb = product % kBase;
            carry = product / kBase;
        }
        for (; carry != 0; carry /= kBase) {
            limbs.push_back(carry % kBase);
        }
    };
    // m * 2^e is m * 2^e when e >= 0, and m * 5^-e / 10^-e when e < 0.
    const std::uint64_t factor = e >= 0 ? 2 : 5;
    const std::uint64_t bigFactor = e >= 0 ? (1U << 30) : 1'220'703'125;  // 2^30, 5^13
    const int bigStep = e >= 0 ? 30 : 13;
    int count = e >= 0 ? e : -e;
    for (; count >= bigStep; count -= bigStep) {
        multiply(bigFactor);
    }
    for (; count > 0; --count) {
        multiply(factor);
    }
    ExactDecimal result;
    result.scale = e >= 0 ? 0 : -e;
    result.digits = std::to_string(limbs.back());
    for (std::size_t i = limbs.size() - 1; i-- > 0;) {
        const std::string limb = std::to_string(limbs[i]);
        result.digits += std::string(9 - limb.size(), '0') + limb;
    }
    return result;
}

}  // namespace testsupport
