#include "platform/Timer.h"
#include "support/FakeClock.h"
#include "support/TempDirectory.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace velmorra {
namespace {

using test::FakeClock;

class TimerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        FakeClock::frequency = 1'000'000'000;
        FakeClock::counter = 5'000'000'000;
        FakeClock::milliseconds = 0;
    }
    test::LogCapture log;
    Timer timer{FakeClock::source()};
};

TEST_F(TimerTest, PerformanceCounterIsChosenAndLogged) {
    timer.init();
    EXPECT_TRUE(timer.usesPerformanceCounter());
    EXPECT_EQ(log.text(), "Query performance timer: found, using performance timer.\n");
}

TEST_F(TimerTest, MillisecondClockWhenThereIsNoCounter) {
    FakeClock::frequency = 0;
    FakeClock::milliseconds = 1000;
    timer.init();
    EXPECT_FALSE(timer.usesPerformanceCounter());
    EXPECT_EQ(timer.getFrequency(), 1000);
    FakeClock::milliseconds = 1007;
    EXPECT_FLOAT_EQ(timer.elapsed(), 7.0f);
    EXPECT_EQ(log.text(), "Query performance timer: not found, using normal timer.\n");
}

TEST_F(TimerTest, MillisecondClockSurvivesItsWrap) {
    FakeClock::frequency = 0;
    FakeClock::milliseconds = 0xFFFFFFF0u;
    timer.init();
    FakeClock::milliseconds = 0x10u;
    EXPECT_FLOAT_EQ(timer.elapsed(), 32.0f);
}

TEST_F(TimerTest, ElapsedCountsFromTheMark) {
    timer.init();
    EXPECT_EQ(timer.elapsed(), 0.0f);
    EXPECT_TRUE(timer.elapsedBelow(0.0001f));
    FakeClock::counter += 33'333'334;
    EXPECT_NEAR(timer.elapsed(), 33.333334f, 1e-4f);
    EXPECT_FALSE(timer.elapsedBelow(1000.0f / 30.0f));
    timer.mark();
    FakeClock::counter += 1'500'000;
    EXPECT_NEAR(timer.elapsed(), 1.5f, 1e-5f);
    EXPECT_TRUE(timer.elapsedBelow(1.6f));
}

TEST_F(TimerTest, KeepsSubMillisecondPrecisionAfterFortyDaysOfUptime) {
    constexpr std::int64_t fortyDaysNs = 40LL * 24 * 3600 * 1'000'000'000;
    FakeClock::counter = fortyDaysNs;
    timer.init();
    FakeClock::counter += 250'000; // a quarter of a millisecond
    EXPECT_NEAR(timer.elapsed(), 0.25f, 1e-6f);
    FakeClock::counter += 33'083'000;
    EXPECT_NEAR(timer.elapsed(), 33.333f, 1e-4f);
    EXPECT_TRUE(timer.elapsedBelow(33.334f));
}

TEST_F(TimerTest, OddCounterFrequencies) {
    FakeClock::frequency = 3'579'545; // the ACPI power-management timer
    timer.init();
    FakeClock::counter += 3'579'545;
    EXPECT_NEAR(timer.elapsed(), 1000.0f, 0.01f);
}

} // namespace
} // namespace velmorra
