#include "scene/Element.h"

#include "math/Matrix3.h"
#include "scene/SceneState.h"

#include "draw/Matrices.h"

namespace velmorra {

Vector3 Element::sphereCenter() const {
    const auto& m = owner->matrix;
    const Matrix3 rotation =
        Matrix3::fromColumns({m[0], m[1], m[2]}, {m[4], m[5], m[6]}, {m[8], m[9], m[10]});
    return sum(sum(transform(rotation, position), center), owner->worldPosition);
}

// Every plane is evaluated, even after the sphere is known to be outside: the
// near plane's distance is needed for the depth either way.
CullResult Element::testSphere(const SceneState& scene) const {
    if (owner == nullptr) {
        return {true, 0.0f};
    }
    const Vector3 p = sphereCenter();
    CullResult result;
    float distance = 0.0f;
    for (const FrustumPlane& plane : scene.frustumPlanes) {
        distance = plane[0] * p.x + plane[1] * p.y + plane[2] * p.z + plane[3];
        if (distance <= -radius) {
            result.culled = true;
        }
    }
    result.depth = distance; // the last plane is the near plane
    return result;
}

void Element::applyPlacement() const {
    if (owner != nullptr) {
        draw::multiplyMatrix(owner->matrix.data());
    }
    draw::translate(position.x, position.y, position.z);
}

} // namespace velmorra
