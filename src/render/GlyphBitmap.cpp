#include "render/GlyphBitmap.h"

#include "draw/BitmapText.h"

namespace velmorra {

void GlyphBitmap::compile(unsigned int list) const {
    draw::compileGlyph(list, width, height, originX(), originY(), advancePixels(),
                       rows.empty() ? nullptr : rows.data());
}

} // namespace velmorra
