#include "draw/LightState.h"

#include "draw/MatrixStacks.h"

namespace velmorra::draw {

void LightState::set(LightParameter parameter, float value) {
    switch (parameter) {
    case LightParameter::spotExponent:
        spotExponent = value;
        break;
    case LightParameter::spotCutoff:
        spotCutoff = value;
        break;
    case LightParameter::constantAttenuation:
        attenuation[0] = value;
        break;
    case LightParameter::linearAttenuation:
        attenuation[1] = value;
        break;
    case LightParameter::quadraticAttenuation:
        attenuation[2] = value;
        break;
    default:
        break;
    }
}

void LightState::set(LightParameter parameter, const std::array<float, 4>& value,
                     const Matrix& modelview) {
    switch (parameter) {
    case LightParameter::ambient:
        ambient = value;
        break;
    case LightParameter::diffuse:
        diffuse = value;
        break;
    case LightParameter::specular:
        specular = value;
        break;
    case LightParameter::position:
        position = MatrixStacks::transform(modelview, value);
        break;
    case LightParameter::spotDirection: {
        const std::array<float, 4> eye = MatrixStacks::transform(modelview, value);
        spotDirection = {eye[0], eye[1], eye[2]};
        break;
    }
    default:
        set(parameter, value[0]);
        break;
    }
}

} // namespace velmorra::draw
