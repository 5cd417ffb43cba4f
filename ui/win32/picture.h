// SPDX-License-Identifier: MIT
// A JPEG picture stored in the program, decoded by the system's own picture loader.
#pragma once

#include <windows.h>

namespace velmora::win32 {

class Picture {
  public:
    explicit Picture(int resourceId);
    ~Picture();
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;

    // Draws the picture, smoothly scaled, into `place`; nothing if it could not be decoded.
    void draw(HDC dc, const RECT& place) const;

  private:
    HBITMAP bitmap_ = nullptr; // a copy of the decoded picture, owned here
    SIZE size_{};
};

} // namespace velmora::win32
