// SPDX-License-Identifier: MIT
// frmAvvio, the start window: the picture, "GIOCA" to play a game in the modal game
// window, as often as wanted, and "Fine" to end the program.
#pragma once

#include <QWidget>

class QPushButton;

namespace velmora::ui {

class Platform;

class StartWindow : public QWidget {
    Q_OBJECT

  public:
    explicit StartWindow(Platform& platform, QWidget* parent = nullptr);

    void cmdGioca_Click(); // returns when the game window has closed
    void cmdFine_Click();

  private:
    Platform& platform_;
    QPushButton* cmdGioca_;
    QPushButton* cmdFine_;
};

} // namespace velmora::ui
