#include "platform/Log.h"
#include "platform/LogLocation.h"
#include "support/TempDirectory.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace velmorra {
namespace {

namespace fs = std::filesystem;

struct StateCase {
    const char* xdgStateHome;
    const char* home;
    const char* expected;
};

TEST(LogLocation, StateFolderFollowsTheBaseDirectoryConventions) {
    const StateCase cases[] = {
        {"/var/state", "/home/u", "/var/state/velmorra"},
        {"", "/home/u", "/home/u/.local/state/velmorra"},
        {nullptr, "/home/u", "/home/u/.local/state/velmorra"},
        {"relative/state", "/home/u", "/home/u/.local/state/velmorra"},
        {nullptr, "", ""},
        {nullptr, nullptr, ""},
    };
    for (const StateCase& c : cases) {
        EXPECT_EQ(LogLocation::stateFolder(c.xdgStateHome, c.home), fs::path(c.expected))
            << (c.xdgStateHome ? c.xdgStateHome : "(unset)") << ", "
            << (c.home ? c.home : "(unset)");
    }
}

// Not even root may create a file in /proc, so it stands for any read-only start directory.
TEST(LogLocation, AnUnwritableDirectoryLogsToTheStateFolder) {
    const test::TempDirectory scratch;
    const fs::path state = scratch.path() / "state";
    setenv("XDG_STATE_HOME", state.c_str(), 1);
    fs::current_path("/proc");
    openLog();
    write("Selected display: %dx%dx%d ", 800, 600, 16);
    closeLog();
    unsetenv("XDG_STATE_HOME");
    fs::current_path(scratch.path());

    std::ifstream file(state / "velmorra" / "debug.log", std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    EXPECT_EQ(text.str(), "Selected display: 800x600x16 ");
    struct stat folder {};
    ASSERT_EQ(::stat((state / "velmorra").c_str(), &folder), 0);
    EXPECT_EQ(folder.st_mode & 0777, 0700u);
}

} // namespace
} // namespace velmorra
