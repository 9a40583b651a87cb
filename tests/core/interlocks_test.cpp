#include "optionset.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace vodavav {
namespace {

using C = OptionSet::Change;
using Reports = std::vector<std::pair<Id, C>>;

TEST(Interlocks, BorderForcesPaletteWhichForcesVideoModeAndEachIsReleasedByItsOwnBox) {
    OptionSet o;
    Reports seen;
    o.setObserver([&](Id id, C change) { seen.emplace_back(id, change); });

    o.setChecked(Id::chBorderRaster, true);
    EXPECT_EQ(o.value(Id::rgVideoMode), 1);
    EXPECT_FALSE(o.enabled(Id::rgVideoMode));
    EXPECT_TRUE(o.checked(Id::chPalRaster));
    EXPECT_FALSE(o.enabled(Id::chPalRaster));
    // The palette box's own reaction runs at once, inside the border box's, and repeats nothing.
    EXPECT_EQ(seen, (Reports{{Id::chBorderRaster, C::Value},
                             {Id::rgVideoMode, C::Value},
                             {Id::rgVideoMode, C::Enabled},
                             {Id::chPalRaster, C::Value},
                             {Id::chPalRaster, C::Enabled}}));

    seen.clear();
    o.setChecked(Id::chBorderRaster, false);
    EXPECT_TRUE(o.enabled(Id::chPalRaster));
    EXPECT_TRUE(o.checked(Id::chPalRaster));
    EXPECT_EQ(o.value(Id::rgVideoMode), 1);
    EXPECT_FALSE(o.enabled(Id::rgVideoMode));
    EXPECT_EQ(seen, (Reports{{Id::chBorderRaster, C::Value}, {Id::chPalRaster, C::Enabled}}));

    o.setChecked(Id::chPalRaster, false);
    EXPECT_TRUE(o.enabled(Id::rgVideoMode));
    EXPECT_EQ(o.value(Id::rgVideoMode), 1) << "releasing the video mode keeps its choice";
}

TEST(Interlocks, PaletteForcesLineByLineFromAnyVideoMode) {
    OptionSet o;
    o.setValue(Id::rgVideoMode, 2);
    o.setChecked(Id::chPalRaster, true);
    EXPECT_EQ(o.value(Id::rgVideoMode), 1);
    EXPECT_FALSE(o.enabled(Id::rgVideoMode));
    // V-Sync and Video Mode do not limit each other.
    o.setValue(Id::rgVsync, 2);
    EXPECT_EQ(o.value(Id::rgVideoMode), 1);
    EXPECT_TRUE(o.enabled(Id::rgVsync));
}

TEST(Interlocks, PsgGraphTurnsTheVideoCacheOffAndReleasesItUnchecked) {
    OptionSet o;
    ASSERT_TRUE(o.checked(Id::chVideoCache));
    o.setChecked(Id::chPSGGraph, true);
    EXPECT_FALSE(o.checked(Id::chVideoCache));
    EXPECT_FALSE(o.enabled(Id::chVideoCache));
    o.setChecked(Id::chPSGGraph, false);
    EXPECT_TRUE(o.enabled(Id::chVideoCache));
    EXPECT_FALSE(o.checked(Id::chVideoCache));
}

TEST(Interlocks, ControllerEnablesOnlyItsOwnSubList) {
    struct Row {
        int controller;
        bool sensitivity;
        bool snesPort;
    };
    const Row rows[] = {
        {0, false, false}, {1, false, false}, {2, true, false}, {3, false, false},
        {4, false, false}, {5, false, false}, {6, false, true},
    };
    // Reached from the joystick and from the SNES pad, so each row really changes something.
    for (const int from : {2, 6}) {
        for (const Row& r : rows) {
            if (r.controller == from) {
                continue;
            }
            OptionSet o;
            o.setValue(Id::rgController, from);
            o.setValue(Id::rgController, r.controller);
            EXPECT_EQ(o.enabled(Id::cbJoySensitivity), r.sensitivity)
                << "from " << from << " to " << r.controller;
            EXPECT_EQ(o.enabled(Id::cbSNESPort), r.snesPort)
                << "from " << from << " to " << r.controller;
        }
    }
}

TEST(Interlocks, ControllerSwitchedAwayAndBackKeepsTheHiddenChoice) {
    OptionSet o;
    o.setValue(Id::rgController, 2);
    o.setValue(Id::cbJoySensitivity, 4);
    o.setValue(Id::rgController, 3);
    EXPECT_FALSE(o.enabled(Id::cbJoySensitivity));
    EXPECT_EQ(o.value(Id::cbJoySensitivity), 4);
    o.setValue(Id::rgController, 2);
    EXPECT_TRUE(o.enabled(Id::cbJoySensitivity));
    EXPECT_EQ(o.value(Id::cbJoySensitivity), 4);

    o.setValue(Id::rgController, 6);
    o.setValue(Id::cbSNESPort, 1);
    o.setValue(Id::rgController, 0);
    EXPECT_FALSE(o.enabled(Id::cbSNESPort));
    EXPECT_EQ(o.value(Id::cbSNESPort), 1);
    EXPECT_EQ(o.value(Id::cbJoySensitivity), 4);
}

TEST(Interlocks, ControllerLoadedAsItsBuiltChoiceLeavesBothListsDisabled) {
    OptionSet o;
    EXPECT_FALSE(o.setValue(Id::rgController, 0));
    EXPECT_FALSE(o.enabled(Id::cbJoySensitivity));
    EXPECT_FALSE(o.enabled(Id::cbSNESPort));
}

TEST(Interlocks, LinkUpEnablesClientServerAndPortKeepingTheirValues) {
    OptionSet o;
    // Values given while disabled stay and show once enabled.
    o.setValue(Id::rgClientServer, 1);
    o.setValue(Id::cbCommPort, 3);
    o.setChecked(Id::chEnableComms, true);
    EXPECT_TRUE(o.enabled(Id::rgClientServer));
    EXPECT_TRUE(o.enabled(Id::cbCommPort));
    EXPECT_EQ(o.value(Id::rgClientServer), 1);
    EXPECT_EQ(o.value(Id::cbCommPort), 3);
    o.setChecked(Id::chEnableComms, false);
    EXPECT_FALSE(o.enabled(Id::rgClientServer));
    EXPECT_FALSE(o.enabled(Id::cbCommPort));
    EXPECT_EQ(o.value(Id::rgClientServer), 1);
    EXPECT_EQ(o.value(Id::cbCommPort), 3);
}

TEST(Interlocks, FrameSkipLabelFollowsTheTrackBar) {
    const char* const labels[] = {
        "Frame Skip: Disabled", "Frame Skip: 1", "Frame Skip: 2", "Frame Skip: 3", "Frame Skip: 4",
        "Frame Skip: 5",        "Frame Skip: 6", "Frame Skip: 7", "Frame Skip: 8",
    };
    for (int position = 0; position <= 8; ++position) {
        OptionSet o;
        // Moved there from the far end, so position 0 is a real move too.
        o.setValue(Id::tbFrameSkip, position == 8 ? 0 : 8);
        o.setValue(Id::tbFrameSkip, position);
        EXPECT_EQ(o.frameSkipLabel(), labels[position]);
        EXPECT_EQ(frameSkipText(position), labels[position]);
    }
    OptionSet o;
    o.setValue(Id::tbFrameSkip, 12);
    EXPECT_EQ(o.frameSkipLabel(), "Frame Skip: 8");
}

TEST(Interlocks, OnlyTheirOwnControlsReact) {
    // Every control not listed with a reaction changes nothing but itself.
    for (const Descriptor& d : descriptors().first<kControlCount>()) {
        switch (d.id) {
        case Id::chPalRaster:
        case Id::chBorderRaster:
        case Id::chPSGGraph:
        case Id::rgController:
        case Id::chEnableComms:
        case Id::tbFrameSkip:
            continue;
        default:
            break;
        }
        OptionSet o;
        Reports seen;
        o.setObserver([&](Id id, C change) { seen.emplace_back(id, change); });
        const int other = d.kind == Kind::Check ? 1 - d.built : (d.built == 0 ? 1 : 0);
        ASSERT_TRUE(o.setValue(d.id, other)) << d.name;
        EXPECT_EQ(seen, (Reports{{d.id, C::Value}})) << d.name;
    }
}

} // namespace
} // namespace vodavav
