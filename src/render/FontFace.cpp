#include "render/FontFace.h"

#include "draw/BitmapText.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <vector>

namespace velmorra {

namespace {

FT_Library asLibrary(void* library) {
    return static_cast<FT_Library>(library);
}
FT_Face asFace(void* face) {
    return static_cast<FT_Face>(face);
}

// Glyph bitmaps are drawn from rows bottom-up; FreeType hands them top-down.
std::vector<unsigned char> bottomUpRows(const FT_Bitmap& bitmap) {
    const unsigned int rowBytes = (bitmap.width + 7) / 8;
    std::vector<unsigned char> rows(static_cast<std::size_t>(rowBytes) * bitmap.rows);
    for (unsigned int row = 0; row < bitmap.rows; ++row) {
        const unsigned char* source =
            bitmap.buffer + static_cast<std::ptrdiff_t>(row) * bitmap.pitch;
        unsigned char* target =
            rows.data() + static_cast<std::size_t>(bitmap.rows - 1 - row) * rowBytes;
        for (unsigned int column = 0; column < rowBytes; ++column) {
            target[column] = source[column];
        }
    }
    return rows;
}

} // namespace

FontFace::~FontFace() {
    if (face != nullptr) {
        FT_Done_Face(asFace(face));
    }
    if (library != nullptr) {
        FT_Done_FreeType(asLibrary(library));
    }
}

std::string FontFace::findFontFile(const char* faceName) {
    std::string found;
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(faceName));
    if (pattern == nullptr) {
        return found;
    }
    FcPatternAddInteger(pattern, FC_WEIGHT, FC_WEIGHT_BOLD);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcChar8* file = nullptr;
    if (match != nullptr && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
        found = reinterpret_cast<const char*>(file);
    }
    if (match != nullptr) {
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
    return found;
}

bool FontFace::open(const char* faceName, int pixelHeight) {
    const std::string file = findFontFile(faceName);
    if (file.empty()) {
        return false;
    }
    FT_Library newLibrary = nullptr;
    if (FT_Init_FreeType(&newLibrary) != 0) {
        return false;
    }
    library = newLibrary;
    FT_Face newFace = nullptr;
    if (FT_New_Face(newLibrary, file.c_str(), 0, &newFace) != 0) {
        return false;
    }
    face = newFace;
    // A pixel height asks for the character (em) height, not the cell height.
    return FT_Set_Pixel_Sizes(newFace, 0, static_cast<FT_UInt>(pixelHeight)) == 0;
}

bool FontFace::compileGlyph(unsigned char character, unsigned int list) const {
    FT_Face fontFace = asFace(face);
    if (FT_Load_Char(fontFace, character, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) != 0) {
        return false;
    }
    const FT_GlyphSlot glyph = fontFace->glyph;
    const std::vector<unsigned char> rows = bottomUpRows(glyph->bitmap);
    const auto rowsHigh = static_cast<int>(glyph->bitmap.rows);
    draw::compileGlyph(
        list, static_cast<int>(glyph->bitmap.width), rowsHigh,
        static_cast<float>(-glyph->bitmap_left), static_cast<float>(rowsHigh - glyph->bitmap_top),
        static_cast<float>(glyph->advance.x) / 64.0f, rows.empty() ? nullptr : rows.data());
    return true;
}

} // namespace velmorra
