// SPDX-License-Identifier: MIT
#include "play.h"

namespace velmora::ui {

bool play(Game& game, const Step& step) {
    switch (step.kind) {
    case Step::Kind::Activate:
        game.Form_Activate();
        break;
    case Step::Kind::Tick:
        if (game.gameOver) {
            return false;
        }
        game.Timer_Timer();
        break;
    case Step::Kind::Input:
        apply(game, step.input);
        break;
    }
    return true;
}

} // namespace velmora::ui
