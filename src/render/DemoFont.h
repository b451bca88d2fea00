#pragma once

namespace velmorra {

// The face and height of the demo's text. The engine opens this font; the glyph tool
// (velmorra_rasterise_glyphs) rasterises the same one into `glyphFile` under the source tree,
// which the browser build, having no FreeType, preloads and draws its text from.
struct DemoFont {
    static constexpr const char* faceName = "Arial";
    static constexpr int pixelHeight = 16;
    static constexpr const char* glyphFile = "data/glyphs.bin";
};

} // namespace velmorra
