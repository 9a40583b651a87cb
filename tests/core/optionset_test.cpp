#include "optionset.h"
#include "romfilter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace vodavav {
namespace {

std::vector<Id> controlIds() {
    std::vector<Id> ids;
    for (const Descriptor& d : descriptors().first<kControlCount>()) {
        ids.push_back(d.id);
    }
    return ids;
}

TEST(OptionSetBuilt, MatchesTheTableWithFiveEmptyListsAndFourDisabledControls) {
    const OptionSet options;
    std::set<Id> empty;
    std::set<Id> disabled;
    for (const Id id : controlIds()) {
        const Descriptor& d = descriptor(id);
        EXPECT_EQ(options.value(id), d.built) << d.name;
        EXPECT_EQ(options.enabled(id), d.builtEnabled) << d.name;
        if (options.value(id) == -1) {
            empty.insert(id);
        }
        if (!options.enabled(id)) {
            disabled.insert(id);
        }
    }
    EXPECT_EQ(empty, (std::set<Id>{Id::cbResMode, Id::cbSNESPort, Id::cbJoySensitivity,
                                   Id::cbCommPort, Id::cbFilter}));
    EXPECT_EQ(disabled, (std::set<Id>{Id::cbSNESPort, Id::cbJoySensitivity, Id::rgClientServer,
                                      Id::cbCommPort}));
    EXPECT_EQ(options.frameSkipLabel(), "Frame Skip: Disabled");
}

TEST(OptionTable, NamesAndKeysAreUniqueAndChoiceControlsHaveChoices) {
    std::set<std::string> names;
    std::set<std::string> keys;
    for (const Descriptor& d : descriptors()) {
        EXPECT_TRUE(names.emplace(d.name).second) << "name twice: " << d.name;
        // Keys match ignoring letter case in the settings file.
        std::string key(d.key);
        std::transform(key.begin(), key.end(), key.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        EXPECT_TRUE(keys.insert(key).second) << "key twice: " << d.key;
        if (d.kind == Kind::Radio || d.kind == Kind::List) {
            EXPECT_FALSE(d.choices.empty()) << d.name;
        }
    }
    EXPECT_EQ(names.size(), kSettingCount);
}

TEST(OptionSetClamp, EachKindClampsAsItsControlDoes) {
    struct Case {
        Id id;
        int given;
        int reads;
    };
    const Case cases[] = {
        // Radio groups clamp to −1 … last.
        {Id::rgVsync, 9, 2},
        {Id::rgVsync, -5, -1},
        {Id::rgController, 6, 6},
        {Id::rgController, 7, 6},
        {Id::rgEmuMode, 100, 5},
        // Drop-down lists read anything outside their choices as nothing selected.
        {Id::cbResMode, 9, -1},
        {Id::cbResMode, 5, 5},
        {Id::cbResMode, 6, -1},
        {Id::cbResMode, -2, -1},
        {Id::cbCommPort, 4, -1},
        {Id::cbJoySensitivity, 6, 6},
        {Id::cbFilter, 9, -1},
        // The track bar clamps to 0 … 8.
        {Id::tbFrameSkip, -3, 0},
        {Id::tbFrameSkip, 12, 8},
        {Id::tbFrameSkip, 8, 8},
        // A check box is checked by any non-zero value.
        {Id::chMMX, 0, 0},
        {Id::chSpeaker, 5, 1},
        {Id::chSpeaker, -1, 1},
    };
    for (const Case& c : cases) {
        OptionSet options;
        // Start from a valid value that differs, so the clamped result is really written.
        options.setValue(c.id, c.reads == 0 ? 1 : 0);
        options.setValue(c.id, c.given);
        EXPECT_EQ(options.value(c.id), c.reads) << descriptor(c.id).name << " given " << c.given;
        EXPECT_EQ(clampValue(descriptor(c.id), c.given), c.reads) << descriptor(c.id).name;
    }
}

TEST(OptionSetObserver, SeesExactlyTheRealChanges) {
    using C = OptionSet::Change;
    using Reports = std::vector<std::pair<Id, C>>;
    OptionSet options;
    Reports seen;
    options.setObserver([&](Id id, C change) { seen.emplace_back(id, change); });

    // Applied in order to one set, each from the state the previous rows left.
    struct Step {
        const char* what;
        Id id;
        int value;
        bool changed;
        Reports reported;
    };
    const Step steps[] = {
        {"checked box checked again", Id::chSound, 1, false, {}},
        {"box unchecked", Id::chSound, 0, true, {{Id::chSound, C::Value}}},
        {"empty list given an out-of-range choice", Id::cbResMode, 9, false, {}},
        {"radio clamped to its last choice", Id::rgVsync, 7, true, {{Id::rgVsync, C::Value}}},
        {"radio given another value clamping to the same", Id::rgVsync, 9, false, {}},
        {"track bar moved",
         Id::tbFrameSkip,
         3,
         true,
         {{Id::tbFrameSkip, C::Value}, {Id::tbFrameSkip, C::Label}}},
        {"track bar set where it is", Id::tbFrameSkip, 3, false, {}},
    };
    for (const Step& s : steps) {
        seen.clear();
        EXPECT_EQ(options.setValue(s.id, s.value), s.changed) << s.what;
        EXPECT_EQ(seen, s.reported) << s.what;
    }

    seen.clear();
    options.setEnabled(Id::chSound, true);
    EXPECT_EQ(seen, Reports{}) << "an enabled control enabled again";
    options.setEnabled(Id::chSound, false);
    options.setEnabled(Id::chSound, false);
    EXPECT_EQ(seen, (Reports{{Id::chSound, C::Enabled}})) << "disabled twice";
    EXPECT_FALSE(options.enabled(Id::chSound));
    EXPECT_FALSE(options.checked(Id::chSound)) << "disabling never changes the value";
}

TEST(OptionTable, CaptionsAndChoicesAreTheSystemsOwnTexts) {
    const auto choices = [](Id id) {
        const Descriptor& d = descriptor(id);
        return std::vector<std::string>(d.choices.begin(), d.choices.end());
    };
    // The blanks inside the resolution texts are part of them.
    EXPECT_EQ(choices(Id::cbResMode), (std::vector<std::string>{
                                          "320x200x8    (Default)",
                                          "400x300x8    (Game Gear)",
                                          "512x384x8    (SMS/SG1000)",
                                          "512x384x15  (Bilinear Filtering)",
                                          "512x384x15  (\"Parrot\" Engine)",
                                          "512x384x15  (\"2xSaI\" Engine)",
                                      }));
    EXPECT_EQ(choices(Id::rgController),
              (std::vector<std::string>{"Default", "Lightgun", "Joystick", "Paddle", "Paddle/Mouse",
                                        "No Mouse", "SNES Pad"}));
    EXPECT_EQ(choices(Id::cbJoySensitivity),
              (std::vector<std::string>{"1", "2", "3", "4", "5", "6", "7"}));
    EXPECT_EQ(choices(Id::rgVsync), (std::vector<std::string>{"None", "V-Sync", "True V-Sync"}));
    EXPECT_EQ(choices(Id::cbFilter),
              (std::vector<std::string>{"All Roms", "Master System", "Game Gear", "SG-1000",
                                        "SC-3000", "Colecovision"}));

    const std::pair<Id, const char*> captions[] = {
        {Id::chVESADetection, "VESA Detection"},
        {Id::chPalRaster, "Palette Effects"},
        {Id::chBorderRaster, "Border Effects"},
        {Id::chNoEnter, "Startup Screen"},
        {Id::ch3Dto2D, "3D -> 2D"},
        {Id::chEnableComms, "Enable Link-Up"},
        {Id::chExit, "Exit on Launch"},
    };
    for (const auto& [id, caption] : captions) {
        EXPECT_EQ(descriptor(id).caption, caption) << descriptor(id).name;
    }
}

TEST(OptionTable, FilterChoicesAgreeWithTheSystemFilterTable) {
    const Descriptor& d = descriptor(Id::cbFilter);
    ASSERT_EQ(d.choices.size(), kSystemFilters.size());
    for (std::size_t k = 0; k < kSystemFilters.size(); ++k) {
        EXPECT_EQ(d.choices[k], kSystemFilters[k].shownAs) << k;
    }
}

} // namespace
} // namespace vodavav
