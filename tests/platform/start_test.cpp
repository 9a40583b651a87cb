#include "systemplatform.h"

#include <gtest/gtest.h>

TEST(StartSmoke, MissingProgramIsReported) {
    auto p = vodavav::makeSystemPlatform();
    const auto r = p->start({{"/nonexistent/emu", "rom"}, ""}, "/");
    EXPECT_FALSE(r.started);
    EXPECT_EQ(r.reason, "No such file or directory");
}
