#include "BmpWriter.h"

#include "ByteSink.h"

#include <algorithm>
#include <cmath>

namespace velmorra::tools {

namespace {

constexpr std::uint32_t infoHeaderSize = 40;
constexpr std::uint32_t pixelsPerMetre = 2835; // 72 dots per inch

std::uint32_t rowStride(int width) {
    return (static_cast<std::uint32_t>(width) * 3 + 3) / 4 * 4;
}

void putHeader(ByteSink& sink, const Canvas& canvas) {
    const std::uint32_t imageSize = rowStride(canvas.getWidth()) * canvas.getHeight();
    sink.put16(0x4d42); // "BM"
    sink.put32(BmpWriter::headerSize + imageSize);
    sink.put16(0);
    sink.put16(0);
    sink.put32(BmpWriter::headerSize);
    sink.put32(infoHeaderSize);
    sink.put32(static_cast<std::uint32_t>(canvas.getWidth()));
    sink.put32(static_cast<std::uint32_t>(canvas.getHeight()));
    sink.put16(1);  // planes
    sink.put16(24); // bits per pixel
    sink.put32(0);  // no compression
    sink.put32(imageSize);
    sink.put32(pixelsPerMetre);
    sink.put32(pixelsPerMetre);
    sink.put32(0);
    sink.put32(0);
}

void putRow(ByteSink& sink, const Canvas& canvas, int y) {
    for (int x = 0; x < canvas.getWidth(); ++x) {
        const Rgb pixel = canvas.at(x, y);
        sink.put8(BmpWriter::toByte(pixel.blue));
        sink.put8(BmpWriter::toByte(pixel.green));
        sink.put8(BmpWriter::toByte(pixel.red));
    }
    for (std::uint32_t used = static_cast<std::uint32_t>(canvas.getWidth()) * 3;
         used < rowStride(canvas.getWidth()); ++used) {
        sink.put8(0);
    }
}

} // namespace

std::uint8_t BmpWriter::toByte(float value) {
    if (!(value > 0.0f)) { // also catches NaN
        return 0;
    }
    return static_cast<std::uint8_t>(std::lround(std::min(value, 1.0f) * 255.0f));
}

std::vector<std::uint8_t> BmpWriter::encode(const Canvas& canvas) {
    ByteSink sink;
    putHeader(sink, canvas);
    for (int y = canvas.getHeight() - 1; y >= 0; --y) {
        putRow(sink, canvas, y);
    }
    return sink.release();
}

bool BmpWriter::write(const Canvas& canvas, const std::string& fileName) {
    return ByteSink::writeFile(fileName, encode(canvas));
}

} // namespace velmorra::tools
