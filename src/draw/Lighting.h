#pragma once

namespace velmorra::draw {

enum class LightParameter {
    ambient,
    diffuse,
    specular,
    position,
    spotDirection,
    spotExponent,
    spotCutoff,
    constantAttenuation,
    linearAttenuation,
    quadraticAttenuation,
};

enum class MaterialParameter { ambient, diffuse, specular, emission, shininess };

// A parameter of light `slot` (0 ... 7). Integers and floats reach the light by different
// routes, so both are offered; the vector forms take 4 values (3 for the spot direction). The
// position and the spot direction are taken through the current modelview.
void lightInteger(int slot, LightParameter parameter, int value);
void lightFloat(int slot, LightParameter parameter, float value);
void lightVector(int slot, LightParameter parameter, const float* values);

// The material of both faces.
void materialFloat(MaterialParameter parameter, float value);
void materialVector(MaterialParameter parameter, const float* rgba);

// The light model: the specular highlight's viewer, two-sided lighting, the scene's ambient.
void lightModelLocalViewer(bool local);
void lightModelTwoSide(bool twoSided);
void lightModelAmbient(const float* rgba);

} // namespace velmorra::draw
