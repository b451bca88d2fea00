#pragma once

#include "render/BmpLayout.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace velmorra {

// Decodes uncompressed BMP rows (palette, 16-, 24- and 32-bit pixels) into RGB, bottom row
// first. A pixel that lies past the end of the file repeats the last pixel read.
class BmpRowDecoder {
  public:
    BmpRowDecoder(std::span<const std::uint8_t> bytes, const BmpLayout& layout);

    // False when a palette index lies past the palette.
    bool decode(std::vector<std::uint8_t>& rgb);

  private:
    bool readPixel(std::size_t rowStart, std::size_t column);
    void readSixteen(std::size_t at);
    bool readIndex(std::size_t rowStart, std::size_t column);

    std::span<const std::uint8_t> bytes;
    const BmpLayout& layout;
    BmpRgb last{};
};

} // namespace velmorra
