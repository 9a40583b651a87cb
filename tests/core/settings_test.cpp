#include "settings.h"

#include "launcher.h"
#include "romfilter.h"
#include "tempdir.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <fstream>
#include <functional>
#include <grp.h>
#include <optional>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace fs = std::filesystem;
using vodavav::descriptor;
using vodavav::descriptors;
using vodavav::Id;
using vodavav::Launcher;
using vodavav::Settings;
using vodavav::SettingsWriteError;
using vodavav::test::TempDir;

namespace {

std::string contentOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

int valueOf(const Launcher& l, Id id) {
    switch (id) {
    case Id::lastRom:
        return l.lastRom;
    case Id::splashScreen:
        return l.splashScreen;
    default:
        return l.options().value(id);
    }
}

// Runs fn in a child process as an unprivileged user and returns the text it gave back. As
// root the child becomes "nobody", since root may write anything and would prove nothing.
std::string asUnprivilegedUser(const std::function<std::string()>& fn) {
    int fds[2];
    if (::pipe(fds) != 0) {
        return "<no pipe>";
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(fds[0]);
        std::string out;
        if (::geteuid() == 0 &&
            (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)) {
            out = "<cannot become nobody>";
        } else {
            try {
                out = fn();
            } catch (const std::exception& e) {
                out = std::string("<exception: ") + e.what() + ">";
            }
        }
        const char* p = out.data();
        std::size_t left = out.size();
        while (left > 0) {
            const ssize_t n = ::write(fds[1], p, left);
            if (n <= 0) {
                break;
            }
            p += n;
            left -= static_cast<std::size_t>(n);
        }
        ::_exit(0);
    }
    ::close(fds[1]);
    std::string out;
    char buffer[4096];
    ssize_t n;
    while ((n = ::read(fds[0], buffer, sizeof buffer)) > 0) {
        out.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return "<child failed>";
    }
    return out;
}

// What save threw, or "<saved>".
std::string saveOutcome(Settings& s, const Launcher& l) {
    try {
        s.save(l);
    } catch (const SettingsWriteError& e) {
        return e.what();
    }
    return "<saved>";
}

class SettingsTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string file = dir / "vodavav.ini";
};

TEST(SettingsFileName, CutsTheWholePathAtItsFirstDot) {
    const std::pair<std::string_view, std::string_view> cases[] = {
        {"/opt/games/vodavav.exe", "/opt/games/vodavav.ini"},
        {"/opt/games/vodavav.tar.gz", "/opt/games/vodavav.ini"},
        {"/opt/v1.5/vodavav", "/opt/v1.ini"},
        {"/home/me/.local/bin/vodavav", "/home/me/.ini"},
        {"/opt/games/vodavav", "/opt/games/.ini"},
        {"/vodavav", "/.ini"},
        {"../bin/vodavav", "../bin/.ini"},
        {"./vodavav", "./.ini"},
        {"vodavav", ".ini"},
    };
    for (const auto& [program, expected] : cases) {
        EXPECT_EQ(vodavav::settingsFileName(program), expected) << program;
    }
}

struct LoadCase {
    const char* what;
    std::optional<std::string> file; // none: there is no settings file
    std::vector<std::pair<Id, int>> values;
    std::vector<std::pair<Id, bool>> enabled;
    std::optional<std::string> frameSkipLabel = std::nullopt;
    std::optional<std::string> emuPath = std::nullopt;
    std::optional<std::string> mask = std::nullopt;
};

TEST_F(SettingsTest, LoadAppliesStoredValuesWithTheirReactions) {
    const std::string longPath = "/" + std::string(1099, 'p');
    const LoadCase cases[] = {
        {"no file: the stored defaults",
         std::nullopt,
         {{Id::cbResMode, 0},
          {Id::chVESADetection, 1},
          {Id::chVideoCache, 1},
          {Id::tbFrameSkip, 0},
          {Id::chSpriteCollision, 0},
          {Id::cbSNESPort, 0},
          {Id::cbJoySensitivity, 2},
          {Id::cbCommPort, 0},
          {Id::chMMX, 1},
          {Id::chPentium, 1},
          {Id::chNoEnter, 0},
          {Id::chSound, 1},
          {Id::cbFilter, 0},
          {Id::lastRom, 0},
          {Id::splashScreen, 1}},
         {{Id::cbSNESPort, false},
          {Id::cbJoySensitivity, false},
          {Id::rgClientServer, false},
          {Id::cbCommPort, false},
          {Id::rgVideoMode, true}},
         "Frame Skip: Disabled",
         "",
         std::string(vodavav::kAllRomsMask)},
        {"frame skip clamped, label set",
         "[VideoSettings]\nFrameSkip=12\n",
         {{Id::tbFrameSkip, 8}},
         {},
         "Frame Skip: 8"},
        {"controller clamped to SNES Pad runs its reaction",
         "[ControlSettings]\nControllerType=9\n",
         {{Id::rgController, 6}},
         {{Id::cbSNESPort, true}, {Id::cbJoySensitivity, false}}},
        {"controller Joystick enables the sensitivity",
         "[ControlSettings]\nControllerType=2\nJoySensitivity=5\n",
         {{Id::rgController, 2}, {Id::cbJoySensitivity, 5}},
         {{Id::cbSNESPort, false}, {Id::cbJoySensitivity, true}}},
        {"controller Default: no reaction, both lists stay disabled",
         "[ControlSettings]\nControllerType=0\nSnesPort=1\n",
         {{Id::rgController, 0}, {Id::cbSNESPort, 1}},
         {{Id::cbSNESPort, false}, {Id::cbJoySensitivity, false}}},
        {"border effects force the video mode, which is read afterwards",
         "[VideoSettings]\nBorderRaster=1\nVideoMode=2\n",
         {{Id::rgVideoMode, 2}, {Id::chPalRaster, 1}, {Id::chBorderRaster, 1}},
         {{Id::rgVideoMode, false}, {Id::chPalRaster, false}}},
        {"palette effects stored off but forced on by border effects",
         "[VideoSettings]\nPALRaster=0\nBorderRaster=1\n",
         {{Id::rgVideoMode, 0}, {Id::chPalRaster, 1}},
         {{Id::rgVideoMode, false}, {Id::chPalRaster, false}}},
        {"PSG graph read after video cache turns the cache off",
         "[VideoSettings]\nVideoCache=1\n[MiscSettings]\nPSGGraph=1\n",
         {{Id::chVideoCache, 0}, {Id::chPSGGraph, 1}},
         {{Id::chVideoCache, false}}},
        {"link-up enables its controls",
         "[CommSettings]\nCommEnable=1\nClientServer=1\nCommPort=3\n",
         {{Id::chEnableComms, 1}, {Id::rgClientServer, 1}, {Id::cbCommPort, 3}},
         {{Id::rgClientServer, true}, {Id::cbCommPort, true}}},
        {"lists beyond their choices select nothing, radio groups clamp",
         "[VideoSettings]\nResolution=9\nVSyncMode=-5\n[ControlSettings]\nSnesPort=2\n",
         {{Id::cbResMode, -1}, {Id::rgVsync, -1}, {Id::cbSNESPort, -1}},
         {}},
        {"long emulator path cut",
         "[DezovESettings]\nVemoxPath=" + longPath + "\n",
         {},
         {},
         std::nullopt,
         longPath.substr(0, 1023)},
        {"hexadecimal numbers",
         "[VideoSettings]\nVideoCache=0x0\nVesaDetect=7\nResolution=0X4\n[EmuSettings]\n"
         "EmuMode=$3\n[DezovESettings]\nSplashScreen=$FFFFFFFF\nLastrom=0x7fffffff\n",
         {{Id::chVideoCache, 0},
          {Id::chVESADetection, 1},
          {Id::cbResMode, 4},
          {Id::rgEmuMode, 3},
          {Id::splashScreen, -1},
          {Id::lastRom, INT_MAX}},
         {}},
        {"signed and blank-led decimals",
         "[DezovESettings]\nLastrom=-2147483648\nSplashScreen=\"   +42\"\n"
         "[VideoSettings]\nFrameSkip=\" \t-3\"\n",
         {{Id::lastRom, INT_MIN}, {Id::splashScreen, 42}, {Id::tbFrameSkip, 0}},
         {}},
        {"what is not a number gives the key's default",
         "[DezovESettings]\nLastrom=12abc\nSplashScreen=\n[ControlSettings]\nJoySensitivity=0x\n"
         "[VideoSettings]\nVesaDetect=$1FFFFFFFF\nVideoCache=2147483648\nFrameSkip=1.5\n"
         "[MiscSettings]\nMMX=- 0\nPentiumDetect=$-1\nEnableSound=++0\n[EmuSettings]\n"
         "EmuMode=$G\n",
         {{Id::lastRom, 0},
          {Id::splashScreen, 1},
          {Id::cbJoySensitivity, 2},
          {Id::chVESADetection, 1},
          {Id::chVideoCache, 1},
          {Id::tbFrameSkip, 0},
          {Id::chMMX, 1},
          {Id::chPentium, 1},
          {Id::chSound, 1},
          {Id::rgEmuMode, 0}},
         {}},
        {"names in other letter cases",
         "[videosettings]\nframeskip=3\n[DEZOVESETTINGS]\nVEMOXPATH=/emu/vemox\nromFILTER=2\n",
         {{Id::tbFrameSkip, 3}, {Id::cbFilter, 2}},
         {},
         "Frame Skip: 3",
         "/emu/vemox",
         "*.gg"},
        {"a file as Windows writes it",
         "[VideoSettings]\r\nResolution=2\r\nFrameSkip=4\r\n\r\n[DezovESettings]\r\n"
         "ExitOnLaunch=1\r\nVemoxPath=C:\\VEMOX\\VEMOX.EXE\r\nSplashScreen=0\r\n",
         {{Id::cbResMode, 2}, {Id::tbFrameSkip, 4}, {Id::chExit, 1}, {Id::splashScreen, 0}},
         {},
         "Frame Skip: 4",
         "C:\\VEMOX\\VEMOX.EXE"},
        {"filter beyond the list leaves the mask",
         "[DezovESettings]\nRomFilter=9\n",
         {{Id::cbFilter, -1}},
         {},
         std::nullopt,
         std::nullopt,
         std::string(vodavav::kAllRomsMask)},
    };
    for (const LoadCase& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove(file);
        if (c.file) {
            dir.file("vodavav.ini", *c.file);
        }
        Launcher l(dir.path());
        Settings s(file);
        EXPECT_EQ(s.load(l), std::vector<std::string>{});
        for (const auto& [id, value] : c.values) {
            EXPECT_EQ(valueOf(l, id), value) << descriptor(id).key;
        }
        for (const auto& [id, on] : c.enabled) {
            EXPECT_EQ(l.options().enabled(id), on) << descriptor(id).name;
        }
        if (c.frameSkipLabel) {
            EXPECT_EQ(l.options().frameSkipLabel(), *c.frameSkipLabel);
        }
        if (c.emuPath) {
            EXPECT_EQ(l.emuPath, *c.emuPath);
        }
        if (c.mask) {
            EXPECT_EQ(l.files().mask(), *c.mask);
        }
        EXPECT_EQ(l.lastFilter(), 0);
        EXPECT_EQ(l.romDirectory(), dir.path());
    }
}

TEST_F(SettingsTest, SaveFromNothingWritesAllKeysInOrder) {
    Launcher l(dir.path());
    Settings s(file);
    s.load(l);
    s.save(l);
    EXPECT_EQ(contentOf(file), "[VideoSettings]\n"
                               "Resolution=0\n"
                               "VesaDetect=1\n"
                               "VideoCache=1\n"
                               "FrameSkip=0\n"
                               "SpriteCollision=0\n"
                               "LCDPersistence=0\n"
                               "PALRaster=0\n"
                               "BorderRaster=0\n"
                               "VSyncMode=0\n"
                               "VideoMode=0\n"
                               "\n"
                               "[EmuSettings]\n"
                               "EmuMode=0\n"
                               "\n"
                               "[ControlSettings]\n"
                               "ControllerType=0\n"
                               "SnesPort=0\n"
                               "JoySensitivity=2\n"
                               "\n"
                               "[CommSettings]\n"
                               "CommEnable=0\n"
                               "ClientServer=0\n"
                               "CommPort=0\n"
                               "\n"
                               "[MiscSettings]\n"
                               "MMX=1\n"
                               "PentiumDetect=1\n"
                               "SkipStartUp=0\n"
                               "EnableSound=1\n"
                               "EnablePCSpeaker=0\n"
                               "Japanese=0\n"
                               "CPUGraph=0\n"
                               "PSGGraph=0\n"
                               "3DMode=0\n"
                               "2DMode=0\n"
                               "\n"
                               "[DezovESettings]\n"
                               "ExitOnLaunch=0\n"
                               "RomFilter=0\n"
                               "RomDirectory=" +
                                   dir.path() +
                                   "\n"
                                   "VemoxPath=\n"
                                   "Lastrom=-1\n"
                                   "SplashScreen=1\n");
}

TEST_F(SettingsTest, SaveKeepsWhatItDoesNotKnow) {
    dir.file("vodavav.ini", "; my notes\r\n"
                            "[Mine]\r\n"
                            "x = 1\r\n"
                            "\r\n"
                            "[videosettings]\r\n"
                            "Unknown=keep me\r\n"
                            "RESOLUTION = 3\r\n"
                            "; about the cache\r\n"
                            "\r\n"
                            "[DezovESettings]\r\n"
                            "VemoxPath=/emu\r\n"
                            "Later=also kept\r\n");
    Launcher l(dir.path());
    Settings s(file);
    s.load(l);
    l.options().setValue(Id::tbFrameSkip, 5);
    s.save(l);
    EXPECT_EQ(contentOf(file), "; my notes\r\n"
                               "[Mine]\r\n"
                               "x = 1\r\n"
                               "\r\n"
                               "[videosettings]\r\n"
                               "Unknown=keep me\r\n"
                               "Resolution=3\r\n"
                               "; about the cache\r\n"
                               "VesaDetect=1\r\n"
                               "VideoCache=1\r\n"
                               "FrameSkip=5\r\n"
                               "SpriteCollision=0\r\n"
                               "LCDPersistence=0\r\n"
                               "PALRaster=0\r\n"
                               "BorderRaster=0\r\n"
                               "VSyncMode=0\r\n"
                               "VideoMode=0\r\n"
                               "\r\n"
                               "[DezovESettings]\r\n"
                               "VemoxPath=/emu\r\n"
                               "Later=also kept\r\n"
                               "ExitOnLaunch=0\r\n"
                               "RomFilter=0\r\n"
                               "RomDirectory=" +
                                   dir.path() +
                                   "\r\n"
                                   "Lastrom=-1\r\n"
                                   "SplashScreen=1\r\n"
                                   "\r\n"
                                   "[EmuSettings]\r\n"
                                   "EmuMode=0\r\n"
                                   "\r\n"
                                   "[ControlSettings]\r\n"
                                   "ControllerType=0\r\n"
                                   "SnesPort=0\r\n"
                                   "JoySensitivity=2\r\n"
                                   "\r\n"
                                   "[CommSettings]\r\n"
                                   "CommEnable=0\r\n"
                                   "ClientServer=0\r\n"
                                   "CommPort=0\r\n"
                                   "\r\n"
                                   "[MiscSettings]\r\n"
                                   "MMX=1\r\n"
                                   "PentiumDetect=1\r\n"
                                   "SkipStartUp=0\r\n"
                                   "EnableSound=1\r\n"
                                   "EnablePCSpeaker=0\r\n"
                                   "Japanese=0\r\n"
                                   "CPUGraph=0\r\n"
                                   "PSGGraph=0\r\n"
                                   "3DMode=0\r\n"
                                   "2DMode=0\r\n");
}

TEST_F(SettingsTest, RefusedWriteReportsTheFileAndLeavesItUntouched) {
    const std::string old = "; the user's own\n[VideoSettings]\nFrameSkip=3\n";
    struct Case {
        const char* what;
        fs::perms dirMode;
        fs::perms fileMode;
    };
    // A read-only file in a directory anyone may write to: renaming over it would work, and
    // must not be done. A read-only directory: no new file can be made beside the old one.
    const Case cases[] = {
        {"read-only file", fs::perms(0777), fs::perms(0444)},
        {"read-only directory", fs::perms(0555), fs::perms(0666)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string sub = dir.dir(c.what);
        const std::string target = dir.file(std::string(c.what) + "/vodavav.ini", old);
        fs::permissions(target, c.fileMode);
        fs::permissions(sub, c.dirMode);
        Launcher l(dir.path());
        Settings s(target);
        s.load(l);
        l.options().setValue(Id::tbFrameSkip, 7);
        EXPECT_EQ(asUnprivilegedUser([&] { return saveOutcome(s, l); }),
                  "Unable to write to " + target);
        EXPECT_EQ(contentOf(target), old);
        EXPECT_EQ(fs::status(target).permissions(), c.fileMode);
        EXPECT_EQ(std::distance(fs::directory_iterator(sub), fs::directory_iterator()), 1);
    }
}

TEST_F(SettingsTest, UnreadableFileIsReportedAndNeverWrittenOver) {
    const std::string old = "[VideoSettings]\nFrameSkip=3\n";
    dir.file("vodavav.ini", old);
    fs::permissions(file, fs::perms(0200));
    fs::permissions(dir.path(), fs::perms(0777));
    const std::string outcome = asUnprivilegedUser([&] {
        Launcher l(dir.path());
        Settings s(file);
        std::string out;
        for (const std::string& e : s.load(l)) {
            out += e + "|";
        }
        out += std::to_string(l.options().value(Id::tbFrameSkip)) + "|";
        return out + saveOutcome(s, l);
    });
    EXPECT_EQ(outcome, "Unable to read " + file +
                           ": Permission denied. The default settings are used and the file is "
                           "kept as it is.|0|Unable to write to " +
                           file);
    fs::permissions(file, fs::perms(0600));
    EXPECT_EQ(contentOf(file), old);
}

TEST_F(SettingsTest, SaveWritesThroughALinkAndKeepsPermissionBits) {
    dir.dir("store");
    const std::string target = dir.file("store/real.ini", "[VideoSettings]\nFrameSkip=3\n");
    fs::permissions(target, fs::perms(0640));
    fs::create_symlink("store/real.ini", file);
    Launcher l(dir.path());
    Settings s(file);
    s.load(l);
    EXPECT_EQ(l.options().value(Id::tbFrameSkip), 3);
    l.options().setValue(Id::tbFrameSkip, 6);
    s.save(l);
    EXPECT_TRUE(fs::is_symlink(file));
    EXPECT_EQ(fs::status(target).permissions(), fs::perms(0640));
    EXPECT_NE(contentOf(target).find("FrameSkip=6\n"), std::string::npos);
}

TEST_F(SettingsTest, StoredDirectoryThatCannotBeEnteredIsKept) {
    const std::string gone = dir / "gone";
    dir.file("vodavav.ini", "[DezovESettings]\nRomDirectory=" + gone +
                                "\nLastrom=3\nSplashScreen=0\nVemoxPath=/emu\n");
    Launcher l(dir.path());
    Settings s(file);
    EXPECT_EQ(s.load(l),
              std::vector<std::string>{"Unable to enter the directory " + gone +
                                       ": No such file or directory. The list shows " + dir.path() +
                                       "; the stored directory stays in the settings until you "
                                       "choose another one."});
    EXPECT_EQ(l.romDirectory(), dir.path());
    EXPECT_EQ(l.lastRom, 3);
    EXPECT_EQ(l.splashScreen, 0);
    EXPECT_EQ(l.emuPath, "/emu");

    s.save(l);
    EXPECT_NE(contentOf(file).find("RomDirectory=" + gone + "\n"), std::string::npos);

    const std::string other = dir.dir("other");
    l.directoryChange(other);
    s.save(l);
    EXPECT_NE(contentOf(file).find("RomDirectory=" + other + "\n"), std::string::npos);
}

struct Snapshot {
    std::array<int, vodavav::kControlCount> values{};
    std::array<bool, vodavav::kControlCount> enabled{};
    std::string label, emuPath, directory, mask;
    int lastRom = 0, splash = 0;
};

Snapshot snapshot(const Launcher& l, int lastRom) {
    Snapshot s;
    for (const vodavav::Descriptor& d : descriptors().first<vodavav::kControlCount>()) {
        s.values[vodavav::index(d.id)] = l.options().value(d.id);
        s.enabled[vodavav::index(d.id)] = l.options().enabled(d.id);
    }
    s.label = l.options().frameSkipLabel();
    s.emuPath = l.emuPath;
    s.directory = l.romDirectory();
    s.mask = l.files().mask();
    s.lastRom = lastRom;
    s.splash = l.splashScreen;
    return s;
}

TEST_F(SettingsTest, EverythingSurvivesASaveAndALoad) {
    const std::string roms = dir.dir("roms");
    for (const char* name : {"a.rom", "b.rom", "c.rom"}) {
        dir.file(std::string("roms/") + name);
    }
    Launcher before(dir.path());
    Settings(file).load(before);
    // Every control away from its stored default, in the file's order, so the reactions leave
    // the same state that the load rebuilds.
    for (const vodavav::Descriptor& d : descriptors().first<vodavav::kControlCount>()) {
        const int last = d.kind == vodavav::Kind::Position ? vodavav::kPositionMax
                         : d.kind == vodavav::Kind::Check  ? 1
                                                           : static_cast<int>(d.choices.size()) - 1;
        before.options().setValue(d.id, d.absent == last ? 0 : last);
    }
    before.emuPath = "/opt/vemox/vemox";
    before.splashScreen = 0;
    before.directoryChange(roms);
    before.files().select(1);
    const Snapshot saved = snapshot(before, before.files().selected());
    for (const vodavav::Descriptor& d : descriptors().first<vodavav::kControlCount>()) {
        EXPECT_NE(saved.values[vodavav::index(d.id)], d.absent) << d.key;
    }
    Settings(file).save(before);

    Launcher after(dir.path());
    Settings(file).load(after);
    const Snapshot loaded = snapshot(after, after.lastRom);
    EXPECT_EQ(loaded.values, saved.values);
    EXPECT_EQ(loaded.enabled, saved.enabled);
    EXPECT_EQ(loaded.label, saved.label);
    EXPECT_EQ(loaded.emuPath, saved.emuPath);
    EXPECT_EQ(loaded.directory, saved.directory);
    EXPECT_EQ(loaded.mask, saved.mask);
    EXPECT_EQ(loaded.lastRom, saved.lastRom);
    EXPECT_EQ(loaded.splash, saved.splash);
    EXPECT_EQ(after.files().entries(), (std::vector<std::string>{"a", "b", "c"}));

    // Saving what was loaded writes the same bytes.
    const std::string first = contentOf(file);
    after.files().select(after.lastRom);
    Settings(file).save(after);
    EXPECT_EQ(contentOf(file), first);
}

TEST_F(SettingsTest, TextsWithBlanksOrQuotesReadBackExactly) {
    for (const std::string& path : {std::string("  /opt/my emu/vemox  "),
                                    std::string("\"C:\\VEMOX\\VEMOX.EXE\""), std::string("\t\"")}) {
        Launcher l(dir.path());
        l.emuPath = path;
        Settings(file).save(l);
        Launcher back(dir.path());
        Settings(file).load(back);
        EXPECT_EQ(back.emuPath, path);
    }
}

TEST_F(SettingsTest, DirectoryWithALineBreakKeepsTheStoredOne) {
    const std::string odd = dir.dir("two\nlines");
    for (const std::string& before :
         {std::string("[DezovESettings]\nRomDirectory=/old/roms\nLastrom=0\n"),
          std::string("[VideoSettings]\nFrameSkip=1\n")}) {
        SCOPED_TRACE(before);
        dir.file("vodavav.ini", before);
        Launcher l(dir.path());
        Settings s(file);
        s.load(l);
        l.directoryChange(odd);
        l.options().setValue(Id::tbFrameSkip, 4);
        s.save(l);
        const std::string after = contentOf(file);
        EXPECT_EQ(after.find("lines"), std::string::npos);
        EXPECT_EQ(after.find("RomDirectory=/old/roms\n") != std::string::npos,
                  before.find("/old/roms") != std::string::npos);
        EXPECT_NE(after.find("FrameSkip=4\n"), std::string::npos);
        EXPECT_NE(after.find("SplashScreen=1\n"), std::string::npos);
    }
}

} // namespace
