#include "optionset.h"

#include "interlocks.h"

namespace vodavav {

OptionSet::OptionSet() {
    for (const Descriptor& d : descriptors().first<kControlCount>()) {
        m_values[index(d.id)] = d.built;
        m_enabled[index(d.id)] = d.builtEnabled;
    }
    m_frameSkipLabel = frameSkipText(value(Id::tbFrameSkip));
}

bool OptionSet::setValue(Id id, int value) {
    const int clamped = clampValue(descriptor(id), value);
    int& slot = m_values[index(id)];
    if (slot == clamped) {
        return false;
    }
    slot = clamped;
    notify(id, Change::Value);
    // A radio group that loses its selection only clears it.
    if (descriptor(id).kind != Kind::Radio || clamped >= 0) {
        interlocks::react(*this, id);
    }
    return true;
}

void OptionSet::setEnabled(Id id, bool on) {
    bool& slot = m_enabled[index(id)];
    if (slot != on) {
        slot = on;
        notify(id, Change::Enabled);
    }
}

void OptionSet::setFrameSkipLabel(int position) {
    std::string text = frameSkipText(position);
    if (text != m_frameSkipLabel) {
        m_frameSkipLabel = std::move(text);
        notify(Id::tbFrameSkip, Change::Label);
    }
}

void OptionSet::notify(Id id, Change change) const {
    if (m_observer) {
        m_observer(id, change);
    }
}

std::string frameSkipText(int position) {
    if (position <= 0) {
        return "Frame Skip: Disabled";
    }
    return "Frame Skip: " + std::to_string(position);
}

} // namespace vodavav
