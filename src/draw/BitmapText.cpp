#include "draw/BitmapText.h"

#include "draw/ActiveBackend.h"

namespace velmorra::draw {

void compileGlyph(unsigned int list, int width, int height, float originX, float originY,
                  float advance, const unsigned char* rows) {
    activeBackend().compileGlyph(list, width, height, originX, originY, advance, rows);
}

void drawText(int x, int y, unsigned int listBase, const char* text, int length) {
    activeBackend().drawText(x, y, listBase, text, length);
}

} // namespace velmorra::draw
