#include "platform/StartView.h"

#include <GL/gl.h>
#include <GL/glu.h>

namespace velmorra {

void applyStartView(int width, int height) {
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(60.0, static_cast<double>(width) / static_cast<double>(height), 0.5, 200.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

} // namespace velmorra
