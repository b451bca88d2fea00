#include "draw/Matrices.h"

#include "draw/GlNames.h"

#include <GL/gl.h>
#include <GL/glu.h>

namespace velmorra::draw {

void matrixMode(MatrixStack stack) {
    glMatrixMode(glName(stack));
}

void loadIdentity() {
    glLoadIdentity();
}

void pushMatrix() {
    glPushMatrix();
}

void popMatrix() {
    glPopMatrix();
}

void loadMatrix(const float* columnMajor) {
    glLoadMatrixf(columnMajor);
}

void multiplyMatrix(const float* columnMajor) {
    glMultMatrixf(columnMajor);
}

void translate(float x, float y, float z) {
    glTranslatef(x, y, z);
}

void ortho(double left, double right, double bottom, double top, double near, double far) {
    glOrtho(left, right, bottom, top, near, far);
}

void lookAt(double eyeX, double eyeY, double eyeZ, double centreX, double centreY, double centreZ,
            double upX, double upY, double upZ) {
    gluLookAt(eyeX, eyeY, eyeZ, centreX, centreY, centreZ, upX, upY, upZ);
}

Matrix currentMatrix(MatrixStack stack) {
    Matrix matrix{};
    glGetFloatv(glMatrixQuery(stack), matrix.data());
    return matrix;
}

} // namespace velmorra::draw
