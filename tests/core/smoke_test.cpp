#include "commandline.h"
#include "optionset.h"

#include <gtest/gtest.h>

TEST(CommandLineSmoke, AbsentDefaultsLeaveOnlyNoEnter) {
    vodavav::OptionSet o;
    const auto line = vodavav::buildCommandLine(o, "/emu/emu", "/roms/SONIC.SMS");
    EXPECT_EQ(line.text, "/emu/emu /roms/SONIC.SMS -noenter");
}
