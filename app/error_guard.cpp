// SPDX-FileCopyrightText: 2026 The Vistral developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The error guard around every click, and the replaceable modal message, written
// once for every toolkit. It calls the toolkit's own operations (the message and
// the focus), so each toolkit's platform library compiles it in.
#include <utility>

#include "app/platform.h"
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

}  // namespace

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
