// Settings files that are damaged, enormous or not files at all. Whatever lies in the settings
// file's place, the launcher starts with what it can read and the defaults for the rest, says
// so when it cannot read or write the file, and at exit either writes a file that reads back
// to the same state or reports the write error and leaves what was there untouched.

#include "launcherstate.h"
#include "tally.h"
#include "tempdir.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

namespace vodavav::reliability {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;
using test::TempDir;

// What a path holds, told without opening anything that could block (a FIFO, a device).
std::string snapshotOf(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) {
        return "missing";
    }
    std::string out = "mode " + std::to_string(st.st_mode) + "\n";
    if (S_ISLNK(st.st_mode)) {
        return out + "link to " + fs::read_symlink(path).string();
    }
    if (S_ISDIR(st.st_mode)) {
        for (const fs::directory_entry& e : fs::directory_iterator(path)) {
            out += e.path().filename().string() + "\n";
        }
        return out;
    }
    if (S_ISREG(st.st_mode)) {
        // Root reads any file; what an unprivileged user can read shows as unreadable.
        if (::access(path.c_str(), R_OK) != 0) {
            return out + "unreadable, size " + std::to_string(st.st_size);
        }
        return out + contentOf(path);
    }
    return out;
}

struct Hostile {
    const char* name = "";
    // Puts the hostile thing where the settings file goes.
    std::function<void(const TempDir&, const std::string& file)> make{};
    // A plain file holding exactly what the launcher can read from it.
    std::string readable{};
    // The beginnings of the errors the load must report, in order.
    std::vector<std::string> errors{};
    // The save must be refused, leaving what is there as it was.
    bool saveRefused = false;
    // The file must still hold this after a save.
    std::string kept{};
    bool unprivileged = false;
};

std::function<void(const TempDir&, const std::string&)> content(std::string text) {
    return [text](const TempDir&, const std::string& file) { writeFile(file, text); };
}

std::string repeated(std::string_view piece, std::size_t bytes) {
    std::string out;
    out.reserve(bytes + piece.size());
    while (out.size() < bytes) {
        out += piece;
    }
    return out;
}

std::string unreadable(const std::string& file) {
    return "Unable to read " + file + ": ";
}

// Loads and saves the settings file of dir, prepared by the caller, and returns what went wrong,
// one line each; lines starting with "lost:" are settings that were lost or damaged.
std::string check(const Hostile& h, const TempDir& dir) {
    std::string failures;
    const auto fail = [&](const std::string& what) { failures += what + "\n"; };
    const std::string roms = dir / "roms";
    const std::string file = dir / "vodavav.ini";

    Launcher launcher(roms);
    Settings settings(file);
    const std::vector<std::string> errors = startUp(launcher, settings);

    Launcher expected(roms);
    Settings expectedSettings(dir / "readable.ini");
    startUp(expected, expectedSettings);
    if (stateOf(launcher) != stateOf(expected)) {
        fail("the load did not give what the file holds readably:\n" + stateOf(launcher) +
             "instead of\n" + stateOf(expected));
    }
    if (const std::string outside = valuesOutsideTheirDomain(launcher); !outside.empty()) {
        fail("values outside their domain: " + outside);
    }
    bool errorsAsExpected = errors.size() == h.errors.size();
    for (std::size_t i = 0; errorsAsExpected && i < errors.size(); ++i) {
        errorsAsExpected = errors[i].starts_with(h.errors[i]);
    }
    if (!errorsAsExpected) {
        std::string got;
        for (const std::string& e : errors) {
            got += "  " + e + "\n";
        }
        fail("the load reported " + std::to_string(errors.size()) + " errors:\n" + got);
    }

    std::optional<std::string> refusal;
    try {
        settings.save(launcher);
    } catch (const SettingsWriteError& e) {
        refusal = e.what();
    }
    if (h.saveRefused) {
        if (refusal != "Unable to write to " + file) {
            fail("the save was not refused with the write error");
        }
        return failures;
    }
    if (refusal) {
        fail("the save was refused: " + *refusal);
        return failures;
    }
    Launcher again(roms);
    Settings reread(file);
    const std::vector<std::string> againErrors = startUp(again, reread);
    if (againErrors != errors || stateOf(again) != stateOf(launcher)) {
        fail("lost: the saved file does not read back to the same state:\n" + stateOf(again));
    }
    if (!h.kept.empty() && contentOf(file).find(h.kept) == std::string::npos) {
        fail("lost: the save dropped what the file held besides the settings");
    }
    return failures;
}

int countLost(const std::string& failures) {
    int lost = 0;
    for (std::size_t at = failures.find("lost:"); at != std::string::npos;
         at = failures.find("lost:", at + 1)) {
        ++lost;
    }
    return lost;
}

TEST(HostileSettingsFile, StartsWithWhatItCanReadAndNeverDestroysTheFile) {
    const std::string video = "[VideoSettings]\nResolution=3\nFrameSkip=5\nVideoCache=0\n";
    const std::string dezov = "[DezovESettings]\nVemoxPath=/opt/vemox/vemox\nRomFilter=1\n"
                              "Lastrom=1\nSplashScreen=0\n";
    const std::string junk =
        repeated("[Junk]\nkey=value\nno equals sign here\n;comment\n", 10 * 1024 * 1024);
    const std::string megabyte(1024 * 1024, 'x');
    const std::string continuation(2000, '\x80');
    const auto fifo = [](const TempDir&, const std::string& file) {
        ASSERT_EQ(::mkfifo(file.c_str(), 0644), 0);
    };
    const auto directory = [](const TempDir&, const std::string& file) {
        fs::create_directory(file);
        writeFile(file + "/inside", "kept");
    };
    const auto link = [](std::string target) {
        return [target](const TempDir& dir, const std::string& file) {
            fs::create_symlink(target.starts_with('/') ? target : dir / target, file);
        };
    };
    const auto withMode = [](std::string text, fs::perms mode) {
        return [text, mode](const TempDir&, const std::string& file) {
            writeFile(file, text);
            fs::permissions(file, mode);
        };
    };

    const Hostile cases[] = {
        {.name = "ten megabytes, the settings before and after the junk",
         .make = content(video + junk + dezov),
         .readable = video + dezov,
         .kept = "no equals sign here\n"},
        {.name = "seventeen megabytes: read in part, never cut by a write",
         .make = content(video + repeated("x=y\n", 17 * 1024 * 1024) + dezov),
         .readable = video,
         .errors = {"Only the first 16 MB of "},
         .saveRefused = true},
        {.name = "a single line of a megabyte",
         .make = content(dezov + "VemoxPath=" + megabyte + "\n" + megabyte + "\n" + video),
         .readable = dezov + video},
        {.name = "a text of a megabyte is cut to its first 1023 characters",
         .make = content("[DezovESettings]\nVemoxPath=" + megabyte + "\n"),
         .readable = "[DezovESettings]\nVemoxPath=" + megabyte.substr(0, 1023) + "\n"},
        {.name = "NUL bytes in values, names and lines of their own",
         .make = content("[VideoSettings]\nFrameSkip=3\0\nResolution=2\n\0\0\0\n"
                         "[Emu\0Settings]\nEmuMode=2\n[EmuSettings]\nEmuMode=\0"
                         "4\n[MiscSettings]\nJapa\0nese=1\n3DMode=1\n"s),
         .readable = "[VideoSettings]\nResolution=2\n[MiscSettings]\n3DMode=1\n"},
        {.name = "invalid UTF-8 in names and values",
         .make = content("[VideoSettings]\nResolution=\xff\xfe\nFrameSkip=4\n[\xc3(]\nEmuMode=2\n"
                         "[DezovESettings]\nVemoxPath=/opt/\xff\xfe\xc0\xaf/vemox\n"
                         "\xed\xa0\x80=1\n"),
         .readable = "[VideoSettings]\nFrameSkip=4\n[DezovESettings]\n"
                     "VemoxPath=/opt/\xff\xfe\xc0\xaf/vemox\n"},
        {.name = "a long text of bytes that are no UTF-8 is cut at the limit, not emptied",
         .make = content("[DezovESettings]\nVemoxPath=" + continuation + "\n"),
         .readable = "[DezovESettings]\nVemoxPath=" + continuation.substr(0, 1023) + "\n"},
        {.name = "only a byte-order mark", .make = content("\xEF\xBB\xBF")},
        {.name = "two byte-order marks",
         .make = content("\xEF\xBB\xBF\xEF\xBB\xBF[VideoSettings]\nFrameSkip=2\n"
                         "[EmuSettings]\nEmuMode=3\n"),
         .readable = "[EmuSettings]\nEmuMode=3\n"},
        {.name = "a section header without its closing bracket",
         .make = content("[VideoSettings\nFrameSkip=5\nResolution=3\n[EmuSettings]\nEmuMode=2\n"
                         "[DezovESettings"),
         .readable = "[EmuSettings]\nEmuMode=2\n"},
        {.name = "duplicate sections and keys: the first of each key wins",
         .make = content("[VideoSettings]\nFrameSkip=5\nFrameSkip=7\n[EmuSettings]\nEmuMode=1\n"
                         "[videosettings]\nFrameSkip=2\nResolution=4\n[EmuSettings]\nEmuMode=3\n"),
         .readable = "[VideoSettings]\nFrameSkip=5\nResolution=4\n[EmuSettings]\nEmuMode=1\n"},
        {.name = "old Mac line endings make one line",
         .make = content("[VideoSettings]\rFrameSkip=5\rResolution=2\r")},
        {.name = "a file ending in a CR alone",
         .make = content("[DezovESettings]\r\nVemoxPath=/opt/vemox\r"),
         .readable = "[DezovESettings]\nVemoxPath=/opt/vemox\n"},
        {.name = "a key line before any section",
         .make = content("FrameSkip=6\n" + video),
         .readable = video},
        {.name = "numbers beyond every range",
         .make = content("[VideoSettings]\nFrameSkip=99999999999999999999\n"
                         "Resolution=-2147483649\nVSyncMode=$FFFFFFFFF\n[ControlSettings]\n"
                         "ControllerType=$FFFFFFFF\n[DezovESettings]\nSplashScreen=0x7FFFFFFF\n"
                         "Lastrom=-2147483648\n"),
         .readable = "[ControlSettings]\nControllerType=-1\n[DezovESettings]\n"
                     "SplashScreen=2147483647\nLastrom=-2147483648\n"},
        {.name = "a stored ROM directory that is a FIFO",
         .make =
             [](const TempDir& dir, const std::string& file) {
                 ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0644), 0);
                 writeFile(file, "[DezovESettings]\nRomDirectory=" + (dir / "pipe") + "\n");
             },
         .errors = {"Unable to enter the directory "},
         .kept = "RomDirectory="},
        {.name = "a directory in the file's place",
         .make = directory,
         .errors = {"Unable to read "},
         .saveRefused = true},
        {.name = "a FIFO in the file's place",
         .make = fifo,
         .errors = {"Unable to read "},
         .saveRefused = true},
        {.name = "a link to a device that never ends",
         .make = link("/dev/zero"),
         .errors = {"Unable to read "},
         .saveRefused = true},
        {.name = "a dangling link: the save creates its target", .make = link("nowhere.ini")},
        {.name = "a link into a missing directory",
         .make = link("missing/vodavav.ini"),
         .saveRefused = true},
        {.name = "a loop of links",
         .make =
             [](const TempDir& dir, const std::string& file) {
                 fs::create_symlink(dir / "other.ini", file);
                 fs::create_symlink(file, dir / "other.ini");
             },
         .errors = {"Unable to read "},
         .saveRefused = true},
        {.name = "a file that cannot be read",
         .make = withMode(video + dezov, fs::perms::owner_write),
         .errors = {"Unable to read "},
         .saveRefused = true,
         .unprivileged = true},
        {.name = "a file that cannot be written",
         .make = withMode(video + dezov, fs::perms(0444)),
         .readable = video + dezov,
         .saveRefused = true,
         .unprivileged = true},
    };

    if (!canRunUnprivileged()) {
        GTEST_SKIP() << "running as root and cannot become the user nobody, so files that "
                        "refuse reading or writing would prove nothing";
    }
    for (const Hostile& h : cases) {
        SCOPED_TRACE(h.name);
        count(Count::HostileInput);
        TempDir dir;
        // The user nobody must be able to put a file beside the settings file, or a refused
        // write would prove nothing.
        fs::permissions(dir.path(), fs::perms::all);
        dir.dir("roms");
        dir.file("roms/ALEXKIDD.SMS");
        dir.file("roms/SONIC.SMS");
        dir.file("roms/COLUMNS.GG");
        dir.file("readable.ini", h.readable);
        const std::string file = dir / "vodavav.ini";
        h.make(dir, file);
        const std::string before = snapshotOf(file);

        Hostile expected = h;
        for (std::string& e : expected.errors) {
            if (e == "Unable to read " || e == "Only the first 16 MB of ") {
                e += file;
            }
        }
        const std::optional<std::string> failures =
            h.unprivileged ? asNobody([&] { return check(expected, dir); })
                           : std::optional(check(expected, dir));
        ASSERT_TRUE(failures.has_value());
        int lost = countLost(*failures);
        if (h.saveRefused && snapshotOf(file) != before) {
            ++lost;
            ADD_FAILURE() << "a refused save changed what was there";
        }
        count(Count::SettingsLost, lost);
        EXPECT_EQ(*failures, "");
    }
}

// The real program loads its settings exactly as the window does: what cannot be read must be
// reported and must not keep it from starting, nor change what lies there.
TEST(HostileSettingsFile, VodavavLaunchStartsAndReportsWhatItCannotRead) {
    struct Case {
        const char* name;
        std::function<void(const std::string&)> make;
        bool unprivileged = false;
    };
    const Case cases[] = {
        {"a FIFO", [](const std::string& file) { ASSERT_EQ(::mkfifo(file.c_str(), 0644), 0); }},
        {"a directory", [](const std::string& file) { fs::create_directory(file); }},
        {"an unreadable file",
         [](const std::string& file) {
             writeFile(file, "[DezovESettings]\nVemoxPath=/opt/vemox\n");
             fs::permissions(file, fs::perms::owner_write);
         },
         true},
    };
    if (!canRunUnprivileged()) {
        GTEST_SKIP() << "running as root and cannot become the user nobody";
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        count(Count::HostileInput);
        TempDir dir;
        const std::string rom = dir.file("SONIC.SMS");
        const std::string file = dir / "vodavav.ini";
        c.make(file);
        const std::string before = snapshotOf(file);
        const RunResult run = runProgram({VODAVAV_LAUNCH, "--settings", file, "--dry-run", rom},
                                         dir.path(), {}, c.unprivileged);
        ASSERT_TRUE(run.finished) << "start-up hung";
        if (run.signal != 0) {
            count(Count::Crash);
        }
        EXPECT_EQ(run.signal, 0);
        // Started with the defaults, which hold no emulator path.
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(run.out, "");
        EXPECT_TRUE(run.err.starts_with(unreadable(file))) << run.err;
        EXPECT_NE(run.err.find(". The default settings are used and the file is kept as it "
                               "is.\nPlease set the path for Vemox !!!\n"),
                  std::string::npos)
            << run.err;
        EXPECT_EQ(snapshotOf(file), before);
    }
}

} // namespace
} // namespace vodavav::reliability
