// Reading a folder: the file list's read under "All Roms" and the launcher's directory change
// under a single system, each against a bare scan of the same directory.
#include "emptyfolder.h"
#include "filelist.h"
#include "launcher.h"
#include "resultlog.h"
#include "romfilter.h"
#include "romfolder.h"

#include <dirent.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

using vodavav::FileList;
using vodavav::Id;
using vodavav::Launcher;
using vodavav::bench::EmptyFolder;
using vodavav::bench::ResultLog;
using vodavav::bench::RomFolder;

namespace {

constexpr std::size_t kSizes[] = {1'000, 10'000, 100'000};

// The floor: every entry read once, nothing kept, nothing matched or sorted.
std::size_t bareScan(const std::string& directory) {
    DIR* dir = ::opendir(directory.c_str());
    if (dir == nullptr) {
        throw std::runtime_error("cannot open " + directory);
    }
    std::size_t n = 0;
    while (const dirent* entry = ::readdir(dir)) {
        benchmark::DoNotOptimize(entry->d_name[0]);
        ++n;
    }
    ::closedir(dir);
    return n;
}

// What the standard library's directory iteration costs by itself: every entry read once, as the
// file list reads it, with nothing matched, typed or kept.
std::size_t standardScan(const std::string& directory) {
    std::error_code ec;
    std::size_t n = 0;
    for (std::filesystem::directory_iterator it(directory, ec), end; !ec && it != end;
         it.increment(ec)) {
        benchmark::DoNotOptimize(it->path().native().data());
        ++n;
    }
    return n;
}

// Each benchmark times only the reading: building the object before and freeing the entries
// after are left out alike, so the three differ only in what they do with the directory.
void benchBareScan(benchmark::State& state, const RomFolder* folder) {
    for (auto _ : state) {
        const std::size_t n = bareScan(folder->path());
        state.PauseTiming();
        if (n != folder->entries() + 2) {
            state.SkipWithError("the scan missed entries");
        }
        state.ResumeTiming();
    }
}

void benchStandardScan(benchmark::State& state, const RomFolder* folder) {
    for (auto _ : state) {
        const std::size_t n = standardScan(folder->path());
        state.PauseTiming();
        if (n != folder->entries()) {
            state.SkipWithError("the scan missed entries");
        }
        state.ResumeTiming();
    }
}

void benchAllRoms(benchmark::State& state, const RomFolder* folder) {
    for (auto _ : state) {
        state.PauseTiming();
        auto list = std::make_unique<FileList>();
        list->setMask(std::string(vodavav::kAllRomsMask));
        state.ResumeTiming();
        list->setDirectory(folder->path());
        benchmark::DoNotOptimize(list->size());
        state.PauseTiming();
        if (list->size() != folder->listedAllRoms()) {
            state.SkipWithError("the file list does not hold what the folder holds");
        }
        list.reset();
        state.ResumeTiming();
    }
}

void benchSingleSystem(benchmark::State& state, const RomFolder* folder, const EmptyFolder* empty) {
    for (auto _ : state) {
        state.PauseTiming();
        auto launcher = std::make_unique<Launcher>(empty->path());
        launcher->options().setValue(Id::cbFilter, 1);
        launcher->filterRefresh();
        state.ResumeTiming();
        launcher->directoryChange(folder->path());
        benchmark::DoNotOptimize(launcher->files().size());
        state.PauseTiming();
        if (launcher->files().size() != folder->listed(1)) {
            state.SkipWithError("the file list does not hold what the folder holds");
        }
        launcher.reset();
        state.ResumeTiming();
    }
}

std::string name(const char* base, std::size_t n) {
    return std::string(base) + "/" + std::to_string(n);
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> storage;
    std::vector<char*> args = vodavav::bench::withDefaultFlags(argc, argv, storage);
    int count = static_cast<int>(args.size()) - 1;
    benchmark::Initialize(&count, args.data());

    std::printf("Generating folders of");
    std::vector<std::unique_ptr<RomFolder>> folders;
    for (const std::size_t n : kSizes) {
        std::printf(" %zu", n);
        std::fflush(stdout);
        folders.push_back(std::make_unique<RomFolder>(n, RomFolder::Mix::Mixed));
    }
    std::printf(" entries\n");
    const EmptyFolder empty;
    for (std::size_t i = 0; i < folders.size(); ++i) {
        const RomFolder* folder = folders[i].get();
        const std::size_t n = kSizes[i];
        benchmark::RegisterBenchmark(name("BareScan", n).c_str(), benchBareScan, folder)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(name("StandardScan", n).c_str(), benchStandardScan, folder)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(name("FileListAllRoms", n).c_str(), benchAllRoms, folder)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(name("LauncherSingleSystem", n).c_str(), benchSingleSystem,
                                     folder, &empty)
            ->Unit(benchmark::kMicrosecond);
    }

    ResultLog log;
    benchmark::RunSpecifiedBenchmarks(&log);
    benchmark::Shutdown();
    if (log.failed()) {
        std::printf("A benchmark failed; no figures.\n");
        return 1;
    }

    std::printf("\n%-8s %12s %12s %12s %14s   (ns per directory entry)\n", "entries", "bare scan",
                "std scan", "All Roms", "single system");
    std::vector<double> perEntry;
    std::vector<double> barePerEntry;
    for (const std::size_t n : kSizes) {
        const double d = static_cast<double>(n);
        const double bare = log.seconds(name("BareScan", n)) * 1e9 / d;
        const double standard = log.seconds(name("StandardScan", n)) * 1e9 / d;
        const double all = log.seconds(name("FileListAllRoms", n)) * 1e9 / d;
        const double single = log.seconds(name("LauncherSingleSystem", n)) * 1e9 / d;
        std::printf("%-8zu %12.1f %12.1f %12.1f %14.1f\n", n, bare, standard, all, single);
        perEntry.push_back(all);
        barePerEntry.push_back(bare);
    }
    const std::size_t big = kSizes[std::size(kSizes) - 1];
    const double floor = log.seconds(name("BareScan", big));
    const double allRatio = log.seconds(name("FileListAllRoms", big)) / floor;
    const double singleRatio = log.seconds(name("LauncherSingleSystem", big)) / floor;
    const double growth = perEntry.back() / perEntry.front();
    std::printf("std::filesystem scan alone / bare scan at %zu: %.2f\n", big,
                log.seconds(name("StandardScan", big)) / floor);
    std::printf("All Roms read / bare scan at %zu: %.2f\n", big, allRatio);
    std::printf("Single system change / bare scan at %zu: %.2f\n", big, singleRatio);
    const double bareGrowth = barePerEntry.back() / barePerEntry.front();
    std::printf("All Roms cost per entry, %zu / %zu: %.2f (the bare scan's own: %.2f; "
                "All Roms against it: %.2f)\n",
                big, kSizes[0], growth, bareGrowth, growth / bareGrowth);
    vodavav::bench::printTarget("folder-read-all-roms", allRatio, 2.0);
    vodavav::bench::printTarget("folder-read-single-system", singleRatio, 2.0);
    vodavav::bench::printTarget("folder-read-per-entry-growth", growth, 1.5);
    return 0;
}
