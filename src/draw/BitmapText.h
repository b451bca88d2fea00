#pragma once

namespace velmorra::draw {

// Records one glyph into `list`: a 1-bit bitmap of `width` x `height` pixels, rows bottom-up and
// padded to whole bytes, placed `originX`, `originY` pixels left of and below the raster
// position, which then moves `advance` pixels to the right. Null rows make an empty glyph.
void compileGlyph(unsigned int list, int width, int height, float originX, float originY,
                  float advance, const unsigned char* rows);
// Draws `length` characters of `text` from x, y (pixels of the current projection) on: each
// byte calls the list `listBase` + its value. The list base is kept as it was.
void drawText(int x, int y, unsigned int listBase, const char* text, int length);

} // namespace velmorra::draw
