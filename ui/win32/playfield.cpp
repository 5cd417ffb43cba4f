// SPDX-License-Identifier: MIT
#include "playfield.h"

#include "desktop.h"
#include "drawing.h"

#include <algorithm>
#include <cmath>
#include <windowsx.h>

namespace velmora::win32 {

namespace {

const wchar_t* const className = L"VelmoraPlayfield";

// A figure's box in whole pixels: its edges, each rounded to the nearest.
RECT pixelBox(const ui::Figure& figure, const ui::Scale& scale) {
    return {scale.wholePixels(figure.Left), scale.wholePixels(figure.Top),
            scale.wholePixels(figure.Left + figure.Width),
            scale.wholePixels(figure.Top + figure.Height)};
}

} // namespace

void Playfield::registerClass(HINSTANCE instance) {
    registerWindowClass(instance, className, windowProcedure<Playfield>, false);
}

Playfield::Playfield(ui::Session& session, HWND parent, int id)
    : session_(session), white_(CreateSolidBrush(colourRef(ui::game::playfieldColour))),
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

void Playfield::repaint(const Shape& place) {
    const ui::Rect area = ui::repaintArea(place, scale_);
    const RECT where{area.Left, area.Top, area.Left + area.Width, area.Top + area.Height};
    InvalidateRect(window_, &where, FALSE);
}

LRESULT Playfield::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    // A press and a release report the one button that changed; a move, all that are held.
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
        SetCapture(window_);
        session_.mouseDown(ui::buttonValue(message == WM_LBUTTONDOWN, message == WM_RBUTTONDOWN,
                                           message == WM_MBUTTONDOWN),
                           scale_.twips(GET_X_LPARAM(lParam)), scale_.twips(GET_Y_LPARAM(lParam)));
        return 0;
    }
    case WM_MOUSEMOVE: {
        session_.mouseMove(ui::buttonValue((wParam & MK_LBUTTON) != 0, (wParam & MK_RBUTTON) != 0,
                                           (wParam & MK_MBUTTON) != 0),
                           scale_.twips(GET_X_LPARAM(lParam)), scale_.twips(GET_Y_LPARAM(lParam)));
        return 0;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
        if ((wParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) == 0) {
            ReleaseCapture();
        }
        session_.mouseUp(ui::buttonValue(message == WM_LBUTTONUP, message == WM_RBUTTONUP,
                                         message == WM_MBUTTONUP),
                         scale_.twips(GET_X_LPARAM(lParam)), scale_.twips(GET_Y_LPARAM(lParam)));
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
        SetDCPenColor(buffer_, colourRef(ui::game::outlineColour));
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
    FillRect(dc, &paintInfo.rcPaint, white_);
    // The outline, only where the part reaches it: drawn whole, its long sides cost more than
    // a tick's moving ball.
    RECT inside = client;
    InflateRect(&inside, -1, -1);
    RECT within;
    if (!IntersectRect(&within, &inside, &paintInfo.rcPaint) ||
        !EqualRect(&within, &paintInfo.rcPaint)) {
        SetDCBrushColor(dc, colourRef(ui::game::outlineColour));
        FrameRect(dc, &client, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    }
    ui::drawPlayfield(session_.game(), [&](const ui::Figure& figure) {
        const RECT& part = paintInfo.rcPaint;
        if (!ui::reaches(figure,
                         {part.left, part.top, part.right - part.left, part.bottom - part.top},
                         scale_)) {
            return;
        }
        const RECT box = pixelBox(figure, scale_);
        switch (figure.kind) {
        case ui::Figure::RoundedRectangle:
            SelectObject(dc, brick_);
            RoundRect(dc, box.left, box.top, box.right, box.bottom,
                      scale_.wholePixels(figure.cornerWidth),
                      scale_.wholePixels(figure.cornerHeight));
            break;
        case ui::Figure::Circle:
            SelectObject(dc, ball_);
            Ellipse(dc, box.left, box.top, box.right, box.bottom);
            break;
        case ui::Figure::Rectangle:
            SelectObject(dc, paddle_);
            Rectangle(dc, box.left, box.top, box.right, box.bottom);
            break;
        }
    });

    const RECT& part = paintInfo.rcPaint;
    BitBlt(screen, part.left, part.top, part.right - part.left, part.bottom - part.top, dc,
           part.left, part.top, SRCCOPY);
    EndPaint(window_, &paintInfo);
}

} // namespace velmora::win32
