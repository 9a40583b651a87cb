#pragma once

#include "platform.h"

namespace vodavav {

// The simple message box and the error box: modal, the application title as caption, one OK
// button, over whichever window of ours is active.
class MessageBoxes : public Messages {
public:
    void message(const std::string& text) override;
    void error(const std::string& text) override;
};

} // namespace vodavav
