// SPDX-License-Identifier: MIT
// The controls of both windows as the page knows them. A control's number is its place in
// `controls`, and the page's element for it has the id "control" and that number: main.cpp
// and the start window's markup, written at build time by start_window.cpp, count alike.
#pragma once

#include "layout.h"

#include <array>

namespace velmora::ui::web {

enum WindowId { startWindow = 0, gameWindow = 1 };

constexpr std::array<const Control*, 9> controls = {
    &start::Image1, &start::cmdGioca, &start::cmdFine, &game::frame,   &game::cmdFine,
    &game::cmbVel,  &game::Label1,    &game::Label2,   &game::lblPunti};

constexpr int controlId(const Control& control) {
    for (std::size_t i = 0; i < controls.size(); ++i) {
        if (controls[i] == &control) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

} // namespace velmora::ui::web
