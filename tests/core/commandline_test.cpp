#include "commandline.h"
#include "optionset.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace vodavav {
namespace {

using Settings = std::vector<std::pair<Id, int>>;

// Every option as a settings file without any of its keys leaves it.
OptionSet absentDefaults() {
    OptionSet o;
    for (const Descriptor& d : descriptors().first<kControlCount>()) {
        o.setValue(d.id, d.absent);
    }
    return o;
}

std::vector<std::string> words(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> out;
    for (std::string w; in >> w;) {
        out.push_back(w);
    }
    return out;
}

TEST(CommandLine, AbsentDefaultsLeaveOnlyTheStartUpScreenSwitch) {
    const OptionSet o = absentDefaults();
    const CommandLine line = buildCommandLine(o, "C:\\EMU\\EMULATOR.EXE", "C:\\ROMS\\SONIC.SMS");
    EXPECT_EQ(line.text, "C:\\EMU\\EMULATOR.EXE C:\\ROMS\\SONIC.SMS -noenter");
    EXPECT_EQ(line.arguments, (std::vector<std::string>{"C:\\EMU\\EMULATOR.EXE",
                                                        "C:\\ROMS\\SONIC.SMS", "-noenter"}));
    // A freshly built window gives the same line.
    EXPECT_EQ(buildCommandLine(OptionSet{}, "e", "r").text, "e r -noenter");
}

TEST(CommandLine, EachSwitchGroupAndChoice) {
    struct Row {
        const char* what;
        Settings settings; // applied in order, reactions included
        const char* appended;
    };
    const Row rows[] = {
        {"nothing", {}, ""},
        {"resolution none", {{Id::cbResMode, -1}}, ""},
        {"resolution 0", {{Id::cbResMode, 0}}, ""},
        {"resolution 1", {{Id::cbResMode, 1}}, " -res 1"},
        {"resolution 2", {{Id::cbResMode, 2}}, " -res 2"},
        {"resolution 3", {{Id::cbResMode, 3}}, " -res 4"},
        {"resolution 4", {{Id::cbResMode, 4}}, " -res 6"},
        {"resolution 5", {{Id::cbResMode, 5}}, " -res 8"},
        {"no VESA", {{Id::chVESADetection, 0}}, " -novesa"},
        {"sprite collision", {{Id::chSpriteCollision, 1}}, " -sprcol"},
        {"no video cache", {{Id::chVideoCache, 0}}, " -nocache"},
        {"palette effects force line-by-line", {{Id::chPalRaster, 1}}, " -palraster -line"},
        {"border effects force palette and line-by-line",
         {{Id::chBorderRaster, 1}},
         " -palraster -border -line"},
        {"LCD persistence", {{Id::chLCDPersistence, 1}}, " -lcd"},
        {"v-sync", {{Id::rgVsync, 1}}, " -vsync"},
        {"true v-sync", {{Id::rgVsync, 2}}, " -truevsync"},
        {"line-by-line", {{Id::rgVideoMode, 1}}, " -line"},
        {"block-based", {{Id::rgVideoMode, 2}}, " -block"},
        {"true v-sync then line", {{Id::rgVsync, 2}, {Id::rgVideoMode, 1}}, " -truevsync -line"},
        {"frame skip 0", {{Id::tbFrameSkip, 0}}, ""},
        {"frame skip 1", {{Id::tbFrameSkip, 1}}, " -frame 1"},
        {"frame skip 8", {{Id::tbFrameSkip, 8}}, " -frame 8"},
        {"master system", {{Id::rgEmuMode, 1}}, " -sms"},
        {"game gear", {{Id::rgEmuMode, 2}}, " -gg"},
        {"sg-1000", {{Id::rgEmuMode, 3}}, " -sg1000"},
        {"sc-3000", {{Id::rgEmuMode, 4}}, " -sc3000"},
        {"colecovision", {{Id::rgEmuMode, 5}}, " -coleco"},
        {"lightgun", {{Id::rgController, 1}}, " -lightgun"},
        {"joystick, no sensitivity", {{Id::rgController, 2}, {Id::cbJoySensitivity, -1}}, " -joy"},
        {"joystick, sensitivity 0",
         {{Id::rgController, 2}, {Id::cbJoySensitivity, 0}},
         " -joy -joysens 1"},
        {"joystick, sensitivity 2",
         {{Id::rgController, 2}, {Id::cbJoySensitivity, 2}},
         " -joy -joysens 3"},
        {"joystick, sensitivity 6",
         {{Id::rgController, 2}, {Id::cbJoySensitivity, 6}},
         " -joy -joysens 7"},
        {"paddle ignores the sensitivity",
         {{Id::rgController, 3}, {Id::cbJoySensitivity, 4}},
         " -paddle"},
        {"paddle/mouse", {{Id::rgController, 4}}, " -mousepad"},
        {"no mouse", {{Id::rgController, 5}}, " -nomouse"},
        {"SNES pad, no port", {{Id::rgController, 6}, {Id::cbSNESPort, -1}}, " -snespad"},
        {"SNES pad, port 0", {{Id::rgController, 6}, {Id::cbSNESPort, 0}}, " -snespad -lpt 1"},
        {"SNES pad, port 1", {{Id::rgController, 6}, {Id::cbSNESPort, 1}}, " -snespad -lpt 2"},
        {"SNES pad ignores the sensitivity",
         {{Id::rgController, 6}, {Id::cbJoySensitivity, 4}},
         " -snespad -lpt 1"},
        {"joystick ignores the SNES port",
         {{Id::rgController, 2}, {Id::cbSNESPort, 1}},
         " -joy -joysens 3"},
        {"no MMX", {{Id::chMMX, 0}}, " -nommx"},
        {"no Pentium", {{Id::chPentium, 0}}, " -nopentium"},
        {"no start-up screen", {{Id::chNoEnter, 0}}, " -noenter"},
        {"no sound", {{Id::chSound, 0}}, " -nosound"},
        {"PC speaker", {{Id::chSpeaker, 1}}, " -speaker"},
        {"japanese", {{Id::chJapanese, 1}}, " -jap"},
        {"CPU graph", {{Id::chCPUGraph, 1}}, " -cpugraph"},
        {"PSG graph turns the video cache off", {{Id::chPSGGraph, 1}}, " -nocache -psggraph"},
        {"3D", {{Id::ch3D, 1}}, " -3d"},
        {"3D to 2D", {{Id::ch3Dto2D, 1}}, " -2d"},
        {"link-up server, no port", {{Id::chEnableComms, 1}, {Id::cbCommPort, -1}}, " -server"},
        {"link-up server, port 0",
         {{Id::chEnableComms, 1}, {Id::cbCommPort, 0}},
         " -server -com 1"},
        {"link-up client, port 3",
         {{Id::chEnableComms, 1}, {Id::rgClientServer, 1}, {Id::cbCommPort, 3}},
         " -client -com 4"},
        // Given while the controls were disabled; the values count, not the flags.
        {"client and port set before link-up",
         {{Id::rgClientServer, 1}, {Id::cbCommPort, 2}, {Id::chEnableComms, 1}},
         " -client -com 3"},
        {"link-up off ignores client and port",
         {{Id::chEnableComms, 1},
          {Id::rgClientServer, 1},
          {Id::cbCommPort, 3},
          {Id::chEnableComms, 0}},
         ""},
        {"every switch, in the fixed order",
         {{Id::cbResMode, 5},
          {Id::chVESADetection, 0},
          {Id::chSpriteCollision, 1},
          {Id::chBorderRaster, 1},
          {Id::chLCDPersistence, 1},
          {Id::rgVsync, 2},
          {Id::tbFrameSkip, 8},
          {Id::rgEmuMode, 5},
          {Id::rgController, 2},
          {Id::cbJoySensitivity, 6},
          {Id::chMMX, 0},
          {Id::chPentium, 0},
          {Id::chNoEnter, 0},
          {Id::chSound, 0},
          {Id::chSpeaker, 1},
          {Id::chJapanese, 1},
          {Id::chCPUGraph, 1},
          {Id::chPSGGraph, 1},
          {Id::ch3D, 1},
          {Id::ch3Dto2D, 1},
          {Id::chEnableComms, 1},
          {Id::rgClientServer, 1},
          {Id::cbCommPort, 3}},
         " -res 8 -novesa -sprcol -nocache -palraster -border -lcd -truevsync -line -frame 8"
         " -coleco -joy -joysens 7 -nommx -nopentium -noenter -nosound -speaker -jap -cpugraph"
         " -psggraph -3d -2d -client -com 4"},
    };
    // Paths with blanks and brackets show that both stay whole and unquoted.
    const std::string emu = "/opt/Vemox Emu/vemox";
    const std::string rom = "/home/me/My ROMs/Sonic (E) [!].sms";
    for (const Row& r : rows) {
        OptionSet o = absentDefaults();
        o.setChecked(Id::chNoEnter, true); // leaves no switch at all
        for (const auto& [id, value] : r.settings) {
            o.setValue(id, value);
        }
        const CommandLine line = buildCommandLine(o, emu, rom);
        EXPECT_EQ(line.text, emu + " " + rom + r.appended) << r.what;

        std::vector<std::string> expected{emu, rom};
        for (std::string& w : words(r.appended)) {
            expected.push_back(std::move(w));
        }
        EXPECT_EQ(line.arguments, expected) << r.what;
    }
}

TEST(CommandLine, PathsAreNeverQuotedNorSplit) {
    const OptionSet o = absentDefaults();
    const CommandLine line =
        buildCommandLine(o, "C:\\Program Files\\Emu\\emu.exe", "/r/it's \"a\" -res 1.sms");
    EXPECT_EQ(line.text, "C:\\Program Files\\Emu\\emu.exe /r/it's \"a\" -res 1.sms -noenter");
    EXPECT_EQ(line.arguments, (std::vector<std::string>{"C:\\Program Files\\Emu\\emu.exe",
                                                        "/r/it's \"a\" -res 1.sms", "-noenter"}));
}

} // namespace
} // namespace vodavav
