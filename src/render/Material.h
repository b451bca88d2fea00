#pragma once

#include "render/Color.h"
#include "render/Texture.h"

#include <array>
#include <string>

namespace velmorra {

// The surface of a mesh or of the fluid: four colours and a shininess for the
// fixed-function material, one texture bound with it (slot 0) and four further
// slots that are only ever released. A copy takes its own references to the
// textures it shares, so copies may be made and dropped freely.
class Material {
  public:
    static constexpr int textureSlots = 5;

    Material();
    ~Material();
    Material(const Material&) = default;
    Material& operator=(const Material&) = default;

    void setAmbient(float r, float g, float b, float a);
    void setDiffuse(float r, float g, float b, float a);
    void setSpecular(float r, float g, float b, float a);
    void setEmission(float r, float g, float b, float a);
    void setShininess(float value) { shininess = value; }
    void setTransparency(float value) { transparency = value; }
    void setOpaque(bool value) { opaque = value; }

    // Loads into slot 0; false when the slot is taken or the file cannot be read.
    bool loadTexture(const std::string& fileName, int filter);
    // Sets the GL material of both faces: shininess, then the four colours.
    void apply() const;
    // Binds slot 0, or turns 2D texturing off when it is empty.
    void bindTexture() const;
    void releaseTextures();

    const Color& getAmbient() const { return ambient; }
    const Color& getDiffuse() const { return diffuse; }
    const Color& getSpecular() const { return specular; }
    const Color& getEmission() const { return emission; }
    float getShininess() const { return shininess; }
    float getTransparency() const { return transparency; }
    float getSpareLevel() const { return spareLevel; }
    bool isOpaque() const { return opaque; }
    const Texture& getTexture(int slot) const { return textures[slot]; }

  private:
    Color ambient;
    Color diffuse;
    Color specular;
    Color emission;
    float shininess = 10.0f;
    std::array<Texture, textureSlots> textures; // destroyed from the last slot down
    float transparency = -1.0f;                 // polygon smoothing only while negative
    float spareLevel = -1.0f;                   // carried along; nothing in the demo uses it
    bool opaque = true;
};

} // namespace velmorra
