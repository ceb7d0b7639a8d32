// SPDX-FileCopyrightText: 2026 The Vistral developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The user-interface operations the program asks of its platform, one each: the
// window, its labels, text boxes and buttons, the text of a field, click delivery
// inside the error guard, focus order, the modal message and the event loop. The
// window description in ui/main_window calls only these.
//
// Nothing here names a toolkit: texts are UTF-16, geometry is in twips, and the
// controls of a window are handles that the window gives out. Each toolkit has
// one implementation of the operations: app/qt (Linux), app/win32 (Windows) and
// app/web (the web page, a page's own elements through WebAssembly). What all of
// them share, the error guard, twips to pixels and the character count, is in
// app/platform.cpp and app/error_guard.cpp.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace platform {

// A rectangle in twips (1/1440 inch) from the top-left corner of the client area.
struct TwipsRect {
    int left;
    int top;
    int width;
    int height;
};

// A rectangle in pixels from the top-left corner of the client area.
struct PixelRect {
    int left;
    int top;
    int width;
    int height;

    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

inline constexpr int kTwipsPerInch = 1440;
// The screen density the window is drawn for: there a pixel is 15 twips.
inline constexpr int kStandardDpi = 96;

// Twips as pixels at `dotsPerInch`, to the nearest pixel: 15 twips a pixel at 96
// dots per inch, 10 at 144.
int twipsToPixels(int twips, int dotsPerInch = kStandardDpi);

// The rectangle in pixels at `dotsPerInch`. Its edges are converted, not its size,
// so controls that share an edge in twips share it in pixels at every density.
PixelRect toPixels(const TwipsRect& twips, int dotsPerInch = kStandardDpi);

struct Rgb {
    std::uint8_t red;
    std::uint8_t green;
    std::uint8_t blue;
};

enum class Alignment : std::uint8_t { Left, Centre };

// The font every control of the window uses.
struct Font {
    std::u16string_view family;
    int points;
    // 400 is regular, 700 bold.
    int weight;
    // The Windows character set the family is asked for (204 is Cyrillic).
    std::uint8_t charset;
};

// A text box without a character limit.
inline constexpr int kNoLimit = 0;

// Characters as a person counts them: a surrogate pair (a character outside the
// Basic Multilingual Plane) is one.
std::size_t characterCount(std::u16string_view text);

// Whether `text` has at most `limit` characters; any text fits kNoLimit.
bool fitsLimit(std::u16string_view text, int limit);

// The messages of the error guard: title, text and the one button.
inline constexpr std::u16string_view kMessageTitle = u"Vistral";
inline constexpr std::u16string_view kMessageButton = u"OK";
inline constexpr std::u16string_view kOverflowMessage =
    u"Препълване: резултатът е твърде голям и не може да бъде показан.\n"
    u"Поправете въведените числа и опитайте отново.";
inline constexpr std::u16string_view kUnexpectedErrorMessage = u"Неочаквана грешка.";

// A control of a window, as the window's add functions give it out.
enum class Control : int {};

// The one top-level window and its controls. The window owns every control and
// every toolkit object behind them.
class Window {
  public:
    struct Description {
        // The window object's name, for tests and assistive technology.
        std::u16string_view name;
        std::u16string_view title;
        // The client area in twips; the user cannot resize the window, which has
        // no minimise or maximise button.
        int clientWidth;
        int clientHeight;
        Rgb background;
        Font font;
    };

    explicit Window(const Description& description);
    ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // An opaque label without a border; the text starts at the top edge and wraps
    // at the label's width. Labels never take the focus. Where a label meets a
    // text box or a button, the box or button is on top.
    Control addLabel(const TwipsRect& rect, std::u16string_view text, Rgb background,
                     Alignment alignment);

    // A single-line text box. `charLimit` counts characters as characterCount
    // does; typing past it is refused, and a paste that would pass it inserts
    // nothing. A read-only box takes the focus and lets its text be selected and
    // copied, but the user cannot change it in any way; setText still works.
    Control addTextBox(const TwipsRect& rect, Alignment alignment, bool readOnly, int charLimit);

    // A read-only multi-line text box with a vertical scroll bar; lines wrap at
    // the box's width and it starts scrolled to the top. It takes the focus and
    // lets its text be selected and copied. Lines are separated by "\n".
    Control addDescriptionBox(const TwipsRect& rect, std::u16string_view text);

    // A push button painted in `face`, with a visible mark while it has the focus.
    // A mouse click, or Space or Enter while it has the focus, is one click, and
    // runs `onClick` once inside the error guard (runGuarded).
    Control addButton(const TwipsRect& rect, std::u16string_view caption, Rgb face,
                      std::function<void()> onClick);

    // The control's object name (its array and index, "Text2_0") and the name
    // assistive technology reads for it.
    void setNames(Control control, std::u16string_view objectName,
                  std::u16string_view accessibleName);

    // The whole text of a text box, and replacing it (read-only boxes too).
    std::u16string text(Control box) const;
    void setText(Control box, std::u16string_view text);

    // Tab moves along `order`, Shift+Tab back, and both wrap around.
    void setFocusOrder(std::span<const Control> order);

    // Makes the window the active one again and puts the focus on `control`.
    void setFocus(Control control);

    // The toolkit's modal message owned by the window, with one button; returns
    // when the user has dismissed it. The program shows messages through
    // platform::showMessage, which tests can replace.
    void showModalMessage(std::u16string_view title, std::u16string_view text);

    // Shows the window with its frame centred on the primary screen's work area
    // and the focus on `firstFocus`, and runs the event loop until the window is
    // closed. Gives the process exit status: 0.
    int run(Control firstFocus);

    // The error guard around one click: nothing `action` throws reaches the
    // toolkit. An overflow is reported with kOverflowMessage, any other error with
    // kUnexpectedErrorMessage; the program goes on, and after the report the focus
    // is back on `button`. Every toolkit delivers clicks through this.
    void runGuarded(Control button, const std::function<void()>& action) noexcept;

    // The toolkit's objects behind the window, defined by each implementation for
    // itself and its tests.
    struct Native;
    Native& native() { return *native_; }
    const Native& native() const { return *native_; }

  private:
    std::unique_ptr<Native> native_;
};

using MessageFunction =
    std::function<void(Window& owner, std::u16string_view title, std::u16string_view text)>;

// Shows a modal message owned by `owner`: by default the window's own
// showModalMessage.
void showMessage(Window& owner, std::u16string_view title, std::u16string_view text);

// Replaces the function behind showMessage (a test records the message and
// returns as if the user had dismissed it) and gives back the one it replaced.
MessageFunction replaceMessageFunction(MessageFunction message);

}  // namespace platform
