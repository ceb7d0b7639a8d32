// SPDX-FileCopyrightText: 2026 The Vistral developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The Windows objects behind a platform::Window, and the holders that free them.
// Every font, brush, icon and top-level window has exactly one owner here; child
// controls belong to their parent window, which destroys them with itself.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

#include "app/platform.h"

namespace platform {

namespace win32 {

struct GdiObjectDeleter {
    void operator()(HGDIOBJ object) const noexcept { DeleteObject(object); }
};
struct IconDeleter {
    void operator()(HICON icon) const noexcept { DestroyIcon(icon); }
};
// The main window's procedure stops using the window's data before it goes.
struct WindowDeleter {
    void operator()(HWND window) const noexcept {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        DestroyWindow(window);
    }
};

using UniqueFont = std::unique_ptr<std::remove_pointer_t<HFONT>, GdiObjectDeleter>;
using UniqueBrush = std::unique_ptr<std::remove_pointer_t<HBRUSH>, GdiObjectDeleter>;
using UniqueIcon = std::unique_ptr<std::remove_pointer_t<HICON>, IconDeleter>;
using UniqueWindow = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDeleter>;

enum class Kind : std::uint8_t { Label, TextBox, DescriptionBox, Button };

// What a text box with a character limit keeps to check its text after every
// change: the text it had after the last change it accepted, and the text its
// Undo would then bring back (none when there is nothing to undo).
struct LimitedBox {
    int limit;
    std::wstring text{};
    std::optional<std::wstring> undoText{};
};

// One control of the window, as an add function made it.
struct ControlData {
    Kind kind;
    HWND handle;
    TwipsRect rect;
    // Labels: the back colour and its brush. Buttons: the face colour.
    COLORREF colour = 0;
    UniqueBrush brush{};
    // Buttons: the caption and what a click runs.
    std::wstring caption{};
    std::function<void()> onClick{};
    // Text boxes: an invisible label just above the box in the z-order, whose text
    // assistive technology reads as the box's name.
    HWND nameLabel = nullptr;
    // Text boxes with a character limit: what the limit's check keeps.
    std::unique_ptr<LimitedBox> limited{};
};

// Registers the window class of the program's windows; the process entry point
// calls it once, before any window is made.
void setUp(HINSTANCE instance);

}  // namespace win32

struct Window::Native {
    HINSTANCE instance;
    std::wstring fontFamily;
    int fontPoints;
    int fontWeight;
    BYTE fontCharset;
    int clientWidth;  // twips
    int clientHeight;
    UINT dpi;
    // The control that gets the focus back when the window is activated again.
    HWND focus;
    win32::UniqueBrush background;
    win32::UniqueFont windowFont;
    win32::UniqueIcon bigIcon;
    win32::UniqueIcon smallIcon;
    std::vector<win32::ControlData> controls;
    // Last: destroyed first, while the fonts and brushes its controls use still exist.
    win32::UniqueWindow window;

    win32::ControlData& control(Control c) { return controls.at(static_cast<std::size_t>(c)); }
    const win32::ControlData& control(Control c) const {
        return controls.at(static_cast<std::size_t>(c));
    }
    // The control with this handle, or nullptr.
    win32::ControlData* find(HWND handle);
};

}  // namespace platform
