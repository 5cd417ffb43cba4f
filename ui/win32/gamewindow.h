// SPDX-License-Identifier: MIT
// frmVelmora, the game window: the playfield and the controls at the bottom, shown modally
// over the start window, one game a showing. Each of its events becomes one call of the
// game's rules, after which the window shows the game's state again.
#pragma once

#include "game.h"
#include "playfield.h"
#include "tickschedule.h"

#include <chrono>
#include <optional>
#include <string>
#include <windows.h>

namespace velmora::win32 {

class GameWindow {
  public:
    static void registerClass(HINSTANCE instance);

    // Plays one game: shows the window, with `owner` disabled, and returns when it has gone,
    // true if it was minimised then.
    static bool play(HWND owner);

    // The playfield's mouse events: the buttons (1 left, 2 right, 4 middle) and the place.
    void frame_MouseDown(Integer Button, float X, float Y);
    void frame_MouseMove(Integer Button, float X, float Y);
    void frame_MouseUp(Integer Button, float X, float Y);

  private:
    explicit GameWindow(HWND owner);
    GameWindow(const GameWindow&) = delete;
    GameWindow& operator=(const GameWindow&) = delete;

    template <typename Window> friend LRESULT CALLBACK windowProcedure(HWND, UINT, WPARAM, LPARAM);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void createControls();
    void layOut(UINT dpi);
    void command(int id, int notification);

    void Form_Load();
    void Form_Activate();
    void Timer_Timer();
    void cmbVel_Click();
    void close();

    void startTimer();
    void stopTimer();
    void showState();

    HWND owner_;
    HWND window_ = nullptr;
    Game game_;
    std::optional<Playfield> frame_;
    HWND cmdFine_ = nullptr;
    HWND cmbVel_ = nullptr;
    HWND Label1_ = nullptr;
    HWND Label2_ = nullptr;
    HWND lblPunti_ = nullptr;
    HFONT font_ = nullptr;
    HFONT scoreFont_ = nullptr;
    HWND lastFocus_ = nullptr; // the control to give the focus back to on reactivation
    std::string shownScore_;

    ui::TickSchedule schedule_;
    std::chrono::steady_clock::time_point started_ = std::chrono::steady_clock::now();
    bool ticking_ = false;
};

} // namespace velmora::win32
