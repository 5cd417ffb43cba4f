// SPDX-License-Identifier: MIT
// frmAvvio, the start window: the picture, "GIOCA" to play a game in the modal game
// window, as often as wanted, and "Fine" to end the program.
#pragma once

#include "desktop.h"
#include "picture.h"
#include "units.h"

#include <windows.h>

namespace velmora::win32 {

class StartWindow {
  public:
    static void registerClass(HINSTANCE instance);
    StartWindow();
    ~StartWindow();
    StartWindow(const StartWindow&) = delete;
    StartWindow& operator=(const StartWindow&) = delete;

    HWND handle() const { return window_; }

  private:
    template <typename Window> friend LRESULT CALLBACK windowProcedure(HWND, UINT, WPARAM, LPARAM);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void layOut(const ui::Scale& scale);
    void paint();

    void cmdGioca_Click(); // returns when the game window has gone
    void cmdFine_Click();

    HWND window_ = nullptr;
    HWND cmdGioca_ = nullptr;
    HWND cmdFine_ = nullptr;
    HFONT font_ = nullptr;
    HFONT boldFont_ = nullptr;
    ui::Scale scale_;
    ScreenFit screenFit_{ui::start::clientWidth, ui::start::clientHeight};
    Picture picture_;       // 400 x 225
    Picture doublePicture_; // the same at 800 x 450, for screens above 96 dots per inch
};

} // namespace velmora::win32
