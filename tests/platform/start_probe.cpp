// A stand-in program for the start tests. It records how it was started in the file named by
// START_PROBE_LOG: its descriptors open at entry, its working directory, session and process
// id, then every argument including argv[0]. Each record is "<key> <length>:<bytes>\n", so any
// byte survives. The log is written under another name and renamed, so a reader that sees it
// sees all of it. With START_PROBE_HOLD set, the probe first waits (up to a minute) until that
// file exists, which lets a test see that the launcher did not wait for it.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void record(std::string& out, const char* key, const std::string& value) {
    out += key;
    out += ' ';
    out += std::to_string(value.size());
    out += ':';
    out += value;
    out += '\n';
}

// The descriptors open now, before the probe opens any of its own.
std::string openDescriptors() {
    DIR* d = ::opendir("/proc/self/fd");
    if (d == nullptr) {
        return "unknown";
    }
    const std::string own = std::to_string(::dirfd(d));
    std::string list;
    while (const dirent* e = ::readdir(d)) {
        if (e->d_name[0] == '.' || own == e->d_name) {
            continue;
        }
        list += list.empty() ? "" : " ";
        list += e->d_name;
    }
    ::closedir(d);
    return list;
}

bool waitForFile(const char* path) {
    for (int i = 0; i < 6000; ++i) {
        struct stat st {};
        if (::stat(path, &st) == 0) {
            return true;
        }
        const timespec pause{0, 10'000'000};
        ::nanosleep(&pause, nullptr);
    }
    return false;
}

} // namespace

int main(int argc, char** argv) {
    std::string log;
    record(log, "fds", openDescriptors());
    const char* logPath = std::getenv("START_PROBE_LOG");
    if (logPath == nullptr) {
        return 2;
    }
    if (const char* hold = std::getenv("START_PROBE_HOLD")) {
        record(log, "hold", waitForFile(hold) ? "released" : "timed out");
    }
    std::string cwd(4096, '\0');
    if (::getcwd(cwd.data(), cwd.size()) == nullptr) {
        record(log, "cwd-error", std::strerror(errno));
    } else {
        cwd.resize(std::strlen(cwd.c_str()));
        record(log, "cwd", cwd);
    }
    record(log, "pid", std::to_string(::getpid()));
    record(log, "sid", std::to_string(::getsid(0)));
    for (int i = 0; i < argc; ++i) {
        record(log, "arg", argv[i]);
    }

    const std::string partial = std::string(logPath) + ".partial";
    std::FILE* f = std::fopen(partial.c_str(), "wb");
    if (f == nullptr) {
        return 3;
    }
    const bool written = std::fwrite(log.data(), 1, log.size(), f) == log.size();
    if (std::fclose(f) != 0 || !written || std::rename(partial.c_str(), logPath) != 0) {
        return 4;
    }
    return 0;
}
