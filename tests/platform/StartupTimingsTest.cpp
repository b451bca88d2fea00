#include "platform/StartupTimings.h"

#include "platform/Log.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace velmorra {
namespace {

// The steps as start-up reports them: through the log, to the run's attached timings.
std::string timedStartUp(StartupTimings& timings) {
    testing::internal::CaptureStderr();
    attachStartupTimings(&timings);
    startupBegin();
    startupStep("texture %s read", "lava.bmp");
    startupEnd("first frame drawn and shown");
    startupStep("after the end");
    attachStartupTimings(nullptr);
    startupStep("detached");
    return testing::internal::GetCapturedStderr();
}

TEST(StartupTimings, PrintEachStepToStandardErrorOnlyWhenAskedTo) {
    unsetenv("VELMORRA_STARTUP_TIMINGS");
    StartupTimings quiet;
    EXPECT_EQ(timedStartUp(quiet), "");
    setenv("VELMORRA_STARTUP_TIMINGS", "1", 1);
    StartupTimings timings;
    const std::string printed = timedStartUp(timings);
    unsetenv("VELMORRA_STARTUP_TIMINGS");
    EXPECT_EQ(printed.rfind("startup: total ms  step ms  step\n", 0), 0u) << printed;
    EXPECT_NE(printed.find("  texture lava.bmp read\n"), std::string::npos) << printed;
    EXPECT_NE(printed.find("  first frame drawn and shown\n"), std::string::npos) << printed;
    EXPECT_EQ(printed.find("after the end"), std::string::npos) << "the clock stops at the end";
    EXPECT_FALSE(timings.isTiming());
}

} // namespace
} // namespace velmorra
