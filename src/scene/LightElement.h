#pragma once

#include "math/Vector3.h"
#include "render/Texture.h"
#include "scene/Element.h"
#include "scene/Flare.h"
#include "scene/LightSource.h"

#include <array>
#include <string>
#include <vector>

namespace velmorra {

// One OpenGL light that moves with its Object. The World programs a GL light slot from it
// through apply on every render, whether the element is drawn or not; drawn, it can add a glow
// billboard, a lens-flare chain and a debug marker.
class LightElement : public Element, public LightSource {
  public:
    // The glow and flare sprites are linearly filtered, without mipmaps.
    static constexpr int spriteFilter = 1;

    LightElement() = default;
    ~LightElement() override;

    // Gives back the glow texture (which also switches the light off) and the flare chain.
    void release() override;
    void render(const SceneState& scene) override;
    void renderGeometry() override {}
    void setPosition(float x, float y, float z) override;
    int getType() const override { return lightType; }
    // Depth is a thousandth of the distance from the near plane, so lights sort to the end.
    CullResult cullTest(const SceneState& scene) const override;

    bool isEnabled() const override { return enabled; }
    // Expects the camera view on the modelview.
    void apply(int slot) override;

    // A cutoff below 0 becomes 0, above 90 becomes 90 unless it is 180 (no spot).
    void setSpot(int cutoff, float exponent, Vector3 direction, bool positional);
    // A negative constant factor becomes 1, negative linear and quadratic ones 0.
    void setAttenuation(float constant, float linear, float quadratic);
    void setColor(float r, float g, float b);
    void setFlags(bool enabled, bool glow, bool flare);
    void setMarker(bool value) { marker = value; }

    // The glow billboard's texture and side length, which is also the base size of the flare
    // sprites. False when a glow is already loaded or the file cannot be read.
    bool loadGlow(const std::string& fileName, float size);
    // Appends one sprite to the flare chain; false, adding nothing, when the file cannot be
    // read. Offset and size as in Flare; r, g, b tint it.
    bool addFlare(const std::string& fileName, float offset, float size, float r, float g, float b);

    int getSpotCutoff() const { return spotCutoff; }
    float getSpotExponent() const { return spotExponent; }
    Vector3 getSpotDirection() const { return spotDirection; }
    float getPositional() const { return positional; }
    std::array<float, 3> getAttenuation() const {
        return {constantAttenuation, linearAttenuation, quadraticAttenuation};
    }
    bool hasGlow() const { return glowLoaded; }
    int getFlareCount() const { return static_cast<int>(flares.size()); }

  private:
    Vector3 worldPosition() const;
    void drawGlow(const std::array<float, 16>& local) const;
    void drawFlares(const std::array<float, 16>& view, float nearDistance,
                    const Camera& camera) const;
    void drawMarker() const;

    Vector3 spotDirection{0.0f, -1.0f, 0.0f};
    float constantAttenuation = 1.0f;
    float linearAttenuation = 0.0f;
    float quadraticAttenuation = 0.0f;
    std::array<float, 3> color{1.0f, 1.0f, 1.0f};
    float spotExponent = 1.0f;
    int spotCutoff = 180;
    // The w of the light position: 1 positional, 0 directional.
    float positional = 1.0f;
    bool marker = false;
    bool enabled = false;
    bool glow = false;
    bool flare = false;
    Texture glowTexture;
    float glowSize = 0.0f;
    std::vector<Flare> flares;
    bool glowLoaded = false;
    bool flaresLoaded = false;
};

} // namespace velmorra
