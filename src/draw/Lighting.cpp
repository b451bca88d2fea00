#include "draw/Lighting.h"

#include "draw/GlNames.h"

#include <GL/gl.h>

namespace velmorra::draw {

void lightInteger(int slot, LightParameter parameter, int value) {
    glLighti(lightName(slot), glName(parameter), value);
}

void lightFloat(int slot, LightParameter parameter, float value) {
    glLightf(lightName(slot), glName(parameter), value);
}

void lightVector(int slot, LightParameter parameter, const float* values) {
    glLightfv(lightName(slot), glName(parameter), values);
}

void materialFloat(MaterialParameter parameter, float value) {
    glMaterialf(GL_FRONT_AND_BACK, glName(parameter), value);
}

void materialVector(MaterialParameter parameter, const float* rgba) {
    glMaterialfv(GL_FRONT_AND_BACK, glName(parameter), rgba);
}

void lightModelLocalViewer(bool local) {
    glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, local ? GL_TRUE : GL_FALSE);
}

void lightModelTwoSide(bool twoSided) {
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, twoSided ? GL_TRUE : GL_FALSE);
}

void lightModelAmbient(const float* rgba) {
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, rgba);
}

} // namespace velmorra::draw
