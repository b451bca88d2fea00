#pragma once

#include "render/GlyphBitmap.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace velmorra {

// The 1-bit glyphs of characters 0-255 of one face at one pixel height, kept in a file: the
// browser build has no FreeType, so it draws its text from glyphs rasterised ahead of time.
//
// Layout, little-endian: "VGLY", u16 version (1), u8 length and bytes of the face's name,
// u16 pixel height, u16 glyph count (256); then per character u16 width, u16 height, i16 left,
// i16 top, i32 advance (1/64 pixels) and height rows of (width + 7) / 8 bytes, bottom row
// first; last a u32 CRC-32 of everything before it.
//
// Reading checks the checksum and every size and bound against the data and the limits below; a
// file that fails is refused with the log line "Glyph file <name> refused: <reason>." and leaves
// the glyph file empty.
class GlyphFile {
  public:
    static constexpr int glyphCount = 256;
    static constexpr int version = 1;
    static constexpr std::size_t longestName = 64;
    static constexpr int largestPixelHeight = 256;
    static constexpr int largestSide = 512;
    // Bearings in pixels, advances in 1/64 pixels.
    static constexpr int farthestBearing = 1024;
    static constexpr int longestAdvance = 1024 * 64;
    static constexpr std::size_t headerBytes = 4 + 2 + 1 + 2 + 2;
    static constexpr std::size_t glyphHeaderBytes = 2 + 2 + 2 + 2 + 4;
    static constexpr std::size_t checksumBytes = 4;
    // Every field at its limit: anything longer is refused before it is read.
    static constexpr std::size_t largestFile =
        headerBytes + longestName +
        glyphCount * (glyphHeaderBytes + std::size_t{(largestSide + 7) / 8} * largestSide) +
        checksumBytes;

    GlyphFile() = default;
    GlyphFile(std::string faceName, int pixelHeight, std::vector<GlyphBitmap> glyphs);

    // The file's bytes; empty when the contents break a size or a limit that reading checks.
    std::vector<std::uint8_t> toBytes() const;
    // False when toBytes has nothing or the file cannot be written.
    bool write(const std::string& path) const;
    // Why the contents cannot stand in a file, such as "glyph 65: 600 x 20 pixels, over 512";
    // empty when they can.
    std::string fault() const;

    // Both return false and leave the glyph file empty when the data is refused.
    bool read(const std::string& path);
    bool fromBytes(std::span<const std::uint8_t> bytes, const std::string& name);
    // As read, and refuses a file rasterised from another face or at another height.
    bool readFor(const std::string& path, const std::string& faceName, int pixelHeight);

    bool empty() const { return glyphs.empty(); }
    const std::string& getFaceName() const { return faceName; }
    int getPixelHeight() const { return pixelHeight; }
    const std::vector<GlyphBitmap>& getGlyphs() const { return glyphs; }

    // CRC-32 (IEEE 802.3, as zlib and PNG compute it).
    static std::uint32_t checksum(std::span<const std::uint8_t> bytes);

  private:
    // Fills the glyph file from `bytes`; returns why it cannot, empty when it could.
    std::string decode(std::span<const std::uint8_t> bytes);
    bool refuse(const std::string& name, const std::string& reason);

    std::string faceName;
    int pixelHeight = 0;
    std::vector<GlyphBitmap> glyphs;
};

} // namespace velmorra
