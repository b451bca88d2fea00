#pragma once

#include "draw/Context.h"
#include "draw/FixedFunctionProgram.h"
#include "draw/FixedFunctionState.h"
#include "draw/GlyphAtlas.h"
#include "draw/MatrixStacks.h"
#include "draw/VertexBatch.h"
#include "draw/View.h"

#include <array>

namespace velmorra::draw {

// Bitmap text as the fixed pipeline draws it, from a glyph atlas: a raster position placed
// through the matrices, and glyphs drawn from there pixel for pixel, each moving it on.
class RasterText {
  public:
    void compile(unsigned int list, int width, int height, float originX, float originY,
                 float advance, const unsigned char* rows);
    void forget(unsigned int list);
    bool hasGlyph(unsigned int list) const;

    // Moves the raster position to x, y through the stacks' matrices and the viewport; false
    // (and no text drawn until the next place) when it falls outside the view.
    bool place(float x, float y, const MatrixStacks& stacks, const Viewport& viewport);
    // The glyphs listBase + each byte, in the colour of `current`; the texture bound in `state`
    // is bound again afterwards.
    void draw(const char* text, int length, unsigned int listBase, const BatchVertex& current,
              const FixedFunctionState& state, const Viewport& viewport,
              FixedFunctionProgram& program, DrawStatistics& submitted);

  private:
    GlyphAtlas glyphs;
    std::array<float, 3> rasterPosition{};
    bool rasterValid = true;
};

} // namespace velmorra::draw
