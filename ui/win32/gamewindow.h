// SPDX-License-Identifier: MIT
// frmVelmora, the game window: the playfield and the controls at the bottom, shown modally
// over the start window, one game a showing. It creates its controls and forwards their
// messages to the game session, which runs the game and tells the window what to show.
#pragma once

#include "desktop.h"
#include "playfield.h"
#include "session.h"

#include <chrono>
#include <optional>
#include <windows.h>

namespace velmora::win32 {

class GameWindow : private ui::GameView {
  public:
    static void registerClass(HINSTANCE instance);

    // Plays one game: shows the window, with `owner` disabled, and returns when it has gone,
    // true if it was minimised then.
    static bool play(HWND owner);

  private:
    explicit GameWindow(HWND owner);
    ~GameWindow() override;
    GameWindow(const GameWindow&) = delete;
    GameWindow& operator=(const GameWindow&) = delete;

    template <typename Window> friend LRESULT CALLBACK windowProcedure(HWND, UINT, WPARAM, LPARAM);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void createControls();
    void layOut(const ui::Scale& scale);
    void command(int id, int notification);
    void cmbVel_Click();

    // What the session asks of the window.
    void showScore(const std::string& caption) override;
    void fillSpeedList(const std::vector<std::string>& list, const std::string& text) override;
    void focusFirstControl() override;
    void repaintPlayfield(const Shape& place) override;
    void wakeIn(int milliseconds) override;
    void stopWaking() override;
    void showMessage(const std::string& text) override;
    void closeWindow() override;
    void endProgram(int status) override;

    HWND owner_;
    HWND window_ = nullptr;
    ui::SteadyClock clock_;
    ui::Session session_{*this, clock_};
    std::optional<Playfield> frame_;
    HWND cmdFine_ = nullptr;
    HWND cmbVel_ = nullptr;
    HWND Label1_ = nullptr;
    HWND Label2_ = nullptr;
    HWND lblPunti_ = nullptr;
    HFONT font_ = nullptr;
    HFONT scoreFont_ = nullptr;
    ui::Scale scale_;
    HWND lastFocus_ = nullptr; // the control to give the focus back to on reactivation
    ScreenFit screenFit_{ui::game::clientWidth, ui::game::clientHeight};
};

} // namespace velmora::win32
