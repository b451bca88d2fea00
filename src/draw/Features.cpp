#include "draw/Features.h"

#include "draw/GlNames.h"

#include <GL/gl.h>

namespace velmorra::draw {

void enable(Feature feature) {
    glEnable(glName(feature));
}

void disable(Feature feature) {
    glDisable(glName(feature));
}

void enableLight(int slot) {
    glEnable(lightName(slot));
}

void disableLight(int slot) {
    glDisable(lightName(slot));
}

void saveFog() {
    glPushAttrib(GL_FOG_BIT);
}

void restoreFog() {
    glPopAttrib();
}

} // namespace velmorra::draw
