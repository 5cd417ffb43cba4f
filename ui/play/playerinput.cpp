// SPDX-License-Identifier: MIT
#include "playerinput.h"

namespace velmora::ui {

namespace {

void assign(Game& game, const Assignment& assignment) {
    using Variable = Assignment::Variable;
    switch (assignment.variable) {
    case Variable::velY:
        game.velY = assignment.whole;
        break;
    case Variable::velX:
        game.velX = assignment.whole;
        break;
    case Variable::intervallo:
        game.intervallo = assignment.whole;
        break;
    case Variable::xPresa:
        game.xPresa = assignment.whole;
        break;
    case Variable::punti:
        game.punti = assignment.whole;
        break;
    case Variable::shaPLeft:
        game.shaP.Left = assignment.twips;
        break;
    case Variable::shaPTop:
        game.shaP.Top = assignment.twips;
        break;
    case Variable::shaBLeft:
        game.shaB.Left = assignment.twips;
        break;
    case Variable::shaBTop:
        game.shaB.Top = assignment.twips;
        break;
    case Variable::shaXVisible:
        game.shaX(assignment.brick).Visible = assignment.visible;
        break;
    }
}

} // namespace

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
    case Input::Kind::Set:
        assign(game, input.assignment);
        break;
    }
}

} // namespace velmora::ui
