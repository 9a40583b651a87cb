// The main window's life: what its creation does with the settings file, its first activation,
// the requests that end the run, and the one save at the end.

#include "appearance.h"
#include "launcher.h"
#include "settings.h"
#include "tvemoxmain.h"
#include "uitestsupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListView>
#include <QScreen>
#include <QTemporaryDir>

#include <memory>

using namespace vodavav;
using namespace vodavav::test;

namespace {

QStringList rowTexts(const QAbstractItemModel* model) {
    QStringList texts;
    for (int i = 0; i < model->rowCount(); ++i) {
        texts << model->index(i, 0).data().toString();
    }
    return texts;
}

QString readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

} // namespace

class LifecycleTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void creationLoadsPlacesAndPrepares();
    void lastRomSelection_data();
    void lastRomSelection();
    void loadErrorsShownOnceWindowIsUp();
    void splashOnFirstActivationOnly_data();
    void splashOnFirstActivationOnly();
    void requestsToEndStopTheLoop_data();
    void requestsToEndStopTheLoop();
    void savedOnceAtTheEnd();
    void saveFailureShownAfterWindowHides();

private:
    void build(const QString& programPath);
    void writeSettings(const QByteArray& content);
    QString settingsFile() const {
        return QString::fromStdString(settingsFileName(m_platform->programPath()));
    }
    template <typename W = QWidget> W* find(const char* name) const {
        return m_window->findChild<W*>(QString::fromLatin1(name));
    }
    QListView* fileList() const { return find<QListView>("fileListBox"); }

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_roms;
    std::unique_ptr<Launcher> m_launcher;
    std::unique_ptr<FakePlatform> m_platform;
    std::unique_ptr<FakeMessages> m_messages;
    std::unique_ptr<TVemoxMain> m_window;
};

void LifecycleTest::initTestCase() {
    useVemoxStyle();
}

void LifecycleTest::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_roms = m_dir->path() + "/roms";
    QVERIFY(QDir().mkpath(m_roms));
    for (const char* name : {"ALEXKIDD.SMS", "COLUMNS.GG", "sonic.sms"}) {
        makeFile(m_roms + "/" + name);
    }
    build(m_dir->path() + "/vodavav");
}

void LifecycleTest::build(const QString& programPath) {
    m_window.reset();
    // The program starts elsewhere; the stored directory brings the list to the ROMs.
    m_launcher = std::make_unique<Launcher>(m_dir->path().toStdString());
    m_platform = std::make_unique<FakePlatform>(programPath.toStdString());
    m_messages = std::make_unique<FakeMessages>();
    m_window = std::make_unique<TVemoxMain>(*m_launcher, *m_platform, *m_messages);
}

void LifecycleTest::cleanup() {
    m_window.reset();
    m_messages.reset();
    m_platform.reset();
    m_launcher.reset();
    m_dir.reset();
}

void LifecycleTest::writeSettings(const QByteArray& content) {
    makeFile(settingsFile(), content);
}

void LifecycleTest::creationLoadsPlacesAndPrepares() {
    writeSettings("[DezovESettings]\nRomFilter=1\nLastrom=1\nSplashScreen=0\nRomDirectory=" +
                  m_roms.toUtf8() + "\n[CommSettings]\nCommEnable=1\n");
    m_window->FormCreate();

    const QSize screen = QGuiApplication::primaryScreen()->size();
    QCOMPARE(m_window->pos(), QPoint((screen.width() - 650) / 2, (screen.height() - 480) / 2));
    QCOMPARE(find<QComboBox>("cbFilter")->currentText(), QString("Master System"));
    QCOMPARE(rowTexts(fileList()->model()), (QStringList{"ALEXKIDD", "sonic"}));
    QCOMPARE(find<QLabel>("lblNumberOfRoms")->text(), QString("Number of Roms: 2"));
    QVERIFY(find<QCheckBox>("chEnableComms")->isChecked());
    QVERIFY(find("cbCommPort")->isEnabled());
    QCOMPARE(find<QComboBox>("cbCommPort")->currentText(), QString("1"));
    QVERIFY(m_messages->shown.empty());
}

void LifecycleTest::lastRomSelection_data() {
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<int>("selected");
    QTest::newRow("inside the list") << QByteArray("2") << 2;
    QTest::newRow("absent: the first entry") << QByteArray() << 0;
    QTest::newRow("beyond the list") << QByteArray("3") << -1;
    QTest::newRow("none") << QByteArray("-1") << -1;
}

void LifecycleTest::lastRomSelection() {
    QFETCH(QByteArray, stored);
    QFETCH(int, selected);
    QByteArray content = "[DezovESettings]\nSplashScreen=0\nRomDirectory=" + m_roms.toUtf8() + "\n";
    if (!stored.isEmpty()) {
        content += "Lastrom=" + stored + "\n";
    }
    writeSettings(content);
    m_window->FormCreate();
    QCOMPARE(m_launcher->files().selected(), selected);
    const QModelIndexList rows = fileList()->selectionModel()->selectedRows();
    QCOMPARE(rows.isEmpty() ? -1 : rows.front().row(), selected);
}

void LifecycleTest::loadErrorsShownOnceWindowIsUp() {
    writeSettings("[DezovESettings]\nSplashScreen=0\nRomDirectory=" + m_dir->path().toUtf8() +
                  "/gone\n");
    bool visibleWhenShown = false;
    m_messages->onShow = [&] { visibleWhenShown = m_window->isVisible(); };
    m_window->FormCreate();
    QVERIFY(m_messages->shown.empty());

    m_window->show();
    QTRY_COMPARE(m_messages->shown.size(), std::size_t{1});
    QVERIFY(m_messages->shown[0].error);
    QVERIFY(QString::fromStdString(m_messages->shown[0].text).contains("gone"));
    QVERIFY(visibleWhenShown);
    // The list stays where the program started, prepared all the same.
    QCOMPARE(m_launcher->romDirectory(), m_dir->path().toStdString());
    QCOMPARE(find<QLabel>("lblNumberOfRoms")->text(), QString("Number of Roms: 0"));
}

void LifecycleTest::splashOnFirstActivationOnly_data() {
    QTest::addColumn<QByteArray>("flag");
    QTest::addColumn<bool>("splash");
    QTest::newRow("flag 1") << QByteArray("SplashScreen=1\n") << true;
    QTest::newRow("flag absent") << QByteArray() << true;
    QTest::newRow("flag 0") << QByteArray("SplashScreen=0\n") << false;
    QTest::newRow("flag 2") << QByteArray("SplashScreen=2\n") << false;
}

void LifecycleTest::splashOnFirstActivationOnly() {
    QFETCH(QByteArray, flag);
    QFETCH(bool, splash);
    writeSettings("[DezovESettings]\n" + flag);
    m_window->FormCreate();
    int splashes = 0;
    const ModalWatch watch([&](QWidget* modal) {
        splashes += modal->objectName() == "frmSplash";
        QTest::keyClick(modal, Qt::Key_Space);
    });
    // The first activation comes from the event loop; the splash's own loop runs inside it.
    const auto settle = [] {
        for (int i = 0; i < 3; ++i) {
            QCoreApplication::processEvents();
        }
    };
    m_window->show();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    settle();
    QCOMPARE(splashes, splash ? 1 : 0);

    // Later activations, after a modal window or a new show, do not bring it back.
    m_window->hide();
    m_window->show();
    m_window->activateWindow();
    settle();
    QCOMPARE(splashes, splash ? 1 : 0);
}

void LifecycleTest::requestsToEndStopTheLoop_data() {
    QTest::addColumn<QString>("request");
    QTest::newRow("EXIT picture") << "exit";
    QTest::newRow("window closed") << "close";
    QTest::newRow("Exit on Launch") << "launch";
}

void LifecycleTest::requestsToEndStopTheLoop() {
    QFETCH(QString, request);
    writeSettings("[DezovESettings]\nSplashScreen=0\nExitOnLaunch=1\nVemoxPath=/opt/vemox\n"
                  "RomDirectory=" +
                  m_roms.toUtf8() + "\n");
    m_window->FormCreate();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));

    QTimer::singleShot(0, m_window.get(), [&] {
        if (request == "exit") {
            QTest::mouseClick(find("btnExit"), Qt::LeftButton);
        } else if (request == "close") {
            m_window->close();
        } else {
            QTest::mouseClick(find("btnLAUNCH"), Qt::LeftButton);
        }
    });
    QTimer guard;
    guard.setSingleShot(true);
    connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    guard.start(10000);
    QCOMPARE(QApplication::exec(), 0);
    QVERIFY(!m_window->isVisible());
    QCOMPARE(m_platform->starts.size(), request == "launch" ? std::size_t{1} : std::size_t{0});
    // Nothing is written before the window goes.
    QVERIFY(!readAll(settingsFile()).contains("VideoSettings"));
    m_window.reset();
    QVERIFY(readAll(settingsFile()).contains("[VideoSettings]"));
}

void LifecycleTest::savedOnceAtTheEnd() {
    m_window->FormCreate();
    QVERIFY(!QFile::exists(settingsFile()));
    m_launcher->options().setChecked(Id::chJapanese, true);
    m_window->FormDestroy();

    const QString saved = readAll(settingsFile());
    QVERIFY(saved.contains("Japanese=1"));
    int keys = 0;
    for (const QString& line : saved.split('\n')) {
        keys += line.contains('=') && !line.startsWith('[') && !line.startsWith(';');
    }
    QCOMPARE(keys, 33);
    QVERIFY(QFile::remove(settingsFile()));
    m_window.reset();
    QVERIFY(!QFile::exists(settingsFile()));
}

void LifecycleTest::saveFailureShownAfterWindowHides() {
    build(m_dir->path() + "/missing/vodavav");
    m_window->FormCreate();
    m_launcher->splashScreen = 0;
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    bool visibleWhenShown = true;
    const TVemoxMain* window = m_window.get();
    m_messages->onShow = [&] { visibleWhenShown = window->isVisible(); };
    m_messages->shown.clear();
    m_window.reset();

    QCOMPARE(m_messages->shown.size(), std::size_t{1});
    QVERIFY(m_messages->shown[0].error);
    QCOMPARE(QString::fromStdString(m_messages->shown[0].text),
             "Unable to write to " + settingsFile() + ".");
    QVERIFY(!visibleWhenShown);
}

QTEST_MAIN(LifecycleTest)
#include "lifecycle_test.moc"
