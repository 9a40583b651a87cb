#include "launcher.h"

#include "platform.h"
#include "romfilter.h"
#include "text.h"

#include <algorithm>
#include <system_error>

namespace vodavav {

Launcher::Launcher(const std::string& startDirectory) : m_romDirectory(startDirectory) {
    m_files.setMask(std::string(kAllRomsMask));
    try {
        m_files.setDirectory(startDirectory);
    } catch (const DirectoryError&) {
        // The process's own directory may be unreadable; the list then starts empty.
    }
}

void Launcher::setCountLabel() {
    m_countLabel = std::string(kCountLabelText) + std::to_string(m_files.size());
}

void Launcher::filterRefresh() {
    const int k = m_options.value(Id::cbFilter);
    const std::optional<SystemFilter> filter = systemFilter(k);
    if (!filter) {
        return;
    }
    // Whatever the reading meets, the list, the count and lastFilter end consistent.
    struct Finish {
        Launcher& self;
        int k;
        ~Finish() {
            self.setCountLabel();
            self.m_lastFilter = k;
        }
    } finish{*this, k};
    if (k == 0) {
        m_files.setMask(std::string(filter->mask));
        return;
    }
    if (k != m_lastFilter) {
        m_files.setMask(std::string(filter->mask));
        // Removed by count: the matched pattern guarantees the extension is there.
        for (std::size_t i = 0; i < m_files.size(); ++i) {
            m_files.cutEntry(i, filter->cut);
        }
    }
}

void Launcher::directoryChange(const std::string& directory) {
    // A stored directory may hold a NUL byte, where the system would cut it and list another.
    // The error shows the byte as "\0": the message text would end there.
    if (directory.find('\0') != std::string::npos) {
        std::string shown;
        for (const char c : directory) {
            shown += c == '\0' ? std::string("\\0") : std::string(1, c);
        }
        throw DirectoryError(shown, std::make_error_code(std::errc::invalid_argument).message());
    }
    // The same directory entered again is read again too: the refresh below cuts the names, and
    // must find them whole.
    if (directory == m_files.directory()) {
        m_files.read();
    } else {
        m_files.setDirectory(directory);
    }
    m_romDirectory = directory;
    m_lastFilter = 0;
    filterRefresh();
}

void Launcher::applyFilterMask() {
    if (const std::optional<SystemFilter> filter = systemFilter(m_options.value(Id::cbFilter))) {
        m_files.setMask(std::string(filter->mask));
    }
}

std::optional<std::string> Launcher::selectedRom() const {
    if (m_files.selected() < 0) {
        return std::nullopt;
    }
    std::string path = m_files.fullPath();
    const int k = m_options.value(Id::cbFilter);
    if (k >= 1) {
        if (const std::optional<SystemFilter> filter = systemFilter(k)) {
            path += filter->extension;
        }
    }
    return path;
}

std::variant<CommandLine, std::string> Launcher::preparedLaunch(Platform& platform) const {
    const std::optional<std::string> rom = selectedRom();
    if (!rom) {
        return std::string(kNoRomMessage);
    }
    std::string path = *rom;
    // Two files whose names differ only in the letter case of their extension ("Twin.sms",
    // "Twin.SMS") show the same cut entry, and the extension put back names one of them: the
    // entry stands for its own file, so that one is handed over.
    const std::string_view own = m_files.fileName(static_cast<std::size_t>(m_files.selected()));
    const std::string_view asked =
        std::string_view(path).substr(path.size() - std::min(path.size(), own.size()));
    if (equalIgnoringCase(asked, own)) {
        path = joinPath(m_files.directory(), own);
    }
    const std::string romPath = platform.shortForm(path);
    if (emuPath.empty()) {
        return std::string(kNoEmulatorMessage);
    }
    return buildCommandLine(m_options, emuPath, romPath);
}

LaunchResult Launcher::btnLAUNCHClick(Platform& platform, Messages& messages) const {
    std::variant<CommandLine, std::string> prepared = preparedLaunch(platform);
    if (const std::string* text = std::get_if<std::string>(&prepared)) {
        messages.message(*text);
        return {};
    }
    const CommandLine& line = std::get<CommandLine>(prepared);
    const StartResult result = platform.start(line, m_files.directory());
    if (!result.started) {
        // A launch that did not happen is reported and never ends the launcher.
        messages.error("Unable to start " + emuPath + ": " + result.reason);
        return {};
    }
    return {true, m_options.checked(Id::chExit)};
}

} // namespace vodavav
