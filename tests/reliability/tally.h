#pragma once

#include <string>

namespace vodavav::reliability {

// What the reliability figures count. Each test adds what it tried and what went wrong; the
// counts land in the results file that tests/reliability/report sums up.
enum class Count {
    HostileInput, // a hostile file, name or directory handed to the launcher
    Fault,        // a fault made to happen: a kill, a full disk, a vanished directory
    Crash,        // a launcher process that died by a signal nobody sent it
    SettingsLost, // a settings file or value found damaged or gone
    NameMangled,  // a ROM path that did not reach the emulator byte for byte
};

void count(Count what, int n = 1);

// The results file: $VODAVAV_RELIABILITY_RESULTS, else the one of the build tree.
std::string resultsFile();

} // namespace vodavav::reliability
