#include "video/VideoWriter.h"

#include "support/MediaProbe.h"
#include "support/TempDirectory.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace velmorra {
namespace {

using Rgb = std::array<std::uint8_t, 3>;

// A frame as GL reads it back: the first rows in memory are the bottom of the picture.
std::vector<std::uint8_t> twoColourFrame(int width, int height, Rgb bottom, Rgb top) {
    std::vector<std::uint8_t> rgba;
    rgba.reserve(static_cast<std::size_t>(width * height * 4));
    for (int y = 0; y < height; ++y) {
        const Rgb& colour = y < height / 2 ? bottom : top;
        for (int x = 0; x < width; ++x) {
            rgba.insert(rgba.end(), {colour[0], colour[1], colour[2], 255});
        }
    }
    return rgba;
}

// A frame that changes with its number, so that every frame costs the encoder some work.
std::vector<std::uint8_t> movingFrame(int width, int height, int number) {
    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(width * height * 4));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint8_t* pixel = &rgba[static_cast<std::size_t>((y * width + x) * 4)];
            pixel[0] = static_cast<std::uint8_t>(x + number * 3);
            pixel[1] = static_cast<std::uint8_t>(y * 2 - number);
            pixel[2] = static_cast<std::uint8_t>((x ^ y) + number);
            pixel[3] = 255;
        }
    }
    return rgba;
}

VideoSettings settingsFor(const std::string& path, int width, int height,
                          const std::string& music = "", double musicStart = 0) {
    return {path, width, height, 30, music, musicStart};
}

[[maybe_unused]] bool writeVideo(const VideoSettings& settings, int frames, std::string& error) {
    VideoWriter writer;
    if (!writer.open(settings, error)) {
        return false;
    }
    for (int i = 0; i < frames; ++i) {
        if (!writer.writeFrame(movingFrame(settings.width, settings.height, i))) {
            break;
        }
    }
    return writer.finish(error);
}

std::string fileBytes(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

TEST(VideoWriter, AcceptsOnlyTheFourOutputKinds) {
    const struct {
        const char* path;
        bool supported;
    } cases[] = {{"-", true},         {"a.y4m", true},  {"dir/b.MP4", true}, {"c.mkv", true},
                 {"d.avi", false},    {"e", false},     {"f.mp4.txt", false}, {"--", false}};
    for (const auto& c : cases) {
        EXPECT_EQ(VideoWriter::isSupportedPath(c.path), c.supported) << c.path;
    }
}

TEST(VideoWriter, RefusesWhatItCannotWriteWithOneLineReason) {
    test::TempDirectory directory;
    const struct {
        VideoSettings settings;
        const char* reason;
    } cases[] = {
        {settingsFor("clip.avi", 64, 48), "unsupported video file type: clip.avi (use .mp4, .mkv, .y4m or -)"},
        {settingsFor("/nonexistent/clip.y4m", 64, 48), "cannot write /nonexistent/clip.y4m: No such file or directory"},

        {settingsFor("clip.mp4", 65, 48), "unsupported video size 65x48 (even numbers, 64..7680 wide)"},
    };
    for (const auto& c : cases) {
        VideoWriter writer;
        std::string error;
        EXPECT_FALSE(writer.open(c.settings, error));
        EXPECT_EQ(error, c.reason);
    }
}

TEST(VideoWriter, WritesYuv4Mpeg2WithTheColoursReadBack) {
    test::TempDirectory directory;
    const int width = 64;
    const int height = 48;
    VideoWriter writer;
    std::string error;
    ASSERT_TRUE(writer.open(settingsFor("clip.y4m", width, height), error)) << error;
    const Rgb red{255, 0, 0};
    const Rgb blue{0, 0, 255};
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(writer.writeFrame(twoColourFrame(width, height, red, blue)));
    }
    ASSERT_TRUE(writer.finish(error)) << error;
    EXPECT_EQ(writer.framesWritten(), 3);

    const std::string bytes = fileBytes("clip.y4m");
    const std::string header = "YUV4MPEG2 W64 H48 F30:1 Ip A1:1 C420mpeg2\n";
    const std::size_t frameBytes = 6 + width * height * 3 / 2;
    ASSERT_EQ(bytes.size(), header.size() + 3 * frameBytes);
    EXPECT_EQ(bytes.substr(0, header.size()), header);
    const std::string frame = bytes.substr(header.size() + 2 * frameBytes, frameBytes);
    EXPECT_EQ(frame.substr(0, 6), "FRAME\n");
    const auto sample = [&](std::size_t offset) { return static_cast<int>(static_cast<std::uint8_t>(frame[6 + offset])); };
    const std::size_t lumaSize = width * height;
    const std::size_t chromaSize = lumaSize / 4;
    // BT.709, limited range: the top of the picture is first in the file.
    const struct {
        const char* what;
        std::size_t offset;
        int value;
    } expected[] = {
        {"blue Y", 0, 32},
        {"blue Cb", lumaSize, 240},
        {"blue Cr", lumaSize + chromaSize, 118},
        {"red Y", lumaSize - 1, 63},
        {"red Cb", lumaSize + chromaSize - 1, 102},
        {"red Cr", lumaSize + 2 * chromaSize - 1, 240},
    };
    for (const auto& e : expected) {
        EXPECT_NEAR(sample(e.offset), e.value, 1) << e.what;
    }
    const test::MediaProbe probe("clip.y4m");
    ASSERT_NE(probe.video(), nullptr);
    EXPECT_EQ(probe.video()->packets, 3);
    EXPECT_DOUBLE_EQ(probe.video()->framesPerSecond, 30.0);
}

} // namespace
} // namespace velmorra
