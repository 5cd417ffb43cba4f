// SPDX-License-Identifier: MIT
// The playfield: a white frame with a thin border that draws the bricks, the ball and the
// paddle from the game's state, double-buffered, repainting only what moved. It forwards
// its mouse messages to the game session with their buttons and their place in twips, and
// holds the mouse while a button is down, so that a drag beyond its edges still reports.
#pragma once

#include "session.h"
#include "units.h"

#include <windows.h>

namespace velmora::win32 {

class Playfield {
  public:
    static void registerClass(HINSTANCE instance);
    Playfield(ui::Session& session, HWND parent, int id);
    ~Playfield();
    Playfield(const Playfield&) = delete;
    Playfield& operator=(const Playfield&) = delete;

    HWND handle() const { return window_; }
    void setScale(const ui::Scale& scale) { scale_ = scale; }
    // Paints again the part of the playfield where a shape was or is (its place in twips).
    void repaint(const Shape& place);

  private:
    template <typename Window> friend LRESULT CALLBACK windowProcedure(HWND, UINT, WPARAM, LPARAM);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void paint();

    ui::Session& session_;
    ui::Scale scale_;
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
