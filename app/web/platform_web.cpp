// SPDX-FileCopyrightText: 2026 The Vistral developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The platform operations on a web page, compiled to WebAssembly. Each one passes
// its values to the page's side (app/web/platform_web.js), which makes and drives
// the page's own elements; what the program decides stays here:
//  - the window and its controls: rectangles in pixels at 96 dots per inch
//    (toPixels), colours, texts and alignment, as the other toolkits get them;
//  - the character limit of the input boxes: the page asks fitsLimit before and
//    after every change the user makes (vistral_fits);
//  - clicks: the page calls vistral_click, one click at a time, and the click
//    runs inside the error guard (runGuarded);
//  - the message: showModalMessage waits for the page's dialog to close, through
//    ASYNCIFY: the click's WebAssembly stack is set aside while the page runs,
//    and taken up again when the user has closed the message.
#include <emscripten.h>

#include <string>
#include <utility>
#include <vector>

#include "app/platform.h"

// The page's side of each operation (app/web/platform_web.js). Texts pass as
// UTF-16 code units with their length, colours as 0xRRGGBB, rectangles in pixels.
extern "C" {
void web_window(const char16_t* name, int nameLength, const char16_t* title, int titleLength,
                int width, int height, int background, const char16_t* family, int familyLength,
                int points, int weight);
int web_label(int left, int top, int width, int height, const char16_t* text, int length,
              int background, bool centre);
int web_text_box(int left, int top, int width, int height, bool centre, bool readOnly);
int web_description(int left, int top, int width, int height, const char16_t* text, int length);
int web_button(int left, int top, int width, int height, const char16_t* caption, int length,
               int face);
void web_set_names(int control, const char16_t* objectName, int objectLength,
                   const char16_t* accessibleName, int accessibleLength);
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
    // What a control needs when the page calls: the character limit of a text box
    // (kNoLimit for the other controls), what a click on a button runs (empty for
    // the other controls).
    struct ControlData {
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

int length(std::u16string_view text) {
    return static_cast<int>(text.size());
}

int colour(Rgb rgb) {
    return rgb.red << 16 | rgb.green << 8 | rgb.blue;
}

int index(Control control) {
    return static_cast<int>(control);
}

Control add(Window::Native& native, int control, int limit, std::function<void()> onClick) {
    native.controls.resize(static_cast<std::size_t>(control) + 1, {kNoLimit, {}});
    native.controls.back() = {limit, std::move(onClick)};
    return static_cast<Control>(control);
}

}  // namespace

Window::Window(const Description& description) : native_(std::make_unique<Native>()) {
    const PixelRect client = toPixels({0, 0, description.clientWidth, description.clientHeight});
    web_window(description.name.data(), length(description.name), description.title.data(),
               length(description.title), client.width, client.height,
               colour(description.background), description.font.family.data(),
               length(description.font.family), description.font.points, description.font.weight);
    theWindow = this;
}

Window::~Window() {
    theWindow = nullptr;
}

Control Window::addLabel(const TwipsRect& rect, std::u16string_view text, Rgb background,
                         Alignment alignment) {
    const PixelRect p = toPixels(rect);
    return add(*native_,
               web_label(p.left, p.top, p.width, p.height, text.data(), length(text),
                         colour(background), alignment == Alignment::Centre),
               kNoLimit, {});
}

Control Window::addTextBox(const TwipsRect& rect, Alignment alignment, bool readOnly,
                           int charLimit) {
    const PixelRect p = toPixels(rect);
    return add(
        *native_,
        web_text_box(p.left, p.top, p.width, p.height, alignment == Alignment::Centre, readOnly),
        charLimit, {});
}

Control Window::addDescriptionBox(const TwipsRect& rect, std::u16string_view text) {
    const PixelRect p = toPixels(rect);
    return add(*native_,
               web_description(p.left, p.top, p.width, p.height, text.data(), length(text)),
               kNoLimit, {});
}

Control Window::addButton(const TwipsRect& rect, std::u16string_view caption, Rgb face,
                          std::function<void()> onClick) {
    const PixelRect p = toPixels(rect);
    return add(
        *native_,
        web_button(p.left, p.top, p.width, p.height, caption.data(), length(caption), colour(face)),
        kNoLimit, std::move(onClick));
}

void Window::setNames(Control control, std::u16string_view objectName,
                      std::u16string_view accessibleName) {
    web_set_names(index(control), objectName.data(), length(objectName), accessibleName.data(),
                  length(accessibleName));
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
