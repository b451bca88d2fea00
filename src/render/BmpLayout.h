#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

namespace velmorra {

using BmpRgb = std::array<std::uint8_t, 3>;

// Where and how the pixels of an accepted BMP file lie, as its headers say.
struct BmpLayout {
    static constexpr std::uint32_t uncompressed = 0;
    static constexpr std::uint32_t runLength8 = 1;
    static constexpr std::uint32_t runLength4 = 2;
    static constexpr std::uint32_t bitFields = 3;

    int width = 0;
    int height = 0;
    bool topDown = false;
    int bits = 0;
    std::uint32_t compression = uncompressed;
    std::size_t dataOffset = 0;
    std::vector<BmpRgb> palette; // for 1-, 4- and 8-bit pixels
    int greenBits = 5;           // for 16-bit pixels: 5-5-5 or 5-6-5

    bool runLength() const { return compression == runLength8 || compression == runLength4; }
    std::size_t stride() const {
        return (static_cast<std::size_t>(width) * static_cast<std::size_t>(bits) + 31) / 32 * 4;
    }
    // Run-length data has no size known from the headers: it may reach the end of the file.
    std::size_t dataEnd() const {
        return runLength() ? std::numeric_limits<std::size_t>::max()
                           : dataOffset + stride() * static_cast<std::size_t>(height);
    }
};

} // namespace velmorra
