#pragma once

#include <QString>
#include <QWidget>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QKeyEvent;
class QLabel;
class QListView;
class QPushButton;

namespace vodavav {

class DirectoryListBox;
class DriveComboBox;
class FileListModel;
class Launcher;
class Messages;
class OptionBinder;
class PictureButton;
class Platform;
class Settings;
class TfrmSplash;

// The main window: every option control, the file browser and the three pictures. It holds no
// rule of its own: its controls are bound to the launcher's state and its handlers call the
// launcher.
class TVemoxMain : public QWidget {
    Q_OBJECT
public:
    TVemoxMain(Launcher& launcher, Platform& platform, Messages& messages,
               QWidget* parent = nullptr);
    // Runs FormDestroy: the settings are saved when the window goes.
    ~TVemoxMain() override;

    // Loads the settings, places the window, prepares the list and selects the last ROM.
    void FormCreate();
    // The first activation: tells of the errors the load met, then shows the splash when the
    // stored flag asks for it. Later activations do nothing.
    void FormActivate();
    // Hides the window and saves the settings, once.
    void FormDestroy();

    void btnLAUNCHClick();
    void fileListBoxDblClick();
    void btnVEMOXEXEClick();
    void btnExitClick();
    void imgAboutClick();
    void cbFilterChange();
    void directoryListBoxChange(const std::string& directory);

    // Every show first keeps the window off the taskbar, and then asks for the focus, which some
    // window managers do not give to such windows by themselves.
    void setVisible(bool visible) override;

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    bool fileListBoxKeyPress(const QKeyEvent& event);
    void showSplash();
    // After a read of the file list, or after one that failed.
    enum class Read { Done, Failed };
    // Shows the browser's state after a change: lists, count and selection. The directory list
    // takes the subdirectories from the file list's read, so that a large folder is not read
    // twice; after a failed read it reads them itself, to show the directory as it now is.
    // Runs a change of the file list; one that cannot read its directory shows the error box.
    void changeList(const std::function<void()>& change);
    void showBrowser(Read read);
    void showSelection();
    QString launchPreview() const;

    Launcher& m_launcher;
    Platform& m_platform;
    Messages& m_messages;
    std::unique_ptr<Settings> m_iniFile;
    std::unique_ptr<OptionBinder> m_binder;
    std::vector<std::string> m_loadErrors;
    bool m_activated = false;
    QString m_lastChosenEmulator;

    FileListModel* m_fileModel = nullptr;
    QListView* m_fileListBox = nullptr;
    DirectoryListBox* m_directoryListBox = nullptr;
    DriveComboBox* m_driveComboBox = nullptr;
    QLabel* m_lblNumberOfRoms = nullptr;
    PictureButton* m_imgAbout = nullptr;
    PictureButton* m_btnLAUNCH = nullptr;
    PictureButton* m_btnExit = nullptr;
    QPushButton* m_btnVEMOXEXE = nullptr;
    TfrmSplash* m_frmSplash = nullptr;
};

} // namespace vodavav
