#pragma once

#include "platform.h"

#include <memory>

namespace vodavav {

// The platform of the system the program runs on (one source file per operating system).
std::unique_ptr<Platform> makeSystemPlatform();

} // namespace vodavav
