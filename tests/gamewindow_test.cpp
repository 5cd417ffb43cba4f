// SPDX-License-Identifier: MIT
#include "gamewindow.h"
#include "playfield.h"
#include "session_support.h"
#include "window_support.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QWheelEvent>
#include <functional>
#include <gtest/gtest.h>
#include <limits>

namespace velmora::qt {
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
    EXPECT_EQ(window.game().shaX.Count(), 1);
    EXPECT_FALSE(window.isTicking()); // no tick before the pyramid
    EXPECT_EQ(window.game().velY, 60);
    window.show();
    EXPECT_EQ(window.game().shaX.Count(), 57);
    EXPECT_TRUE(window.isTicking());
    window.hide();
    window.show(); // a later showing builds nothing more
    EXPECT_EQ(window.game().shaX.Count(), 57);
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

    ui::SessionSeam::game(window).velY = -80; // rising: a pick keeps the direction
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

// Typing an entry's text and leaving the box, by Tab, by a click on another control, or
// by going to another window, is no pick.
TEST_F(GameWindowTest, TypedTextPicksNothingWhenTheFocusLeaves) {
    QWidget elsewhere; // another window of the desktop
    elsewhere.resize(50, 50);
    const std::vector<std::function<void()>> ways = {
        [&] { QTest::keyClick(cmbVel, Qt::Key_Tab); },
        [&] {
            // A press alone on "Chiudi" takes the focus from the box, and does not close it.
            QTest::mousePress(cmdFine, Qt::LeftButton, {}, {2, 2});
        },
        [&] {
            elsewhere.show();
            setActiveWindow(&elsewhere);
            elsewhere.hide();
            setActiveWindow(&window);
        },
    };
    setActiveWindow(&window);
    for (int way = 0; way < static_cast<int>(ways.size()); ++way) {
        for (int entry = 0; entry < cmbVel->count(); ++entry) {
            cmbVel->setFocus();
            ASSERT_TRUE(cmbVel->hasFocus());
            cmbVel->lineEdit()->selectAll();
            QTest::keyClicks(cmbVel, cmbVel->itemText(entry));
            ways[static_cast<std::size_t>(way)]();
            ASSERT_TRUE(way == 2 || !cmbVel->hasFocus()) << "way " << way; // 2 comes back
            EXPECT_EQ(game().velY, 60)
                << "way " << way << ", typed " << cmbVel->itemText(entry).toStdString();
        }
    }
    EXPECT_TRUE(window.isVisible());
}

TEST_F(GameWindowTest, AHeldEnterOrSpacePressesNoButton) {
    ASSERT_EQ(window.focusWidget(), cmdFine);
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space}) {
        for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
            QKeyEvent repeat(type, key, Qt::NoModifier, QString(), true); // a repeat of a held key
            QApplication::sendEvent(cmdFine, &repeat);
        }
    }
    // As X11 sends them: a release and a press at the same time, neither marked as a repeat.
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
        for (const QEvent::Type type : {QEvent::KeyRelease, QEvent::KeyPress}) {
            QKeyEvent repeat(type, key, Qt::NoModifier);
            repeat.setTimestamp(5000);
            QApplication::sendEvent(cmdFine, &repeat);
        }
    }
    EXPECT_TRUE(window.isVisible());
    QTest::keyClick(cmdFine, Qt::Key_Return); // one real press is one action
    EXPECT_FALSE(window.isVisible());
}

TEST_F(GameWindowTest, EndsByItselfWithOneMessageAndNoTickAfter) {
    ui::SessionSeam::game(window).shaP.Left =
        1000; // far from the paddle, its centre 7.5 twips above the floor
    ui::SessionSeam::game(window).shaP.Top = 8100;
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
    ui::SessionSeam::game(window).shaP.Left = 300; // rising into brick 0's bottom edge
    ui::SessionSeam::game(window).shaP.Top = 1335;
    ui::SessionSeam::game(window).velY = -60;
    window.Timer_Timer();
    EXPECT_EQ(lblPunti->text(), "1");
    EXPECT_FALSE(game().shaX(0).Visible);
}

// What the screen shows: the window as it was painted, one update region at a time.
QImage onScreen(QWidget& window) {
    return window.screen()->grabWindow(window.winId()).toImage();
}

TEST_F(GameWindowTest, RepaintsWhatMovedAfterEachTick) {
    processEventsFor(50); // the first, whole painting
    ui::SessionSeam::game(window).shaP.Left =
        300; // rising into brick 0 soon, its trail across the bricks
    ui::SessionSeam::game(window).shaP.Top = 2000;
    ui::SessionSeam::game(window).velY = -60;
    ui::SessionSeam::game(window).velX = 30;
    for (int tick = 0; tick < 40; ++tick) {
        window.Timer_Timer();
        QApplication::sendPostedEvents(&window,
                                       QEvent::UpdateRequest); // paints what the tick asked for
        const QImage painted = onScreen(window);
        const QImage whole = window.grab().toImage().convertToFormat(painted.format());
        ASSERT_EQ(painted.size(), whole.size());
        ASSERT_TRUE(painted == whole) << "after tick " << tick << ": the screen is not the state";
    }
    EXPECT_GE(game().punti, 1); // a brick went too, and the screen showed it
}

TEST_F(GameWindowTest, MinimiseAndRestoreLeaveTheGameRunning) {
    QHideEvent hidden; // what a minimise sends
    QApplication::sendEvent(&window, &hidden);
    EXPECT_TRUE(window.isTicking());
    QShowEvent shown;
    QApplication::sendEvent(&window, &shown);
    window.setWindowState(Qt::WindowMinimized);
    processEventsFor(20);
    window.setWindowState(Qt::WindowNoState);
    EXPECT_TRUE(window.isTicking());
    const float top = game().shaP.Top;
    processEventsFor(100); // six ticks' time
    EXPECT_NE(game().shaP.Top, top);
    EXPECT_EQ(game().shaX.Count(), 57); // and the pyramid is not built twice
}

TEST_F(GameWindowTest, APositionThatIsNoNumberOrFarAwayIsNowhereNearThePaddle) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    for (const QPointF at : {QPointF(nan, 514), QPointF(520, nan), QPointF(inf, -inf),
                             QPointF(-1e300, 514), QPointF(1e12, 1e12)}) {
        press(at);
        EXPECT_EQ(game().xPresa, 0);
    }
    press({520, 514});
    drag({nan, 514});
    drag({1e300, 514});
    release({nan, nan});
    EXPECT_EQ(game().shaB.Left, 7080);
    EXPECT_EQ(game().xPresa, 7800);
    EXPECT_TRUE(platform.messages.isEmpty());
    EXPECT_TRUE(window.isTicking());
}

TEST_F(GameWindowTest, ARunTimeErrorIsReportedAndEndsTheProgram) {
    cmbVel->addItem("40000"); // a speed that does not fit the game's 16-bit numbers
    cmbVel->setFocus();
    while (cmbVel->currentIndex() < 10) {
        QTest::keyClick(cmbVel, Qt::Key_Down); // "80" ... "200" are fine, then "40000"
    }
    EXPECT_EQ(platform.messages, QStringList{"Errore di run-time: overflow"});
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

    ui::SessionSeam::game(window).shaP.Left = 300; // a point, for the score label to show
    ui::SessionSeam::game(window).shaP.Top = 1335;
    ui::SessionSeam::game(window).velY = -60;
    window.Timer_Timer();
    const QImage scored = window.grab().toImage();
    const QRect label = lblPunti->geometry();
    const ui::Colour border = ui::game::scoreBorderColour; // the same on every front end
    EXPECT_EQ(QColor(scored.pixel(label.left(), label.center().y())),
              QColor(border.red, border.green, border.blue));
    EXPECT_EQ(QColor(scored.pixel(label.left() + 3, label.top() + 3)),
              lblPunti->palette().color(QPalette::Base)); // the window-background colour
    int redPixels = 0;
    for (int x = label.left() + 2; x < label.right() - 1; ++x) {
        for (int y = label.top() + 2; y < label.bottom() - 1; ++y) {
            redPixels += QColor(scored.pixel(x, y)) == QColor(255, 0, 0) ? 1 : 0;
        }
    }
    EXPECT_GT(redPixels, 20); // the "1", in red
}

} // namespace
} // namespace velmora::qt
