#include "tempdir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using vodavav::test::TempDir;

namespace {

std::string contentOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// Every "@" becomes the directory's path.
std::string at(std::string_view text, const std::string& dir) {
    std::string out;
    for (char c : text) {
        if (c == '@') {
            out += dir;
        } else {
            out += c;
        }
    }
    return out;
}

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs the program in cwd with its standard output and error caught in files of their own.
Outcome launch(const std::vector<std::string>& args, const std::string& cwd,
               const std::string& program = VODAVAV_LAUNCH) {
    const TempDir caught;
    const std::string outFile = caught / "out";
    const std::string errFile = caught / "err";
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& a : args) {
        argv.push_back(const_cast<char*>(a.c_str()));
    }
    argv.push_back(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        const int out = ::open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = ::open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (out < 0 || err < 0 || ::dup2(out, 1) < 0 || ::dup2(err, 2) < 0 ||
            ::chdir(cwd.c_str()) != 0) {
            ::_exit(126);
        }
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    Outcome r;
    int status = 0;
    ::waitpid(child, &status, 0);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.out = contentOf(outFile);
    r.err = contentOf(errFile);
    return r;
}

// The settings file's bytes and time, to show that a run never wrote it.
struct Stamp {
    bool exists = false;
    std::string bytes;
    fs::file_time_type time{};
    bool operator==(const Stamp&) const = default;
};

Stamp stampOf(const std::string& file) {
    Stamp s;
    std::error_code ec;
    s.exists = fs::exists(file, ec);
    if (s.exists) {
        s.bytes = contentOf(file);
        s.time = fs::last_write_time(file);
    }
    return s;
}

struct Case {
    const char* what;
    std::optional<std::string_view> settings; // none: no settings file
    std::vector<std::string_view> roms;       // files made in @/roms
    std::vector<std::string_view> args;       // after --settings @/s.ini
    int status;
    std::string_view out;
    std::string_view err;
};

TEST(VodavavLaunch, PrintsOrStartsTheCommandLineOfTheStoredSettings) {
    const Case cases[] = {
        {"defaults under All Roms",
         "[DezovESettings]\nVemoxPath=/opt/vemox/vemox\n",
         {"Sonic.sms", "Other.gg"},
         {"--dry-run", "roms/Sonic.sms"},
         0,
         "/opt/vemox/vemox @/roms/Sonic.sms -noenter\n",
         ""},
        {"stored options in the switches' order",
         "[VideoSettings]\nResolution=2\nFrameSkip=3\nVideoCache=0\n[ControlSettings]\n"
         "ControllerType=2\nJoySensitivity=4\n[MiscSettings]\nSkipStartUp=1\nJapanese=1\n"
         "[CommSettings]\nCommEnable=1\nClientServer=1\nCommPort=1\n[DezovESettings]\n"
         "VemoxPath=/emu\n",
         {"Sonic.sms"},
         {"--dry-run", "roms/Sonic.sms"},
         0,
         "/emu @/roms/Sonic.sms -res 2 -nocache -frame 3 -joy -joysens 5 -jap -client -com 2\n",
         ""},
        // The video mode forced by the border effects is then read from the file (absent: 0).
        {"interlocks run at load, later keys override them",
         "[VideoSettings]\nBorderRaster=1\nVSyncMode=2\n[MiscSettings]\nPSGGraph=1\n["
         "DezovESettings]\n"
         "VemoxPath=/emu\n",
         {"Sonic.sms"},
         {"roms/Sonic.sms", "--dry-run"},
         0,
         "/emu @/roms/Sonic.sms -nocache -palraster -border -truevsync -noenter -psggraph\n",
         ""},
        {"single-system filter hands over the on-disk name",
         "[DezovESettings]\nVemoxPath=/emu\nRomFilter=1\n",
         {"SONIC.SMS"},
         {"--dry-run", "@/roms/SONIC.SMS"},
         0,
         "/emu @/roms/SONIC.SMS -noenter\n",
         ""},
        {"names that differ in case alone each launch themselves",
         "[DezovESettings]\nVemoxPath=/emu\nRomFilter=1\n",
         {"Sonic.SMS", "Sonic.sms"},
         {"--dry-run", "roms/Sonic.SMS"},
         0,
         "/emu @/roms/Sonic.SMS -noenter\n",
         ""},
        {"a ROM the filter does not list goes by its own path",
         "[DezovESettings]\nVemoxPath=/emu\nRomFilter=2\n",
         {"Sonic.sms"},
         {"--dry-run", "roms/Sonic.sms"},
         0,
         "/emu @/roms/Sonic.sms -noenter\n",
         ""},
        {"another extension under All Roms",
         "[DezovESettings]\nVemoxPath=/emu\n",
         {"game.bin"},
         {"--dry-run", "roms/./x/../game.bin"},
         0,
         "/emu @/roms/game.bin -noenter\n",
         ""},
        {"quoted emulator path in a CRLF file",
         "[DezovESettings]\r\nVemoxPath=\"/opt/my emu/vemox\"\r\n",
         {"My Game.sms"},
         {"--dry-run", "roms/My Game.sms"},
         0,
         "/opt/my emu/vemox @/roms/My Game.sms -noenter\n",
         ""},
        {"stored directory that is gone is reported, the launch goes on",
         "[DezovESettings]\nVemoxPath=/emu\nRomDirectory=@/gone\n",
         {"Sonic.sms"},
         {"--dry-run", "roms/Sonic.sms"},
         0,
         "/emu @/roms/Sonic.sms -noenter\n",
         "Unable to enter the directory @/gone: No such file or directory. The list shows @; the "
         "stored directory stays in the settings until you choose another one.\n"},
        {"started emulator",
         "[DezovESettings]\nVemoxPath=/bin/true\n",
         {"Sonic.sms"},
         {"roms/Sonic.sms"},
         0,
         "",
         ""},
        {"no emulator path",
         "[VideoSettings]\nFrameSkip=2\n",
         {"Sonic.sms"},
         {"--dry-run", "roms/Sonic.sms"},
         1,
         "",
         "Please set the path for Vemox !!!\n"},
        {"no settings file, a ROM the list does not hold",
         std::nullopt,
         {"game.bin"},
         {"roms/game.bin"},
         1,
         "",
         "Please set the path for Vemox !!!\n"},
        {"failed start",
         "[DezovESettings]\nVemoxPath=/nonexistent/vemox\nExitOnLaunch=1\n",
         {"Sonic.sms"},
         {"roms/Sonic.sms"},
         1,
         "",
         "Unable to start /nonexistent/vemox: No such file or directory\n"},
        {"missing ROM",
         "[DezovESettings]\nVemoxPath=/emu\n",
         {},
         {"--dry-run", "roms/none.sms"},
         1,
         "",
         "vodavav-launch: the ROM file roms/none.sms does not exist.\n"},
        {"a directory is no ROM",
         "[DezovESettings]\nVemoxPath=/emu\n",
         {},
         {"--dry-run", "roms"},
         1,
         "",
         "vodavav-launch: roms is not a ROM file.\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const TempDir dir;
        dir.dir("roms");
        for (std::string_view rom : c.roms) {
            dir.file("roms/" + std::string(rom), "rom");
        }
        const std::string settings = dir / "s.ini";
        if (c.settings) {
            dir.file("s.ini", at(*c.settings, dir.path()));
        }
        const Stamp before = stampOf(settings);
        std::vector<std::string> args{"--settings", settings};
        for (std::string_view a : c.args) {
            args.push_back(at(a, dir.path()));
        }
        const Outcome r = launch(args, dir.path());
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(r.out, at(c.out, dir.path()));
        EXPECT_EQ(r.err, at(c.err, dir.path()));
        EXPECT_TRUE(stampOf(settings) == before) << "the settings file was written";
    }
}

TEST(VodavavLaunch, ReadsTheSettingsOfTheVodavavProgramBesideIt) {
    const TempDir dir;
    // The program beside it is <dir>/bin.d/vodavav: cut at the first ".", that is <dir>/bin.ini.
    dir.dir("bin.d");
    const std::string copy = dir / "bin.d/vodavav-launch";
    fs::copy_file(VODAVAV_LAUNCH, copy);
    dir.file("bin.ini", "[DezovESettings]\nVemoxPath=/emu/beside\n");
    dir.file("Sonic.sms");
    const Stamp before = stampOf(dir / "bin.ini");
    const Outcome r = launch({"--dry-run", "Sonic.sms"}, dir.path(), copy);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "/emu/beside " + (dir / "Sonic.sms") + " -noenter\n");
    EXPECT_TRUE(stampOf(dir / "bin.ini") == before);
}

TEST(VodavavLaunch, WrongCommandLinesAreRefused) {
    const TempDir dir;
    dir.file("a.sms");
    const std::vector<std::string> wrong[] = {
        {}, {"--dry-run"}, {"--bogus", "a.sms"}, {"a.sms", "a.sms"}, {"a.sms", "--settings"},
    };
    for (const std::vector<std::string>& args : wrong) {
        const Outcome r = launch(args, dir.path());
        EXPECT_EQ(r.status, 2) << r.err;
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find("Try 'vodavav-launch --help'."), std::string::npos) << r.err;
    }
    const Outcome help = launch({"--help"}, dir.path());
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.starts_with("Usage: vodavav-launch [--settings FILE] [--dry-run] ROM\n"))
        << help.out;
    // "--" ends the options, so a ROM may start with a dash.
    dir.file("-odd.sms");
    dir.file("s.ini", "[DezovESettings]\nVemoxPath=/emu\n");
    const Outcome dash = launch({"--settings=s.ini", "--dry-run", "--", "-odd.sms"}, dir.path());
    EXPECT_EQ(dash.out, "/emu " + (dir / "-odd.sms") + " -noenter\n") << dash.err;
}

} // namespace
