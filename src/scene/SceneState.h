#pragma once

#include <array>

namespace velmorra {

class Camera;

// A plane (a, b, c, d) with (a, b, c) a unit vector pointing into the view
// volume: a*x + b*y + c*z + d is the signed distance of a world point.
using FrustumPlane = std::array<float, 4>;

// Values of the scene pass in progress that the elements read while they are
// culled and drawn. The World keeps one and hands it to every element it culls and draws.
struct SceneState {
    // Indices into frustumPlanes.
    static constexpr int rightPlane = 0;
    static constexpr int leftPlane = 1;
    static constexpr int bottomPlane = 2;
    static constexpr int topPlane = 3;
    static constexpr int farPlane = 4;
    static constexpr int nearPlane = 5;

    // Extracted by World::render before any element is culled.
    std::array<FrustumPlane, 6> frustumPlanes{};
    // The near clip distance of the last World::setPerspective.
    float nearDistance = 0.0f;
    // The camera of the render in progress; only valid during World::render.
    const Camera* currentCamera = nullptr;
};

} // namespace velmorra
