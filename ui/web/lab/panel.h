// SPDX-License-Identifier: MIT
// The lab's panel beside the page's game window, in velmora-lab only: main.cpp, built with
// VELMORA_LAB, calls the first three; panel.cpp calls the last four, which main.cpp gives
// it, and exports what lab.js calls.
#pragma once

#include "guard.h"
#include "marks.h"
#include "session.h"

#include <array>
#include <string>

namespace velmora::ui::web {

// A new showing of the game window, loaded and not yet activated: the lab records it, or
// plays the game a file brought.
void labShowing(Session& session);
// After each of the page's events: the panel and the marks follow the game.
void labChanged();
// What the marks on the playfield show now.
LabMarks labMarks();

// The game window opens (closing the one open first), as by "GIOCA"; false once Velmora
// has ended.
bool openGameWindow();
// Paints this part of the playfield (twips) again.
void repaintPlayfield(const Shape& place);
// The session of the game window's last showing, open or closed; none before the first.
Session* labSession();
// Ends Velmora with the message, as a failure of the page's own does.
void failFromLab(const std::string& message);
// Runs `work` in the guard every function the page calls runs in: nothing thrown crosses
// into JavaScript.
template <typename Work> void fromLab(Work&& work) {
    guarded(work, failFromLab);
}

// The clock's controls, one number each for velmora_lab_control: "Pausa" (`Pause`, 1) and
// "Riprendi" (`Pause`, 0); "Un tick avanti" (`Step`, 1) and "Un tick indietro" (`Step`, 0);
// the slider "Tick" (`Show`, the tick: the game at that tick, paused); the clock's speed
// (`Divisor`, one of Session::clockDivisors); "Al prossimo evento" (`NextEvent`, any value).
// lab.js reads them as the build writes them.
enum class ClockControl { Pause, Step, Show, Divisor, NextEvent };

} // namespace velmora::ui::web
