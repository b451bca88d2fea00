#include "render/Font.h"

#include "render/FontFace.h"
#include "render/GlyphBitmap.h"

#include "draw/BitmapText.h"
#include "draw/DisplayLists.h"

#include <cstdarg>
#include <cstdio>

namespace velmorra {

namespace {

constexpr int firstCharacter = 32;
constexpr int characterCount = 96;
constexpr std::size_t textBufferSize = 256;

bool isPrintable(unsigned char character) {
    return character >= firstCharacter && character < firstCharacter + characterCount;
}

// Keeps only characters that have a glyph list, so no byte can call a list
// that belongs to something else.
std::size_t keepPrintable(char* text) {
    std::size_t kept = 0;
    for (const char* read = text; *read != '\0'; ++read) {
        if (isPrintable(static_cast<unsigned char>(*read))) {
            text[kept++] = *read;
        }
    }
    text[kept] = '\0';
    return kept;
}

} // namespace

Font::~Font() {
    destroy();
}

bool Font::create(const GraphicsSurface* /*surface*/, const char* faceName, int height) {
    if (created) {
        return false;
    }
    const unsigned int base = draw::generateLists(characterCount);
    FontFace face;
    if (base == 0 || !face.open(faceName, height)) {
        if (base != 0) {
            draw::deleteLists(base, characterCount);
        }
        return false;
    }
    for (int index = 0; index < characterCount; ++index) {
        GlyphBitmap glyph;
        if (face.rasterise(static_cast<unsigned char>(firstCharacter + index), glyph)) {
            glyph.compile(base + index);
        }
    }
    listBase = base;
    created = true;
    return true;
}

void Font::destroy() {
    if (!created) {
        return;
    }
    draw::deleteLists(listBase, characterCount);
    created = false;
}

void Font::print(int x, int y, const char* format, ...) const {
    if (!created || format == nullptr) {
        return;
    }
    char text[textBufferSize];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    const std::size_t length = keepPrintable(text);

    draw::drawText(x, y, listBase - firstCharacter, text, static_cast<int>(length));
}

} // namespace velmorra
