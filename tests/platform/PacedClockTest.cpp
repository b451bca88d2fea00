#include "platform/PacedClock.h"
#include "support/FakeClock.h"

#include <gtest/gtest.h>

namespace velmorra {
namespace {

using test::FakeClock;

class PacedClockTest : public ::testing::Test {
  protected:
    void SetUp() override {
        FakeClock::frequency = 1'000'000;
        FakeClock::counter = 123'456'789;
    }
    PacedClock clock{FakeClock::source()};
};

TEST_F(PacedClockTest, PacedFramesAreExactlyOneFramePeriodWhateverTheRealClockDoes) {
    for (int frame = 0; frame < 90; ++frame) {
        clock.frameShown();
        FakeClock::advanceSeconds(0.5);
    }
    EXPECT_DOUBLE_EQ(clock.seconds(), 3.0);
    EXPECT_EQ(clock.milliseconds(), 3000u);
}

TEST_F(PacedClockTest, FollowingRealTimeContinuesFromThePacedFrames) {
    for (int frame = 0; frame < 30; ++frame) {
        clock.frameShown();
    }
    clock.followRealTime();
    FakeClock::advanceSeconds(0.25);
    clock.frameShown();
    EXPECT_NEAR(clock.seconds(), 1.25, 1e-6);
    EXPECT_FALSE(clock.isPaced());
}

TEST_F(PacedClockTest, PausedTimeIsLeftOut) {
    clock.followRealTime();
    const struct {
        double realSeconds;
        bool pausedDuring;
    } steps[] = {{1.0, false}, {5.0, true}, {0.5, false}, {2.0, true}, {0.25, false}};
    double expected = 0.0;
    for (const auto& step : steps) {
        if (step.pausedDuring) {
            clock.pause();
        }
        FakeClock::advanceSeconds(step.realSeconds);
        clock.resume();
        expected += step.pausedDuring ? 0.0 : step.realSeconds;
        EXPECT_NEAR(clock.seconds(), expected, 1e-6);
    }
}

TEST_F(PacedClockTest, ARestartedClockIsPacedFromZeroAgain) {
    clock.frameShown();
    clock.followRealTime();
    clock.pause();
    clock.restart();
    FakeClock::advanceSeconds(2.0);
    clock.frameShown();
    EXPECT_TRUE(clock.isPaced());
    EXPECT_FALSE(clock.isPaused());
    EXPECT_DOUBLE_EQ(clock.seconds(), 1.0 / 30.0);
}

} // namespace
} // namespace velmorra
