#include "filesync.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace vodavav {

std::error_code syncToDisk(const std::filesystem::path& path) {
    int fd;
    do {
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        return {errno, std::generic_category()};
    }
    std::error_code result;
    if (::fsync(fd) != 0) {
        result.assign(errno, std::generic_category());
    }
    ::close(fd);
    return result;
}

} // namespace vodavav
