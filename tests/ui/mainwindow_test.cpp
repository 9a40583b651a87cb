// The main window on Qt's offscreen platform: its controls, their state, and the actions they
// run, with a fake platform that records launches and fake message boxes.

#include "appearance.h"
#include "directorylistbox.h"
#include "launcher.h"
#include "radiogroup.h"
#include "settings.h"
#include "tvemoxmain.h"
#include "uitestsupport.h"

#include <QAbstractItemModelTester>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QGroupBox>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTemporaryDir>
#include <QToolTip>

#include <memory>

using namespace vodavav;
using namespace vodavav::test;

namespace {

enum class Shape {
    Picture,
    Drives,
    Directories,
    Files,
    List,
    Label,
    Group,
    Radio,
    Check,
    Slider,
    Button
};

struct Control {
    const char* name;
    const char* parent;
    Shape kind;
    QRect geometry; // for labels only the position is fixed: they size themselves
    QString text;
    QStringList items;
};

const QStringList kDigits7{"1", "2", "3", "4", "5", "6", "7"};

const std::vector<Control> kControls{
    {"imgAbout", "VemoxMain", Shape::Picture, {6, 8, 145, 161}, {}, {}},
    {"driveComboBox", "VemoxMain", Shape::Drives, {148, 16, 173, 19}, {}, {}},
    {"directoryListBox", "VemoxMain", Shape::Directories, {148, 34, 173, 113}, {}, {}},
    {"cbFilter",
     "VemoxMain",
     Shape::List,
     {148, 146, 173, 21},
     {},
     {"All Roms", "Master System", "Game Gear", "SG-1000", "SC-3000", "Colecovision"}},
    {"lblNumberOfRoms", "VemoxMain", Shape::Label, {20, 172, 301, 13}, "Number of Roms: ", {}},
    {"fileListBox", "VemoxMain", Shape::Files, {18, 186, 305, 211}, {}, {}},
    {"btnLAUNCH", "VemoxMain", Shape::Picture, {98, 396, 141, 41}, {}, {}},
    {"gbVideo", "VemoxMain", Shape::Group, {328, 14, 305, 135}, " Video Settings ", {}},
    {"rgEmuMode",
     "VemoxMain",
     Shape::Radio,
     {328, 154, 305, 49},
     " Emulation Mode ",
     {"Auto Detect", "Master System", "Game Gear", "SG-1000", "SC-3000", "Colecovision"}},
    {"GroupBox2", "VemoxMain", Shape::Group, {328, 208, 185, 125}, " Controller Settings ", {}},
    {"gbComm", "VemoxMain", Shape::Group, {520, 208, 113, 125}, " Comms Settings ", {}},
    {"gbMisc", "VemoxMain", Shape::Group, {328, 338, 185, 97}, " Miscelaneous Options ", {}},
    {"GroupBox1", "VemoxMain", Shape::Group, {520, 338, 113, 97}, " DEZOVE Options ", {}},

    {"cbResMode",
     "gbVideo",
     Shape::List,
     {8, 15, 191, 21},
     {},
     {"320x200x8    (Default)", "400x300x8    (Game Gear)", "512x384x8    (SMS/SG1000)",
      "512x384x15  (Bilinear Filtering)", "512x384x15  (\"Parrot\" Engine)",
      "512x384x15  (\"2xSaI\" Engine)"}},
    {"rgVsync",
     "gbVideo",
     Shape::Radio,
     {8, 40, 95, 57},
     " V-Sync Mode ",
     {"None", "V-Sync", "True V-Sync"}},
    {"rgVideoMode",
     "gbVideo",
     Shape::Radio,
     {106, 40, 93, 57},
     " Video Mode ",
     {"Standard", "Line-By-Line", "Block-Based"}},
    {"lblFrameSkip", "gbVideo", Shape::Label, {12, 100, 97, 13}, "Frame Skip: Disabled", {}},
    {"tbFrameSkip", "gbVideo", Shape::Slider, {6, 112, 191, 20}, {}, {}},
    {"chVESADetection", "gbVideo", Shape::Check, {204, 14, 97, 17}, "VESA Detection", {}},
    {"chVideoCache", "gbVideo", Shape::Check, {204, 33, 97, 17}, "Video Cache", {}},
    {"chBorderRaster", "gbVideo", Shape::Check, {204, 51, 97, 17}, "Border Effects", {}},
    {"chPalRaster", "gbVideo", Shape::Check, {204, 70, 93, 17}, "Palette Effects", {}},
    {"chSpriteCollision", "gbVideo", Shape::Check, {204, 88, 97, 17}, "Sprite Collision", {}},
    {"chLCDPersistence", "gbVideo", Shape::Check, {204, 107, 97, 17}, "LCD Persistence", {}},

    {"rgController",
     "GroupBox2",
     Shape::Radio,
     {6, 14, 105, 105},
     " Controller ",
     {"Default", "Lightgun", "Joystick", "Paddle", "Paddle/Mouse", "No Mouse", "SNES Pad"}},
    {"lblJoySensitivity", "GroupBox2", Shape::Label, {114, 28, 66, 13}, "Joy Sensitivity", {}},
    {"cbJoySensitivity", "GroupBox2", Shape::List, {144, 44, 33, 21}, {}, kDigits7},
    {"lblSNESPort", "GroupBox2", Shape::Label, {127, 72, 51, 13}, "SNES Port", {}},
    {"cbSNESPort", "GroupBox2", Shape::List, {144, 88, 33, 21}, {}, {"1", "2"}},

    {"chEnableComms", "gbComm", Shape::Check, {10, 22, 93, 17}, "Enable Link-Up", {}},
    {"Label1", "gbComm", Shape::Label, {10, 46, 51, 13}, "Comm Port", {}},
    {"cbCommPort", "gbComm", Shape::List, {66, 42, 33, 21}, {}, {"1", "2", "3", "4"}},
    {"rgClientServer",
     "gbComm",
     Shape::Radio,
     {9, 68, 95, 51},
     " Client / Server ",
     {"Server", "Client"}},

    {"chMMX", "gbMisc", Shape::Check, {8, 14, 121, 17}, "MMX", {}},
    {"chPentium", "gbMisc", Shape::Check, {8, 30, 121, 17}, "Pentium", {}},
    {"chSound", "gbMisc", Shape::Check, {8, 46, 121, 17}, "Enable Sound", {}},
    {"chNoEnter", "gbMisc", Shape::Check, {8, 62, 121, 17}, "Startup Screen", {}},
    {"chSpeaker", "gbMisc", Shape::Check, {8, 78, 89, 17}, "PC Speaker", {}},
    {"chJapanese", "gbMisc", Shape::Check, {104, 14, 73, 17}, "Japanese", {}},
    {"chCPUGraph", "gbMisc", Shape::Check, {104, 30, 73, 17}, "CPU Graph", {}},
    {"chPSGGraph", "gbMisc", Shape::Check, {104, 46, 73, 17}, "PSG Graph", {}},
    {"ch3D", "gbMisc", Shape::Check, {104, 62, 65, 17}, "3D Mode", {}},
    {"ch3Dto2D", "gbMisc", Shape::Check, {104, 78, 73, 17}, "3D -> 2D", {}},

    {"btnVEMOXEXE", "GroupBox1", Shape::Button, {14, 18, 89, 17}, "Set Vemox Path", {}},
    {"chExit", "GroupBox1", Shape::Check, {10, 36, 93, 17}, "Exit on Launch", {}},
    {"btnExit", "GroupBox1", Shape::Picture, {24, 52, 73, 41}, {}, {}},
};

// Tab order inside each parent, by the parent's direct children.
const std::vector<std::pair<const char*, QStringList>> kTabOrders{
    {"VemoxMain",
     {"fileListBox", "gbVideo", "rgEmuMode", "GroupBox2", "gbComm", "gbMisc", "GroupBox1",
      "driveComboBox", "directoryListBox", "cbFilter"}},
    {"gbVideo",
     {"cbResMode", "rgVsync", "rgVideoMode", "tbFrameSkip", "chVESADetection", "chVideoCache",
      "chBorderRaster", "chPalRaster", "chSpriteCollision", "chLCDPersistence"}},
    {"GroupBox2", {"rgController", "cbJoySensitivity", "cbSNESPort"}},
    {"gbComm", {"chEnableComms", "cbCommPort", "rgClientServer"}},
    {"gbMisc",
     {"chMMX", "chPentium", "chSound", "chNoEnter", "chSpeaker", "chJapanese", "chCPUGraph",
      "chPSGGraph", "ch3D", "ch3Dto2D"}},
    {"GroupBox1", {"btnVEMOXEXE", "chExit"}},
};

bool hasKind(const QWidget* w, Shape kind) {
    switch (kind) {
    case Shape::Picture:
        return w->inherits("vodavav::PictureButton") && !w->accessibleName().isEmpty();
    case Shape::Drives:
        return w->inherits("vodavav::DriveComboBox");
    case Shape::Directories:
        return w->inherits("vodavav::DirectoryListBox");
    case Shape::Files:
        return qobject_cast<const QListView*>(w) != nullptr && !w->inherits("QListWidget");
    case Shape::List:
        return qobject_cast<const QComboBox*>(w) != nullptr;
    case Shape::Label:
        return qobject_cast<const QLabel*>(w) != nullptr;
    case Shape::Group:
        return qobject_cast<const QGroupBox*>(w) != nullptr && !w->inherits("vodavav::RadioGroup");
    case Shape::Radio:
        return w->inherits("vodavav::RadioGroup");
    case Shape::Check:
        return qobject_cast<const QCheckBox*>(w) != nullptr;
    case Shape::Slider:
        return qobject_cast<const QSlider*>(w) != nullptr;
    case Shape::Button:
        return qobject_cast<const QPushButton*>(w) != nullptr;
    }
    return false;
}

QString widgetText(const QWidget* w) {
    if (const auto* b = qobject_cast<const QAbstractButton*>(w)) {
        return b->text();
    }
    if (const auto* g = qobject_cast<const QGroupBox*>(w)) {
        return g->title();
    }
    if (const auto* l = qobject_cast<const QLabel*>(w)) {
        return l->text();
    }
    return {};
}

QStringList widgetItems(const QWidget* w) {
    QStringList items;
    if (const auto* combo = qobject_cast<const QComboBox*>(w)) {
        for (int i = 0; i < combo->count(); ++i) {
            items << combo->itemText(i);
        }
    } else if (const auto* group = qobject_cast<const RadioGroup*>(w)) {
        for (int i = 0; group->button(i) != nullptr; ++i) {
            items << group->button(i)->text();
        }
    }
    return items;
}

QStringList rowTexts(const QAbstractItemModel* model) {
    QStringList texts;
    for (int i = 0; i < model->rowCount(); ++i) {
        texts << model->index(i, 0).data().toString();
    }
    return texts;
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void everyControlInPlace();
    void captionsFit();
    void tabOrderWithinEachParent();
    void windowItself();
    void coloursAndBorders();
    void freshlyBuiltState();
    void focusStartsInFileList();

    void optionChangesShowInWidgets();
    void interlocksThroughClicks();
    void userChoicesReachOptions();

    void launchActions_data();
    void launchActions();
    void enterIsConsumed();
    void launchTooltipShowsCommandLine();

    void pathDialogCancelledAndConfirmed();

    void filterChangeUpdatesListAndCount();
    void directoryChangeUpdatesLists();
    void directoryThatCannotBeEnteredKeepsLists();
    void directoryListShowsAncestorsAndSubdirectories();
    void aboutPictureShowsSplashModally();

private:
    template <typename W = QWidget> W* find(const char* name) const {
        W* w = m_window->findChild<W*>(QString::fromLatin1(name));
        if (w == nullptr && m_window->objectName() == QLatin1String(name)) {
            w = qobject_cast<W*>(m_window.get());
        }
        return w;
    }
    QListView* fileList() const { return find<QListView>("fileListBox"); }
    QString romPath(const QString& name) const { return m_roms + "/" + name; }
    void selectFile(int row);
    void writeSettings(const QByteArray& content);

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_roms;
    std::unique_ptr<Launcher> m_launcher;
    std::unique_ptr<FakePlatform> m_platform;
    std::unique_ptr<FakeMessages> m_messages;
    std::unique_ptr<TVemoxMain> m_window;
};

void MainWindowTest::initTestCase() {
    useVemoxStyle();
}

void MainWindowTest::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_roms = m_dir->path() + "/roms";
    QVERIFY(QDir().mkpath(m_roms + "/More"));
    QVERIFY(QDir().mkpath(m_roms + "/again"));
    QVERIFY(QDir().mkpath(m_roms + "/.hidden"));
    for (const char* name : {"ALEXKIDD.SMS", "COLUMNS.GG", "README.TXT", "sonic.sms"}) {
        makeFile(romPath(name));
    }
    makeFile(m_roms + "/More/zaxxon.sg");
    m_launcher = std::make_unique<Launcher>(m_roms.toStdString());
    m_platform = std::make_unique<FakePlatform>((m_dir->path() + "/vodavav").toStdString());
    m_messages = std::make_unique<FakeMessages>();
    m_window = std::make_unique<TVemoxMain>(*m_launcher, *m_platform, *m_messages);
}

void MainWindowTest::cleanup() {
    m_window.reset();
    m_messages.reset();
    m_platform.reset();
    m_launcher.reset();
    m_dir.reset();
}

void MainWindowTest::selectFile(int row) {
    QListView* view = fileList();
    const QRect entry = view->visualRect(view->model()->index(row, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, entry.center());
}

void MainWindowTest::writeSettings(const QByteArray& content) {
    makeFile(QString::fromStdString(settingsFileName(m_platform->programPath())), content);
}

void MainWindowTest::everyControlInPlace() {
    for (const Control& c : kControls) {
        const QWidget* w = find(c.name);
        QVERIFY2(w != nullptr, c.name);
        QCOMPARE(w->parentWidget()->objectName(), QString::fromLatin1(c.parent));
        QVERIFY2(hasKind(w, c.kind), c.name);
        if (c.kind == Shape::Label) {
            QCOMPARE(w->pos(), c.geometry.topLeft());
        } else {
            QCOMPARE(w->geometry(), c.geometry);
        }
        QCOMPARE(widgetText(w), c.text);
        if (c.kind != Shape::Drives) {
            QCOMPARE(widgetItems(w), c.items);
        }
    }
}

void MainWindowTest::captionsFit() {
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    for (const QAbstractButton* b : m_window->findChildren<QAbstractButton*>()) {
        if (qobject_cast<const QPushButton*>(b) != nullptr) {
            // A push button's caption needs its text and the frame around it.
            QVERIFY(b->fontMetrics().horizontalAdvance(b->text()) + 4 <= b->width());
        } else {
            const bool radio = qobject_cast<const QRadioButton*>(b) != nullptr;
            const QStyle* style = b->style();
            const int indicator = style->pixelMetric(radio ? QStyle::PM_ExclusiveIndicatorWidth
                                                           : QStyle::PM_IndicatorWidth);
            const int spacing = style->pixelMetric(radio ? QStyle::PM_RadioButtonLabelSpacing
                                                         : QStyle::PM_CheckBoxLabelSpacing);
            QVERIFY2(indicator + spacing + b->fontMetrics().horizontalAdvance(b->text()) <=
                         b->width(),
                     qPrintable(b->text()));
        }
    }
    for (const QLabel* l : m_window->findChildren<QLabel*>()) {
        QVERIFY2(l->fontMetrics().horizontalAdvance(l->text()) <= l->width(),
                 qPrintable(l->text()));
    }
    // A label grows with a longer text.
    m_launcher->options().setValue(Id::tbFrameSkip, 8);
    m_launcher->options().setValue(Id::tbFrameSkip, 0);
    const auto* frameSkip = find<QLabel>("lblFrameSkip");
    QVERIFY(frameSkip->fontMetrics().horizontalAdvance(frameSkip->text()) <= frameSkip->width());
}

void MainWindowTest::tabOrderWithinEachParent() {
    std::vector<QWidget*> chain;
    QWidget* start = fileList();
    for (QWidget* w = start;;) {
        if (w->focusPolicy() & Qt::TabFocus) {
            chain.push_back(w);
        }
        w = w->nextInFocusChain();
        if (w == start) {
            break;
        }
    }
    for (const auto& [parentName, expected] : kTabOrders) {
        const QWidget* parent = find(parentName);
        QStringList seen;
        for (QWidget* w : chain) {
            QWidget* child = w;
            while (child != nullptr && child->parentWidget() != parent) {
                child = child->parentWidget();
            }
            if (child != nullptr && (seen.isEmpty() || seen.back() != child->objectName())) {
                seen << child->objectName();
            }
        }
        QCOMPARE(seen, expected);
    }
}

void MainWindowTest::windowItself() {
    QCOMPARE(m_window->objectName(), QString("VemoxMain"));
    QCOMPARE(m_window->windowTitle(), QString("vodavav"));
    QVERIFY(m_window->windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(m_window->minimumSize(), QSize(644, 453));
    QCOMPARE(m_window->maximumSize(), QSize(644, 453));
    if (QFile::exists("/usr/share/wine/fonts/ms_sans_serif.ttf")) {
        QCOMPARE(QFontInfo(m_window->font()).family(), QString("MS Sans Serif"));
        QCOMPARE(QFontMetrics(m_window->font()).height(), 13);
    }
}

void MainWindowTest::coloursAndBorders() {
    const QColor window(0, 79, 117);
    const QColor list(0, 105, 155);
    QCOMPARE(m_window->palette().color(QPalette::Window), window);
    for (const char* name : {"chMMX", "rgVsync", "gbVideo", "lblNumberOfRoms", "chExit"}) {
        QCOMPARE(find(name)->palette().color(QPalette::Active, QPalette::WindowText),
                 QColor(Qt::white));
    }
    for (const char* name : {"driveComboBox", "directoryListBox", "fileListBox", "cbFilter"}) {
        const QPalette p = find(name)->palette();
        QCOMPARE(p.color(QPalette::Active, QPalette::Base), list);
        QCOMPARE(p.color(QPalette::Active, QPalette::Text), QColor(Qt::white));
    }
    for (const char* name : {"cbResMode", "cbSNESPort", "cbJoySensitivity", "cbCommPort"}) {
        const QPalette p = find(name)->palette();
        QCOMPARE(p.color(QPalette::Active, QPalette::Text),
                 QApplication::palette().color(QPalette::Active, QPalette::Text));
        QCOMPARE(p.color(QPalette::Active, QPalette::Button),
                 QApplication::palette().color(QPalette::Active, QPalette::Base));
    }
    const QPalette button = find("btnVEMOXEXE")->palette();
    QCOMPARE(button.color(QPalette::Active, QPalette::Button),
             QApplication::palette().color(QPalette::Active, QPalette::Button));
    QCOMPARE(button.color(QPalette::Active, QPalette::ButtonText),
             QApplication::palette().color(QPalette::Active, QPalette::ButtonText));

    QCOMPARE(find<QFrame>("directoryListBox")->frameShadow(), QFrame::Sunken);
    QCOMPARE(find<QFrame>("fileListBox")->frameShadow(), QFrame::Plain);

    // What is drawn: the window's colour in a free corner, the list's inside the empty list.
    const QImage shot = m_window->grab().toImage();
    QCOMPARE(QColor(shot.pixel(640, 449)), window);
    QCOMPARE(QColor(shot.pixel(300, 380)), list);
}

void MainWindowTest::freshlyBuiltState() {
    for (const char* name :
         {"cbResMode", "cbSNESPort", "cbJoySensitivity", "cbCommPort", "cbFilter"}) {
        const auto* combo = find<QComboBox>(name);
        QCOMPARE(combo->currentIndex(), -1);
        QCOMPARE(combo->currentText(), QString());
    }
    const QStringList disabled{"cbSNESPort", "cbJoySensitivity", "rgClientServer", "cbCommPort"};
    for (const Descriptor& d : descriptors().first<kControlCount>()) {
        const QWidget* w = find(d.name.data());
        QVERIFY2(w != nullptr, d.name.data());
        QCOMPARE(w->isEnabled(), !disabled.contains(QLatin1String(d.name.data())));
    }
    const QStringList checked{"chVESADetection", "chVideoCache", "chMMX", "chPentium", "chSound"};
    for (const QCheckBox* box : m_window->findChildren<QCheckBox*>()) {
        QCOMPARE(box->isChecked(), checked.contains(box->objectName()));
    }
    for (const char* name :
         {"rgVsync", "rgVideoMode", "rgEmuMode", "rgController", "rgClientServer"}) {
        QCOMPARE(find<RadioGroup>(name)->value(), 0);
    }
    QCOMPARE(find<QSlider>("tbFrameSkip")->value(), 0);
    QCOMPARE(find<QLabel>("lblFrameSkip")->text(), QString("Frame Skip: Disabled"));
    // The file list shows the start directory under the built mask, nothing selected.
    QCOMPARE(rowTexts(fileList()->model()),
             (QStringList{"ALEXKIDD.SMS", "COLUMNS.GG", "sonic.sms"}));
    QVERIFY(!fileList()->selectionModel()->hasSelection());
}

void MainWindowTest::focusStartsInFileList() {
    m_window->show();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    QCOMPARE(QApplication::focusWidget(), fileList());
}

void MainWindowTest::optionChangesShowInWidgets() {
    OptionSet& options = m_launcher->options();
    auto* vsync = find<RadioGroup>("rgVsync");
    options.setValue(Id::rgVsync, 9);
    QCOMPARE(vsync->value(), 2);
    QVERIFY(vsync->button(2)->isChecked());
    options.setValue(Id::rgVsync, -5);
    QCOMPARE(vsync->value(), -1);
    for (int i = 0; i < 3; ++i) {
        QVERIFY(!vsync->button(i)->isChecked());
    }

    auto* resolution = find<QComboBox>("cbResMode");
    options.setValue(Id::cbResMode, 3);
    QCOMPARE(resolution->currentIndex(), 3);
    options.setValue(Id::cbResMode, 9);
    QCOMPARE(resolution->currentIndex(), -1);
    QCOMPARE(options.value(Id::cbResMode), -1);

    options.setValue(Id::tbFrameSkip, 12);
    QCOMPARE(find<QSlider>("tbFrameSkip")->value(), 8);
    QCOMPARE(find<QLabel>("lblFrameSkip")->text(), QString("Frame Skip: 8"));

    options.setEnabled(Id::chMMX, false);
    QVERIFY(!find("chMMX")->isEnabled());
    options.setChecked(Id::chMMX, false);
    QVERIFY(!find<QCheckBox>("chMMX")->isChecked());
}

void MainWindowTest::interlocksThroughClicks() {
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    const OptionSet& options = m_launcher->options();
    auto* videoMode = find<RadioGroup>("rgVideoMode");
    auto* palette = find<QCheckBox>("chPalRaster");

    clickIndicator(find<QCheckBox>("chBorderRaster"));
    QVERIFY(options.checked(Id::chBorderRaster));
    QCOMPARE(videoMode->value(), 1);
    QVERIFY(!videoMode->isEnabled());
    QVERIFY(palette->isChecked());
    QVERIFY(!palette->isEnabled());

    clickIndicator(find<QCheckBox>("chBorderRaster"));
    QVERIFY(palette->isEnabled());
    QVERIFY(palette->isChecked());
    QVERIFY(!videoMode->isEnabled());
    clickIndicator(palette);
    QVERIFY(videoMode->isEnabled());
    QCOMPARE(videoMode->value(), 1);

    clickIndicator(find<QCheckBox>("chPSGGraph"));
    QVERIFY(!find<QCheckBox>("chVideoCache")->isChecked());
    QVERIFY(!find("chVideoCache")->isEnabled());
    QVERIFY(!options.checked(Id::chVideoCache));

    auto* controller = find<RadioGroup>("rgController");
    clickIndicator(controller->button(2)); // Joystick
    QCOMPARE(options.value(Id::rgController), 2);
    QVERIFY(find("cbJoySensitivity")->isEnabled());
    QVERIFY(!find("cbSNESPort")->isEnabled());
    clickIndicator(controller->button(6)); // SNES Pad
    QVERIFY(!find("cbJoySensitivity")->isEnabled());
    QVERIFY(find("cbSNESPort")->isEnabled());

    clickIndicator(find<QCheckBox>("chEnableComms"));
    QVERIFY(find("rgClientServer")->isEnabled());
    QVERIFY(find("cbCommPort")->isEnabled());
}

void MainWindowTest::userChoicesReachOptions() {
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    const OptionSet& options = m_launcher->options();

    auto* slider = find<QSlider>("tbFrameSkip");
    slider->setFocus();
    QTest::keyClick(slider, Qt::Key_Right);
    QCOMPARE(options.value(Id::tbFrameSkip), 1);
    QCOMPARE(find<QLabel>("lblFrameSkip")->text(), QString("Frame Skip: 1"));

    auto* resolution = find<QComboBox>("cbResMode");
    resolution->setFocus();
    QTest::keyClick(resolution, Qt::Key_Down);
    QCOMPARE(options.value(Id::cbResMode), resolution->currentIndex());
    QVERIFY(resolution->currentIndex() >= 0);

    clickIndicator(find<RadioGroup>("rgEmuMode")->button(5));
    QCOMPARE(options.value(Id::rgEmuMode), 5);
    clickIndicator(find<QCheckBox>("chJapanese"));
    QVERIFY(options.checked(Id::chJapanese));
}

void MainWindowTest::launchActions_data() {
    QTest::addColumn<QString>("trigger");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("emulator");
    QTest::addColumn<bool>("exitOnLaunch");
    QTest::addColumn<bool>("startWorks");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("started");
    QTest::addColumn<bool>("stillOpen");

    const QString emu = "/opt/emu/vemox";
    QTest::newRow("Enter") << "enter" << 0 << emu << false << true << "" << true << true;
    QTest::newRow("double click") << "double" << 2 << emu << false << true << "" << true << true;
    QTest::newRow("LAUNCH picture") << "picture" << 1 << emu << false << true << "" << true << true;
    QTest::newRow("nothing selected") << "picture" << -1 << emu << false << true
                                      << "Please select a ROM to launch !!!" << false << true;
    QTest::newRow("no emulator") << "enter" << 0 << "" << false << true
                                 << "Please set the path for Vemox !!!" << false << true;
    QTest::newRow("exit on launch") << "double" << 0 << emu << true << true << "" << true << false;
    QTest::newRow("start fails, exit on launch")
        << "enter" << 0 << emu << true << false << "Unable to start /opt/emu/vemox: No such file"
        << true << true;
}

void MainWindowTest::launchActions() {
    QFETCH(QString, trigger);
    QFETCH(int, row);
    QFETCH(QString, emulator);
    QFETCH(bool, exitOnLaunch);
    QFETCH(bool, startWorks);
    QFETCH(QString, shown);
    QFETCH(bool, started);
    QFETCH(bool, stillOpen);

    m_launcher->emuPath = emulator.toStdString();
    if (!startWorks) {
        m_platform->startResult = {false, "No such file"};
    }
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    if (exitOnLaunch) {
        clickIndicator(find<QCheckBox>("chExit"));
    }
    if (row >= 0) {
        selectFile(row);
        QCOMPARE(m_launcher->files().selected(), row);
    }
    QListView* view = fileList();
    if (trigger == "enter") {
        view->setFocus();
        QTest::keyClick(view, Qt::Key_Return);
    } else if (trigger == "double") {
        const QRect entry = view->visualRect(view->model()->index(row, 0));
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, entry.center());
    } else {
        QTest::mouseClick(find("btnLAUNCH"), Qt::LeftButton);
    }

    QCOMPARE(m_platform->starts.size(), started ? std::size_t{1} : std::size_t{0});
    if (started) {
        const QStringList names{"ALEXKIDD.SMS", "COLUMNS.GG", "sonic.sms"};
        const std::vector<std::string> expected{emulator.toStdString(),
                                                romPath(names[row]).toStdString(), "-noenter"};
        QCOMPARE(m_platform->starts[0].line.arguments, expected);
        QCOMPARE(m_platform->starts[0].workingDirectory, m_roms.toStdString());
    }
    if (shown.isEmpty()) {
        QVERIFY(m_messages->shown.empty());
    } else {
        QCOMPARE(m_messages->shown.size(), std::size_t{1});
        QCOMPARE(QString::fromStdString(m_messages->shown[0].text), shown);
    }
    QCOMPARE(m_window->isVisible(), stillOpen);
}

// Enter launches and nothing else sees the key: not the list's own activation, not the window.
void MainWindowTest::enterIsConsumed() {
    struct KeyWatch : QObject {
        int keys = 0;
        bool eventFilter(QObject*, QEvent* e) override {
            keys += e->type() == QEvent::KeyPress;
            return false;
        }
    } watch;
    m_launcher->emuPath = "/opt/emu/vemox";
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    m_window->installEventFilter(&watch);
    QSignalSpy activated(fileList(), &QAbstractItemView::activated);
    selectFile(1);
    fileList()->setFocus();
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
        QTest::keyClick(fileList(), key);
    }
    QCOMPARE(m_platform->starts.size(), std::size_t{2});
    QCOMPARE(activated.count(), 0);
    QCOMPARE(watch.keys, 0);
}

void MainWindowTest::launchTooltipShowsCommandLine() {
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    QWidget* launch = find("btnLAUNCH");
    const auto askTooltip = [&] {
        QHelpEvent help(QEvent::ToolTip, QPoint(10, 10), launch->mapToGlobal(QPoint(10, 10)));
        QApplication::sendEvent(launch, &help);
        return QToolTip::text();
    };
    QCOMPARE(askTooltip(), QString("Please select a ROM to launch !!!"));
    selectFile(0);
    QCOMPARE(askTooltip(), QString("Please set the path for Vemox !!!"));
    m_launcher->emuPath = "/opt/emu/vemox";
    clickIndicator(find<QCheckBox>("chJapanese"));
    QCOMPARE(askTooltip(), "/opt/emu/vemox " + romPath("ALEXKIDD.SMS") + " -noenter -jap");
    QVERIFY(m_platform->starts.empty());
    QVERIFY(m_messages->shown.empty());
}

void MainWindowTest::pathDialogCancelledAndConfirmed() {
    writeSettings("[DezovESettings]\nVemoxPath=/stored/vemox\nSplashScreen=0\nRomDirectory=" +
                  m_roms.toUtf8() + "\n");
    const QString chosen = m_dir->path() + "/emulator";
    makeFile(chosen);
    m_window->FormCreate();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    QCOMPARE(m_launcher->emuPath, std::string("/stored/vemox"));

    const auto openDialog = [&](std::function<void(QFileDialog*)> act) {
        bool ran = false;
        const ModalWatch watch([&](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            ran = dialog != nullptr;
            if (dialog != nullptr) {
                act(dialog);
            }
            modal->close();
        });
        QTest::mouseClick(find("btnVEMOXEXE"), Qt::LeftButton);
        QVERIFY(ran);
    };

    // The first time: the browsed folder, no file name, the "*.exe" text that hides nothing.
    openDialog([&](QFileDialog* dialog) {
        QCOMPARE(dialog->objectName(), QString("dlgOpen"));
        QCOMPARE(dialog->windowTitle(), QString("Set Vemox Path"));
        QCOMPARE(dialog->findChild<QComboBox*>("fileTypeCombo")->currentText(), QString("*.exe"));
        QCOMPARE(dialog->findChild<QLineEdit*>("fileNameEdit")->text(), QString());
        QCOMPARE(QDir(dialog->directory()).canonicalPath(), QDir(m_roms).canonicalPath());
        QCOMPARE(dialog->findChild<QFileSystemModel*>()->nameFilters(), QStringList{"*"});
        dialog->reject();
    });
    QCOMPARE(m_launcher->emuPath, std::string("/stored/vemox"));

    openDialog([&](QFileDialog* dialog) {
        auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
        name->setText(chosen);
        QTest::keyClick(name, Qt::Key_Return);
    });
    QCOMPARE(m_launcher->emuPath, chosen.toStdString());

    // Later: the file chosen last in this run; cancelling keeps it.
    openDialog([&](QFileDialog* dialog) {
        QCOMPARE(QDir(dialog->directory()).canonicalPath(), QDir(m_dir->path()).canonicalPath());
        QCOMPARE(dialog->findChild<QLineEdit*>("fileNameEdit")->text(), QString("emulator"));
        dialog->reject();
    });
    QCOMPARE(m_launcher->emuPath, chosen.toStdString());
}

void MainWindowTest::filterChangeUpdatesListAndCount() {
    QAbstractItemModelTester tester(fileList()->model(),
                                    QAbstractItemModelTester::FailureReportingMode::QtTest);
    auto* filter = find<QComboBox>("cbFilter");
    auto* count = find<QLabel>("lblNumberOfRoms");
    struct Step {
        int filter;
        QStringList entries;
    };
    const std::vector<Step> steps{
        {0, {"ALEXKIDD.SMS", "COLUMNS.GG", "sonic.sms"}},
        {1, {"ALEXKIDD", "sonic"}},
        {2, {"COLUMNS"}},
        {5, {}},
        {0, {"ALEXKIDD.SMS", "COLUMNS.GG", "sonic.sms"}},
    };
    for (const Step& step : steps) {
        filter->setCurrentIndex(step.filter);
        QCOMPARE(m_launcher->options().value(Id::cbFilter), step.filter);
        QCOMPARE(rowTexts(fileList()->model()), step.entries);
        QCOMPARE(count->text(), QString("Number of Roms: %1").arg(step.entries.size()));
    }
}

void MainWindowTest::directoryChangeUpdatesLists() {
    QAbstractItemModelTester tester(fileList()->model(),
                                    QAbstractItemModelTester::FailureReportingMode::QtTest);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    find<QComboBox>("cbFilter")->setCurrentIndex(3); // SG-1000
    auto* directories = find<DirectoryListBox>("directoryListBox");
    const auto rowOf = [&](const QString& name) {
        const QList<QListWidgetItem*> items = directories->findItems(name, Qt::MatchExactly);
        return items.isEmpty() ? -1 : directories->row(items.front());
    };
    const int more = rowOf("More");
    QVERIFY(more >= 0);
    doubleClick(directories->viewport(),
                directories->visualItemRect(directories->item(more)).center());
    QCOMPARE(m_launcher->romDirectory(), (m_roms + "/More").toStdString());
    QCOMPARE(rowTexts(fileList()->model()), QStringList{"zaxxon"});
    QCOMPARE(find<QLabel>("lblNumberOfRoms")->text(), QString("Number of Roms: 1"));
    QCOMPARE(directories->currentItem()->text(), QString("More"));

    // Enter on an ancestor goes back up.
    directories->setFocus();
    directories->setCurrentRow(rowOf("roms"));
    QTest::keyClick(directories, Qt::Key_Return);
    QCOMPARE(m_launcher->romDirectory(), m_roms.toStdString());
    QCOMPARE(rowTexts(fileList()->model()), QStringList{});
    QVERIFY(m_messages->shown.empty());
}

void MainWindowTest::directoryThatCannotBeEnteredKeepsLists() {
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    auto* directories = find<DirectoryListBox>("directoryListBox");
    const QList<QListWidgetItem*> again = directories->findItems("again", Qt::MatchExactly);
    QCOMPARE(again.size(), 1);
    const int row = directories->row(again.front());
    selectFile(1);
    QVERIFY(QDir(m_roms + "/again").removeRecursively());

    doubleClick(directories->viewport(),
                directories->visualItemRect(directories->item(row)).center());
    QCOMPARE(m_messages->shown.size(), std::size_t{1});
    QVERIFY(m_messages->shown[0].error);
    QVERIFY(QString::fromStdString(m_messages->shown[0].text).contains("again"));
    QCOMPARE(m_launcher->romDirectory(), m_roms.toStdString());
    QCOMPARE(rowTexts(fileList()->model()),
             (QStringList{"ALEXKIDD.SMS", "COLUMNS.GG", "sonic.sms"}));
    QCOMPARE(m_launcher->files().selected(), 1);
    QCOMPARE(fileList()->selectionModel()->selectedRows().value(0).row(), 1);
    QCOMPARE(find<QLabel>("lblNumberOfRoms")->text(), QString("Number of Roms: "));
}

void MainWindowTest::directoryListShowsAncestorsAndSubdirectories() {
    auto* directories = find<DirectoryListBox>("directoryListBox");
    QStringList expected{"/"};
    const QStringList parts = QDir(m_roms).absolutePath().split('/', Qt::SkipEmptyParts);
    expected << parts << "again"
             << "More";
    QStringList shown;
    QList<int> levels;
    for (int i = 0; i < directories->count(); ++i) {
        shown << directories->item(i)->text();
        levels << directories->item(i)->data(Qt::UserRole + 1).toInt();
        QCOMPARE(directories->visualItemRect(directories->item(i)).height(), 16);
    }
    QCOMPARE(shown, expected);
    const int current = static_cast<int>(parts.size());
    for (int i = 0; i <= current; ++i) {
        QCOMPARE(levels[i], i);
    }
    QCOMPARE(levels[current + 1], current + 1);
    QCOMPARE(levels[current + 2], current + 1);
    QCOMPARE(directories->currentRow(), current);
    QCOMPARE(directories->entryPath(0), std::string("/"));
    QCOMPARE(directories->entryPath(current + 2), (m_roms + "/More").toStdString());
    QCOMPARE(fileList()->visualRect(fileList()->model()->index(0, 0)).height(), 13);
}

void MainWindowTest::aboutPictureShowsSplashModally() {
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    bool shown = false;
    const ModalWatch watch([&](QWidget* modal) {
        // The main window takes no input meanwhile: the splash is the modal window.
        shown = modal->objectName() == "frmSplash" && modal->isVisible() && modal->isModal() &&
                QGuiApplication::modalWindow() == modal->windowHandle();
        QTest::keyClick(modal, Qt::Key_Escape);
    });
    QTest::mouseClick(find("imgAbout"), Qt::LeftButton);
    QVERIFY(shown);
    QVERIFY(QApplication::activeModalWidget() == nullptr);
    QVERIFY(m_window->isVisible());
}

QTEST_MAIN(MainWindowTest)
#include "mainwindow_test.moc"
