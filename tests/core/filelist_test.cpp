#include "filelist.h"
#include "launcher.h"
#include "romfilter.h"
#include "tempdir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <grp.h>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace vodavav {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;
using test::TempDir;

// Picks filter k and runs the refresh, as choosing it in the list does.
void chooseFilter(Launcher& l, int k) {
    l.options().setValue(Id::cbFilter, k);
    l.filterRefresh();
}

TEST(RomList, EveryFilterOnTheThreeFiles) {
    TempDir dir;
    dir.file("ALEXKIDD.SMS");
    dir.file("COLUMNS.GG");
    dir.file("README.TXT");
    struct Row {
        int filter;
        Names entries;
        const char* count;
        const char* firstRom; // selectedRom of entry 0, inside the directory
    };
    const Row rows[] = {
        {0, {"ALEXKIDD.SMS", "COLUMNS.GG"}, "Number of Roms: 2", "ALEXKIDD.SMS"},
        {1, {"ALEXKIDD"}, "Number of Roms: 1", "ALEXKIDD.sms"},
        {2, {"COLUMNS"}, "Number of Roms: 1", "COLUMNS.gg"},
        {3, {}, "Number of Roms: 0", nullptr},
        {4, {}, "Number of Roms: 0", nullptr},
        {5, {}, "Number of Roms: 0", nullptr},
    };
    for (const Row& r : rows) {
        Launcher l(dir.path());
        chooseFilter(l, r.filter);
        EXPECT_EQ(l.files().entries(), r.entries) << "filter " << r.filter;
        EXPECT_EQ(l.countLabel(), r.count) << "filter " << r.filter;
        EXPECT_EQ(l.lastFilter(), r.filter);
        EXPECT_EQ(l.files().mask(), kSystemFilters[static_cast<std::size_t>(r.filter)].mask);
        EXPECT_EQ(l.selectedRom(), std::nullopt) << "a reading leaves nothing selected";
        l.files().select(0);
        if (r.firstRom == nullptr) {
            EXPECT_EQ(l.selectedRom(), std::nullopt) << "filter " << r.filter;
        } else {
            EXPECT_EQ(l.selectedRom(), dir / r.firstRom) << "filter " << r.filter;
        }
    }
}

TEST(RomList, AnyFilterAfterAnyOtherShowsTheNamesCutOnce) {
    TempDir dir;
    for (const char* name : {"ALEXKIDD.SMS", "COLUMNS.GG", "CHAMP.SG", "MUSIC.SC", "ZAXXON.ROM",
                             "README.TXT", "SONIC.GG"}) {
        dir.file(name);
    }
    const Names shown[] = {
        {"ALEXKIDD.SMS", "CHAMP.SG", "COLUMNS.GG", "MUSIC.SC", "SONIC.GG", "ZAXXON.ROM"},
        {"ALEXKIDD"},
        {"COLUMNS", "SONIC"},
        {"CHAMP"},
        {"MUSIC"},
        {"ZAXXON"},
    };
    // Choosing the same filter twice is among these: it must neither read nor cut again.
    for (int from = 0; from < 6; ++from) {
        for (int to = 0; to < 6; ++to) {
            Launcher l(dir.path());
            chooseFilter(l, from);
            chooseFilter(l, to);
            EXPECT_EQ(l.files().entries(), shown[to]) << "from " << from << " to " << to;
            EXPECT_EQ(l.countLabel(), "Number of Roms: " + std::to_string(shown[to].size()));
        }
    }
}

TEST(RomList, EmptyDirectoryCountsZero) {
    TempDir dir;
    for (const int k : {0, 1, 5}) {
        Launcher l(dir.path());
        chooseFilter(l, k);
        EXPECT_TRUE(l.files().entries().empty());
        EXPECT_EQ(l.countLabel(), "Number of Roms: 0") << "filter " << k;
    }
}

TEST(RomList, DirectoryChangeUnderASingleSystemShowsTheNewNamesCut) {
    TempDir root;
    const std::string a = root.dir("a");
    const std::string b = root.dir("b");
    root.file("a/ALEXKIDD.SMS");
    root.file("b/CHAMP.SG");
    root.file("b/Othello.sg");
    root.file("b/SONIC.SMS");

    Launcher l(a);
    chooseFilter(l, 3);
    EXPECT_TRUE(l.files().entries().empty());
    l.directoryChange(b);
    EXPECT_EQ(l.files().entries(), (Names{"CHAMP", "Othello"}));
    EXPECT_EQ(l.countLabel(), "Number of Roms: 2");
    EXPECT_EQ(l.romDirectory(), b);
    EXPECT_EQ(l.files().directory(), b);
    EXPECT_EQ(l.lastFilter(), 3);
    l.files().select(1);
    EXPECT_EQ(l.selectedRom(), b + "/Othello.sg");

    l.directoryChange(a);
    EXPECT_TRUE(l.files().entries().empty());
    EXPECT_EQ(l.countLabel(), "Number of Roms: 0");
}

TEST(RomList, SameDirectoryEnteredAgainReadsItAndCutsOnce) {
    TempDir dir;
    dir.file("ALEXKIDD.SMS");
    Launcher l(dir.path());
    chooseFilter(l, 1);
    dir.file("WONDER.SMS");
    l.directoryChange(dir.path());
    EXPECT_EQ(l.files().entries(), (Names{"ALEXKIDD", "WONDER"}));
    EXPECT_EQ(l.countLabel(), "Number of Roms: 2");
}

TEST(RomList, NoFilterSelectedKeepsTheBuiltMaskAndBareCount) {
    TempDir root;
    const std::string a = root.dir("a");
    const std::string b = root.dir("b");
    root.file("a/ALEXKIDD.SMS");
    root.file("a/COLUMNS.GG");
    root.file("b/CHAMP.SG");

    Launcher l(a);
    // A stored filter outside the list selects nothing.
    l.options().setValue(Id::cbFilter, 9);
    ASSERT_EQ(l.options().value(Id::cbFilter), -1);
    l.applyFilterMask();
    l.filterRefresh();
    EXPECT_EQ(l.files().mask(), kAllRomsMask);
    EXPECT_EQ(l.countLabel(), "Number of Roms: ");
    EXPECT_EQ(l.files().entries(), (Names{"ALEXKIDD.SMS", "COLUMNS.GG"}));
    l.files().select(0);
    EXPECT_EQ(l.selectedRom(), a + "/ALEXKIDD.SMS") << "no extension appended";

    l.directoryChange(b);
    EXPECT_EQ(l.files().entries(), (Names{"CHAMP.SG"}));
    EXPECT_EQ(l.countLabel(), "Number of Roms: ");
    l.files().select(0);
    EXPECT_EQ(l.selectedRom(), b + "/CHAMP.SG");
}

TEST(RomList, ExtensionPutBackOnlyUnderASingleSystem) {
    TempDir dir;
    dir.file("ZAXXON.ROM");
    struct Row {
        int filter;
        const char* rom;
    };
    for (const Row r : {Row{0, "ZAXXON.ROM"}, Row{5, "ZAXXON.rom"}}) {
        Launcher l(dir.path());
        chooseFilter(l, r.filter);
        l.files().select(0);
        EXPECT_EQ(l.selectedRom(), dir / r.rom);
    }
}

TEST(RomList, JoinPathUsesOneSeparator) {
    struct Row {
        const char* dir;
        const char* name;
        const char* path;
    };
    const Row rows[] = {
        {"/", "GAME.SMS", "/GAME.SMS"},
        {"/roms", "GAME.SMS", "/roms/GAME.SMS"},
        {"/roms/", "GAME.SMS", "/roms/GAME.SMS"},
        {"/my roms", "A B.gg", "/my roms/A B.gg"},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(joinPath(r.dir, r.name), r.path);
    }
}

TEST(RomList, DirectoryEndingInSeparatorGivesOneSeparator) {
    TempDir dir;
    dir.file("ALEXKIDD.SMS");
    Launcher l(dir.path() + "/");
    chooseFilter(l, 1);
    l.files().select(0);
    EXPECT_EQ(l.selectedRom(), dir.path() + "/ALEXKIDD.sms");
}

TEST(RomList, MasksMatchIgnoringCaseAndEntriesSortIgnoringCase) {
    TempDir dir;
    for (const char* name : {"game.SMS", "Game.Sms", "alpha.sms", "BETA.SMS", "zeta.GG",
                             "Mixed.sMs", "sms", "GAME.SMSX", "GAMESMS"}) {
        dir.file(name);
    }
    Launcher l(dir.path());
    chooseFilter(l, 0);
    EXPECT_EQ(l.files().entries(),
              (Names{"alpha.sms", "BETA.SMS", "Game.Sms", "game.SMS", "Mixed.sMs", "zeta.GG"}));
    chooseFilter(l, 1);
    EXPECT_EQ(l.files().entries(), (Names{"alpha", "BETA", "Game", "game", "Mixed"}));
    l.files().select(3);
    EXPECT_EQ(l.selectedRom(), dir / "game.sms");
}

TEST(RomList, MaskPatterns) {
    struct Row {
        const char* name;
        const char* mask;
        bool matches;
    };
    const Row rows[] = {
        {"SONIC.SMS", "*.sms", true},
        {"sonic.sms.sms", "*.sms", true},
        {"SONIC.SMS.BAK", "*.sms", false},
        {"SONICSMS", "*.sms", false},
        {".sms", "*.sms", true},
        {"COLUMNS.GG", "*.sms;*.gg", true},
        {"COLUMNS.GG", "*.sms;;*.gg;", true},
        {"COLUMNS.GG", "", false},
        {"A.SG", "?.sg", true},
        {"AB.SG", "?.sg", false},
        {"name with blanks.rom", kAllRomsMask.data(), true},
        {"x.sc", kAllRomsMask.data(), true},
        {"x.txt", kAllRomsMask.data(), false},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(matchesMask(r.name, r.mask), r.matches) << r.name << " / " << r.mask;
    }
}

TEST(RomList, ListsRegularFilesAndLinksToThemOnly) {
    TempDir dir;
    dir.file("REAL.SMS");
    dir.file(".HIDDEN.SMS");
    dir.file("target.bin");
    dir.dir("FOLDER.SMS");
    dir.dir("folder");
    fs::create_symlink("target.bin", dir / "LINK.SMS");
    fs::create_symlink("folder", dir / "LDIR.SMS");
    fs::create_symlink("nowhere.bin", dir / "DEAD.SMS");
    ASSERT_EQ(::mkfifo((dir / "PIPE.SMS").c_str(), 0644), 0);

    Launcher l(dir.path());
    chooseFilter(l, 0);
    EXPECT_EQ(l.files().entries(), (Names{"LINK.SMS", "REAL.SMS"}));
    EXPECT_EQ(l.countLabel(), "Number of Roms: 2");
}

TEST(RomList, NameThatIsNotUtf8KeepsItsBytes) {
    TempDir dir;
    const std::string name = "ROM\xff\xfe\x80.SMS";
    dir.file(name);
    Launcher l(dir.path());
    chooseFilter(l, 0);
    ASSERT_EQ(l.files().entries(), (Names{name}));
    l.files().select(0);
    EXPECT_EQ(l.selectedRom(), dir / name);
    chooseFilter(l, 1);
    ASSERT_EQ(l.files().entries(), (Names{"ROM\xff\xfe\x80"}));
    l.files().select(0);
    EXPECT_EQ(l.selectedRom(), dir / "ROM\xff\xfe\x80.sms");
}

// Checks that a directory change into `target` fails with a DirectoryError naming it and
// leaves the launcher as it was. Returns what went wrong, empty when all held.
std::string failedChangeKeepsEverything(Launcher& l, const std::string& target,
                                        const std::string& reason) {
    const std::string before = l.romDirectory();
    const Names entries = l.files().entries();
    const int selected = l.files().selected();
    const std::string count = l.countLabel();
    const int lastFilter = l.lastFilter();
    try {
        l.directoryChange(target);
        return "entering " + target + " did not fail";
    } catch (const DirectoryError& e) {
        if (e.directory() != target) {
            return "the error names " + e.directory();
        }
        if (std::string(e.what()).find(target) == std::string::npos ||
            std::string(e.what()).find(reason) == std::string::npos) {
            return std::string("the message does not say what happened: ") + e.what();
        }
    }
    if (l.romDirectory() != before || l.files().directory() != before) {
        return "the directory moved to " + l.files().directory();
    }
    if (l.files().entries() != entries || l.files().selected() != selected ||
        l.countLabel() != count || l.lastFilter() != lastFilter) {
        return "the list changed";
    }
    return {};
}

TEST(RomList, VanishedDirectoryIsReportedAndChangesNothing) {
    TempDir root;
    const std::string a = root.dir("a");
    root.file("a/ALEXKIDD.SMS");
    const std::string gone = root.dir("gone");
    fs::remove(gone);

    Launcher l(a);
    chooseFilter(l, 1);
    l.files().select(0);
    EXPECT_EQ(failedChangeKeepsEverything(l, gone, "No such file or directory"), "");
    EXPECT_EQ(l.selectedRom(), a + "/ALEXKIDD.sms");
}

TEST(RomList, FilterChangeAfterTheDirectoryVanishedKeepsListAndCountInStep) {
    TempDir root;
    const std::string a = root.dir("a");
    root.file("a/ALEXKIDD.SMS");
    Launcher l(a);
    chooseFilter(l, 0);
    fs::remove_all(a);
    EXPECT_THROW(chooseFilter(l, 1), DirectoryError);
    EXPECT_TRUE(l.files().entries().empty());
    EXPECT_EQ(l.countLabel(), "Number of Roms: 0");
    EXPECT_EQ(l.selectedRom(), std::nullopt);
}

// Runs check as the unprivileged user nobody: in this process when it is not root, else in a
// child that drops to nobody. Returns the check's failure text (empty when it held), or nothing
// when privileges cannot be dropped.
std::optional<std::string> asUnprivileged(const std::function<std::string()>& check) {
    if (::geteuid() != 0) {
        return check();
    }
    constexpr int kCannotDrop = 77;
    int fds[2];
    if (::pipe(fds) != 0) {
        return "pipe failed";
    }
    const pid_t child = ::fork();
    if (child < 0) {
        return "fork failed";
    }
    if (child == 0) {
        ::close(fds[0]);
        constexpr gid_t kNobody = 65534;
        if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0 ||
            ::geteuid() != kNobody) {
            ::_exit(kCannotDrop);
        }
        std::string failure;
        try {
            failure = check();
        } catch (const std::exception& e) {
            failure = std::string("threw: ") + e.what();
        }
        const ssize_t written = ::write(fds[1], failure.data(), failure.size());
        ::_exit(written == static_cast<ssize_t>(failure.size()) ? 0 : 1);
    }
    ::close(fds[1]);
    std::string failure;
    char buffer[256];
    for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;) {
        failure.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (WIFEXITED(status) && WEXITSTATUS(status) == kCannotDrop) {
        return std::nullopt;
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return "the unprivileged check ended abnormally";
    }
    return failure;
}

TEST(RomList, DirectoryWithoutPermissionIsReportedAndChangesNothing) {
    TempDir root;
    const std::string a = root.dir("a");
    root.file("a/ALEXKIDD.SMS");
    const std::string locked = root.dir("locked");
    root.file("locked/SONIC.SMS");
    fs::permissions(locked, fs::perms::none);

    const std::optional<std::string> failure = asUnprivileged([&] {
        Launcher l(a);
        chooseFilter(l, 1);
        l.files().select(0);
        return failedChangeKeepsEverything(l, locked, "Permission denied");
    });
    if (!failure) {
        GTEST_SKIP() << "running as root and cannot drop to the user nobody, so a directory "
                        "without permission cannot be shown to be refused";
    }
    EXPECT_EQ(*failure, "");
}

TEST(RomList, UnreadableStartDirectoryGivesAnEmptyList) {
    TempDir root;
    const std::string gone = root / "gone";
    Launcher l(gone);
    EXPECT_TRUE(l.files().entries().empty());
    EXPECT_EQ(l.romDirectory(), gone);
    EXPECT_EQ(l.files().mask(), kAllRomsMask);
    EXPECT_EQ(l.selectedRom(), std::nullopt);
}

TEST(FileListReading, AnEqualMaskDoesNotReadAgain) {
    TempDir dir;
    dir.file("ALEXKIDD.SMS");
    FileList f;
    f.setDirectory(dir.path());
    f.setMask("*.sms");
    f.select(0);
    dir.file("WONDER.SMS");
    f.setMask("*.sms");
    EXPECT_EQ(f.entries(), (Names{"ALEXKIDD.SMS"}));
    EXPECT_EQ(f.selected(), 0);
    // A different text reads again, even when it matches the same files.
    f.setMask("*.SMS");
    EXPECT_EQ(f.entries(), (Names{"ALEXKIDD.SMS", "WONDER.SMS"}));

    // Choosing the same system again does not read either.
    Launcher l(dir.path());
    chooseFilter(l, 1);
    dir.file("ZILLION.SMS");
    chooseFilter(l, 1);
    EXPECT_EQ(l.files().entries(), (Names{"ALEXKIDD", "WONDER"}));
}

TEST(FileListReading, EveryReadingClearsTheSelection) {
    TempDir root;
    const std::string a = root.dir("a");
    const std::string b = root.dir("b");
    for (const char* name : {"a/ALEXKIDD.SMS", "a/COLUMNS.GG", "b/ALEXKIDD.SMS"}) {
        root.file(name);
    }
    struct Row {
        const char* what;
        std::function<void(Launcher&)> reading;
    };
    const Row rows[] = {
        {"another mask", [](Launcher& l) { l.files().setMask("*.gg;*.sms"); }},
        {"another directory", [&](Launcher& l) { l.files().setDirectory(b); }},
        {"read again", [](Launcher& l) { l.files().read(); }},
        {"directory change", [&](Launcher& l) { l.directoryChange(b); }},
        {"the same directory entered again", [&](Launcher& l) { l.directoryChange(a); }},
        {"another filter", [](Launcher& l) { chooseFilter(l, 1); }},
    };
    for (const Row& r : rows) {
        Launcher l(a);
        chooseFilter(l, 0);
        l.files().select(0);
        ASSERT_EQ(l.files().selected(), 0);
        r.reading(l);
        EXPECT_EQ(l.files().selected(), -1) << r.what;
        EXPECT_EQ(l.selectedRom(), std::nullopt) << r.what;
    }
}

TEST(FileListReading, SelectingOutsideTheListSelectsNothing) {
    TempDir dir;
    dir.file("ALEXKIDD.SMS");
    dir.file("COLUMNS.GG");
    Launcher l(dir.path());
    chooseFilter(l, 0);
    for (const int index : {3, 2, -1, -7}) {
        l.files().select(1);
        l.files().select(index);
        EXPECT_EQ(l.files().selected(), -1) << index;
        EXPECT_EQ(l.files().fullPath(), "") << index;
    }
}

// Names that share long beginnings, differ only in letter case, are beginnings of each other or
// hold bytes above ASCII: the list's order must be lessIgnoringCase's however the read sorts.
TEST(FileListReading, ManyNamesSortAsLessIgnoringCase) {
    TempDir dir;
    std::mt19937 random(20240611u);
    const std::string letters = "aAbBzZ09 ._-(\xc3\xa9\xff";
    const auto pick = [&](std::size_t n) { return static_cast<std::size_t>(random() % n); };
    std::vector<std::string> beginnings;
    for (const std::size_t length : {0, 1, 3, 4, 7, 8, 15, 16, 17, 31, 40}) {
        std::string b;
        for (std::size_t i = 0; i < length; ++i) {
            b += letters[pick(letters.size())];
        }
        beginnings.push_back(b);
    }
    std::set<std::string> made;
    std::string chain;
    for (int i = 0; i < 60; ++i) {
        chain += i % 3 == 0 ? 'A' : 'a';
        made.insert(chain);
    }
    while (made.size() < 3000) {
        std::string name = beginnings[pick(beginnings.size())];
        for (std::size_t i = pick(6); i > 0; --i) {
            name += letters[pick(letters.size())];
        }
        if (pick(4) == 0) {
            for (char& c : name) {
                c = c >= 'a' && c <= 'z' && pick(2) == 0 ? static_cast<char>(c - 'a' + 'A') : c;
            }
        }
        if (!name.empty() && name.front() != '.' &&
            name.find_first_not_of(". ") != std::string::npos) {
            made.insert(name);
        }
    }
    for (const std::string& name : made) {
        dir.file(name);
    }
    Names expected(made.begin(), made.end());
    std::sort(expected.begin(), expected.end(),
              [](const std::string& a, const std::string& b) { return lessIgnoringCase(a, b); });

    FileList f;
    f.setMask("*");
    f.setDirectory(dir.path());
    ASSERT_EQ(f.entries(), expected);
    for (std::size_t i = 0; i < f.size(); ++i) {
        ASSERT_EQ(f.fileName(i), expected[i]);
    }
}

// The directory list takes the subdirectories from the file list's read: every one that does
// not start with ".", links to directories among them, whatever the mask.
TEST(FileListReading, KeepsTheVisibleSubdirectoriesWhateverTheMask) {
    TempDir dir;
    for (const char* name : {"b", "A", "c.sms", ".hidden", "Zeta"}) {
        dir.dir(name);
    }
    dir.file("GAME.SMS");
    fs::create_directory_symlink("b", dir / "ldir");
    fs::create_symlink("GAME.SMS", dir / "lfile");
    fs::create_symlink("nowhere", dir / "dead");
    const Names subdirectories{"A", "b", "c.sms", "ldir", "Zeta"};
    for (const char* mask : {kAllRomsMask.data(), "", "*", "*.gg"}) {
        FileList f;
        f.setMask(mask);
        f.setDirectory(dir.path());
        Names shown;
        for (std::size_t i = 0; i < f.subdirectoryCount(); ++i) {
            shown.emplace_back(f.subdirectory(i));
        }
        EXPECT_EQ(shown, subdirectories) << "mask " << mask;
    }
}

TEST(FileListReading, SubdirectoriesFollowTheReadThatStands) {
    TempDir root;
    const std::string a = root.dir("a");
    root.dir("a/inner");
    const std::string gone = root.dir("gone");
    fs::remove(gone);
    FileList f;
    f.setDirectory(a);
    EXPECT_THROW(f.setDirectory(gone), DirectoryError);
    ASSERT_EQ(f.subdirectoryCount(), 1u) << "a failed read keeps the listed directory's";
    EXPECT_EQ(f.subdirectory(0), "inner");

    root.dir("a/later");
    f.read();
    EXPECT_EQ(f.subdirectoryCount(), 2u);
    // The directory vanished: the list, and its subdirectories, are empty.
    fs::remove_all(a);
    EXPECT_THROW(f.setMask("*.gg"), DirectoryError);
    EXPECT_EQ(f.subdirectoryCount(), 0u);
}

} // namespace
} // namespace vodavav
