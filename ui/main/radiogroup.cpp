#include "radiogroup.h"

#include <QButtonGroup>
#include <QEvent>
#include <QRadioButton>
#include <QSignalBlocker>

namespace vodavav {

RadioGroup::RadioGroup(const QString& title, const QStringList& items, int columns, QWidget* parent)
    : QGroupBox(title, parent), m_buttons(new QButtonGroup(this)), m_columns(columns) {
    for (int i = 0; i < items.size(); ++i) {
        auto* button = new QRadioButton(items[i], this);
        m_buttons->addButton(button, i);
    }
    connect(m_buttons, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked) {
            emit valueChanged(id);
        }
    });
    arrangeButtons();
}

int RadioGroup::value() const {
    return m_buttons->checkedId();
}

void RadioGroup::setValue(int index) {
    const QSignalBlocker blocker(m_buttons);
    if (QAbstractButton* chosen = m_buttons->button(index)) {
        chosen->setChecked(true);
    } else if (QAbstractButton* current = m_buttons->checkedButton()) {
        // An exclusive group never lets its last checked button go.
        m_buttons->setExclusive(false);
        current->setChecked(false);
        m_buttons->setExclusive(true);
    }
}

QRadioButton* RadioGroup::button(int index) const {
    return qobject_cast<QRadioButton*>(m_buttons->button(index));
}

void RadioGroup::resizeEvent(QResizeEvent* event) {
    QGroupBox::resizeEvent(event);
    arrangeButtons();
}

void RadioGroup::changeEvent(QEvent* event) {
    QGroupBox::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        arrangeButtons();
    }
}

// The buttons fill the box below its caption line: columns of equal width, rows of equal height,
// the rows' spare pixels split above and below.
void RadioGroup::arrangeButtons() {
    const QList<QAbstractButton*> buttons = m_buttons->buttons();
    if (buttons.isEmpty()) {
        return;
    }
    const int count = static_cast<int>(buttons.size());
    const int perColumn = (count + m_columns - 1) / m_columns;
    const int textHeight = fontMetrics().height();
    const int columnWidth = (width() - 10) / m_columns;
    const int spare = height() - textHeight - 5;
    const int rowHeight = spare / perColumn;
    const int top = textHeight + 1 + (spare % perColumn) / 2;
    for (int i = 0; i < count; ++i) {
        m_buttons->button(i)->setGeometry((i / perColumn) * columnWidth + 8,
                                          (i % perColumn) * rowHeight + top, columnWidth,
                                          rowHeight);
    }
}

} // namespace vodavav
