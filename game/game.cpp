// SPDX-License-Identifier: MIT
#include "game.h"

namespace velmora {

void Game::Form_Load() {
    velY = 60;
    velX = 0;
    xPresa = 0;
    punti = 0;
    lblPunti.Caption.clear(); // empty, not "0", until the first brick falls
    intervallo = 1;
    timer.Interval = intervallo;

    // The speed list, "20" to "200"; showing the current speed is not a pick.
    cmbVel.List.clear();
    for (Integer i = 1; i <= 10; i = Add(i, 1)) {
        cmbVel.List.push_back(std::to_string(Checked(i * 20)));
    }
    cmbVel.Text = std::to_string(velY);
}

void Game::cmbVel_Click() {
    const Integer speed = CInt(Val(cmbVel.Text));
    velY = velY > 0 ? speed : Negate(speed); // a new size, the same direction
}

} // namespace velmora
