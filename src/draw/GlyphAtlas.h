#pragma once

#include <map>
#include <vector>

namespace velmorra::draw {

// A glyph's bitmap and where it sits in the atlas texture.
struct AtlasGlyph {
    int width = 0;
    int height = 0;
    float originX = 0.0f;
    float originY = 0.0f;
    float advance = 0.0f;
    // One byte a pixel, 0 or 255, rows bottom-up.
    std::vector<unsigned char> coverage;
    int atlasX = 0;
    int atlasY = 0;
};

// The font's glyphs, kept under the list names they were compiled into, in one luminance
// texture: text is drawn as quads cut from it.
class GlyphAtlas {
  public:
    GlyphAtlas() = default;
    ~GlyphAtlas();
    GlyphAtlas(const GlyphAtlas&) = delete;
    GlyphAtlas& operator=(const GlyphAtlas&) = delete;

    // Rows of 1-bit pixels padded to whole bytes, bottom-up, as a bitmap is given.
    void add(unsigned int list, int width, int height, float originX, float originY, float advance,
             const unsigned char* rows);
    void remove(unsigned int list);
    const AtlasGlyph* find(unsigned int list) const;

    // The texture holding every glyph, (re)made on the current context when glyphs changed.
    unsigned int texture();
    int width() const;
    int height() const;

  private:
    void pack();

    std::map<unsigned int, AtlasGlyph> glyphs;
    unsigned int textureName = 0;
    int atlasWidth = 0;
    int atlasHeight = 0;
    bool changed = false;
};

} // namespace velmorra::draw
