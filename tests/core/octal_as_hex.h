// SPDX-FileCopyrightText: 2026 The Vistral developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Octal digits rewritten as the hexadecimal digits of the same whole number, so
// that a "&O" number can be handed to strtod as "0x...". Shared by the reference
// reader of the tests and the fuzz target's oracle.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace testsupport {

inline std::string octalAsHex(std::string_view octal) {
    std::string bits;
    for (const char digit : octal) {
        const int v = digit - '0';
        bits += (v & 4) != 0 ? '1' : '0';
        bits += (v & 2) != 0 ? '1' : '0';
        bits += (v & 1) != 0 ? '1' : '0';
    }
    bits.insert(0, (4 - bits.size() % 4) % 4, '0');
    std::string hex;
    for (std::size_t i = 0; i < bits.size(); i += 4) {
        const int nibble = (bits[i] - '0') * 8 + (bits[i + 1] - '0') * 4 + (bits[i + 2] - '0') * 2 +
                           (bits[i + 3] - '0');
        hex += "0123456789ABCDEF"[nibble];
    }
    return hex;
}

}  // namespace testsupport
