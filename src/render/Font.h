#pragma once

#include "platform/GraphicsSurface.h"

namespace velmorra {

// Bitmap text: one display list per character 32-127, drawn at the current
// raster position in the current colour.
class Font {
  public:
    Font() = default;
    ~Font();
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    // Builds the glyph lists from the best system match for a bold `faceName`
    // at `height` pixels. False when already created or no font is found.
    bool create(const GraphicsSurface* surface, const char* faceName, int height);
    void destroy();
    void print(int x, int y, const char* format, ...) const __attribute__((format(printf, 4, 5)));

    bool isCreated() const { return created; }
    unsigned int getListBase() const { return listBase; }

  private:
    bool created = false;
    unsigned int listBase = 0;
};

} // namespace velmorra
