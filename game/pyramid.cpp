// SPDX-License-Identifier: MIT
#include "game.h"

#include <array>

namespace velmora {

namespace {

constexpr double gap = 50; // between neighbours, and between rows

// Each row's last brick: the brick before the next row's first.
constexpr Integer rowLast(std::size_t row) {
    return static_cast<Integer>(row + 1 < rowFirst.size() ? rowFirst[row + 1] - 1 : brickCount - 1);
}

} // namespace

std::size_t rowOf(Integer brick) {
    std::size_t row = rowFirst.size() - 1;
    while (row > 0 && brick < rowFirst[row]) {
        --row;
    }
    return row;
}

void Game::Form_Activate() {
    if (shaX.Count() == 1) { // only the design-time brick: this is the game's first activation
        buildPyramid();
    }
}

// Each brick is placed from its left neighbour, and each row's first brick from the first
// brick of the row above, half a brick further in. Sizes are read from the bricks
// themselves, which all copy element 0.
void Game::buildPyramid() {
    for (std::size_t row = 0; row < rowFirst.size(); ++row) {
        const Integer first = rowFirst[row];
        if (row > 0) {
            const Shape& above = shaX(rowFirst[row - 1]);
            shaX.Load(first);
            Shape& brick = shaX(first);
            brick.Left = ToSingle(Sum(middle(above.Left, above.Width), gap));
            brick.Top = ToSingle(Sum(farEdge(above.Top, above.Height), gap));
            brick.Visible = true;
        }
        for (Integer i = Add(first, 1); i <= rowLast(row); i = Add(i, 1)) {
            shaX.Load(i);
            const Shape& left = shaX(Subtract(i, 1));
            Shape& brick = shaX(i);
            brick.Left = ToSingle(Sum(farEdge(left.Left, left.Width), gap));
            brick.Top = left.Top; // the first row keeps the Top every brick copies from element 0
            brick.Visible = true;
        }
    }
}

} // namespace velmora
