#pragma once

#include "render/GlyphBitmap.h"

#include <memory>

namespace velmorra {

// One face at one pixel height, giving the 1-bit glyphs of characters and compiling them into
// display lists of bitmap draws. The desktop build rasterises them with FreeType from the
// system's best match for a bold face; the browser build, which has no FreeType, reads the ones
// the desktop rasterised ahead of time from its glyph file (see GlyphFile and DemoFont).
class FontFace {
  public:
    FontFace();
    ~FontFace();
    FontFace(const FontFace&) = delete;
    FontFace& operator=(const FontFace&) = delete;

    bool open(const char* faceName, int pixelHeight);
    // The glyph of `character`; false when the face is not open or has no glyph to give.
    bool rasterise(unsigned char character, GlyphBitmap& glyph) const;

  private:
    // Where the glyphs come from: the rasteriser's library and face, or the glyph file.
    struct Source;
    std::unique_ptr<Source> source;
};

} // namespace velmorra
