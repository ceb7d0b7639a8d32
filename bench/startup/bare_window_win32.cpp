// SPDX-FileCopyrightText: 2026 The Vistral developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The floor of the start-up bench on Windows: a plain Windows API window with the
// same controls as Vistral's (11 STATIC labels, 8 single-line EDIT boxes, 2 push
// BUTTONs, 1 read-only multi-line EDIT with a vertical scroll bar) at the same
// places, with the same texts and font, and no logic: no colours, no owner-drawn
// buttons, no icon, no character limits, no focus order, no DPI awareness. The
// client area is 464 x 354 pixels (15 twips a pixel). Whatever Vistral.exe spends
// beyond this window is its own.

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "bare_controls.h"

namespace {

using bare::Control;
using bare::controls;
using bare::Kind;

constexpr int twipsPerPixel = 15;
constexpr int clientWidth = 6960 / twipsPerPixel;
constexpr int clientHeight = 5310 / twipsPerPixel;
constexpr int firstControlId = 100;

struct ClassAndStyle {
    const wchar_t* className;
    DWORD style;
    DWORD exStyle;
};

ClassAndStyle classAndStyle(Kind kind) {
    constexpr DWORD child = WS_CHILD | WS_VISIBLE;
    switch (kind) {
        case Kind::Label:
            return {L"STATIC", child | SS_LEFT, 0};
        case Kind::Line:
            return {L"EDIT", child | WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
        case Kind::Button:
            return {L"BUTTON", child | WS_TABSTOP | BS_PUSHBUTTON, 0};
        case Kind::Text:
            return {L"EDIT",
                    child | WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY,
                    WS_EX_CLIENTEDGE};
    }
    return {L"STATIC", child, 0};
}

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// Times New Roman, 12 points at the screen's density, Cyrillic character set, as
// Vistral asks for it. The roman family matters where the face is missing: wine
// then takes a serif face (Liberation Serif) rather than a sans one.
HFONT makeFont() {
    HDC screen = GetDC(nullptr);
    const int height = -MulDiv(12, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(nullptr, screen);
    return CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, RUSSIAN_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_ROMAN, L"Times New Roman");
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    constexpr wchar_t className[] = L"VistralBareWindow";
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = className;
    if (RegisterClassExW(&windowClass) == 0) {
        return 1;
    }

    constexpr DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
    RECT frame{0, 0, clientWidth, clientHeight};
    AdjustWindowRectEx(&frame, style, FALSE, 0);
    HWND window = CreateWindowExW(0, className, L"ИТ - времена,  статистика в сайт", style,
                                  CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left,
                                  frame.bottom - frame.top, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) {
        return 1;
    }

    HFONT font = makeFont();
    int id = firstControlId;
    for (const Control& c : controls) {
        const ClassAndStyle cs = classAndStyle(c.kind);
        HWND control =
            CreateWindowExW(cs.exStyle, cs.className, reinterpret_cast<const wchar_t*>(c.text),
                            cs.style, c.left / twipsPerPixel, c.top / twipsPerPixel,
                            c.width / twipsPerPixel, c.height / twipsPerPixel, window,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id++)), instance, nullptr);
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }

    ShowWindow(window, show);
    UpdateWindow(window);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    DeleteObject(font);
    return static_cast<int>(message.wParam);
}
