// vodavav: the launcher's window.
#include "appearance.h"
#include "fontwarmup.h"
#include "launcher.h"
#include "messageboxes.h"
#include "pictures.h"
#include "systemplatform.h"
#include "tvemoxmain.h"

#include <QApplication>

#include <filesystem>
#include <system_error>

int main(int argc, char* argv[]) {
    // Meanwhile the application connects to the display.
    vodavav::FontWarmUp fonts;
    QApplication app(argc, argv);
    QApplication::setApplicationName(
        QString::fromUtf8(vodavav::kApplicationTitle.data(), vodavav::kApplicationTitle.size()));
    vodavav::useVemoxStyle();

    // The file browser starts in the directory the program was started in.
    std::error_code ec;
    const std::filesystem::path start = std::filesystem::current_path(ec);
    vodavav::Launcher launcher(ec ? std::string("/") : start.native());
    const std::unique_ptr<vodavav::Platform> platform = vodavav::makeSystemPlatform();
    vodavav::MessageBoxes messages;

    fonts.wait();
    vodavav::TVemoxMain window(launcher, *platform, messages);
    window.FormCreate();
    window.show();
    // Given once the window is up: given before, every size of it would be converted for the
    // window system twice on the way to the first paint, when the window is made and shown.
    QApplication::setWindowIcon(vodavav::programIcon());
    return QApplication::exec();
}
