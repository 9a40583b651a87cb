// Folders that vanish or refuse entry, emulators that cannot be started, and many launches in a
// row: an error the user is told of, never a crash, the lists always consistent, and nothing
// left behind.

#include "launcher.h"
#include "settings.h"
#include "systemplatform.h"
#include "tally.h"
#include "tempdir.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sys/mount.h>

namespace vodavav::reliability {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;
using test::TempDir;

class RecordedMessages : public Messages {
public:
    void message(const std::string& text) override { shown += "message: " + text + "\n"; }
    void error(const std::string& text) override { shown += "error: " + text + "\n"; }
    std::string shown;
};

// What is wrong with the browser's state; empty when the list, its count, its selection and
// lastFilter agree.
std::string inconsistency(const Launcher& l) {
    std::string out;
    const int k = l.options().value(Id::cbFilter);
    if (k >= 0 && k <= 5) {
        if (l.countLabel() != "Number of Roms: " + std::to_string(l.files().size())) {
            out += "count label " + l.countLabel() + " for " + std::to_string(l.files().size()) +
                   " entries; ";
        }
        if (l.lastFilter() != k) {
            out += "lastFilter " + std::to_string(l.lastFilter()) + " under filter " +
                   std::to_string(k) + "; ";
        }
    }
    if (l.files().selected() >= static_cast<int>(l.files().size())) {
        out += "selection beyond the list; ";
    }
    return out;
}

// Picks filter k as the user does; returns the error the refresh met, empty when none.
std::string chooseFilter(Launcher& l, int k) {
    l.options().setValue(Id::cbFilter, k);
    try {
        l.filterRefresh();
    } catch (const DirectoryError& e) {
        return e.what();
    }
    return {};
}

// Launches with the start probe as the emulator, its log at log; what the user was shown.
std::string launch(const Launcher& l, Platform& platform, const std::string& log,
                   LaunchResult* result = nullptr) {
    ::setenv("START_PROBE_LOG", log.c_str(), 1);
    RecordedMessages messages;
    const LaunchResult r = l.btnLAUNCHClick(platform, messages);
    ::unsetenv("START_PROBE_LOG");
    if (result != nullptr) {
        *result = r;
    }
    return messages.shown;
}

TEST(Folders, RemovedWhileShownThenAFilterChangeAndALaunch) {
    TempDir root;
    const std::string shown = root.dir("shown");
    root.file("shown/ALEXKIDD.SMS");
    root.file("shown/COLUMNS.GG");
    const std::string other = root.dir("other");
    root.file("other/SONIC.SMS");
    const std::unique_ptr<Platform> platform = makeSystemPlatform();
    Launcher l(shown);
    l.emuPath = START_PROBE;
    ASSERT_EQ(chooseFilter(l, 0), "");
    l.files().select(0);

    fs::remove_all(shown);
    count(Count::Fault);
    // The entry is still shown and selected: the start itself fails and says why.
    EXPECT_EQ(launch(l, *platform, root / "log1"),
              "error: Unable to start " + l.emuPath + ": No such file or directory\n");
    EXPECT_EQ(chooseFilter(l, 1),
              "Unable to enter the directory " + shown + ": No such file or directory");
    EXPECT_EQ(inconsistency(l), "");
    EXPECT_EQ(l.files().size(), 0U);
    EXPECT_EQ(launch(l, *platform, root / "log2"), "message: Please select a ROM to launch !!!\n");
    EXPECT_NE(chooseFilter(l, 0), "");
    EXPECT_EQ(inconsistency(l), "");

    // Another directory is entered as if nothing had happened.
    l.directoryChange(other);
    ASSERT_EQ(l.files().entries(), std::vector<std::string>{"SONIC.SMS"});
    l.files().select(0);
    LaunchResult result;
    EXPECT_EQ(launch(l, *platform, root / "log3", &result), "");
    EXPECT_TRUE(result.started);
    EXPECT_TRUE(waitForFile(root / "log3"));
}

TEST(Folders, WithoutPermissionAnErrorAndConsistentLists) {
    struct Case {
        const char* name;
        fs::perms mode;
        bool enters;         // the directory can be listed
        std::string failure; // the reason entering it, or else starting in it, fails
    };
    const Case cases[] = {
        {"no permission at all", fs::perms::none, false, "Permission denied"},
        {"names readable, not enterable", fs::perms(0444), true, "Permission denied"},
        {"enterable, names not readable", fs::perms(0111), false, "Permission denied"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        count(Count::HostileInput);
        TempDir root;
        const std::string start = root.dir("start");
        root.file("start/ALEXKIDD.SMS");
        const std::string locked = root.dir("locked");
        root.file("locked/SONIC.SMS");
        root.file("locked/COLUMNS.GG");
        fs::permissions(locked, c.mode);

        const std::optional<std::string> failure = asNobody([&] {
            const std::unique_ptr<Platform> platform = makeSystemPlatform();
            std::string out;
            Launcher l(start);
            l.emuPath = START_PROBE;
            chooseFilter(l, 1);
            l.files().select(0);
            try {
                l.directoryChange(locked);
                if (!c.enters) {
                    out += "entered; ";
                }
                if (l.files().size() != 1 || l.files().entry(0) != "SONIC") {
                    out += "the names were not listed; ";
                }
                l.files().select(0);
                const std::string shown = launch(l, *platform, "/dev/null");
                if (shown != "error: Unable to start " + l.emuPath + ": " + c.failure + "\n") {
                    out += "the start gave: " + shown;
                }
            } catch (const DirectoryError& e) {
                if (c.enters) {
                    out += "not entered; ";
                }
                if (e.what() != "Unable to enter the directory " + locked + ": " + c.failure) {
                    out += "error "s + e.what() + "; ";
                }
                // Nothing changed: still in the start directory, its entry still selected.
                if (l.romDirectory() != start || l.files().selected() != 0 ||
                    l.files().entries() != std::vector<std::string>{"ALEXKIDD"}) {
                    out += "the failed change moved the launcher; ";
                }
            }
            return out + inconsistency(l);
        });
        if (!failure) {
            GTEST_SKIP() << "running as root and cannot become the user nobody, so a directory "
                            "without permission would prove nothing";
        }
        EXPECT_EQ(*failure, "");
    }
}

std::string vanishedMountPoint(const TempDir& root) {
    const std::string drive = root.dir("drive");
    if (::mount("tmpfs", drive.c_str(), "tmpfs", 0, "size=1m") != 0) {
        return "skip: cannot mount a tmpfs: "s + std::strerror(errno);
    }
    writeFile(drive + "/ALEXKIDD.SMS", "");
    writeFile(drive + "/SONIC.SMS", "");
    const std::unique_ptr<Platform> platform = makeSystemPlatform();
    std::string out;
    Launcher l(drive);
    l.emuPath = START_PROBE;
    chooseFilter(l, 1);
    l.files().select(1);
    if (l.files().size() != 2) {
        out += "the drive was not listed; ";
    }
    // Pulled out: the mount point is an empty directory again, then is removed too.
    ::umount2(drive.c_str(), MNT_DETACH);
    if (const std::string error = chooseFilter(l, 0); !error.empty() || l.files().size() != 0) {
        out += "the bare mount point gave: " + error + "; ";
    }
    out += inconsistency(l);
    fs::remove(drive);
    const std::string error = chooseFilter(l, 1);
    if (error != "Unable to enter the directory " + drive + ": No such file or directory") {
        out += "the vanished mount point gave: " + error + "; ";
    }
    out += inconsistency(l);
    const std::string shown = launch(l, *platform, "/dev/null");
    if (shown != "message: Please select a ROM to launch !!!\n") {
        out += "the launch gave: " + shown;
    }
    return out;
}

TEST(Folders, DriveWhoseMountPointIsGone) {
    TempDir root;
    const std::optional<std::string> failure =
        inOwnMountNamespace([&] { return vanishedMountPoint(root); });
    if (!failure) {
        GTEST_SKIP() << "a drive to pull out needs a tmpfs mounted by root in a mount namespace "
                        "of its own; this process cannot have one";
    }
    if (failure->starts_with("skip: ")) {
        GTEST_SKIP() << *failure;
    }
    count(Count::Fault);
    EXPECT_EQ(*failure, "");
}

TEST(EmulatorPath, ThatCannotBeStartedIsReportedAndTheLauncherGoesOn) {
    struct Case {
        const char* name;
        std::function<std::string(const TempDir&)> make; // returns the emulator path
        int error;
    };
    const auto executable = [](std::string content) {
        return [content](const TempDir& dir) {
            const std::string path = dir.file("vemox", content);
            fs::permissions(path, fs::perms(0755));
            return path;
        };
    };
    const Case cases[] = {
        {"a directory", [](const TempDir& dir) { return dir.dir("vemox"); }, EACCES},
        {"a file without the execute bit",
         [](const TempDir& dir) {
             return dir.file("vemox", "\x7f"
                                      "ELF");
         },
         EACCES},
        {"a script without an interpreter line", executable("echo started\n"), ENOEXEC},
        {"an empty executable file", executable(""), ENOEXEC},
        {"a script whose interpreter is missing", executable("#!/nonexistent/sh\n"), ENOENT},
        {"a path that does not exist", [](const TempDir& dir) { return dir / "nowhere"; }, ENOENT},
        {"a dangling link",
         [](const TempDir& dir) {
             fs::create_symlink(dir / "nowhere", dir / "vemox");
             return dir / "vemox";
         },
         ENOENT},
        {"a bare name found nowhere on PATH", [](const TempDir&) { return "vemox-found-nowhere"s; },
         ENOENT},
        // Cut at the NUL, the path would start another program than the one stored.
        {"a path holding a NUL byte", [](const TempDir&) { return START_PROBE + "\0.old"s; },
         EINVAL},
    };
    const std::unique_ptr<Platform> platform = makeSystemPlatform();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        count(Count::HostileInput);
        TempDir dir;
        dir.file("SONIC.SMS");
        Launcher l(dir.path());
        l.options().setChecked(Id::chExit, true);
        l.files().select(0);
        l.emuPath = c.make(dir);
        LaunchResult result;
        EXPECT_EQ(launch(l, *platform, dir / "log", &result),
                  "error: Unable to start " + l.emuPath + ": " + std::strerror(c.error) + "\n");
        // A launch that did not happen does not end the launcher, whatever "Exit on Launch".
        EXPECT_FALSE(result.started);
        EXPECT_FALSE(result.exitRequested);
        EXPECT_FALSE(fs::exists(dir / "log"));

        l.emuPath = START_PROBE;
        EXPECT_EQ(launch(l, *platform, dir / "log", &result), "");
        EXPECT_TRUE(result.started && result.exitRequested);
        EXPECT_TRUE(waitForFile(dir / "log"));
    }
}

// A ROM directory read from a hostile settings file may hold a NUL byte; cut there, it would
// list and start another directory's files.
TEST(EmulatorPath, RomDirectoryHoldingANulByteIsNeverEntered) {
    count(Count::HostileInput);
    TempDir dir;
    const std::string roms = dir.dir("roms");
    dir.file("roms/SONIC.SMS");
    const std::string stored = roms + "\0/elsewhere"s;
    writeFile(dir / "vodavav.ini", "[DezovESettings]\nRomDirectory=" + stored +
                                       "\nVemoxPath=" + START_PROBE + "\nLastrom=0\n");
    const std::unique_ptr<Platform> platform = makeSystemPlatform();
    Launcher l(dir.path());
    Settings settings(dir / "vodavav.ini");
    const std::vector<std::string> errors = settings.load(l);
    ASSERT_EQ(errors.size(), 1U);
    EXPECT_TRUE(errors[0].starts_with("Unable to enter the directory " + roms +
                                      "\\0/elsewhere: Invalid argument. "))
        << errors[0];
    l.filterRefresh();
    l.files().select(l.lastRom);
    EXPECT_EQ(l.romDirectory(), dir.path());
    EXPECT_EQ(l.files().size(), 0U);
    LaunchResult result;
    EXPECT_EQ(launch(l, *platform, dir / "log", &result),
              "message: Please select a ROM to launch !!!\n");
    EXPECT_FALSE(result.started);
}

TEST(Launches, TwoHundredInARowLeaveNoZombieAndNoDescriptor) {
    TempDir dir;
    dir.file("SONIC.SMS");
    const std::unique_ptr<Platform> platform = makeSystemPlatform();
    Launcher l(dir.path());
    l.emuPath = START_PROBE;
    l.files().select(0);
    const std::string logs = dir.dir("logs");
    const int descriptors = openDescriptorCount();
    for (int i = 0; i < 200; ++i) {
        LaunchResult result;
        ASSERT_EQ(launch(l, *platform, logs + "/" + std::to_string(i), &result), "");
        ASSERT_TRUE(result.started);
    }
    // Every one of them ran to its end.
    for (int i = 0; i < 200; ++i) {
        ASSERT_TRUE(waitForFile(logs + "/" + std::to_string(i)));
    }
    EXPECT_EQ(zombieChildren(), std::vector<int>{});
    EXPECT_EQ(openDescriptorCount(), descriptors);
}

} // namespace
} // namespace vodavav::reliability
