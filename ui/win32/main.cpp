// SPDX-License-Identifier: MIT
#include "desktop.h"
#include "gamewindow.h"
#include "startwindow.h"

#include <commctrl.h>
#include <objbase.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    using namespace velmora::win32;
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); // for the picture loader
    StartWindow::registerClass(instance);
    GameWindow::registerClass(instance);

    MSG message{};
    velmora::ui::guarded(
        [&] {
            StartWindow start;
            ShowWindow(start.handle(), show);
            while (GetMessageW(&message, nullptr, 0, 0) > 0) {
                if (!keyPolicyApplied(start.handle(), message, false) &&
                    !IsDialogMessageW(start.handle(), &message)) {
                    TranslateMessage(&message);
                    DispatchMessageW(&message);
                }
            }
        },
        [](const std::string& text) { failAndExit(nullptr, text); });
    CoUninitialize();
    return static_cast<int>(message.wParam);
}
