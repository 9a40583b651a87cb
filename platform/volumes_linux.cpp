#include "volumes.h"

#include "filelist.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace vodavav {

namespace {

// File systems that only show the kernel's state; they hold no files of the user's.
constexpr std::array<std::string_view, 21> kPseudoTypes{
    "proc",      "sysfs",   "cgroup",      "cgroup2",  "devpts",     "devtmpfs", "mqueue",
    "debugfs",   "tracefs", "securityfs",  "pstore",   "bpf",        "configfs", "fusectl",
    "hugetlbfs", "autofs",  "binfmt_misc", "efivarfs", "rpc_pipefs", "nsfs",     "selinuxfs",
};

// The trees the kernel and the device manager fill themselves.
constexpr std::array<std::string_view, 3> kSystemTrees{"/proc", "/sys", "/dev"};

bool inTree(std::string_view path, std::string_view tree) {
    return path.substr(0, tree.size()) == tree &&
           (path.size() == tree.size() || path[tree.size()] == '/');
}

// The mount table writes blanks, tabs, newlines and backslashes as three octal digits.
std::string unescape(std::string_view field) {
    const auto octal = [](char c) { return c >= '0' && c <= '7'; };
    std::string out;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && octal(field[i + 1]) &&
            octal(field[i + 2]) && octal(field[i + 3])) {
            out += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 +
                                     (field[i + 3] - '0'));
            i += 3;
        } else {
            out += field[i];
        }
    }
    return out;
}

} // namespace

std::vector<std::string> volumesFromMountTable(std::string_view table) {
    std::vector<std::string> volumes;
    std::istringstream lines{std::string(table)};
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string device, mountPoint, type;
        if (!(fields >> device >> mountPoint >> type)) {
            continue;
        }
        const std::string path = unescape(mountPoint);
        const bool pseudo =
            std::find(kPseudoTypes.begin(), kPseudoTypes.end(), type) != kPseudoTypes.end() ||
            std::any_of(kSystemTrees.begin(), kSystemTrees.end(),
                        [&](std::string_view tree) { return inTree(path, tree); });
        if (!pseudo && !path.empty() && path.front() == '/' &&
            std::find(volumes.begin(), volumes.end(), path) == volumes.end()) {
            volumes.push_back(path);
        }
    }
    std::sort(volumes.begin(), volumes.end(),
              [](const std::string& a, const std::string& b) { return lessIgnoringCase(a, b); });
    return volumes;
}

std::vector<std::string> mountedVolumes() {
    std::ifstream file("/proc/self/mounts");
    std::ostringstream table;
    table << file.rdbuf();
    std::vector<std::string> volumes = volumesFromMountTable(table.str());
    // Files mounted over files (a container's /etc/hosts) are no drives.
    std::erase_if(volumes, [](const std::string& path) {
        std::error_code ec;
        return !std::filesystem::is_directory(path, ec);
    });
    if (std::find(volumes.begin(), volumes.end(), "/") == volumes.end()) {
        volumes.insert(volumes.begin(), "/");
    }
    return volumes;
}

} // namespace vodavav
