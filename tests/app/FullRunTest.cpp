#include "support/TempDirectory.h"
#include "support/XwdImage.h"

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

constexpr int screenshotSeconds[] = {5, 20, 50, 75, 100, 145};

class FullRun : public ::testing::TestWithParam<const char*> {};

// The whole demo on each drawing backend, untouched from the dialog's Start to the
// end of its schedule: it must quit by itself with exit code 0, log every content
// file, and show a different, non-black picture at each moment a screenshot is
// taken. The screenshots stay in the build tree for a person to look at.
TEST_P(FullRun, PlaysTheWholeScheduleAndQuitsByItself) {
    if (std::getenv("DISPLAY") == nullptr || shell("command -v xdotool xwd >/dev/null") != 0) {
        GTEST_FAIL() << "no X server, xdotool or xwd";
    }
    const std::string renderer = GetParam();
    const std::filesystem::path artefacts =
        std::filesystem::current_path() / ("full-run-" + renderer);
    std::filesystem::remove_all(artefacts);
    std::filesystem::create_directories(artefacts);
    test::TempDirectory directory;
    std::filesystem::create_directory_symlink(std::filesystem::path(VELMORRA_SOURCE_DIR) / "data",
                                              "data");
    {
        std::ofstream script(directory.path() / "run.sh");
        script << "export SDL_AUDIODRIVER=dummy\n"
               << "\"" << VELMORRA_BINARY << "\" --renderer " << renderer << " & demo=$!\n"
               << "dialog=$(xdotool search --sync --onlyvisible --pid $demo "
                  "--name 'Velmorra display settings' | head -n 1)\n"
               << "xdotool windowfocus --sync \"$dialog\" key alt+s\n"
               << "xdotool search --sync --onlyvisible --pid $demo "
                  "--name 'Velmorra by Korblint2002' >/dev/null\n"
               << "start=$(date +%s.%N)\n";
        for (const int seconds : screenshotSeconds) {
            script << "sleep $(awk \"BEGIN { print " << seconds
                   << " - ($(date +%s.%N) - $start) }\")\n"
                   << "xwd -root -silent > '"
                   << (artefacts / ("at" + std::to_string(seconds) + "s.xwd")).string() << "'\n";
        }
        script << "wait $demo\n";
    }
    EXPECT_EQ(shell("timeout 260 bash run.sh"), 0) << "the demo ends by itself with code 0";

    const std::string log = directory.readFile("debug.log");
    for (const char* file : {"lava.bmp", "scene.3ds", "stonecup.3ds", "dummy.bmp", "text.bmp",
                             "./data/chrome.bmp", "./data/sky.bmp"}) {
        EXPECT_NE(log.find(std::string("file: ") + file + "\n"), std::string::npos) << file;
    }
    EXPECT_EQ(log.find("Error"), std::string::npos) << log;
    EXPECT_NE(log.find("\n-- OpenGL display DISABLED --\n\n"), std::string::npos);

    std::vector<test::XwdImage> shots(std::size(screenshotSeconds));
    for (std::size_t i = 0; i < shots.size(); ++i) {
        const std::string name = "at" + std::to_string(screenshotSeconds[i]) + "s.xwd";
        ASSERT_TRUE(shots[i].load((artefacts / name).string())) << name;
        EXPECT_GT(shots[i].countLit(), shots[i].width() * shots[i].height() / 100)
            << name << " is (nearly) black";
        for (std::size_t j = 0; j < i; ++j) {
            EXPECT_GT(shots[i].differenceFrom(shots[j]), 0.01) << name << " and shot " << j;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(EachBackend, FullRun, ::testing::Values("gl11", "gles2"));

} // namespace
} // namespace velmorra
