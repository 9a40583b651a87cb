#include "testsupport.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <iterator>
#include <sched.h>
#include <sstream>
#include <stdexcept>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

extern char** environ;

namespace vodavav::reliability {

namespace {

constexpr uid_t kNobody = 65534;

bool becomeNobody() {
    return ::setgroups(0, nullptr) == 0 && ::setgid(kNobody) == 0 && ::setuid(kNobody) == 0 &&
           ::geteuid() == kNobody;
}

bool writeAll(int fd, const std::string& text) {
    const char* p = text.data();
    std::size_t left = text.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    return true;
}

std::string readAll(int fd) {
    std::string out;
    char buffer[4096];
    while (true) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return out;
        }
        out.append(buffer, static_cast<std::size_t>(n));
    }
}

// A file for a child's output, already unlinked: it goes away with its last descriptor.
int anonymousFile() {
    std::string name = (fs::temp_directory_path() / "vodavav-out-XXXXXX").string();
    const int fd = ::mkstemp(name.data());
    if (fd < 0) {
        throw std::runtime_error("cannot create a file for a child's output");
    }
    ::unlink(name.c_str());
    return fd;
}

std::string rewoundContent(int fd) {
    ::lseek(fd, 0, SEEK_SET);
    std::string text = readAll(fd);
    ::close(fd);
    return text;
}

} // namespace

std::string contentOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void writeFile(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
    if (!out.flush()) {
        throw std::runtime_error("cannot write " + path);
    }
}

RunResult runProgram(const std::vector<std::string>& argv, const std::string& cwd,
                     const std::map<std::string, std::string>& env, bool unprivileged,
                     std::chrono::seconds guard) {
    std::vector<char*> args;
    for (const std::string& a : argv) {
        args.push_back(const_cast<char*>(a.c_str()));
    }
    args.push_back(nullptr);
    const int outFd = anonymousFile();
    const int errFd = anonymousFile();

    const pid_t child = ::fork();
    if (child < 0) {
        throw std::runtime_error("fork failed");
    }
    if (child == 0) {
        for (const auto& [name, value] : env) {
            ::setenv(name.c_str(), value.c_str(), 1);
        }
        ::dup2(outFd, 1);
        ::dup2(errFd, 2);
        const int devNull = ::open("/dev/null", O_RDONLY);
        ::dup2(devNull, 0);
        if (::chdir(cwd.c_str()) != 0 || (unprivileged && ::geteuid() == 0 && !becomeNobody())) {
            ::_exit(126);
        }
        ::execve(args[0], args.data(), environ);
        ::_exit(127);
    }
    RunResult result;
    const auto deadline = std::chrono::steady_clock::now() + guard;
    int status = 0;
    while (true) {
        const pid_t done = ::waitpid(child, &status, WNOHANG);
        if (done == child) {
            result.finished = true;
            break;
        }
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    if (WIFEXITED(status)) {
        result.exitCode = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        result.signal = WTERMSIG(status);
    }
    result.out = rewoundContent(outFd);
    result.err = rewoundContent(errFd);
    return result;
}

bool canRunUnprivileged() {
    return asNobody([] { return std::string(); }).has_value();
}

std::optional<std::string> asNobody(const std::function<std::string()>& check) {
    if (::geteuid() != 0) {
        return check();
    }
    constexpr int kCannotDrop = 77;
    int fds[2];
    if (::pipe(fds) != 0) {
        return "pipe failed";
    }
    const pid_t child = ::fork();
    if (child < 0) {
        return "fork failed";
    }
    if (child == 0) {
        ::close(fds[0]);
        if (!becomeNobody()) {
            ::_exit(kCannotDrop);
        }
        std::string failure;
        try {
            failure = check();
        } catch (const std::exception& e) {
            failure = std::string("threw: ") + e.what();
        }
        ::_exit(writeAll(fds[1], failure) ? 0 : 1);
    }
    ::close(fds[1]);
    const std::string failure = readAll(fds[0]);
    ::close(fds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (WIFEXITED(status) && WEXITSTATUS(status) == kCannotDrop) {
        return std::nullopt;
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return "the unprivileged check ended abnormally";
    }
    return failure;
}

std::optional<std::string> inOwnMountNamespace(const std::function<std::string()>& fn) {
    constexpr int kNoNamespace = 77;
    int fds[2];
    if (::pipe(fds) != 0) {
        return "pipe failed";
    }
    const pid_t child = ::fork();
    if (child < 0) {
        return "fork failed";
    }
    if (child == 0) {
        ::close(fds[0]);
        if (::unshare(CLONE_NEWNS) != 0 ||
            ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
            ::_exit(kNoNamespace);
        }
        std::string result;
        try {
            result = fn();
        } catch (const std::exception& e) {
            result = std::string("threw: ") + e.what();
        }
        ::_exit(writeAll(fds[1], result) ? 0 : 1);
    }
    ::close(fds[1]);
    const std::string result = readAll(fds[0]);
    ::close(fds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (WIFEXITED(status) && WEXITSTATUS(status) == kNoNamespace) {
        return std::nullopt;
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return "the child with its own mounts ended abnormally";
    }
    return result;
}

int openDescriptorCount() {
    int n = 0;
    DIR* d = ::opendir("/proc/self/fd");
    if (d == nullptr) {
        return -1;
    }
    while (const dirent* e = ::readdir(d)) {
        if (e->d_name[0] != '.') {
            ++n;
        }
    }
    ::closedir(d);
    return n - 1; // the directory's own descriptor
}

std::vector<int> zombieChildren() {
    std::vector<int> zombies;
    const std::string self = std::to_string(::getpid());
    std::error_code ec;
    for (const fs::directory_entry& e : fs::directory_iterator("/proc", ec)) {
        std::ifstream in(e.path() / "stat");
        std::string stat;
        if (!std::getline(in, stat)) {
            continue;
        }
        // "pid (name) state ppid ...": the name may hold blanks and parentheses.
        const std::size_t close = stat.rfind(')');
        if (close == std::string::npos) {
            continue;
        }
        std::istringstream rest(stat.substr(close + 1));
        std::string state, parent;
        rest >> state >> parent;
        if (state == "Z" && parent == self) {
            zombies.push_back(std::stoi(stat));
        }
    }
    return zombies;
}

bool waitForFile(const std::string& path, std::chrono::seconds guard) {
    const auto deadline = std::chrono::steady_clock::now() + guard;
    while (::access(path.c_str(), F_OK) != 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

std::optional<ProbeRecord> readProbeLog(const std::string& path) {
    const std::string text = contentOf(path);
    ProbeRecord record;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t blank = text.find(' ', pos);
        const std::size_t colon = text.find(':', blank);
        if (blank == std::string::npos || colon == std::string::npos) {
            return std::nullopt;
        }
        const std::size_t length = std::stoul(text.substr(blank + 1, colon - blank - 1));
        if (colon + 1 + length >= text.size() || text[colon + 1 + length] != '\n') {
            return std::nullopt;
        }
        const std::string key = text.substr(pos, blank - pos);
        std::string value = text.substr(colon + 1, length);
        if (key == "arg") {
            record.arguments.push_back(std::move(value));
        } else if (key == "cwd") {
            record.cwd = std::move(value);
        }
        pos = colon + 2 + length;
    }
    return record;
}

} // namespace vodavav::reliability
