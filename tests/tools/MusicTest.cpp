#include "music/MusicRenderer.h"
#include "music/Score.h"
#include "music/WavWriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

namespace velmorra {
namespace {

using tools::MusicRenderer;
using tools::Score;
using tools::StereoBuffer;
using tools::WavWriter;

// The music is the slow part of the suite: render and encode it once.
class MusicTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        music = std::make_unique<StereoBuffer>(MusicRenderer::render(Score::compose()));
        wav = WavWriter::encode(*music);
    }
    static void TearDownTestSuite() {
        music.reset();
        wav.clear();
        wav.shrink_to_fit();
    }

    static std::uint32_t u32(std::size_t at) {
        std::uint32_t value = 0;
        std::memcpy(&value, wav.data() + at, 4);
        return value;
    }
    static std::int16_t sample(std::size_t index) {
        std::int16_t value = 0;
        std::memcpy(&value, wav.data() + WavWriter::headerSize + 2 * index, 2);
        return value;
    }
    static double sectionDecibels(const Score::Section& section) {
        return music->rmsDecibels(StereoBuffer::frameAt(section.firstBar * Score::bar),
                                  StereoBuffer::frameAt(section.endBar * Score::bar));
    }

    static std::unique_ptr<StereoBuffer> music;
    static std::vector<std::uint8_t> wav;
};

std::unique_ptr<StereoBuffer> MusicTest::music;
std::vector<std::uint8_t> MusicTest::wav;

TEST_F(MusicTest, TheFileIs162SecondsOfStereoAt44100Hertz) {
    constexpr std::uint32_t frames = 162 * 44100;
    ASSERT_EQ(wav.size(), 44u + frames * 4u);
    EXPECT_EQ(std::memcmp(wav.data(), "RIFF", 4), 0);
    EXPECT_EQ(u32(4), wav.size() - 8);
    EXPECT_EQ(std::memcmp(wav.data() + 8, "WAVEfmt ", 8), 0);
    EXPECT_EQ(u32(20), 0x00020001u); // PCM, two channels
    EXPECT_EQ(u32(24), 44100u);
    EXPECT_EQ(u32(28), 44100u * 4u);
    EXPECT_EQ(u32(32), 0x00100004u); // four bytes a frame, 16 bits a sample
    EXPECT_EQ(u32(40), frames * 4u);
}

TEST_F(MusicTest, ThePeakStaysBelowMinusOneDecibelAndThereIsNoDcOffset) {
    const std::size_t samples = (wav.size() - WavWriter::headerSize) / 2;
    int peak = 0;
    double sums[2] = {0.0, 0.0};
    for (std::size_t i = 0; i < samples; ++i) {
        peak = std::max(peak, std::abs(static_cast<int>(sample(i))));
        sums[i % 2] += sample(i);
    }
    const int limit = static_cast<int>(32767.0 * std::pow(10.0, -1.0 / 20.0)); // 29204
    EXPECT_LE(peak, limit);
    EXPECT_GT(peak, limit * 0.9); // and it is not timid either
    for (const double sum : sums) {
        EXPECT_LT(std::fabs(sum / (samples / 2.0)), 3.0); // under 1e-4 of full scale
    }
}

TEST_F(MusicTest, SectionsRiseAndFallWithThePicture) {
    const auto& s = Score::sections();
    const double intro = sectionDecibels(s[0]), groove = sectionDecibels(s[1]);
    const double title = sectionDecibels(s[2]), pause = sectionDecibels(s[3]);
    const double stream = sectionDecibels(s[4]), pour = sectionDecibels(s[6]);
    const double outro = sectionDecibels(s[7]), fade = sectionDecibels(s[8]);
    EXPECT_LT(intro, groove - 6.0);
    EXPECT_LT(pause, title);
    EXPECT_LT(pause, stream);
    EXPECT_GT(pour, title);
    EXPECT_GT(pour, stream);
    EXPECT_LT(outro, pour - 3.0);
    EXPECT_LT(fade, outro);
    for (const auto& section : s) {
        EXPECT_GT(sectionDecibels(section), -40.0) << section.name; // nowhere silent
    }
}

TEST_F(MusicTest, ItStartsAndEndsInSilence) {
    const std::size_t samples = (wav.size() - WavWriter::headerSize) / 2;
    EXPECT_EQ(sample(0), 0);
    EXPECT_EQ(sample(1), 0);
    EXPECT_EQ(sample(samples - 2), 0);
    EXPECT_EQ(sample(samples - 1), 0);
}

// FNV-1a of the whole file: any change to the score, a voice or the mastering
// shows here; update the value together with data/amns.mp3 (scripts/make-content).
TEST_F(MusicTest, TheRenderingIsStable) {
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    for (const std::uint8_t byte : wav) {
        hash = (hash ^ byte) * 0x100000001b3ULL;
    }
    EXPECT_EQ(hash, 0xdd34457446c01a0eULL) << std::hex << hash;
}

TEST(ScoreTest, SectionsTileTheEightyOneBarsOnThePicturesSchedule) {
    const auto& sections = Score::sections();
    const double expectedStarts[] = {0, 14, 34, 56, 60, 86, 90, 138, 158};
    int bar = 0;
    for (std::size_t i = 0; i < sections.size(); ++i) {
        EXPECT_EQ(sections[i].firstBar, bar);
        EXPECT_DOUBLE_EQ(sections[i].firstBar * Score::bar, expectedStarts[i]);
        bar = sections[i].endBar;
    }
    EXPECT_EQ(bar, Score::bars);
    EXPECT_DOUBLE_EQ(Score::length, 162.0);
}

TEST(ScoreTest, EveryVoicePlaysAndTheGrooveWaitsForTheBlob) {
    const Score score = Score::compose();
    EXPECT_FALSE(score.pads.empty());
    EXPECT_FALSE(score.lead.empty());
    EXPECT_FALSE(score.plucks.empty());
    double firstBass = 1e9, firstKick = 1e9, lastNote = 0.0;
    for (const auto& note : score.bass) {
        firstBass = std::min(firstBass, note.start);
    }
    for (const auto& hit : score.drums) {
        if (hit.kind == tools::DrumSynth::Kind::kick) {
            firstKick = std::min(firstKick, hit.time);
        }
    }
    for (const auto& chord : score.pads) {
        lastNote = std::max(lastNote, chord.note.start + chord.note.duration);
    }
    EXPECT_DOUBLE_EQ(firstBass, 14.0);
    EXPECT_DOUBLE_EQ(firstKick, 14.0);
    EXPECT_LE(lastNote, 162.0);
}

} // namespace
} // namespace velmorra
