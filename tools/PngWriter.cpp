#include "PngWriter.h"

#include "BmpWriter.h"

#include <zlib.h>

#include <array>
#include <string_view>

namespace velmorra::tools {

namespace {

constexpr std::array<std::uint8_t, 8> signature{0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
constexpr std::uint8_t bitDepth = 8;
constexpr std::uint8_t colourTypeRgba = 6;
constexpr std::uint8_t noFilter = 0;

// PNG stores its numbers big-endian, unlike the other formats the tools write.
void putBig32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<std::uint8_t>(value >> shift));
    }
}

void putChunk(std::vector<std::uint8_t>& out, std::string_view type,
              const std::vector<std::uint8_t>& data) {
    putBig32(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t start = out.size();
    out.insert(out.end(), type.begin(), type.end());
    out.insert(out.end(), data.begin(), data.end());
    putBig32(out, PngWriter::chunkCrc(out.data() + start, out.size() - start));
}

std::vector<std::uint8_t> header(const Canvas& canvas) {
    std::vector<std::uint8_t> data;
    putBig32(data, static_cast<std::uint32_t>(canvas.getWidth()));
    putBig32(data, static_cast<std::uint32_t>(canvas.getHeight()));
    data.insert(data.end(), {bitDepth, colourTypeRgba, 0, 0, 0}); // deflate, no interlace
    return data;
}

std::vector<std::uint8_t> scanlines(const Canvas& canvas, const CoverageMask& alpha) {
    std::vector<std::uint8_t> rows;
    rows.reserve(static_cast<std::size_t>(canvas.getHeight()) * (canvas.getWidth() * 4 + 1));
    for (int y = 0; y < canvas.getHeight(); ++y) {
        rows.push_back(noFilter);
        for (int x = 0; x < canvas.getWidth(); ++x) {
            const Rgb pixel = canvas.at(x, y);
            rows.insert(rows.end(),
                        {BmpWriter::toByte(pixel.red), BmpWriter::toByte(pixel.green),
                         BmpWriter::toByte(pixel.blue), BmpWriter::toByte(alpha.at(x, y))});
        }
    }
    return rows;
}

std::vector<std::uint8_t> deflate(const std::vector<std::uint8_t>& raw) {
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    std::vector<std::uint8_t> packed(size);
    if (compress2(packed.data(), &size, raw.data(), static_cast<uLong>(raw.size()),
                  Z_BEST_COMPRESSION) != Z_OK) {
        return {};
    }
    packed.resize(size);
    return packed;
}

} // namespace

std::uint32_t PngWriter::chunkCrc(const std::uint8_t* bytes, std::size_t size) {
    return static_cast<std::uint32_t>(crc32(crc32(0L, Z_NULL, 0), bytes, static_cast<uInt>(size)));
}

std::vector<std::uint8_t> PngWriter::encode(const Canvas& canvas, const CoverageMask& alpha) {
    const std::vector<std::uint8_t> image = deflate(scanlines(canvas, alpha));
    if (image.empty()) {
        return {};
    }
    std::vector<std::uint8_t> out(signature.begin(), signature.end());
    putChunk(out, "IHDR", header(canvas));
    putChunk(out, "IDAT", image);
    putChunk(out, "IEND", {});
    return out;
}

} // namespace velmorra::tools
