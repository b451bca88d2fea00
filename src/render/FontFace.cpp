#include "render/FontFace.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <string>
#include <vector>

namespace velmorra {

struct FontFace::Source {
    FT_Library library = nullptr;
    FT_Face face = nullptr;

    Source() = default;
    Source(const Source&) = delete;
    Source& operator=(const Source&) = delete;
    ~Source() {
        if (face != nullptr) {
            FT_Done_Face(face);
        }
        if (library != nullptr) {
            FT_Done_FreeType(library);
        }
    }
};

namespace {

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

// The system's best match for a bold `faceName`; empty when there is none.
std::string findFontFile(const char* faceName) {
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

} // namespace

FontFace::FontFace() = default;
FontFace::~FontFace() = default;

bool FontFace::open(const char* faceName, int pixelHeight) {
    const std::string file = faceName != nullptr ? findFontFile(faceName) : std::string();
    if (file.empty()) {
        return false;
    }
    auto opened = std::make_unique<Source>();
    if (FT_Init_FreeType(&opened->library) != 0 ||
        FT_New_Face(opened->library, file.c_str(), 0, &opened->face) != 0) {
        return false;
    }
    // A pixel height asks for the character (em) height, not the cell height.
    if (FT_Set_Pixel_Sizes(opened->face, 0, static_cast<FT_UInt>(pixelHeight)) != 0) {
        return false;
    }
    source = std::move(opened);
    return true;
}

bool FontFace::rasterise(unsigned char character, GlyphBitmap& glyph) const {
    if (!source || FT_Load_Char(source->face, character, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) != 0) {
        return false;
    }
    const FT_GlyphSlot slot = source->face->glyph;
    glyph.width = static_cast<int>(slot->bitmap.width);
    glyph.height = static_cast<int>(slot->bitmap.rows);
    glyph.left = slot->bitmap_left;
    glyph.top = slot->bitmap_top;
    glyph.advance = static_cast<int>(slot->advance.x);
    glyph.rows = bottomUpRows(slot->bitmap);
    return true;
}

} // namespace velmorra
