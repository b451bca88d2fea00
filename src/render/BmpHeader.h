#pragma once

#include "render/BmpLayout.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace velmorra {

// Reads the headers (and the palette) in front of a BMP file's pixels; the pixels themselves
// need not be there. Refuses, naming why, anything the decoders cannot read exactly.
class BmpHeader {
  public:
    // File header, the largest info header, bit masks and a full 8-bit palette: everything before
    // the pixels that is ever looked at.
    static constexpr std::size_t largestPreamble = 14 + 124 + 12 + 256 * 4;

    // Sides above maxSide are refused.
    BmpHeader(std::span<const std::uint8_t> bytes, int maxSide);

    bool read(BmpLayout& layout);
    const std::string& refusal() const { return why; }

  private:
    bool refuse(std::string reason);
    bool has(std::size_t length) const { return bytes.size() >= length; }
    std::uint32_t u16(std::size_t offset) const;
    std::uint32_t u32(std::size_t offset) const;

    bool readFileHeader(BmpLayout& layout);
    bool readInfoHeader();
    bool readSize(BmpLayout& layout);
    bool readPixelFormat(BmpLayout& layout);
    bool checkRunLength(const BmpLayout& layout, int bits, const char* name);
    bool readBitFields(BmpLayout& layout);
    bool readPalette(BmpLayout& layout);
    bool checkDataOffset(const BmpLayout& layout);

    std::span<const std::uint8_t> bytes;
    int limit;
    std::uint32_t infoSize = 0;
    std::string why;
};

} // namespace velmorra
