#include "platform/StartupTimings.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace velmorra {
namespace {

std::string timedStartUp() {
    testing::internal::CaptureStderr();
    StartupTimings::begin();
    StartupTimings::step("texture %s read", "lava.bmp");
    StartupTimings::end("first frame drawn and shown");
    StartupTimings::step("after the end");
    return testing::internal::GetCapturedStderr();
}

TEST(StartupTimings, PrintEachStepToStandardErrorOnlyWhenAskedTo) {
    unsetenv("VELMORRA_STARTUP_TIMINGS");
    EXPECT_EQ(timedStartUp(), "");
    setenv("VELMORRA_STARTUP_TIMINGS", "1", 1);
    const std::string printed = timedStartUp();
    unsetenv("VELMORRA_STARTUP_TIMINGS");
    EXPECT_EQ(printed.rfind("startup: total ms  step ms  step\n", 0), 0u) << printed;
    EXPECT_NE(printed.find("  texture lava.bmp read\n"), std::string::npos) << printed;
    EXPECT_NE(printed.find("  first frame drawn and shown\n"), std::string::npos) << printed;
    EXPECT_EQ(printed.find("after the end"), std::string::npos) << "the clock stops at the end";
    EXPECT_FALSE(StartupTimings::isTiming());
}

} // namespace
} // namespace velmorra
