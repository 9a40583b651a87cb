#include "optionbinder.h"

#include "radiogroup.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>

namespace vodavav {

OptionBinder::OptionBinder(OptionSet& options) : m_options(options) {
    m_options.setObserver([this](Id id, OptionSet::Change change) { changed(id, change); });
}

OptionBinder::~OptionBinder() {
    m_options.setObserver({});
    for (const QMetaObject::Connection& connection : m_connections) {
        QObject::disconnect(connection);
    }
}

void OptionBinder::add(Id id, QWidget* widget, std::function<void()> showValue) {
    m_bindings[index(id)] = {widget, std::move(showValue)};
    m_bindings[index(id)].showValue();
    widget->setEnabled(m_options.enabled(id));
}

void OptionBinder::bind(Id id, QCheckBox* box) {
    add(id, box, [this, id, box] {
        const QSignalBlocker blocker(box);
        box->setChecked(m_options.checked(id));
    });
    m_connections.push_back(QObject::connect(box, &QCheckBox::toggled, box,
                                             [this, id](bool on) { userChanged(id, on ? 1 : 0); }));
}

void OptionBinder::bind(Id id, RadioGroup* group) {
    add(id, group, [this, id, group] { group->setValue(m_options.value(id)); });
    m_connections.push_back(QObject::connect(group, &RadioGroup::valueChanged, group,
                                             [this, id](int i) { userChanged(id, i); }));
}

void OptionBinder::bind(Id id, QComboBox* list, std::function<void()> afterUserChange) {
    add(id, list, [this, id, list] {
        const QSignalBlocker blocker(list);
        // An index outside the list shows nothing, as the option set holds it.
        list->setCurrentIndex(m_options.value(id));
    });
    m_connections.push_back(QObject::connect(list, &QComboBox::currentIndexChanged, list,
                                             [this, id, after = std::move(afterUserChange)](int i) {
                                                 userChanged(id, i);
                                                 if (after) {
                                                     after();
                                                 }
                                             }));
}

void OptionBinder::bind(Id id, QSlider* slider, QLabel* label) {
    m_label = label;
    add(id, slider, [this, id, slider] {
        const QSignalBlocker blocker(slider);
        slider->setValue(m_options.value(id));
    });
    showLabel();
    m_connections.push_back(QObject::connect(slider, &QSlider::valueChanged, slider,
                                             [this, id](int v) { userChanged(id, v); }));
}

void OptionBinder::showAll() {
    for (std::size_t i = 0; i < kControlCount; ++i) {
        if (const Binding& b = m_bindings[i]; b.widget != nullptr) {
            b.showValue();
            b.widget->setEnabled(m_options.enabled(static_cast<Id>(i)));
        }
    }
    showLabel();
}

void OptionBinder::userChanged(Id id, int value) {
    m_options.setValue(id, value);
    // The widget shows what the option set holds, also when it kept or clamped the value.
    if (const Binding& b = m_bindings[index(id)]; b.widget != nullptr) {
        b.showValue();
    }
}

void OptionBinder::changed(Id id, OptionSet::Change change) {
    const Binding& b = m_bindings[index(id)];
    switch (change) {
    case OptionSet::Change::Value:
        if (b.widget != nullptr) {
            b.showValue();
        }
        break;
    case OptionSet::Change::Enabled:
        if (b.widget != nullptr) {
            b.widget->setEnabled(m_options.enabled(id));
        }
        break;
    case OptionSet::Change::Label:
        showLabel();
        break;
    }
}

void OptionBinder::showLabel() {
    if (m_label != nullptr) {
        m_label->setText(QString::fromStdString(m_options.frameSkipLabel()));
        m_label->adjustSize();
    }
}

} // namespace vodavav
