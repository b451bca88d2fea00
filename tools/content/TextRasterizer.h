#pragma once

#include "content/CoverageMask.h"

#include <string>

namespace velmorra::tools {

// Renders one line of text with FreeType's anti-aliased rasteriser into a
// coverage mask cropped to the ink. Always the same font file, size and
// hinting, so the pictures made from it come out the same on every run.
class TextRasterizer {
  public:
    explicit TextRasterizer(const std::string& fontFile);
    ~TextRasterizer();
    TextRasterizer(const TextRasterizer&) = delete;
    TextRasterizer& operator=(const TextRasterizer&) = delete;

    bool isReady() const { return face != nullptr; }

    // `tracking` adds that many pixels between letters. Empty when not ready.
    CoverageMask render(const std::string& text, int pixelHeight, int tracking = 0) const;
    // The largest rendering (pixel height stepped down one by one) whose ink
    // fits within maxWidth x maxHeight.
    CoverageMask renderToFit(const std::string& text, int maxWidth, int maxHeight,
                             int tracking = 0) const;

  private:
    void* library = nullptr;
    void* face = nullptr;
};

} // namespace velmorra::tools
