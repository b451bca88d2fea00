#pragma once

// Writes small BMP files for the tests in the layouts image programs write (info headers of 12,
// 40, 52, 56, 108 and 124 bytes; 1-, 4-, 8-, 16-, 24- and 32-bit pixels; palettes; bit fields;
// both row orders) and deliberately broken ones. Header-only so that every test program can
// include it.

#include <algorithm>
#include <array>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace velmorra::test {

struct BmpPixel {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    std::uint8_t alpha = 255; // written only with 32-bit pixels
};

class BmpBuilder {
  public:
    static constexpr std::uint32_t bitFieldsCompression = 3;

    BmpBuilder(std::int32_t width, std::int32_t height) : width(width), height(height) {}

    // Pixels bottom row first, left to right, whatever order the rows take in the file (a
    // negative height writes them top row first).
    BmpBuilder& pixels(std::vector<BmpPixel> values) {
        pixelValues = std::move(values);
        return *this;
    }
    // The value written into every padding byte, so misplaced reads show.
    BmpBuilder& paddingByte(std::uint8_t value) {
        padding = value;
        return *this;
    }
    // 1, 4 and 8 bits write a palette of the image's distinct colours (in order of first use);
    // 16 bits write 5-5-5 pixels, or 5-6-5 with those bit fields.
    BmpBuilder& bitsPerPixel(std::uint16_t value) {
        bits = value;
        return *this;
    }
    BmpBuilder& compression(std::uint32_t value) {
        compressionCode = value;
        return *this;
    }
    // The red, green, blue and alpha masks (with bit-field compression).
    BmpBuilder& masks(std::uint32_t red, std::uint32_t green, std::uint32_t blue,
                      std::uint32_t alpha = 0) {
        maskValues = {red, green, blue, alpha};
        return *this;
    }
    // 12 writes the old OS/2 core header; 40 and up the Windows info headers.
    BmpBuilder& infoHeaderSize(std::uint32_t value) {
        infoSize = value;
        return *this;
    }
    // The palette's stated colour count; by default the number of colours written.
    BmpBuilder& coloursUsed(std::uint32_t value) {
        statedColours = value;
        return *this;
    }
    // States this pixel-data offset. A larger one than the headers need puts filler bytes
    // between them and the rows; a smaller one only misstates it.
    BmpBuilder& dataOffset(std::uint32_t value) {
        offset = value;
        return *this;
    }
    // Writes these bytes in place of the rows (run-length data, an embedded JPEG or PNG).
    BmpBuilder& pixelData(std::vector<std::uint8_t> data) {
        rawData = std::move(data);
        raw = true;
        return *this;
    }
    // Only the headers: for sizes no test could write out.
    BmpBuilder& withoutRows() {
        rows = false;
        return *this;
    }

    std::vector<std::uint8_t> bytes() const {
        const std::vector<BmpPixel> palette = paletteColours();
        std::vector<std::uint8_t> out;
        put16(out, 0x4d42); // "BM"
        put32(out, 0);      // file size, filled in below
        put32(out, 0);
        put32(out, 0); // pixel-data offset, filled in below
        appendInfoHeader(out, palette);
        for (const BmpPixel& colour : palette) {
            out.insert(out.end(), {colour.blue, colour.green, colour.red, 0});
            if (infoSize == 12) {
                out.pop_back(); // core palettes have three bytes an entry
            }
        }
        const auto natural = static_cast<std::uint32_t>(out.size());
        const std::uint32_t stated = offset != 0 ? offset : natural;
        out.resize(std::max<std::size_t>(out.size(), stated), 0xab);
        patch32(out, 10, stated);
        if (raw) {
            out.insert(out.end(), rawData.begin(), rawData.end());
        } else if (rows && width > 0 && height != 0) {
            appendRows(out, palette);
        }
        patch32(out, 2, static_cast<std::uint32_t>(out.size()));
        return out;
    }

    void writeTo(const std::string& fileName) const { writeBytes(fileName, bytes()); }

    static void writeBytes(const std::string& fileName, const std::vector<std::uint8_t>& data) {
        std::ofstream file(fileName, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(data.data()),
                   static_cast<std::streamsize>(data.size()));
    }

    // A uniform image of the given size and colour.
    static BmpBuilder solid(std::int32_t width, std::int32_t height, BmpPixel colour) {
        BmpBuilder builder(width, height);
        builder.pixels(std::vector<BmpPixel>(static_cast<std::size_t>(width) * height, colour));
        return builder;
    }

  private:
    bool hasPalette() const { return bits >= 1 && bits <= 8; }
    bool isBitFields() const { return compressionCode == bitFieldsCompression; }

    static bool sameColour(const BmpPixel& a, const BmpPixel& b) {
        return a.red == b.red && a.green == b.green && a.blue == b.blue;
    }

    std::vector<BmpPixel> paletteColours() const {
        std::vector<BmpPixel> palette;
        if (!hasPalette()) {
            return palette;
        }
        for (const BmpPixel& pixel : pixelValues) {
            if (std::none_of(palette.begin(), palette.end(),
                             [&](const BmpPixel& entry) { return sameColour(entry, pixel); })) {
                palette.push_back(pixel);
            }
        }
        if (palette.empty()) {
            palette.push_back({});
        }
        return palette;
    }

    std::size_t paletteIndex(const std::vector<BmpPixel>& palette, const BmpPixel& pixel) const {
        return static_cast<std::size_t>(
            std::find_if(palette.begin(), palette.end(),
                         [&](const BmpPixel& entry) { return sameColour(entry, pixel); }) -
            palette.begin());
    }

    void appendInfoHeader(std::vector<std::uint8_t>& out,
                          const std::vector<BmpPixel>& palette) const {
        const std::size_t start = out.size();
        put32(out, infoSize);
        if (infoSize == 12) {
            put16(out, static_cast<std::uint16_t>(width));
            put16(out, static_cast<std::uint16_t>(height));
            put16(out, 1);
            put16(out, bits);
            return;
        }
        put32(out, static_cast<std::uint32_t>(width));
        put32(out, static_cast<std::uint32_t>(height));
        put16(out, 1);
        put16(out, bits);
        put32(out, compressionCode);
        put32(out, 0); // image size: 0 is allowed for uncompressed rows
        put32(out, 2835);
        put32(out, 2835);
        put32(out,
              statedColours != ~0u ? statedColours : static_cast<std::uint32_t>(palette.size()));
        put32(out, 0);
        // Masks follow a 40-byte header when bit fields are used, and are part of longer ones.
        if (infoSize > 40 || isBitFields()) {
            const std::size_t count = infoSize == 52 || infoSize == 40 ? 3 : 4;
            for (std::size_t i = 0; i < count; ++i) {
                put32(out, maskValues[i]);
            }
        }
        if (infoSize >= 108) {
            put32(out, 0x73524742); // colour space "sRGB", as image programs write
            out.resize(start + infoSize, 0);
            if (infoSize == 124) {
                patch32(out, start + 108, 4); // rendering intent: pictures
            }
        }
    }

    std::size_t stride() const { return (static_cast<std::size_t>(width) * bits + 31) / 32 * 4; }

    void appendRows(std::vector<std::uint8_t>& out, const std::vector<BmpPixel>& palette) const {
        const std::int32_t rowCount = height < 0 ? -height : height;
        for (std::int32_t fileRow = 0; fileRow < rowCount; ++fileRow) {
            const std::int32_t row = height < 0 ? rowCount - 1 - fileRow : fileRow;
            std::vector<std::uint8_t> line(stride(), padding);
            for (std::int32_t column = 0; column < width; ++column) {
                const std::size_t index = static_cast<std::size_t>(row) * width + column;
                const BmpPixel pixel = index < pixelValues.size() ? pixelValues[index] : BmpPixel{};
                putPixel(line, static_cast<std::size_t>(column), pixel, palette);
            }
            out.insert(out.end(), line.begin(), line.end());
        }
    }

    void putPixel(std::vector<std::uint8_t>& line, std::size_t column, const BmpPixel& pixel,
                  const std::vector<BmpPixel>& palette) const {
        if (hasPalette()) {
            const std::size_t bit = column * bits;
            auto& byte = line[bit / 8];
            if (bit % 8 == 0) {
                byte = 0;
            }
            byte |= static_cast<std::uint8_t>(paletteIndex(palette, pixel)
                                              << (8 - bits - static_cast<int>(bit % 8)));
        } else if (bits == 16) {
            // 5-6-5 when the bit fields say so, otherwise 5-5-5.
            const bool sixGreen = isBitFields() && maskValues[1] == 0x07e0;
            const auto value = static_cast<std::uint16_t>(
                sixGreen ? (pixel.red >> 3) << 11 | (pixel.green >> 2) << 5 | pixel.blue >> 3
                         : (pixel.red >> 3) << 10 | (pixel.green >> 3) << 5 | pixel.blue >> 3);
            line[column * 2] = static_cast<std::uint8_t>(value);
            line[column * 2 + 1] = static_cast<std::uint8_t>(value >> 8);
        } else {
            const std::size_t at = column * bits / 8;
            line[at] = pixel.blue;
            line[at + 1] = pixel.green;
            line[at + 2] = pixel.red;
            if (bits == 32) {
                line[at + 3] = pixel.alpha;
            }
        }
    }

    static void put16(std::vector<std::uint8_t>& out, std::uint16_t value) {
        out.push_back(static_cast<std::uint8_t>(value));
        out.push_back(static_cast<std::uint8_t>(value >> 8));
    }
    static void put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
        for (int i = 0; i < 4; ++i) {
            out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
        }
    }
    static void patch32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t value) {
        for (int i = 0; i < 4; ++i) {
            out[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
        }
    }

    std::int32_t width;
    std::int32_t height;
    std::vector<BmpPixel> pixelValues;
    std::uint8_t padding = 0;
    std::uint16_t bits = 24;
    std::uint32_t compressionCode = 0;
    std::array<std::uint32_t, 4> maskValues{0x00ff0000, 0x0000ff00, 0x000000ff, 0xff000000};
    std::uint32_t infoSize = 40;
    std::uint32_t statedColours = ~0u;
    std::uint32_t offset = 0;
    std::vector<std::uint8_t> rawData;
    bool raw = false;
    bool rows = true;
};

} // namespace velmorra::test
