// SPDX-License-Identifier: MIT
#include "desktop.h"

#include "input.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace velmora::win32 {

std::wstring wide(const char* utf8) {
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
    std::wstring text(static_cast<std::size_t>(std::max(length, 1)), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8, -1, text.data(), length);
    text.resize(text.size() - 1); // the terminating zero
    return text;
}

std::string narrow(const std::wstring& text) {
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(length > 0 ? length : 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, utf8.data(), length, nullptr, nullptr);
    utf8.resize(utf8.size() - 1);
    return utf8;
}

namespace {

// The per-monitor DPI calls came with Windows 10; older systems have one DPI for all.
template <typename Function> Function user32(const char* name) {
    const FARPROC found = GetProcAddress(GetModuleHandleW(L"user32.dll"), name);
    Function function = nullptr;
    static_assert(sizeof function == sizeof found);
    std::memcpy(&function, &found, sizeof function);
    return function;
}

using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
using AdjustForDpiFunction = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);

} // namespace

UINT dpiOf(HWND window) {
    static const auto getDpiForWindow = user32<GetDpiForWindowFunction>("GetDpiForWindow");
    if (getDpiForWindow) {
        if (const UINT dpi = getDpiForWindow(window)) {
            return dpi;
        }
    }
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : USER_DEFAULT_SCREEN_DPI;
}

RECT pixelRect(const ui::Rect& place, const ui::Scale& scale) {
    const ui::Rect pixels = scale.wholePixels(place);
    return {pixels.Left, pixels.Top, pixels.Left + pixels.Width, pixels.Top + pixels.Height};
}

COLORREF colourRef(const ui::Colour& colour) {
    return RGB(colour.red, colour.green, colour.blue);
}

namespace {

int CALLBACK noteFamily(const LOGFONTW*, const TEXTMETRICW*, DWORD type, LPARAM found) {
    // A bitmap font comes in a few sizes only and would not scale with the screen.
    if (type & TRUETYPE_FONTTYPE) {
        *reinterpret_cast<bool*>(found) = true;
    }
    return 1;
}

// The first of the layout's families that the system has as a scalable font.
const std::wstring& fontFamily() {
    static const std::wstring family = [] {
        const HDC screen = GetDC(nullptr);
        std::wstring chosen;
        for (const char* name : ui::fontFamilies) {
            LOGFONTW wanted{};
            wanted.lfCharSet = DEFAULT_CHARSET;
            const std::wstring face = wide(name);
            face.copy(wanted.lfFaceName, LF_FACESIZE - 1);
            bool found = false;
            EnumFontFamiliesExW(screen, &wanted, noteFamily, reinterpret_cast<LPARAM>(&found), 0);
            if (found) {
                chosen = face;
                break;
            }
        }
        ReleaseDC(nullptr, screen);
        return chosen; // none: the system's own choice for an empty name
    }();
    return family;
}

} // namespace

HFONT createFont(const ui::Font& font, const ui::Scale& scale) {
    LOGFONTW description{};
    description.lfHeight =
        -static_cast<LONG>(std::lround(font.points * scale.pixelsPerInch() / 72.0));
    description.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
    description.lfCharSet = DEFAULT_CHARSET;
    description.lfQuality = CLEARTYPE_QUALITY;
    fontFamily().copy(description.lfFaceName, LF_FACESIZE - 1);
    return CreateFontIndirectW(&description);
}

HWND madeWindow(HWND window) {
    if (window) {
        return window;
    }
    const DWORD code = GetLastError();
    std::string message = ui::windowNotMade;
    wchar_t* reason = nullptr;
    if (code != ERROR_SUCCESS && // none where a window procedure refused its creation
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                           FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, code, 0, reinterpret_cast<wchar_t*>(&reason), 0, nullptr)) {
        std::string text = narrow(reason);
        LocalFree(reason);
        while (!text.empty() &&
               (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) {
            text.pop_back();
        }
        message += " (" + text + ")";
    } else if (code != ERROR_SUCCESS) {
        message += " (" + std::to_string(code) + ")";
    }
    throw ui::PlatformError(message);
}

HWND createControl(HWND parent, const ui::Control& control, const wchar_t* windowClass, DWORD style,
                   int id, void* object) {
    return madeWindow(CreateWindowExW(0, windowClass, wide(control.caption).c_str(),
                                      WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, parent,
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                      GetModuleHandleW(nullptr), object));
}

void placeControl(HWND control, const ui::Rect& place, const ui::Scale& scale) {
    const RECT where = pixelRect(place, scale);
    MoveWindow(control, where.left, where.top, where.right - where.left, where.bottom - where.top,
               TRUE);
}

namespace {

// The window's frame, title bar and borders, in pixels at the DPI.
SIZE frameSize(HWND window, UINT dpi) {
    static const auto adjustForDpi = user32<AdjustForDpiFunction>("AdjustWindowRectExForDpi");
    RECT frame{0, 0, 0, 0};
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE));
    if (adjustForDpi) {
        adjustForDpi(&frame, style, FALSE, exStyle, dpi);
    } else {
        AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    }
    return {frame.right - frame.left, frame.bottom - frame.top};
}

RECT workArea(HMONITOR monitor) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoW(monitor, &info);
    return info.rcWork;
}

} // namespace

ui::Scale fittingScale(HWND window, int clientWidthTwips, int clientHeightTwips, UINT dpi,
                       HMONITOR monitor) {
    const SIZE frame = frameSize(window, dpi);
    const RECT area = workArea(monitor);
    return ui::fittingScale(ui::Scale(dpi), clientWidthTwips, clientHeightTwips, frame.cx, frame.cy,
                            area.right - area.left, area.bottom - area.top);
}

void sizeAndPlace(HWND window, int clientWidthTwips, int clientHeightTwips, const ui::Scale& scale,
                  UINT dpi, HMONITOR monitor, bool centre, POINT place) {
    const SIZE frame = frameSize(window, dpi);
    const int width = scale.wholePixels(clientWidthTwips) + frame.cx;
    const int height = scale.wholePixels(clientHeightTwips) + frame.cy;
    const RECT area = workArea(monitor);
    const ui::Rect areaRect{area.left, area.top, area.right - area.left, area.bottom - area.top};
    ui::Rect where = ui::centred(areaRect, width, height);
    if (!centre) { // where it was put, but whole on the monitor where it can be
        where.Left = std::max<int>(area.left, std::min<int>(place.x, area.right - width));
        where.Top = std::max<int>(area.top, std::min<int>(place.y, area.bottom - height));
    }
    SetWindowPos(window, nullptr, where.Left, where.Top, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

namespace {

HHOOK boxHook = nullptr;

// Widens a narrow message box about its middle, and centres its text and its button in it.
void widen(HWND box) {
    RECT frame;
    GetWindowRect(box, &frame);
    RECT client;
    GetClientRect(box, &client);
    const int wanted =
        MulDiv(ui::messageMinimumWidth, static_cast<int>(dpiOf(box)), USER_DEFAULT_SCREEN_DPI);
    const int extra = wanted - client.right;
    if (extra <= 0) {
        return;
    }
    SetWindowPos(box, nullptr, frame.left - extra / 2, frame.top, frame.right - frame.left + extra,
                 frame.bottom - frame.top, SWP_NOZORDER | SWP_NOACTIVATE);
    client.right = wanted;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT place;
        GetWindowRect(child, &place);
        MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&place), 2);
        SetWindowPos(child, nullptr, (client.right - (place.right - place.left)) / 2, place.top, 0,
                     0, SWP_NOZORDER | SWP_NOSIZE | SWP_NOACTIVATE);
    }
}

// A message box lays itself out, to fit its text, as it starts (WM_INITDIALOG); once it has,
// it is widened.
LRESULT CALLBACK widenMessageBox(int code, WPARAM wParam, LPARAM lParam) {
    const auto* call = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && call->message == WM_INITDIALOG) {
        UnhookWindowsHookEx(boxHook);
        boxHook = nullptr;
        widen(call->hwnd);
        return 0;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace

void showMessage(HWND owner, const std::string& text) {
    boxHook = SetWindowsHookExW(WH_CALLWNDPROCRET, widenMessageBox, nullptr, GetCurrentThreadId());
    MessageBoxW(owner, wide(text.c_str()).c_str(), wide(ui::programTitle).c_str(), MB_OK);
    if (boxHook) { // the box never started
        UnhookWindowsHookEx(boxHook);
        boxHook = nullptr;
    }
}

bool keyPolicyApplied(HWND window, const MSG& message, bool gameWindow) {
    const ui::Key key = message.wParam == VK_RETURN   ? ui::Key::Enter
                        : message.wParam == VK_SPACE  ? ui::Key::Space
                        : message.wParam == VK_ESCAPE ? ui::Key::Escape
                                                      : ui::Key::Other;
    if (message.message != WM_KEYDOWN || key == ui::Key::Other || !window ||
        (message.hwnd != window && !IsChild(window, message.hwnd))) {
        return false;
    }
    constexpr LPARAM wasDown = LPARAM{1} << 30; // set on a held key's repeats
    const bool repeat = (message.lParam & wasDown) != 0;
    // The key goes to the focus, whose dialog code says whether it is a push button, and
    // whether it wants the key for itself.
    const HWND focus = message.hwnd;
    const LRESULT code =
        SendMessageW(focus, WM_GETDLGCODE, message.wParam, reinterpret_cast<LPARAM>(&message));
    const bool onButton = (code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) != 0;
    switch (ui::keyAction({key, repeat, onButton, gameWindow})) {
    case ui::KeyAction::PressFocused:
        SendMessageW(GetParent(focus), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(focus), BN_CLICKED),
                     reinterpret_cast<LPARAM>(focus));
        return true;
    case ui::KeyAction::CloseGameWindow:
        if (code & (DLGC_WANTMESSAGE | DLGC_WANTALLKEYS)) {
            return false; // Escape in the open speed list closes the list, not the window
        }
        SendMessageW(window, WM_CLOSE, 0, 0);
        return true;
    case ui::KeyAction::None:
        break;
    }
    // A held key's repeat goes nowhere; a press goes on to its control, whose own it is
    // (Space typed in the speed box, Enter picking in its open list).
    return repeat;
}

namespace {

bool failing = false;

} // namespace

void failAndExit(HWND owner, const std::string& message) {
    failing = true;
    showMessage(owner, message);
    ExitProcess(1);
}

bool isFailing() {
    return failing;
}

void registerWindowClass(HINSTANCE instance, const wchar_t* name, WNDPROC procedure,
                         bool topLevel) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = name;
    if (topLevel) {
        windowClass.hIcon = LoadIconW(instance, L"IDI_VELMORA");
        windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    }
    RegisterClassExW(&windowClass);
}

} // namespace velmora::win32
