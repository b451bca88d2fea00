#include "draw/Lighting.h"

#include "draw/ActiveBackend.h"

namespace velmorra::draw {

void lightInteger(int slot, LightParameter parameter, int value) {
    activeBackend().lightInteger(slot, parameter, value);
}

void lightFloat(int slot, LightParameter parameter, float value) {
    activeBackend().lightFloat(slot, parameter, value);
}

void lightVector(int slot, LightParameter parameter, const float* values) {
    activeBackend().lightVector(slot, parameter, values);
}

void materialFloat(MaterialParameter parameter, float value) {
    activeBackend().materialFloat(parameter, value);
}

void materialVector(MaterialParameter parameter, const float* rgba) {
    activeBackend().materialVector(parameter, rgba);
}

void lightModelLocalViewer(bool local) {
    activeBackend().lightModelLocalViewer(local);
}

void lightModelTwoSide(bool twoSided) {
    activeBackend().lightModelTwoSide(twoSided);
}

void lightModelAmbient(const float* rgba) {
    activeBackend().lightModelAmbient(rgba);
}

} // namespace velmorra::draw
