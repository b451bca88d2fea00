#include "math/Camera.h"

#include "draw/Matrices.h"

namespace velmorra {

void Camera::applyView() {
    buildMatrix();
    const Vector3 eye = getOrigin();
    const Vector3 centre = sum(eye, getZAxis());
    const Vector3 up = getYAxis();
    draw::lookAt(eye.x, eye.y, eye.z, centre.x, centre.y, centre.z, up.x, up.y, up.z);
}

void Camera::applyRotationOnly() const {
    const Vector3 centre = getZAxis();
    const Vector3 up = getYAxis();
    draw::lookAt(0.0, 0.0, 0.0, centre.x, centre.y, centre.z, up.x, up.y, up.z);
}

} // namespace velmorra
