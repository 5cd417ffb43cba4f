// SPDX-License-Identifier: MIT
#include "speedbox.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QScopedValueRollback>

namespace velmora::qt {

namespace {

// The box's text: Enter there does nothing, and losing the focus ends its editing quietly.
class SpeedText final : public QLineEdit {
  public:
    SpeedText(bool& editingEnds, QWidget* parent) : QLineEdit(parent), editingEnds_(editingEnds) {}

  protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            event->accept();
            return;
        }
        QLineEdit::keyPressEvent(event);
    }
    void focusOutEvent(QFocusEvent* event) override {
        const QScopedValueRollback quiet(editingEnds_, true);
        QLineEdit::focusOutEvent(event);
    }

  private:
    bool& editingEnds_;
};

} // namespace

SpeedBox::SpeedBox(QWidget* parent) : QComboBox(parent) {
    setLineEdit(new SpeedText(editingEnds_, this));
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr); // completing a typed text would pick an entry
    connect(this, &QComboBox::activated, this, [this] {
        if (!editingEnds_) {
            emit picked();
        }
    });
}

void SpeedBox::setList(const std::vector<std::string>& list, const std::string& text) {
    const QSignalBlocker quiet(this);
    clear();
    for (const std::string& entry : list) {
        addItem(QString::fromStdString(entry));
    }
    const QString shown = QString::fromStdString(text);
    setCurrentIndex(findText(shown)); // -1 when the text is no entry
    setEditText(shown);
}

} // namespace velmora::qt
