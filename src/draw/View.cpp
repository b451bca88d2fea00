#include "draw/View.h"

#include "draw/Matrices.h"

#include <GL/gl.h>
#include <GL/glu.h>

namespace velmorra::draw {

void setViewport(const Viewport& viewport) {
    glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
}

Viewport currentViewport() {
    Viewport viewport{};
    glGetIntegerv(GL_VIEWPORT, viewport.data());
    return viewport;
}

void setPerspective(double fieldOfViewDegrees, double aspect, double near, double far) {
    matrixMode(MatrixStack::projection);
    loadIdentity();
    gluPerspective(fieldOfViewDegrees, aspect, near, far);
    matrixMode(MatrixStack::modelview);
    loadIdentity();
}

void clearColor(float r, float g, float b, float a) {
    glClearColor(r, g, b, a);
}

void clearDepth(double depth) {
    glClearDepth(depth);
}

void clearColorAndDepth() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

} // namespace velmorra::draw
