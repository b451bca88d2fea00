#pragma once

#include "music/StereoBuffer.h"

#include <cstdint>
#include <string>
#include <vector>

namespace velmorra::tools {

// Writes a stereo buffer as a 16-bit PCM WAV file (RIFF, little-endian).
class WavWriter {
  public:
    static constexpr std::uint32_t headerSize = 44;

    static std::vector<std::uint8_t> encode(const StereoBuffer& buffer);
    static bool write(const StereoBuffer& buffer, const std::string& fileName);

    // Rounded to the nearest step and clamped to the 16-bit range.
    static std::int16_t toSample(float value);
};

} // namespace velmorra::tools
