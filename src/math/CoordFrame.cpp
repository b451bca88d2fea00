#include "math/CoordFrame.h"

namespace velmorra {

void CoordFrame::reset() {
    origin.set(0, 0, 0);
    xAxis.set(1, 0, 0);
    yAxis.set(0, 1, 0);
    zAxis.set(0, 0, 1);
}

void CoordFrame::translateLocal(float a, float b, float c) {
    origin.add(scaled(a, xAxis));
    origin.add(scaled(b, yAxis));
    origin.add(scaled(c, zAxis));
}

void CoordFrame::rotateLocalX(float degrees) {
    rotateLocal(Matrix3::rotationX(degrees));
}

void CoordFrame::rotateLocalY(float degrees) {
    rotateLocal(Matrix3::rotationY(degrees));
}

void CoordFrame::rotateLocalZ(float degrees) {
    rotateLocal(Matrix3::rotationZ(degrees));
}

// Composing the rotation after the current axes turns the frame about its own axis.
void CoordFrame::rotateLocal(const Matrix3& rotation) {
    const Matrix3 turned = multiply(Matrix3::fromColumns(xAxis, yAxis, zAxis), rotation);
    xAxis = transform(turned, {1, 0, 0});
    yAxis = transform(turned, {0, 1, 0});
    zAxis = transform(turned, {0, 0, 1});
}

void CoordFrame::buildMatrix() {
    matrix = {xAxis.x, xAxis.y, xAxis.z, 0, yAxis.x,  yAxis.y,  yAxis.z,  0,
              zAxis.x, zAxis.y, zAxis.z, 0, origin.x, origin.y, origin.z, 1};
}

} // namespace velmorra
