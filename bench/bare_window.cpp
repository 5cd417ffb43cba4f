// SPDX-License-Identifier: MIT
// A bare Win32 window of the game window's size, whose small disc crosses it 64 times a
// second: the CPU any window needs to move something at Velmora's rate, to compare
// Velmora.exe with (bench/measure_windows.sh). It is woken as the game window is: by a
// one-shot timer set for the next 1/64 s mark, so late timers do not add up, and it repaints
// only the disc's old and new places. It runs until it is closed.
#include <algorithm>
#include <chrono>
#include <windows.h>

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::chrono::nanoseconds period = std::chrono::nanoseconds(std::chrono::seconds(1)) / 64;
constexpr UINT_PTR tickTimer = 1;
constexpr int clientWidth = 672; // the game window's client area at 96 dots per inch
constexpr int clientHeight = 603;
constexpr int diameter = 16;
constexpr int step = 4; // pixels a tick
constexpr COLORREF discColour = RGB(255, 128, 128);

// All that is painted: where the disc is. The clock says which tick it is.
struct State {
    Clock::time_point started;
    long long tick = 0; // the last one done
    int left = 0;
};
State state;

RECT discBox() {
    const int top = (clientHeight - diameter) / 2;
    return {state.left, top, state.left + diameter, top + diameter};
}

// Waits for the next 1/64 s mark, in whole milliseconds rounded up.
void waitForNextTick(HWND window) {
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(
        state.started + period * (state.tick + 1) - Clock::now());
    SetTimer(window, tickTimer,
             static_cast<UINT>(std::max<long long>(wait.count(), USER_TIMER_MINIMUM)), nullptr);
}

// Moves the disc if a tick is due (one missed altogether is skipped) and repaints where it
// was and where it is.
void wake(HWND window) {
    const long long due = (Clock::now() - state.started) / period;
    if (due > state.tick) {
        state.tick = due;
        const RECT was = discBox();
        state.left = static_cast<int>(state.tick * step % (clientWidth - diameter));
        const RECT is = discBox();
        InvalidateRect(window, &was, FALSE);
        InvalidateRect(window, &is, FALSE);
    }
    waitForNextTick(window);
}

void paint(HWND window) {
    PAINTSTRUCT paintInfo;
    const HDC dc = BeginPaint(window, &paintInfo);
    FillRect(dc, &paintInfo.rcPaint, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SelectObject(dc, GetStockObject(DC_BRUSH));
    SetDCBrushColor(dc, discColour);
    const RECT disc = discBox();
    Ellipse(dc, disc.left, disc.top, disc.right, disc.bottom);
    EndPaint(window, &paintInfo);
}

LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        state.started = Clock::now();
        waitForNextTick(window);
        return 0;
    case WM_TIMER:
        KillTimer(window, tickTimer);
        wake(window);
        return 0;
    case WM_ERASEBKGND:
        return 1; // the painting covers everything
    case WM_PAINT:
        paint(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = windowProcedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = L"BareWindow";
    RegisterClassW(&windowClass);

    RECT frame{0, 0, clientWidth, clientHeight};
    AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
    const HWND window = CreateWindowW(
        L"BareWindow", L"Bare window", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
        frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, instance, nullptr);
    ShowWindow(window, show);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
