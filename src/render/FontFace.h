#pragma once

#include <string>

namespace velmorra {

// A font file opened with FreeType at a pixel height, rendering 1-bit glyphs
// into display lists of glBitmap calls.
class FontFace {
  public:
    FontFace() = default;
    ~FontFace();
    FontFace(const FontFace&) = delete;
    FontFace& operator=(const FontFace&) = delete;

    // Finds the system's best match for a bold `faceName` and opens it.
    bool open(const char* faceName, int pixelHeight);
    // Compiles the glyph of `character` into display list `list`.
    bool compileGlyph(unsigned char character, unsigned int list) const;

    static std::string findFontFile(const char* faceName);

  private:
    void* library = nullptr;
    void* face = nullptr;
};

} // namespace velmorra
