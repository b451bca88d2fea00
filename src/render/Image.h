#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace velmorra {

// An uncompressed 24-bit BMP read into tightly packed RGB bytes, rows in the
// file's order (bottom row first for an ordinary BMP, which is also OpenGL's
// texture origin).
//
// The header is taken at its word: the pixel rows are read straight after the
// 54 header bytes, whatever the offset, bit depth or compression fields say.
// Only the size is checked, because it decides how much memory is taken: a
// width or height that is zero, negative (a top-down file) or above the limit
// refuses the file. A file cut short inside its pixel rows still loads; the
// pixels past the end repeat the last one read.
class Image {
  public:
    // The longest side ever accepted; it keeps width * height * 3 far below
    // what a size or an OpenGL upload can hold.
    static constexpr int largestSide = 16384;
    static constexpr std::size_t headerSize = 54;

    Image();

    // Both return false and leave the image unchanged when the file cannot be
    // read, its header is incomplete or its size is refused. maxSide lowers the
    // size limit (to what the GL implementation takes); it never raises it.
    bool load(const std::string& fileName, int maxSide = largestSide);
    bool loadFromMemory(std::span<const std::uint8_t> bytes, int maxSide = largestSide);

    int getWidth() const { return width; }
    int getHeight() const { return height; }
    const std::uint8_t* getPixels() const { return pixels.data(); }

  private:
    std::vector<std::uint8_t> pixels;
    int width = 0;
    int height = 0;
};

} // namespace velmorra
