#pragma once

#include <string>
#include <vector>

namespace vodavav {

class OptionSet;

// The emulator's command line: the program, the ROM path, then each switch's words, as separate
// arguments; and the same as one text, the pieces joined by single blanks. Nothing is quoted.
struct CommandLine {
    std::vector<std::string> arguments; // arguments[0] is the emulator path
    std::string text;
};

// The switches of the current options in their fixed order, each beginning with its blank.
std::vector<std::string> switches(const OptionSet& options);

CommandLine buildCommandLine(const OptionSet& options, const std::string& emulatorPath,
                             const std::string& romPath);

} // namespace vodavav
