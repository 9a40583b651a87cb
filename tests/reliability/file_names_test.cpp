// ROM names that a shell, a quoting rule or a text decoder would mangle. Each one is listed,
// selected and started for real under "All Roms" and under its system's filter, and must reach
// the program byte for byte.

#include "launcher.h"
#include "romfilter.h"
#include "systemplatform.h"
#include "tally.h"
#include "tempdir.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace vodavav::reliability {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

class NoMessages : public Messages {
public:
    void message(const std::string& text) override { shown += text + "\n"; }
    void error(const std::string& text) override { shown += text + "\n"; }
    std::string shown;
};

// The filter that lists a name by its extension (ignoring case), 0 when none does.
int filterOf(const std::string& name) {
    for (int k = 1; k < static_cast<int>(kSystemFilters.size()); ++k) {
        if (matchesMask(name, kSystemFilters[static_cast<std::size_t>(k)].mask)) {
            return k;
        }
    }
    return 0;
}

class Names : public ::testing::Test {
protected:
    // Selects the entry that stands for the file name under filter k, launches it with the
    // start probe as the emulator, and returns the ROM path the probe received; "" (with a
    // failure) when it could not be launched.
    std::string launched(Launcher& launcher, int k, const std::string& name) {
        launcher.options().setValue(Id::cbFilter, k);
        launcher.filterRefresh();
        // The list keeps the order of the whole names when it cuts them, so the entry of a
        // name is at the name's place among the files the filter lists.
        std::vector<std::string> listed;
        for (const fs::directory_entry& e : fs::directory_iterator(launcher.files().directory())) {
            const std::string file = e.path().filename().string();
            if (matchesMask(file, kSystemFilters[static_cast<std::size_t>(k)].mask) &&
                e.is_regular_file() && !file.starts_with('.')) {
                listed.push_back(file);
            }
        }
        std::sort(listed.begin(), listed.end(), [](const std::string& a, const std::string& b) {
            return lessIgnoringCase(a, b);
        });
        const auto at = std::find(listed.begin(), listed.end(), name);
        if (at == listed.end() || listed.size() != launcher.files().size()) {
            ADD_FAILURE() << "the list does not hold the name";
            return {};
        }
        const auto index = static_cast<std::size_t>(at - listed.begin());
        const std::string shown =
            name.substr(0, name.size() - kSystemFilters[static_cast<std::size_t>(k)].cut);
        EXPECT_EQ(launcher.files().entry(index), shown);
        launcher.files().select(static_cast<int>(index));

        const std::string log = m_logs / ("log-" + std::to_string(++m_launches));
        ::setenv("START_PROBE_LOG", log.c_str(), 1);
        NoMessages messages;
        const LaunchResult result = launcher.btnLAUNCHClick(*m_platform, messages);
        ::unsetenv("START_PROBE_LOG");
        if (!result.started || !waitForFile(log)) {
            ADD_FAILURE() << "not started: " << messages.shown;
            return {};
        }
        const std::optional<ProbeRecord> record = readProbeLog(log);
        if (!record || record->arguments.size() != 3 || record->arguments[2] != "-noenter") {
            ADD_FAILURE() << "the probe got other arguments than the ROM and -noenter";
            return {};
        }
        EXPECT_EQ(record->cwd, launcher.files().directory());
        return record->arguments[1];
    }

    // Launches name from dir under "All Roms" and under its own filter; counts each mangling.
    void expectExact(const std::string& dir, const std::string& name) {
        count(Count::HostileInput);
        Launcher launcher(dir);
        launcher.emuPath = START_PROBE;
        const std::string want = joinPath(dir, name);
        for (const int k : {0, filterOf(name)}) {
            SCOPED_TRACE(kSystemFilters[static_cast<std::size_t>(k)].shownAs);
            const std::string got = launched(launcher, k, name);
            if (got != want) {
                count(Count::NameMangled);
                ADD_FAILURE() << "the emulator got " << ::testing::PrintToString(got);
            }
        }
    }

    TempDir m_logs;
    std::unique_ptr<Platform> m_platform = makeSystemPlatform();
    int m_launches = 0;
};

TEST_F(Names, EveryNameReachesTheEmulatorByteForByte) {
    const std::vector<std::string> names = {
        "Sonic  the  Hedgehog.sms",
        " Leading Blank.gg",
        "   Three Leading.sg",
        "Trailing Blank .sc",
        "Trailing Blanks   .rom",
        "   .sms",
        "It's Alive.gg",
        "Say \"Hi\".sg",
        "$HOME and ${PATH}.sc",
        "`id` $(id).rom",
        "back\\slash\\.sms",
        "Tom & Jerry.gg",
        "semi;colon;*.sms.sg",
        "pipe | tee.sc",
        "(paren.rom",
        "paren).sms",
        "[Japan] [!].gg",
        "bracket].sg",
        "100% %PATH% %s.sc",
        "Wow!!.rom",
        "^caret^.sms",
        "a=b==c.gg",
        "one,two,.sg",
        "star*.sc",
        "what?.rom",
        "~tilde~.sms",
        "#hash #.gg",
        "-res 1.sg",
        "--help.sc",
        "-.rom",
        "Sonic\xc2\xb2.sms",
        "\xc2\xbd Life.gg",
        "Pok\xc3\xa9mon.sg",
        "\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e.sc",
        "caf\xe9 Latin-1.rom",
        "\xff\xfe.sms",
        "\xc0\xaf overlong slash.gg",
        "\x80\x80 lone continuation.sg",
        "\xed\xa0\x80 surrogate.sc",
        "cut \xe6\x97.rom",
        "tab\there.sms",
        "new\nline.gg",
        "\x1b[31mescape.sg",
        std::string(251, 'L') + ".sms",
        "LOUD.SMS",
        "Mixed.Gg",
        "game.gg.sms",
        "name..sc",
        "Pair.sms",
        "PAIR.SMS",
        "Twin.sms",
        "Twin.SMS",
    };
    TempDir roms;
    for (const std::string& name : names) {
        ASSERT_EQ(filterOf(name) != 0, true) << name;
        roms.file(name);
    }
    for (const std::string& name : names) {
        SCOPED_TRACE(::testing::PrintToString(name));
        expectExact(roms.path(), name);
    }
}

TEST_F(Names, PathOfFourThousandBytes) {
    TempDir root;
    std::string dir = root.path();
    const std::string name = "Deep Inside.sms";
    for (int i = 0; dir.size() + 1 + name.size() < 4000; ++i) {
        const std::size_t room = 4000 - dir.size() - 1 - name.size();
        // Levels of 200 bytes, the last one taking exactly what is left.
        const std::size_t length = room > 202 ? 200 : room - 1;
        dir += '/';
        dir.append(length, static_cast<char>('a' + i % 26));
        fs::create_directory(dir);
    }
    const std::string rom = joinPath(dir, name);
    ASSERT_EQ(rom.size(), 4000U);
    writeFile(rom, "");
    expectExact(dir, name);
}

} // namespace
} // namespace vodavav::reliability
