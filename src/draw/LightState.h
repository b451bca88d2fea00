#pragma once

#include "draw/Lighting.h"
#include "draw/Matrices.h"

#include <array>

namespace velmorra::draw {

// One of the eight lights as the fixed pipeline keeps it, with OpenGL's initial values (light
// 0's diffuse and specular are white, the others' black). Position and spot direction are kept
// in eye space.
struct LightState {
    // A single-valued parameter (spot exponent and cut-off, attenuation factors).
    void set(LightParameter parameter, float value);
    // A vector parameter; position and spot direction go to eye space through `modelview`.
    void set(LightParameter parameter, const std::array<float, 4>& value, const Matrix& modelview);

    bool enabled = false;
    std::array<float, 4> ambient{0.0f, 0.0f, 0.0f, 1.0f};
    std::array<float, 4> diffuse{0.0f, 0.0f, 0.0f, 1.0f};
    std::array<float, 4> specular{0.0f, 0.0f, 0.0f, 1.0f};
    std::array<float, 4> position{0.0f, 0.0f, 1.0f, 0.0f};
    std::array<float, 3> spotDirection{0.0f, 0.0f, -1.0f};
    float spotExponent = 0.0f;
    float spotCutoff = 180.0f;
    std::array<float, 3> attenuation{1.0f, 0.0f, 0.0f};
};

} // namespace velmorra::draw
