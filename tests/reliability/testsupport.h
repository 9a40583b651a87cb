#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace vodavav::reliability {

std::string contentOf(const std::string& path);
void writeFile(const std::string& path, const std::string& content);

struct RunResult {
    bool finished = false; // false: still running when the guard ran out, then killed
    int exitCode = -1;     // when it exited
    int signal = 0;        // when a signal ended it
    std::string out;
    std::string err;
};

// Runs a program (no shell) in cwd with extra environment variables. The guard only catches a
// program that hangs: one still running after it is killed and reported as not finished. With
// unprivileged set, a root caller runs it as the user nobody.
RunResult runProgram(const std::vector<std::string>& argv, const std::string& cwd,
                     const std::map<std::string, std::string>& env = {}, bool unprivileged = false,
                     std::chrono::seconds guard = std::chrono::seconds(60));

// Whether this process can run things as an unprivileged user: it is not root, or it is root
// and may become nobody.
bool canRunUnprivileged();

// Runs check as the unprivileged user nobody (in a child when this process is root) and returns
// what it gave back: empty when all held, else the failure. None when privileges cannot be
// dropped, so the caller can skip with the reason.
std::optional<std::string> asNobody(const std::function<std::string()>& check);

// Runs fn in a child process that has a mount namespace of its own, so that whatever it mounts
// vanishes with it. Returns what fn gave back; none when no such namespace can be had (not
// root, or a sandbox that forbids it).
std::optional<std::string> inOwnMountNamespace(const std::function<std::string()>& fn);

// The descriptors this process has open now.
int openDescriptorCount();
// The children of this process that ended and were not reaped.
std::vector<int> zombieChildren();

// Waits for a file to appear; false when the guard ran out first.
bool waitForFile(const std::string& path, std::chrono::seconds guard = std::chrono::seconds(30));

// The arguments (argv[0] first) and working directory that tests/platform's start probe
// recorded in its log; none when the log is malformed.
struct ProbeRecord {
    std::string cwd;
    std::vector<std::string> arguments;
};
std::optional<ProbeRecord> readProbeLog(const std::string& path);

} // namespace vodavav::reliability
