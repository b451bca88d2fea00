#include "platform/Sound.h"
#include "platform/VideoSystem.h"
#include "platform/TestMusic.h"
#include "support/TempDirectory.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_mixer.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace velmorra {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Every test plays into SDL's "disk" audio driver, which writes the mixed output
// to a file at the pace of a real device.
class SoundTest : public ::testing::Test {
  protected:
    void SetUp() override {
        output = directory.path() / "audio.raw";
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", output.c_str(), 1);
    }
    void TearDown() override {
        unsetenv("SDL_AUDIODRIVER");
        unsetenv("SDL_DISKAUDIOFILE");
    }

    std::filesystem::path makeMp3(const char* name, const std::vector<test::ToneSegment>& parts) {
        const std::filesystem::path path = directory.path() / name;
        return test::makeTestMp3(path, parts) ? path : std::filesystem::path();
    }

    // Plays `fileName` for about `duration`, closes the player and returns the left
    // channel written, with the seconds the device was open.
    std::vector<std::int16_t> playFor(const std::string& fileName,
                                      std::chrono::milliseconds duration,
                                      double* secondsOpen = nullptr) {
        const auto opened = Clock::now();
        {
            Sound sound;
            sound.play(fileName.c_str());
            std::this_thread::sleep_for(duration);
        }
        if (secondsOpen != nullptr) {
            *secondsOpen = std::chrono::duration<double>(Clock::now() - opened).count();
        }
        return test::readLeftChannel(output);
    }

    test::TempDirectory directory;
    std::filesystem::path output;
};

#define REQUIRE_LAME()                                                                             \
    if (!test::haveLame())                                                                         \
    GTEST_FAIL() << "lame is not installed"

TEST_F(SoundTest, OpensTheMixerAt44100HzStereo16BitWith16Channels) {
    Sound sound;
    int frequency = 0;
    Uint16 format = 0;
    int channels = 0;
    ASSERT_EQ(Mix_QuerySpec(&frequency, &format, &channels), 1);
    EXPECT_EQ(frequency, 44100);
    EXPECT_EQ(format, AUDIO_S16SYS);
    EXPECT_EQ(channels, 2);
    EXPECT_EQ(Mix_AllocateChannels(-1), 16);
    EXPECT_STREQ(SDL_GetCurrentAudioDriver(), "disk");
}

TEST_F(SoundTest, DestructionClosesTheLibrary) {
    { Sound sound; }
    EXPECT_EQ(Mix_QuerySpec(nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);
    EXPECT_EQ(Mix_Init(0), 0) << "Mix_Quit ran";
}

TEST_F(SoundTest, PlaysTheMusicDecodedAtTheMixRate) {
    REQUIRE_LAME();
    const auto music = makeMp3("tone.mp3", {{3.0, 441.0}});
    ASSERT_FALSE(music.empty());
    double secondsOpen = 0.0;
    const std::vector<std::int16_t> left = playFor(music.string(), 1500ms, &secondsOpen);

    // The device consumed samples at about 44 100 frames a second.
    const double rate = static_cast<double>(left.size()) / secondsOpen;
    EXPECT_GT(rate, 44100.0 * 0.75) << left.size() << " frames in " << secondsOpen << " s";
    EXPECT_LT(rate, 44100.0 * 1.25) << left.size() << " frames in " << secondsOpen << " s";

    // What was written is the music: loud, and a 441 Hz tone at 44.1 kHz has
    // 882 zero crossings a second.
    const auto levels = test::windowLevels(left);
    const auto loud =
        std::count_if(levels.begin(), levels.end(), [](double l) { return l > 5000; });
    EXPECT_GT(loud, 100) << "at least a second of music";
    const auto first =
        std::find_if(levels.begin(), levels.end(), [](double l) { return l > 5000; });
    ASSERT_NE(first, levels.end());
    const std::size_t start = static_cast<std::size_t>(first - levels.begin()) * 441 + 4410;
    ASSERT_LT(start + 44100, left.size());
    int crossings = 0;
    for (std::size_t index = start + 1; index < start + 44100; ++index) {
        if ((left[index - 1] < 0) != (left[index] < 0)) {
            ++crossings;
        }
    }
    EXPECT_NEAR(crossings, 882, 10);
}

TEST_F(SoundTest, MissingFileLeavesItRunningInSilence) {
    const std::vector<std::int16_t> left = playFor("./data/none.mp3", 500ms);
    EXPECT_GT(left.size(), 4410u) << "the device kept running";
    EXPECT_TRUE(test::allSilent(left));
}

TEST_F(SoundTest, GarbageFileLeavesItRunningInSilence) {
    const std::filesystem::path garbage = directory.path() / "garbage.mp3";
    {
        std::ofstream file(garbage, std::ios::binary);
        for (int line = 0; line < 2000; ++line) {
            file << "This is not music, only words where an MP3 should be. " << line << "\n";
        }
    }
    const std::vector<std::int16_t> left = playFor(garbage.string(), 500ms);
    EXPECT_GT(left.size(), 4410u) << "the device kept running";
    EXPECT_TRUE(test::allSilent(left));
}

TEST_F(SoundTest, LoopsBackToTheStartAtTheEnd) {
    REQUIRE_LAME();
    // 0.25 s of tone then 0.35 s of silence: every loop starts with a new onset.
    const auto music = makeMp3("short.mp3", {{0.25, 660.0}, {0.35, 0.0}});
    ASSERT_FALSE(music.empty());
    const auto levels = test::windowLevels(playFor(music.string(), 2400ms));

    std::vector<std::size_t> onsets;
    bool loud = false;
    for (std::size_t index = 0; index < levels.size(); ++index) {
        if (!loud && levels[index] > 3000) {
            onsets.push_back(index);
        }
        loud = levels[index] > (loud ? 1000 : 3000);
    }
    ASSERT_GE(onsets.size(), 3u) << "the track of 0.6 s played at least three times";
    for (std::size_t index = 1; index < onsets.size(); ++index) {
        const double period = (onsets[index] - onsets[index - 1]) / 100.0;
        EXPECT_NEAR(period, 0.6, 0.08) << "loop " << index;
    }
}

TEST_F(SoundTest, WithoutAnAudioDeviceEverythingIsSilentlySkipped) {
    REQUIRE_LAME();
    const auto music = makeMp3("tone.mp3", {{0.5, 441.0}});
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    Sound sound;
    sound.play(music.c_str());
    EXPECT_EQ(Mix_PlayingMusic(), 0);
    EXPECT_FALSE(std::filesystem::exists(output));
}

// Silence is kept, but the log says why, in SDL_mixer's words.
TEST_F(SoundTest, MusicThatCannotPlayIsLoggedWithTheReason) {
    const std::filesystem::path garbage = directory.path() / "garbage.mp3";
    std::ofstream(garbage) << "not music\n";
    const struct {
        const char* driver;
        std::string file;
        const char* reason;
    } cases[] = {
        {"disk", "./data/none.mp3", "Couldn't open './data/none.mp3'"},
        // The decoder's own words, whichever decoder SDL_mixer was built with.
        {"disk", garbage.string(), ""},
        {"no-such-driver", "./data/none.mp3", "Audio target 'no-such-driver' not available"},
    };
    for (const auto& [driver, file, reason] : cases) {
        setenv("SDL_AUDIODRIVER", driver, 1);
        test::LogCapture log;
        {
            Sound sound;
            sound.play(file.c_str());
        }
        const std::string text = log.text();
        const std::string prefix = "Warning: music not played: ";
        EXPECT_EQ(text.rfind(prefix + reason, 0), 0u) << text;
        EXPECT_GT(text.size(), prefix.size() + 1) << "a reason is given";
        EXPECT_EQ(text.find('\n'), text.size() - 1) << "one line: " << text;
    }
}

// The music and the display share SDL: each stops only its own subsystem.
TEST_F(SoundTest, AudioAndVideoDoNotTearEachOtherDown) {
    if (SDL_getenv("DISPLAY") == nullptr) {
        GTEST_FAIL() << "no X server";
    }
    REQUIRE_LAME();
    const auto music = makeMp3("tone.mp3", {{1.0, 441.0}});
    {
        Sound sound;
        sound.play(music.c_str());
        ASSERT_EQ(startVideoSystem(), 0);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        EXPECT_NE(SDL_WasInit(SDL_INIT_AUDIO), 0u);
        EXPECT_EQ(Mix_PlayingMusic(), 1);
    }
    ASSERT_EQ(startVideoSystem(), 0);
    for (const char* driver : {"disk", "no-such-driver"}) {
        setenv("SDL_AUDIODRIVER", driver, 1);
        { Sound sound; }
        EXPECT_NE(SDL_WasInit(SDL_INIT_VIDEO), 0u) << driver;
        EXPECT_NE(SDL_WasInit(SDL_INIT_EVENTS), 0u) << driver;
    }
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    EXPECT_EQ(SDL_WasInit(SDL_INIT_EVENTS), 0u);
}

} // namespace
} // namespace velmorra
