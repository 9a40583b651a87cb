#include "commandline.h"
#include "optionset.h"
#include "systemplatform.h"
#include "tempdir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace vodavav {
namespace {

namespace fs = std::filesystem;
using test::TempDir;
using Texts = std::vector<std::string>;

// What the probe recorded: every value of each key, in order.
using ProbeLog = std::map<std::string, Texts>;

std::optional<ProbeLog> parseLog(const std::string& text) {
    ProbeLog log;
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
        log[text.substr(pos, blank - pos)].push_back(text.substr(colon + 1, length));
        pos = colon + 2 + length;
    }
    return log;
}

// Waits for the probe's log. The deadline only guards against a probe that never ran; the
// probe renames its log into place, so once it exists it is complete.
ProbeLog waitForLog(const std::string& path) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!fs::exists(path)) {
        if (std::chrono::steady_clock::now() > deadline) {
            ADD_FAILURE() << "the probe wrote no log " << path;
            return {};
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    std::ifstream in(path, std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(in), {}};
    std::optional<ProbeLog> log = parseLog(text);
    if (!log) {
        ADD_FAILURE() << "the probe's log is malformed: " << text;
        return {};
    }
    return *log;
}

// The children of this process that have ended without being reaped.
std::vector<pid_t> zombieChildren() {
    std::vector<pid_t> zombies;
    for (const fs::directory_entry& e : fs::directory_iterator("/proc")) {
        std::ifstream in(e.path() / "stat");
        std::string stat;
        if (!std::getline(in, stat)) {
            continue;
        }
        // "pid (name) state ppid ...": the name may hold blanks and parentheses.
        std::istringstream rest(stat.substr(stat.rfind(')') + 1));
        char state = 0;
        pid_t parent = 0;
        rest >> state >> parent;
        if (state == 'Z' && parent == ::getpid()) {
            zombies.push_back(std::stoi(e.path().filename().string()));
        }
    }
    return zombies;
}

// No child at all is left: none running, none ended and unreaped.
void expectNoChildren() {
    EXPECT_EQ(zombieChildren(), std::vector<pid_t>{});
    int status = 0;
    errno = 0;
    EXPECT_EQ(::waitpid(-1, &status, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);
}

// Sets an environment variable for one test and puts the old value back.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : m_name(name) {
        if (const char* old = std::getenv(name)) {
            m_old = old;
        }
        ::setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() {
        if (m_old) {
            ::setenv(m_name, m_old->c_str(), 1);
        } else {
            ::unsetenv(m_name);
        }
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

class Start : public ::testing::Test {
protected:
    // The line a launch builds for the probe, with a switch of two words among others.
    static CommandLine probeLine(const std::string& program, const std::string& rom) {
        OptionSet options;
        options.setValue(Id::cbResMode, 3);
        options.setValue(Id::rgController, 2);
        options.setValue(Id::cbJoySensitivity, 2);
        return buildCommandLine(options, program, rom);
    }

    // Starts line in workingDirectory with the probe logging to a fresh file; returns the log.
    ProbeLog startProbe(const CommandLine& line, const std::string& workingDirectory) {
        const std::string logPath = m_dir / ("log" + std::to_string(++m_runs));
        ScopedEnv log("START_PROBE_LOG", logPath);
        const StartResult result = m_platform->start(line, workingDirectory);
        EXPECT_TRUE(result.started) << result.reason;
        EXPECT_EQ(result.reason, "");
        if (!result.started) {
            return {};
        }
        return waitForLog(logPath);
    }

    TempDir m_dir;
    std::unique_ptr<Platform> m_platform = makeSystemPlatform();
    int m_runs = 0;
};

TEST_F(Start, RomPathArrivesByteForByteWithoutAShell) {
    const std::string work = m_dir.dir("roms");
    const char* const names[] = {
        "My Game (E) [!].sms",
        "it's \"quoted\".sms",
        "$(touch pwned).sms",
        "`touch pwned`.sms",
        "a; touch pwned; .sms",
        "a | touch pwned & .sms",
        "*.sms",
        "back\\slash $HOME.sms",
        "tab\tand\nnewline.sms",
        "  leading blanks.sms",
        "\xff\xfe not utf-8 \x80.sms",
    };
    for (const char* name : names) {
        const CommandLine line = probeLine(START_PROBE, work + "/" + name);
        const ProbeLog log = startProbe(line, work);
        EXPECT_EQ(log.count("arg") ? log.at("arg") : Texts{}, line.arguments) << name;
    }
    // An argument that begins with "-" is an argument like any other.
    const CommandLine dash = probeLine(START_PROBE, "-rom.sms");
    EXPECT_EQ(startProbe(dash, work)["arg"], dash.arguments);
    EXPECT_FALSE(fs::exists(work + "/pwned")) << "a shell ran a piece of the line";
    EXPECT_FALSE(fs::exists("pwned")) << "a shell ran a piece of the line";
}

TEST_F(Start, RunsInTheWorkingDirectoryGiven) {
    const std::string work = m_dir.dir("my roms \xff");
    ProbeLog log = startProbe(probeLine(START_PROBE, work + "/X.SMS"), work);
    EXPECT_EQ(log["cwd"], Texts{fs::canonical(work).string()});
}

TEST_F(Start, BareNameIsLookedUpOnPath) {
    const std::string bin = m_dir.dir("bin");
    fs::create_symlink(START_PROBE, bin + "/vemox-probe");
    ScopedEnv path("PATH", m_dir / "nothing-here" + ":" + bin);
    const CommandLine line = probeLine("vemox-probe", m_dir / "X.SMS");
    ProbeLog log = startProbe(line, m_dir.path());
    EXPECT_EQ(log["arg"], line.arguments);
}

TEST_F(Start, BareNameNotOnPathIsNotRunFromTheWorkingDirectory) {
    const std::string work = m_dir.dir("roms");
    fs::copy_file(START_PROBE, work + "/vemox-probe");
    const std::string bin = m_dir.dir("bin");
    ScopedEnv path("PATH", bin);
    ScopedEnv log("START_PROBE_LOG", m_dir / "log");
    const StartResult result = m_platform->start(probeLine("vemox-probe", work + "/X.SMS"), work);
    EXPECT_FALSE(result.started);
    EXPECT_EQ(result.reason, "No such file or directory");
    expectNoChildren();
}

TEST_F(Start, FailedStartGivesTheSystemsReason) {
    const std::string work = m_dir.dir("roms");
    const std::string folder = m_dir.dir("folder");
    const std::string noExec = m_dir.file("no-exec", "#!/bin/sh\nexit 0\n");
    fs::permissions(noExec, fs::perms(0644));
    const std::string noHashBang = m_dir.file("no-hash-bang", "echo started > started\n");
    fs::permissions(noHashBang, fs::perms(0755));
    const std::string empty = m_dir.file("empty", "");
    fs::permissions(empty, fs::perms(0755));
    struct Row {
        const char* what;
        std::string program;
        std::string workingDirectory;
        const char* reason;
    };
    const Row rows[] = {
        {"missing program", m_dir / "missing/vemox", work, "No such file or directory"},
        {"empty path", "", work, "No such file or directory"},
        {"a directory", folder, work, "Permission denied"},
        {"no execute bit", noExec, work, "Permission denied"},
        {"a script without #! line", noHashBang, work, "Exec format error"},
        {"an empty file", empty, work, "Exec format error"},
        {"working directory vanished", START_PROBE, m_dir / "gone", "No such file or directory"},
    };
    ScopedEnv log("START_PROBE_LOG", m_dir / "log");
    for (const Row& r : rows) {
        const StartResult result =
            m_platform->start(probeLine(r.program, "X.SMS"), r.workingDirectory);
        EXPECT_FALSE(result.started) << r.what;
        EXPECT_EQ(result.reason, r.reason) << r.what;
    }
    EXPECT_FALSE(fs::exists(work + "/started")) << "a shell ran the script";
    expectNoChildren();
}

TEST_F(Start, NeverWaitsForTheProgramAndLeavesNoZombie) {
    const std::string release = m_dir / "release";
    ScopedEnv hold("START_PROBE_HOLD", release);
    const std::string logPath = m_dir / "log";
    ScopedEnv log("START_PROBE_LOG", logPath);
    const StartResult result =
        m_platform->start(probeLine(START_PROBE, m_dir / "X.SMS"), m_dir.path());
    ASSERT_TRUE(result.started) << result.reason;
    // Back here while the probe still waits for the release: the launch did not wait for it.
    EXPECT_FALSE(fs::exists(logPath));
    expectNoChildren();

    m_dir.file("release");
    ProbeLog probe = waitForLog(logPath);
    EXPECT_EQ(probe["hold"], Texts{"released"});
    // Its own session, so the launcher's terminal and signals to its group leave it alone.
    ASSERT_EQ(probe["sid"].size(), 1u);
    EXPECT_NE(std::stol(probe["sid"].front()), static_cast<long>(::getsid(0)));

    // Once the probe has ended it is no zombie of ours.
    ASSERT_EQ(probe["pid"].size(), 1u);
    const std::string stat = "/proc/" + probe["pid"].front() + "/stat";
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (fs::exists(stat) && std::chrono::steady_clock::now() < deadline) {
        std::ifstream in(stat);
        std::string line;
        std::getline(in, line);
        if (line.size() > line.rfind(')') + 2 && line[line.rfind(')') + 2] == 'Z') {
            break; // ended; whose zombie it is, the check below tells
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    expectNoChildren();
}

TEST_F(Start, NoDescriptorBeyondTheStandardOnesReachesTheProgram) {
    // Descriptors the launcher holds open without close-on-exec, as a library might.
    const int devNull = ::open("/dev/null", O_RDONLY);
    ASSERT_GE(devNull, 3);
    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);
    ASSERT_EQ(::dup2(pipeFds[1], 100), 100);

    ProbeLog log = startProbe(probeLine(START_PROBE, m_dir / "X.SMS"), m_dir.path());
    ASSERT_EQ(log["fds"].size(), 1u);
    std::istringstream in(log["fds"].front());
    for (std::string fd; in >> fd;) {
        EXPECT_LE(std::stoi(fd), 2) << "descriptor " << fd << " reached the program";
    }
    ::close(devNull);
    ::close(pipeFds[0]);
    ::close(pipeFds[1]);
    ::close(100);
}

TEST(ShortForm, NamesTheFileOnDiskOrLeavesThePath) {
    TempDir dir;
    dir.file("ALEXKIDD.SMS");
    dir.file("game.gg");
    dir.file("GAME.gg");
    dir.file("Sonic.SMS");
    dir.file("sonic.SMS");
    dir.file("ROM\xff.SMS");
    dir.dir("sub");
    dir.file("sub/Deep.Sc");
    const auto platform = makeSystemPlatform();
    struct Row {
        std::string path;
        std::string shortForm;
    };
    const Row rows[] = {
        {dir / "ALEXKIDD.SMS", dir / "ALEXKIDD.SMS"},
        {dir / "ALEXKIDD.sms", dir / "ALEXKIDD.SMS"},
        {dir / "alexkidd.sms", dir / "ALEXKIDD.SMS"},
        // Names that differ only in letter case each stand for themselves.
        {dir / "game.gg", dir / "game.gg"},
        {dir / "GAME.gg", dir / "GAME.gg"},
        // As launched from the cut names "Sonic" and "sonic" with the extension put back.
        {dir / "Sonic.sms", dir / "Sonic.SMS"},
        {dir / "sonic.sms", dir / "sonic.SMS"},
        {dir / "ROM\xff.sms", dir / "ROM\xff.SMS"},
        {dir / "sub/Deep.sc", dir / "sub/Deep.Sc"},
        {dir.path() + "/sub//Deep.sc", dir.path() + "/sub/Deep.Sc"},
        {dir / "NOPE.sms", dir / "NOPE.sms"},
        {dir / "missing/ALEXKIDD.sms", dir / "missing/ALEXKIDD.sms"},
        {"ALEXKIDD.sms", "ALEXKIDD.sms"},
        {"", ""},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(platform->shortForm(r.path), r.shortForm) << r.path;
    }
}

} // namespace
} // namespace vodavav
