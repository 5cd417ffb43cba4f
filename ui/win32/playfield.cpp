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

// Draws with a brush of the colour, and the border pen already chosen.
class Fill {
  public:
    Fill(HDC dc, const ui::Colour& colour)
        : dc_(dc), brush_(CreateSolidBrush(colourRef(colour))),
          old_(static_cast<HBRUSH>(SelectObject(dc, brush_))) {}
    ~Fill() {
        SelectObject(dc_, old_);
        DeleteObject(brush_);
    }
    Fill(const Fill&) = delete;
    Fill& operator=(const Fill&) = delete;

  private:
    HDC dc_;
    HBRUSH brush_;
    HBRUSH old_;
};

} // namespace

void Playfield::registerClass(HINSTANCE instance) {
    registerWindowClass(instance, className, windowProcedure<Playfield>, false);
}

Playfield::Playfield(GameWindow& owner, const Game& game, HWND parent, int id)
    : owner_(owner), game_(game), redraw_(game) {
    createControl(parent, ui::game::frame, className, 0, id, this);
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
    const UINT dpi = dpiOf(window_);
    const float x = pointerTwips(GET_X_LPARAM(lParam), dpi);
    const float y = pointerTwips(GET_Y_LPARAM(lParam), dpi);
    // A press and a release report the one button that changed; a move, all that are held.
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        SetCapture(window_);
        owner_.frame_MouseDown(ui::buttonValue(message == WM_LBUTTONDOWN, message == WM_RBUTTONDOWN,
                                               message == WM_MBUTTONDOWN),
                               x, y);
        return 0;
    case WM_MOUSEMOVE:
        owner_.frame_MouseMove(ui::buttonValue((wParam & MK_LBUTTON) != 0,
                                               (wParam & MK_RBUTTON) != 0,
                                               (wParam & MK_MBUTTON) != 0),
                               x, y);
        return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        if ((wParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) == 0) {
            ReleaseCapture();
        }
        owner_.frame_MouseUp(ui::buttonValue(message == WM_LBUTTONUP, message == WM_RBUTTONUP,
                                             message == WM_MBUTTONUP),
                             x, y);
        return 0;
    case WM_ERASEBKGND:
        return 1; // the painting covers everything
    case WM_PAINT:
        paint();
        return 0;
    default:
        return DefWindowProcW(window_, message, wParam, lParam);
    }
}

// Draws the asked-for part into a bitmap first, then copies it to the screen at once, so
// that nothing flickers.
void Playfield::paint() {
    PAINTSTRUCT paintInfo;
    const HDC screen = BeginPaint(window_, &paintInfo);
    RECT client;
    GetClientRect(window_, &client);
    const HDC dc = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
    const auto oldBitmap = SelectObject(dc, bitmap);
    const UINT dpi = dpiOf(window_);

    const HBRUSH white = CreateSolidBrush(colourRef(ui::game::playfieldColour));
    FillRect(dc, &paintInfo.rcPaint, white);
    DeleteObject(white);
    FrameRect(dc, &client, GetSysColorBrush(COLOR_WINDOWTEXT));

    const HPEN border = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_WINDOWTEXT));
    const auto oldPen = SelectObject(dc, border);
    {
        const Fill cyan(dc, ui::game::brickColour);
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
    }
    if (game_.shaP.Visible) {
        const Fill red(dc, ui::game::ballColour);
        const RECT circle = ballCircle(game_.shaP, dpi);
        Ellipse(dc, circle.left, circle.top, circle.right, circle.bottom);
    }
    if (game_.shaB.Visible) {
        const Fill green(dc, ui::game::paddleColour);
        const RECT box = shapeRect(game_.shaB, dpi);
        Rectangle(dc, box.left, box.top, box.right, box.bottom);
    }
    SelectObject(dc, oldPen);
    DeleteObject(border);

    const RECT& part = paintInfo.rcPaint;
    BitBlt(screen, part.left, part.top, part.right - part.left, part.bottom - part.top, dc,
           part.left, part.top, SRCCOPY);
    SelectObject(dc, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);
    EndPaint(window_, &paintInfo);
}

} // namespace velmora::win32
