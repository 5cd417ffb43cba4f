// The speed box: an editable combo box whose list holds the speeds. Only a pick from the
// list counts: with the mouse in the drop-down list, or with the arrow keys or the wheel
// that step through it. Typing into the text, pressing Enter there or leaving the box
// picks nothing, and never adds to the list.
#pragma once

#include <QComboBox>
#include <string>
#include <vector>

namespace velmora::ui {

class SpeedBox : public QComboBox {
    Q_OBJECT

  public:
    explicit SpeedBox(QWidget* parent);

    // Fills the list and shows `text`; neither counts as a pick.
    void setList(const std::vector<std::string>& list, const std::string& text);

  signals:
    void picked(); // the user picked an entry; currentText() is that entry

  protected:
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace velmora::ui
