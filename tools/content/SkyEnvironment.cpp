#include "content/SkyEnvironment.h"

#include "content/Shading.h"

#include <cmath>

namespace velmorra::tools {

namespace {

const Vec3 sunDirection = Vec3{0.55, 0.42, 0.6}.normalized();
const Rgb horizonHaze{0.78f, 0.86f, 0.95f};

} // namespace

SkyEnvironment::SkyEnvironment() : clouds(31), cloudDetail(32), fields(33) {}

Rgb SkyEnvironment::look(const Vec3& direction) const {
    return direction.y >= 0.0 ? sky(direction) : ground(direction);
}

// Clouds lie on a plane above the viewer, so they thin into haze toward the horizon.
Rgb SkyEnvironment::sky(const Vec3& d) const {
    const double height = d.y;
    const Rgb blue =
        Rgb::mix(horizonHaze, {0.12f, 0.32f, 0.78f}, static_cast<float>(std::pow(height, 0.6)));
    const double distance = 1.0 / (height + 0.08);
    const Vec3 plane{d.x * distance * 0.55, 0.0, d.z * distance * 0.55};
    const double shape = clouds.fractal(plane, 6) + 0.35 * cloudDetail.fractal(plane * 3.0, 3);
    const double cover = smoothstep(0.05, 0.55, shape) * smoothstep(0.0, 0.18, height);
    const double shadow = smoothstep(0.2, 0.9, shape);
    const Rgb cloud =
        Rgb::mix({1.0f, 1.0f, 1.0f}, {0.62f, 0.66f, 0.74f}, static_cast<float>(shadow));
    const double sunAngle = std::max(0.0, d.dot(sunDirection));
    const Rgb sun = Rgb{1.0f, 0.95f, 0.8f} * static_cast<float>(std::pow(sunAngle, 900.0) * 3.0 +
                                                                std::pow(sunAngle, 12.0) * 0.35);
    return Rgb::mix(blue, cloud, static_cast<float>(cover)) + sun;
}

Rgb SkyEnvironment::ground(const Vec3& d) const {
    const double depth = -d.y;
    const double distance = 1.0 / std::max(depth, 0.01);
    const Vec3 plane{d.x * distance * 0.7, 0.0, d.z * distance * 0.7};
    const double patch = 0.5 + 0.5 * fields.fractal(plane, 5);
    const Rgb land = ramp(patch, {{0.0, {0.06f, 0.1f, 0.04f}},
                                  {0.45, {0.16f, 0.24f, 0.08f}},
                                  {0.7, {0.3f, 0.27f, 0.14f}},
                                  {1.0, {0.4f, 0.36f, 0.22f}}});
    const double haze = std::exp(-depth * 6.0);
    return Rgb::mix(land, horizonHaze * 0.8f, static_cast<float>(haze));
}

} // namespace velmorra::tools
