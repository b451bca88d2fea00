#include "render/FontFace.h"

#include "render/DemoFont.h"
#include "render/GlyphFile.h"

#include <string>

namespace velmorra {

// The browser has no FreeType: the glyphs were rasterised by the desktop build from the same
// face at the same height (velmorra_rasterise_glyphs) and preloaded with the page's data.
struct FontFace::Source {
    GlyphFile glyphs;
};

FontFace::FontFace() = default;
FontFace::~FontFace() = default;

bool FontFace::open(const char* faceName, int pixelHeight) {
    auto opened = std::make_unique<Source>();
    if (faceName == nullptr ||
        !opened->glyphs.readFor(std::string("/") + DemoFont::glyphFile, faceName, pixelHeight)) {
        return false;
    }
    source = std::move(opened);
    return true;
}

bool FontFace::rasterise(unsigned char character, GlyphBitmap& glyph) const {
    if (!source) {
        return false;
    }
    glyph = source->glyphs.getGlyphs()[character];
    return true;
}

} // namespace velmorra
