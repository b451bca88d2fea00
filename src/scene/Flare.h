#pragma once

#include "render/Texture.h"

#include <string>

namespace velmorra {

// One sprite of a light's lens-flare chain. It sits on the line from the light (offset 0) to
// the point at the centre of the screen (offset 1) and beyond, tinted by its colour and the
// light's.
class Flare {
  public:
    Flare(float offset, float size, float r, float g, float b);

    // Linear filtering, no mipmaps; false when the file cannot be read.
    bool loadTexture(const std::string& fileName);
    void bindTexture() const { texture.bind(); }
    void release() { texture.release(); }

    const Texture& getTexture() const { return texture; }
    float getOffset() const { return offset; }
    float getSize() const { return size; }
    float getRed() const { return r; }
    float getGreen() const { return g; }
    float getBlue() const { return b; }

  private:
    Texture texture;
    float offset;
    // Relative to the light's glow size; the first two sprites of a chain keep the glow size.
    float size;
    float r;
    float g;
    float b;
};

} // namespace velmorra
