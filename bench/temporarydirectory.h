#pragma once

#include <string>

namespace vodavav::bench {

// A fresh directory under the system's temporary directory, named prefix-XXXXXX.
std::string makeTemporaryDirectory(const char* prefix);

} // namespace vodavav::bench
