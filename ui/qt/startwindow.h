// SPDX-License-Identifier: MIT
// frmAvvio, the start window: the picture, "GIOCA" to play a game in the modal game
// window, as often as wanted, and "Fine" to end the program.
#pragma once

#include "units.h"

#include <QWidget>

class QLabel;
class QPushButton;

namespace velmora::qt {

class Platform;

class StartWindow : public QWidget {
    Q_OBJECT

  public:
    explicit StartWindow(Platform& platform, QWidget* parent = nullptr);

    void cmdGioca_Click(); // returns when the game window has closed
    void cmdFine_Click();

  private:
    void layOut(const ui::Scale& scale);

    Platform& platform_;
    QLabel* Image1_;
    QPushButton* cmdGioca_;
    QPushButton* cmdFine_;
};

} // namespace velmora::qt
