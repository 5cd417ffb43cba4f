// SPDX-License-Identifier: MIT
#include "gamewindow.h"
#include "startwindow.h"
#include "window_support.h"

#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace velmora::ui {
namespace {

TEST(Assets, ThePictureAndTheIconLoad) {
    const QImage picture(":/velmora/avvio.jpg");
    EXPECT_EQ(picture.size(), QSize(400, 225));
    const QIcon icon(":/velmora/velmora.ico");
    ASSERT_FALSE(icon.isNull());
    const QImage disc = icon.pixmap(32, 32).toImage();
    EXPECT_EQ(QColor(disc.pixel(16, 16)), QColor(255, 0, 0));
    EXPECT_EQ(disc.pixelColor(1, 1).alpha(), 0); // transparent around the disc
}

class StartWindowTest : public ::testing::Test {
  protected:
    StartWindowTest() {
        start.show();
        cmdGioca = start.findChild<QPushButton*>("cmdGioca");
        cmdFine = start.findChild<QPushButton*>("cmdFine");
    }

    // Clicks "GIOCA"; `play` runs inside the modal game window, and must close it.
    void playAGame(const std::function<void(GameWindow&)>& play) {
        playAGame(play, [this] { QTest::mouseClick(cmdGioca, Qt::LeftButton); });
    }
    void playAGame(const std::function<void(GameWindow&)>& play,
                   const std::function<void()>& open) {
        QTimer::singleShot(0, [&] {
            auto* game = qobject_cast<GameWindow*>(QApplication::activeModalWidget());
            ASSERT_NE(game, nullptr);
            play(*game);
        });
        open(); // returns when the game window closes
    }

    FakePlatform platform;
    StartWindow start{platform};
    QPushButton* cmdGioca = nullptr;
    QPushButton* cmdFine = nullptr;
};

TEST_F(StartWindowTest, ShowsThePictureAndTheTwoButtons) {
    EXPECT_EQ(start.windowTitle(), "Velmora");
    EXPECT_EQ(start.size(), QSize(420, 242));
    const auto* image = start.findChild<QLabel*>("Image1");
    EXPECT_EQ(image->geometry(), QRect(8, 8, 400, 225));
    EXPECT_EQ(image->pixmap().size(), QSize(400, 225));
    EXPECT_EQ(cmdGioca->text(), "GIOCA");
    EXPECT_TRUE(cmdGioca->font().bold());
    EXPECT_EQ(cmdGioca->geometry(), QRect(24, 24, 89, 41));
    EXPECT_EQ(cmdFine->text(), "Fine");
    EXPECT_EQ(cmdFine->geometry(), QRect(336, 192, 57, 25));
}

TEST_F(StartWindowTest, EachGameStartsAfresh) {
    playAGame([](GameWindow& game) {
        EXPECT_TRUE(game.isModal());
        EXPECT_EQ(game.game().shaX.Count(), 57);
        game.game().shaP.Left = 300; // knock out brick 0
        game.game().shaP.Top = 1335;
        game.game().velY = -60;
        game.Timer_Timer();
        EXPECT_EQ(game.game().punti, 1);
        QTest::mouseClick(game.findChild<QPushButton*>("cmdFine"), Qt::LeftButton);
    });
    EXPECT_TRUE(start.isVisible());
    playAGame([](GameWindow& game) {
        EXPECT_EQ(game.game().shaX.Count(), 57);
        EXPECT_TRUE(game.game().shaX(0).Visible);
        EXPECT_EQ(game.game().punti, 0);
        EXPECT_EQ(game.findChild<QLabel*>("lblPunti")->text(), "");
        game.close();
    });
    EXPECT_TRUE(platform.exitStatuses.empty());
}

TEST_F(StartWindowTest, EnterOnTheFocusedGiocaStartsAGame) {
    ASSERT_EQ(start.focusWidget(), cmdGioca);
    bool played = false;
    playAGame(
        [&](GameWindow& game) {
            played = true;
            game.close();
        },
        [&] { QTest::keyClick(cmdGioca, Qt::Key_Return); });
    EXPECT_TRUE(played);
}

TEST_F(StartWindowTest, AfterAGameTheStartWindowHasTheKeyboardAgain) {
    QApplication::setActiveWindow(&start);
    playAGame([](GameWindow& game) {
        game.findChild<QWidget*>("cmbVel")->setFocus(); // as after a pick in the speed box
        QApplication::setActiveWindow(nullptr);         // the window manager lost track
        game.close();
    });
    QApplication::processEvents(); // the window system's word that the window is active
    EXPECT_EQ(QApplication::activeWindow(), &start);
    EXPECT_EQ(start.focusWidget(), cmdGioca);
}

TEST_F(StartWindowTest, AHeldEnterOrSpaceStartsNoGame) {
    bool played = false;
    QTimer::singleShot(0, [&] {
        if (auto* game = QApplication::activeModalWidget()) {
            played = true;
            game->close();
        }
    });
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space}) {
        for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
            QKeyEvent repeat(type, key, Qt::NoModifier, QString(), true);
            QApplication::sendEvent(cmdGioca, &repeat);
        }
    }
    QApplication::processEvents();
    EXPECT_FALSE(played);
}

TEST_F(StartWindowTest, FineEndsTheProgram) {
    QTest::mouseClick(cmdFine, Qt::LeftButton);
    EXPECT_EQ(platform.exitStatuses, std::vector<int>{0});
}

} // namespace
} // namespace velmora::ui
