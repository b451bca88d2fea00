#pragma once

// Writes small 24-bit BMP files for the tests, including deliberately broken
// ones. Header-only so that every test program can include it.

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace velmorra::test {

struct BmpPixel {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
};

class BmpBuilder {
  public:
    BmpBuilder(std::int32_t width, std::int32_t height) : width(width), height(height) {}

    // Pixels in file order: bottom row first, left to right.
    BmpBuilder& pixels(std::vector<BmpPixel> values) {
        pixelValues = std::move(values);
        return *this;
    }
    // The value written into every padding byte, so misplaced reads show.
    BmpBuilder& paddingByte(std::uint8_t value) {
        padding = value;
        return *this;
    }
    BmpBuilder& bitsPerPixel(std::uint16_t value) {
        bits = value;
        return *this;
    }
    BmpBuilder& compression(std::uint32_t value) {
        compressionCode = value;
        return *this;
    }
    BmpBuilder& dataOffset(std::uint32_t value) {
        offset = value;
        return *this;
    }
    // Only the 54 header bytes: for sizes no test could write out.
    BmpBuilder& withoutRows() {
        rows = false;
        return *this;
    }

    std::vector<std::uint8_t> bytes() const {
        std::vector<std::uint8_t> out;
        put16(out, 0x4d42); // "BM"
        put32(out, 0);      // file size, filled in below
        put16(out, 0);
        put16(out, 0);
        put32(out, offset);
        put32(out, 40);
        put32(out, static_cast<std::uint32_t>(width));
        put32(out, static_cast<std::uint32_t>(height));
        put16(out, 1);
        put16(out, bits);
        put32(out, compressionCode);
        put32(out, 0);
        put32(out, 2835);
        put32(out, 2835);
        put32(out, 0);
        put32(out, 0);
        appendRows(out);
        const auto size = static_cast<std::uint32_t>(out.size());
        for (int i = 0; i < 4; ++i) {
            out[2 + i] = static_cast<std::uint8_t>(size >> (8 * i));
        }
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
    void appendRows(std::vector<std::uint8_t>& out) const {
        if (!rows || width <= 0 || height <= 0) {
            return;
        }
        std::size_t index = 0;
        for (std::int32_t row = 0; row < height; ++row) {
            std::size_t rowBytes = 0;
            for (std::int32_t column = 0; column < width; ++column, ++index) {
                const BmpPixel pixel = index < pixelValues.size() ? pixelValues[index] : BmpPixel{};
                out.push_back(pixel.blue);
                out.push_back(pixel.green);
                out.push_back(pixel.red);
                rowBytes += 3;
            }
            for (; rowBytes % 4 != 0; ++rowBytes) {
                out.push_back(padding);
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

    std::int32_t width;
    std::int32_t height;
    std::vector<BmpPixel> pixelValues;
    std::uint8_t padding = 0;
    std::uint16_t bits = 24;
    std::uint32_t compressionCode = 0;
    std::uint32_t offset = 54;
    bool rows = true;
};

} // namespace velmorra::test
