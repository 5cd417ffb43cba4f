// SPDX-License-Identifier: MIT
// The windows as the page knows them. A control's number is its `controlId` (layout.h), and
// the page's element for it has the id "control" and that number: main.cpp and the start
// window's markup, written at build time by start_window.cpp, count alike.
#pragma once

#include "layout.h"

namespace velmora::ui::web {

enum WindowId { startWindow = 0, gameWindow = 1 };

} // namespace velmora::ui::web
