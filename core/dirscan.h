#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <system_error>

namespace vodavav {

// What a directory entry is. Link and Unknown are what the directory read itself tells of a
// symbolic link and of an entry the file system does not type; followedType tells more.
enum class EntryType { Regular, Directory, Link, Other, Unknown };

// The directory being scanned, as its visitor sees it.
class ScannedDirectory {
public:
    // The type of the entry the scan handed over under name, links followed, asked of the open
    // directory itself (no path is built); Unknown when it cannot be told, as for a link to
    // nothing.
    virtual EntryType followedType(std::string_view name) const = 0;

protected:
    ~ScannedDirectory() = default;
};

using EntryVisitor =
    std::function<void(std::string_view name, EntryType type, const ScannedDirectory& directory)>;

// Hands every entry of directory but "." and ".." to visit, in the order the system reads them,
// with the type the read gives. Returns the system's error when the directory cannot be opened
// or read; the entries handed over before a read error stand. The fastest way the system has to
// read a directory: the standard library's builds a whole path for every entry, which doubles the
// cost of a large folder. One source file per system, chosen by the build.
std::error_code scanDirectory(const std::string& directory, const EntryVisitor& visit);

} // namespace vodavav
