#include "draw/GlyphAtlas.h"

#include <GLES2/gl2.h>

#include <algorithm>
#include <cstddef>

namespace velmorra::draw {

namespace {

constexpr int atlasSide = 512;
// Empty texels between glyphs, so that no glyph's quad samples its neighbour.
constexpr int gap = 1;

int powerOfTwoAtLeast(int value) {
    int power = 1;
    while (power < value) {
        power *= 2;
    }
    return power;
}

} // namespace

GlyphAtlas::~GlyphAtlas() {
    if (textureName != 0) {
        glDeleteTextures(1, &textureName);
    }
}

void GlyphAtlas::add(unsigned int list, int width, int height, float originX, float originY,
                     float advance, const unsigned char* rows) {
    AtlasGlyph glyph{std::max(width, 0), std::max(height, 0), originX, originY, advance, {}, 0, 0};
    glyph.coverage.assign(
        static_cast<std::size_t>(glyph.width) * static_cast<std::size_t>(glyph.height), 0);
    const int rowBytes = (glyph.width + 7) / 8;
    for (int y = 0; rows != nullptr && y < glyph.height; ++y) {
        for (int x = 0; x < glyph.width; ++x) {
            const unsigned char byte = rows[y * rowBytes + x / 8];
            const bool set = (byte >> (7 - x % 8) & 1) != 0;
            glyph.coverage[static_cast<std::size_t>(y * glyph.width + x)] = set ? 255 : 0;
        }
    }
    glyphs[list] = std::move(glyph);
    changed = true;
}

void GlyphAtlas::remove(unsigned int list) {
    changed = glyphs.erase(list) > 0 || changed;
}

const AtlasGlyph* GlyphAtlas::find(unsigned int list) const {
    const auto found = glyphs.find(list);
    return found == glyphs.end() ? nullptr : &found->second;
}

int GlyphAtlas::width() const {
    return atlasWidth;
}

int GlyphAtlas::height() const {
    return atlasHeight;
}

// Shelves of glyphs left to right, a new shelf when a row is full.
void GlyphAtlas::pack() {
    int x = gap, y = gap, shelf = 0;
    for (auto& [list, glyph] : glyphs) {
        if (x + glyph.width + gap > atlasSide) {
            x = gap;
            y += shelf + gap;
            shelf = 0;
        }
        glyph.atlasX = x;
        glyph.atlasY = y;
        x += glyph.width + gap;
        shelf = std::max(shelf, glyph.height);
    }
    atlasWidth = atlasSide;
    atlasHeight = powerOfTwoAtLeast(y + shelf + gap);
}

unsigned int GlyphAtlas::texture() {
    if (!changed && textureName != 0) {
        return textureName;
    }
    pack();
    std::vector<unsigned char> texels(
        static_cast<std::size_t>(atlasWidth) * static_cast<std::size_t>(atlasHeight), 0);
    for (const auto& [list, glyph] : glyphs) {
        for (int row = 0; row < glyph.height; ++row) {
            std::copy_n(glyph.coverage.begin() + row * glyph.width, glyph.width,
                        texels.begin() + (glyph.atlasY + row) * atlasWidth + glyph.atlasX);
        }
    }
    if (textureName == 0) {
        glGenTextures(1, &textureName);
    }
    glBindTexture(GL_TEXTURE_2D, textureName);
    GLint alignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_LUMINANCE, atlasWidth, atlasHeight, 0, GL_LUMINANCE,
                 GL_UNSIGNED_BYTE, texels.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
    changed = false;
    return textureName;
}

} // namespace velmorra::draw
