#pragma once

#include "options.h"

#include <array>
#include <functional>
#include <string>

namespace vodavav {

// The values and enabled flags of every option control. Every change goes through setValue or
// setEnabled; a real change is reported to the observer and, for a value, runs the control's
// reaction (the interlocks), so the options stay consistent whoever changed them.
class OptionSet {
public:
    enum class Change { Value, Enabled, Label };
    using Observer = std::function<void(Id, Change)>;

    OptionSet();

    int value(Id id) const { return m_values[index(id)]; }
    bool checked(Id id) const { return value(id) != 0; }
    bool enabled(Id id) const { return m_enabled[index(id)]; }

    // Clamps the value as its control does; returns whether it really changed.
    bool setValue(Id id, int value);
    bool setChecked(Id id, bool on) { return setValue(id, on ? 1 : 0); }
    void setEnabled(Id id, bool on);

    // The text of lblFrameSkip.
    const std::string& frameSkipLabel() const { return m_frameSkipLabel; }
    void setFrameSkipLabel(int position);

    void setObserver(Observer observer) { m_observer = std::move(observer); }

private:
    void notify(Id id, Change change) const;

    std::array<int, kControlCount> m_values{};
    std::array<bool, kControlCount> m_enabled{};
    std::string m_frameSkipLabel;
    Observer m_observer;
};

// "Frame Skip: Disabled" for 0, "Frame Skip: N" otherwise.
std::string frameSkipText(int position);

} // namespace vodavav
