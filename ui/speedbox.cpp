#include "speedbox.h"

#include <QKeyEvent>
#include <QLineEdit>

namespace velmora::ui {

SpeedBox::SpeedBox(QWidget* parent) : QComboBox(parent) {
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr); // completing a typed text would pick an entry
    connect(this, &QComboBox::activated, this, &SpeedBox::picked);
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

void SpeedBox::keyPressEvent(QKeyEvent* event) {
    // Enter in the text would pick the entry it matches; here it does nothing at all.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QComboBox::keyPressEvent(event);
}

} // namespace velmora::ui
