#include "host/timer.h"

#include <gtest/gtest.h>

#include "sim/sim_game.h"
#include "support/temp_folder.h"

namespace pilfern {
namespace {

class TimerGates : public ::testing::Test {
protected:
    test::TempFolder folder;
    sim::SimGame game{folder.Path(), 4};
    Timer timer{game.framework};
};

TEST_F(TimerGates, AGateOpensAtFirstAskThenOncePerInterval) {
    game.clock = 1000;
    EXPECT_TRUE(timer[1].Await(200, false));
    game.clock = 1199;
    EXPECT_FALSE(timer[1].Await(200, false));
    game.clock = 1200;
    EXPECT_TRUE(timer[1].Await(200, false));
    // Time spent without asking does not queue openings.
    game.clock = 5000;
    EXPECT_TRUE(timer[1].Await(200, false));
    EXPECT_FALSE(timer[1].Await(200, false));
}

TEST_F(TimerGates, GatesAreIndependent) {
    EXPECT_TRUE(timer[1].Await(200, false));
    EXPECT_TRUE(timer[3].Await(1500, false));
    game.clock = 200;
    EXPECT_TRUE(timer[1].Await(200, false));
    EXPECT_FALSE(timer[3].Await(1500, false));
}

TEST_F(TimerGates, KeepWorkingWhenTheClockWraps) {
    game.clock = 0xFFFFFF00U;
    EXPECT_TRUE(timer[1].Await(200, false));
    game.clock = 0xFFFFFF00U + 199U;
    EXPECT_FALSE(timer[1].Await(200, false));
    game.clock = 0xFFFFFF00U + 200U;  // wrapped past 2^32
    EXPECT_TRUE(timer[1].Await(200, false));
    game.clock += 199;
    EXPECT_FALSE(timer[1].Await(200, false));
    game.clock += 1;
    EXPECT_TRUE(timer[1].Await(200, false));
}

TEST_F(TimerGates, ClearUnusedDropsOnlyGatesNotAskedSinceTheLastClear) {
    static_cast<void>(timer[1].Await(200, false));
    static_cast<void>(timer[3].Await(1500, false));
    timer.ClearUnused();
    EXPECT_EQ(timer.GateCount(), 2U);
    static_cast<void>(timer[1].Await(200, false));
    timer.ClearUnused();
    EXPECT_EQ(timer.GateCount(), 1U);
    // A dropped gate starts afresh and opens at its first ask.
    EXPECT_TRUE(timer[3].Await(1500, false));
}

}  // namespace
}  // namespace pilfern
