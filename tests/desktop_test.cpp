// SPDX-License-Identifier: MIT
// Velmora.exe's thin layer over the Win32 API, run under Wine: what it says when the system
// cannot make a window.
#include "desktop.h"

#include <gtest/gtest.h>
#include <string>

namespace velmora::win32 {
namespace {

// The system's own words for an error, as FormatMessage gives them.
std::string systemText(DWORD code) {
    wchar_t text[512] = {};
    FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                   text, 512, nullptr);
    std::string words = narrow(text);
    return words.substr(0, words.find_last_not_of("\r\n ") + 1);
}

TEST(Desktop, AWindowThatCannotBeMadeIsReportedWithTheSystemsReason) {
    std::string shown;
    ui::guarded(
        [&] {
            madeWindow(CreateWindowExW(0, L"VelmoraNoSuchClass", L"", WS_POPUP, 0, 0, 10, 10,
                                       nullptr, nullptr, GetModuleHandleW(nullptr), nullptr));
        },
        [&](const std::string& message) { shown = message; });
    // Windows says that it cannot find the class, Wine that the class does not exist.
    const std::string prefix = "Errore di run-time: impossibile creare la finestra (";
    EXPECT_TRUE(shown == prefix + systemText(ERROR_CANNOT_FIND_WND_CLASS) + ")" ||
                shown == prefix + systemText(ERROR_CLASS_DOES_NOT_EXIST) + ")")
        << shown;
    EXPECT_GT(shown.size(), prefix.size() + 6); // the system's words, not a number
}

} // namespace
} // namespace velmora::win32
