// SPDX-License-Identifier: MIT
#include "gamewindow.h"

#include "input.h"
#include "platform.h"
#include "playfield.h"
#include "speedbox.h"
#include "twips.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <qdrawutil.h>

namespace velmora::qt {

namespace {

// A label whose frame has a colour of its own: a plain frame is drawn in the text's colour,
// so the frame is drawn again over it, in the border's.
class ScoreLabel final : public QLabel {
  public:
    using QLabel::QLabel;

  protected:
    void paintEvent(QPaintEvent* event) override {
        QLabel::paintEvent(event);
        QPainter painter(this);
        qDrawPlainRect(&painter, rect(), qtColour(ui::game::scoreBorderColour), lineWidth());
    }
};

} // namespace

GameWindow::GameWindow(Platform& platform, QWidget* parent, const ui::TickClock* clock)
    : QDialog(parent), platform_(platform), session_(*this, clock ? *clock : steadyClock_) {
    using namespace ui::game;
    setWindowTitle(text(caption));
    ignoreHeldKeys();
    wakeUp_.setSingleShot(true);
    wakeUp_.setTimerType(Qt::PreciseTimer);

    // What the playfield's painting throws ends the program the session's way, once the
    // painting is over: no message box opens inside a paint event.
    frame_ = new Playfield(session_.game(), this, [this](const std::string& message) {
        QMetaObject::invokeMethod(
            this, [this, message] { session_.fail(message); }, Qt::QueuedConnection);
    });
    auto* Label1 = new QLabel(text(ui::game::Label1.caption), this);
    Label1->setObjectName(QString::fromLatin1(ui::game::Label1.name));
    cmbVel_ = new SpeedBox(this);
    auto* Label2 = new QLabel(text(ui::game::Label2.caption), this);
    Label2->setObjectName(QString::fromLatin1(ui::game::Label2.name));

    // Red text on the window-background colour, in a thin frame of the border's colour.
    lblPunti_ = new ScoreLabel(this);
    lblPunti_->setAlignment(Qt::AlignCenter);
    lblPunti_->setFrameStyle(QFrame::Box | QFrame::Plain);
    lblPunti_->setLineWidth(1);
    QPalette scoreColours = lblPunti_->palette();
    scoreColours.setColor(QPalette::Text, qtColour(scoreColour));
    scoreColours.setColor(QPalette::Base, qtColour(scoreBackgroundColour));
    lblPunti_->setPalette(scoreColours);
    lblPunti_->setForegroundRole(QPalette::Text);
    lblPunti_->setBackgroundRole(QPalette::Base);
    lblPunti_->setAutoFillBackground(true);

    cmdFine_ = new QPushButton(text(cmdFine.caption), this);
    // Enter presses the focused button only, never a default one from inside the speed box.
    cmdFine_->setAutoDefault(false);

    fitAndCentre(*this, clientWidth, clientHeight,
                 [this](const ui::Scale& scale) { layOut(scale); });
    // The playfield takes no focus, so "Chiudi" is the first stop, then the speed box.
    applyTabOrder(*this, tabOrder);

    connect(cmdFine_, &QPushButton::clicked, this, &QDialog::close);
    connect(frame_, &Playfield::mouseDown, this,
            [this](Integer button, float x, float y) { session_.mouseDown(button, x, y); });
    connect(frame_, &Playfield::mouseMove, this,
            [this](Integer button, float x, float y) { session_.mouseMove(button, x, y); });
    connect(frame_, &Playfield::mouseUp, this,
            [this](Integer button, float x, float y) { session_.mouseUp(button, x, y); });
    connect(cmbVel_, &SpeedBox::picked, this, &GameWindow::cmbVel_Click);
    connect(&wakeUp_, &QTimer::timeout, this, [this] { session_.wake(); });

    session_.load();
}

// Every control at its place, and every text in its font, at the window's scale.
void GameWindow::layOut(const ui::Scale& scale) {
    using namespace ui::game;
    setFont(qtFont(ui::dialogFont, scale));
    lblPunti_->setFont(qtFont(lblPunti.font, scale));
    place(frame_, frame, scale);
    frame_->setScale(scale);
    place(findChild<QLabel*>(QString::fromLatin1(Label1.name)), Label1, scale);
    place(cmbVel_, cmbVel, scale);
    place(findChild<QLabel*>(QString::fromLatin1(Label2.name)), Label2, scale);
    place(lblPunti_, lblPunti, scale);
    place(cmdFine_, cmdFine, scale);
    resize(twipsRect({0, 0, clientWidth, clientHeight}, scale).size());
    frame_->update();
}

void GameWindow::cmbVel_Click() {
    session_.speedPicked(cmbVel_->currentText().toStdString());
}

void GameWindow::done(int result) {
    session_.closing();
    QDialog::done(result);
}

void GameWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    session_.activate(); // the first showing only
}

// Space reaches the focused button itself; Enter and Escape come here.
void GameWindow::keyPressEvent(QKeyEvent* event) {
    const ui::Key key = uiKey(event->key());
    if (key != ui::Key::Enter && key != ui::Key::Escape) {
        QDialog::keyPressEvent(event);
        return;
    }
    auto* button = qobject_cast<QPushButton*>(focusWidget());
    switch (ui::keyAction({key, event->isAutoRepeat(), button != nullptr, true})) {
    case ui::KeyAction::PressFocused:
        button->click();
        break;
    case ui::KeyAction::CloseGameWindow:
        close();
        break;
    case ui::KeyAction::None:
        break;
    }
}

void GameWindow::showScore(const std::string& caption) {
    lblPunti_->setText(text(caption));
}

void GameWindow::fillSpeedList(const std::vector<std::string>& list, const std::string& shown) {
    cmbVel_->setList(list, shown);
}

void GameWindow::focusFirstControl() {
    cmdFine_->setFocus();
}

void GameWindow::repaintPlayfield(const Shape& place) {
    frame_->repaintPlace(place);
}

void GameWindow::wakeIn(int milliseconds) {
    wakeUp_.start(milliseconds);
}

void GameWindow::stopWaking() {
    wakeUp_.stop();
}

void GameWindow::showMessage(const std::string& message) {
    platform_.message(this, text(message));
    session_.messageDismissed();
}

void GameWindow::closeWindow() {
    close();
}

void GameWindow::endProgram(int status) {
    platform_.quit(status);
}

} // namespace velmora::qt
