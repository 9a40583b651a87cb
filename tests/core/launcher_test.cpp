#include "launcher.h"
#include "platform.h"
#include "tempdir.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace vodavav {
namespace {

using test::TempDir;
using Texts = std::vector<std::string>;

// Records what the launch asked of the system; starts succeed or fail as told.
class FakePlatform final : public Platform {
public:
    std::string shortForm(const std::string& path) override {
        shortened.push_back(path);
        return shortPrefix + path;
    }
    StartResult start(const CommandLine& line, const std::string& workingDirectory) override {
        started.emplace_back(line, workingDirectory);
        return result;
    }
    std::string programPath() override { return "/opt/vodavav/vodavav"; }

    std::string shortPrefix;
    StartResult result{true, {}};
    Texts shortened;
    std::vector<std::pair<CommandLine, std::string>> started;
};

class FakeMessages final : public Messages {
public:
    void message(const std::string& text) override { messages.push_back(text); }
    void error(const std::string& text) override { errors.push_back(text); }

    Texts messages;
    Texts errors;
};

class Launch : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir.file("ALEXKIDD.SMS");
        m_dir.file("COLUMNS.GG");
    }
    // A launcher on the fixture under filter k, with entry `selected` selected (−1: none).
    Launcher launcher(int k, int selected) const {
        Launcher l(m_dir.path());
        l.options().setValue(Id::cbFilter, k);
        l.filterRefresh();
        l.files().select(selected);
        return l;
    }

    TempDir m_dir;
    FakePlatform m_platform;
    FakeMessages m_messages;
};

TEST_F(Launch, NothingSelectedOnlyAsksForARomEvenWithoutEmulatorPath) {
    for (const char* emuPath : {"", "/usr/games/vemox"}) {
        for (const int k : {-1, 0, 1}) {
            Launcher l = launcher(k, -1);
            l.emuPath = emuPath;
            FakeMessages messages;
            const LaunchResult r = l.btnLAUNCHClick(m_platform, messages);
            EXPECT_EQ(messages.messages, Texts{"Please select a ROM to launch !!!"})
                << "filter " << k << ", path '" << emuPath << "'";
            EXPECT_TRUE(messages.errors.empty());
            EXPECT_FALSE(r.started);
            EXPECT_FALSE(r.exitRequested);
        }
    }
    EXPECT_TRUE(m_platform.started.empty());
}

TEST_F(Launch, RomWithoutEmulatorPathAsksForThePath) {
    Launcher l = launcher(1, 0);
    l.options().setChecked(Id::chExit, true);
    const LaunchResult r = l.btnLAUNCHClick(m_platform, m_messages);
    EXPECT_EQ(m_messages.messages, Texts{"Please set the path for Vemox !!!"});
    EXPECT_TRUE(m_messages.errors.empty());
    EXPECT_TRUE(m_platform.started.empty());
    EXPECT_FALSE(r.started);
    EXPECT_FALSE(r.exitRequested);
    EXPECT_EQ(l.files().selected(), 0) << "the selection stays for the next try";
}

TEST_F(Launch, StartsTheShortFormInTheListedDirectory) {
    struct Row {
        int filter;
        int selected;
        const char* rom; // the file the selected entry stands for, as named on disk
        int resolution;
        const char* switches;
    };
    const Row rows[] = {
        {0, 1, "COLUMNS.GG", 0, " -noenter"},
        {1, 0, "ALEXKIDD.SMS", -1, " -noenter"},
        {2, 0, "COLUMNS.GG", 3, " -res 4 -noenter"},
    };
    for (const Row& r : rows) {
        Launcher l = launcher(r.filter, r.selected);
        l.emuPath = "/opt/My Emu/vemox";
        l.options().setValue(Id::cbResMode, r.resolution);
        FakePlatform platform;
        platform.shortPrefix = "SHORT:";
        const LaunchResult result = l.btnLAUNCHClick(platform, m_messages);
        EXPECT_TRUE(result.started);
        EXPECT_FALSE(result.exitRequested);
        const std::string rom = m_dir / r.rom;
        EXPECT_EQ(platform.shortened, Texts{rom});
        ASSERT_EQ(platform.started.size(), 1u);
        const auto& [line, workingDirectory] = platform.started.front();
        EXPECT_EQ(line.text, "/opt/My Emu/vemox SHORT:" + rom + r.switches);
        EXPECT_EQ(line.arguments.at(0), "/opt/My Emu/vemox");
        EXPECT_EQ(line.arguments.at(1), "SHORT:" + rom);
        EXPECT_EQ(workingDirectory, m_dir.path());
    }
    EXPECT_TRUE(m_messages.messages.empty());
    EXPECT_TRUE(m_messages.errors.empty());
}

TEST_F(Launch, ExitOnLaunchEndsOnlyAfterAStart) {
    struct Row {
        bool exitOnLaunch;
        bool starts;
        bool exitRequested;
    };
    const Row rows[] = {
        {false, true, false},
        {true, true, true},
        {false, false, false},
        // A launch that did not happen is never treated as one that did.
        {true, false, false},
    };
    for (const Row& r : rows) {
        Launcher l = launcher(0, 0);
        l.emuPath = "/opt/My Emu/vemox";
        l.options().setChecked(Id::chExit, r.exitOnLaunch);
        FakePlatform platform;
        platform.result =
            r.starts ? StartResult{true, {}} : StartResult{false, "No such file or directory"};
        FakeMessages messages;
        const LaunchResult result = l.btnLAUNCHClick(platform, messages);
        EXPECT_EQ(result.started, r.starts);
        EXPECT_EQ(result.exitRequested, r.exitRequested)
            << "exit on launch " << r.exitOnLaunch << ", starts " << r.starts;
        EXPECT_TRUE(messages.messages.empty());
        if (r.starts) {
            EXPECT_TRUE(messages.errors.empty());
        } else {
            EXPECT_EQ(messages.errors,
                      Texts{"Unable to start /opt/My Emu/vemox: No such file or directory"});
        }
    }
}

TEST_F(Launch, PreparedLaunchShowsWhatTheProcedureWouldDo) {
    Launcher none = launcher(1, -1);
    EXPECT_EQ(std::get<std::string>(none.preparedLaunch(m_platform)),
              "Please select a ROM to launch !!!");
    Launcher noPath = launcher(1, 0);
    EXPECT_EQ(std::get<std::string>(noPath.preparedLaunch(m_platform)),
              "Please set the path for Vemox !!!");
    Launcher ready = launcher(1, 0);
    ready.emuPath = "vemox";
    EXPECT_EQ(std::get<CommandLine>(ready.preparedLaunch(m_platform)).text,
              "vemox " + (m_dir / "ALEXKIDD.SMS") + " -noenter");
    EXPECT_TRUE(m_platform.started.empty()) << "preparing starts nothing";
}

// Under one system the names are cut, so files that differ only in the case of their extension
// show the same text; each entry still hands over its own file. An entry whose text was replaced
// by something else than a cut stands for that text.
TEST_F(Launch, EachEntryHandsOverItsOwnFile) {
    m_dir.file("TWIN.SMS");
    m_dir.file("TWIN.sms");
    Launcher l = launcher(1, -1);
    ASSERT_EQ(l.files().entries(), (Texts{"ALEXKIDD", "TWIN", "TWIN"}));
    l.emuPath = "vemox";
    Texts handedOver;
    for (const int i : {1, 2}) {
        l.files().select(i);
        handedOver.push_back(std::get<CommandLine>(l.preparedLaunch(m_platform)).arguments.at(1));
    }
    EXPECT_EQ(handedOver, (Texts{m_dir / l.files().fileName(1), m_dir / l.files().fileName(2)}));
    EXPECT_NE(handedOver[0], handedOver[1]);

    l.files().setEntry(0, "OTHER");
    l.files().select(0);
    EXPECT_EQ(std::get<CommandLine>(l.preparedLaunch(m_platform)).arguments.at(1),
              m_dir / "OTHER.sms");
}

} // namespace
} // namespace vodavav
