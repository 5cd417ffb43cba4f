// SPDX-License-Identifier: MIT
#include "playfield.h"

#include "desktop.h"
#include "gamewindow.h"

#include <algorithm>
#include <cmath>
#include <windowsx.h>

namespace velmora::win32 {

namespace {

const wchar_t* const className = L"VelmoraPlayfield";

int toPixels(float twips, UINT dpi) {
    return static_cast<int>(std::lround(static_cast<double>(twips) * dpi / ui::twipsPerInch));
}

RECT shapeRect(const Shape& shape, UINT dpi) {
    const int left = toPixels(shape.Left, dpi);
    const int top = toPixels(shape.Top, dpi);
    return {left, top, left + toPixels(shape.Width, dpi), top + toPixels(shape.Height, dpi)};
}

// The ball is a circle as wide as its box, in the middle of the box's height.
RECT ballCircle(const Shape& ball, UINT dpi) {
    const RECT box = shapeRect(ball, dpi);
    const int diameter = std::min(box.right - box.left, box.bottom - box.top);
    const int left = (box.left + box.right - diameter) / 2;
    const int top = (box.top + box.bottom - diameter) / 2;
    return {left, top, left + diameter, top + diameter};
}

} // namespace

void Playfield::registerClass(HINSTANCE instance) {
    registerWindowClass(instance, className, windowProcedure<Playfield>, false);
}

Playfield::Playfield(GameWindow& owner, const Game& game, HWND parent, int id)
    : owner_(owner), game_(game), redraw_(game),
      white_(CreateSolidBrush(colourRef(ui::game::playfieldColour))),
      brick_(CreateSolidBrush(colourRef(ui::game::brickColour))),
      ball_(CreateSolidBrush(colourRef(ui::game::ballColour))),
      paddle_(CreateSolidBrush(colourRef(ui::game::paddleColour))) {
    createControl(parent, ui::game::frame, className, 0, id, this);
}

Playfield::~Playfield() {
    if (buffer_) {
        DeleteDC(buffer_);
        DeleteObject(bufferBitmap_);
    }
    for (const HBRUSH brush : {white_, brick_, ball_, paddle_}) {
        DeleteObject(brush);
    }
}

RECT Playfield::screenArea(const Shape& shape) const {
    RECT area = shapeRect(shape, dpiOf(window_));
    InflateRect(&area, 2, 2); // the border, and rounding
    return area;
}

void Playfield::refresh() {
    redraw_.changed([this](const Shape& shape) {
        const RECT area = screenArea(shape);
        InvalidateRect(window_, &area, FALSE);
    });
}

LRESULT Playfield::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    // A press and a release report the one button that changed; a move, all that are held.
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
        SetCapture(window_);
        const Pointer at = pointer(lParam);
        owner_.frame_MouseDown(ui::buttonValue(message == WM_LBUTTONDOWN, message == WM_RBUTTONDOWN,
                                               message == WM_MBUTTONDOWN),
                               at.x, at.y);
        return 0;
    }
    case WM_MOUSEMOVE: {
        const Pointer at = pointer(lParam);
        owner_.frame_MouseMove(ui::buttonValue((wParam & MK_LBUTTON) != 0,
                                               (wParam & MK_RBUTTON) != 0,
                                               (wParam & MK_MBUTTON) != 0),
                               at.x, at.y);
        return 0;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
        if ((wParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) == 0) {
            ReleaseCapture();
        }
        const Pointer at = pointer(lParam);
        owner_.frame_MouseUp(ui::buttonValue(message == WM_LBUTTONUP, message == WM_RBUTTONUP,
                                             message == WM_MBUTTONUP),
                             at.x, at.y);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1; // the painting covers everything
    case WM_PAINT:
        paint();
        return 0;
    default:
        return DefWindowProcW(window_, message, wParam, lParam);
    }
}

// A mouse message's place, in twips.
Playfield::Pointer Playfield::pointer(LPARAM lParam) const {
    const UINT dpi = dpiOf(window_);
    return {pointerTwips(GET_X_LPARAM(lParam), dpi), pointerTwips(GET_Y_LPARAM(lParam), dpi)};
}

// Draws the asked-for part into the back buffer first, then copies it to the screen at
// once, so that nothing flickers. The buffer and the drawing tools are made once, and the
// buffer again only when the playfield's size changes.
void Playfield::paint() {
    PAINTSTRUCT paintInfo;
    const HDC screen = BeginPaint(window_, &paintInfo);
    RECT client;
    GetClientRect(window_, &client);
    if (!buffer_) {
        buffer_ = CreateCompatibleDC(screen);
        SelectObject(buffer_, GetStockObject(DC_PEN));
        SetDCPenColor(buffer_, GetSysColor(COLOR_WINDOWTEXT));
    }
    if (bufferSize_.cx != client.right || bufferSize_.cy != client.bottom) {
        const HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
        SelectObject(buffer_, bitmap);
        if (bufferBitmap_) {
            DeleteObject(bufferBitmap_);
        }
        bufferBitmap_ = bitmap;
        bufferSize_ = {client.right, client.bottom};
    }
    const HDC dc = buffer_;
    const UINT dpi = dpiOf(window_);

    FillRect(dc, &paintInfo.rcPaint, white_);
    FrameRect(dc, &client, GetSysColorBrush(COLOR_WINDOWTEXT));
    SelectObject(dc, brick_);
    for (Integer i = 0; i < game_.shaX.Count(); ++i) {
        const Shape& brick = game_.shaX(i);
        const RECT box = shapeRect(brick, dpi);
        RECT overlap;
        if (brick.Visible && IntersectRect(&overlap, &box, &paintInfo.rcPaint)) {
            RoundRect(dc, box.left, box.top, box.right, box.bottom,
                      static_cast<int>((box.right - box.left) * ui::game::brickCornerWidth),
                      static_cast<int>((box.bottom - box.top) * ui::game::brickCornerHeight));
        }
    }
    if (game_.shaP.Visible) {
        SelectObject(dc, ball_);
        const RECT circle = ballCircle(game_.shaP, dpi);
        Ellipse(dc, circle.left, circle.top, circle.right, circle.bottom);
    }
    if (game_.shaB.Visible) {
        SelectObject(dc, paddle_);
        const RECT box = shapeRect(game_.shaB, dpi);
        Rectangle(dc, box.left, box.top, box.right, box.bottom);
    }

    const RECT& part = paintInfo.rcPaint;
    BitBlt(screen, part.left, part.top, part.right - part.left, part.bottom - part.top, dc,
           part.left, part.top, SRCCOPY);
    EndPaint(window_, &paintInfo);
}

} // namespace velmora::win32
