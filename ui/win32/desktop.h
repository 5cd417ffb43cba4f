// SPDX-License-Identifier: MIT
// The thin layer between the windows' description and the Win32 API: texts, twips at a
// window's own DPI, fonts, controls at their places, centring, the message box, the keys,
// and the window procedures, each inside the guard (guard.h).
#pragma once

#include "guard.h"
#include "layout.h"

#include <string>
#include <windows.h>

namespace velmora::win32 {

std::wstring wide(const char* utf8);
std::string narrow(const std::wstring& text);

// The window's own dots per inch (96 where the system cannot tell).
UINT dpiOf(HWND window);
RECT pixelRect(const ui::Rect& place, const ui::Scale& scale);

COLORREF colourRef(const ui::Colour& colour);

// A font of the layout at the window's scale; the caller deletes it.
HFONT createFont(const ui::Font& font, const ui::Scale& scale);

// A window just made by CreateWindowEx; if none was made, throws the window that could not
// be made, with the system's reason.
HWND madeWindow(HWND window);

// Creates a control of the layout as a child of `parent`, with its caption and an id, and
// for a control of ours, the object behind it.
HWND createControl(HWND parent, const ui::Control& control, const wchar_t* windowClass, DWORD style,
                   int id, void* object = nullptr);
void placeControl(HWND control, const ui::Rect& place, const ui::Scale& scale);

// The scale a window is drawn at: its monitor's DPI, or, where the whole window, frame
// included, would not fit the monitor's work area at that DPI, the largest that fits.
// `monitor` is the window's own, or the one it is going to.
ui::Scale fittingScale(HWND window, int clientWidthTwips, int clientHeightTwips, UINT dpi,
                       HMONITOR monitor);

// Sizes a window so that its client area is the layout's at the scale. Where `centre`, its
// whole frame goes in the middle of the work area of its monitor; otherwise its top left
// corner stays at `place`, moved only as far as it must to keep the window on the monitor.
void sizeAndPlace(HWND window, int clientWidthTwips, int clientHeightTwips, const ui::Scale& scale,
                  UINT dpi, HMONITOR monitor, bool centre, POINT place = {});

// Keeps a window of the layout fitted to its monitor: laid out (`layOut(scale)`) at the
// scale that fits, then sized and placed. At its creation it goes in the middle of the
// monitor; when its DPI changes it goes where the system suggests, and after a move that
// took it to another monitor it stays where it was put, each time refitted.
class ScreenFit {
  public:
    ScreenFit(int clientWidthTwips, int clientHeightTwips)
        : clientWidth_(clientWidthTwips), clientHeight_(clientHeightTwips) {}

    template <typename LayOut> void fitCentred(HWND window, LayOut&& layOut) {
        fit(window, dpiOf(window), MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), true, {},
            layOut);
    }

    // Whether the message was one that may take the window to another scale; if so, it has
    // been handled.
    template <typename LayOut>
    bool refits(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LayOut&& layOut) {
        if (message == WM_DPICHANGED) {
            const auto* suggested = reinterpret_cast<const RECT*>(lParam);
            fit(window, HIWORD(wParam), MonitorFromRect(suggested, MONITOR_DEFAULTTONEAREST), false,
                {suggested->left, suggested->top}, layOut);
            return true;
        }
        if (message == WM_EXITSIZEMOVE) { // perhaps to a monitor of the same DPI, another size
            const HMONITOR monitor = MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST);
            if (monitor != monitor_) {
                RECT place;
                GetWindowRect(window, &place);
                fit(window, dpiOf(window), monitor, false, {place.left, place.top}, layOut);
            }
            return true;
        }
        return false;
    }

  private:
    template <typename LayOut>
    void fit(HWND window, UINT dpi, HMONITOR monitor, bool centre, POINT place, LayOut& layOut) {
        monitor_ = monitor;
        const ui::Scale scale = fittingScale(window, clientWidth_, clientHeight_, dpi, monitor);
        layOut(scale);
        sizeAndPlace(window, clientWidth_, clientHeight_, scale, dpi, monitor, centre, place);
        InvalidateRect(window, nullptr, TRUE);
    }

    int clientWidth_;
    int clientHeight_;
    HMONITOR monitor_ = nullptr; // the one the window was last fitted to
};

// A modal message box titled "Velmora", with the text, an OK button only and no icon.
void showMessage(HWND owner, const std::string& text);

// What Enter, Space and Escape do in `window` (the game window if `gameWindow`), as the keys'
// policy says (input.h), before the dialog manager sees them. A press of the focused button
// comes to its window as its click does, and the game window's closing as its close
// button's. Returns whether the key was used up here: a held key's repeats are, and a key
// the policy leaves alone goes on to its control and the dialog manager.
bool keyPolicyApplied(HWND window, const MSG& message, bool gameWindow);

// Ends the program with the guard's message and status 1. From here on, while the message is
// open, the program's windows leave every message to the system: no tick, no painting.
[[noreturn]] void failAndExit(HWND owner, const std::string& message);
bool isFailing();

// A control's id: its number in the windows' description, past the ids Windows keeps for
// OK and Cancel, which Enter and Escape send.
constexpr int childId(const ui::Control& control) {
    return 100 + ui::controlId(control);
}

// Puts the window's controls in the layout's tab order, which Tab follows: the z-order.
template <std::size_t Count>
void applyTabOrder(HWND window, const std::array<const ui::Control*, Count>& order) {
    HWND previous = HWND_TOP;
    for (const ui::Control* control : order) {
        const HWND child = GetDlgItem(window, childId(*control));
        SetWindowPos(child, previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        previous = child;
    }
}

// Registers a window class of the program; top-level windows get the red-disc icon and
// the dialog colour behind their controls.
void registerWindowClass(HINSTANCE instance, const wchar_t* name, WNDPROC procedure, bool topLevel);

// The window procedure of a class whose windows are objects of `Window`, each created with
// a pointer to its object: the object learns its handle with WM_NCCREATE, and every message
// goes to its `handle`, in the guard. With WM_NCDESTROY, the window's last message, they
// part: the object's handle is null from then on, no message reaches it, and it may go.
template <typename Window>
LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        if (auto* object =
                static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams)) {
            object->window_ = window;
            SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(object));
        }
    }
    auto* object = reinterpret_cast<Window*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_NCDESTROY && object) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        object->window_ = nullptr;
        object = nullptr;
    }
    if (!object || isFailing()) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    LRESULT result = 0;
    ui::guarded([&] { result = object->handle(message, wParam, lParam); },
                [window](const std::string& text) { failAndExit(window, text); });
    return result;
}

} // namespace velmora::win32
