// SPDX-FileCopyrightText: 2026 The Vistral developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The page's first frame, written at build time: the program's own window
// (ui/main_window) built over platform operations that write each control as the
// element app/web/markup makes of it, so that the browser paints the window
// before any script has run, and the program then takes over the same elements.
//
//   prepaint PAGE STYLE START OUT_PAGE
//
// OUT_PAGE is PAGE with the window's title in place of @TITLE@ and its markup in
// place of the line @WINDOW@; the window is inert until the program has taken it
// over. The page carries its style and its starter script itself, so that the
// first frame waits for no other file: STYLE followed by a rule for the window
// and each control in place of @STYLE@, the script START in place of @START@.
// The page's Content-Security-Policy allows no other inline style or script:
// their SHA-256 digests stand in it in place of @STYLE_HASH@ and @START_HASH@.
// Run under node (the build's emulator), which lets it reach the files
// (NODERAWFS) and gives the digests.
#include <emscripten.h>

#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "app/platform.h"
#include "app/web/markup.h"
#include "ui/main_window.h"

namespace platform {

struct Window::Native {
    std::u16string_view title;
    PixelRect client;
    page::Element window;
    std::vector<page::Element> controls;
    // By control: the text of a box, which the window may set before it is shown.
    std::vector<std::u16string> texts;
};

namespace {

Control add(Window::Native& native, const page::Element& element) {
    native.controls.push_back(element);
    native.texts.emplace_back(element.text);
    return static_cast<Control>(native.controls.size() - 1);
}

}  // namespace

Window::Window(const Description& description)
    : native_(std::make_unique<Native>(
          Native{description.title,
                 toPixels({0, 0, description.clientWidth, description.clientHeight}),
                 page::windowElement(description),
                 {},
                 {}})) {}

Window::~Window() = default;

Control Window::addLabel(const TwipsRect& rect, std::u16string_view text, Rgb background,
                         Alignment alignment) {
    return add(*native_, page::labelElement(rect, text, background, alignment));
}

Control Window::addTextBox(const TwipsRect& rect, Alignment alignment, bool readOnly, int) {
    return add(*native_, page::textBoxElement(rect, alignment, readOnly));
}

Control Window::addDescriptionBox(const TwipsRect& rect, std::u16string_view text) {
    return add(*native_, page::descriptionElement(rect, text));
}

Control Window::addButton(const TwipsRect& rect, std::u16string_view caption, Rgb face,
                          std::function<void()>) {
    return add(*native_, page::buttonElement(rect, caption, face));
}

void Window::setNames(Control control, std::u16string_view objectName,
                      std::u16string_view accessibleName) {
    page::setNames(native_->controls.at(static_cast<std::size_t>(control)), objectName,
                   accessibleName);
}

// The first frame has the texts the window starts with.
std::u16string Window::text(Control box) const {
    return native_->texts.at(static_cast<std::size_t>(box));
}

void Window::setText(Control box, std::u16string_view text) {
    native_->texts.at(static_cast<std::size_t>(box)) = text;
}

// Focus and messages are the running program's.
void Window::setFocusOrder(std::span<const Control>) {}
void Window::setFocus(Control) {}
void Window::showModalMessage(std::u16string_view, std::u16string_view) {}
int Window::run(Control) {
    return 0;
}

}  // namespace platform

namespace {

using platform::page::Element;

std::string utf8(std::u16string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size()) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | c >> 6);
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | c >> 12);
            out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | c >> 18);
            out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
            out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// Text as HTML: in an element's content and in a quoted attribute value alike.
std::string escaped(std::u16string_view text) {
    std::string out;
    for (const char c : utf8(text)) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string startTag(const Element& element, std::string_view more = {}) {
    std::string tag = "<" + utf8(element.tag) + " id=\"" + escaped(element.id.view()) + "\"";
    // Name and value after one another, each ended by U+0000.
    std::u16string_view rest = element.attributes.view();
    while (!rest.empty()) {
        const std::u16string_view name = rest.substr(0, rest.find(u'\0'));
        rest.remove_prefix(name.size() + 1);
        const std::u16string_view value = rest.substr(0, rest.find(u'\0'));
        rest.remove_prefix(value.size() + 1);
        tag += " " + utf8(name);
        if (!value.empty()) {
            tag += "=\"" + escaped(value) + "\"";
        }
    }
    return tag.append(more) + ">";
}

// An element with its text; an <input> has no content, its text is its value.
std::string markup(const Element& element, std::u16string_view text) {
    if (element.tag == u"input") {
        return startTag(element, text.empty() ? "" : " value=\"" + escaped(text) + "\"");
    }
    // A line break right after <textarea> is dropped by the parser, so the text
    // keeps a first line break of its own.
    const std::string lead = element.tag == u"textarea" ? "\n" : "";
    return startTag(element) + lead + escaped(text) + "</" + utf8(element.tag) + ">";
}

std::string rule(const Element& element) {
    return "#" + utf8(element.id.view()) + " {" + utf8(element.style.view()) + "}\n";
}

bool write(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    return static_cast<bool>(out);
}

std::string read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Node's SHA-256 of `length` bytes at `data`, in base64 (44 characters), into
// `out`.
EM_JS(void, sha256_base64, (const char* data, int length, char* out), {
    const digest = require('crypto')
                       .createHash('sha256')
                       .update(HEAPU8.subarray(data, data + length))
                       .digest('base64');
    stringToUTF8(digest, out, 45);
});

// A source of the policy that allows the inline style or script `text`.
std::string hashSource(const std::string& text) {
    char digest[45] = {};
    sha256_base64(text.data(), static_cast<int>(text.size()), digest);
    return "'sha256-" + std::string(digest) + "'";
}

bool replace(std::string& text, std::string_view marker, const std::string& by) {
    const auto at = text.find(marker);
    if (at == std::string::npos) {
        return false;
    }
    text.replace(at, marker.size(), by);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::cerr << "usage: prepaint PAGE STYLE START OUT_PAGE\n";
        return 2;
    }
    ui::Vistral vistral;
    const platform::Window::Native& window = vistral.window().native();

    std::string html = startTag(window.window, " inert") + "\n";
    std::string css =
        read(argv[2]) +
        "\n/* The window and its controls, from the program's window description. */\n" +
        rule(window.window);
    for (std::size_t i = 0; i < window.controls.size(); ++i) {
        html += markup(window.controls[i], window.texts[i]) + "\n";
        css += rule(window.controls[i]);
    }
    html += "</div>";
    // Until the program has the window, the style alone scales it down as one
    // piece on a page narrower than the window, with the transform and margins
    // the program then sets: the ratio of the two widths is the tangent of the
    // angle they make.
    const std::string width = std::to_string(window.client.width) + "px";
    const std::string height = std::to_string(window.client.height) + "px";
    css += "#Vistral[inert] {--scale: min(1, tan(atan2(100vw, " + width +
           ")));\n  transform: scale(var(--scale));\n  margin-right: calc((var(--scale) - 1) * " +
           width + ");\n  margin-bottom: calc((var(--scale) - 1) * " + height + ");}\n";
    const std::string start = read(argv[3]);

    std::string page = read(argv[1]);
    for (const auto& [marker, text] :
         {std::pair<std::string_view, std::string>{"@TITLE@", escaped(window.title)},
          {"@STYLE_HASH@", hashSource(css)},
          {"@START_HASH@", hashSource(start)},
          {"@STYLE@", css},
          {"@START@", start},
          {"@WINDOW@", html}}) {
        if (!replace(page, marker, text)) {
            std::cerr << argv[1] << ": no " << marker << "\n";
            return 1;
        }
    }
    return write(argv[4], page) ? 0 : 1;
}
