#include "options.h"

#include <algorithm>

namespace vodavav {

namespace {

using sv = std::string_view;

// The blanks inside the resolution texts are part of them.
constexpr std::array<sv, 6> kResolutions{
    "320x200x8    (Default)",          "400x300x8    (Game Gear)",
    "512x384x8    (SMS/SG1000)",       "512x384x15  (Bilinear Filtering)",
    "512x384x15  (\"Parrot\" Engine)", "512x384x15  (\"2xSaI\" Engine)",
};
constexpr std::array<sv, 3> kVsync{"None", "V-Sync", "True V-Sync"};
constexpr std::array<sv, 3> kVideoMode{"Standard", "Line-By-Line", "Block-Based"};
constexpr std::array<sv, 6> kEmuMode{"Auto Detect", "Master System", "Game Gear",
                                     "SG-1000",     "SC-3000",       "Colecovision"};
constexpr std::array<sv, 7> kController{"Default",      "Lightgun", "Joystick", "Paddle",
                                        "Paddle/Mouse", "No Mouse", "SNES Pad"};
constexpr std::array<sv, 2> kSnesPort{"1", "2"};
constexpr std::array<sv, 7> kJoySensitivity{"1", "2", "3", "4", "5", "6", "7"};
constexpr std::array<sv, 2> kClientServer{"Server", "Client"};
constexpr std::array<sv, 4> kCommPort{"1", "2", "3", "4"};
constexpr std::array<sv, 6> kFilter{"All Roms", "Master System", "Game Gear",
                                    "SG-1000",  "SC-3000",       "Colecovision"};

constexpr sv kVideo = "VideoSettings";
constexpr sv kEmu = "EmuSettings";
constexpr sv kControl = "ControlSettings";
constexpr sv kComm = "CommSettings";
constexpr sv kMisc = "MiscSettings";
constexpr sv kFront = "DezovESettings";

constexpr Descriptor check(Id id, sv name, sv caption, bool built, sv section, sv key, int absent) {
    return {id,   name,    Kind::Check, caption,         {},    built ? 1 : 0,
            true, section, key,         Coding::Boolean, absent};
}

constexpr Descriptor choice(Id id, sv name, Kind kind, sv caption, std::span<const sv> choices,
                            int built, bool enabled, sv section, sv key, int absent) {
    return {id,      name,    kind, caption,         choices, built,
            enabled, section, key,  Coding::Integer, absent};
}

constexpr std::array<Descriptor, kSettingCount> kTable{{
    choice(Id::cbResMode, "cbResMode", Kind::List, "", kResolutions, -1, true, kVideo, "Resolution",
           0),
    check(Id::chVESADetection, "chVESADetection", "VESA Detection", true, kVideo, "VesaDetect", 1),
    check(Id::chVideoCache, "chVideoCache", "Video Cache", true, kVideo, "VideoCache", 1),
    {Id::tbFrameSkip,
     "tbFrameSkip",
     Kind::Position,
     "",
     {},
     0,
     true,
     kVideo,
     "FrameSkip",
     Coding::Integer,
     0},
    check(Id::chSpriteCollision, "chSpriteCollision", "Sprite Collision", false, kVideo,
          "SpriteCollision", 0),
    check(Id::chLCDPersistence, "chLCDPersistence", "LCD Persistence", false, kVideo,
          "LCDPersistence", 0),
    check(Id::chPalRaster, "chPalRaster", "Palette Effects", false, kVideo, "PALRaster", 0),
    check(Id::chBorderRaster, "chBorderRaster", "Border Effects", false, kVideo, "BorderRaster", 0),
    choice(Id::rgVsync, "rgVsync", Kind::Radio, " V-Sync Mode ", kVsync, 0, true, kVideo,
           "VSyncMode", 0),
    choice(Id::rgVideoMode, "rgVideoMode", Kind::Radio, " Video Mode ", kVideoMode, 0, true, kVideo,
           "VideoMode", 0),
    choice(Id::rgEmuMode, "rgEmuMode", Kind::Radio, " Emulation Mode ", kEmuMode, 0, true, kEmu,
           "EmuMode", 0),
    choice(Id::rgController, "rgController", Kind::Radio, " Controller ", kController, 0, true,
           kControl, "ControllerType", 0),
    choice(Id::cbSNESPort, "cbSNESPort", Kind::List, "", kSnesPort, -1, false, kControl, "SnesPort",
           0),
    choice(Id::cbJoySensitivity, "cbJoySensitivity", Kind::List, "", kJoySensitivity, -1, false,
           kControl, "JoySensitivity", 2),
    check(Id::chEnableComms, "chEnableComms", "Enable Link-Up", false, kComm, "CommEnable", 0),
    choice(Id::rgClientServer, "rgClientServer", Kind::Radio, " Client / Server ", kClientServer, 0,
           false, kComm, "ClientServer", 0),
    choice(Id::cbCommPort, "cbCommPort", Kind::List, "", kCommPort, -1, false, kComm, "CommPort",
           0),
    check(Id::chMMX, "chMMX", "MMX", true, kMisc, "MMX", 1),
    check(Id::chPentium, "chPentium", "Pentium", true, kMisc, "PentiumDetect", 1),
    check(Id::chNoEnter, "chNoEnter", "Startup Screen", false, kMisc, "SkipStartUp", 0),
    check(Id::chSound, "chSound", "Enable Sound", true, kMisc, "EnableSound", 1),
    check(Id::chSpeaker, "chSpeaker", "PC Speaker", false, kMisc, "EnablePCSpeaker", 0),
    check(Id::chJapanese, "chJapanese", "Japanese", false, kMisc, "Japanese", 0),
    check(Id::chCPUGraph, "chCPUGraph", "CPU Graph", false, kMisc, "CPUGraph", 0),
    check(Id::chPSGGraph, "chPSGGraph", "PSG Graph", false, kMisc, "PSGGraph", 0),
    check(Id::ch3D, "ch3D", "3D Mode", false, kMisc, "3DMode", 0),
    check(Id::ch3Dto2D, "ch3Dto2D", "3D -> 2D", false, kMisc, "2DMode", 0),
    check(Id::chExit, "chExit", "Exit on Launch", false, kFront, "ExitOnLaunch", 0),
    choice(Id::cbFilter, "cbFilter", Kind::List, "", kFilter, -1, true, kFront, "RomFilter", 0),
    {Id::romDirectory,
     "romDirectory",
     Kind::Text,
     "",
     {},
     0,
     true,
     kFront,
     "RomDirectory",
     Coding::Text,
     0},
    {Id::emuPath, "emuPath", Kind::Text, "", {}, 0, true, kFront, "VemoxPath", Coding::Text, 0},
    {Id::lastRom, "lastRom", Kind::Number, "", {}, -1, true, kFront, "Lastrom", Coding::Integer, 0},
    {Id::splashScreen,
     "splashScreen",
     Kind::Number,
     "",
     {},
     0,
     true,
     kFront,
     "SplashScreen",
     Coding::Integer,
     1},
}};

constexpr bool tableInIdOrder() {
    for (std::size_t i = 0; i < kTable.size(); ++i) {
        if (index(kTable[i].id) != i) {
            return false;
        }
    }
    return true;
}
static_assert(tableInIdOrder(), "the settings table must list the ids in their order");

} // namespace

std::span<const Descriptor, kSettingCount> descriptors() {
    return kTable;
}

const Descriptor& descriptor(Id id) {
    return kTable[index(id)];
}

int clampValue(const Descriptor& d, int value) {
    const int last = static_cast<int>(d.choices.size()) - 1;
    switch (d.kind) {
    case Kind::Check:
        return value != 0 ? 1 : 0;
    case Kind::Radio:
        return std::clamp(value, -1, last);
    case Kind::List:
        return value >= 0 && value <= last ? value : -1;
    case Kind::Position:
        return std::clamp(value, 0, kPositionMax);
    case Kind::Text:
    case Kind::Number:
        break;
    }
    return value;
}

} // namespace vodavav
