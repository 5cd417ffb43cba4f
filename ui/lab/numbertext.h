// SPDX-License-Identifier: MIT
// Numbers of single precision as the lab writes them everywhere: in the script, the state
// line and the log.
#pragma once

#include <string>

namespace velmora::ui {

// %.9g, which reads back as the same float, written exactly as printf writes it, without
// printf: the browser's lab is smaller without it.
std::string twipsText(float value);

} // namespace velmora::ui
