#pragma once

// Short MP3 files for the music tests, and the reading of what SDL's "disk" audio
// driver wrote. The tests synthesise a WAV themselves and encode it with lame (a
// test-time tool, installed by scripts/install-deps --test). Header-only.

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <numbers>
#include <string>
#include <vector>

namespace velmorra::test {

constexpr int musicRate = 44100;
// SDL's disk driver writes the device's format as it is: 16-bit stereo frames.
constexpr int bytesPerFrame = 4;

// One stretch of a test track: a sine of `frequency` Hz, or silence for 0.
struct ToneSegment {
    double seconds;
    double frequency;
};

inline bool haveLame() {
    return std::system("command -v lame >/dev/null 2>&1") == 0;
}

inline void writeLittleEndian(std::ofstream& file, std::uint32_t value, int bytes) {
    for (int index = 0; index < bytes; ++index) {
        file.put(static_cast<char>((value >> (8 * index)) & 0xff));
    }
}

// A 44.1 kHz 16-bit stereo WAV of the segments, at half of full scale.
inline void writeWav(const std::filesystem::path& path, const std::vector<ToneSegment>& segments) {
    std::vector<std::int16_t> samples;
    for (const ToneSegment& segment : segments) {
        const auto frames = static_cast<long>(std::lround(segment.seconds * musicRate));
        for (long frame = 0; frame < frames; ++frame) {
            const double phase = 2.0 * std::numbers::pi * segment.frequency * frame / musicRate;
            const auto value = static_cast<std::int16_t>(std::lround(16000.0 * std::sin(phase)));
            samples.push_back(value);
            samples.push_back(value);
        }
    }
    const auto dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
    std::ofstream file(path, std::ios::binary);
    file.write("RIFF", 4);
    writeLittleEndian(file, 36 + dataBytes, 4);
    file.write("WAVEfmt ", 8);
    writeLittleEndian(file, 16, 4);
    writeLittleEndian(file, 1, 2); // PCM
    writeLittleEndian(file, 2, 2);
    writeLittleEndian(file, musicRate, 4);
    writeLittleEndian(file, musicRate * bytesPerFrame, 4);
    writeLittleEndian(file, bytesPerFrame, 2);
    writeLittleEndian(file, 16, 2);
    file.write("data", 4);
    writeLittleEndian(file, dataBytes, 4);
    for (const std::int16_t sample : samples) {
        writeLittleEndian(file, static_cast<std::uint16_t>(sample), 2);
    }
}

// Encodes the segments as an MP3 at `path`; false when lame is missing or fails.
inline bool makeTestMp3(const std::filesystem::path& path,
                        const std::vector<ToneSegment>& segments) {
    const std::filesystem::path wav = path.string() + ".wav";
    writeWav(wav, segments);
    const std::string command =
        "lame --quiet -b 160 '" + wav.string() + "' '" + path.string() + "' 2>/dev/null";
    const bool made = std::system(command.c_str()) == 0 && std::filesystem::exists(path);
    std::filesystem::remove(wav);
    return made;
}

// The left channel of the raw 16-bit stereo stream that the disk driver wrote.
inline std::vector<std::int16_t> readLeftChannel(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(file)),
                                  std::istreambuf_iterator<char>());
    std::vector<std::int16_t> left;
    for (std::size_t offset = 0; offset + bytesPerFrame <= bytes.size(); offset += bytesPerFrame) {
        const auto low = static_cast<std::uint8_t>(bytes[offset]);
        const auto high = static_cast<std::uint8_t>(bytes[offset + 1]);
        left.push_back(static_cast<std::int16_t>(low | high << 8));
    }
    return left;
}

inline bool allSilent(const std::vector<std::int16_t>& samples) {
    for (const std::int16_t sample : samples) {
        if (sample != 0) {
            return false;
        }
    }
    return true;
}

// Root mean square of each 10 ms window.
inline std::vector<double> windowLevels(const std::vector<std::int16_t>& samples) {
    constexpr std::size_t window = musicRate / 100;
    std::vector<double> levels;
    for (std::size_t start = 0; start + window <= samples.size(); start += window) {
        double sum = 0.0;
        for (std::size_t index = start; index < start + window; ++index) {
            sum += static_cast<double>(samples[index]) * samples[index];
        }
        levels.push_back(std::sqrt(sum / window));
    }
    return levels;
}

} // namespace velmorra::test
