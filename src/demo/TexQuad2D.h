#pragma once

#include "render/Texture.h"

#include <array>
#include <string>

namespace velmorra {

// A textured rectangle in the 800 x 600 overlay, added to the picture so that
// black texels leave it untouched and brightness works as a fade. Corners run
// counter-clockwise from the lower left.
class TexQuad2D {
  public:
    TexQuad2D() = default;
    ~TexQuad2D();
    TexQuad2D(const TexQuad2D&) = delete;
    TexQuad2D& operator=(const TexQuad2D&) = delete;

    void load(const std::string& fileName);
    void unload();
    void draw() const;

    void setSize(float newWidth, float newHeight);
    void setPosition(float newX, float newY);
    void setTexCoord(int corner, float s, float t);
    // Clamped to 0 ... 1.
    void setBrightness(float value);
    void setVisible(bool value) { visible = value; }

    bool isVisible() const { return visible; }
    bool isTextureLoaded() const { return textureLoaded; }
    float getBrightness() const { return brightness; }
    const Texture& getTexture() const { return texture; }

  private:
    struct TexCoord {
        float s;
        float t;
    };

    Texture texture;
    float width = 400.0f;
    float height = 300.0f;
    float x = 200.0f;
    float y = 150.0f;
    float brightness = 1.0f;
    std::array<TexCoord, 4> texCoords{{{0.0f, 0.0f}, {1.0f, 0.0f}, {1.0f, 1.0f}, {0.0f, 1.0f}}};
    bool textureLoaded = false;
    bool visible = true;
};

} // namespace velmorra
