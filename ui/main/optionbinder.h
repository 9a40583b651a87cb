#pragma once

#include "optionset.h"

#include <QMetaObject>

#include <array>
#include <functional>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QSlider;
class QWidget;

namespace vodavav {

class RadioGroup;

// Ties each option control to its option. A user's change goes to the option set, so its
// reactions run there; every change the option set reports is shown in the bound widget with
// its signals blocked, so showing a value never comes back as a user's change.
class OptionBinder {
public:
    explicit OptionBinder(OptionSet& options);
    ~OptionBinder();
    OptionBinder(const OptionBinder&) = delete;
    OptionBinder& operator=(const OptionBinder&) = delete;

    void bind(Id id, QCheckBox* box);
    void bind(Id id, RadioGroup* group);
    // afterUserChange runs once the user's choice is in the option set.
    void bind(Id id, QComboBox* list, std::function<void()> afterUserChange = {});
    // The label shows the slider's text (the frame-skip label).
    void bind(Id id, QSlider* slider, QLabel* label);

    // Shows every bound option's value and enabled flag.
    void showAll();

private:
    struct Binding {
        QWidget* widget = nullptr;
        std::function<void()> showValue;
    };

    void add(Id id, QWidget* widget, std::function<void()> showValue);
    void userChanged(Id id, int value);
    void changed(Id id, OptionSet::Change change);
    void showLabel();

    OptionSet& m_options;
    std::array<Binding, kControlCount> m_bindings;
    QLabel* m_label = nullptr;
    std::vector<QMetaObject::Connection> m_connections;
};

} // namespace vodavav
