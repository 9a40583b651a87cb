#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace vodavav {

class Launcher;

// The settings file beside the program: everything before the first "." of the program's whole
// path, then ".ini". A result without a directory (the path has no "." at all, or its first "."
// comes before any directory separator) is taken in the program's own directory:
// "/opt/bin/vodavav" gives "/opt/bin/.ini".
std::string settingsFileName(std::string_view programPath);

// Texts longer than this are cut when read.
inline constexpr std::size_t kSettingsTextLimit = 1023;

// A write that the system refused. what() is "Unable to write to <file name>"; reason() is the
// system's own reason, for whoever wants to tell more.
class SettingsWriteError : public std::runtime_error {
public:
    explicit SettingsWriteError(const std::string& fileName, std::string reason = {});
    const std::string& reason() const { return m_reason; }

private:
    std::string m_reason;
};

// The settings file object: holds the file name; reads at load, writes at save.
class Settings {
public:
    explicit Settings(std::string fileName);

    const std::string& fileName() const { return m_fileName; }

    // Applies every stored value to the launcher in the load order, running the interlocks as
    // values change. Returns the errors the user must be told of (each a whole sentence: a file
    // that exists but cannot be read, a stored ROM directory that cannot be entered); the load
    // always goes on to the end. Never writes the file.
    std::vector<std::string> load(Launcher& launcher);

    // Writes every key in the save order, keeping whatever else the file holds, and replaces
    // the file at once. Throws SettingsWriteError when the file cannot be written; the file on
    // disk is then left exactly as it was. A text holding a line break cannot be stored: its key
    // keeps the value the file holds.
    void save(const Launcher& launcher);

private:
    std::string m_fileName;
    // A stored ROM directory that could not be entered at load, and the directory the launcher
    // was in then: while the user has not moved since, a save writes the stored one back.
    std::string m_unenteredDirectory;
    std::string m_directoryAtLoad;
};

} // namespace vodavav
