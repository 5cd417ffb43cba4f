// SPDX-License-Identifier: MIT
#include "picture.h"

#include <cstring>
#include <ocidl.h>
#include <olectl.h>

namespace velmora::win32 {

Picture::Picture(int resourceId) {
    const HMODULE program = GetModuleHandleW(nullptr);
    const HRSRC found = FindResourceW(program, MAKEINTRESOURCEW(resourceId), RT_RCDATA);
    const HGLOBAL loaded = found ? LoadResource(program, found) : nullptr;
    const DWORD bytes = found ? SizeofResource(program, found) : 0;
    if (!loaded || bytes == 0) {
        return;
    }
    // The loader reads from a stream over memory of its own.
    const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!memory) {
        return;
    }
    std::memcpy(GlobalLock(memory), LockResource(loaded), bytes);
    GlobalUnlock(memory);
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(memory, TRUE, &stream))) {
        GlobalFree(memory);
        return;
    }
    IPicture* picture = nullptr;
    if (SUCCEEDED(OleLoadPicture(stream, static_cast<LONG>(bytes), FALSE, IID_IPicture,
                                 reinterpret_cast<void**>(&picture)))) {
        OLE_HANDLE handle = 0;
        if (SUCCEEDED(picture->get_Handle(&handle))) {
            bitmap_ = static_cast<HBITMAP>(
                CopyImage(reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(handle)), IMAGE_BITMAP, 0,
                          0, LR_CREATEDIBSECTION));
        }
        picture->Release();
    }
    stream->Release();
    BITMAP info{};
    if (bitmap_ && GetObjectW(bitmap_, sizeof info, &info)) {
        size_ = {info.bmWidth, info.bmHeight};
    }
}

Picture::~Picture() {
    if (bitmap_) {
        DeleteObject(bitmap_);
    }
}

void Picture::draw(HDC dc, const RECT& place) const {
    if (!bitmap_) {
        return;
    }
    const HDC source = CreateCompatibleDC(dc);
    const auto old = SelectObject(source, bitmap_);
    SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    StretchBlt(dc, place.left, place.top, place.right - place.left, place.bottom - place.top,
               source, 0, 0, size_.cx, size_.cy, SRCCOPY);
    SelectObject(source, old);
    DeleteDC(source);
}

} // namespace velmora::win32
