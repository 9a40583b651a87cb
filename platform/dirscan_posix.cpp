#include "dirscan.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>

namespace vodavav {

namespace {

EntryType typeOf(unsigned char type) {
    switch (type) {
    case DT_REG:
        return EntryType::Regular;
    case DT_DIR:
        return EntryType::Directory;
    case DT_LNK:
        return EntryType::Link;
    case DT_UNKNOWN:
        return EntryType::Unknown;
    default:
        return EntryType::Other;
    }
}

class PosixDirectory final : public ScannedDirectory {
public:
    explicit PosixDirectory(int fd) : m_fd(fd) {}

    EntryType followedType(std::string_view name) const override {
        // A copy, so that the name need not end in a NUL; a longer one names nothing.
        char terminated[NAME_MAX + 1];
        if (name.size() > NAME_MAX) {
            return EntryType::Unknown;
        }
        std::memcpy(terminated, name.data(), name.size());
        terminated[name.size()] = '\0';
        struct stat status;
        if (::fstatat(m_fd, terminated, &status, 0) != 0) {
            return EntryType::Unknown;
        }
        if (S_ISREG(status.st_mode)) {
            return EntryType::Regular;
        }
        return S_ISDIR(status.st_mode) ? EntryType::Directory : EntryType::Other;
    }

private:
    int m_fd;
};

struct CloseDirectory {
    void operator()(DIR* directory) const { ::closedir(directory); }
};

} // namespace

std::error_code scanDirectory(const std::string& directory, const EntryVisitor& visit) {
    const std::unique_ptr<DIR, CloseDirectory> open(::opendir(directory.c_str()));
    if (!open) {
        return {errno, std::generic_category()};
    }
    const PosixDirectory scanned(::dirfd(open.get()));
    while (true) {
        // Cleared before each read: only then does a null entry with errno set mean an error.
        errno = 0;
        const dirent* entry = ::readdir(open.get());
        if (entry == nullptr) {
            break;
        }
        const std::string_view name(entry->d_name);
        if (name == "." || name == "..") {
            continue;
        }
        visit(name, typeOf(entry->d_type), scanned);
    }
    if (errno != 0) {
        return {errno, std::generic_category()};
    }
    return {};
}

} // namespace vodavav
