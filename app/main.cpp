// vodavav: the launcher's window.
#include "appearance.h"
#include "fontwarmup.h"
#include "launcher.h"
#include "messageboxes.h"
#include "pictures.h"
#include "systemplatform.h"
#include "tvemoxmain.h"

#include <QApplication>
#include <QWindow>

#include <filesystem>
#include <system_error>

namespace {

// Gives the program its icon once the window first shows on the screen. Every size of the icon
// is converted for the window system, which would hold up the window's first paint; the window
// manager takes up the icon whenever it comes.
class IconAfterFirstExpose : public QObject {
public:
    explicit IconAfterFirstExpose(QWindow& window) : m_window(window) {
        window.installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &m_window && event->type() == QEvent::Expose && m_window.isExposed()) {
            m_window.removeEventFilter(this);
            // After the expose is handled: that is what paints the window.
            QMetaObject::invokeMethod(
                this, [] { QApplication::setWindowIcon(vodavav::programIcon()); },
                Qt::QueuedConnection);
        }
        return false;
    }

private:
    QWindow& m_window;
};

} // namespace

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
    IconAfterFirstExpose icon(*window.windowHandle());
    return QApplication::exec();
}
