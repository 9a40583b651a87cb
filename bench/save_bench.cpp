// Saving: the exit save of every key against one atomic replacement of a file of the same size.
#include "launcher.h"
#include "resultlog.h"
#include "romfolder.h"
#include "settings.h"
#include "temporarydirectory.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

using vodavav::Id;
using vodavav::Launcher;
using vodavav::Settings;
using vodavav::bench::ResultLog;
using vodavav::bench::RomFolder;

namespace {

std::string contentOf(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The floor: what any atomic replacement must do at least. The content goes into a new file
// beside the target, is forced to disk, and the new file is renamed over the old one.
void replaceAtomically(const std::string& target, const std::string& content) {
    const std::string temporary = target + ".new";
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) {
        throw std::runtime_error("cannot create " + temporary);
    }
    const bool written =
        ::write(fd, content.data(), content.size()) == static_cast<ssize_t>(content.size());
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    if (!written || !synced || ::rename(temporary.c_str(), target.c_str()) != 0) {
        throw std::runtime_error("cannot replace " + target);
    }
}

struct Fixture {
    std::string dir = vodavav::bench::makeTemporaryDirectory("vodavav-save");
    RomFolder roms{1'000, RomFolder::Mix::Mixed};
    Launcher launcher{roms.path()};
    std::string settingsFile = dir + "/vodavav.ini";
    std::string floorFile = dir + "/floor.ini";
    Settings settings{settingsFile};
    std::string content;

    Fixture() {
        // A settings file as a player's looks after some use: every key present, several away
        // from their defaults.
        settings.load(launcher);
        launcher.emuPath = "/home/player/emulators/vemox/vemox";
        launcher.options().setValue(Id::cbFilter, 1);
        launcher.filterRefresh();
        launcher.files().select(3);
        launcher.options().setValue(Id::tbFrameSkip, 2);
        settings.save(launcher);
        content = contentOf(settingsFile);
        replaceAtomically(floorFile, content);
    }
    ~Fixture() {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
};

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> storage;
    std::vector<char*> args = vodavav::bench::withDefaultFlags(argc, argv, storage);
    int count = static_cast<int>(args.size()) - 1;
    benchmark::Initialize(&count, args.data());

    Fixture fixture;
    std::printf("Settings file: %zu bytes\n", fixture.content.size());
    benchmark::RegisterBenchmark("AtomicReplace",
                                 [&](benchmark::State& state) {
                                     for (auto _ : state) {
                                         replaceAtomically(fixture.floorFile, fixture.content);
                                     }
                                 })
        ->UseRealTime()
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("SettingsSave",
                                 [&](benchmark::State& state) {
                                     for (auto _ : state) {
                                         fixture.settings.save(fixture.launcher);
                                     }
                                     if (contentOf(fixture.settingsFile) != fixture.content) {
                                         state.SkipWithError("the save wrote something else");
                                     }
                                 })
        ->UseRealTime()
        ->Unit(benchmark::kMicrosecond);

    ResultLog log;
    benchmark::RunSpecifiedBenchmarks(&log);
    benchmark::Shutdown();
    if (log.failed()) {
        std::printf("A benchmark failed; no figures.\n");
        return 1;
    }
    const double floor = log.seconds("AtomicReplace");
    const double save = log.seconds("SettingsSave");
    std::printf("\natomic replace %.1f us, settings save %.1f us\n", floor * 1e6, save * 1e6);
    vodavav::bench::printTarget("settings-save", save / floor, 3.0);
    return 0;
}
