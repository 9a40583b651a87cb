// vodavav-launch: starts the emulator on one ROM from a terminal, with the options the window
// stored, exactly as the window's LAUNCH would. It only reads the settings file.

#include "launcher.h"
#include "romfilter.h"
#include "settings.h"
#include "systemplatform.h"

#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <variant>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kProgram = "vodavav-launch";

constexpr std::string_view kUsage =
    R"(Usage: vodavav-launch [--settings FILE] [--dry-run] ROM

Starts the emulator on the ROM file with the options, the emulator path and the system filter
that the vodavav window stored, with the same command line as the window's LAUNCH.

  --settings FILE  read FILE instead of the settings file of the vodavav program beside this
                   one (its path cut at the first ".", then ".ini")
  --dry-run        print the command line instead of starting the emulator
  --help           show this text and exit

The ROM's directory is listed under the stored system filter and the ROM's entry is selected
there, as if picked in the window. A ROM that the filter does not list (another extension) is
started by its own path, with the same switches. The emulator runs in the ROM's directory.
The settings file is only read, never written.

Exit status: 0 when the emulator was started (or the command line printed); 1 when it could not
be (a missing ROM file, no emulator path, a failed start); 2 for a wrong command line.
)";

struct Arguments {
    std::optional<std::string> settingsFile;
    std::string rom;
    bool dryRun = false;
    bool help = false;
};

int usageError(std::string_view what) {
    std::cerr << kProgram << ": " << what << "\nTry '" << kProgram << " --help'.\n";
    return 2;
}

// Returns the exit status of a wrong command line, or none.
std::optional<int> parse(int argc, char** argv, Arguments& args) {
    bool optionsEnded = false;
    bool haveRom = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && (arg == "--help" || arg == "-h")) {
            args.help = true;
        } else if (!optionsEnded && arg == "--dry-run") {
            args.dryRun = true;
        } else if (!optionsEnded && arg == "--settings") {
            if (++i == argc) {
                return usageError("--settings needs a file name");
            }
            args.settingsFile = argv[i];
        } else if (!optionsEnded && arg.starts_with("--settings=")) {
            args.settingsFile = std::string(arg.substr(std::string_view("--settings=").size()));
        } else if (!optionsEnded && arg.size() > 1 && arg.front() == '-') {
            return usageError("unknown option " + std::string(arg));
        } else if (haveRom) {
            return usageError("only one ROM can be started");
        } else {
            args.rom = arg;
            haveRom = true;
        }
    }
    if (!args.help && !haveRom) {
        return usageError("no ROM given");
    }
    if (args.settingsFile && args.settingsFile->empty()) {
        return usageError("--settings needs a file name");
    }
    return std::nullopt;
}

// The file the vodavav program beside this one reads.
std::string defaultSettingsFile(vodavav::Platform& platform, const char* argv0) {
    std::string self = platform.programPath();
    if (self.empty()) {
        std::error_code ec;
        self = fs::absolute(argv0, ec).string();
    }
    return vodavav::settingsFileName((fs::path(self).parent_path() / "vodavav").string());
}

// Selects the list entry that stands for the ROM: under a single-system filter the entry is the
// name without its extension, and the launch puts the extension back in lower case, so an entry
// counts only when it leads back to this very file (two names may differ in letter case alone).
bool selectEntryFor(vodavav::Launcher& launcher, vodavav::Platform& platform,
                    const std::string& romPath, const std::string& name) {
    std::string shown = name;
    const int k = launcher.options().value(vodavav::Id::cbFilter);
    if (k >= 1) {
        const std::optional<vodavav::SystemFilter> filter = vodavav::systemFilter(k);
        if (!filter || !vodavav::matchesMask(name, filter->mask)) {
            return false;
        }
        shown.resize(name.size() - filter->cut);
    }
    const std::string wanted = platform.shortForm(romPath);
    const std::vector<std::string> entries = launcher.files().entries();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (entries[i] != shown) {
            continue;
        }
        launcher.files().select(static_cast<int>(i));
        if (platform.shortForm(*launcher.selectedRom()) == wanted) {
            return true;
        }
    }
    launcher.files().select(-1);
    return false;
}

int run(const Arguments& args, const char* argv0) {
    const std::unique_ptr<vodavav::Platform> platform = vodavav::makeSystemPlatform();

    std::error_code ec;
    const fs::path rom = fs::absolute(args.rom, ec).lexically_normal();
    const fs::file_status romStatus = fs::status(rom, ec);
    if (romStatus.type() == fs::file_type::not_found) {
        std::cerr << kProgram << ": the ROM file " << args.rom << " does not exist.\n";
        return 1;
    }
    if (romStatus.type() != fs::file_type::regular) {
        std::cerr << kProgram << ": " << args.rom << " is not a ROM file"
                  << (ec ? ": " + ec.message() : std::string()) << ".\n";
        return 1;
    }

    // The window's start-up: a fresh state in the current directory, the stored settings with
    // their interlocks, the list prepared for the filter, the last ROM selected.
    const fs::path cwd = fs::current_path(ec);
    vodavav::Launcher launcher(cwd.string());
    vodavav::Settings settings(args.settingsFile ? *args.settingsFile
                                                 : defaultSettingsFile(*platform, argv0));
    for (const std::string& error : settings.load(launcher)) {
        std::cerr << error << '\n';
    }
    launcher.filterRefresh();
    launcher.files().select(launcher.lastRom);

    // Then the user picks the ROM's directory and the ROM in it.
    const std::string directory = rom.parent_path().string();
    try {
        launcher.directoryChange(directory);
    } catch (const vodavav::DirectoryError& e) {
        std::cerr << e.what() << ".\n";
        return 1;
    }
    std::variant<vodavav::CommandLine, std::string> prepared;
    if (selectEntryFor(launcher, *platform, rom.string(), rom.filename().string())) {
        prepared = launcher.preparedLaunch(*platform);
    } else if (launcher.emuPath.empty()) {
        prepared = std::string(vodavav::kNoEmulatorMessage);
    } else {
        prepared = vodavav::buildCommandLine(launcher.options(), launcher.emuPath,
                                             platform->shortForm(rom.string()));
    }

    if (const std::string* message = std::get_if<std::string>(&prepared)) {
        std::cerr << *message << '\n';
        return 1;
    }
    const vodavav::CommandLine& line = std::get<vodavav::CommandLine>(prepared);
    if (args.dryRun) {
        std::cout << line.text << '\n';
        return 0;
    }
    const vodavav::StartResult result = platform->start(line, directory);
    if (!result.started) {
        std::cerr << "Unable to start " << launcher.emuPath << ": " << result.reason << '\n';
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    Arguments args;
    if (const std::optional<int> status = parse(argc, argv, args)) {
        return *status;
    }
    if (args.help) {
        std::cout << kUsage;
        return 0;
    }
    try {
        return run(args, argv[0]);
    } catch (const std::exception& e) {
        std::cerr << kProgram << ": " << e.what() << '\n';
        return 1;
    }
}
