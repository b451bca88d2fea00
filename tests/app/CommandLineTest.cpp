#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace velmorra {
namespace {

CommandLine::Result parse(const std::string& line) {
    std::vector<std::string> words{"velmorra"};
    std::istringstream stream(line);
    for (std::string word; stream >> word;) {
        words.push_back(word);
    }
    std::vector<const char*> argv;
    for (const std::string& word : words) {
        argv.push_back(word.c_str());
    }
    return CommandLine::parse(static_cast<int>(argv.size()), argv.data());
}

TEST(CommandLine, NoOptionsKeepTheDialogAndItsDefaults) {
    const CommandLine::Result result = parse("");
    ASSERT_EQ(result.outcome, CommandLine::Outcome::Run);
    const CommandLineOptions& options = result.options;
    EXPECT_FALSE(options.noDialog);
    EXPECT_FALSE(options.capturing());
    EXPECT_FALSE(options.seed.has_value());
    EXPECT_EQ(options.display.width, 800);
    EXPECT_EQ(options.display.height, 600);
    EXPECT_EQ(options.display.depth, 16);
    EXPECT_TRUE(options.display.fullscreen);
    EXPECT_TRUE(options.display.vsyncOff);
}

TEST(CommandLine, OptionsFillTheRecord) {
    const struct {
        const char* line;
        int width, height, depth;
        bool fullscreen, vsyncOff;
    } cases[] = {
        {"--no-dialog --mode 1024x768x32 --windowed --vsync", 1024, 768, 32, false, false},
        {"--no-dialog --mode 640x480 --fullscreen --no-vsync", 640, 480, 16, true, true},
        {"--no-dialog --windowed", 800, 600, 16, false, true},
    };
    for (const auto& c : cases) {
        const CommandLine::Result result = parse(c.line);
        ASSERT_EQ(result.outcome, CommandLine::Outcome::Run) << c.line << ": " << result.text;
        const DisplaySettings& display = result.options.display;
        EXPECT_TRUE(result.options.noDialog) << c.line;
        EXPECT_EQ(display.width, c.width) << c.line;
        EXPECT_EQ(display.height, c.height) << c.line;
        EXPECT_EQ(display.depth, c.depth) << c.line;
        EXPECT_EQ(display.fullscreen, c.fullscreen) << c.line;
        EXPECT_EQ(display.vsyncOff, c.vsyncOff) << c.line;
    }
}

TEST(CommandLine, CaptureOptionsImplyNoDialog) {
    const CommandLine::Result result =
        parse("--capture out.mkv --size 1920x1440 --from 10.5 --to 14 --seed 4294967295");
    ASSERT_EQ(result.outcome, CommandLine::Outcome::Run) << result.text;
    const CommandLineOptions& options = result.options;
    EXPECT_TRUE(options.capturing());
    EXPECT_TRUE(options.noDialog);
    EXPECT_EQ(options.capturePath, "out.mkv");
    EXPECT_EQ(options.captureWidth, 1920);
    EXPECT_EQ(options.captureHeight, 1440);
    EXPECT_DOUBLE_EQ(options.fromSeconds, 10.5);
    EXPECT_DOUBLE_EQ(options.toSeconds, 14.0);
    EXPECT_EQ(options.seed, 4294967295u);

    const CommandLine::Result defaults = parse("--capture -");
    EXPECT_EQ(defaults.options.captureWidth, 1440);
    EXPECT_EQ(defaults.options.captureHeight, 1080);
    EXPECT_DOUBLE_EQ(defaults.options.fromSeconds, 0.0);
    EXPECT_DOUBLE_EQ(defaults.options.toSeconds, 162.0);
}

TEST(CommandLine, RendererChoosesTheDrawingBackend) {
    const struct {
        const char* line;
        CommandLine::Outcome outcome;
        draw::BackendKind renderer;
    } cases[] = {
        {"", CommandLine::Outcome::Run, draw::BackendKind::gl11},
        {"--renderer gles2", CommandLine::Outcome::Run, draw::BackendKind::gles2},
        {"--capture - --renderer gl11", CommandLine::Outcome::Run, draw::BackendKind::gl11},
        {"--renderer vulkan", CommandLine::Outcome::UsageError, draw::BackendKind::gl11},
    };
    for (const auto& c : cases) {
        const CommandLine::Result result = parse(c.line);
        EXPECT_EQ(result.outcome, c.outcome) << c.line << ": " << result.text;
        EXPECT_EQ(result.options.renderer, c.renderer) << c.line;
    }
    EXPECT_NE(parse("--renderer vulkan").text.find("gl11 or gles2"), std::string::npos);
}

} // namespace
} // namespace velmorra
