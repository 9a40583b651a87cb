#include "systemplatform.h"

#include "filelist.h"
#include "text.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace vodavav {

namespace {

std::size_t commonPrefix(std::string_view a, std::string_view b) {
    std::size_t n = 0;
    while (n < a.size() && n < b.size() && a[n] == b[n]) {
        ++n;
    }
    return n;
}

bool isExecutableFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
           ::access(path.c_str(), X_OK) == 0;
}

// A bare name is looked up on PATH, as the shell would, but without a shell. A name found
// nowhere on PATH gives an empty result: executing it as given would run a file of that name
// from the ROM directory.
std::string resolveProgram(const std::string& program) {
    if (program.find('/') != std::string::npos) {
        return program;
    }
    const char* pathVar = std::getenv("PATH");
    std::string_view path = pathVar != nullptr ? pathVar : "/usr/local/bin:/usr/bin:/bin";
    while (true) {
        const std::size_t colon = path.find(':');
        std::string_view dir = path.substr(0, colon);
        const std::string candidate = joinPath(dir.empty() ? "." : dir, program);
        if (isExecutableFile(candidate)) {
            return candidate;
        }
        if (colon == std::string_view::npos) {
            break;
        }
        path.remove_prefix(colon + 1);
    }
    return {};
}

bool writeAll(int fd, const void* data, std::size_t size) {
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::write(fd, p, size);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        p += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

void closeDescriptorsFrom3Except(int keep) {
    const auto first = static_cast<unsigned>(3);
    const auto kept = static_cast<unsigned>(keep);
    if (kept > first && ::close_range(first, kept - 1, 0) != 0 && errno == ENOSYS) {
        for (unsigned fd = first; fd < kept; ++fd) {
            ::close(static_cast<int>(fd));
        }
    }
    if (::close_range(kept + 1, ~0U, 0) != 0 && errno == ENOSYS) {
        const long max = ::sysconf(_SC_OPEN_MAX);
        for (long fd = kept + 1; fd < max; ++fd) {
            ::close(static_cast<int>(fd));
        }
    }
}

class LinuxPlatform final : public Platform {
public:
    std::string shortForm(const std::string& path) override;
    StartResult start(const CommandLine& line, const std::string& workingDirectory) override;
    std::string programPath() override;
};

// Linux has no short names. The list shows cut names and the launch puts the extension back in
// lower case, so hand over the on-disk name of the file the entry stands for: the exact name
// when it exists, else the name that equals it ignoring case and shares the longest exact
// prefix with it (so two files that differ only in case each launch themselves).
std::string LinuxPlatform::shortForm(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0) {
        return path;
    }
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return path;
    }
    const std::string dir = slash == 0 ? "/" : path.substr(0, slash);
    const std::string_view wanted = std::string_view(path).substr(slash + 1);
    DIR* d = ::opendir(dir.c_str());
    if (d == nullptr) {
        return path;
    }
    std::string best;
    std::size_t bestPrefix = 0;
    bool found = false;
    while (const dirent* e = ::readdir(d)) {
        const std::string_view name = e->d_name;
        if (!equalIgnoringCase(name, wanted)) {
            continue;
        }
        const std::size_t prefix = commonPrefix(name, wanted);
        if (!found || prefix > bestPrefix || (prefix == bestPrefix && name < best)) {
            best = name;
            bestPrefix = prefix;
            found = true;
        }
    }
    ::closedir(d);
    return found ? joinPath(dir, best) : path;
}

// Starts the program with its exact arguments, no shell, detached: the child forks the program
// and exits at once, so the launcher reaps it and the program is never a zombie of ours. A pipe
// closed on exec tells whether the exec itself succeeded.
StartResult LinuxPlatform::start(const CommandLine& line, const std::string& workingDirectory) {
    if (line.arguments.empty() || line.arguments.front().empty()) {
        return {false, std::strerror(ENOENT)};
    }
    // The system would cut a text at a NUL byte and start another program or hand over another
    // path than the one stored.
    const auto holdsNul = [](const std::string& s) { return s.find('\0') != std::string::npos; };
    if (holdsNul(workingDirectory) ||
        std::any_of(line.arguments.begin(), line.arguments.end(), holdsNul)) {
        return {false, std::strerror(EINVAL)};
    }
    // Everything the children need is prepared before fork: after it only plain system calls.
    const std::string program = resolveProgram(line.arguments.front());
    if (program.empty()) {
        return {false, std::strerror(ENOENT)};
    }
    std::vector<char*> argv;
    argv.reserve(line.arguments.size() + 1);
    for (const std::string& a : line.arguments) {
        argv.push_back(const_cast<char*>(a.c_str()));
    }
    argv.push_back(nullptr);

    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) {
        return {false, std::strerror(errno)};
    }
    const pid_t child = ::fork();
    if (child < 0) {
        const int error = errno;
        ::close(pipeFds[0]);
        ::close(pipeFds[1]);
        return {false, std::strerror(error)};
    }
    if (child == 0) {
        ::setsid();
        const pid_t grandchild = ::fork();
        if (grandchild != 0) {
            if (grandchild < 0) {
                const int error = errno;
                writeAll(pipeFds[1], &error, sizeof error);
            }
            ::_exit(0);
        }
        ::close(pipeFds[0]);
        if (!workingDirectory.empty() && ::chdir(workingDirectory.c_str()) != 0) {
            const int error = errno;
            writeAll(pipeFds[1], &error, sizeof error);
            ::_exit(127);
        }
        // Only 0, 1 and 2 reach the program (and the pipe, which closes on exec).
        closeDescriptorsFrom3Except(pipeFds[1]);
        ::signal(SIGPIPE, SIG_DFL);
        ::execve(program.c_str(), argv.data(), environ);
        const int error = errno;
        writeAll(pipeFds[1], &error, sizeof error);
        ::_exit(127);
    }
    ::close(pipeFds[1]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    int error = 0;
    ssize_t n;
    do {
        n = ::read(pipeFds[0], &error, sizeof error);
    } while (n < 0 && errno == EINTR);
    ::close(pipeFds[0]);
    if (n == static_cast<ssize_t>(sizeof error)) {
        return {false, std::strerror(error)};
    }
    return {true, {}};
}

std::string LinuxPlatform::programPath() {
    std::vector<char> buffer(PATH_MAX);
    while (true) {
        const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (n < 0) {
            return {};
        }
        if (static_cast<std::size_t>(n) < buffer.size()) {
            return std::string(buffer.data(), static_cast<std::size_t>(n));
        }
        buffer.resize(buffer.size() * 2);
    }
}

} // namespace

std::unique_ptr<Platform> makeSystemPlatform() {
    return std::make_unique<LinuxPlatform>();
}

} // namespace vodavav
