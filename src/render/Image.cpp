#include "render/Image.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <memory>

namespace velmorra {

namespace {

constexpr std::size_t fileHeaderSize = 14;
constexpr std::size_t coreHeaderSize = 12;
constexpr std::size_t infoHeaderSize = 40;
constexpr std::size_t masksSize = 12;
// The file header, the largest info header, bit masks and a full 8-bit palette: everything
// before the pixel rows that the reader ever looks at.
constexpr std::size_t largestPreamble = fileHeaderSize + 124 + masksSize + 256 * 4;

constexpr std::uint32_t uncompressed = 0;
constexpr std::uint32_t runLength8 = 1;
constexpr std::uint32_t runLength4 = 2;
constexpr std::uint32_t bitFields = 3;
constexpr std::uint32_t embeddedJpeg = 4;
constexpr std::uint32_t embeddedPng = 5;

using Rgb = std::array<std::uint8_t, 3>;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

std::uint32_t readUnsigned(std::span<const std::uint8_t> bytes, std::size_t offset,
                           std::size_t size) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < size; ++i) {
        value |= static_cast<std::uint32_t>(bytes[offset + i]) << (8 * i);
    }
    return value;
}

// Where and how the pixel rows of an accepted file lie.
struct Layout {
    int width = 0;
    int height = 0;
    bool topDown = false;
    int bits = 0;
    std::size_t dataOffset = 0;
    std::vector<Rgb> palette; // for 1-, 4- and 8-bit pixels

    std::size_t stride() const {
        return (static_cast<std::size_t>(width) * static_cast<std::size_t>(bits) + 31) / 32 * 4;
    }
    std::size_t dataEnd() const { return dataOffset + stride() * static_cast<std::size_t>(height); }
};

// Reads the headers (and the palette) in front of the pixel rows; the rows themselves need not
// be there. Refuses, naming why, anything it cannot read exactly.
class HeaderReader {
  public:
    HeaderReader(std::span<const std::uint8_t> bytes, int maxSide)
        : bytes(bytes), limit(std::min(maxSide, Image::largestSide)) {}

    bool read(Layout& layout) {
        return readFileHeader(layout) && readInfoHeader() && readSize(layout) &&
               readPixelFormat(layout) && readPalette(layout) && checkDataOffset(layout);
    }
    const std::string& refusal() const { return why; }

  private:
    bool refuse(std::string reason) {
        why = std::move(reason);
        return false;
    }
    bool has(std::size_t length) const { return bytes.size() >= length; }
    std::uint32_t u16(std::size_t offset) const { return readUnsigned(bytes, offset, 2); }
    std::uint32_t u32(std::size_t offset) const { return readUnsigned(bytes, offset, 4); }
    std::size_t info(std::size_t field) const { return fileHeaderSize + field; }

    bool readFileHeader(Layout& layout) {
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

    bool readInfoHeader() {
        if (infoSize == coreHeaderSize) {
            return refuse("OS/2 core header");
        }
        if (infoSize != 40 && infoSize != 52 && infoSize != 56 && infoSize != 108 &&
            infoSize != 124) {
            return refuse("info header of " + std::to_string(infoSize) + " bytes");
        }
        if (!has(fileHeaderSize + infoSize)) {
            return refuse("header cut short");
        }
        return true;
    }

    bool readSize(Layout& layout) {
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

    bool readPixelFormat(Layout& layout) {
        layout.bits = static_cast<int>(u16(info(14)));
        compression = u32(info(16));
        const std::string bits = std::to_string(layout.bits) + "-bit pixels";
        switch (compression) {
        case uncompressed:
            if (layout.bits == 1 || layout.bits == 4 || layout.bits == 8 || layout.bits == 24 ||
                layout.bits == 32) {
                return true;
            }
            return refuse(bits);
        case bitFields:
            return layout.bits == 32 ? checkMasks() : refuse(bits + " with bit fields");
        case runLength8:
            return refuse("RLE8 compression");
        case runLength4:
            return refuse("RLE4 compression");
        case embeddedJpeg:
            return refuse("embedded JPEG");
        case embeddedPng:
            return refuse("embedded PNG");
        default:
            return refuse("compression " + std::to_string(compression));
        }
    }

    // The masks follow a 40-byte header and are part of the longer ones: at the same place.
    bool checkMasks() {
        const std::size_t at = fileHeaderSize + infoHeaderSize;
        if (!has(at + masksSize)) {
            return refuse("header cut short");
        }
        if (u32(at) != 0x00ff0000 || u32(at + 4) != 0x0000ff00 || u32(at + 8) != 0x000000ff) {
            char masks[64];
            std::snprintf(masks, sizeof masks, "bit fields %08x %08x %08x", u32(at), u32(at + 4),
                          u32(at + 8));
            return refuse(masks);
        }
        return true;
    }

    bool readPalette(Layout& layout) {
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

    bool checkDataOffset(const Layout& layout) {
        std::size_t headerEnd = fileHeaderSize + infoSize + layout.palette.size() * 4;
        if (compression == bitFields && infoSize == infoHeaderSize) {
            headerEnd += masksSize;
        }
        if (layout.dataOffset < headerEnd) {
            return refuse("pixel data offset " + std::to_string(layout.dataOffset) +
                          " inside the header");
        }
        return true;
    }

    std::span<const std::uint8_t> bytes;
    int limit;
    std::uint32_t infoSize = 0;
    std::uint32_t compression = 0;
    std::string why;
};

// Decodes the pixel rows into RGB, bottom row first. A pixel that lies past the end of the file
// repeats the last pixel read; a palette index past the palette refuses the file.
class RowDecoder {
  public:
    RowDecoder(std::span<const std::uint8_t> bytes, const Layout& layout)
        : bytes(bytes), layout(layout) {}

    bool decode(std::vector<std::uint8_t>& rgb) {
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

  private:
    // Leaves the pixel in `last`, unchanged when the pixel lies past the end of the file.
    bool readPixel(std::size_t rowStart, std::size_t column) {
        if (layout.bits >= 24) {
            const std::size_t at = rowStart + column * static_cast<std::size_t>(layout.bits / 8);
            if (at + 3 <= bytes.size()) {
                last = {bytes[at + 2], bytes[at + 1], bytes[at]};
            }
            return true;
        }
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

    std::span<const std::uint8_t> bytes;
    const Layout& layout;
    Rgb last{};
};

std::size_t fileSize(std::FILE* file) {
    if (std::fseek(file, 0, SEEK_END) != 0) {
        return 0;
    }
    const long size = std::ftell(file);
    std::rewind(file);
    return size > 0 ? static_cast<std::size_t>(size) : 0;
}

void readMore(std::FILE* file, std::vector<std::uint8_t>& bytes, std::size_t length) {
    const std::size_t had = bytes.size();
    if (length <= had) {
        return;
    }
    bytes.resize(length);
    bytes.resize(had + std::fread(bytes.data() + had, 1, length - had, file));
}

} // namespace

Image::Image() : pixels(1, 0) {}

// The headers first, so that a refused file costs no more than its preamble, then the rows as
// far as the file has them.
bool Image::load(const std::string& fileName, int maxSide) {
    const FileHandle file(std::fopen(fileName.c_str(), "rb"));
    refusal.clear();
    if (!file) {
        return false;
    }
    const std::size_t size = fileSize(file.get());
    std::vector<std::uint8_t> bytes;
    readMore(file.get(), bytes, std::min(size, largestPreamble));
    Layout layout;
    HeaderReader header(bytes, maxSide);
    if (!header.read(layout)) {
        refusal = header.refusal();
        return false;
    }
    readMore(file.get(), bytes, std::min(size, layout.dataEnd()));
    return loadFromMemory(bytes, maxSide);
}

bool Image::loadFromMemory(std::span<const std::uint8_t> bytes, int maxSide) {
    Layout layout;
    HeaderReader header(bytes, maxSide);
    if (!header.read(layout)) {
        refusal = header.refusal();
        return false;
    }
    if (layout.dataOffset >= bytes.size()) {
        refusal = "no pixel data";
        return false;
    }
    std::vector<std::uint8_t> rgb;
    if (!RowDecoder(bytes, layout).decode(rgb)) {
        refusal = "palette index past the palette";
        return false;
    }
    pixels = std::move(rgb);
    width = layout.width;
    height = layout.height;
    refusal.clear();
    return true;
}

} // namespace velmorra
