#include "render/BmpRunDecoder.h"

#include <algorithm>

namespace velmorra {

namespace {

constexpr std::uint8_t endOfRow = 0;
constexpr std::uint8_t endOfPicture = 1;
constexpr std::uint8_t delta = 2;

} // namespace

BmpRunDecoder::BmpRunDecoder(std::span<const std::uint8_t> bytes, const BmpLayout& layout)
    : bytes(bytes), layout(layout), name(layout.bits == 4 ? "RLE4" : "RLE8"),
      paddedWidth(
          static_cast<std::int64_t>(layout.stride() * 8 / static_cast<std::size_t>(layout.bits))),
      at(layout.dataOffset), codeAt(layout.dataOffset) {}

bool BmpRunDecoder::decode(std::vector<std::uint8_t>& rgb) {
    const BmpRgb& background = layout.palette.front();
    rgb.resize(static_cast<std::size_t>(layout.width) * layout.height * 3);
    for (std::size_t pixel = 0; pixel < rgb.size(); pixel += 3) {
        std::copy(background.begin(), background.end(), rgb.begin() + pixel);
    }
    Step result = Step::next;
    while (result == Step::next) {
        result = step(rgb);
    }
    return result == Step::end;
}

BmpRunDecoder::Step BmpRunDecoder::step(std::vector<std::uint8_t>& rgb) {
    if (at >= bytes.size() || bytes.size() - at < 2) {
        return Step::end;
    }
    codeAt = at;
    const std::uint8_t count = bytes[at];
    const std::uint8_t value = bytes[at + 1];
    at += 2;
    return count == 0 ? escape(value, rgb) : run(count, value, rgb);
}

BmpRunDecoder::Step BmpRunDecoder::escape(std::uint8_t code, std::vector<std::uint8_t>& rgb) {
    switch (code) {
    case endOfRow:
        x = 0;
        ++y;
        return Step::next;
    case endOfPicture:
        return Step::end;
    case delta:
        return move();
    default:
        return absolute(code, rgb);
    }
}

BmpRunDecoder::Step BmpRunDecoder::run(unsigned count, std::uint8_t value,
                                       std::vector<std::uint8_t>& rgb) {
    for (unsigned i = 0; i < count; ++i) {
        const unsigned index = layout.bits == 8 ? value : (i % 2 == 0 ? value >> 4 : value & 0xf);
        if (!put(index, rgb)) {
            return Step::failed;
        }
    }
    return Step::next;
}

// The indices as they stand, then padding to an even number of bytes.
BmpRunDecoder::Step BmpRunDecoder::absolute(unsigned count, std::vector<std::uint8_t>& rgb) {
    const std::size_t length = layout.bits == 8 ? count : (count + 1) / 2;
    for (unsigned i = 0; i < count; ++i) {
        const std::size_t byte = at + (layout.bits == 8 ? i : i / 2);
        if (byte >= bytes.size()) {
            return Step::end;
        }
        const unsigned index =
            layout.bits == 8 ? bytes[byte] : (i % 2 == 0 ? bytes[byte] >> 4 : bytes[byte] & 0xf);
        if (!put(index, rgb)) {
            return Step::failed;
        }
    }
    at += length + length % 2;
    return Step::next;
}

BmpRunDecoder::Step BmpRunDecoder::move() {
    if (bytes.size() - at < 2) {
        return Step::end;
    }
    x += bytes[at];
    y += bytes[at + 1];
    at += 2;
    if (x > paddedWidth || y > layout.height) {
        return fail("delta past the picture");
    }
    return Step::next;
}

bool BmpRunDecoder::put(unsigned index, std::vector<std::uint8_t>& rgb) {
    if (y >= layout.height) {
        fail("run above the top row");
        return false;
    }
    if (x >= paddedWidth) {
        fail("run past the end of a row");
        return false;
    }
    if (index >= layout.palette.size()) {
        fail("palette index past the palette");
        return false;
    }
    if (x < layout.width) {
        const BmpRgb& colour = layout.palette[index];
        std::copy(colour.begin(), colour.end(),
                  rgb.begin() + static_cast<std::ptrdiff_t>((y * layout.width + x) * 3));
    }
    ++x;
    return true;
}

BmpRunDecoder::Step BmpRunDecoder::fail(const char* what) {
    why = std::string(name) + " " + what + " at byte " + std::to_string(codeAt);
    return Step::failed;
}

} // namespace velmorra
