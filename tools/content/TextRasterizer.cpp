#include "content/TextRasterizer.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <climits>
#include <vector>

namespace velmorra::tools {

namespace {

FT_Face asFace(void* face) {
    return static_cast<FT_Face>(face);
}

struct PlacedGlyph {
    CoverageMask ink;
    int left = 0; // pen position plus bearing, from the line's origin
    int top = 0;  // distance of the glyph's top row above the baseline
};

CoverageMask inkOf(const FT_Bitmap& bitmap) {
    CoverageMask ink(static_cast<int>(bitmap.width), static_cast<int>(bitmap.rows));
    for (unsigned int row = 0; row < bitmap.rows; ++row) {
        const unsigned char* source =
            bitmap.buffer + static_cast<std::ptrdiff_t>(row) * bitmap.pitch;
        for (unsigned int column = 0; column < bitmap.width; ++column) {
            ink.set(static_cast<int>(column), static_cast<int>(row), source[column] / 255.0f);
        }
    }
    return ink;
}

std::vector<PlacedGlyph> layOut(FT_Face face, const std::string& text, int tracking) {
    std::vector<PlacedGlyph> glyphs;
    int pen = 0;
    FT_UInt previous = 0;
    for (const char c : text) {
        const FT_UInt index = FT_Get_Char_Index(face, static_cast<unsigned char>(c));
        if (previous != 0 && FT_HAS_KERNING(face)) {
            FT_Vector kerning{};
            FT_Get_Kerning(face, previous, index, FT_KERNING_DEFAULT, &kerning);
            pen += static_cast<int>(kerning.x >> 6);
        }
        if (FT_Load_Glyph(face, index, FT_LOAD_RENDER | FT_LOAD_TARGET_NORMAL) != 0) {
            continue;
        }
        const FT_GlyphSlot slot = face->glyph;
        glyphs.push_back({inkOf(slot->bitmap), pen + slot->bitmap_left, slot->bitmap_top});
        pen += static_cast<int>(slot->advance.x >> 6) + tracking;
        previous = index;
    }
    return glyphs;
}

CoverageMask compose(const std::vector<PlacedGlyph>& glyphs) {
    int left = INT_MAX, right = INT_MIN, top = INT_MIN, bottom = INT_MAX;
    for (const PlacedGlyph& glyph : glyphs) {
        if (glyph.ink.isEmpty()) {
            continue;
        }
        left = std::min(left, glyph.left);
        right = std::max(right, glyph.left + glyph.ink.getWidth());
        top = std::max(top, glyph.top);
        bottom = std::min(bottom, glyph.top - glyph.ink.getHeight());
    }
    if (left >= right) {
        return {};
    }
    CoverageMask line(right - left, top - bottom);
    for (const PlacedGlyph& glyph : glyphs) {
        for (int y = 0; y < glyph.ink.getHeight(); ++y) {
            for (int x = 0; x < glyph.ink.getWidth(); ++x) {
                const float value = glyph.ink.at(x, y);
                line.set(
                    glyph.left - left + x, top - glyph.top + y,
                    std::min(1.0f, line.at(glyph.left - left + x, top - glyph.top + y) + value));
            }
        }
    }
    return line;
}

} // namespace

TextRasterizer::TextRasterizer(const std::string& fontFile) {
    FT_Library newLibrary = nullptr;
    if (FT_Init_FreeType(&newLibrary) != 0) {
        return;
    }
    library = newLibrary;
    FT_Face newFace = nullptr;
    if (FT_New_Face(newLibrary, fontFile.c_str(), 0, &newFace) == 0) {
        face = newFace;
    }
}

TextRasterizer::~TextRasterizer() {
    if (face != nullptr) {
        FT_Done_Face(asFace(face));
    }
    if (library != nullptr) {
        FT_Done_FreeType(static_cast<FT_Library>(library));
    }
}

CoverageMask TextRasterizer::render(const std::string& text, int pixelHeight, int tracking) const {
    if (face == nullptr ||
        FT_Set_Pixel_Sizes(asFace(face), 0, static_cast<FT_UInt>(pixelHeight)) != 0) {
        return {};
    }
    return compose(layOut(asFace(face), text, tracking));
}

CoverageMask TextRasterizer::renderToFit(const std::string& text, int maxWidth, int maxHeight,
                                         int tracking) const {
    for (int size = maxHeight * 2; size > 4; --size) {
        CoverageMask line = render(text, size, tracking);
        if (line.getWidth() <= maxWidth && line.getHeight() <= maxHeight) {
            return line;
        }
    }
    return {};
}

} // namespace velmorra::tools
