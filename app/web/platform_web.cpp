// SPDX-FileCopyrightText: 2026 The Vistral developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The platform operations on a web page, compiled to WebAssembly. Each one passes
// its values to the page's side (app/web/platform_web.js), which takes over and
// drives the page's own elements; what the program decides stays here:
//  - the window and its controls: the page's first frame already shows them,
//    written at build time from the same window description (prepaint.cpp);
//    the program takes over each element by its id and puts on it again the
//    style, attributes and text that app/web/markup makes of the rectangles in
//    pixels at 96 dots per inch, colours, texts and alignment. A control is
//    taken over when it is named (ui::Vistral names each one as it adds it),
//    since its id is its object name;
//  - the character limit of the input boxes: the page asks fitsLimit before and
//    after every change the user makes (vistral_fits);
//  - clicks: the page calls vistral_click, one click at a time, and the click
//    runs inside the error guard (runGuarded);
//  - the message: showModalMessage waits for the page's dialog to close, through
//    ASYNCIFY: the click's WebAssembly stack is set aside while the page runs,
//    and taken up again when the user has closed the message.
#include <emscripten.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "app/platform.h"
#include "app/web/markup.h"

// The page's side of each operation (app/web/platform_web.js). Texts pass as
// UTF-16 code units with their length. web_adopt takes over the element with the
// id and puts the style, the attributes (page::Element::attributes) and the text
// on it (control kWindowElement: the window, whose content is its controls); the
// kind's own function then makes it work as that kind of control.
extern "C" {
void web_adopt(int control, const char16_t* id, int idLength, const char16_t* style,
               int styleLength, const char16_t* attributes, int attributesLength,
               const char16_t* text, int textLength);
void web_window(const char16_t* title, int titleLength);
void web_text_box(int control);
void web_description(int control);
void web_button(int control);
int web_text_length(int control);
void web_read_text(int control, char16_t* out);
void web_set_text(int control, const char16_t* text, int length);
void web_focus_order(const int* controls, int count);
void web_focus(int control);
void web_show_message(const char16_t* title, int titleLength, const char16_t* text, int textLength);
void web_show(int firstFocus);
}

namespace platform {

struct Window::Native {
    enum class Kind : std::uint8_t { Label, TextBox, Description, Button };
    // What a control needs when the page calls: the character limit of a text box
    // (kNoLimit for the other controls), what a click on a button runs (empty for
    // the other controls); and, until it is named, the element it is to take over.
    struct ControlData {
        Kind kind;
        page::Element element;
        int limit;
        std::function<void()> onClick;
    };
    // By Control, in the order the page numbers them.
    std::vector<ControlData> controls;
};

namespace {

// The one window of the page; the page's events reach it through the exported
// functions below.
Window* theWindow = nullptr;

// The number web_adopt takes for the window.
constexpr int kWindowElement = -1;

int length(std::u16string_view text) {
    return static_cast<int>(text.size());
}

int index(Control control) {
    return static_cast<int>(control);
}

void adopt(int control, const page::Element& element) {
    const std::u16string_view id = element.id.view();
    const std::u16string_view style = element.style.view();
    const std::u16string_view attributes = element.attributes.view();
    web_adopt(control, id.data(), length(id), style.data(), length(style), attributes.data(),
              length(attributes), element.text.data(), length(element.text));
}

Control add(Window::Native& native, Window::Native::Kind kind, const page::Element& element,
            int limit, std::function<void()> onClick) {
    native.controls.push_back({kind, element, limit, std::move(onClick)});
    return static_cast<Control>(native.controls.size() - 1);
}

}  // namespace

Window::Window(const Description& description) : native_(std::make_unique<Native>()) {
    adopt(kWindowElement, page::windowElement(description));
    web_window(description.title.data(), length(description.title));
    theWindow = this;
}

Window::~Window() {
    theWindow = nullptr;
}

Control Window::addLabel(const TwipsRect& rect, std::u16string_view text, Rgb background,
                         Alignment alignment) {
    return add(*native_, Native::Kind::Label, page::labelElement(rect, text, background, alignment),
               kNoLimit, {});
}

Control Window::addTextBox(const TwipsRect& rect, Alignment alignment, bool readOnly,
                           int charLimit) {
    return add(*native_, Native::Kind::TextBox, page::textBoxElement(rect, alignment, readOnly),
               charLimit, {});
}

Control Window::addDescriptionBox(const TwipsRect& rect, std::u16string_view text) {
    return add(*native_, Native::Kind::Description, page::descriptionElement(rect, text), kNoLimit,
               {});
}

Control Window::addButton(const TwipsRect& rect, std::u16string_view caption, Rgb face,
                          std::function<void()> onClick) {
    return add(*native_, Native::Kind::Button, page::buttonElement(rect, caption, face), kNoLimit,
               std::move(onClick));
}

void Window::setNames(Control control, std::u16string_view objectName,
                      std::u16string_view accessibleName) {
    Native::ControlData& data = native_->controls.at(static_cast<std::size_t>(index(control)));
    page::setNames(data.element, objectName, accessibleName);
    adopt(index(control), data.element);
    switch (data.kind) {
        case Native::Kind::Label:
            break;
        case Native::Kind::TextBox:
            web_text_box(index(control));
            break;
        case Native::Kind::Description:
            web_description(index(control));
            break;
        case Native::Kind::Button:
            web_button(index(control));
            break;
    }
}

std::u16string Window::text(Control box) const {
    std::u16string text(static_cast<std::size_t>(web_text_length(index(box))), u'\0');
    web_read_text(index(box), text.data());
    return text;
}

void Window::setText(Control box, std::u16string_view text) {
    web_set_text(index(box), text.data(), length(text));
}

void Window::setFocusOrder(std::span<const Control> order) {
    std::vector<int> controls;
    for (const Control control : order) {
        controls.push_back(index(control));
    }
    web_focus_order(controls.data(), static_cast<int>(controls.size()));
}

void Window::setFocus(Control control) {
    web_focus(index(control));
}

void Window::showModalMessage(std::u16string_view title, std::u16string_view text) {
    web_show_message(title.data(), length(title), text.data(), length(text));
}

// The page's own event loop runs the program once start-up has returned, so run
// shows the window and returns at once; the window lives on (app/web/main_web.cpp).
int Window::run(Control firstFocus) {
    web_show(index(firstFocus));
    return 0;
}

}  // namespace platform

// Called by the page.
extern "C" {

// A click on button `control`; the page calls it asynchronously (it may wait for
// the message), and never while another click is running.
EMSCRIPTEN_KEEPALIVE void vistral_click(int control) {
    using platform::theWindow;
    if (theWindow == nullptr) {
        return;
    }
    const auto& controls = theWindow->native().controls;
    const auto i = static_cast<std::size_t>(control);
    if (i < controls.size() && controls[i].onClick) {
        theWindow->runGuarded(static_cast<platform::Control>(control), controls[i].onClick);
    }
}

// Whether `text` (UTF-16, `length` units) may stand in text box `control`.
EMSCRIPTEN_KEEPALIVE bool vistral_fits(int control, const char16_t* text, int length) {
    using platform::theWindow;
    const auto i = static_cast<std::size_t>(control);
    if (theWindow == nullptr || i >= theWindow->native().controls.size()) {
        return true;
    }
    return platform::fitsLimit({text, static_cast<std::size_t>(length)},
                               theWindow->native().controls[i].limit);
}
}
