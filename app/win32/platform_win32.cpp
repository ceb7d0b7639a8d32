// SPDX-FileCopyrightText: 2026 The Vistral developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The platform operations over the plain Windows API, wide characters throughout:
//  - Windows 7 SP1 and later: the per-monitor DPI functions are looked up at run
//    time, and without them the window has the system DPI;
//  - the window: fixed border, no minimise or maximise box, the client area in
//    twips at the window's DPI (per-monitor aware, resized on WM_DPICHANGED), its
//    frame centred on the primary monitor's work area, its back colour painted;
//  - labels: STATIC, opaque in their colour (WM_CTLCOLORSTATIC), wrapping, below
//    the boxes and buttons they meet in the z-order;
//  - text boxes: EDIT; the character limit checked after every change, whatever
//    made it, and a change that passes it taken back with the undo kept;
//    read-only boxes keep the white of a text box;
//  - the description: a read-only multi-line EDIT with a vertical scroll bar;
//  - buttons: owner-drawn in their face colour, a black border while focused;
//    Enter (once per press) and Space click the focused button; Escape does nothing;
//  - focus: the z-order is the focus order, so IsDialogMessageW moves along it,
//    and Tab out of the description box (WM_NEXTDLGCTL) follows it too; the
//    focused control comes back when the window is activated again;
//  - names for assistive technology: a button says its caption, a label its text,
//    a text box the text of an invisible label just above it in the z-order;
//  - the message: MessageBoxW owned by the window.

// windows.h before every other Windows header.
// clang-format off
#include <windows.h>
// clang-format on

#include <optional>
#include <string>
#include <system_error>
#include <utility>

#include "app/platform.h"
#include "app/win32/native.h"

namespace platform {

using win32::ControlData;
using win32::Kind;
using win32::UniqueBrush;
using win32::UniqueFont;
using win32::UniqueIcon;

namespace {

constexpr wchar_t kClassName[] = L"Vistral";
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kWindowExStyle = 0;
constexpr int kIconId = 1;  // the icon resource in vistral.rc
// Control identifiers start above IDOK and IDCANCEL, which IsDialogMessageW sends
// for Enter and Escape.
constexpr int kFirstControlId = 100;
constexpr int kNoId = -1;
// The width of a button's border at 96 dots per inch.
constexpr int kButtonBorder = 2;

std::wstring toWide(std::u16string_view text) {
    return std::wstring(text.begin(), text.end());
}

std::u16string fromWide(std::wstring_view text) {
    return std::u16string(text.begin(), text.end());
}

COLORREF toColorref(Rgb rgb) {
    return RGB(rgb.red, rgb.green, rgb.blue);
}

[[noreturn]] void throwLastError(const char* what) {
    throw std::system_error(static_cast<int>(GetLastError()), std::system_category(), what);
}

// The whole text of a window, asked through `procedure` where one is given (a
// limited box's own edit procedure, past the limit's check), else as any window.
std::wstring windowText(HWND window, WNDPROC procedure = nullptr) {
    const auto ask = [&](UINT message, WPARAM wParam, LPARAM lParam) {
        return procedure != nullptr ? CallWindowProcW(procedure, window, message, wParam, lParam)
                                    : SendMessageW(window, message, wParam, lParam);
    };
    std::wstring text(static_cast<std::size_t>(ask(WM_GETTEXTLENGTH, 0, 0)), L'\0');
    const auto length = ask(WM_GETTEXT, text.size() + 1, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    return text;
}

// Puts `window` just below `insertAfter` in the z-order (HWND_TOP: on top of all).
void placeBelow(HWND window, HWND insertAfter) {
    SetWindowPos(window, insertAfter, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void placeAt(HWND window, const PixelRect& rect) {
    SetWindowPos(window, nullptr, rect.left, rect.top, rect.width, rect.height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

int scaled(int pixels, UINT dpi) {
    return MulDiv(pixels, static_cast<int>(dpi), kStandardDpi);
}

// The per-monitor DPI functions of Windows 10 1607 and later, looked up at run
// time so that the program starts on Windows 7 too; there a window works at the
// system DPI, and on Windows 8.1 at the DPI WM_DPICHANGED gives it.
class Dpi {
  public:
    static const Dpi& functions() {
        static const Dpi dpi;
        return dpi;
    }

    UINT forWindow(HWND window) const {
        return getDpiForWindow_ != nullptr ? getDpiForWindow_(window) : systemDpi_;
    }

    int systemMetric(int metric, UINT dpi) const {
        if (getSystemMetricsForDpi_ != nullptr) {
            return getSystemMetricsForDpi_(metric, dpi);
        }
        return MulDiv(GetSystemMetrics(metric), static_cast<int>(dpi),
                      static_cast<int>(systemDpi_));
    }

    // Before Windows 10 1607 the frame keeps its size at every DPI.
    void adjustFrame(RECT& frame, DWORD style, DWORD exStyle, UINT dpi) const {
        if (adjustWindowRectExForDpi_ != nullptr) {
            adjustWindowRectExForDpi_(&frame, style, FALSE, exStyle, dpi);
        } else {
            AdjustWindowRectEx(&frame, style, FALSE, exStyle);
        }
    }

  private:
    Dpi() {
        HMODULE user32 = GetModuleHandleW(L"user32.dll");
        lookUp(user32, "GetDpiForWindow", getDpiForWindow_);
        lookUp(user32, "GetSystemMetricsForDpi", getSystemMetricsForDpi_);
        lookUp(user32, "AdjustWindowRectExForDpi", adjustWindowRectExForDpi_);
        HDC screen = GetDC(nullptr);
        const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
        ReleaseDC(nullptr, screen);
        systemDpi_ = dpi > 0 ? static_cast<UINT>(dpi) : kStandardDpi;
    }

    template <typename Function>
    static void lookUp(HMODULE module, const char* name, Function*& function) {
        // Through the generic function type, which GCC lets any function pointer
        // be cast to and from.
        function =
            reinterpret_cast<Function*>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
    }

    UINT(WINAPI* getDpiForWindow_)(HWND) = nullptr;
    int(WINAPI* getSystemMetricsForDpi_)(int, UINT) = nullptr;
    BOOL(WINAPI* adjustWindowRectExForDpi_)(RECT*, DWORD, BOOL, DWORD, UINT) = nullptr;
    UINT systemDpi_ = kStandardDpi;
};

// The window's font at the window's DPI; null if Windows cannot make it.
UniqueFont makeFont(const Window::Native& native) {
    return UniqueFont(CreateFontW(-MulDiv(native.fontPoints, static_cast<int>(native.dpi), 72), 0,
                                  0, 0, native.fontWeight, FALSE, FALSE, FALSE, native.fontCharset,
                                  OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                  DEFAULT_PITCH | FF_ROMAN, native.fontFamily.c_str()));
}

UniqueIcon loadIcon(const Window::Native& native, int metric) {
    const int size = Dpi::functions().systemMetric(metric, native.dpi);
    return UniqueIcon(static_cast<HICON>(
        LoadImageW(native.instance, MAKEINTRESOURCEW(kIconId), IMAGE_ICON, size, size, 0)));
}

// The window's icons, drawn from the icon resource at the window's DPI.
void setIcons(Window::Native& native) {
    UniqueIcon big = loadIcon(native, SM_CXICON);
    UniqueIcon little = loadIcon(native, SM_CXSMICON);
    HWND window = native.window.get();
    SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big.get()));
    SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(little.get()));
    native.bigIcon = std::move(big);
    native.smallIcon = std::move(little);
}

SIZE frameSize(const Window::Native& native) {
    const int dpi = static_cast<int>(native.dpi);
    RECT frame{0, 0, twipsToPixels(native.clientWidth, dpi),
               twipsToPixels(native.clientHeight, dpi)};
    Dpi::functions().adjustFrame(frame, kWindowStyle, kWindowExStyle, native.dpi);
    return {frame.right - frame.left, frame.bottom - frame.top};
}

// The whole window, frame included, in the middle of the primary monitor's work area.
void placeCentred(const Window::Native& native) {
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const SIZE size = frameSize(native);
    SetWindowPos(native.window.get(), nullptr, work.left + (work.right - work.left - size.cx) / 2,
                 work.top + (work.bottom - work.top - size.cy) / 2, size.cx, size.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND createChild(Window::Native& native, DWORD exStyle, const wchar_t* className,
                 const std::wstring& text, DWORD style, const TwipsRect& rect, int id) {
    const PixelRect pixels = toPixels(rect, static_cast<int>(native.dpi));
    HWND child = CreateWindowExW(
        exStyle, className, text.c_str(), WS_CHILD | WS_CLIPSIBLINGS | style, pixels.left,
        pixels.top, pixels.width, pixels.height, native.window.get(),
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), native.instance, nullptr);
    if (child == nullptr) {
        throwLastError("CreateWindowExW");
    }
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(native.windowFont.get()), FALSE);
    return child;
}

int nextId(const Window::Native& native) {
    return kFirstControlId + static_cast<int>(native.controls.size());
}

Control add(Window::Native& native, ControlData data) {
    native.controls.push_back(std::move(data));
    return static_cast<Control>(native.controls.size() - 1);
}

// The edit control's own procedure, the same for every EDIT of the process: a
// limited box runs its messages through it, and reads and restores its text with
// it directly, past the limit's own check.
WNDPROC editProcedure = nullptr;

LRESULT callEdit(HWND box, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return CallWindowProcW(editProcedure, box, message, wParam, lParam);
}

struct TextRange {
    DWORD start = 0;
    DWORD end = 0;
};

TextRange editSelection(HWND box) {
    TextRange selection;
    callEdit(box, EM_GETSEL, reinterpret_cast<WPARAM>(&selection.start),
             reinterpret_cast<LPARAM>(&selection.end));
    return selection;
}

void selectInEdit(HWND box, TextRange selection) {
    callEdit(box, EM_SETSEL, selection.start, static_cast<LPARAM>(selection.end));
}

// The text the edit control's Undo would bring back, found by undoing and redoing
// unseen: its undo is one level that toggles, so a second Undo restores the text
// and the undo as they were.
std::optional<std::wstring> undoTarget(HWND box) {
    if (callEdit(box, EM_CANUNDO) == 0) {
        return std::nullopt;
    }
    const TextRange selection = editSelection(box);
    callEdit(box, WM_SETREDRAW, FALSE);
    callEdit(box, EM_UNDO);
    std::wstring target = windowText(box, editProcedure);
    callEdit(box, EM_UNDO);
    selectInEdit(box, selection);
    callEdit(box, WM_SETREDRAW, TRUE);
    InvalidateRect(box, nullptr, TRUE);
    return target;
}

// Puts back the box's last accepted text with its undo: the text Undo brought back
// is shown, then changed into the accepted one by one replacement that Undo takes
// back again.
void restore(HWND box, const win32::LimitedBox& state, TextRange selection) {
    if (!state.undoText) {
        callEdit(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(state.text.c_str()));
    } else {
        const std::wstring& from = *state.undoText;
        const std::wstring& to = state.text;
        std::size_t prefix = 0;
        while (prefix < from.size() && prefix < to.size() && from[prefix] == to[prefix]) {
            ++prefix;
        }
        std::size_t suffix = 0;
        while (suffix < from.size() - prefix && suffix < to.size() - prefix &&
               from[from.size() - 1 - suffix] == to[to.size() - 1 - suffix]) {
            ++suffix;
        }
        const std::wstring middle = to.substr(prefix, to.size() - prefix - suffix);
        callEdit(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(from.c_str()));
        selectInEdit(box, {static_cast<DWORD>(prefix), static_cast<DWORD>(from.size() - suffix)});
        callEdit(box, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(middle.c_str()));
    }
    selectInEdit(box, selection);
}

// Takes what the box shows as its accepted text, with what its Undo would bring back.
void accept(HWND box, win32::LimitedBox& state, std::wstring text) {
    state.text = std::move(text);
    state.undoText = undoTarget(box);
}

// A text box with a character limit checks its text after every message it has
// handled, whatever changed it: typing, Ctrl+V, Shift+Insert (which the edit
// control pastes without a WM_PASTE), the context menu, undo, an input method or
// assistive technology. A change that passes the limit is taken back, the box
// shows what it showed before with the same selection, and its Undo still takes
// back the change before: a sixth character is refused, a paste that would pass
// the limit inserts nothing.
LRESULT CALLBACK limitedBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* state = reinterpret_cast<win32::LimitedBox*>(GetWindowLongPtrW(box, GWLP_USERDATA));
    const TextRange before = editSelection(box);
    const LRESULT result = callEdit(box, message, wParam, lParam);
    if (state == nullptr || message == WM_NCDESTROY) {
        return result;
    }
    std::wstring text = windowText(box, editProcedure);
    if (text == state->text) {
        return result;
    }
    if (fitsLimit(fromWide(text), state->limit)) {
        accept(box, *state, std::move(text));
    } else {
        restore(box, *state, before);
    }
    return result;
}

// Subclassed the classic way, by the window procedure itself, with the limit's
// state in the box's user data: the common controls' subclass helpers would load
// COMCTL32.DLL at every start for this alone.
void limitCharacters(HWND box, win32::LimitedBox& state) {
    SetWindowLongPtrW(box, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&state));
    editProcedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(limitedBoxProc)));
}

// --- The window procedure: one function per message it handles.

LRESULT eraseBackground(const Window::Native& native, HDC dc) {
    RECT client{};
    GetClientRect(native.window.get(), &client);
    FillRect(dc, &client, native.background.get());
    return TRUE;
}

// Labels ask for their colours here, and so do read-only text boxes, which keep
// the standard colours of a text box.
LRESULT staticColours(Window::Native& native, HDC dc, HWND control) {
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    const ControlData* label = native.find(control);
    if (label != nullptr && label->kind == Kind::Label) {
        SetBkColor(dc, label->colour);
        return reinterpret_cast<LRESULT>(label->brush.get());
    }
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
}

void fill(HDC dc, const RECT& rect, COLORREF colour) {
    SetDCBrushColor(dc, colour);
    FillRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

// A border `width` pixels wide inside `rect`.
void drawBorder(HDC dc, const RECT& rect, int width, COLORREF topLeft, COLORREF bottomRight) {
    fill(dc, {rect.left, rect.top, rect.right, rect.top + width}, topLeft);
    fill(dc, {rect.left, rect.top, rect.left + width, rect.bottom}, topLeft);
    fill(dc, {rect.left, rect.bottom - width, rect.right, rect.bottom}, bottomRight);
    fill(dc, {rect.right - width, rect.top, rect.right, rect.bottom}, bottomRight);
}

COLORREF lighter(COLORREF c) {
    return RGB((GetRValue(c) + 255) / 2, (GetGValue(c) + 255) / 2, (GetBValue(c) + 255) / 2);
}

COLORREF darker(COLORREF c) {
    return RGB(GetRValue(c) / 2, GetGValue(c) / 2, GetBValue(c) / 2);
}

// Selects a GDI object into a device context for as long as it lives.
class SelectedObject {
  public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~SelectedObject() { SelectObject(dc_, previous_); }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

  private:
    HDC dc_;
    HGDIOBJ previous_;
};

// A button: its face colour, a raised border shaded from it, black while the
// button has the focus, sunken inside a thinner black line while it is pressed
// (a pressed button has the focus), and the caption in the middle.
LRESULT drawButton(Window::Native& native, const DRAWITEMSTRUCT& item) {
    const ControlData* button = native.find(item.hwndItem);
    if (button == nullptr || button->kind != Kind::Button) {
        return FALSE;
    }
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    const bool focused = (item.itemState & ODS_FOCUS) != 0;
    const int border = scaled(kButtonBorder, native.dpi);
    const int outline = focused ? (pressed ? border / 2 : border) : 0;
    const COLORREF light = lighter(button->colour);
    const COLORREF dark = darker(button->colour);
    RECT rect = item.rcItem;
    fill(item.hDC, rect, button->colour);
    drawBorder(item.hDC, rect, outline, RGB(0, 0, 0), RGB(0, 0, 0));
    InflateRect(&rect, -outline, -outline);
    drawBorder(item.hDC, rect, border - outline, pressed ? dark : light, pressed ? light : dark);
    rect = item.rcItem;
    if (pressed) {
        OffsetRect(&rect, 1, 1);
    }
    const SelectedObject font(item.hDC, native.windowFont.get());
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, GetSysColor(COLOR_BTNTEXT));
    DrawTextW(item.hDC, button->caption.c_str(), static_cast<int>(button->caption.size()), &rect,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    return TRUE;
}

// A click (BN_CLICKED), or Enter on the focused button, which IsDialogMessageW
// passes on as IDOK without a control because the window has no default button.
void command(Window& window, WPARAM wParam, LPARAM lParam) {
    auto* from = reinterpret_cast<HWND>(lParam);
    HWND clicked = nullptr;
    if (from == nullptr && LOWORD(wParam) == IDOK) {
        clicked = GetFocus();
    } else if (HIWORD(wParam) == BN_CLICKED) {
        clicked = from;
    }
    Window::Native& native = window.native();
    const ControlData* button = native.find(clicked);
    if (button != nullptr && button->kind == Kind::Button) {
        window.runGuarded(static_cast<Control>(button - native.controls.data()), button->onClick);
    }
}

// Focus on `next` as the dialog manager moves it with Tab: a text box's text selected.
void focusByKeyboard(HWND next) {
    if (next == nullptr) {
        return;
    }
    if ((SendMessageW(next, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) != 0) {
        SendMessageW(next, EM_SETSEL, 0, -1);
    }
    SetFocus(next);
}

// A multi-line text box passes Tab and Shift+Tab on to its parent as WM_NEXTDLGCTL.
void nextControl(const Window::Native& native, WPARAM wParam, LPARAM lParam) {
    if (LOWORD(lParam) != 0) {
        focusByKeyboard(reinterpret_cast<HWND>(wParam));
    } else {
        focusByKeyboard(GetNextDlgTabItem(native.window.get(), GetFocus(), wParam != 0));
    }
}

void rememberFocus(Window::Native& native, WPARAM wParam) {
    HWND focus = GetFocus();
    if (LOWORD(wParam) == WA_INACTIVE && focus != nullptr && IsChild(native.window.get(), focus)) {
        native.focus = focus;
    }
}

void restoreFocus(const Window::Native& native) {
    if (native.focus != nullptr) {
        SetFocus(native.focus);
    }
}

// Moved to a monitor of another density: every control at its place in twips at
// the new DPI, the font and icons made anew, the frame at the place Windows offers.
void dpiChanged(Window::Native& native, UINT dpi, const RECT& suggested) {
    native.dpi = dpi;
    UniqueFont font = makeFont(native);
    if (font == nullptr) {
        font = std::move(native.windowFont);
    }
    for (const ControlData& control : native.controls) {
        placeAt(control.handle, toPixels(control.rect, static_cast<int>(dpi)));
        SendMessageW(control.handle, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
    }
    native.windowFont = std::move(font);
    setIcons(native);
    const SIZE size = frameSize(native);
    SetWindowPos(native.window.get(), nullptr, suggested.left, suggested.top, size.cx, size.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(native.window.get(), nullptr, TRUE);
}

LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* window = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (window == nullptr) {
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    Window::Native& native = window->native();
    switch (message) {
        case WM_ERASEBKGND:
            return eraseBackground(native, reinterpret_cast<HDC>(wParam));
        case WM_CTLCOLORSTATIC:
            return staticColours(native, reinterpret_cast<HDC>(wParam),
                                 reinterpret_cast<HWND>(lParam));
        case WM_DRAWITEM:
            return drawButton(native, *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        case WM_COMMAND:
            command(*window, wParam, lParam);
            return 0;
        case WM_NEXTDLGCTL:
            nextControl(native, wParam, lParam);
            return 0;
        case WM_ACTIVATE:
            rememberFocus(native, wParam);
            break;
        case WM_SETFOCUS:
            restoreFocus(native);
            return 0;
        case WM_DPICHANGED:
            dpiChanged(native, HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        case WM_NCDESTROY:
            // Closed by the user: the handle is gone, nothing is left to destroy.
            static_cast<void>(native.window.release());
            break;
        default:
            break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

// Enter held down repeats its key-down message; only the first one clicks.
// Ctrl+A in a text box or the description: the system's own edit control (without
// the common controls' version of it) has no key to select all.
bool isSelectAll(const MSG& message, const ControlData* target) {
    return message.message == WM_KEYDOWN && message.wParam == 'A' && target != nullptr &&
           (target->kind == Kind::TextBox || target->kind == Kind::DescriptionBox) &&
           GetKeyState(VK_CONTROL) < 0 && GetKeyState(VK_MENU) >= 0 && GetKeyState(VK_SHIFT) >= 0;
}

// Escape does nothing in the window. A multi-line edit control whose messages pass
// through IsDialogMessageW would post WM_CLOSE to its parent on Escape, ending the
// program with what was typed; single-line ones would send IDCANCEL.
bool isEscape(const MSG& message) {
    return (message.message == WM_KEYDOWN || message.message == WM_CHAR) &&
           message.wParam == VK_ESCAPE;
}

bool isRepeatedEnter(const MSG& message) {
    return message.message == WM_KEYDOWN && message.wParam == VK_RETURN &&
           (message.lParam & (LPARAM{1} << 30)) != 0;
}

}  // namespace

namespace win32 {

void setUp(HINSTANCE instance) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kClassName;
    if (RegisterClassExW(&windowClass) == 0) {
        throwLastError("RegisterClassExW");
    }
}

}  // namespace win32

ControlData* Window::Native::find(HWND handle) {
    for (ControlData& control : controls) {
        if (handle != nullptr && control.handle == handle) {
            return &control;
        }
    }
    return nullptr;
}

Window::Window(const Description& description) : native_(std::make_unique<Native>()) {
    Native& native = *native_;
    native.instance = GetModuleHandleW(nullptr);
    native.fontFamily = toWide(description.font.family);
    native.fontPoints = description.font.points;
    native.fontWeight = description.font.weight;
    native.fontCharset = description.font.charset;
    native.clientWidth = description.clientWidth;
    native.clientHeight = description.clientHeight;
    native.background.reset(CreateSolidBrush(toColorref(description.background)));

    // Made on the primary monitor, so that its first size is for that monitor's DPI.
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    HWND window =
        CreateWindowExW(kWindowExStyle, kClassName, toWide(description.title).c_str(), kWindowStyle,
                        work.left, work.top, 0, 0, nullptr, nullptr, native.instance, this);
    if (window == nullptr) {
        throwLastError("CreateWindowExW");
    }
    native.window.reset(window);
    native.dpi = Dpi::functions().forWindow(window);
    native.windowFont = makeFont(native);
    if (native.windowFont == nullptr) {
        throwLastError("CreateFontW");
    }
    SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(native.windowFont.get()), FALSE);
    setIcons(native);
}

Window::~Window() = default;

Control Window::addLabel(const TwipsRect& rect, std::u16string_view text, Rgb background,
                         Alignment alignment) {
    const DWORD align = alignment == Alignment::Centre ? SS_CENTER : SS_LEFT;
    HWND label = createChild(*native_, 0, L"STATIC", toWide(text), WS_VISIBLE | SS_NOPREFIX | align,
                             rect, nextId(*native_));
    // Where a label meets a text box or a button, the box or button is on top.
    placeBelow(label, HWND_BOTTOM);
    const COLORREF colour = toColorref(background);
    return add(*native_, {.kind = Kind::Label,
                          .handle = label,
                          .rect = rect,
                          .colour = colour,
                          .brush = UniqueBrush(CreateSolidBrush(colour))});
}

Control Window::addTextBox(const TwipsRect& rect, Alignment alignment, bool readOnly,
                           int charLimit) {
    // Edit controls refuse every change by the user when read-only: typing, cut,
    // paste, delete, undo, and the same items of their context menu.
    const DWORD style = WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL |
                        (alignment == Alignment::Centre ? ES_CENTER : ES_LEFT) |
                        (readOnly ? ES_READONLY : 0);
    HWND box = createChild(*native_, WS_EX_CLIENTEDGE, L"EDIT", L"", style, rect, nextId(*native_));
    ControlData data{.kind = Kind::TextBox, .handle = box, .rect = rect};
    if (charLimit != kNoLimit) {
        data.limited = std::make_unique<win32::LimitedBox>(win32::LimitedBox{.limit = charLimit});
        limitCharacters(box, *data.limited);
    }
    return add(*native_, std::move(data));
}

Control Window::addDescriptionBox(const TwipsRect& rect, std::u16string_view text) {
    std::wstring lines;
    for (const char16_t c : text) {
        if (c == u'\n') {
            lines += L'\r';
        }
        lines += static_cast<wchar_t>(c);
    }
    const DWORD style = WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_READONLY |
                        ES_AUTOVSCROLL | ES_LEFT;
    HWND box =
        createChild(*native_, WS_EX_CLIENTEDGE, L"EDIT", lines, style, rect, nextId(*native_));
    return add(*native_, {.kind = Kind::DescriptionBox, .handle = box, .rect = rect});
}

Control Window::addButton(const TwipsRect& rect, std::u16string_view caption, Rgb face,
                          std::function<void()> onClick) {
    std::wstring text = toWide(caption);
    HWND button = createChild(*native_, 0, L"BUTTON", text, WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW,
                              rect, nextId(*native_));
    return add(*native_, {.kind = Kind::Button,
                          .handle = button,
                          .rect = rect,
                          .colour = toColorref(face),
                          .caption = std::move(text),
                          .onClick = std::move(onClick)});
}

// Windows has no object names for controls (UI Automation identifies them by
// their control identifiers). Buttons and labels are named by their own text;
// a text box by the label just above it in the z-order: here an invisible one.
void Window::setNames(Control control, std::u16string_view /*objectName*/,
                      std::u16string_view accessibleName) {
    ControlData& data = native_->control(control);
    if (data.kind != Kind::TextBox && data.kind != Kind::DescriptionBox) {
        return;
    }
    if (data.nameLabel == nullptr) {
        data.nameLabel = createChild(*native_, 0, L"STATIC", toWide(accessibleName), SS_NOPREFIX,
                                     data.rect, kNoId);
    } else {
        SetWindowTextW(data.nameLabel, toWide(accessibleName).c_str());
    }
    HWND above = GetWindow(data.handle, GW_HWNDPREV);
    if (above != data.nameLabel) {
        placeBelow(data.nameLabel, above != nullptr ? above : HWND_TOP);
    }
}

std::u16string Window::text(Control box) const {
    return fromWide(windowText(native_->control(box).handle));
}

void Window::setText(Control box, std::u16string_view text) {
    const ControlData& data = native_->control(box);
    const std::wstring wide = toWide(text);
    if (data.limited == nullptr) {
        SetWindowTextW(data.handle, wide.c_str());
        return;
    }
    // The limit binds the user, not the program: its text passes by the check.
    callEdit(data.handle, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
    accept(data.handle, *data.limited, wide);
}

// The dialog manager moves the focus along the z-order, so the controls of the
// order go to the top of it in that order, each text box after its name label.
void Window::setFocusOrder(std::span<const Control> order) {
    HWND previous = HWND_TOP;
    for (const Control control : order) {
        const ControlData& data = native_->control(control);
        for (HWND window : {data.nameLabel, data.handle}) {
            if (window != nullptr) {
                placeBelow(window, previous);
                previous = window;
            }
        }
    }
}

void Window::setFocus(Control control) {
    native_->focus = native_->control(control).handle;
    SetForegroundWindow(native_->window.get());
    SetFocus(native_->focus);
}

void Window::showModalMessage(std::u16string_view title, std::u16string_view text) {
    MessageBoxW(native_->window.get(), toWide(text).c_str(), toWide(title).c_str(),
                MB_OK | MB_ICONWARNING | MB_APPLMODAL);
}

int Window::run(Control firstFocus) {
    Native& native = *native_;
    HWND window = native.window.get();
    native.focus = native.control(firstFocus).handle;
    placeCentred(native);
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    SetFocus(native.focus);

    MSG message{};
    BOOL got = 0;
    while ((got = GetMessageW(&message, nullptr, 0, 0)) > 0) {
        if (isRepeatedEnter(message) || isEscape(message)) {
            continue;
        }
        // A quick second click on a button is a double click to Windows, which an
        // owner-drawn button reports instead of a click; here it is one more click.
        const ControlData* target = native.find(message.hwnd);
        if (message.message == WM_LBUTTONDBLCLK && target != nullptr &&
            target->kind == Kind::Button) {
            message.message = WM_LBUTTONDOWN;
        }
        if (isSelectAll(message, target)) {
            SendMessageW(message.hwnd, EM_SETSEL, 0, -1);
            continue;
        }
        if (!IsDialogMessageW(window, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return got == 0 ? static_cast<int>(message.wParam) : 1;
}

}  // namespace platform
