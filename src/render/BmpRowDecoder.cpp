#include "render/BmpRowDecoder.h"

#include <algorithm>

namespace velmorra {

namespace {

// Widens a channel of `bits` bits to 8 by repeating its high bits in the low ones, so that
// 0 stays 0 and the largest value becomes 255.
std::uint8_t widen(unsigned value, int bits) {
    return static_cast<std::uint8_t>(value << (8 - bits) | value >> (2 * bits - 8));
}

} // namespace

BmpRowDecoder::BmpRowDecoder(std::span<const std::uint8_t> bytes, const BmpLayout& layout)
    : bytes(bytes), layout(layout) {}

bool BmpRowDecoder::decode(std::vector<std::uint8_t>& rgb) {
    rgb.assign(static_cast<std::size_t>(layout.width) * layout.height * 3, 0);
    const std::size_t rowBytes = static_cast<std::size_t>(layout.width) * 3;
    for (int fileRow = 0; fileRow < layout.height; ++fileRow) {
        const int row = layout.topDown ? layout.height - 1 - fileRow : fileRow;
        std::uint8_t* out = rgb.data() + static_cast<std::size_t>(row) * rowBytes;
        const std::size_t rowStart =
            layout.dataOffset + static_cast<std::size_t>(fileRow) * layout.stride();
        for (int column = 0; column < layout.width; ++column) {
            if (!readPixel(rowStart, static_cast<std::size_t>(column))) {
                return false;
            }
            std::copy(last.begin(), last.end(), out + static_cast<std::size_t>(column) * 3);
        }
    }
    return true;
}

// Leaves the pixel in `last`, unchanged when the pixel lies past the end of the file.
bool BmpRowDecoder::readPixel(std::size_t rowStart, std::size_t column) {
    if (layout.bits <= 8) {
        return readIndex(rowStart, column);
    }
    const std::size_t at = rowStart + column * static_cast<std::size_t>(layout.bits / 8);
    if (layout.bits == 16) {
        readSixteen(at);
    } else if (at + 3 <= bytes.size()) {
        last = {bytes[at + 2], bytes[at + 1], bytes[at]};
    }
    return true;
}

// 5-5-5 (the top bit unused) or 5-6-5, red in the high bits.
void BmpRowDecoder::readSixteen(std::size_t at) {
    if (at + 2 > bytes.size()) {
        return;
    }
    const unsigned value = bytes[at] | static_cast<unsigned>(bytes[at + 1]) << 8;
    const int green = layout.greenBits;
    last = {widen(value >> (5 + green) & 0x1f, 5), widen(value >> 5 & ((1u << green) - 1), green),
            widen(value & 0x1f, 5)};
}

bool BmpRowDecoder::readIndex(std::size_t rowStart, std::size_t column) {
    const std::size_t bit = column * static_cast<std::size_t>(layout.bits);
    const std::size_t at = rowStart + bit / 8;
    if (at >= bytes.size()) {
        return true;
    }
    const int shift = 8 - layout.bits - static_cast<int>(bit % 8);
    const std::size_t index = (bytes[at] >> shift) & ((1u << layout.bits) - 1);
    if (index >= layout.palette.size()) {
        return false;
    }
    last = layout.palette[index];
    return true;
}

} // namespace velmorra
