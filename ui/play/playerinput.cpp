// SPDX-License-Identifier: MIT
#include "playerinput.h"

namespace velmora::ui {

void apply(Game& game, const Input& input) {
    const Integer noShift = 0;
    switch (input.kind) {
    case Input::Kind::Down:
        game.frame_MouseDown(input.button, noShift, input.x, input.y);
        break;
    case Input::Kind::Move:
        game.frame_MouseMove(input.button, noShift, input.x, input.y);
        break;
    case Input::Kind::Up:
        game.frame_MouseUp(input.button, noShift, input.x, input.y);
        break;
    case Input::Kind::Pick:
        game.cmbVel.Text = input.text; // what the box shows once the entry is picked
        game.cmbVel_Click();
        break;
    }
}

} // namespace velmora::ui
