// SPDX-License-Identifier: MIT
// The speed box: an editable combo box whose list holds the speeds. Only a pick from the
// list counts: with the mouse in the drop-down list, or with the arrow keys or the wheel
// that step through it. Typing into the text, pressing Enter there or leaving the box
// (by Tab, a click elsewhere or another window) picks nothing, and never adds to the list.
#pragma once

#include <QComboBox>
#include <string>
#include <vector>

namespace velmora::qt {

class SpeedBox : public QComboBox {
    Q_OBJECT

  public:
    explicit SpeedBox(QWidget* parent);

    // Fills the list and shows `text`; neither counts as a pick.
    void setList(const std::vector<std::string>& list, const std::string& text);

  signals:
    void picked(); // the user picked an entry; currentText() is that entry

  private:
    // An editable combo box takes the end of editing as a choice of the entry its text
    // matches; while the text's editing ends, that choice is not passed on as a pick.
    bool editingEnds_ = false;
};

} // namespace velmora::qt
