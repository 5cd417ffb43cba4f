// SPDX-License-Identifier: MIT
// Velmora.exe's thin layer over the Win32 API, run under Wine: what it says when the system
// cannot make a window, how a window object parts from its window, what the keys do, and a
// quit during a game.
#include "desktop.h"
#include "gamewindow.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

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

// The tests of the suite DesktopWindow make windows: they run on a screen.

// A window object that notes the messages that reach it, and the last command's details.
struct Probe {
    HWND window_ = nullptr;
    std::vector<UINT> seen;
    WPARAM command = 0;
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam) {
        seen.push_back(message);
        command = message == WM_COMMAND ? wParam : command;
        return message == WM_CLOSE ? 0 : DefWindowProcW(window_, message, wParam, lParam);
    }
};

HWND probeWindow(Probe& probe) {
    registerWindowClass(GetModuleHandleW(nullptr), L"VelmoraProbe", windowProcedure<Probe>, true);
    return madeWindow(CreateWindowExW(0, L"VelmoraProbe", L"", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200,
                                      nullptr, nullptr, GetModuleHandleW(nullptr), &probe));
}

TEST(DesktopWindow, NoMessageReachesAWindowObjectOnceItsWindowIsGone) {
    Probe probe;
    DestroyWindow(probeWindow(probe));
    EXPECT_EQ(probe.window_, nullptr);
    EXPECT_EQ(probe.seen.back(), static_cast<UINT>(WM_DESTROY)); // and no WM_NCDESTROY
}

TEST(DesktopWindow, EnterSpaceAndEscapeDoWhatTheKeyPolicySays) {
    Probe probe;
    const HWND window = probeWindow(probe);
    const HWND button = CreateWindowExW(0, L"Button", L"", WS_CHILD | BS_PUSHBUTTON, 0, 0, 90, 20,
                                        window, reinterpret_cast<HMENU>(101), nullptr, nullptr);
    const HWND box = CreateWindowExW(0, L"Edit", L"", WS_CHILD, 0, 30, 90, 20, window, nullptr,
                                     nullptr, nullptr);
    probe.seen.clear();
    const auto keyDown = [&](HWND to, WPARAM key, LPARAM held, bool gameWindow) {
        return keyPolicyApplied(window, {to, WM_KEYDOWN, key, held, 0, {}}, gameWindow);
    };
    EXPECT_TRUE(keyDown(button, VK_RETURN, 0, false));     // presses it
    EXPECT_TRUE(keyDown(button, VK_SPACE, 1 << 30, true)); // a held key's repeat: nothing
    EXPECT_FALSE(keyDown(box, VK_RETURN, 0, true));        // on to the box, which does nothing
    EXPECT_TRUE(keyDown(box, VK_ESCAPE, 0, true));         // closes the game window
    EXPECT_FALSE(keyDown(button, VK_ESCAPE, 0, false));    // nothing in the start window
    EXPECT_EQ(probe.seen, (std::vector<UINT>{WM_COMMAND, WM_CLOSE}));
    EXPECT_EQ(probe.command, MAKEWPARAM(101, BN_CLICKED));
    DestroyWindow(window);
}

void CALLBACK quitWithSeven(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    PostQuitMessage(7);
}

// The quit ends the modal game, its window before its object, and goes on to the program's
// own loop with its exit code.
TEST(DesktopWindow, AQuitDuringAGameEndsItAndGoesOnToTheProgram) {
    GameWindow::registerClass(GetModuleHandleW(nullptr));
    Probe start;
    const HWND owner = probeWindow(start);
    SetTimer(nullptr, 0, 200, quitWithSeven);
    GameWindow::play(owner);
    EXPECT_EQ(FindWindowW(L"VelmoraGame", nullptr), nullptr);
    EXPECT_TRUE(IsWindowEnabled(owner));
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE) && message.message != WM_QUIT) {
        DispatchMessageW(&message);
    }
    EXPECT_EQ(message.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(message.wParam, 7u);
    DestroyWindow(owner);
}

} // namespace
} // namespace velmora::win32
