// Saves that are cut short: killed at random moments, racing another save, or meeting a full
// disk. The settings file on disk is always one complete save, the old one or the new one.

#include "contents.h"
#include "settings.h"
#include "tally.h"
#include "tempdir.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <random>
#include <sys/mount.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace vodavav::reliability {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

// A saver process with a pipe to its standard input and one from its standard output.
class Saver {
public:
    explicit Saver(const std::vector<std::string>& args) {
        int in[2];
        int out[2];
        if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0) {
            throw std::runtime_error("pipe failed");
        }
        std::vector<char*> argv{const_cast<char*>(RELIABILITY_SAVER)};
        for (const std::string& a : args) {
            argv.push_back(const_cast<char*>(a.c_str()));
        }
        argv.push_back(nullptr);
        m_pid = ::fork();
        if (m_pid == 0) {
            ::dup2(in[0], 0);
            ::dup2(out[1], 1);
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        ::close(in[0]);
        ::close(out[1]);
        m_in = in[1];
        m_out = out[0];
    }
    ~Saver() {
        if (m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            wait();
        }
        closeInput();
        ::close(m_out);
    }
    Saver(const Saver&) = delete;
    Saver& operator=(const Saver&) = delete;

    // Reads what it has written, waiting at most guardMs for the first byte.
    void receive(int guardMs) {
        pollfd p{m_out, POLLIN, 0};
        int wait = guardMs;
        while (::poll(&p, 1, wait) > 0) {
            char buffer[4096];
            const ssize_t n = ::read(m_out, buffer, sizeof buffer);
            if (n <= 0) {
                break;
            }
            m_received.append(buffer, static_cast<std::size_t>(n));
            wait = 0;
        }
    }
    bool waitReady() {
        receive(60'000);
        if (!m_received.starts_with("ready\n")) {
            return false;
        }
        m_received.erase(0, 6);
        return true;
    }
    // What it wrote after "ready".
    const std::string& received() {
        receive(0);
        return m_received;
    }
    void closeInput() {
        if (m_in >= 0) {
            ::close(m_in);
            m_in = -1;
        }
    }
    void kill() { ::kill(m_pid, SIGKILL); }
    // The wait status.
    int wait() {
        int status = 0;
        while (::waitpid(m_pid, &status, 0) < 0 && errno == EINTR) {
        }
        m_pid = -1;
        return status;
    }

private:
    pid_t m_pid = -1;
    int m_in = -1;
    int m_out = -1;
    std::string m_received;
};

// The temporary files a cut save leaves beside the settings file; removed, and counted.
int removeLeftovers(const std::string& dir) {
    int n = 0;
    for (const fs::directory_entry& e : fs::directory_iterator(dir)) {
        if (e.path().filename().string().ends_with(".tmp")) {
            fs::remove(e.path());
            ++n;
        }
    }
    return n;
}

std::string savedText(const std::string& file, const std::string& roms, char which) {
    Launcher launcher(roms);
    Settings settings(file);
    settings.load(launcher);
    applyContent(launcher, which);
    settings.save(launcher);
    return contentOf(file);
}

// Where the texts differ first, for a readable failure.
std::string firstDifference(const std::string& got, const std::string& a, const std::string& b) {
    const auto at = [&](const std::string& want) {
        std::size_t i = 0;
        while (i < got.size() && i < want.size() && got[i] == want[i]) {
            ++i;
        }
        return i;
    };
    return std::to_string(got.size()) + " bytes, equal to the old one up to byte " +
           std::to_string(at(a)) + " and to the new one up to byte " + std::to_string(at(b));
}

class SaveFaults : public ::testing::Test {
protected:
    void SetUp() override {
        dir.dir("roms");
        dir.file("roms/SONIC.SMS");
        // Unknown lines the save must keep; they make each save long enough for kills to land
        // in the middle of one.
        std::string padding;
        while (padding.size() < 256 * 1024) {
            padding +=
                "; a comment the launcher keeps, line " + std::to_string(padding.size()) + "\n";
        }
        writeFile(file, padding);
        textA = savedText(file, roms, 'A');
        textB = savedText(file, roms, 'B');
        writeFile(file, textA);
        ASSERT_NE(textA, textB);
        ASSERT_NE(textA.find("; a comment the launcher keeps"), std::string::npos);
    }

    TempDir dir;
    std::string roms = dir / "roms";
    std::string file = dir / "vodavav.ini";
    std::string textA;
    std::string textB;
};

// How long one save of the saver takes here, so that the kills can be spread over a few saves
// whatever the machine or the build.
std::chrono::microseconds saveDuration(const std::string& file, const std::string& roms) {
    Saver saver({"loop", file, roms});
    if (!saver.waitReady()) {
        return std::chrono::milliseconds(10);
    }
    const auto start = std::chrono::steady_clock::now();
    // The guard only ends a saver that stopped saving; the test then fails on no saves.
    while (saver.received().size() < 5 &&
           std::chrono::steady_clock::now() - start < std::chrono::seconds(60)) {
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() -
                                                                 start) /
           5;
}

TEST_F(SaveFaults, KilledAtAnyMomentTheFileIsTheOldOrTheNewSave) {
    std::mt19937 random(std::random_device{}());
    const auto save = saveDuration(file, roms);
    long saves = 0;
    int leftovers = 0;
    for (int i = 0; i < 300; ++i) {
        writeFile(file, textA);
        Saver saver({"loop", file, roms});
        ASSERT_TRUE(saver.waitReady());
        // Most kills land within the first three saves; some inside the very first one.
        const auto spread = (i % 3 == 0 ? save : 3 * save).count() + 1;
        std::this_thread::sleep_for(std::chrono::microseconds(random() % spread));
        saver.kill();
        const int status = saver.wait();
        count(Count::Fault);
        if (!WIFSIGNALED(status) || WTERMSIG(status) != SIGKILL) {
            count(Count::Crash);
            ADD_FAILURE() << "the saver ended by itself, status " << status;
        }
        // The saves it finished: after k of them the file holds save k, or save k + 1 when the
        // kill came between its rename and its report. The saves go B, A, B, ...
        const long done = static_cast<long>(saver.received().size());
        saves += done;
        const std::string& now = done % 2 == 0 ? textA : textB;
        const std::string& next = done % 2 == 0 ? textB : textA;
        const std::string onDisk = contentOf(file);
        if (onDisk != now && onDisk != next) {
            count(Count::SettingsLost);
            ADD_FAILURE() << "after " << done << " saves the file holds "
                          << firstDifference(onDisk, now, next);
        }
        leftovers += removeLeftovers(dir.path());
    }
    // Proof that the kills came while saving, not only before the first save.
    EXPECT_GT(saves, 0);
    RecordProperty("saves", std::to_string(saves));
    RecordProperty("leftover_temporary_files", std::to_string(leftovers));
}

TEST_F(SaveFaults, TwoSavesEndingTogetherLeaveOneCompleteSave) {
    for (int i = 0; i < 50; ++i) {
        writeFile(file, textA);
        Saver a({"once", file, roms, "A"});
        Saver b({"once", file, roms, "B"});
        ASSERT_TRUE(a.waitReady());
        ASSERT_TRUE(b.waitReady());
        // Both saves start the moment their input ends.
        b.closeInput();
        a.closeInput();
        const int statusA = a.wait();
        const int statusB = b.wait();
        count(Count::Fault);
        EXPECT_TRUE(WIFEXITED(statusA) && WEXITSTATUS(statusA) == 0) << statusA;
        EXPECT_TRUE(WIFEXITED(statusB) && WEXITSTATUS(statusB) == 0) << statusB;
        const std::string onDisk = contentOf(file);
        if (onDisk != textA && onDisk != textB) {
            count(Count::SettingsLost);
            ADD_FAILURE() << "the file holds " << firstDifference(onDisk, textA, textB);
        }
        EXPECT_EQ(removeLeftovers(dir.path()), 0);
    }
}

// What a save on a full disk does, checked inside a small tmpfs of its own.
std::string fullDisk(const TempDir& dir) {
    const std::string disk = dir.dir("disk");
    if (::mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=64k") != 0) {
        return std::string("skip: cannot mount a tmpfs: ") + std::strerror(errno);
    }
    std::string failures;
    const auto fail = [&](const std::string& what) { failures += what + "\n"; };
    const std::string roms = dir / "roms";
    const std::string file = disk + "/vodavav.ini";
    const std::string textA = savedText(file, roms, 'A');

    // Fills the disk to the last byte.
    const std::string filler = disk + "/filler";
    const auto fill = [&] {
        const int fd = ::open(filler.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
        const std::string block(512, 'f');
        while (::write(fd, block.data(), block.size()) > 0) {
        }
        while (::write(fd, block.data(), 1) > 0) {
        }
        ::close(fd);
    };
    fill();

    const auto saveOutcome = [&](char which) -> std::string {
        Launcher launcher(roms);
        Settings settings(file);
        settings.load(launcher);
        applyContent(launcher, which);
        try {
            settings.save(launcher);
        } catch (const SettingsWriteError& e) {
            return std::string(e.what()) + ": " + e.reason();
        }
        return "saved";
    };
    const std::string refused = "Unable to write to " + file + ": No space left on device";
    if (const std::string outcome = saveOutcome('B'); outcome != refused) {
        fail("a save over the old file on a full disk gave: " + outcome);
    }
    if (contentOf(file) != textA) {
        fail("lost: the full disk cost the old file");
    }
    fs::remove(file);
    fill();
    if (const std::string outcome = saveOutcome('A'); outcome != refused) {
        fail("a first save on a full disk gave: " + outcome);
    }
    // The disk holds the filler alone: no half-written file, no temporary file.
    std::string names;
    for (const fs::directory_entry& e : fs::directory_iterator(disk)) {
        names += e.path().filename().string() + " ";
    }
    if (names != "filler ") {
        fail("the full disk holds: " + names);
    }
    fs::remove(filler);
    if (saveOutcome('B') != "saved" || contentOf(file) != savedText(dir / "copy.ini", roms, 'B')) {
        fail("the save after space came back did not write the whole file");
    }
    ::umount(disk.c_str());
    return failures;
}

TEST(SaveOnAFullDisk, ReportsTheErrorAndKeepsTheOldFile) {
    TempDir dir;
    dir.dir("roms");
    const std::optional<std::string> failures = inOwnMountNamespace([&] { return fullDisk(dir); });
    if (!failures) {
        GTEST_SKIP() << "a full disk needs a tmpfs of its own, mounted by root in a mount "
                        "namespace of its own; this process cannot have one";
    }
    if (failures->starts_with("skip: ")) {
        GTEST_SKIP() << *failures;
    }
    count(Count::Fault, 3);
    if (failures->find("lost:") != std::string::npos) {
        count(Count::SettingsLost);
    }
    EXPECT_EQ(*failures, "");
}

} // namespace
} // namespace vodavav::reliability
