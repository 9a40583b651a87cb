#include "temporarydirectory.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>

namespace vodavav::bench {

std::string makeTemporaryDirectory(const char* prefix) {
    std::string pattern =
        (std::filesystem::temp_directory_path() / (std::string(prefix) + "-XXXXXX")).string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot create " + pattern + ": " + std::strerror(errno));
    }
    return pattern;
}

} // namespace vodavav::bench
