// The drive list: which volumes it offers and where choosing one leads.

#include "drivecombobox.h"
#include "filelistmodel.h"
#include "volumes.h"

#include <QSignalSpy>
#include <QTest>

#include <string>
#include <vector>

using namespace vodavav;

class FileBrowserTest : public QObject {
    Q_OBJECT

private slots:
    void volumesFromMountTable();
    void mountedVolumesStartAtTheRoot();
    void driveShownIsTheOneHoldingTheDirectory();
    void choosingADriveEntersItsLastDirectory();
    void namesAreDecodedForDisplayOnly();
};

void FileBrowserTest::volumesFromMountTable() {
    const std::string table = "proc /proc proc rw 0 0\n"
                              "sysfs /sys sysfs rw 0 0\n"
                              "tmpfs /sys/fs/cgroup tmpfs ro 0 0\n"
                              "cgroup2 /sys/fs/cgroup/unified cgroup2 rw 0 0\n"
                              "devpts /dev/pts devpts rw 0 0\n"
                              "tmpfs /dev/shm tmpfs rw 0 0\n"
                              "/dev/sdb1 /media/Games\\040Disk vfat rw 0 0\n"
                              "/dev/sda1 / ext4 rw 0 0\n"
                              "tmpfs /tmp tmpfs rw 0 0\n"
                              "/dev/sda2 /home ext4 rw 0 0\n"
                              "/dev/sda2 /home ext4 rw 0 0\n"
                              "overlay /devices ext4 rw 0 0\n"
                              "binfmt_misc /proc/sys/fs/binfmt_misc binfmt_misc rw 0 0\n"
                              "garbage\n";
    const std::vector<std::string> expected{"/", "/devices", "/home", "/media/Games Disk", "/tmp"};
    QCOMPARE(vodavav::volumesFromMountTable(table), expected);
}

void FileBrowserTest::mountedVolumesStartAtTheRoot() {
    const std::vector<std::string> volumes = mountedVolumes();
    QVERIFY(!volumes.empty());
    QCOMPARE(volumes.front(), std::string("/"));
    for (const std::string& v : volumes) {
        QVERIFY2(v.rfind("/proc", 0) != 0 && v.rfind("/sys", 0) != 0, v.c_str());
    }
}

void FileBrowserTest::driveShownIsTheOneHoldingTheDirectory() {
    DriveComboBox drives({"/", "/home", "/home/games"}, nullptr);
    QSignalSpy chosen(&drives, &DriveComboBox::driveChosen);
    const std::vector<std::pair<std::string, QString>> cases{
        {"/home/games/sms", "/home/games"},
        {"/home/gamesdir", "/home"},
        {"/home", "/home"},
        {"/usr/share", "/"},
        {"/", "/"},
    };
    for (const auto& [directory, shown] : cases) {
        drives.showDirectory(directory);
        QCOMPARE(drives.currentText(), shown);
    }
    QCOMPARE(chosen.count(), 0);
}

void FileBrowserTest::choosingADriveEntersItsLastDirectory() {
    DriveComboBox drives({"/", "/media/usb"}, nullptr);
    QSignalSpy chosen(&drives, &DriveComboBox::driveChosen);
    drives.showDirectory("/usr/share");
    drives.setCurrentIndex(1); // never visited: its mount point
    QCOMPARE(chosen.takeFirst().at(0).value<std::string>(), std::string("/media/usb"));

    drives.showDirectory("/media/usb/roms");
    drives.setCurrentIndex(0);
    QCOMPARE(chosen.takeFirst().at(0).value<std::string>(), std::string("/usr/share"));
    drives.showDirectory("/usr/share");
    drives.setCurrentIndex(1);
    QCOMPARE(chosen.takeFirst().at(0).value<std::string>(), std::string("/media/usb/roms"));
}

void FileBrowserTest::namesAreDecodedForDisplayOnly() {
    QCOMPARE(displayName("Sonic \xc3\xa9.sms"), QString::fromUtf8("Sonic \xc3\xa9.sms"));
    QCOMPARE(displayName(std::string("bad\xff.sms")), QString::fromUtf8("bad\xef\xbf\xbd.sms"));
}

QTEST_MAIN(FileBrowserTest)
#include "filebrowser_test.moc"
