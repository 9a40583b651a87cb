// Memory per entry: the peak memory of a process that lists a folder of 100,000 ROMs, against the
// same process listing an empty folder. Each measure runs in a freshly started process of this
// program, so that nothing the benchmark itself allocated is counted or reused.
#include "emptyfolder.h"
#include "filelist.h"
#include "resultlog.h"
#include "romfilter.h"
#include "romfolder.h"

#include <malloc.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

using vodavav::FileList;
using vodavav::bench::EmptyFolder;
using vodavav::bench::ResultLog;
using vodavav::bench::RomFolder;

namespace {

constexpr std::size_t kEntries = 100'000;

// The process's peak resident set ("VmHWM"), in kB. Unlike getrusage, it starts afresh with the
// program's own image, so it holds nothing of the process that started it.
long peakResidentKilobytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.starts_with("VmHWM:")) {
            return std::stol(line.substr(6));
        }
    }
    throw std::runtime_error("no VmHWM in /proc/self/status");
}

std::size_t heapInUse() {
    const struct mallinfo2 info = ::mallinfo2();
    return info.uordblks + info.hblkhd;
}

// In the started process: list the folder under "All Roms" and report what it took.
int listAndReport(const char* directory) {
    const std::size_t heapBefore = heapInUse();
    FileList list;
    list.setMask(std::string(vodavav::kAllRomsMask));
    list.setDirectory(directory);
    const std::size_t heapAfter = heapInUse();
    std::printf("%zu %ld %zu\n", list.size(), peakResidentKilobytes(), heapAfter - heapBefore);
    return 0;
}

struct Measure {
    std::size_t entries = 0;
    long peakKilobytes = 0;
    std::size_t heapBytes = 0;
};

Measure measureIn(const std::string& self, const std::string& directory) {
    const std::string command = "'" + self + "' --list '" + directory + "'";
    FILE* child = ::popen(command.c_str(), "r");
    if (child == nullptr) {
        throw std::runtime_error("cannot start " + command);
    }
    Measure m;
    const int read = std::fscanf(child, "%zu %ld %zu", &m.entries, &m.peakKilobytes, &m.heapBytes);
    if (::pclose(child) != 0 || read != 3) {
        throw std::runtime_error("the measuring process failed: " + command);
    }
    return m;
}

void benchPeak(benchmark::State& state, const std::string* self, const std::string* directory,
               std::size_t expected) {
    for (auto _ : state) {
        const Measure m = measureIn(*self, *directory);
        if (m.entries != expected) {
            state.SkipWithError("the file list does not hold what the folder holds");
        }
        state.counters["peak_kB"] = static_cast<double>(m.peakKilobytes);
        state.counters["heap_B"] = static_cast<double>(m.heapBytes);
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--list") == 0) {
        return listAndReport(argv[2]);
    }
    std::vector<std::string> storage;
    std::vector<char*> args = vodavav::bench::withDefaultFlags(argc, argv, storage);
    int count = static_cast<int>(args.size()) - 1;
    benchmark::Initialize(&count, args.data());

    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    std::printf("Generating a folder of %zu ROMs\n", kEntries);
    std::fflush(stdout);
    const RomFolder roms(kEntries, RomFolder::Mix::RomsOnly);
    const EmptyFolder empty;
    const std::string romPath = roms.path();
    const std::string emptyPath = empty.path();
    benchmark::RegisterBenchmark("PeakMemory/0", benchPeak, &self, &emptyPath, std::size_t{0})
        ->Iterations(1);
    benchmark::RegisterBenchmark("PeakMemory/100000", benchPeak, &self, &romPath,
                                 roms.listedAllRoms())
        ->Iterations(1);

    ResultLog log;
    benchmark::RunSpecifiedBenchmarks(&log);
    benchmark::Shutdown();
    if (log.failed()) {
        std::printf("A benchmark failed; no figures.\n");
        return 1;
    }
    const double n = static_cast<double>(roms.listedAllRoms());
    const double peak =
        (log.counter("PeakMemory/100000", "peak_kB") - log.counter("PeakMemory/0", "peak_kB")) *
        1024.0 / n;
    const double heap = log.counter("PeakMemory/100000", "heap_B") / n;
    const double name = static_cast<double>(roms.listedNameBytes()) / n;
    std::printf("\nper entry: peak %.1f B, held after the read %.1f B, name %.1f B\n", peak, heap,
                name);
    std::printf("beyond the name: peak %.1f B, held %.1f B\n", peak - name, heap - name);
    vodavav::bench::printTarget("memory-per-entry-core", peak - name, 150.0, 0);
    return 0;
}
