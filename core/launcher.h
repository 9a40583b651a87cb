#pragma once

#include "commandline.h"
#include "filelist.h"
#include "optionset.h"

#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace vodavav {

class Messages;
class Platform;

inline constexpr std::string_view kApplicationTitle = "ZARID ERUVO";
inline constexpr std::string_view kNoRomMessage = "Please select a ROM to launch !!!";
inline constexpr std::string_view kNoEmulatorMessage = "Please set the path for Vemox !!!";
inline constexpr std::string_view kCountLabelText = "Number of Roms: ";

struct LaunchResult {
    bool started = false;
    bool exitRequested = false; // "Exit on Launch" after a started emulator
};

// The launcher's whole state: the options, the file browser's state and the launcher's own
// fields, with the rules that work on them. The windows only bind to it.
class Launcher {
public:
    // Lists startDirectory as a freshly built window does; one that cannot be read leaves the
    // list empty.
    explicit Launcher(const std::string& startDirectory);

    OptionSet& options() { return m_options; }
    const OptionSet& options() const { return m_options; }
    FileList& files() { return m_files; }
    const FileList& files() const { return m_files; }

    // The directory list's current directory.
    const std::string& romDirectory() const { return m_romDirectory; }
    const std::string& countLabel() const { return m_countLabel; }
    int lastFilter() const { return m_lastFilter; }
    void setLastFilter(int k) { m_lastFilter = k; }

    std::string emuPath;
    int lastRom = -1;
    int splashScreen = 0;

    // cbFilterChange: prepares the list for the current system filter.
    void filterRefresh();
    // directoryListBoxChange: the file list follows a new directory. Throws DirectoryError and
    // changes nothing when the directory cannot be entered.
    void directoryChange(const std::string& directory);
    // Sets the mask for the current filter as the settings load does; outside 0 … 5 nothing.
    void applyFilterMask();

    // The selected entry's full path with the filter's extension put back; none when nothing is
    // selected.
    std::optional<std::string> selectedRom() const;

    // What a launch would do now: the command line, or the message it would show instead.
    std::variant<CommandLine, std::string> preparedLaunch(Platform& platform) const;
    // The launch procedure.
    LaunchResult btnLAUNCHClick(Platform& platform, Messages& messages) const;

private:
    void setCountLabel();

    OptionSet m_options;
    FileList m_files;
    std::string m_romDirectory;
    std::string m_countLabel{kCountLabelText};
    int m_lastFilter = 0;
    // The entries' whole names while the list shows them cut; empty while it shows whole names.
};

} // namespace vodavav
