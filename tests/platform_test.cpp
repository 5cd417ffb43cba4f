// SPDX-License-Identifier: MIT
// The real desktop platform: its message box as a player sees it, and the program's end.
#include "gamewindow.h"
#include "platform.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>

namespace velmora::qt {
namespace {

// Runs `inspect` on the message box once it is open, then presses its OK.
void whenTheBoxOpens(const std::function<void(QMessageBox&)>& inspect) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, inspect] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            poll->stop();
            poll->deleteLater();
            inspect(*box);
            box->button(QMessageBox::Ok)->click();
        }
    });
    poll->start(10);
}

TEST(DesktopPlatform, TheMessageHasTheTitleTheTextAndOneOkButton) {
    DesktopPlatform desktop;
    bool seen = false;
    whenTheBoxOpens([&](QMessageBox& box) {
        seen = true;
        EXPECT_EQ(box.windowTitle(), "Velmora");
        EXPECT_EQ(box.text(), "Game Over !");
        EXPECT_EQ(box.icon(), QMessageBox::NoIcon);
        ASSERT_EQ(box.buttons().size(), 1);
        EXPECT_EQ(box.standardButton(box.buttons().at(0)), QMessageBox::Ok);
        EXPECT_TRUE(box.isModal());
        // Wide enough that a window manager shows the whole title.
        EXPECT_GE(box.width(), ui::messageMinimumWidth);
    });
    desktop.message(nullptr, QStringLiteral("Game Over !"));
    EXPECT_TRUE(seen);
}

TEST(DesktopPlatformDeathTest, QuitEndsTheProgramWithItsStatus) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            DesktopPlatform desktop;
            QTimer::singleShot(0, [&] { desktop.quit(3); });
            std::exit(QApplication::exec());
        },
        ::testing::ExitedWithCode(3), "");
}

// A run-time error, on the real platform: the Italian message, then the end with status 1.
TEST(DesktopPlatformDeathTest, ARunTimeErrorIsShownAndEndsTheProgramWithOne) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            DesktopPlatform desktop;
            GameWindow window(desktop);
            window.show();
            whenTheBoxOpens([](QMessageBox& box) {
                std::fprintf(stderr, "[%s] %s\n", qPrintable(box.windowTitle()),
                             qPrintable(box.text()));
            });
            QTimer::singleShot(0, [&] {
                window.findChild<QComboBox*>("cmbVel")->setEditText("40000");
                window.cmbVel_Click(); // a speed beyond the game's 16-bit numbers
            });
            std::exit(QApplication::exec());
        },
        ::testing::ExitedWithCode(1), "\\[Velmora\\] Errore di run-time: overflow");
}

// A window is laid out at Qt's own scale where it fits the screen, and centred; one larger
// than the screen is laid out smaller, whole on it, in the same proportions, and centred.
TEST(FitAndCentre, AWindowLargerThanTheScreenIsDrawnSmallerAndWhole) {
    const QRect available = QApplication::primaryScreen()->availableGeometry();
    struct Fitted {
        QWidget window;
        ui::Scale scale{0};
    };
    const auto fit = [](Fitted& fitted, int widthTwips, int heightTwips) {
        fitAndCentre(fitted.window, widthTwips, heightTwips, [&](const ui::Scale& scale) {
            fitted.scale = scale;
            fitted.window.resize(scale.wholePixels(widthTwips), scale.wholePixels(heightTwips));
        });
    };
    Fitted small;
    fit(small, 1500, 750);
    EXPECT_EQ(small.scale.pixelsPerInch(), 96);
    EXPECT_EQ(small.window.size(), QSize(100, 50));
    EXPECT_EQ(small.window.frameGeometry().center(), available.center());

    Fitted large; // a third wider and taller than the screen
    const int widthTwips = available.width() * 20, heightTwips = available.height() * 20;
    fit(large, widthTwips, heightTwips);
    const QRect whole = large.window.frameGeometry();
    EXPECT_TRUE(available.contains(whole));
    EXPECT_EQ(large.window.size(),
              QSize(large.scale.wholePixels(widthTwips), large.scale.wholePixels(heightTwips)));
    EXPECT_LE(std::abs(whole.center().x() - available.center().x()), 1);
    // The largest scale that fits: one pixel an inch more would not.
    const ui::Scale larger(large.scale.pixelsPerInch() + 1);
    const QSize frame = whole.size() - large.window.size();
    EXPECT_TRUE(larger.wholePixels(widthTwips) + frame.width() > available.width() ||
                larger.wholePixels(heightTwips) + frame.height() > available.height());
}

} // namespace
} // namespace velmora::qt
