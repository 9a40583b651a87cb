// Showing a folder: the main window's directory change against the core's alone, the widgets
// that scrolling through a long list creates, and the memory per listed entry with the window
// up. Runs on whatever Qt platform the environment gives (the script starts an X server).
#include "appearance.h"
#include "directorylistbox.h"
#include "emptyfolder.h"
#include "filelist.h"
#include "launcher.h"
#include "platform.h"
#include "resultlog.h"
#include "romfolder.h"
#include "settings.h"
#include "temporarydirectory.h"
#include "tvemoxmain.h"

#include <QApplication>
#include <QKeyEvent>
#include <QListView>

#include <malloc.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

using vodavav::Launcher;
using vodavav::TVemoxMain;
using vodavav::bench::EmptyFolder;
using vodavav::bench::ResultLog;
using vodavav::bench::RomFolder;

namespace {

constexpr std::size_t kEntries = 100'000;

// Starts nothing; the settings file lands in the benchmark's own directory.
class QuietPlatform : public vodavav::Platform {
public:
    explicit QuietPlatform(std::string programPath) : m_programPath(std::move(programPath)) {}
    std::string shortForm(const std::string& path) override { return path; }
    vodavav::StartResult start(const vodavav::CommandLine&, const std::string&) override {
        return {false, "not started by the benchmark"};
    }
    std::string programPath() override { return m_programPath; }

private:
    std::string m_programPath;
};

// A box would stop the benchmark: any message means the run measured something else.
class RecordedMessages : public vodavav::Messages {
public:
    void message(const std::string& text) override { shown.push_back(text); }
    void error(const std::string& text) override { shown.push_back(text); }
    std::vector<std::string> shown;
};

// The main window as the program shows it, with a settings file that asks for no splash.
class Window {
public:
    explicit Window(const std::string& startDirectory)
        : m_launcher(startDirectory), m_platform(m_dir + "/vodavav") {
        std::ofstream(m_dir + "/.ini") << "[DezovESettings]\nSplashScreen=0\n";
        m_window = std::make_unique<TVemoxMain>(m_launcher, m_platform, m_messages);
        m_window->FormCreate();
        m_window->show();
        settle();
        m_view = m_window->findChild<QListView*>("fileListBox");
        if (m_view == nullptr) {
            throw std::runtime_error("the window has no fileListBox");
        }
    }
    ~Window() {
        m_window.reset();
        std::error_code ec;
        std::filesystem::remove_all(m_dir, ec);
    }

    // What the user's change of directory runs, until the window has shown the result.
    void changeDirectory(const std::string& directory) {
        m_window->directoryListBoxChange(directory);
        settle();
        if (!m_messages.shown.empty()) {
            throw std::runtime_error("the window said: " + m_messages.shown.front());
        }
    }

    // Scrolls to the end of the list and selects the last entry from the keyboard: Home, as a
    // list without a current entry takes any first key to its first entry, then End.
    void selectLast() {
        m_view->setFocus();
        for (const Qt::Key key : {Qt::Key_Home, Qt::Key_End}) {
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
            QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
            QApplication::sendEvent(m_view, &press);
            QApplication::sendEvent(m_view, &release);
            settle();
        }
    }

    const Launcher& launcher() const { return m_launcher; }

    static void settle() {
        QApplication::sendPostedEvents();
        QApplication::processEvents();
    }

private:
    std::string m_dir = vodavav::bench::makeTemporaryDirectory("vodavav-window");
    Launcher m_launcher;
    QuietPlatform m_platform;
    RecordedMessages m_messages;
    std::unique_ptr<TVemoxMain> m_window;
    QListView* m_view = nullptr;
};

// Both time the same change, from an empty folder into the big one, under "All Roms".
void benchWindow(benchmark::State& state, Window* window, const RomFolder* folder,
                 const EmptyFolder* empty) {
    for (auto _ : state) {
        state.PauseTiming();
        window->changeDirectory(empty->path());
        state.ResumeTiming();
        window->changeDirectory(folder->path());
        state.PauseTiming();
        if (window->launcher().files().size() != folder->listedAllRoms()) {
            state.SkipWithError("the window does not list what the folder holds");
        }
        state.ResumeTiming();
    }
}

void benchCore(benchmark::State& state, const RomFolder* folder, const EmptyFolder* empty) {
    Launcher launcher(empty->path());
    for (auto _ : state) {
        state.PauseTiming();
        launcher.directoryChange(empty->path());
        state.ResumeTiming();
        launcher.directoryChange(folder->path());
        state.PauseTiming();
        if (launcher.files().size() != folder->listedAllRoms()) {
            state.SkipWithError("the file list does not hold what the folder holds");
        }
        state.ResumeTiming();
    }
}

// Part of the window's change: the directory list showing the folder's ancestors and its
// subdirectories, which it takes from the file list's read.
void benchDirectoryList(benchmark::State& state, const RomFolder* folder,
                        const EmptyFolder* empty) {
    vodavav::DirectoryListBox list(nullptr);
    vodavav::FileList files;
    files.setDirectory(folder->path());
    for (auto _ : state) {
        state.PauseTiming();
        list.showDirectory(empty->path());
        state.ResumeTiming();
        list.showDirectory(folder->path(), files);
    }
}

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

// In a freshly started process: the window up, the folder listed, scrolled to its end.
int listAndReport(const char* directory) {
    const EmptyFolder start;
    Window window(start.path());
    window.changeDirectory(directory);
    window.selectLast();
    std::printf("%zu %ld\n", window.launcher().files().size(), peakResidentKilobytes());
    return 0;
}

struct Measure {
    std::size_t entries = 0;
    long peakKilobytes = 0;
};

Measure measureIn(const std::string& self, const std::string& directory) {
    const std::string command = "'" + self + "' --list '" + directory + "'";
    FILE* child = ::popen(command.c_str(), "r");
    if (child == nullptr) {
        throw std::runtime_error("cannot start " + command);
    }
    Measure m;
    const int read = std::fscanf(child, "%zu %ld", &m.entries, &m.peakKilobytes);
    if (::pclose(child) != 0 || read != 2) {
        throw std::runtime_error("the measuring process failed: " + command);
    }
    return m;
}

} // namespace

// For the start-up timing: a settings file as the program leaves it at the end of a run, every
// key written, listing romDirectory and showing no splash.
int writeSettings(const char* file, const char* romDirectory) {
    Launcher launcher(romDirectory);
    vodavav::Settings settings(file);
    settings.load(launcher);
    launcher.splashScreen = 0;
    settings.save(launcher);
    return 0;
}

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--write-settings") == 0) {
        return writeSettings(argv[2], argv[3]);
    }
    QApplication app(argc, argv);
    vodavav::useVemoxStyle();
    if (argc == 3 && std::strcmp(argv[1], "--list") == 0) {
        return listAndReport(argv[2]);
    }
    std::vector<std::string> storage;
    std::vector<char*> args = vodavav::bench::withDefaultFlags(argc, argv, storage);
    int count = static_cast<int>(args.size()) - 1;
    benchmark::Initialize(&count, args.data());

    std::printf("Generating folders of %zu entries\n", kEntries);
    std::fflush(stdout);
    const RomFolder folder(kEntries, RomFolder::Mix::Mixed);
    const RomFolder roms(kEntries, RomFolder::Mix::RomsOnly);
    const EmptyFolder empty;
    Window window(empty.path());

    benchmark::RegisterBenchmark("WindowDirectoryChange/100000", benchWindow, &window, &folder,
                                 &empty)

        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("CoreDirectoryChange/100000", benchCore, &folder, &empty)

        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("DirectoryListShow/100000", benchDirectoryList, &folder, &empty)

        ->Unit(benchmark::kMillisecond);
    ResultLog log;
    benchmark::RunSpecifiedBenchmarks(&log);
    benchmark::Shutdown();
    if (log.failed()) {
        std::printf("A benchmark failed; no figures.\n");
        return 1;
    }

    window.changeDirectory(folder.path());
    const qsizetype widgetsBefore = QApplication::allWidgets().size();
    window.selectLast();
    const qsizetype widgetsAfter = QApplication::allWidgets().size();
    const bool lastSelected =
        window.launcher().files().selected() == static_cast<int>(folder.listedAllRoms()) - 1;

    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    std::vector<double> emptyPeaks;
    std::vector<double> fullPeaks;
    for (int run = 0; run < 3; ++run) {
        emptyPeaks.push_back(static_cast<double>(measureIn(self, empty.path()).peakKilobytes));
        const Measure full = measureIn(self, roms.path());
        if (full.entries != roms.listedAllRoms()) {
            std::printf("The window in the measuring process did not list the folder.\n");
            return 1;
        }
        fullPeaks.push_back(static_cast<double>(full.peakKilobytes));
    }
    const double n = static_cast<double>(roms.listedAllRoms());
    const double perEntry =
        (vodavav::bench::median(fullPeaks) - vodavav::bench::median(emptyPeaks)) * 1024.0 / n;
    const double name = static_cast<double>(roms.listedNameBytes()) / n;

    const double windowTime = log.seconds("WindowDirectoryChange/100000");
    const double coreTime = log.seconds("CoreDirectoryChange/100000");
    const double listTime = log.seconds("DirectoryListShow/100000");
    std::printf("\nwindow's directory change %.1f ms, core's alone %.1f ms; the directory list "
                "showing the folder takes %.1f ms of it\n",
                windowTime * 1e3, coreTime * 1e3, listTime * 1e3);
    std::printf("widgets before scrolling to the end %lld, after %lld; last entry selected: %s\n",
                static_cast<long long>(widgetsBefore), static_cast<long long>(widgetsAfter),
                lastSelected ? "yes" : "no");
    std::printf("peak memory with the window up, per entry: %.1f B, name %.1f B\n", perEntry, name);
    vodavav::bench::printTarget("window-directory-change", windowTime / coreTime, 1.5);
    vodavav::bench::printTarget(
        "window-widgets-per-entry",
        lastSelected ? static_cast<double>(widgetsAfter - widgetsBefore) : 1e9, 0.0, 0);
    vodavav::bench::printTarget("memory-per-entry-window", perEntry - name, 150.0, 0);
    return 0;
}
