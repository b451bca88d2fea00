#include "draw/Matrices.h"

#include "draw/ActiveBackend.h"

namespace velmorra::draw {

void matrixMode(MatrixStack stack) {
    activeBackend().matrixMode(stack);
}

void loadIdentity() {
    activeBackend().loadIdentity();
}

void pushMatrix() {
    activeBackend().pushMatrix();
}

void popMatrix() {
    activeBackend().popMatrix();
}

void loadMatrix(const float* columnMajor) {
    activeBackend().loadMatrix(columnMajor);
}

void multiplyMatrix(const float* columnMajor) {
    activeBackend().multiplyMatrix(columnMajor);
}

void translate(float x, float y, float z) {
    activeBackend().translate(x, y, z);
}

void ortho(double left, double right, double bottom, double top, double near, double far) {
    activeBackend().ortho(left, right, bottom, top, near, far);
}

void lookAt(double eyeX, double eyeY, double eyeZ, double centreX, double centreY, double centreZ,
            double upX, double upY, double upZ) {
    activeBackend().lookAt(eyeX, eyeY, eyeZ, centreX, centreY, centreZ, upX, upY, upZ);
}

Matrix currentMatrix(MatrixStack stack) {
    return activeBackend().currentMatrix(stack);
}

} // namespace velmorra::draw
