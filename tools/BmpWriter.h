#pragma once

#include "Canvas.h"

#include <cstdint>
#include <string>
#include <vector>

namespace velmorra::tools {

// Writes a canvas as an uncompressed 24-bit BMP: the 54-byte header followed
// directly by the rows, bottom row first, blue-green-red, each row padded to a
// multiple of four bytes. That is the only layout the demo's reader takes.
class BmpWriter {
  public:
    static constexpr std::uint32_t headerSize = 54;

    static std::vector<std::uint8_t> encode(const Canvas& canvas);
    static bool write(const Canvas& canvas, const std::string& fileName);

    // A channel value clamped to [0, 1] and rounded to the nearest byte.
    static std::uint8_t toByte(float value);
};

} // namespace velmorra::tools
