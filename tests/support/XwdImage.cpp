#include "support/XwdImage.h"

#include <fstream>
#include <iterator>

namespace velmorra::test {

namespace {

// Header fields, each a 32-bit big-endian word.
constexpr std::size_t headerSizeField = 0;
constexpr std::size_t widthField = 4;
constexpr std::size_t heightField = 5;
constexpr std::size_t byteOrderField = 7;
constexpr std::size_t bitsPerPixelField = 11;
constexpr std::size_t bytesPerLineField = 12;
constexpr std::size_t colourCountField = 19;
constexpr std::size_t headerWords = 25;
constexpr std::size_t colourEntryBytes = 12;

std::uint32_t bigEndianWord(const std::vector<unsigned char>& bytes, std::size_t field) {
    const std::size_t at = field * 4;
    return static_cast<std::uint32_t>(bytes[at]) << 24 |
           static_cast<std::uint32_t>(bytes[at + 1]) << 16 |
           static_cast<std::uint32_t>(bytes[at + 2]) << 8 | bytes[at + 3];
}

} // namespace

bool XwdImage::load(const std::string& fileName) {
    std::ifstream file(fileName, std::ios::binary);
    const std::vector<unsigned char> bytes{std::istreambuf_iterator<char>(file), {}};
    if (bytes.size() < headerWords * 4 || bigEndianWord(bytes, bitsPerPixelField) != 32) {
        return false;
    }
    imageWidth = static_cast<int>(bigEndianWord(bytes, widthField));
    imageHeight = static_cast<int>(bigEndianWord(bytes, heightField));
    const std::size_t lineBytes = bigEndianWord(bytes, bytesPerLineField);
    const bool mostSignificantFirst = bigEndianWord(bytes, byteOrderField) == 1;
    const std::size_t start = bigEndianWord(bytes, headerSizeField) +
                              bigEndianWord(bytes, colourCountField) * colourEntryBytes;
    if (start + lineBytes * static_cast<std::size_t>(imageHeight) > bytes.size()) {
        return false;
    }
    pixels.clear();
    for (int y = 0; y < imageHeight; ++y) {
        for (int x = 0; x < imageWidth; ++x) {
            const unsigned char* p = &bytes[start + static_cast<std::size_t>(y) * lineBytes +
                                            4 * static_cast<std::size_t>(x)];
            const std::uint32_t value =
                mostSignificantFirst
                    ? (std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | p[3])
                    : (std::uint32_t{p[2]} << 16 | std::uint32_t{p[1]} << 8 | p[0]);
            pixels.push_back(value);
        }
    }
    return true;
}

int XwdImage::countLit() const {
    int lit = 0;
    for (const std::uint32_t pixel : pixels) {
        lit += pixel != 0;
    }
    return lit;
}

double XwdImage::differenceFrom(const XwdImage& other) const {
    if (other.pixels.size() != pixels.size() || pixels.empty()) {
        return 1.0;
    }
    std::size_t different = 0;
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        different += pixels[i] != other.pixels[i];
    }
    return static_cast<double>(different) / static_cast<double>(pixels.size());
}

} // namespace velmorra::test
