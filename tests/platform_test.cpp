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

namespace velmora::ui {
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
        EXPECT_GE(box.width(), messageMinimumWidth);
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

TEST(CentreOnScreen, AWindowLargerThanTheScreenKeepsItsTitleBarOnIt) {
    QWidget small;
    small.resize(100, 50);
    centreOnScreen(small);
    const QRect available = small.screen()->availableGeometry();
    EXPECT_EQ(small.frameGeometry().center(), available.center());

    QWidget large;
    large.resize(available.width() + 400, available.height() + 300);
    centreOnScreen(large);
    EXPECT_EQ(large.frameGeometry().topLeft(), available.topLeft());
}

} // namespace
} // namespace velmora::ui
