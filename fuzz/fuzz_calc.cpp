// SPDX-FileCopyrightText: 2026 The Vistral developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Fuzz target for the reading of field texts and for the two button actions.
//
// The input bytes are taken twice as text: once as UTF-16 (little-endian pairs,
// a lone last byte dropped) and once widened one byte per character, so that
// plain ASCII seeds read as the texts a person types. Each text goes through
//  - calc::readNumber, checked against the C library's strtod wherever the text
//    is a plain decimal number or a "&H"/"&O" number that strtod can read too;
//  - a whole calculate and clear on eight in-memory fields, with the average
//    stay and the visit count split from the text at its first line feed.
// calc::OverflowError is the only error the code may raise; anything else, a
// sanitizer report or a broken rule (__builtin_trap) is a finding.
#include <array>
#include <cerrno>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "calc/numeric.h"
#include "tests/core/octal_as_hex.h"
#include "ui/actions.h"

namespace {

constexpr int kFieldCount = 8;

// The same double, negative zero apart from positive zero.
bool sameDouble(double a, double b) {
    return a == b && std::signbit(a) == std::signbit(b);
}

void require(bool rule) {
    if (!rule) {
        __builtin_trap();
    }
}

// readNumber, with an overflow as no value.
std::optional<double> tryRead(std::u16string_view text) {
    try {
        return calc::readNumber(text);
    } catch (const calc::OverflowError&) {
        return std::nullopt;
    }
}

bool isBlank(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

std::u16string withoutBlanks(std::u16string_view text) {
    std::u16string compact;
    for (const char16_t c : text) {
        if (!isBlank(c)) {
            compact += c;
        }
    }
    return compact;
}

// strtod on `text`, when it reads the whole of it: the value, or no value for a
// number beyond the range of a double.
struct StrtodResult {
    bool readAll = false;
    std::optional<double> value;
};

StrtodResult strtodWhole(const std::string& text) {
    StrtodResult result;
    if (text.empty()) {
        return result;
    }
    char* end = nullptr;
    errno = 0;
    const double value = std::strtod(text.c_str(), &end);
    result.readAll = end == text.c_str() + text.size();
    if (!(errno == ERANGE && std::isinf(value))) {
        result.value = value;  // a tiny number comes back correctly rounded
    }
    return result;
}

bool isHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// What strtod says about the number at the start of `compact` (a text without
// blanks), when the number is of a form that both read alike: nothing otherwise.
std::optional<StrtodResult> strtodOracle(std::u16string_view compact) {
    std::string ascii;
    for (const char16_t c : compact) {
        if (c == u'\0' || c >= 0x80) {
            break;
        }
        ascii += static_cast<char>(c);
    }
    if (ascii.size() >= 2 && ascii[0] == '&') {
        const char letter = ascii[1];
        std::size_t end = 2;
        if (letter == 'H' || letter == 'h') {
            while (end < ascii.size() && isHexDigit(ascii[end])) {
                ++end;
            }
            if (end == 2) {
                return std::nullopt;
            }
            return strtodWhole("0x" + ascii.substr(2, end - 2));
        }
        if (letter == 'O' || letter == 'o') {
            while (end < ascii.size() && ascii[end] >= '0' && ascii[end] <= '7') {
                ++end;
            }
            if (end == 2) {
                return std::nullopt;
            }
            return strtodWhole("0x" +
                               testsupport::octalAsHex(std::string_view(ascii).substr(2, end - 2)));
        }
        return std::nullopt;
    }
    // Decimal: the characters a decimal number is made of, as far as they go;
    // strtod must read all of them, or the two may legitimately stop apart.
    // strtod knows no "D" exponent.
    const std::size_t end = ascii.find_first_not_of("0123456789+-.eE");
    if (end != std::string::npos && (ascii[end] == 'd' || ascii[end] == 'D')) {
        return std::nullopt;
    }
    const StrtodResult result = strtodWhole(ascii.substr(0, end));
    if (!result.readAll) {
        return std::nullopt;
    }
    return result;
}

void checkReadNumber(std::u16string_view text) {
    const std::optional<double> value = tryRead(text);
    // A value is always a finite number; a number beyond the range of a double
    // raises OverflowError instead.
    require(!value || std::isfinite(*value));

    // Blanks, tabs, line feeds and carriage returns count nowhere.
    const std::u16string compact = withoutBlanks(text);
    const std::optional<double> compactValue = tryRead(compact);
    require(value.has_value() == compactValue.has_value());
    require(!value || sameDouble(*value, *compactValue));

    // The nearest double, as strtod gives it.
    if (const auto oracle = strtodOracle(compact)) {
        require(value.has_value() == oracle->value.has_value());
        require(!value || sameDouble(*value, *oracle->value));
    }
}

// Eight texts standing in for the window's number fields.
class MemoryFields final : public ui::FieldAccess {
  public:
    std::u16string getText(int i) const override { return texts.at(static_cast<std::size_t>(i)); }
    void setText(int i, std::u16string_view text) override {
        texts.at(static_cast<std::size_t>(i)) = text;
    }

    std::array<std::u16string, kFieldCount> texts;
};

// The whole number shown by a result field, if its text is exactly what
// formatInt writes for a value from 0 to `max`.
std::optional<std::int64_t> shownValue(const std::u16string& text, std::int64_t max) {
    if (text.empty() || text.size() > 7 || (text.size() > 1 && text[0] == u'0')) {
        return std::nullopt;
    }
    std::int64_t value = 0;
    for (const char16_t c : text) {
        if (c < u'0' || c > u'9') {
            return std::nullopt;
        }
        value = value * 10 + (c - u'0');
    }
    if (value > max) {
        return std::nullopt;
    }
    return value;
}

constexpr std::int64_t kMaxHours = 596523;
constexpr std::int64_t kMaxMinutesOrSeconds = 59;

// Fields first..first+2 show hours, minutes and seconds in range that add up to
// `seconds` within half a second.
void requireBreakdown(const MemoryFields& fields, int first, double seconds) {
    const auto i = static_cast<std::size_t>(first);
    const auto hours = shownValue(fields.texts[i], kMaxHours);
    const auto minutes = shownValue(fields.texts[i + 1], kMaxMinutesOrSeconds);
    const auto secs = shownValue(fields.texts[i + 2], kMaxMinutesOrSeconds);
    require(hours && minutes && secs);
    const auto total = static_cast<double>(*hours * 3600 + *minutes * 60 + *secs);
    require(std::fabs(total - seconds) <= 0.5);
}

void requireEmpty(const MemoryFields& fields, int first, int last) {
    for (int i = first; i <= last; ++i) {
        require(fields.texts[static_cast<std::size_t>(i)].empty());
    }
}

// Whether `x` rounds, half to even, into the 32-bit range.
bool roundsIntoInt32(double x) {
    return x >= -2147483648.5 && x < 2147483647.5;
}

void checkActions(std::u16string_view text) {
    const std::size_t split = text.find(u'\n');
    const std::u16string stay(text.substr(0, split));
    const std::u16string visits(split == std::u16string_view::npos ? std::u16string_view{}
                                                                   : text.substr(split + 1));

    MemoryFields fields;
    fields.texts = {stay, visits, u"x", u"x", u"x", u"x", u"x", u"x"};
    ui::StayTimeActions actions(fields);

    // Which of the two results fit, worked out from the values read: the stay
    // and the count must round into 32 bits, then the product of the stay and
    // the rounded count must too. Rounding here is the default nearest-even.
    const std::optional<double> stayValue = tryRead(stay);
    const std::optional<double> visitsValue = tryRead(visits);
    const bool averageFits = stayValue && visitsValue && roundsIntoInt32(std::fabs(*stayValue)) &&
                             roundsIntoInt32(*visitsValue);
    const double total = averageFits ? std::fabs(*stayValue * std::nearbyint(*visitsValue)) : 0.0;
    const bool totalFits = averageFits && roundsIntoInt32(total);

    bool calculated = true;
    try {
        actions.Command1_Click(0);
    } catch (const calc::OverflowError&) {
        calculated = false;
    }
    require(calculated == totalFits);
    require(fields.texts[0] == stay && fields.texts[1] == visits);
    // A result field shows a new value or, when it could not be filled, nothing.
    if (averageFits) {
        requireBreakdown(fields, 2, std::fabs(*stayValue));
    } else {
        requireEmpty(fields, 2, 4);
    }
    if (totalFits) {
        requireBreakdown(fields, 5, total);
    } else {
        requireEmpty(fields, 5, 7);
    }

    // Calculating again with the same inputs writes the same texts again.
    if (calculated) {
        const auto before = fields.texts;
        actions.Command1_Click(0);
        require(fields.texts == before);
    }

    // A button that does not exist does nothing.
    const auto before = fields.texts;
    actions.Command1_Click(2);
    actions.Command1_Click(-1);
    require(fields.texts == before);

    actions.Command1_Click(1);
    requireEmpty(fields, 0, kFieldCount - 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::u16string utf16;
    utf16.reserve(size / 2);
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        utf16 += static_cast<char16_t>(data[i] | (data[i + 1] << 8));
    }
    const std::u16string widened(data, data + size);

    for (const std::u16string& text : {utf16, widened}) {
        checkReadNumber(text);
        checkActions(text);
    }
    return 0;
}
