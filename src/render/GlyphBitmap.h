#pragma once

#include <cstdint>
#include <vector>

namespace velmorra {

// One character's 1-bit glyph at one pixel height, as the bitmap draw takes it: rows bottom-up,
// each padded to whole bytes, placed by its bearing from the pen position on the baseline.
struct GlyphBitmap {
    int width = 0;
    int height = 0;
    // Pixels from the pen position right to the bitmap's left column, and from the baseline up
    // to its top row.
    int left = 0;
    int top = 0;
    // How far the pen moves on, in 1/64 pixels as FreeType measures it, so that nothing is lost
    // between the rasteriser and the draw.
    int advance = 0;
    std::vector<std::uint8_t> rows;

    int rowBytes() const { return (width + 7) / 8; }
    float originX() const { return static_cast<float>(-left); }
    float originY() const { return static_cast<float>(height - top); }
    float advancePixels() const { return static_cast<float>(advance) / 64.0f; }

    // Records the glyph into display list `list`.
    void compile(unsigned int list) const;

    bool operator==(const GlyphBitmap&) const = default;
};

} // namespace velmorra
