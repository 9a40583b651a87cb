#pragma once

#include <filesystem>
#include <system_error>

namespace vodavav {

// Forces what was written to a file, or a directory's entries, onto the disk. The standard
// library has no such call, so this one service comes from the operating system (one source
// file per system, chosen by the build).
std::error_code syncToDisk(const std::filesystem::path& path);

} // namespace vodavav
