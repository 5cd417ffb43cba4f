// SPDX-License-Identifier: MIT
// The ids of the resources stored in Velmora.exe.
#pragma once

#define IDR_AVVIO 101    // the start picture, 400 x 225
#define IDR_AVVIO_2X 102 // the same at 800 x 450
