#pragma once

#include <QGroupBox>
#include <QStringList>

class QButtonGroup;
class QRadioButton;

namespace vodavav {

// A framed group of radio buttons laid out in columns, at most one chosen. The value is the
// index of the chosen button, −1 when none is.
class RadioGroup : public QGroupBox {
    Q_OBJECT
public:
    RadioGroup(const QString& title, const QStringList& items, int columns, QWidget* parent);

    int value() const;
    // Shows the choice without reporting it; −1 clears the group.
    void setValue(int index);
    QRadioButton* button(int index) const;

signals:
    // The user chose another button.
    void valueChanged(int index);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void arrangeButtons();

    QButtonGroup* m_buttons;
    int m_columns;
};

} // namespace vodavav
