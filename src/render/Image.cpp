#include "render/Image.h"

#include <algorithm>
#include <cstdio>
#include <memory>

namespace velmorra {

namespace {

constexpr std::size_t widthOffset = 18;
constexpr std::size_t heightOffset = 22;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

std::int32_t readSigned32(std::span<const std::uint8_t> bytes, std::size_t offset) {
    const std::uint32_t value = static_cast<std::uint32_t>(bytes[offset]) |
                                static_cast<std::uint32_t>(bytes[offset + 1]) << 8 |
                                static_cast<std::uint32_t>(bytes[offset + 2]) << 16 |
                                static_cast<std::uint32_t>(bytes[offset + 3]) << 24;
    return static_cast<std::int32_t>(value);
}

struct PixelSize {
    int width = 0;
    int height = 0;
};

// The size from a complete header, or 0 x 0 when the header is incomplete or
// the size is refused.
PixelSize acceptedSize(std::span<const std::uint8_t> bytes, int maxSide) {
    if (bytes.size() < Image::headerSize) {
        return {};
    }
    const int limit = std::min(maxSide, Image::largestSide);
    const std::int32_t width = readSigned32(bytes, widthOffset);
    const std::int32_t height = readSigned32(bytes, heightOffset);
    if (width <= 0 || height <= 0 || width > limit || height > limit) {
        return {};
    }
    return {width, height};
}

// Rows are padded to a multiple of four bytes in the file.
std::size_t rowStride(int width) {
    const std::size_t used = static_cast<std::size_t>(width) * 3;
    return (used + 3) / 4 * 4;
}

// Reads the pixel rows after the header, swapping BGR to RGB and dropping the
// row padding. Bytes missing at the end of the data keep their last value,
// so a truncated file repeats its last pixel.
std::vector<std::uint8_t> decodeRows(std::span<const std::uint8_t> bytes, PixelSize size) {
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(size.width) * size.height * 3);
    const std::size_t padding = rowStride(size.width) - static_cast<std::size_t>(size.width) * 3;
    std::size_t offset = Image::headerSize;
    std::uint8_t blue = 0;
    std::uint8_t green = 0;
    std::uint8_t red = 0;
    const auto next = [&](std::uint8_t& value) {
        if (offset < bytes.size()) {
            value = bytes[offset++];
        }
    };
    std::size_t out = 0;
    for (int row = 0; row < size.height; ++row) {
        for (int column = 0; column < size.width; ++column) {
            next(blue);
            next(green);
            next(red);
            rgb[out++] = red;
            rgb[out++] = green;
            rgb[out++] = blue;
        }
        offset = std::min(offset + padding, bytes.size());
    }
    return rgb;
}

// Everything a file can contribute to an image of the given size: the header
// and its pixel rows. Anything after them is never looked at.
std::size_t usefulLength(PixelSize size) {
    return Image::headerSize + rowStride(size.width) * static_cast<std::size_t>(size.height);
}

std::vector<std::uint8_t> readUpTo(std::FILE* file, std::size_t length) {
    std::vector<std::uint8_t> bytes(length);
    bytes.resize(std::fread(bytes.data(), 1, length, file));
    return bytes;
}

} // namespace

Image::Image() : pixels(1, 0) {}

bool Image::load(const std::string& fileName, int maxSide) {
    const FileHandle file(std::fopen(fileName.c_str(), "rb"));
    if (!file) {
        return false;
    }
    std::vector<std::uint8_t> bytes = readUpTo(file.get(), headerSize);
    const PixelSize size = acceptedSize(bytes, maxSide);
    if (size.width == 0) {
        return false;
    }
    const std::vector<std::uint8_t> rows = readUpTo(file.get(), usefulLength(size) - headerSize);
    bytes.insert(bytes.end(), rows.begin(), rows.end());
    return loadFromMemory(bytes, maxSide);
}

bool Image::loadFromMemory(std::span<const std::uint8_t> bytes, int maxSide) {
    const PixelSize size = acceptedSize(bytes, maxSide);
    if (size.width == 0) {
        return false;
    }
    pixels = decodeRows(bytes, size);
    width = size.width;
    height = size.height;
    return true;
}

} // namespace velmorra
