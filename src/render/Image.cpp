#include "render/Image.h"

#include "render/BmpHeader.h"
#include "render/BmpLayout.h"
#include "render/BmpRowDecoder.h"
#include "render/BmpRunDecoder.h"

#include <algorithm>
#include <cstdio>
#include <memory>

namespace velmorra {

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

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
    readMore(file.get(), bytes, std::min(size, BmpHeader::largestPreamble));
    BmpLayout layout;
    BmpHeader header(bytes, std::min(maxSide, largestSide));
    if (!header.read(layout)) {
        refusal = header.refusal();
        return false;
    }
    readMore(file.get(), bytes, std::min(size, layout.dataEnd()));
    return loadFromMemory(bytes, maxSide);
}

bool Image::decode(std::span<const std::uint8_t> bytes, const BmpLayout& layout,
                   std::vector<std::uint8_t>& rgb) {
    if (layout.runLength()) {
        BmpRunDecoder runs(bytes, layout);
        if (!runs.decode(rgb)) {
            refusal = runs.failure();
            return false;
        }
        return true;
    }
    if (!BmpRowDecoder(bytes, layout).decode(rgb)) {
        refusal = "palette index past the palette";
        return false;
    }
    return true;
}

bool Image::loadFromMemory(std::span<const std::uint8_t> bytes, int maxSide) {
    BmpLayout layout;
    BmpHeader header(bytes, std::min(maxSide, largestSide));
    if (!header.read(layout)) {
        refusal = header.refusal();
        return false;
    }
    if (layout.dataOffset >= bytes.size()) {
        refusal = "no pixel data";
        return false;
    }
    std::vector<std::uint8_t> rgb;
    if (!decode(bytes, layout, rgb)) {
        return false;
    }
    pixels = std::move(rgb);
    width = layout.width;
    height = layout.height;
    refusal.clear();
    return true;
}

} // namespace velmorra
