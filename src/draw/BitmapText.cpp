#include "draw/BitmapText.h"

#include "draw/Textures.h"

#include <GL/gl.h>

namespace velmorra::draw {

void compileGlyph(unsigned int list, int width, int height, float originX, float originY,
                  float advance, const unsigned char* rows) {
    unpackAlignment(1);
    glNewList(list, GL_COMPILE);
    glBitmap(width, height, originX, originY, advance, 0.0f, rows);
    glEndList();
}

void drawText(int x, int y, unsigned int listBase, const char* text, int length) {
    glPushAttrib(GL_LIST_BIT);
    glRasterPos2i(x, y);
    glListBase(listBase);
    glCallLists(length, GL_UNSIGNED_BYTE, text);
    glPopAttrib();
}

} // namespace velmorra::draw
