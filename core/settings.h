#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace vodavav {

class Launcher;

// The settings file beside the program: everything before the first "." of the program's whole
// path, then ".ini". A path without any "." gives ".ini" in the program's own directory.
std::string settingsFileName(std::string_view programPath);

// A write that the system refused. what() is "Unable to write to <file name>".
class SettingsWriteError : public std::runtime_error {
public:
    explicit SettingsWriteError(const std::string& fileName);
};

// The settings file object: holds the file name; reads at load, writes at save.
class Settings {
public:
    explicit Settings(std::string fileName);

    const std::string& fileName() const { return m_fileName; }

    // Applies every stored value to the launcher in the load order, running the interlocks as
    // values change. Returns the errors the user must be told of (each a whole sentence, e.g. a
    // stored ROM directory that cannot be entered); the load always goes on to the end.
    std::vector<std::string> load(Launcher& launcher);

    // Writes every key in the save order. Throws SettingsWriteError at the first key that cannot
    // be written; the file on disk is then left as it was.
    void save(const Launcher& launcher);

private:
    std::string m_fileName;
    // A stored ROM directory that could not be entered at load, and the directory the launcher
    // was in then: while the user has not moved since, a save writes the stored one back.
    std::string m_unenteredDirectory;
    std::string m_directoryAtLoad;
};

} // namespace vodavav
