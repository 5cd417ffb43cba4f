// SPDX-License-Identifier: MIT
// The playfield: a white frame with a thin border that draws the bricks, the ball and the
// paddle from the game's state, double-buffered, repainting only what moved. It reports
// mouse events to the game window with their buttons and their place in twips, and holds
// the mouse while a button is down, so that a drag beyond its edges still reports.
#pragma once

#include "game.h"
#include "redraw.h"

#include <windows.h>

namespace velmora::win32 {

class GameWindow;

class Playfield {
  public:
    static void registerClass(HINSTANCE instance);
    Playfield(GameWindow& owner, const Game& game, HWND parent, int id);
    ~Playfield();
    Playfield(const Playfield&) = delete;
    Playfield& operator=(const Playfield&) = delete;

    HWND handle() const { return window_; }
    // Repaints whatever moved, appeared or vanished since the last call.
    void refresh();

  private:
    template <typename Window> friend LRESULT CALLBACK windowProcedure(HWND, UINT, WPARAM, LPARAM);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    struct Pointer {
        float x, y;
    };
    Pointer pointer(LPARAM lParam) const;
    void paint();
    RECT screenArea(const Shape& shape) const;

    GameWindow& owner_;
    const Game& game_;
    ui::Redraw redraw_;
    HWND window_ = nullptr;

    // The back buffer, made at the first paint, and its bitmap, the playfield's size.
    HDC buffer_ = nullptr;
    HBITMAP bufferBitmap_ = nullptr;
    SIZE bufferSize_{};
    HBRUSH white_;
    HBRUSH brick_;
    HBRUSH ball_;
    HBRUSH paddle_;
};

} // namespace velmora::win32
