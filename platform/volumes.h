#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vodavav {

// The drives of the file browser: the mount points of the mounted file systems that hold files,
// the root first, each once, sorted ignoring letter case.
std::vector<std::string> mountedVolumes();

// The same from a mount table in the format of /proc/self/mounts, without looking at the disk.
std::vector<std::string> volumesFromMountTable(std::string_view table);

} // namespace vodavav
