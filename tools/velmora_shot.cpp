// SPDX-License-Identifier: MIT
// velmora-shot: draws the game window as it stands after some ticks of a game left alone,
// or the start window, headless, and saves it as a PNG at the screen's scale
// (QT_SCALE_FACTOR). Used for the README's pictures and the package's screenshot.
//
//   velmora-shot FILE.png [TICKS]     the game window (default 240 ticks)
//   velmora-shot --start FILE.png     the start window

#include "gamewindow.h"
#include "platform.h"
#include "startwindow.h"

#include <QApplication>
#include <QPixmap>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// No one is there to press OK: messages go to standard error.
class Unattended final : public velmora::qt::Platform {
  public:
    void message(QWidget*, const QString& text) override {
        std::fprintf(stderr, "%s\n", qPrintable(text));
    }
    void quit(int status) override { std::exit(status); }
};

constexpr int maxTicks = 1'000'000;

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    Unattended platform;
    if (argc == 3 && std::strcmp(argv[1], "--start") == 0) {
        velmora::qt::StartWindow start(platform);
        start.show();
        return start.grab().save(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
    }
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr,
                     "usage: velmora-shot FILE.png [TICKS] | velmora-shot --start FILE.png\n");
        return 2;
    }
    int ticks = 240;
    if (argc == 3) {
        const char* text = argv[2];
        const char* end = text + std::strlen(text);
        const auto [stop, error] = std::from_chars(text, end, ticks);
        if (error != std::errc{} || stop != end || ticks < 0 || ticks > maxTicks) {
            std::fprintf(stderr,
                         "velmora-shot: TICKS must be a whole number from 0 to %d, not '%s'\n",
                         maxTicks, text);
            return 2;
        }
    }

    velmora::qt::GameWindow window(platform);
    window.show();
    for (int tick = 0; tick < ticks && !window.game().gameOver; ++tick) {
        window.Timer_Timer();
    }
    return window.grab().save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
