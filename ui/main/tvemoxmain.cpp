#include "tvemoxmain.h"

#include "appearance.h"
#include "directorylistbox.h"
#include "drivecombobox.h"
#include "filelistmodel.h"
#include "launcher.h"
#include "listentrydelegate.h"
#include "optionbinder.h"
#include "picturebutton.h"
#include "platform.h"
#include "radiogroup.h"
#include "settings.h"
#include "taskbar.h"
#include "tfrmsplash.h"
#include "volumes.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QTimer>
#include <QToolTip>

#include <utility>
#include <variant>

namespace vodavav {

namespace {

constexpr QSize kClientSize{644, 453};
// The window is placed as if it measured this, not by its own size.
constexpr QSize kPlacementSize{650, 480};
constexpr int kFileEntryHeight = 13;

QString qtext(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QStringList choiceTexts(Id id) {
    QStringList texts;
    for (const std::string_view choice : descriptor(id).choices) {
        texts << qtext(choice);
    }
    return texts;
}

template <typename W> W* named(W* widget, std::string_view name, const QRect& geometry) {
    widget->setObjectName(qtext(name));
    widget->setGeometry(geometry);
    return widget;
}

} // namespace

TVemoxMain::TVemoxMain(Launcher& launcher, Platform& platform, Messages& messages, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), m_launcher(launcher),
      m_platform(platform), m_messages(messages),
      m_binder(std::make_unique<OptionBinder>(launcher.options())) {
    setObjectName(QStringLiteral("VemoxMain"));
    setWindowTitle(QStringLiteral("vodavav"));
    setFixedSize(kClientSize);
    setFont(windowFont());
    setPalette(windowPalette(palette()));
    setAutoFillBackground(true);
    buildControls();

    m_frmSplash = new TfrmSplash(this);
    m_frmSplash->setBeforeShow([](QWidget* splash) { hideFromTaskbar(*splash); });
    m_fileListBox->setFocus();
}

TVemoxMain::~TVemoxMain() {
    FormDestroy();
}

void TVemoxMain::buildControls() {
    const QPalette lists = listPalette(palette());
    const QPalette plain = plainListPalette(QApplication::palette());
    std::vector<QWidget*> tabStops;

    const auto groupBox = [](std::string_view name, const char* title, QWidget* parent,
                             const QRect& geometry) {
        return named(new QGroupBox(QString::fromLatin1(title), parent), name, geometry);
    };
    const auto label = [](std::string_view name, const QString& text, QWidget* parent,
                          const QPoint& position) {
        // Labels size themselves to their text, from their place.
        auto* l = named(new QLabel(text, parent), name, QRect(position, QSize()));
        l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        l->adjustSize();
        return l;
    };
    const auto check = [&](Id id, QWidget* parent, const QRect& geometry) {
        const Descriptor& d = descriptor(id);
        auto* box = named(new QCheckBox(qtext(d.caption), parent), d.name, geometry);
        m_binder->bind(id, box);
        tabStops.push_back(box);
    };
    const auto radio = [&](Id id, QWidget* parent, const QRect& geometry, int columns) {
        const Descriptor& d = descriptor(id);
        auto* group = named(new RadioGroup(qtext(d.caption), choiceTexts(id), columns, parent),
                            d.name, geometry);
        m_binder->bind(id, group);
        for (QAbstractButton* button : group->findChildren<QAbstractButton*>()) {
            tabStops.push_back(button);
        }
    };
    const auto list = [&](Id id, QWidget* parent, const QRect& geometry, const QPalette& colours,
                          std::function<void()> afterUserChange = {}) {
        const Descriptor& d = descriptor(id);
        auto* combo = named(new QComboBox(parent), d.name, geometry);
        combo->addItems(choiceTexts(id));
        combo->setPalette(colours);
        m_binder->bind(id, combo, std::move(afterUserChange));
        tabStops.push_back(combo);
    };

    m_imgAbout = named(new PictureButton(kLogoDrawing, QStringLiteral("About"), this), "imgAbout",
                       QRect(6, 8, 145, 161));
    m_lblNumberOfRoms =
        label("lblNumberOfRoms", qtext(m_launcher.countLabel()), this, QPoint(20, 172));
    m_btnLAUNCH = named(new PictureButton(kLaunchDrawing, QStringLiteral("LAUNCH"), this),
                        "btnLAUNCH", QRect(98, 396, 141, 41));

    m_fileModel = new FileListModel(m_launcher.files(), this);
    m_fileListBox = named(new QListView(this), "fileListBox", QRect(18, 186, 305, 211));
    m_fileListBox->setModel(m_fileModel);
    m_fileListBox->setItemDelegate(new ListEntryDelegate(kFileEntryHeight, 0, m_fileListBox));
    m_fileListBox->setUniformItemSizes(true);
    m_fileListBox->setSelectionMode(QAbstractItemView::SingleSelection);
    m_fileListBox->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_fileListBox->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Flat: one plain dark line instead of a sunken border.
    QPalette fileColours = lists;
    fileColours.setColor(QPalette::WindowText, Qt::black);
    m_fileListBox->setPalette(fileColours);
    m_fileListBox->setFrameStyle(QFrame::Box | QFrame::Plain);
    m_fileListBox->setLineWidth(1);
    tabStops.push_back(m_fileListBox);

    QGroupBox* gbVideo = groupBox("gbVideo", " Video Settings ", this, {328, 14, 305, 135});
    list(Id::cbResMode, gbVideo, {8, 15, 191, 21}, plain);
    radio(Id::rgVsync, gbVideo, {8, 40, 95, 57}, 1);
    radio(Id::rgVideoMode, gbVideo, {106, 40, 93, 57}, 1);
    QLabel* lblFrameSkip = label("lblFrameSkip", QString(), gbVideo, {12, 100});
    auto* tbFrameSkip =
        named(new QSlider(Qt::Horizontal, gbVideo), "tbFrameSkip", QRect(6, 112, 191, 20));
    tbFrameSkip->setRange(0, kPositionMax);
    tbFrameSkip->setSingleStep(1);
    tbFrameSkip->setPageStep(1);
    tbFrameSkip->setTickInterval(1);
    tbFrameSkip->setTickPosition(QSlider::TicksBelow);
    m_binder->bind(Id::tbFrameSkip, tbFrameSkip, lblFrameSkip);
    tabStops.push_back(tbFrameSkip);
    check(Id::chVESADetection, gbVideo, {204, 14, 97, 17});
    check(Id::chVideoCache, gbVideo, {204, 33, 97, 17});
    check(Id::chBorderRaster, gbVideo, {204, 51, 97, 17});
    check(Id::chPalRaster, gbVideo, {204, 70, 93, 17});
    check(Id::chSpriteCollision, gbVideo, {204, 88, 97, 17});
    check(Id::chLCDPersistence, gbVideo, {204, 107, 97, 17});

    radio(Id::rgEmuMode, this, {328, 154, 305, 49}, 3);

    QGroupBox* groupBox2 =
        groupBox("GroupBox2", " Controller Settings ", this, {328, 208, 185, 125});
    radio(Id::rgController, groupBox2, {6, 14, 105, 105}, 1);
    label("lblJoySensitivity", QStringLiteral("Joy Sensitivity"), groupBox2, {114, 28});
    list(Id::cbJoySensitivity, groupBox2, {144, 44, 33, 21}, plain);
    label("lblSNESPort", QStringLiteral("SNES Port"), groupBox2, {127, 72});
    list(Id::cbSNESPort, groupBox2, {144, 88, 33, 21}, plain);

    QGroupBox* gbComm = groupBox("gbComm", " Comms Settings ", this, {520, 208, 113, 125});
    check(Id::chEnableComms, gbComm, {10, 22, 93, 17});
    label("Label1", QStringLiteral("Comm Port"), gbComm, {10, 46});
    list(Id::cbCommPort, gbComm, {66, 42, 33, 21}, plain);
    radio(Id::rgClientServer, gbComm, {9, 68, 95, 51}, 1);

    QGroupBox* gbMisc = groupBox("gbMisc", " Miscelaneous Options ", this, {328, 338, 185, 97});
    check(Id::chMMX, gbMisc, {8, 14, 121, 17});
    check(Id::chPentium, gbMisc, {8, 30, 121, 17});
    check(Id::chSound, gbMisc, {8, 46, 121, 17});
    check(Id::chNoEnter, gbMisc, {8, 62, 121, 17});
    check(Id::chSpeaker, gbMisc, {8, 78, 89, 17});
    check(Id::chJapanese, gbMisc, {104, 14, 73, 17});
    check(Id::chCPUGraph, gbMisc, {104, 30, 73, 17});
    check(Id::chPSGGraph, gbMisc, {104, 46, 73, 17});
    check(Id::ch3D, gbMisc, {104, 62, 65, 17});
    check(Id::ch3Dto2D, gbMisc, {104, 78, 73, 17});

    QGroupBox* groupBox1 = groupBox("GroupBox1", " DEZOVE Options ", this, {520, 338, 113, 97});
    m_btnVEMOXEXE = named(new QPushButton(QStringLiteral("Set Vemox Path"), groupBox1),
                          "btnVEMOXEXE", QRect(14, 18, 89, 17));
    m_btnVEMOXEXE->setPalette(QApplication::palette());
    tabStops.push_back(m_btnVEMOXEXE);
    check(Id::chExit, groupBox1, {10, 36, 93, 17});
    m_btnExit = named(new PictureButton(kExitDrawing, QStringLiteral("EXIT"), groupBox1), "btnExit",
                      QRect(24, 52, 73, 41));

    m_driveComboBox =
        named(new DriveComboBox(mountedVolumes(), this), "driveComboBox", {148, 16, 173, 19});
    m_driveComboBox->setPalette(lists);
    tabStops.push_back(m_driveComboBox);
    m_directoryListBox =
        named(new DirectoryListBox(this), "directoryListBox", QRect(148, 34, 173, 113));
    m_directoryListBox->setPalette(lists);
    m_directoryListBox->setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    tabStops.push_back(m_directoryListBox);
    list(Id::cbFilter, this, {148, 146, 173, 21}, lists, [this] { cbFilterChange(); });

    for (std::size_t i = 1; i < tabStops.size(); ++i) {
        setTabOrder(tabStops[i - 1], tabStops[i]);
    }
    // Pictures and labels lie beneath the other controls, where they overlap by a pixel.
    for (QWidget* flat : std::initializer_list<QWidget*>{m_imgAbout, m_btnLAUNCH, m_btnExit,
                                                         m_lblNumberOfRoms, lblFrameSkip}) {
        flat->lower();
    }

    connect(m_imgAbout, &PictureButton::clicked, this, &TVemoxMain::imgAboutClick);
    connect(m_btnLAUNCH, &PictureButton::clicked, this, &TVemoxMain::btnLAUNCHClick);
    connect(m_btnExit, &PictureButton::clicked, this, &TVemoxMain::btnExitClick);
    connect(m_btnVEMOXEXE, &QPushButton::clicked, this, &TVemoxMain::btnVEMOXEXEClick);
    connect(m_directoryListBox, &DirectoryListBox::openRequested, this,
            &TVemoxMain::directoryListBoxChange);
    connect(m_driveComboBox, &DriveComboBox::driveChosen, this,
            &TVemoxMain::directoryListBoxChange);
    connect(m_fileListBox->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        const QModelIndexList rows = m_fileListBox->selectionModel()->selectedRows();
        m_launcher.files().select(rows.isEmpty() ? -1 : rows.front().row());
    });
    m_fileListBox->installEventFilter(this);
    m_fileListBox->viewport()->installEventFilter(this);
    m_btnLAUNCH->installEventFilter(this);

    showBrowser(Read::Done);
}

void TVemoxMain::FormCreate() {
    m_iniFile = std::make_unique<Settings>(settingsFileName(m_platform.programPath()));
    m_fileModel->change([this] { m_loadErrors = m_iniFile->load(m_launcher); });

    const QSize screenSize = screen()->size();
    move((screenSize.width() - kPlacementSize.width()) / 2,
         (screenSize.height() - kPlacementSize.height()) / 2);

    try {
        m_fileModel->change([this] { m_launcher.filterRefresh(); });
    } catch (const DirectoryError& e) {
        m_loadErrors.emplace_back(e.what());
    }
    m_launcher.files().select(m_launcher.lastRom);
    showBrowser(Read::Done);
}

void TVemoxMain::FormActivate() {
    if (m_activated) {
        return;
    }
    m_activated = true;
    const std::vector<std::string> errors = std::exchange(m_loadErrors, {});
    for (const std::string& error : errors) {
        m_messages.error(error);
    }
    if (!errors.empty()) {
        activateWindow();
    }
    if (m_launcher.splashScreen == 1) {
        showSplash();
    }
}

void TVemoxMain::FormDestroy() {
    hide();
    if (!m_iniFile) {
        return;
    }
    // Released whatever the save meets: there is exactly one save per run.
    const std::unique_ptr<Settings> iniFile = std::move(m_iniFile);
    try {
        iniFile->save(m_launcher);
    } catch (const SettingsWriteError& e) {
        m_messages.error(std::string(e.what()) + ".");
    }
}

void TVemoxMain::btnLAUNCHClick() {
    const LaunchResult result = m_launcher.btnLAUNCHClick(m_platform, m_messages);
    if (result.exitRequested) {
        close();
    } else if (!result.started) {
        // A message box was shown; the emulator's window, had it started, keeps the focus.
        activateWindow();
    }
}

void TVemoxMain::fileListBoxDblClick() {
    btnLAUNCHClick();
}

bool TVemoxMain::fileListBoxKeyPress(const QKeyEvent& event) {
    if (event.key() != Qt::Key_Return && event.key() != Qt::Key_Enter) {
        return false;
    }
    btnLAUNCHClick();
    return true;
}

void TVemoxMain::btnVEMOXEXEClick() {
    QFileDialog dlgOpen(this, QStringLiteral("Set Vemox Path"));
    dlgOpen.setObjectName(QStringLiteral("dlgOpen"));
    dlgOpen.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::HideNameFilterDetails);
    dlgOpen.setAcceptMode(QFileDialog::AcceptOpen);
    dlgOpen.setFileMode(QFileDialog::AnyFile);
    // The filter reads "*.exe" but lists every file: emulators on this system have no ".exe".
    dlgOpen.setNameFilter(QStringLiteral("*.exe (*)"));
    if (m_lastChosenEmulator.isEmpty()) {
        dlgOpen.setDirectory(displayName(m_launcher.files().directory()));
    } else {
        dlgOpen.selectFile(m_lastChosenEmulator);
    }
    if (dlgOpen.exec() == QDialog::Accepted && !dlgOpen.selectedFiles().isEmpty()) {
        m_lastChosenEmulator = dlgOpen.selectedFiles().front();
        m_launcher.emuPath = QFile::encodeName(m_lastChosenEmulator).toStdString();
    }
    activateWindow();
}

void TVemoxMain::btnExitClick() {
    close();
}

void TVemoxMain::imgAboutClick() {
    showSplash();
}

void TVemoxMain::showSplash() {
    m_frmSplash->showModal();
    activateWindow();
}

void TVemoxMain::cbFilterChange() {
    changeList([this] { m_launcher.filterRefresh(); });
}

void TVemoxMain::directoryListBoxChange(const std::string& directory) {
    changeList([&] { m_launcher.directoryChange(directory); });
}

void TVemoxMain::changeList(const std::function<void()>& change) {
    try {
        m_fileModel->change(change);
    } catch (const DirectoryError& e) {
        // The lists stay on the directory that was shown; so does the drive list.
        showBrowser(Read::Failed);
        m_messages.error(e.what());
        activateWindow();
        return;
    }
    showBrowser(Read::Done);
}

void TVemoxMain::showBrowser(Read read) {
    if (read == Read::Done) {
        m_directoryListBox->showDirectory(m_launcher.romDirectory(), m_launcher.files());
    } else {
        m_directoryListBox->showDirectory(m_launcher.romDirectory());
    }
    m_driveComboBox->showDirectory(m_launcher.romDirectory());
    m_lblNumberOfRoms->setText(qtext(m_launcher.countLabel()));
    m_lblNumberOfRoms->adjustSize();
    showSelection();
}

void TVemoxMain::showSelection() {
    QItemSelectionModel* selection = m_fileListBox->selectionModel();
    const int selected = m_launcher.files().selected();
    if (selected < 0) {
        selection->clearSelection();
        return;
    }
    const QModelIndex entry = m_fileModel->index(selected);
    selection->setCurrentIndex(entry, QItemSelectionModel::ClearAndSelect);
    m_fileListBox->scrollTo(entry);
}

QString TVemoxMain::launchPreview() const {
    const std::variant<CommandLine, std::string> prepared = m_launcher.preparedLaunch(m_platform);
    if (const auto* line = std::get_if<CommandLine>(&prepared)) {
        return displayName(line->text);
    }
    return displayName(std::get<std::string>(prepared));
}

void TVemoxMain::setVisible(bool visible) {
    if (visible && !isVisible()) {
        hideFromTaskbar(*this);
    }
    QWidget::setVisible(visible);
    if (visible) {
        activateWindow();
        // Window managers that give no focus by themselves never activate the window: the first
        // show stands in for the first activation then.
        if (!m_activated) {
            QTimer::singleShot(0, this, &TVemoxMain::FormActivate);
        }
    }
}

bool TVemoxMain::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate && !m_activated) {
        // Out of the event's handling: the splash runs its own modal loop.
        QTimer::singleShot(0, this, &TVemoxMain::FormActivate);
    }
    return QWidget::event(event);
}

bool TVemoxMain::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_fileListBox && event->type() == QEvent::KeyPress) {
        return fileListBoxKeyPress(*static_cast<QKeyEvent*>(event));
    }
    if (watched == m_fileListBox->viewport() && event->type() == QEvent::MouseButtonDblClick &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        fileListBoxDblClick();
        return true;
    }
    if (watched == m_btnLAUNCH && event->type() == QEvent::ToolTip) {
        // Worked out when asked for: exactly what a click would start now.
        QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), launchPreview(),
                           m_btnLAUNCH);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TVemoxMain::closeEvent(QCloseEvent* event) {
    event->accept();
    // Closing the main window by any means ends the run.
    QCoreApplication::quit();
}

} // namespace vodavav
