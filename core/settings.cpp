#include "settings.h"

#include "launcher.h"
#include "profilefile.h"

#include <charconv>
#include <cstdint>
#include <filesystem>
#include <optional>

namespace fs = std::filesystem;

namespace vodavav {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// Decimal with an optional sign within the 32-bit range, or up to eight hexadecimal digits
// after "$", "0x" or "0X" taken as the 32 bits of the number ("$FFFFFFFF" is -1). Leading
// blanks are skipped; anything else in the text makes it no number.
std::optional<int> decodeInteger(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    std::optional<std::string_view> hex;
    if (text.starts_with('$')) {
        hex = text.substr(1);
    } else if (text.starts_with("0x") || text.starts_with("0X")) {
        hex = text.substr(2);
    }
    if (hex) {
        if (hex->empty() || hex->size() > 8) {
            return std::nullopt;
        }
        std::uint32_t bits = 0;
        for (char c : *hex) {
            const int d = hexDigit(c);
            if (d < 0) {
                return std::nullopt;
            }
            bits = bits << 4 | static_cast<std::uint32_t>(d);
        }
        return static_cast<std::int32_t>(bits);
    }
    // from_chars takes "-" but not "+".
    if (text.starts_with('+')) {
        text.remove_prefix(1);
        if (text.starts_with('-') || text.starts_with('+')) {
            return std::nullopt;
        }
    }
    std::int32_t value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end) {
        return std::nullopt;
    }
    return value;
}

bool isContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// Cut at the limit, but never inside a UTF-8 sequence. A sequence has at most three bytes after
// its first, so bytes that are no UTF-8 are cut at the limit itself, not backed off to nothing.
std::string decodeText(std::string text) {
    if (text.size() > kSettingsTextLimit) {
        std::size_t cut = kSettingsTextLimit;
        while (cut > kSettingsTextLimit - 3 && isContinuationByte(text[cut])) {
            --cut;
        }
        if (static_cast<unsigned char>(text[cut]) < 0xC0) {
            cut = kSettingsTextLimit;
        }
        text.resize(cut);
    }
    return text;
}

int readInteger(const ProfileFile& profile, const Descriptor& d) {
    if (const std::optional<std::string> stored = profile.value(d.section, d.key)) {
        if (const std::optional<int> number = decodeInteger(*stored)) {
            return *number;
        }
    }
    return d.absent;
}

std::string readText(const ProfileFile& profile, Id id) {
    const Descriptor& d = descriptor(id);
    return decodeText(profile.value(d.section, d.key).value_or(std::string()));
}

} // namespace

std::string settingsFileName(std::string_view programPath) {
    // Without any "." nothing is kept: the name is ".ini" alone.
    const std::size_t dot = programPath.find('.');
    const fs::path cut = std::string(dot == std::string_view::npos ? std::string_view()
                                                                   : programPath.substr(0, dot)) +
                         ".ini";
    if (cut.has_parent_path()) {
        return cut.string();
    }
    return (fs::path(programPath).parent_path() / cut).string();
}

SettingsWriteError::SettingsWriteError(const std::string& fileName, std::string reason)
    : std::runtime_error("Unable to write to " + fileName), m_reason(std::move(reason)) {}

Settings::Settings(std::string fileName) : m_fileName(std::move(fileName)) {}

std::vector<std::string> Settings::load(Launcher& launcher) {
    std::vector<std::string> errors;
    m_unenteredDirectory.clear();

    ProfileFile profile;
    if (const std::optional<std::string> reason = profile.read(m_fileName)) {
        // The file is not written over either: the save reads it first and stops there.
        errors.push_back("Unable to read " + m_fileName + ": " + *reason +
                         ". The default settings are used and the file is kept as it is.");
    } else if (profile.partial()) {
        errors.push_back("Only the first " + std::to_string(kProfileReadLimit / (1024 * 1024)) +
                         " MB of " + m_fileName +
                         " could be read: settings stored after that are not used, and the file "
                         "is kept as it is. Remove what does not belong in it.");
    }

    // The option controls up to "ExitOnLaunch", in the file's order; each real change runs its
    // control's reaction, so a value read later overrides what an earlier reaction forced.
    OptionSet& options = launcher.options();
    for (const Descriptor& d : descriptors().first<index(Id::cbFilter)>()) {
        options.setValue(d.id, readInteger(profile, d));
        if (d.id == Id::tbFrameSkip) {
            options.setFrameSkipLabel(options.value(Id::tbFrameSkip));
        }
    }
    launcher.emuPath = readText(profile, Id::emuPath);
    options.setValue(Id::cbFilter, readInteger(profile, descriptor(Id::cbFilter)));
    launcher.setLastFilter(0);
    launcher.applyFilterMask();

    const std::string stored = readText(profile, Id::romDirectory);
    if (!stored.empty() && stored != launcher.romDirectory()) {
        try {
            launcher.directoryChange(stored);
        } catch (const DirectoryError& e) {
            m_unenteredDirectory = stored;
            errors.push_back(std::string(e.what()) + ". The list shows " + launcher.romDirectory() +
                             "; the stored directory stays in the settings until you choose "
                             "another one.");
        }
    }
    m_directoryAtLoad = launcher.romDirectory();

    launcher.lastRom = readInteger(profile, descriptor(Id::lastRom));
    launcher.splashScreen = readInteger(profile, descriptor(Id::splashScreen));
    return errors;
}

void Settings::save(const Launcher& launcher) {
    // Read again: whatever the file holds besides our keys is kept.
    ProfileFile profile;
    if (const std::optional<std::string> reason = profile.read(m_fileName)) {
        throw SettingsWriteError(m_fileName, *reason);
    }
    for (const Descriptor& d : descriptors()) {
        std::string value;
        switch (d.id) {
        case Id::romDirectory:
            value = !m_unenteredDirectory.empty() && launcher.romDirectory() == m_directoryAtLoad
                        ? m_unenteredDirectory
                        : launcher.romDirectory();
            break;
        case Id::emuPath:
            value = launcher.emuPath;
            break;
        case Id::lastRom:
            value = std::to_string(launcher.files().selected());
            break;
        case Id::splashScreen:
            value = std::to_string(launcher.splashScreen);
            break;
        default:
            value = std::to_string(launcher.options().value(d.id));
            break;
        }
        // Refused only for a text holding a line break, which would break the file apart: the
        // key keeps what the file holds, and the other keys are still written.
        profile.setValue(d.section, d.key, value);
    }
    if (const std::optional<std::string> reason = profile.write(m_fileName)) {
        throw SettingsWriteError(m_fileName, *reason);
    }
}

} // namespace vodavav
