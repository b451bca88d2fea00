#pragma once

#include "draw/Features.h"
#include "draw/LightState.h"
#include "draw/Lighting.h"
#include "draw/RasterState.h"
#include "draw/Textures.h"

#include <array>
#include <bitset>

namespace velmorra::draw {

using Rgba = std::array<float, 4>;

struct MaterialState {
    void set(MaterialParameter parameter, const Rgba& value) {
        switch (parameter) {
        case MaterialParameter::ambient:
            ambient = value;
            break;
        case MaterialParameter::diffuse:
            diffuse = value;
            break;
        case MaterialParameter::specular:
            specular = value;
            break;
        case MaterialParameter::emission:
            emission = value;
            break;
        case MaterialParameter::shininess:
            // OpenGL's range for the specular exponent.
            shininess = value[0] < 0.0f ? 0.0f : value[0] > 128.0f ? 128.0f : value[0];
            break;
        }
    }

    Rgba ambient{0.2f, 0.2f, 0.2f, 1.0f};
    Rgba diffuse{0.8f, 0.8f, 0.8f, 1.0f};
    Rgba specular{0.0f, 0.0f, 0.0f, 1.0f};
    Rgba emission{0.0f, 0.0f, 0.0f, 1.0f};
    float shininess = 0.0f;
};

// What the fixed pipeline would hold that the shaders need, with OpenGL's initial values.
struct FixedFunctionState {
    FixedFunctionState() {
        lights[0].diffuse = {1.0f, 1.0f, 1.0f, 1.0f};
        lights[0].specular = {1.0f, 1.0f, 1.0f, 1.0f};
    }

    bool isEnabled(Feature feature) const {
        return features.test(static_cast<std::size_t>(feature));
    }
    void set(Feature feature, bool on) { features.set(static_cast<std::size_t>(feature), on); }

    std::bitset<16> features;
    std::array<LightState, 8> lights;
    MaterialState material;
    Rgba sceneAmbient{0.2f, 0.2f, 0.2f, 1.0f};
    bool localViewer = false;
    bool twoSided = false;
    Shading shading = Shading::smooth;
    PolygonFill fill = PolygonFill::fill;
    Face culledFace = Face::back;
    BlendFactor blendSource = BlendFactor::one;
    BlendFactor blendDestination = BlendFactor::one;
    DepthCompare depthCompare = DepthCompare::less;
    bool depthWrite = true;
    float pointSize = 1.0f;
    float lineWidth = 1.0f;
    TextureMode textureMode = TextureMode::modulate;
    unsigned int boundTexture = 0;
};

} // namespace velmorra::draw
