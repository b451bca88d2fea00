#include "video/VideoWriter.h"

#include "support/MediaProbe.h"
#include "support/TempDirectory.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
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

bool writeVideo(const VideoSettings& settings, int frames, std::string& error) {
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

        {settingsFor("/nonexistent/clip.mp4", 64, 48), "cannot write /nonexistent/clip.mp4: No such file or directory"},
        {settingsFor("clip.mp4", 65, 48), "unsupported video size 65x48 (even numbers, 64..7680 wide)"},
        {settingsFor("clip.mkv", 64, 48, "missing.mp3"), "cannot read the music missing.mp3: No such file or directory"},
    };
    for (const auto& c : cases) {
        VideoWriter writer;
        std::string error;
        EXPECT_FALSE(writer.open(c.settings, error));
        EXPECT_EQ(error, c.reason);
    }
}

const std::string music = std::string(VELMORRA_SOURCE_DIR) + "/data/amns.mp3";

// Sends standard output to a file while it lives.
class StdoutToFile {
  public:
    explicit StdoutToFile(const char* path) : saved(dup(STDOUT_FILENO)) {
        std::fflush(stdout);
        const int file = ::open(path, O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(file, STDOUT_FILENO);
        close(file);
    }
    ~StdoutToFile() {
        std::fflush(stdout);
        dup2(saved, STDOUT_FILENO);
        close(saved);
    }
    StdoutToFile(const StdoutToFile&) = delete;
    StdoutToFile& operator=(const StdoutToFile&) = delete;

  private:
    int saved;
};

std::string writeTwoColourYuv(const std::string& path, int width, int height, Rgb bottom, Rgb top) {
    VideoWriter writer;
    std::string error;
    EXPECT_TRUE(writer.open(settingsFor(path, width, height, music), error)) << error;
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(writer.writeFrame(twoColourFrame(width, height, bottom, top)));
    }
    EXPECT_TRUE(writer.finish(error)) << error;
    EXPECT_EQ(writer.framesWritten(), 3);
    return error;
}

TEST(VideoWriter, WritesYuv4Mpeg2ToAFileOrStandardOutput) {
    test::TempDirectory directory;
    const int width = 64;
    const int height = 48;
    const Rgb red{255, 0, 0};
    const Rgb blue{0, 0, 255};
    writeTwoColourYuv("clip.y4m", width, height, red, blue);
    {
        StdoutToFile redirect("stdout.y4m");
        writeTwoColourYuv("-", width, height, red, blue);
    }
    const std::string bytes = fileBytes("clip.y4m");
    EXPECT_TRUE(bytes == fileBytes("stdout.y4m"));

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
    EXPECT_EQ(probe.audio(), nullptr);
}

TEST(VideoWriter, EncodesH264FilesOfEachSizeAndContainer) {
    test::TempDirectory directory;
    const struct {
        const char* path;
        int width, height, frames;
        const char* format;
    } cases[] = {
        {"a.mp4", 64, 48, 30, "mov,mp4,m4a,3gp,3g2,mj2"},
        {"b.MKV", 96, 72, 45, "matroska,webm"},
        {"c.mp4", 160, 120, 3, "mov,mp4,m4a,3gp,3g2,mj2"},
    };
    for (const auto& c : cases) {
        std::string error;
        ASSERT_TRUE(writeVideo(settingsFor(c.path, c.width, c.height, music, 20.0), c.frames, error)) << error;
        EXPECT_FALSE(std::filesystem::exists(VideoWriter::temporaryPathFor(c.path))) << c.path;
        const test::MediaProbe probe(c.path);
        EXPECT_EQ(probe.format(), c.format);
        ASSERT_NE(probe.video(), nullptr) << c.path;
        EXPECT_EQ(probe.video()->codec, "h264");
        EXPECT_EQ(probe.video()->pixelFormat, "yuv420p");
        EXPECT_EQ(probe.video()->width, c.width);
        EXPECT_EQ(probe.video()->height, c.height);
        EXPECT_EQ(probe.video()->packets, c.frames);
        EXPECT_DOUBLE_EQ(probe.video()->framesPerSecond, 30.0) << c.path;
        ASSERT_NE(probe.audio(), nullptr) << c.path;
        EXPECT_EQ(probe.audio()->codec, "aac");
        EXPECT_EQ(probe.audio()->sampleRate, 44100);
        EXPECT_EQ(probe.audio()->channels, 2);
        EXPECT_EQ(probe.decodePicture(c.frames - 1).size(), static_cast<std::size_t>(c.width * c.height * 3 / 2));
        if (probe.format().starts_with("mov")) {
            const std::string bytes = fileBytes(c.path);
            EXPECT_LT(bytes.find("moov"), bytes.find("mdat")) << "the index comes first in " << c.path;
        }
    }
}

// Where a stretch of `sound` best matches `track`, searched within `reach` samples of `guess`.
struct Match {
    long offset = 0;
    double correlation = -1;
};

Match bestMatch(const std::vector<float>& sound, const std::vector<float>& track, long guess, long reach) {
    const std::size_t from = 4096;  // past the encoder's first, ramping frames
    const std::size_t window = 8192;
    Match best;
    for (long offset = guess - reach; offset <= guess + reach; ++offset) {
        double dot = 0, soundEnergy = 0, trackEnergy = 0;
        for (std::size_t i = from; i < from + window; ++i) {
            const double a = sound[i];
            const double b = track[static_cast<std::size_t>(offset) + i];
            dot += a * b;
            soundEnergy += a * a;
            trackEnergy += b * b;
        }
        const double correlation = dot / std::sqrt(soundEnergy * trackEnergy);
        if (correlation > best.correlation) {
            best = {offset, correlation};
        }
    }
    return best;
}

// The sound of a capture starting at T seconds is the track from T on, at the first picture's
// moment. MP4 says where the encoder's priming ends, to the sample; Matroska only shifts the
// picture by it, to the millisecond.
TEST(VideoWriter, SoundIsTheTrackFromTheFirstPicturesMoment) {
    test::TempDirectory directory;
    const std::vector<float> track = test::MediaProbe(music).decodeSound();
    const double start = 37.5;
    const int frames = 60;
    const struct {
        const char* path;
        long tolerance;
    } cases[] = {{"sound.mp4", 4}, {"sound.mkv", 45}};
    for (const auto& c : cases) {
        std::string error;
        ASSERT_TRUE(writeVideo(settingsFor(c.path, 64, 48, music, start), frames, error)) << error;
        const test::MediaProbe probe(c.path);
        ASSERT_TRUE(probe.video() != nullptr && probe.audio() != nullptr) << c.path;
        const long lead = std::lround((probe.video()->startSeconds - probe.audio()->startSeconds) * 44100);
        const std::vector<float> sound = probe.decodeSound();
        EXPECT_NEAR(static_cast<double>(sound.size()) - lead, frames * 1470, 1024) << c.path;
        ASSERT_GE(sound.size(), 16384u);
        const long expected = std::lround(start * 44100) - lead;
        const Match match = bestMatch(sound, track, expected, 1200);
        EXPECT_NEAR(match.offset, expected, c.tolerance) << c.path;
        EXPECT_GT(match.correlation, 0.95) << c.path;
    }
}

TEST(VideoWriter, SameFramesGiveTheSameBytes) {
    test::TempDirectory directory;
    for (const std::string extension : {".mp4", ".mkv", ".y4m"}) {
        std::string error;
        ASSERT_TRUE(writeVideo(settingsFor("first" + extension, 96, 72, music, 3.0), 40, error)) << error;
        ASSERT_TRUE(writeVideo(settingsFor("second" + extension, 96, 72, music, 3.0), 40, error)) << error;
        const std::string first = fileBytes("first" + extension);
        EXPECT_FALSE(first.empty());
        EXPECT_TRUE(first == fileBytes("second" + extension)) << extension;
    }
}

TEST(VideoWriter, WritesUnderATemporaryNameAndRemovesItWhenAbandoned) {
    test::TempDirectory directory;
    {
        VideoWriter writer;
        std::string error;
        ASSERT_TRUE(writer.open(settingsFor("left.mp4", 64, 48, music), error)) << error;
        EXPECT_TRUE(writer.writeFrame(movingFrame(64, 48, 0)));
        EXPECT_TRUE(std::filesystem::exists("left.mp4.part"));
        EXPECT_FALSE(std::filesystem::exists("left.mp4"));
    }
    EXPECT_FALSE(std::filesystem::exists("left.mp4.part"));
    EXPECT_FALSE(std::filesystem::exists("left.mp4"));
}

TEST(VideoWriter, AFrameOfTheWrongSizeFailsTheVideo) {
    test::TempDirectory directory;
    VideoWriter writer;
    std::string error;
    ASSERT_TRUE(writer.open(settingsFor("wrong.mkv", 64, 48), error)) << error;
    EXPECT_FALSE(writer.writeFrame(movingFrame(64, 46, 0)));
    EXPECT_FALSE(writer.writeFrame(movingFrame(64, 48, 1)));
    EXPECT_FALSE(writer.finish(error));
    EXPECT_EQ(error, "a frame of 11776 bytes, expected 12288");
    EXPECT_FALSE(std::filesystem::exists("wrong.mkv.part"));
    EXPECT_FALSE(std::filesystem::exists("wrong.mkv"));
}

} // namespace
} // namespace velmorra
