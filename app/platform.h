// SPDX-FileCopyrightText: 2026 The Vistral developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The user-interface operations the program asks of Qt, one function each: the
// application's look, the window, its labels, text boxes and buttons, the text of
// a field, click delivery inside the error guard, focus order, the modal message
// and the event loop. The window description in ui/main_window calls only these.
#pragma once

#include <QString>
#include <QStringView>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

class QFont;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRect;
class QWidget;

namespace platform {

// A rectangle in twips (1/1440 inch) from the top-left corner of the client area.
// At 96 dots per inch a pixel is 15 twips; on other screens Qt scales the logical
// pixels, so the proportions hold.
struct TwipsRect {
    int left;
    int top;
    int width;
    int height;
};

// The rectangle in logical pixels: every value divided by 15.
QRect toPixels(const TwipsRect& twips);

struct Rgb {
    std::uint8_t red;
    std::uint8_t green;
    std::uint8_t blue;
};

enum class Alignment : std::uint8_t { Left, Centre };

// A text box without a character limit.
inline constexpr int kNoLimit = 0;

// The look every window of the program shares, whatever the desktop: the Fusion
// style with its standard light palette, so that text on the light back colours
// stays dark under a dark desktop theme, and Liberation Serif (metric-compatible,
// with Cyrillic) wherever "Times New Roman" is missing. Call once, after the
// QApplication is made and before any widget.
void useStandardLook();

// Makes `window` the top-level window: title, client area of the given size in
// twips that the user cannot resize, no minimise or maximise button, the back
// colour and the font that every control inherits.
void makeTopLevelWindow(QWidget& window, QStringView title, int clientWidth, int clientHeight,
                        Rgb background, const QFont& font);

// An opaque label without a border; the text starts at the top edge and wraps at
// the label's width. Labels never take the focus.
QLabel* addLabel(QWidget& parent, const TwipsRect& rect, QStringView text, Rgb background,
                 Alignment alignment);

// A single-line text box. `charLimit` counts characters as a person does (one
// outside the Basic Multilingual Plane is one, not two); typing past it is
// refused, and a paste that would pass it inserts nothing. A read-only box takes
// the focus and lets its text be selected and copied, but the user cannot change
// it in any way; writing through setFieldText still works.
QLineEdit* addTextBox(QWidget& parent, const TwipsRect& rect, Alignment alignment, bool readOnly,
                      int charLimit);

// A read-only multi-line text box with a vertical scroll bar; lines wrap at the
// box's width and it starts scrolled to the top. It takes the focus and lets its
// text be selected and copied.
QPlainTextEdit* addDescriptionBox(QWidget& parent, const TwipsRect& rect, QStringView text);

// A push button painted in `face`. A mouse click, or Space or Enter while it has
// the focus, is one click.
QPushButton* addButton(QWidget& parent, const TwipsRect& rect, QStringView caption, Rgb face);

// The whole text of a box, and replacing it (read-only boxes too).
std::u16string fieldText(const QLineEdit& box);
void setFieldText(QLineEdit& box, std::u16string_view text);

// Runs `onClick` once for each click of `button`, inside the error guard: nothing
// it throws reaches Qt's event loop. An overflow is reported with a modal message
// (kMessageTitle, kOverflowMessage) and the program goes on; any other error is
// reported with kUnexpectedErrorMessage. After a report the focus is back on
// `button`.
void deliverClicks(QPushButton& button, std::function<void()> onClick);

// Tab moves along `order`, Shift+Tab back, and both wrap around.
void setFocusOrder(std::span<QWidget* const> order);

// The modal message: title, text and one button to dismiss it; it returns when the
// user has dismissed it.
inline constexpr QStringView kMessageTitle = u"Vistral";
inline constexpr QStringView kMessageButton = u"OK";
inline constexpr QStringView kOverflowMessage =
    u"Препълване: резултатът е твърде голям и не може да бъде показан.\n"
    u"Поправете въведените числа и опитайте отново.";
inline constexpr QStringView kUnexpectedErrorMessage = u"Неочаквана грешка.";

using MessageFunction =
    std::function<void(QWidget* owner, const QString& title, const QString& text)>;

void showMessage(QWidget* owner, const QString& title, const QString& text);

// Replaces the function behind showMessage (a test records the message and
// returns as if the user had dismissed it) and gives back the one it replaced.
MessageFunction replaceMessageFunction(MessageFunction message);

// Shows `window` with its frame centred on the primary screen and the focus on
// `firstFocus`, and runs the event loop until the window is closed. Gives the
// process exit status: 0.
int run(QWidget& window, QWidget& firstFocus);

}  // namespace platform
