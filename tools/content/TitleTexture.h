#pragma once

#include "Canvas.h"
#include "content/TextRasterizer.h"

#include <string>

namespace velmorra::tools {

// The title quads' texture: four 512 x 128 bands of white lettering on black,
// one per quad, from the top: the demo's name, the group's presentation line,
// the words over the falling stream and those over the pour into the cup.
class TitleTexture {
  public:
    static constexpr int width = 512;
    static constexpr int bandHeight = 128;
    static constexpr int height = 4 * bandHeight;
    // Kept black round every band, so no lettering reaches a neighbouring band
    // through the quads' linear filtering.
    static constexpr int margin = 10;

    static const char* bandText(int band);

    static Canvas paint(const TextRasterizer& titleFont, const TextRasterizer& captionFont);

  private:
    static void paintBand(Canvas& canvas, int band, const CoverageMask& lettering);
};

} // namespace velmorra::tools
