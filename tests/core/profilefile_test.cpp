#include "profilefile.h"

#include "tempdir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace fs = std::filesystem;
using vodavav::ProfileFile;
using vodavav::test::TempDir;

namespace {

std::string contentOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// Names of everything in a directory, to show that no temporary file was left behind.
std::vector<std::string> namesIn(const std::string& dir) {
    std::vector<std::string> names;
    for (const fs::directory_entry& e : fs::directory_iterator(dir)) {
        names.push_back(e.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

struct ReadCase {
    const char* what;
    std::string_view text;
    std::string_view section;
    std::string_view key;
    std::optional<std::string> expected;
};

TEST(ProfileFileRead, FindsValuesByTheFileFormatRules) {
    const ReadCase cases[] = {
        {"plain", "[A]\nk=v\n", "A", "k", "v"},
        {"names ignore letter case", "[sEcTiOn]\nKeY=v\n", "Section", "kEy", "v"},
        {"blanks around names and values", "  [ A ]  \n \t k \t=  v w \t\n", "A", "k", "v w"},
        {"quotes keep blanks", "[A]\nk=\"  x  \"\n", "A", "k", "  x  "},
        {"only one pair of quotes goes", "[A]\nk=\"\"x\"\"\n", "A", "k", "\"x\""},
        {"a lone quote stays", "[A]\nk=\"x\n", "A", "k", "\"x"},
        {"a single quote character stays", "[A]\nk=\"\n", "A", "k", "\""},
        {"comment lines are skipped", "[A]\n;k=1\n  ; k=2\nk=3\n", "A", "k", "3"},
        {"a commented key alone is absent", "[A]\n;k=1\n", "A", "k", std::nullopt},
        {"CRLF lines", "[A]\r\nk=v\r\n", "A", "k", "v"},
        {"byte-order mark", "\xEF\xBB\xBF[A]\nk=v\n", "A", "k", "v"},
        {"first duplicate wins", "[A]\nk=1\nk=2\n", "A", "k", "1"},
        {"a repeated section is searched too", "[A]\nx=1\n[B]\nk=3\n[A]\nk=2\n", "A", "k", "2"},
        {"sections are kept apart", "[A]\nk=1\n[B]\nk=2\n", "B", "k", "2"},
        {"key of another section", "[B]\nk=1\n", "A", "k", std::nullopt},
        {"key before any section", "k=1\n[A]\n", "A", "k", std::nullopt},
        {"empty value", "[A]\nk=\n", "A", "k", ""},
        {"equals sign inside the value", "[A]\nk=a=b\n", "A", "k", "a=b"},
        {"semicolon inside the value", "[A]\nk=a;b\n", "A", "k", "a;b"},
        {"last line without a line break", "[A]\nk=v", "A", "k", "v"},
        {"a lone CR belongs to the line", "[A]\nk=a\rb\n", "A", "k", "a\rb"},
    };
    for (const ReadCase& c : cases) {
        EXPECT_EQ(ProfileFile(c.text).value(c.section, c.key), c.expected) << c.what;
    }
}

struct WriteCase {
    const char* what;
    std::string_view before;
    std::string_view section;
    std::string_view key;
    std::string_view value;
    std::string_view after;
};

TEST(ProfileFileWrite, ChangesOnlyTheKeysLine) {
    const WriteCase cases[] = {
        {"replaced in place, everything else kept",
         "; notes\r\n[A]\r\nx=1\r\nk=old\r\nodd line\r\n[B]\r\ny=2\r\n", "A", "k", "new",
         "; notes\r\n[A]\r\nx=1\r\nk=new\r\nodd line\r\n[B]\r\ny=2\r\n"},
        {"matched ignoring case", "[a]\n  K = 1\n", "A", "k", "2", "[a]\nk=2\n"},
        {"first duplicate replaced", "[A]\nk=1\nk=2\n", "A", "k", "3", "[A]\nk=3\nk=2\n"},
        {"new key after the section's last line", "[A]\nx=1\n; c\n\n[B]\ny=2\n", "A", "k", "v",
         "[A]\nx=1\n; c\nk=v\n\n[B]\ny=2\n"},
        {"new key in the first of repeated sections", "[A]\nx=1\n[B]\n[A]\n", "A", "k", "v",
         "[A]\nx=1\nk=v\n[B]\n[A]\n"},
        {"new section at the end", "[A]\nx=1\n", "B", "k", "v", "[A]\nx=1\n\n[B]\nk=v\n"},
        {"new section in an empty file", "", "B", "k", "v", "[B]\nk=v\n"},
        {"new lines take the file's line ending", "[A]\r\nx=1\r\n", "B", "k", "v",
         "[A]\r\nx=1\r\n\r\n[B]\r\nk=v\r\n"},
        {"no line break at the end stays so", "[A]\nx=1", "A", "k", "v", "[A]\nx=1\nk=v"},
        {"byte-order mark kept", "\xEF\xBB\xBF[A]\nk=1\n", "A", "k", "2", "\xEF\xBB\xBF[A]\nk=2\n"},
        {"leading blank quoted", "", "A", "k", " a", "[A]\nk=\" a\"\n"},
        {"trailing tab quoted", "", "A", "k", "a\t", "[A]\nk=\"a\t\"\n"},
        {"enclosing quotes quoted", "", "A", "k", "\"a\"", "[A]\nk=\"\"a\"\"\n"},
        {"inner quote as it is", "", "A", "k", "a\"b", "[A]\nk=a\"b\n"},
    };
    for (const WriteCase& c : cases) {
        ProfileFile p(c.before);
        EXPECT_TRUE(p.setValue(c.section, c.key, c.value)) << c.what;
        EXPECT_EQ(p.text(), c.after) << c.what;
    }
}

TEST(ProfileFileWrite, RefusesLineBreaksAndKeepsTheOldLine) {
    for (std::string_view bad : {"a\nb", "a\rb", "\n"}) {
        ProfileFile p("[A]\nk=old\n");
        EXPECT_FALSE(p.setValue("A", "k", bad));
        EXPECT_FALSE(p.setValue("A", bad, "v"));
        EXPECT_FALSE(p.setValue(bad, "k", "v"));
        EXPECT_EQ(p.text(), "[A]\nk=old\n");
    }
}

TEST(ProfileFileWrite, EveryStorableValueReadsBackExactly) {
    for (std::string_view v :
         {"", " ", "  lead", "trail  ", "\t", "\"", "\"\"", "\"x\"", "\" x \"", "x\"", "\"x", "a=b",
          ";x", "[x]", "C:\\VEMOX\\VEMOX.EXE", "/r\xC3\xB6ms/\xFF"}) {
        ProfileFile p("[A]\nk=old\n");
        ASSERT_TRUE(p.setValue("A", "k", v));
        EXPECT_EQ(ProfileFile(p.text()).value("A", "k"), std::string(v)) << p.text();
    }
}

class ProfileFileOnDisk : public ::testing::Test {
protected:
    TempDir dir;
};

TEST_F(ProfileFileOnDisk, MissingFileReadsAsEmpty) {
    ProfileFile p("[A]\nk=v\n");
    EXPECT_EQ(p.read(dir / "none.ini"), std::nullopt);
    EXPECT_EQ(p.text(), "");
}

TEST_F(ProfileFileOnDisk, WriteReplacesTheFileKeepingItsPermissionBits) {
    const std::string file = dir.file("a.ini", "[A]\r\nk=1\r\n; keep\r\n");
    fs::permissions(file, fs::perms(0640));
    ProfileFile p;
    ASSERT_EQ(p.read(file), std::nullopt);
    p.setValue("A", "k", "2");
    ASSERT_EQ(p.write(file), std::nullopt);
    EXPECT_EQ(contentOf(file), "[A]\r\nk=2\r\n; keep\r\n");
    EXPECT_EQ(fs::status(file).permissions(), fs::perms(0640));
    EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"a.ini"});
}

TEST_F(ProfileFileOnDisk, WriteGoesThroughSymbolicLinksAndKeepsThem) {
    dir.dir("real");
    const std::string target = dir.file("real/a.ini", "[A]\nk=1\n");
    // A relative link to a relative link: each is resolved against its own directory.
    fs::create_symlink("real/a.ini", dir / "hop.ini");
    fs::create_symlink("hop.ini", dir / "a.ini");
    ProfileFile p;
    ASSERT_EQ(p.read(dir / "a.ini"), std::nullopt);
    p.setValue("A", "k", "2");
    ASSERT_EQ(p.write(dir / "a.ini"), std::nullopt);
    EXPECT_TRUE(fs::is_symlink(dir / "a.ini"));
    EXPECT_TRUE(fs::is_symlink(dir / "hop.ini"));
    EXPECT_EQ(contentOf(target), "[A]\nk=2\n");

    // A link that points nowhere yet: the new file is made where it points.
    fs::create_symlink("real/new.ini", dir / "dangling.ini");
    ASSERT_EQ(p.write(dir / "dangling.ini"), std::nullopt);
    EXPECT_TRUE(fs::is_symlink(dir / "dangling.ini"));
    EXPECT_EQ(contentOf(dir / "real/new.ini"), "[A]\nk=2\n");
}

TEST_F(ProfileFileOnDisk, LoopOfLinksIsReportedNotFollowedForever) {
    fs::create_symlink("b.ini", dir / "a.ini");
    fs::create_symlink("a.ini", dir / "b.ini");
    ProfileFile p;
    EXPECT_NE(p.read(dir / "a.ini"), std::nullopt);
    EXPECT_NE(p.write(dir / "a.ini"), std::nullopt);
}

TEST_F(ProfileFileOnDisk, WhatIsNotARegularFileIsNeitherReadNorReplaced) {
    const std::string fifo = dir / "fifo.ini";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    const std::string sub = dir.dir("sub.ini");
    ProfileFile p("[A]\nk=v\n");
    // Opening the FIFO would wait for a writer that never comes.
    EXPECT_EQ(p.read(fifo), "it is not a regular file");
    EXPECT_EQ(p.read(sub), "Is a directory");
    EXPECT_EQ(p.text(), "");
    p.setValue("A", "k", "v");
    EXPECT_NE(p.write(fifo), std::nullopt);
    EXPECT_NE(p.write(sub), std::nullopt);
    EXPECT_EQ(fs::status(fifo).type(), fs::file_type::fifo);
    EXPECT_TRUE(fs::is_empty(sub));
}

TEST_F(ProfileFileOnDisk, MissingDirectoryRefusesTheWrite) {
    ProfileFile p("[A]\nk=v\n");
    EXPECT_EQ(p.write(dir / "gone/a.ini"), "No such file or directory");
    EXPECT_FALSE(fs::exists(dir / "gone"));
}

TEST_F(ProfileFileOnDisk, HugeFileIsReadInPartAndNeverCutByAWrite) {
    const std::string file = dir.file("big.ini", "[A]\nk=v\n");
    const std::uintmax_t size = vodavav::kProfileReadLimit + 4096;
    fs::resize_file(file, size); // sparse: costs no disk
    ProfileFile p;
    ASSERT_EQ(p.read(file), std::nullopt);
    EXPECT_EQ(p.value("A", "k"), "v");
    p.setValue("A", "k", "w");
    EXPECT_NE(p.write(file), std::nullopt);
    EXPECT_EQ(fs::file_size(file), size);
    EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"big.ini"});

    // Exactly at the limit the whole file has been read, so it may be written.
    fs::resize_file(file, vodavav::kProfileReadLimit);
    ASSERT_EQ(p.read(file), std::nullopt);
    p.setValue("A", "k", "w");
    EXPECT_EQ(p.write(file), std::nullopt);
}

} // namespace
