#include "platform/TestMusic.h"
#include "support/TempDirectory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
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

bool canDriveTheXServer() {
    return std::getenv("DISPLAY") != nullptr && shell("command -v xdotool >/dev/null") == 0;
}

#define REQUIRE_X_SERVER()                                                                         \
    if (!canDriveTheXServer())                                                                     \
    GTEST_FAIL() << "no X server or no xdotool"

// Waits for the settings dialog and types `keys` into it.
std::string answerTheDialog(const std::string& keys) {
    return "dialog=$(xdotool search --sync --onlyvisible --pid $demo "
           "--name 'Velmorra display settings' | head -n 1)\n"
           "xdotool windowfocus --sync \"$dialog\" key " +
           keys + "\n";
}

// The whole program: its dialog started with Alt+S, the music on SDL's disk audio
// driver, frames until an Escape, and the log's start-up and shut-down protocol.
class EndToEnd : public ::testing::Test {
  protected:
    // The demo starts with SIGINT at its default, not ignored as a script's
    // background job would have it.
    void writeScript(const std::string& body, const std::string& audioDriver = "disk",
                     const std::string& arguments = "") {
        std::ofstream script(directory.path() / "run.sh");
        script << "export SDL_AUDIODRIVER=" << audioDriver
               << " SDL_DISKAUDIOFILE=\"$PWD/audio.raw\"\n"
               << "env --default-signal=INT \"" << VELMORRA_BINARY << "\" " << arguments
               << " & demo=$!\n"
               << body
               << "for i in $(seq 100); do kill -0 $demo 2>/dev/null || break; sleep 0.1; done\n"
               << "kill -0 $demo 2>/dev/null && { kill $demo; exit 99; }\n"
               << "wait $demo\n";
    }

    // Start in the dialog, a second of the demo, then Escape.
    int runUntilEscape() {
        writeScript(answerTheDialog("alt+s") + "xdotool search --sync --onlyvisible --pid $demo "
                                               "--name 'Velmorra by Korblint2002' >/dev/null\n"
                                               "sleep 2\n"
                                               "xdotool key Escape\n");
        return shell("timeout 90 bash run.sh");
    }

    test::TempDirectory directory;
};

TEST_F(EndToEnd, StartsFromTheDialogPlaysTheMusicAndLogsTheProtocol) {
    REQUIRE_X_SERVER();
    if (!test::haveLame()) {
        GTEST_FAIL() << "lame is not installed";
    }
    std::filesystem::create_directory(directory.path() / "data");
    ASSERT_TRUE(test::makeTestMp3(directory.path() / "data" / "amns.mp3", {{2.0, 441.0}}));
    EXPECT_EQ(runUntilEscape(), 0);

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

    // The music played: the disk driver holds loud samples, a 441 Hz tone at that.
    const auto samples = test::readLeftChannel(directory.path() / "audio.raw");
    const auto levels = test::windowLevels(samples);
    const auto loud = std::find_if(levels.begin(), levels.end(), [](double l) { return l > 5000; });
    ASSERT_NE(loud, levels.end()) << "no music among " << levels.size() << " windows of 10 ms";
    const auto quiet = std::find_if(loud, levels.end(), [](double l) { return l < 5000; });
    ASSERT_GE(quiet - loud, 32) << "less than 0.3 s of music";
    // The first loud window may hold the silence before the tone began; count from the next one.
    const std::size_t start = static_cast<std::size_t>(loud - levels.begin() + 1) * 441;
    int crossings = 0;
    for (std::size_t index = start + 1; index < start + 13230; ++index) {
        crossings += (samples[index - 1] < 0) != (samples[index] < 0) ? 1 : 0;
    }
    EXPECT_NEAR(crossings, 265, 6) << "882 zero crossings a second";
}

TEST_F(EndToEnd, MissingMusicLeavesTheDemoRunningInSilence) {
    REQUIRE_X_SERVER();
    EXPECT_EQ(runUntilEscape(), 0);
    const std::string log = directory.readFile("debug.log");
    EXPECT_NE(log.find("Warning: music not played: Couldn't open './data/amns.mp3'\n"
                       "OpenGL version: "),
              std::string::npos)
        << log;
    EXPECT_NE(log.find("-- OpenGL display DISABLED --"), std::string::npos);
    const auto samples = test::readLeftChannel(directory.path() / "audio.raw");
    EXPECT_GT(samples.size(), 44100u) << "the audio device ran with the demo";
    EXPECT_TRUE(test::allSilent(samples));
}

TEST_F(EndToEnd, QuitInTheDialogEndsWithoutAWindowAndWithAnEmptyLog) {
    REQUIRE_X_SERVER();
    writeScript(answerTheDialog("alt+q"));
    EXPECT_EQ(shell("timeout 60 bash run.sh"), 0);
    EXPECT_TRUE(std::filesystem::exists(directory.path() / "debug.log"));
    EXPECT_EQ(directory.readFile("debug.log"), "");
}

// Waits until the log holds `text`.
std::string waitForTheLog(const std::string& text) {
    return "for i in $(seq 3000); do grep -qs '" + text +
           "' debug.log && break; sleep 0.01; done\n";
}

// Ctrl+C and SIGTERM end every moment of a run through its normal shut-down, with SDL's dummy
// audio driver and with no audio device: in the dialog as its Quit (exit code 0, nothing
// logged), while loading and during the demo as a close request (exit code 0, the display's
// shut-down lines last in the log), and a capture as its interruption (128 + the signal, the
// offscreen display closed). Each case is a fresh process of the program.
TEST_F(EndToEnd, InterruptionOrTerminationAtEachMomentEndsThroughTheShutDown) {
    REQUIRE_X_SERVER();
    std::filesystem::create_directory_symlink(std::filesystem::path(VELMORRA_SOURCE_DIR) / "data",
                                              directory.path() / "data");
    const std::vector<std::string> windowClosed{
        "OpenGL version: ", "Deactivating rendering context... ok.\n", "Destroying window... ok.\n",
        "Unregistering window class... ok.\n", "\n-- OpenGL display DISABLED --\n\n"};
    const std::vector<std::string> offscreenClosed{
        "OpenGL version: ", "Deactivating offscreen context... ok.\n",
        "\n-- OpenGL offscreen display DISABLED --\n\n"};
    const std::string started = answerTheDialog("alt+s");
    const struct {
        const char* moment;
        std::string arguments;
        std::string reachIt;
        bool capture;
        std::vector<std::string> shutDown; // in order, the last one ending the log
    } moments[] = {
        {"dialog",
         "",
         "xdotool search --sync --onlyvisible --pid $demo --name 'Velmorra display settings' "
         ">/dev/null\n",
         false,
         {}},
        {"loading", "", started + waitForTheLog("Loading texture file"), false, windowClosed},
        {"demo", "", started + waitForTheLog("OpenGL version") + "sleep 1\n", false, windowClosed},
        {"capture", "--capture cut.y4m --size 96x64", waitForTheLog("OpenGL version") + "sleep 1\n",
         true, offscreenClosed},
    };
    const struct {
        const char* name;
        int number;
    } signals[] = {{"INT", SIGINT}, {"TERM", SIGTERM}};
    for (const auto& moment : moments) {
        for (const std::string audio : {"dummy", "no-such-driver"}) {
            for (const auto& signal : signals) {
                SCOPED_TRACE(testing::Message() << moment.moment << ", SIG" << signal.name
                                                << ", audio driver " << audio);
                std::filesystem::remove(directory.path() / "debug.log");
                std::filesystem::remove(directory.path() / "cut.y4m");
                writeScript(moment.reachIt + "kill -" + signal.name + " $demo\n", audio,
                            moment.arguments);
                EXPECT_EQ(shell("timeout 90 bash run.sh"),
                          moment.capture ? 128 + signal.number : 0);
                const std::string log = directory.readFile("debug.log");
                if (moment.shutDown.empty()) {
                    EXPECT_EQ(log, "");
                    continue;
                }
                std::size_t position = 0;
                for (const std::string& step : moment.shutDown) {
                    position = log.find(step, position);
                    if (position == std::string::npos) {
                        ADD_FAILURE() << "missing or out of order: " << step << "\n" << log;
                        break;
                    }
                }
                if (position != std::string::npos) {
                    EXPECT_EQ(position + moment.shutDown.back().size(), log.size()) << log;
                }
            }
        }
    }
}

// A dialog that cannot be shown is not a Quit: the program says why and fails.
TEST_F(EndToEnd, WithoutADisplayItSaysWhyAndFails) {
    const struct {
        const char* environment;
        const char* cause;
    } cases[] = {
        {"-u DISPLAY", "no display"},
        {"DISPLAY=:9876", "cannot connect to display :9876"},
    };
    for (const auto& [environment, cause] : cases) {
        {
            std::ofstream script(directory.path() / "run.sh");
            script << "exec env -u WAYLAND_DISPLAY " << environment << " SDL_AUDIODRIVER=dummy \""
                   << VELMORRA_BINARY << "\" 2>stderr.txt\n";
        }
        EXPECT_EQ(shell("timeout 60 bash run.sh"), 1) << cause;
        EXPECT_EQ(directory.readFile("stderr.txt"),
                  "velmorra: cannot open the settings dialog: " + std::string(cause) + "\n");
        EXPECT_TRUE(std::filesystem::exists(directory.path() / "debug.log"));
        EXPECT_EQ(directory.readFile("debug.log"), "");
    }
}

} // namespace
} // namespace velmorra
