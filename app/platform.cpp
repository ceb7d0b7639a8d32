// SPDX-FileCopyrightText: 2026 The Vistral developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// What every toolkit's implementation of the platform operations shares: twips
// to pixels, the character count of the input limit, and the error guard with its
// replaceable message.
#include "app/platform.h"

#include <utility>

#include "calc/numeric.h"

namespace platform {

namespace {

MessageFunction& messageFunction() {
    static MessageFunction message = [](Window& owner, std::u16string_view title,
                                        std::u16string_view text) {
        owner.showModalMessage(title, text);
    };
    return message;
}

bool isHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool isLowSurrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

}  // namespace

int twipsToPixels(int twips, int dotsPerInch) {
    // Twips and densities are small and positive: no overflow, and adding half the
    // divisor rounds to the nearest pixel.
    return (twips * dotsPerInch + kTwipsPerInch / 2) / kTwipsPerInch;
}

PixelRect toPixels(const TwipsRect& twips, int dotsPerInch) {
    const int left = twipsToPixels(twips.left, dotsPerInch);
    const int top = twipsToPixels(twips.top, dotsPerInch);
    return {left, top, twipsToPixels(twips.left + twips.width, dotsPerInch) - left,
            twipsToPixels(twips.top + twips.height, dotsPerInch) - top};
}

std::size_t characterCount(std::u16string_view text) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!(isLowSurrogate(text[i]) && i > 0 && isHighSurrogate(text[i - 1]))) {
            ++count;
        }
    }
    return count;
}

bool fitsLimit(std::u16string_view text, int limit) {
    return limit == kNoLimit || characterCount(text) <= static_cast<std::size_t>(limit);
}

void Window::runGuarded(Control button, const std::function<void()>& action) noexcept {
    std::u16string_view report;
    try {
        action();
        return;
    } catch (const calc::OverflowError&) {
        report = kOverflowMessage;
    } catch (...) {
        report = kUnexpectedErrorMessage;
    }
    // The report is shown after the handler, when the error is gone.
    showMessage(*this, kMessageTitle, report);
    setFocus(button);
}

void showMessage(Window& owner, std::u16string_view title, std::u16string_view text) {
    // A copy, so that a message function may replace itself while it runs.
    const MessageFunction message = messageFunction();
    message(owner, title, text);
}

MessageFunction replaceMessageFunction(MessageFunction message) {
    return std::exchange(messageFunction(), std::move(message));
}

}  // namespace platform
