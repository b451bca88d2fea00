#include "app/CaptureRun.h"
#include "support/MediaProbe.h"
#include "support/Sha256.h"
#include "support/TempDirectory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace velmorra {
namespace {

namespace fs = std::filesystem;

struct Outcome {
    int exitCode = -1;
    std::string out;
    std::string err;
};

std::string fileBytes(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// The program as a user starts it on a machine with no display: no X server, no
// Xvfb, the project's content in ./data.
class Capture : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directory_symlink(fs::path(VELMORRA_SOURCE_DIR) / "data",
                                     directory.path() / "data");
    }

    static std::string command(const std::string& arguments, const std::string& environment = "") {
        return "env -u DISPLAY -u WAYLAND_DISPLAY " + environment + " \"" +
               std::string(VELMORRA_BINARY) + "\" " + arguments;
    }

    Outcome run(const std::string& arguments, const std::string& environment = "") const {
        const std::string shell = command(arguments, environment) + " >stdout.bin 2>stderr.txt";
        const int status = std::system(shell.c_str());
        Outcome outcome;
        outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        outcome.out = fileBytes(directory.path() / "stdout.bin");
        outcome.err = fileBytes(directory.path() / "stderr.txt");
        fs::remove(directory.path() / "stdout.bin");
        fs::remove(directory.path() / "stderr.txt");
        return outcome;
    }

    test::TempDirectory directory;
};

// YUV4MPEG2 frames, each Y, U and V planes, after the stream header.
std::vector<std::string> y4mFrames(const std::string& stream, int width, int height) {
    std::vector<std::string> frames;
    const std::size_t frameBytes = static_cast<std::size_t>(width * height * 3 / 2);
    std::size_t at = stream.find('\n');
    while (at != std::string::npos && at + 1 < stream.size()) {
        const std::size_t data = stream.find('\n', at + 1);
        if (data == std::string::npos || stream.compare(at + 1, 5, "FRAME") != 0) {
            break;
        }
        frames.push_back(stream.substr(data + 1, frameBytes));
        at = data + frameBytes;
    }
    return frames;
}

TEST_F(Capture, UsageErrorsGetOneLineAndExitTwoWithNothingElse) {
    const char* const wrong[] = {
        "--bogus",
        "--mode 700x500 --no-dialog",
        "--mode 800x600x8 --no-dialog",
        "--windowed --fullscreen --no-dialog",
        "--windowed",
        "--seed seven",
        "--capture out.avi",
        "--capture out.mp4 --size 641x480",
        "--capture out.mp4 --size 32x32",
        "--capture out.mp4 --from 14 --to 10",
        "--capture out.mp4 --to 170",
        "--capture out.mp4 --fullscreen",
        "--from 3",
        "stray",
    };
    for (const char* arguments : wrong) {
        const Outcome outcome = run(arguments);
        EXPECT_EQ(outcome.exitCode, 2) << arguments;
        EXPECT_EQ(outcome.out, "") << arguments;
        EXPECT_EQ(outcome.err.rfind("velmorra: ", 0), 0u) << arguments << ": " << outcome.err;
        EXPECT_EQ(outcome.err.find('\n'), outcome.err.size() - 1) << arguments << ": " << outcome.err;
    }
    EXPECT_FALSE(fs::exists(directory.path() / "debug.log"));
    EXPECT_FALSE(fs::exists(directory.path() / "out.mp4"));
}

TEST_F(Capture, HelpAndVersionGoToStandardOutput) {
    const Outcome help = run("--help");
    EXPECT_EQ(help.exitCode, 0);
    for (const char* option : {"--no-dialog", "--mode WxH[xBPP]", "--windowed | --fullscreen",
                               "--vsync | --no-vsync", "--seed N", "--capture FILE", "--size WxH",
                               "--from SECONDS", "--to SECONDS"}) {
        EXPECT_NE(help.out.find(option), std::string::npos) << option;
    }
    EXPECT_EQ(run("-h").out, help.out);
    const Outcome version = run("--version");
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, "velmorra 1.0.0\n");
    EXPECT_EQ(version.err + help.err, "");
    EXPECT_FALSE(fs::exists(directory.path() / "debug.log"));
}

TEST_F(Capture, WithoutADialogTheChosenDisplayIsLoggedAndItsFailureEndsTheRun) {
    // No X or Wayland server: SDL's invisible offscreen driver must not stand in for one.
    const Outcome outcome = run("--no-dialog --mode 640x480x32 --windowed --vsync");
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_NE(outcome.err, "");
    EXPECT_EQ(directory.readFile("debug.log").rfind(
                  "Selected display: 640x480x32 (windowed,vsync ON)\n", 0),
              0u)
        << directory.readFile("debug.log");
}

TEST_F(Capture, YuvFramesOnStandardOutputWithTheOffscreenProtocolInTheLog) {
    const Outcome outcome = run("--capture - --size 96x64 --from 3 --to 3.5 --seed 7");
    ASSERT_EQ(outcome.exitCode, 0) << outcome.err;
    EXPECT_EQ(outcome.out.rfind("YUV4MPEG2 W96 H64 F30:1", 0), 0u);
    EXPECT_EQ(y4mFrames(outcome.out, 96, 64).size(), 15u);
    const std::string log = directory.readFile("debug.log");
    std::size_t position = 0;
    for (const char* step : {"Selected capture: 96x64 to standard output, frames 90 to 104",
                             "Creating offscreen context... ok.\n",
                             "-- OpenGL offscreen display ENABLED (96x64) --",
                             "Query performance timer: found, using performance timer.\n",
                             "Loading 3ds file: scene.3ds", "OpenGL version: ",
                             "Deactivating offscreen context... ok.\n",
                             "-- OpenGL offscreen display DISABLED --"}) {
        const std::size_t found = log.find(step, position);
        ASSERT_NE(found, std::string::npos) << "missing or out of order: " << step << "\n" << log;
        position = found;
    }
    EXPECT_NE(outcome.err.find("Captured 15 frames"), std::string::npos) << outcome.err;
}

// The frames before --from are computed as in a full capture, so a capture that
// starts later shows the same pictures; a second run with the seed repeats it exactly.
TEST_F(Capture, ASeededSpanRepeatsExactlyAndStartsOnTheFullCapturesFrame) {
    ASSERT_EQ(run("--capture long.y4m --size 96x64 --from 2 --to 3 --seed 11").exitCode, 0);
    ASSERT_EQ(run("--capture late.y4m --size 96x64 --from 2.5 --to 3 --seed 11").exitCode, 0);
    ASSERT_EQ(run("--capture again.y4m --size 96x64 --from 2.5 --to 3 --seed 11").exitCode, 0);
    const auto longer = y4mFrames(directory.readFile("long.y4m"), 96, 64);
    const auto late = y4mFrames(directory.readFile("late.y4m"), 96, 64);
    ASSERT_EQ(longer.size(), 30u);
    ASSERT_EQ(late.size(), 15u);
    EXPECT_EQ(directory.readFile("again.y4m"), directory.readFile("late.y4m"));
    for (std::size_t index = 0; index < late.size(); ++index) {
        EXPECT_EQ(late[index], longer[index + 15]) << "frame " << index;
    }
    EXPECT_NE(longer[0], longer[29]) << "the picture moves";
}

// The frames of this capture as the program made them before its code was split into one
// library per layer, its run sequence shared and its GL calls gathered into the drawing layer:
// the structure of the code must not show in the pictures. (Uncompressed, so that every pixel is compared; an MP4 encodes these same frames.)
TEST_F(Capture, SeededSpanGivesTheFramesRecordedEarlier) {
    ASSERT_EQ(run("--capture x.y4m --seed 7 --from 10 --to 14 --size 640x480").exitCode, 0);
    EXPECT_EQ(test::sha256Hex(directory.readFile("x.y4m")),
              "ae11684ae42af8d59ee8670be5ca72edb42601d779bd3353e469b254059ee90c");
}

// A run leaves nothing behind for the next: the same capture twice in one process gives the
// same frames.
TEST_F(Capture, TwoRunsInOneProcessGiveTheSameFrames) {
    CommandLineOptions options;
    options.seed = 5;
    options.captureWidth = 96;
    options.captureHeight = 64;
    options.toSeconds = 2.0;
    for (const char* path : {"first.y4m", "second.y4m"}) {
        options.capturePath = path;
        ASSERT_EQ(runCapture(options), 0) << path;
    }
    const std::string first = directory.readFile("first.y4m");
    EXPECT_EQ(y4mFrames(first, 96, 64).size(), 60u);
    EXPECT_EQ(first, directory.readFile("second.y4m"));
}

TEST_F(Capture, Mp4HoldsH264At30FramesPerSecondWithTheMusicOfTheSpan) {
    const Outcome outcome = run("--capture out.mp4 --size 128x96 --from 10 --to 12 --seed 7");
    ASSERT_EQ(outcome.exitCode, 0) << outcome.err;
    const test::MediaProbe probe((directory.path() / "out.mp4").string());
    ASSERT_TRUE(probe.opened());
    ASSERT_NE(probe.video(), nullptr);
    EXPECT_EQ(probe.video()->codec, "h264");
    EXPECT_EQ(probe.video()->width, 128);
    EXPECT_EQ(probe.video()->height, 96);
    EXPECT_EQ(probe.video()->pixelFormat, "yuv420p");
    EXPECT_DOUBLE_EQ(probe.video()->framesPerSecond, 30.0);
    EXPECT_EQ(probe.video()->packets, 60);
    ASSERT_NE(probe.audio(), nullptr);
    EXPECT_EQ(probe.audio()->codec, "aac");
    const test::MediaProbe track((fs::path(VELMORRA_SOURCE_DIR) / "data" / "amns.mp3").string());
    const std::vector<float> captured = probe.decodeSound();
    const std::vector<float> music = track.decodeSound();
    ASSERT_GE(captured.size(), 44100u * 19 / 10);
    ASSERT_GE(music.size(), 44100u * 12);
    // Compare a stretch in the middle of the span with the track at the same moment.
    const std::size_t at = 44100 / 2;
    double difference = 0;
    double level = 0;
    for (std::size_t i = 0; i < 44100; ++i) {
        const double expected = music[10 * 44100 + at + i];
        difference += (captured[at + i] - expected) * (captured[at + i] - expected);
        level += expected * expected;
    }
    EXPECT_LT(difference, 0.05 * level) << "the sound is the track's from 10 s on";
}

TEST_F(Capture, ControlCLeavesAPlayableFileOfWhatWasCaptured) {
    std::ofstream(directory.path() / "run.sh")
        << command("--capture cut.mkv --size 96x64 --seed 3") << " 2>stderr.txt & demo=$!\n"
        << "for i in $(seq 300); do grep -qs 'OpenGL version' debug.log && break; sleep 0.1; done\n"
        << "sleep 2\nkill -INT $demo\nwait $demo\n";
    const int status = std::system("bash run.sh");
    EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 128 + SIGINT)
        << directory.readFile("stderr.txt");
    const test::MediaProbe probe((directory.path() / "cut.mkv").string());
    ASSERT_TRUE(probe.opened());
    ASSERT_NE(probe.video(), nullptr);
    EXPECT_GT(probe.video()->packets, 5);
    EXPECT_LT(probe.video()->packets, 4860);
    for (const auto& entry : fs::directory_iterator(directory.path())) {
        const std::string name = entry.path().filename().string();
        EXPECT_TRUE(name == "cut.mkv" || name == "data" || name == "debug.log" ||
                    name == "stderr.txt" || name == "run.sh")
            << "left behind: " << name;
    }
}

TEST_F(Capture, FailuresBeforeTheFirstFrameGetOneLineAndExitOne) {
    const Outcome unwritable = run("--capture missing/folder/out.mp4 --size 96x64 --to 1");
    EXPECT_EQ(unwritable.exitCode, 1);
    EXPECT_EQ(unwritable.err.rfind("velmorra: ", 0), 0u) << unwritable.err;
    EXPECT_EQ(std::count(unwritable.err.begin(), unwritable.err.end(), '\n'), 1);


    // No EGL driver at all: the dispatch library finds no vendor.
    const Outcome noEgl = run("--capture out.y4m --size 96x64 --to 1",
                              "__EGL_VENDOR_LIBRARY_FILENAMES=/nonexistent.json");
    EXPECT_EQ(noEgl.exitCode, 1);
    EXPECT_EQ(noEgl.err, "velmorra: no offscreen OpenGL: Mesa's EGL surfaceless platform is not "
                         "available\n");
    EXPECT_NE(directory.readFile("debug.log").find("Opening offscreen display... failed."),
              std::string::npos);
    EXPECT_FALSE(fs::exists(directory.path() / "out.y4m"));

    // A reader that stops early: the capture says so and fails instead of dying of SIGPIPE.
    const std::string closedPipe = "(" + command("--capture - --size 96x64 --to 3") +
                                   " 2>stderr.txt; echo $? >status.txt) | head -c 100 >/dev/null";
    ASSERT_EQ(std::system(closedPipe.c_str()), 0);
    EXPECT_EQ(directory.readFile("status.txt"), "1\n");
    EXPECT_NE(directory.readFile("stderr.txt").find("Broken pipe"), std::string::npos)
        << directory.readFile("stderr.txt");
}

// scripts/run on a machine with no display: a copy beside the content, so that the
// video and the log land in the test's directory, with the program built already.
TEST_F(Capture, RunScriptCapturesToTheRepositoryRootWithoutADisplay) {
    fs::create_directory(directory.path() / "scripts");
    fs::copy_file(fs::path(VELMORRA_SOURCE_DIR) / "scripts" / "run",
                  directory.path() / "scripts" / "run");
    const std::string shell = "env -u DISPLAY -u WAYLAND_DISPLAY VELMORRA_PROGRAM=\"" +
                              std::string(VELMORRA_BINARY) +
                              "\" VELMORRA_CAPTURE_SECONDS=0.5 bash scripts/run >stdout.txt 2>&1";
    EXPECT_EQ(std::system(shell.c_str()), 0) << directory.readFile("stdout.txt");
    EXPECT_NE(directory.readFile("stdout.txt")
                  .find("The demo is in " + directory.path().string() + "/velmorra.mp4"),
              std::string::npos)
        << directory.readFile("stdout.txt");
    const test::MediaProbe probe((directory.path() / "velmorra.mp4").string());
    ASSERT_TRUE(probe.opened());
    ASSERT_NE(probe.video(), nullptr);
    EXPECT_EQ(probe.video()->width, 1440);
    EXPECT_EQ(probe.video()->packets, 15);
}

} // namespace
} // namespace velmorra
