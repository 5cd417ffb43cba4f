// SPDX-License-Identifier: MIT
#include "gamewindow.h"
#include "session_support.h"
#include "startwindow.h"
#include "window_support.h"

#include <QFile>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace velmora::qt {
namespace {

TEST(Assets, ThePictureAndTheIconLoad) {
    const QImage picture(":/velmora/avvio.jpg");
    EXPECT_EQ(picture.size(), QSize(400, 225));
    EXPECT_EQ(QImage(":/velmora/avvio@2x.jpg").size(), QSize(800, 450));
    const QIcon icon(":/velmora/velmora.ico");
    ASSERT_FALSE(icon.isNull());
    const QImage disc = icon.pixmap(32, 32).toImage();
    EXPECT_EQ(QColor(disc.pixel(16, 16)), QColor(255, 0, 0));
    EXPECT_EQ(disc.pixelColor(1, 1).alpha(), 0); // transparent around the disc
}

// The desktop theme's icons: the same disc at every size, smooth at the edge.
TEST(Assets, TheThemeIconsAreTheSameDiscAtEverySize) {
    for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
        const QString file =
            size == 32 ? QStringLiteral(VELMORA_ASSETS_DIR "/velmora.png")
                       : QStringLiteral(VELMORA_ASSETS_DIR "/icons/%1x%1/velmora.png").arg(size);
        const QImage icon(file);
        ASSERT_EQ(icon.size(), QSize(size, size)) << file.toStdString();
        EXPECT_EQ(icon.pixelColor(size / 2, size / 2), QColor(255, 0, 0)) << size;
        EXPECT_EQ(icon.pixelColor(0, 0).alpha(), 0) << size;
        // Across the middle row, the disc is 20/32 of the icon wide.
        int opaque = 0;
        for (int x = 0; x < size; ++x) {
            opaque += icon.pixelColor(x, size / 2).alpha() >= 128 ? 1 : 0;
        }
        EXPECT_NEAR(opaque, size * 20.0 / 32, 1.0) << size;
    }
    QFile svg(VELMORA_ASSETS_DIR "/velmora.svg");
    ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
    EXPECT_TRUE(svg.readAll().contains(R"(<circle cx="16" cy="16" r="10" fill="#ff0000"/>)"));
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
    EXPECT_EQ(image->pixmap().deviceIndependentSize(), QSizeF(400, 225));
    EXPECT_EQ(cmdGioca->text(), "GIOCA");
    EXPECT_TRUE(cmdGioca->font().bold());
    EXPECT_EQ(cmdGioca->geometry(), QRect(24, 24, 89, 41));
    EXPECT_EQ(cmdFine->text(), "Fine");
    EXPECT_EQ(cmdFine->geometry(), QRect(336, 192, 57, 25));
}

// Run at QT_SCALE_FACTOR 2 too: there the picture is the one drawn at twice the size, shown
// at the same 400 x 225 logical pixels.
TEST_F(StartWindowTest, ThePictureIsSharpAtTheScreensScale) {
    const auto* image = start.findChild<QLabel*>("Image1");
    const QPixmap shown = image->pixmap();
    const qreal scale = start.devicePixelRatioF();
    EXPECT_EQ(shown.devicePixelRatio(), scale);
    EXPECT_EQ(shown.deviceIndependentSize(), QSizeF(400, 225));
    EXPECT_EQ(image->size(), QSize(400, 225));
    if (scale == 2) {
        EXPECT_EQ(shown.toImage().convertToFormat(QImage::Format_RGB32),
                  QImage(":/velmora/avvio@2x.jpg").convertToFormat(QImage::Format_RGB32));
    }
}

TEST_F(StartWindowTest, EachGameStartsAfresh) {
    playAGame([](GameWindow& game) {
        EXPECT_TRUE(game.isModal());
        EXPECT_EQ(game.game().shaX.Count(), 57);
        Game& position = ui::SessionSeam::game(game);
        position.shaP.Left = 300; // knock out brick 0
        position.shaP.Top = 1335;
        position.velY = -60;
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
    setActiveWindow(&start);
    playAGame([](GameWindow& game) {
        game.findChild<QWidget*>("cmbVel")->setFocus(); // as after a pick in the speed box
        setActiveWindow(nullptr);                       // the window manager lost track
        game.close();
    });
    QApplication::processEvents(); // the window system's word that the window is active
    EXPECT_EQ(QApplication::activeWindow(), &start);
    EXPECT_EQ(start.focusWidget(), cmdGioca);
}

TEST_F(StartWindowTest, AGameThatEndsWhileMinimisedBringsTheStartWindowBack) {
    playAGame([&](GameWindow& game) {
        start.showMinimized(); // as a window manager does with the game window's owner
        game.close();
    });
    EXPECT_FALSE(start.isMinimized());
    EXPECT_TRUE(start.isVisible());
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
} // namespace velmora::qt
