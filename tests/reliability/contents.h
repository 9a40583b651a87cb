#pragma once

#include "launcher.h"

namespace vodavav::reliability {

// Two sets of settings that differ in every key a save writes except the ROM directory and the
// last ROM, so that a file mixed from two saves shows at once. which is 'A' or 'B'.
void applyContent(Launcher& launcher, char which);

} // namespace vodavav::reliability
