#include "gamewindow.h"
#include "playfield.h"
#include "ui_support.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

namespace velmora::ui {
namespace {

// A shown game window and handles on its controls. The playfield's pixels are 15 twips.
class GameWindowTest : public ::testing::Test {
  protected:
    GameWindowTest() {
        window.show();
        frame = window.findChild<Playfield*>("frame");
        cmbVel = window.findChild<QComboBox*>("cmbVel");
        lblPunti = window.findChild<QLabel*>("lblPunti");
        cmdFine = window.findChild<QPushButton*>("cmdFine");
    }

    void press(QPointF at, Qt::MouseButton button = Qt::LeftButton) {
        sendMouse(frame, QEvent::MouseButtonPress, at, button, button);
    }
    void drag(QPointF to, Qt::MouseButtons held = Qt::LeftButton) {
        sendMouse(frame, QEvent::MouseMove, to, Qt::NoButton, held);
    }
    void release(QPointF at) {
        sendMouse(frame, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
    }
    const Game& game() const { return window.game(); }

    FakePlatform platform;
    GameWindow window{platform};
    Playfield* frame = nullptr;
    QComboBox* cmbVel = nullptr;
    QLabel* lblPunti = nullptr;
    QPushButton* cmdFine = nullptr;
};

TEST(GameWindowStart, LoadsTheGameAndBuildsThePyramidWhenFirstShown) {
    FakePlatform platform;
    GameWindow window(platform);
    EXPECT_EQ(window.game().shaX.Count, 1);
    EXPECT_FALSE(window.isTicking()); // no tick before the pyramid
    EXPECT_EQ(window.game().velY, 60);
    window.show();
    EXPECT_EQ(window.game().shaX.Count, 57);
    EXPECT_TRUE(window.isTicking());
    window.hide();
    window.show(); // a later showing builds nothing more
    EXPECT_EQ(window.game().shaX.Count, 57);
    EXPECT_TRUE(platform.messages.isEmpty());
}

TEST_F(GameWindowTest, ShowsTheLayoutAndTheStartOfTheGame) {
    EXPECT_TRUE(window.windowTitle().startsWith("Velmora ("));
    EXPECT_TRUE(window.windowTitle().endsWith(")"));
    EXPECT_EQ(window.size(), QSize(672, 603));
    EXPECT_EQ(frame->geometry(), QRect(8, 8, 657, 553));
    EXPECT_EQ(cmbVel->geometry(), QRect(80, 568, 81, 21));
    EXPECT_EQ(lblPunti->geometry(), QRect(224, 568, 65, 25));
    EXPECT_EQ(cmdFine->geometry(), QRect(608, 568, 49, 25));
    EXPECT_EQ(cmdFine->text(), "Chiudi");
    EXPECT_EQ(window.findChild<QLabel*>("Label1")->text(), "Velocità :");
    EXPECT_EQ(window.findChild<QLabel*>("Label2")->text(), "Punti :");

    EXPECT_EQ(lblPunti->text(), "");
    EXPECT_TRUE(cmbVel->isEditable());
    ASSERT_EQ(cmbVel->count(), 10);
    EXPECT_EQ(cmbVel->itemText(0), "20");
    EXPECT_EQ(cmbVel->itemText(9), "200");
    EXPECT_EQ(cmbVel->currentText(), "60");
    // The playfield takes no focus: the game starts with it on "Chiudi".
    EXPECT_EQ(frame->focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(window.focusWidget(), cmdFine);
}

TEST_F(GameWindowTest, DragsThePaddleWithTheLeftButton) {
    press({520, 514}); // 7800, 7710 twips: on the paddle (7080..8535 x 7560..7935)
    EXPECT_EQ(game().xPresa, 7800);
    drag({500, 514});
    EXPECT_EQ(game().shaB.Left, 6780);
    drag({500, 514}, Qt::LeftButton | Qt::RightButton); // two buttons: no drag
    drag({480, 514}, Qt::LeftButton | Qt::RightButton);
    EXPECT_EQ(game().shaB.Left, 6780);
    drag({700, 514}); // beyond the playfield's right edge, the mouse still reports here
    EXPECT_EQ(game().shaB.Left, 6780);
    release({500, 514});
    EXPECT_EQ(game().xPresa, 0);

    press({520, 514}, Qt::RightButton);
    EXPECT_EQ(game().xPresa, 0);
}

TEST_F(GameWindowTest, RefusesAMoveThatWouldTouchTheWall) {
    press({474, 514}); // 7110
    drag({562, 514});  // 8430: the right edge would be exactly 9855
    EXPECT_EQ(game().shaB.Left, 7080);
    drag({561.6, 514}); // 8424: right edge 9849
    EXPECT_EQ(game().shaB.Left, 8394);
}

TEST_F(GameWindowTest, OnlyAPickFromTheListChangesTheSpeed) {
    cmbVel->setFocus();
    cmbVel->lineEdit()->selectAll();
    QTest::keyClicks(cmbVel, "200");
    QTest::keyClick(cmbVel, Qt::Key_Return);
    EXPECT_EQ(cmbVel->currentText(), "200");
    EXPECT_EQ(game().velY, 60);
    EXPECT_EQ(cmbVel->count(), 10);
    EXPECT_TRUE(window.isVisible()); // Enter in the box pressed no button
    QTest::keyClick(cmbVel, Qt::Key_Tab);
    EXPECT_NE(window.focusWidget(), cmbVel);
    EXPECT_EQ(game().velY, 60);

    QTest::keyClick(cmbVel, Qt::Key_Down); // from "60" to "80"
    EXPECT_EQ(cmbVel->currentText(), "80");
    EXPECT_EQ(game().velY, 80);

    window.game().velY = -80; // rising: a pick keeps the direction
    QWheelEvent wheel({40, 10}, cmbVel->mapToGlobal(QPointF(40, 10)), {}, {0, 120}, Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(cmbVel, &wheel); // back up to "60"
    EXPECT_EQ(cmbVel->currentText(), "60");
    EXPECT_EQ(game().velY, -60);

    cmbVel->showPopup();
    auto* list = cmbVel->view();
    const QRect entry = list->visualRect(list->model()->index(9, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, entry.center());
    EXPECT_EQ(cmbVel->currentText(), "200");
    EXPECT_EQ(game().velY, -200);
    EXPECT_EQ(game().velX, 0);
}

TEST_F(GameWindowTest, EndsByItselfWithOneMessageAndNoTickAfter) {
    window.game().shaP.Left = 1000; // far from the paddle, its centre 7.5 twips above the floor
    window.game().shaP.Top = 8100;
    float topWhileOpen = 0;
    bool tickingWhileOpen = true;
    platform.whileMessageOpen = [&] {
        topWhileOpen = game().shaP.Top;
        tickingWhileOpen = window.isTicking();
        processEventsFor(100); // a few ticks' time
    };
    QElapsedTimer clock;
    clock.start();
    while (platform.messages.isEmpty() && clock.elapsed() < 2000) {
        processEventsFor(5);
    }
    ASSERT_EQ(platform.messages, QStringList{"Game Over !"});
    EXPECT_EQ(platform.parents.at(0), &window);
    EXPECT_FALSE(tickingWhileOpen);
    EXPECT_EQ(game().shaP.Top, topWhileOpen);
    EXPECT_TRUE(game().gameOver);
    EXPECT_FALSE(window.isVisible());
    processEventsFor(100);
    EXPECT_EQ(platform.messages.size(), 1);
    EXPECT_EQ(game().shaP.Top, topWhileOpen);
    EXPECT_TRUE(platform.exitStatuses.empty());
}

TEST_F(GameWindowTest, ChiudiClosesTheWindow) {
    QTest::mouseClick(cmdFine, Qt::LeftButton);
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(window.isTicking());
}

TEST(GameWindowKeys, EnterSpaceOrEscapeAtTheStartCloseTheWindow) {
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space, Qt::Key_Escape}) {
        FakePlatform platform;
        GameWindow window(platform);
        window.show();
        ASSERT_NE(window.focusWidget(), nullptr);
        QTest::keyClick(window.focusWidget(), key);
        EXPECT_FALSE(window.isVisible()) << key;
        EXPECT_FALSE(window.isTicking()) << key;
    }
}

TEST_F(GameWindowTest, CountsTheScoreAsBricksFall) {
    window.game().shaP.Left = 300; // rising into brick 0's bottom edge
    window.game().shaP.Top = 1335;
    window.game().velY = -60;
    window.Timer_Timer();
    EXPECT_EQ(lblPunti->text(), "1");
    EXPECT_FALSE(game().shaX(0).Visible);
}

TEST_F(GameWindowTest, ARunTimeErrorIsReportedAndEndsTheProgram) {
    cmbVel->addItem("40000"); // a speed that does not fit the game's 16-bit numbers
    cmbVel->setFocus();
    while (cmbVel->currentIndex() < 10) {
        QTest::keyClick(cmbVel, Qt::Key_Down); // "80" ... "200" are fine, then "40000"
    }
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_TRUE(platform.messages.at(0).contains("overflow"))
        << platform.messages.at(0).toStdString();
    EXPECT_EQ(platform.exitStatuses, std::vector<int>{1});
    EXPECT_FALSE(window.isTicking());
    press({520, 514}); // nothing more runs
    EXPECT_EQ(game().xPresa, 0);
}

TEST_F(GameWindowTest, DrawsTheShapesInTheirColours) {
    const QImage shot = window.grab().toImage();
    const auto colourAt = [&](int x, int y) { return QColor(shot.pixel(x, y)); };
    EXPECT_EQ(colourAt(48, 88), QColor(192, 255, 255));   // brick 0
    EXPECT_EQ(colourAt(568, 172), QColor(255, 128, 128)); // the ball
    EXPECT_EQ(colourAt(528, 524), QColor(192, 255, 192)); // the paddle
    EXPECT_EQ(colourAt(300, 400), QColor(Qt::white));     // the playfield
    EXPECT_EQ(colourAt(568, 160), QColor(Qt::white));     // above the ball's circle, in its box
}

} // namespace
} // namespace velmora::ui
