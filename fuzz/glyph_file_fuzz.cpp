// Feeds arbitrary bytes to the glyph file reader, which the browser build runs on a file served
// with the page. Every file it accepts must hold all 256 glyphs with all their rows and must
// write back to the very same bytes; every file it refuses must leave it empty. Each input is
// also read with its last four bytes made its checksum, so that the fields behind the checksum
// are reached.

#include "render/GlyphFile.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

namespace {

// Reading every row byte lets AddressSanitizer check them all.
volatile unsigned rowSum = 0;

void check(std::span<const std::uint8_t> bytes) {
    velmorra::GlyphFile file;
    if (!file.fromBytes(bytes, "fuzz")) {
        if (!file.empty() || !file.getFaceName().empty() || file.getPixelHeight() != 0) {
            std::abort();
        }
        return;
    }
    if (file.getGlyphs().size() != velmorra::GlyphFile::glyphCount) {
        std::abort();
    }
    unsigned sum = 0;
    for (const velmorra::GlyphBitmap& glyph : file.getGlyphs()) {
        const std::size_t rowBytes = static_cast<std::size_t>(glyph.rowBytes()) * glyph.height;
        for (std::size_t index = 0; index < rowBytes; ++index) {
            sum += glyph.rows[index];
        }
    }
    rowSum = sum;
    const std::vector<std::uint8_t> written = file.toBytes();
    if (!std::equal(written.begin(), written.end(), bytes.begin(), bytes.end())) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    check(std::span<const std::uint8_t>(data, size));
    if (size < velmorra::GlyphFile::checksumBytes) {
        return 0;
    }
    std::vector<std::uint8_t> sealed(data, data + size);
    const std::uint32_t crc = velmorra::GlyphFile::checksum(std::span(sealed).first(size - 4));
    for (std::size_t index = 0; index < 4; ++index) {
        sealed[size - 4 + index] = static_cast<std::uint8_t>(crc >> (8 * index));
    }
    check(sealed);
    return 0;
}
