// velmora-shot: draws the game window as it stands after some ticks of a game left alone,
// headless, and saves it as a PNG. Used for the README's picture.
//
//   velmora-shot FILE.png [TICKS]     (default 240 ticks)

#include "gamewindow.h"
#include "platform.h"

#include <QApplication>
#include <QPixmap>
#include <cstdio>
#include <cstdlib>

namespace {

// No one is there to press OK: messages go to standard error.
class Unattended final : public velmora::ui::Platform {
  public:
    void message(QWidget*, const QString& text) override {
        std::fprintf(stderr, "%s\n", qPrintable(text));
    }
    void quit(int status) override { std::exit(status); }
};

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: velmora-shot FILE.png [TICKS]\n");
        return 2;
    }
    const int ticks = argc == 3 ? std::atoi(argv[2]) : 240;

    Unattended platform;
    velmora::ui::GameWindow window(platform);
    window.show();
    for (int tick = 0; tick < ticks && !window.game().gameOver; ++tick) {
        window.Timer_Timer();
    }
    return window.grab().save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
