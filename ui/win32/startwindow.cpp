// SPDX-License-Identifier: MIT
#include "startwindow.h"

#include "desktop.h"
#include "gamewindow.h"
#include "resource.h"

#include <cmath>
#include <commctrl.h>

namespace velmora::win32 {

namespace {

const wchar_t* const className = L"VelmoraStart";
constexpr int idGioca = childId(ui::start::cmdGioca);
constexpr int idFine = childId(ui::start::cmdFine);

} // namespace

void StartWindow::registerClass(HINSTANCE instance) {
    registerWindowClass(instance, className, windowProcedure<StartWindow>, true);
}

StartWindow::StartWindow() : picture_(IDR_AVVIO), doublePicture_(IDR_AVVIO_2X) {
    madeWindow(CreateWindowExW(WS_EX_CONTROLPARENT, className, wide(ui::start::caption).c_str(),
                               WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                               GetModuleHandleW(nullptr), this));
}

// Its window goes first where it is still there: a quit that did not come from "Fine" ended
// the program's loop.
StartWindow::~StartWindow() {
    if (window_) {
        DestroyWindow(window_);
    }
}

LRESULT StartWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    if (screenFit_.refits(window_, message, wParam, lParam,
                          [this](const ui::Scale& scale) { layOut(scale); })) {
        return 0;
    }
    switch (message) {
    case WM_CREATE:
        cmdGioca_ = createControl(window_, ui::start::cmdGioca, WC_BUTTONW,
                                  WS_TABSTOP | BS_PUSHBUTTON, idGioca);
        cmdFine_ = createControl(window_, ui::start::cmdFine, WC_BUTTONW,
                                 WS_TABSTOP | BS_PUSHBUTTON, idFine);
        applyTabOrder(window_, ui::start::tabOrder);
        screenFit_.fitCentred(window_, [this](const ui::Scale& scale) { layOut(scale); });
        return 0;
    case WM_COMMAND: // a click, or Enter or Space on the focused button (keyPolicyApplied)
        if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == idGioca) {
            cmdGioca_Click();
        } else if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == idFine) {
            cmdFine_Click();
        }
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE) {
            const HWND focus = GetFocus();
            if (!focus || !IsChild(window_, focus)) {
                SetFocus(cmdGioca_);
            }
            return 0;
        }
        break;
    case WM_PAINT:
        paint();
        return 0;
    case WM_DESTROY:
        DeleteObject(font_);
        DeleteObject(boldFont_);
        PostQuitMessage(0); // the last window: the program ends
        return 0;
    default:
        break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

void StartWindow::layOut(const ui::Scale& scale) {
    scale_ = scale;
    const HFONT oldFont = font_;
    const HFONT oldBoldFont = boldFont_;
    font_ = createFont(ui::start::cmdFine.font, scale);
    boldFont_ = createFont(ui::start::cmdGioca.font, scale);
    placeControl(cmdGioca_, ui::start::cmdGioca.place, scale);
    placeControl(cmdFine_, ui::start::cmdFine.place, scale);
    SendMessageW(cmdGioca_, WM_SETFONT, reinterpret_cast<WPARAM>(boldFont_), TRUE);
    SendMessageW(cmdFine_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
    DeleteObject(oldFont);
    DeleteObject(oldBoldFont);
}

// The picture at its own size, 400 x 225 at 96 dots per inch and scaled with the window;
// larger than that it is drawn from the picture made at twice the size, so it stays sharp.
void StartWindow::paint() {
    PAINTSTRUCT paintInfo;
    const HDC dc = BeginPaint(window_, &paintInfo);
    const ui::Rect& place = ui::start::Image1.place;
    const int left = scale_.wholePixels(place.Left);
    const int top = scale_.wholePixels(place.Top);
    const RECT where{
        left, top, left + static_cast<int>(std::lround(ui::start::pictureWidth * scale_.factor())),
        top + static_cast<int>(std::lround(ui::start::pictureHeight * scale_.factor()))};
    (scale_.factor() > 1 ? doublePicture_ : picture_).draw(dc, where);
    EndPaint(window_, &paintInfo);
}

// When the game window has gone, this window comes back on the screen and takes the
// keyboard, with "GIOCA" focused, so that Enter or Space starts the next game, even if it
// was minimised with the game window. An X window manager minimises it along with the game
// window, and Wine does not tell a disabled window so: after a game that ended minimised it
// is minimised here as well, so that restoring it shows it again.
void StartWindow::cmdGioca_Click() {
    if (GameWindow::play(window_)) {
        ShowWindow(window_, SW_SHOWMINNOACTIVE);
    }
    if (IsIconic(window_)) {
        ShowWindow(window_, SW_RESTORE);
    }
    SetForegroundWindow(window_);
    SetFocus(cmdGioca_);
}

void StartWindow::cmdFine_Click() {
    DestroyWindow(window_);
}

} // namespace velmora::win32
