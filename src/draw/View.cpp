#include "draw/View.h"

#include "draw/ActiveBackend.h"

namespace velmorra::draw {

void setViewport(const Viewport& viewport) {
    activeBackend().setViewport(viewport);
}

Viewport currentViewport() {
    return activeBackend().currentViewport();
}

void clearColor(float r, float g, float b, float a) {
    activeBackend().clearColor(r, g, b, a);
}

void clearDepth(double depth) {
    activeBackend().clearDepth(depth);
}

void clearColorAndDepth() {
    activeBackend().clearColorAndDepth();
}

void setPerspective(double fieldOfViewDegrees, double aspect, double near, double far) {
    Backend& backend = activeBackend();
    backend.matrixMode(MatrixStack::projection);
    backend.loadIdentity();
    backend.perspective(fieldOfViewDegrees, aspect, near, far);
    backend.matrixMode(MatrixStack::modelview);
    backend.loadIdentity();
}

} // namespace velmorra::draw
