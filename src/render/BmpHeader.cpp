#include "render/BmpHeader.h"

#include <cstdio>

namespace velmorra {

namespace {

constexpr std::size_t fileHeaderSize = 14;
constexpr std::size_t coreHeaderSize = 12;
constexpr std::size_t infoHeaderSize = 40;
constexpr std::size_t masksSize = 12;

constexpr std::uint32_t embeddedJpeg = 4;
constexpr std::uint32_t embeddedPng = 5;

constexpr std::size_t info(std::size_t field) {
    return fileHeaderSize + field;
}

} // namespace

BmpHeader::BmpHeader(std::span<const std::uint8_t> bytes, int maxSide)
    : bytes(bytes), limit(maxSide) {}

bool BmpHeader::read(BmpLayout& layout) {
    return readFileHeader(layout) && readInfoHeader() && readSize(layout) &&
           readPixelFormat(layout) && readPalette(layout) && checkDataOffset(layout);
}

bool BmpHeader::refuse(std::string reason) {
    why = std::move(reason);
    return false;
}

std::uint32_t BmpHeader::u16(std::size_t offset) const {
    return static_cast<std::uint32_t>(bytes[offset] | bytes[offset + 1] << 8);
}

std::uint32_t BmpHeader::u32(std::size_t offset) const {
    return u16(offset) | u16(offset + 2) << 16;
}

bool BmpHeader::readFileHeader(BmpLayout& layout) {
    if (!has(fileHeaderSize + 4)) {
        return refuse("header cut short");
    }
    if (bytes[0] != 'B' || bytes[1] != 'M') {
        return refuse("not a BMP file");
    }
    layout.dataOffset = u32(10);
    infoSize = u32(fileHeaderSize);
    return true;
}

bool BmpHeader::readInfoHeader() {
    if (infoSize == coreHeaderSize) {
        return refuse("OS/2 core header");
    }
    if (infoSize != 40 && infoSize != 52 && infoSize != 56 && infoSize != 108 && infoSize != 124) {
        return refuse("info header of " + std::to_string(infoSize) + " bytes");
    }
    if (!has(fileHeaderSize + infoSize)) {
        return refuse("header cut short");
    }
    return true;
}

bool BmpHeader::readSize(BmpLayout& layout) {
    const auto width = static_cast<std::int32_t>(u32(info(4)));
    const auto height = static_cast<std::int32_t>(u32(info(8)));
    const std::int64_t rows = height < 0 ? -std::int64_t{height} : height;
    if (width <= 0 || width > limit || rows == 0 || rows > limit) {
        return refuse("size " + std::to_string(width) + " x " + std::to_string(height));
    }
    layout.width = width;
    layout.height = static_cast<int>(rows);
    layout.topDown = height < 0;
    return true;
}

bool BmpHeader::readPixelFormat(BmpLayout& layout) {
    const int bits = static_cast<int>(u16(info(14)));
    layout.bits = bits;
    layout.compression = u32(info(16));
    switch (layout.compression) {
    case BmpLayout::uncompressed:
        if (bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32) {
            return true;
        }
        return refuse(std::to_string(bits) + "-bit pixels");
    case BmpLayout::bitFields:
        return readBitFields(layout);
    case BmpLayout::runLength8:
        return checkRunLength(layout, 8, "RLE8");
    case BmpLayout::runLength4:
        return checkRunLength(layout, 4, "RLE4");
    case embeddedJpeg:
        return refuse("embedded JPEG");
    case embeddedPng:
        return refuse("embedded PNG");
    default:
        return refuse("compression " + std::to_string(layout.compression));
    }
}

// Runs are coded for one pixel size only, and always bottom row first.
bool BmpHeader::checkRunLength(const BmpLayout& layout, int bits, const char* name) {
    if (layout.bits != bits) {
        return refuse(std::string(name) + " compression of " + std::to_string(layout.bits) +
                      "-bit pixels");
    }
    if (layout.topDown) {
        return refuse(std::string("top-down ") + name + " compression");
    }
    return true;
}

// The masks follow a 40-byte header and are part of the longer ones: at the same place. Read
// exactly: 8-8-8 in 32 bits, and 5-5-5 or 5-6-5 in 16 bits.
bool BmpHeader::readBitFields(BmpLayout& layout) {
    if (layout.bits != 16 && layout.bits != 32) {
        return refuse(std::to_string(layout.bits) + "-bit pixels with bit fields");
    }
    const std::size_t at = fileHeaderSize + infoHeaderSize;
    if (!has(at + masksSize)) {
        return refuse("header cut short");
    }
    const std::uint32_t red = u32(at);
    const std::uint32_t green = u32(at + 4);
    const std::uint32_t blue = u32(at + 8);
    if (layout.bits == 32 && red == 0x00ff0000 && green == 0x0000ff00 && blue == 0x000000ff) {
        return true;
    }
    if (layout.bits == 16 && blue == 0x001f &&
        ((red == 0x7c00 && green == 0x03e0) || (red == 0xf800 && green == 0x07e0))) {
        layout.greenBits = green == 0x07e0 ? 6 : 5;
        return true;
    }
    char masks[64];
    std::snprintf(masks, sizeof masks, "bit fields %08x %08x %08x", red, green, blue);
    return refuse(masks);
}

bool BmpHeader::readPalette(BmpLayout& layout) {
    if (layout.bits > 8) {
        return true;
    }
    const std::uint32_t largest = 1u << layout.bits;
    const std::uint32_t used = u32(info(32));
    const std::uint32_t count = used == 0 ? largest : used;
    if (count > largest) {
        return refuse("palette of " + std::to_string(used) + " colours");
    }
    const std::size_t start = fileHeaderSize + infoSize;
    if (!has(start + count * 4)) {
        return refuse("palette cut short");
    }
    for (std::size_t entry = start; entry < start + count * 4; entry += 4) {
        layout.palette.push_back({bytes[entry + 2], bytes[entry + 1], bytes[entry]});
    }
    return true;
}

bool BmpHeader::checkDataOffset(const BmpLayout& layout) {
    std::size_t headerEnd = fileHeaderSize + infoSize + layout.palette.size() * 4;
    if (layout.compression == BmpLayout::bitFields && infoSize == infoHeaderSize) {
        headerEnd += masksSize;
    }
    if (layout.dataOffset < headerEnd) {
        return refuse("pixel data offset " + std::to_string(layout.dataOffset) +
                      " inside the header");
    }
    return true;
}

} // namespace velmorra
