#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace velmorra {

struct BmpLayout;

// A BMP file read into tightly packed RGB bytes, bottom row first (OpenGL's
// texture origin), whatever the file's row order.
//
// Read exactly: uncompressed 24-bit and 32-bit pixels (32-bit also with the
// usual red/green/blue bit fields; alpha is dropped), 16-bit pixels as 5-5-5
// (or with the 5-5-5 or 5-6-5 bit fields), 1-, 4- and 8-bit palette pixels and
// RLE4 and RLE8 runs, under the 40-, 52-, 56-, 108- and 124-byte info headers,
// rows bottom-up or top-down. Anything else (embedded JPEG/PNG data, other bit
// fields, the OS/2 headers) is refused with a reason rather than read as
// something it is not, and so is run-length data that would draw outside the
// picture. A file cut short inside its pixel rows still loads: the pixels past
// the end repeat the last one read (with run-length data, the pixels not
// reached keep the palette's first colour).
class Image {
  public:
    // The longest side ever accepted; it keeps width * height * 3 far below
    // what a size or an OpenGL upload can hold.
    static constexpr int largestSide = 16384;

    Image();

    // Both return false and leave the image unchanged when the file cannot be
    // read or is refused. maxSide lowers the size limit (to what the GL
    // implementation takes); it never raises it. The file is read no further
    // than its pixel rows, and never into a buffer larger than the file.
    bool load(const std::string& fileName, int maxSide = largestSide);
    bool loadFromMemory(std::span<const std::uint8_t> bytes, int maxSide = largestSide);

    // Why the last load refused the file, such as "16-bit pixels"; empty after
    // a load that succeeded or a file that could not be opened.
    const std::string& getRefusal() const { return refusal; }

    int getWidth() const { return width; }
    int getHeight() const { return height; }
    const std::uint8_t* getPixels() const { return pixels.data(); }

  private:
    // Leaves the reason in `refusal` when the pixel data cannot be read.
    bool decode(std::span<const std::uint8_t> bytes, const BmpLayout& layout,
                std::vector<std::uint8_t>& rgb);

    std::vector<std::uint8_t> pixels;
    int width = 0;
    int height = 0;
    std::string refusal;
};

} // namespace velmorra
