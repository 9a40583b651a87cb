#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <string_view>

namespace vodavav {

// Every stored setting, in the order the settings file is saved. The first ones are held by a
// control of the main window; the last four are the launcher's own state.
enum class Id : int {
    cbResMode,
    chVESADetection,
    chVideoCache,
    tbFrameSkip,
    chSpriteCollision,
    chLCDPersistence,
    chPalRaster,
    chBorderRaster,
    rgVsync,
    rgVideoMode,
    rgEmuMode,
    rgController,
    cbSNESPort,
    cbJoySensitivity,
    chEnableComms,
    rgClientServer,
    cbCommPort,
    chMMX,
    chPentium,
    chNoEnter,
    chSound,
    chSpeaker,
    chJapanese,
    chCPUGraph,
    chPSGGraph,
    ch3D,
    ch3Dto2D,
    chExit,
    cbFilter,
    // Not held by an option control.
    romDirectory,
    emuPath,
    lastRom,
    splashScreen,
};

inline constexpr std::size_t kSettingCount = 33;
// Ids below this one are option controls whose value is an integer held by an OptionSet.
inline constexpr std::size_t kControlCount = static_cast<std::size_t>(Id::romDirectory);

enum class Kind {
    Check,    // boolean: 0 or 1
    Radio,    // radio group: −1 … n−1, clamped
    List,     // drop-down list: −1 … n−1, anything else −1
    Position, // track bar: 0 … 8, clamped
    Text,     // free text
    Number,   // a plain integer, unclamped
};

enum class Coding { Text, Integer, Boolean };

struct Descriptor {
    Id id;
    std::string_view name; // the control's (or field's) name
    Kind kind;
    std::string_view caption; // check boxes and radio groups
    std::span<const std::string_view> choices;
    int built; // value in a freshly built window
    bool builtEnabled;
    std::string_view section;
    std::string_view key;
    Coding coding;
    int absent; // value when the key is missing (0 for texts)
};

// The one table of settings, in save order.
std::span<const Descriptor, kSettingCount> descriptors();
const Descriptor& descriptor(Id id);

constexpr std::size_t index(Id id) {
    return static_cast<std::size_t>(id);
}
constexpr bool isControl(Id id) {
    return index(id) < kControlCount;
}

// Clamps a value as the control of this kind does.
int clampValue(const Descriptor& d, int value);

inline constexpr int kPositionMax = 8;

} // namespace vodavav
