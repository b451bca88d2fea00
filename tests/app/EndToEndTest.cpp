#include "support/TempDirectory.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace velmorra {
namespace {

int shell(const std::string& command) {
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The real program on the X server: it opens its window, runs frames, takes an
// Escape from the keyboard and leaves the whole start-up and shut-down protocol.
TEST(EndToEnd, RunsUntilEscapeAndLogsTheProtocol) {
    if (std::getenv("DISPLAY") == nullptr) {
        GTEST_SKIP() << "no X server";
    }
    if (shell("command -v xdotool >/dev/null") != 0) {
        GTEST_SKIP() << "xdotool is not installed";
    }
    test::TempDirectory directory;
    {
        std::ofstream script(directory.path() / "run.sh");
        script << "\"" << VELMORRA_BINARY << "\" & demo=$!\n"
               << "xdotool search --sync --onlyvisible --name 'Velmorra by Korblint2002' "
                  ">/dev/null\n"
               << "sleep 1\n"
               << "xdotool key Escape\n"
               << "for i in $(seq 100); do kill -0 $demo 2>/dev/null || break; sleep 0.1; done\n"
               << "kill -0 $demo 2>/dev/null && { kill $demo; exit 99; }\n"
               << "wait $demo\n";
    }
    EXPECT_EQ(shell("timeout 60 bash run.sh"), 0);

    const std::string log = directory.readFile("debug.log");
    EXPECT_EQ(log.rfind("Selected display: 800x600x16 (fullscreen,vsync OFF)\n"
                        "Registering window class... ok\n",
                        0),
              0u)
        << log;
    const std::vector<std::string> inOrder = {
        "Setting fullscreen mode... ok.\n",
        "Creating window... ok.\n",
        "\n-- OpenGL display ENABLED --\n\n",
        "Requested multitexturing features",
        "Query performance timer: found, using performance timer.\n",
        "OpenGL version: ",
        "\nRenderer: ",
        "\nVendor: ",
        "\nExtensions: ",
        "Deactivating rendering context... ok.\n",
        "Destroying window... ok.\n",
        "Unregistering window class... ok.\n",
    };
    std::size_t position = 0;
    for (const std::string& step : inOrder) {
        const std::size_t found = log.find(step, position);
        ASSERT_NE(found, std::string::npos) << "missing or out of order: " << step << "\n" << log;
        position = found + step.size();
    }
    const std::string last = "\n-- OpenGL display DISABLED --\n\n";
    ASSERT_GE(log.size(), last.size());
    EXPECT_EQ(log.substr(log.size() - last.size()), last);
}

} // namespace
} // namespace velmorra
